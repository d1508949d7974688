// A simulated sign controller: 1 MB of NOR flash (erase sets a block to
// 0xFF, programming ANDs bytes in) behind either the M16C serial boot
// loader or the maker's native loader. Bytes go in through receive() and
// the unit's answers come back from it; a break on the line is an event.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace unitsim {

enum class Protocol { M16c, Native };

struct Faults {
    std::optional<int> refusePage;      // the n-th page write (1-based) is refused
    bool silent = false;                // never answers anything
    bool garbage = false;               // answers 0x55 where it should acknowledge
    bool dropSecondWriteReply = false;  // native: no answer after a page's data
    bool shortRead = false;             // native: a read answer one byte short
    bool refuseErase = false;           // every block erase is refused
    bool silentAfterConnect = false;    // native: answers the entry, then no command
    std::optional<int> corruptPage;     // the n-th page written keeps one wrong byte
    std::optional<int> vanishAfter;     // the program closes its line after n pages
};

inline constexpr uint32_t kFlashSize = 1u << 20;

class Unit {
  public:
    explicit Unit(Protocol protocol, Faults faults = {});

    // Bytes from the host; returns the unit's answer bytes.
    std::vector<uint8_t> receive(const std::vector<uint8_t>& bytes);
    // The host puts the line into the break state or takes it out.
    std::vector<uint8_t> lineBreak(bool on);
    // The line speed the host uses; bytes sent at another speed than the
    // unit listens at arrive as noise and are lost.
    void hostBaud(int baud) { hostBaud_ = baud; }

    std::vector<uint8_t>& flash() { return flash_; }
    const std::vector<uint8_t>& flash() const { return flash_; }
    int pagesWritten() const { return pagesWritten_; }
    int blocksErased() const { return blocksErased_; }
    const std::vector<uint32_t>& eraseLog() const {
        return eraseLog_;
    }  // erased block starts, in order
    bool inLoader() const { return state_ != State::Idle; }

  private:
    enum class State { Idle, ChainLoadSecond, Ready, PageData };
    std::vector<uint8_t> m16c(uint8_t byte);
    std::vector<uint8_t> native(uint8_t byte);
    void eraseBlockAt(uint32_t address);
    bool programPage(uint32_t address, const uint8_t* data);
    uint8_t ack() const { return faults_.garbage ? 0x55 : 0x06; }

    Protocol protocol_;
    Faults faults_;
    std::vector<uint8_t> flash_;
    State state_ = State::Idle;
    std::vector<uint8_t> pending_;  // bytes of the command being received
    uint32_t pageAddress_ = 0;
    int listenBaud_ = 0;
    int hostBaud_ = 0;
    int syncCount_ = 0;
    bool idChecked_ = false;
    uint8_t srd1_ = 0;
    int pagesWritten_ = 0;
    int pageAttempts_ = 0;
    int blocksErased_ = 0;
    std::vector<uint32_t> eraseLog_;
};

}  // namespace unitsim
