#include "sim/unitsim/unit.h"

#include <algorithm>

namespace unitsim {
namespace {

constexpr uint8_t kNak = 0x15;
constexpr size_t kFrame = 6, kPage = 256;

// The controller's flash blocks: first and last address of each.
constexpr std::array<std::pair<uint32_t, uint32_t>, 14> kBlocks = {{
    {0x0F000, 0x0FFFF},
    {0x80000, 0x8FFFF},
    {0x90000, 0x9FFFF},
    {0xA0000, 0xAFFFF},
    {0xB0000, 0xBFFFF},
    {0xC0000, 0xCFFFF},
    {0xD0000, 0xDFFFF},
    {0xE0000, 0xEFFFF},
    {0xF0000, 0xF7FFF},
    {0xF8000, 0xF9FFF},
    {0xFA000, 0xFBFFF},
    {0xFC000, 0xFDFFF},
    {0xFE000, 0xFEFFF},
    {0xFF000, 0xFFFFF},
}};

}  // namespace

Unit::Unit(Protocol protocol, Faults faults)
    : protocol_(protocol), faults_(faults), flash_(kFlashSize, 0xFF) {
    listenBaud_ = protocol == Protocol::M16c ? 9600 : 57600;
}

std::vector<uint8_t> Unit::receive(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> out;
    if (faults_.silent) return out;
    if (hostBaud_ != 0 && hostBaud_ != listenBaud_) return out;  // noise at the wrong speed
    for (uint8_t byte : bytes) {
        const auto answer = protocol_ == Protocol::M16c ? m16c(byte) : native(byte);
        out.insert(out.end(), answer.begin(), answer.end());
    }
    if (faults_.garbage) std::fill(out.begin(), out.end(), 0x55);
    return out;
}

std::vector<uint8_t> Unit::lineBreak(bool on) {
    // The native loader starts when the unit is reset with the line held in
    // break, and says so with 0x06.
    if (faults_.silent || protocol_ != Protocol::Native || !on || state_ != State::Idle) return {};
    state_ = State::Ready;
    pending_.clear();
    return {ack()};
}

void Unit::eraseBlockAt(uint32_t address) {
    for (const auto& [first, last] : kBlocks) {
        if (first <= address && address <= last) {
            std::fill(flash_.begin() + first, flash_.begin() + last + 1, 0xFF);
            ++blocksErased_;
            eraseLog_.push_back(first);
            return;
        }
    }
}

bool Unit::programPage(uint32_t address, const uint8_t* data) {
    ++pageAttempts_;
    if (faults_.refusePage && *faults_.refusePage == pageAttempts_) return false;
    // NOR flash: programming can only clear bits.
    for (size_t i = 0; i < kPage; ++i) flash_[(address + i) & (kFlashSize - 1)] &= data[i];
    ++pagesWritten_;
    if (faults_.corruptPage && *faults_.corruptPage == pagesWritten_) {
        flash_[(address + 17) & (kFlashSize - 1)] ^= 0x01;
    }
    return true;
}

std::vector<uint8_t> Unit::m16c(uint8_t byte) {
    if (state_ == State::Idle) {
        // Sync: a pair of 0xB0 is answered with one 0xB0; 0xB3 then moves to 57600.
        if (byte == 0xB0) {
            if (++syncCount_ % 2 == 0) return {0xB0};
            return {};
        }
        if (byte == 0xB3 && syncCount_ >= 2) {
            state_ = State::Ready;
            listenBaud_ = 57600;
            return {0xB3};
        }
        syncCount_ = 0;
        return {};
    }
    pending_.push_back(byte);
    const uint8_t command = pending_[0];
    const auto address = [&] {
        return static_cast<uint32_t>(pending_[2]) << 16 | static_cast<uint32_t>(pending_[1]) << 8;
    };
    std::vector<uint8_t> answer;
    switch (command) {
        case 0x70:  // read status
            answer = {static_cast<uint8_t>(srd1_ & 0x01 ? 0x00 : 0x80), srd1_};
            break;
        case 0xF5:  // ID check
            if (pending_.size() < 12) return {};
            idChecked_ =
                pending_[1] == 0xDF && pending_[2] == 0xFF && pending_[3] == 0x0F &&
                pending_[4] == 7 &&
                std::all_of(pending_.begin() + 5, pending_.end(), [](uint8_t b) { return b == 0; });
            srd1_ = idChecked_ ? 0x00 : 0x01;
            break;
        case 0x20:  // block erase
            if (pending_.size() < 4) return {};
            if (idChecked_ && pending_[3] == 0xD0 && !faults_.refuseErase) {
                eraseBlockAt(address());
                srd1_ = 0x00;
            } else {
                srd1_ = 0x01;
            }
            break;
        case 0x41:  // page program
            if (pending_.size() < 3 + kPage) return {};
            srd1_ = idChecked_ && programPage(address(), pending_.data() + 3) ? 0x00 : 0x01;
            break;
        default:
            break;  // not a command this loader knows: dropped
    }
    pending_.clear();
    return answer;
}

std::vector<uint8_t> Unit::native(uint8_t byte) {
    switch (state_) {
        case State::Idle:
            if (byte == 0x0B) {
                state_ = State::ChainLoadSecond;
                return {ack()};
            }
            if (byte == 0x0A) {
                state_ = State::Ready;
                return {ack()};
            }
            return {};
        case State::ChainLoadSecond:
            if (byte == 0x0A) state_ = State::Ready;
            return {ack()};
        case State::PageData:
            pending_.push_back(byte);
            if (pending_.size() < kPage) return {};
            {
                const bool written = programPage(pageAddress_, pending_.data());
                pending_.clear();
                state_ = State::Ready;
                if (faults_.dropSecondWriteReply) return {};
                return {written ? ack() : kNak};
            }
        case State::Ready:
            break;
    }
    // Handshake bytes that were still on their way are answered again.
    if (pending_.empty() && (byte == 0x0A || byte == 0x0B)) return {ack()};
    if (faults_.silentAfterConnect) return {};
    pending_.push_back(byte);
    if (pending_.size() < kFrame) return {};
    const uint8_t command = pending_[0];
    const uint32_t address = static_cast<uint32_t>(pending_[1]) << 16 |
                             static_cast<uint32_t>(pending_[2]) << 8 | pending_[3];
    pending_.clear();
    switch (command) {
        case 't':
            state_ = State::Idle;  // back to the application
            return {};
        case 'e': {
            const bool known = std::any_of(kBlocks.begin(), kBlocks.end(), [&](const auto& b) {
                return b.first <= address && address <= b.second;
            });
            if (!known || faults_.refuseErase) return {kNak};
            eraseBlockAt(address);
            return {ack()};
        }
        case 'w':
            if (faults_.refusePage && *faults_.refusePage == pageAttempts_ + 1) {
                ++pageAttempts_;
                return {kNak};
            }
            pageAddress_ = address;
            state_ = State::PageData;
            return {ack()};
        case 'r': {
            std::vector<uint8_t> answer = {ack()};
            uint16_t sum = 0;
            for (size_t i = 0; i < kPage; ++i) {
                const uint8_t b = flash_[(address + i) & (kFlashSize - 1)];
                answer.push_back(b);
                sum = static_cast<uint16_t>(sum + b);
            }
            answer.push_back(static_cast<uint8_t>(sum));
            answer.push_back(static_cast<uint8_t>(sum >> 8));
            answer.push_back(ack());
            if (faults_.shortRead) answer.pop_back();
            return answer;
        }
        default:
            return {kNak};
    }
}

}  // namespace unitsim
