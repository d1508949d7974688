// The client side of a serial device server's telnet protocol with the
// COM-PORT-OPTION (RFC 2217), without any I/O: it makes the bytes to send
// and takes the bytes received, which may split a command anywhere.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace ports::rfc2217 {

inline constexpr uint8_t kIac = 255, kWill = 251, kWont = 252, kDo = 253, kDont = 254, kSb = 250,
                         kSe = 240;
inline constexpr uint8_t kBinary = 0, kComPortOption = 44;

// COM-PORT-OPTION commands a client sends; the server answers each with
// the same command plus 100 and the value it took.
enum Command : uint8_t {
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kPurgeData = 12,
};
inline constexpr uint8_t kServerOffset = 100;

// Values of SET-CONTROL and PURGE-DATA.
inline constexpr uint8_t kBreakOn = 5, kBreakOff = 6, kDtrOn = 8, kDtrOff = 9, kRtsOn = 11,
                         kRtsOff = 12;
inline constexpr uint8_t kPurgeReceive = 1, kPurgeBoth = 3;
// Values of the line settings: no parity, one stop bit.
inline constexpr uint8_t kParityNone = 1, kStopBitsOne = 1;

class Client {
  public:
    // What opens the session: both sides in binary mode, and the client
    // offering COM-PORT-OPTION.
    static std::string greeting();
    // One COM-PORT-OPTION command with its value (a baud rate takes four
    // bytes in network order, every other command one).
    static std::string command(Command command, uint32_t value);
    // Data for the far serial port: every 255 doubled.
    static std::string escape(std::string_view data);

    // Takes bytes from the server: returns the data among them, keeps what
    // the telnet commands said, and collects the answers owed to the
    // server's offers (take them with takeReplies()).
    std::string receive(std::string_view bytes);
    std::string takeReplies();

    // The value the server last confirmed for a command, if it has; forget
    // a command's before asking again.
    std::optional<uint32_t> confirmed(Command command) const;
    void forget(Command command) { confirmed_.erase(command); }
    // The server refused COM-PORT-OPTION: line settings cannot reach the port.
    bool comPortRefused() const { return comPortRefused_; }

  private:
    void negotiate(uint8_t verb, uint8_t option);
    void subnegotiation();

    enum class State { Data, Iac, Verb, Sub, SubIac } state_ = State::Data;
    uint8_t verb_ = 0;
    std::string sub_;  // a subnegotiation's bytes between SB and IAC SE
    std::string replies_;
    std::map<uint8_t, uint32_t> confirmed_;
    bool comPortRefused_ = false;
};

}  // namespace ports::rfc2217
