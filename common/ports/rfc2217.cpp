#include "common/ports/rfc2217.h"

namespace ports::rfc2217 {
namespace {

std::string bytes(std::initializer_list<uint8_t> list) {
    return std::string(list.begin(), list.end());
}

}  // namespace

std::string Client::greeting() {
    return bytes({kIac, kWill, kBinary, kIac, kDo, kBinary, kIac, kWill, kComPortOption});
}

std::string Client::command(Command command, uint32_t value) {
    std::string out = bytes({kIac, kSb, kComPortOption, command});
    std::string payload;
    if (command == kSetBaudRate) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            payload += static_cast<char>((value >> shift) & 0xFF);
        }
    } else {
        payload += static_cast<char>(value & 0xFF);
    }
    out += escape(payload);  // a 255 inside a subnegotiation is doubled too
    return out + bytes({kIac, kSe});
}

std::string Client::escape(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<uint8_t>(c) == kIac) out += c;
    }
    return out;
}

std::string Client::receive(std::string_view input) {
    std::string data;
    for (const char c : input) {
        const auto b = static_cast<uint8_t>(c);
        switch (state_) {
            case State::Data:
                if (b == kIac) {
                    state_ = State::Iac;
                } else {
                    data += c;
                }
                break;
            case State::Iac:
                if (b == kIac) {  // a doubled 255 is one data byte
                    data += c;
                    state_ = State::Data;
                } else if (b == kWill || b == kWont || b == kDo || b == kDont) {
                    verb_ = b;
                    state_ = State::Verb;
                } else if (b == kSb) {
                    sub_.clear();
                    state_ = State::Sub;
                } else {
                    state_ = State::Data;  // NOP, GA and the like carry nothing here
                }
                break;
            case State::Verb:
                negotiate(verb_, b);
                state_ = State::Data;
                break;
            case State::Sub:
                if (b == kIac) {
                    state_ = State::SubIac;
                } else if (sub_.size() < 64) {  // a runaway subnegotiation is cut short
                    sub_ += c;
                }
                break;
            case State::SubIac:
                if (b == kSe) {
                    subnegotiation();
                    state_ = State::Data;
                } else {
                    if (b == kIac && sub_.size() < 64) sub_ += c;
                    state_ = State::Sub;
                }
                break;
        }
    }
    return data;
}

std::string Client::takeReplies() {
    std::string out;
    out.swap(replies_);
    return out;
}

std::optional<uint32_t> Client::confirmed(Command command) const {
    const auto found = confirmed_.find(command);
    if (found == confirmed_.end()) return std::nullopt;
    return found->second;
}

void Client::negotiate(uint8_t verb, uint8_t option) {
    // The greeting already agreed to binary mode both ways and offered
    // COM-PORT-OPTION: their confirmations need no answer. Anything else
    // the server offers or asks for is declined.
    if (option == kBinary && (verb == kWill || verb == kDo)) return;
    if (option == kComPortOption) {
        if (verb == kDont) comPortRefused_ = true;
        if (verb == kDo) comPortRefused_ = false;
        if (verb == kDo || verb == kDont) return;
    }
    if (verb == kWill) replies_ += bytes({kIac, kDont, option});
    if (verb == kDo) replies_ += bytes({kIac, kWont, option});
}

void Client::subnegotiation() {
    if (sub_.size() < 2 || static_cast<uint8_t>(sub_[0]) != kComPortOption) return;
    const auto code = static_cast<uint8_t>(sub_[1]);
    if (code <= kServerOffset) return;
    uint32_t value = 0;
    for (size_t i = 2; i < sub_.size() && i < 6; ++i) {
        value = (value << 8) | static_cast<uint8_t>(sub_[i]);
    }
    confirmed_[static_cast<uint8_t>(code - kServerOffset)] = value;
}

}  // namespace ports::rfc2217
