// The RFC 2217 client's bytes out and its reading of what a server sends, in any pieces.
#include "common/ports/rfc2217.h"

#include <gtest/gtest.h>

namespace ports::rfc2217 {
namespace {

using namespace std::string_literals;

// ser2net's opening offers, as it sends them on every connection.
const std::string kSer2netOffers =
    "\xFF\xFB\x03\xFF\xFD\x03\xFF\xFB\x01\xFF\xFE\x01\xFF\xFD\x00\xFF\xFB\x00\xFF\xFD,"s;
const std::string kBaud57600Confirmed = "\xFF\xFA,e\x00\x00\xE1\x00\xFF\xF0"s;

TEST(Rfc2217, CommandsOut) {
    const std::pair<std::string, std::string> cases[] = {
        {Client::greeting(), "\xFF\xFB\x00\xFF\xFD\x00\xFF\xFB,"s},
        {Client::command(kSetBaudRate, 57600), "\xFF\xFA,\x01\x00\x00\xE1\x00\xFF\xF0"s},
        {Client::command(kSetBaudRate, 0xFF00), "\xFF\xFA,\x01\x00\x00\xFF\xFF\x00\xFF\xF0"s},
        {Client::command(kSetControl, kBreakOn), "\xFF\xFA,\x05\x05\xFF\xF0"},
        {Client::command(kPurgeData, kPurgeReceive), "\xFF\xFA,\x0C\x01\xFF\xF0"},
        {Client::escape("a\xFF\x00\xFF"s), "a\xFF\xFF\x00\xFF\xFF"s},
    };
    for (const auto& [made, expected] : cases) EXPECT_EQ(made, expected);
}

// Every case is fed whole and cut at every byte: the result may not depend on the cut.
TEST(Rfc2217, WhatTheServerSends) {
    const struct {
        const char* name;
        std::string in, data, replies;
        std::optional<uint32_t> baud;
        bool refused;
    } cases[] = {
        // clang-format off
        {"data as it is", "OK\r\n\x11\x13", "OK\r\n\x11\x13", "", {}, false},
        {"a doubled 255 is one data byte", "\xFF\xFF" "a\xFF\xFF", "\xFF" "a\xFF", "", {}, false},
        {"offers declined but binary and the port option", kSer2netOffers, "",
         "\xFF\xFE\x03\xFF\xFC\x03\xFF\xFE\x01", {}, false},
        {"a busy server's words after its offers", kSer2netOffers + "Port already in use\r\n",
         "Port already in use\r\n", "\xFF\xFE\x03\xFF\xFC\x03\xFF\xFE\x01", {}, false},
        {"a confirmation amid data", "x" + kBaud57600Confirmed + "y", "xy", "", 57600, false},
        {"a doubled 255 inside a confirmation", "\xFF\xFA,e\x00\x00\xFF\xFF\xFF\xFF\xFF\xF0"s, "",
         "", 0xFFFF, false},
        {"modem state notices are no confirmation", "\xFF\xFA,k\x00\xFF\xF0"s, "", "", {}, false},
        {"the port option refused", "\xFF\xFE,", "", "", {}, true},
        {"an unknown command byte carries nothing", "\xFF\xF1z", "z", "", {}, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        for (size_t cut = 0; cut <= c.in.size(); ++cut) {
            Client client;
            std::string data = client.receive(c.in.substr(0, cut));
            data += client.receive(c.in.substr(cut));
            EXPECT_EQ(data, c.data) << c.name << " cut at " << cut;
            EXPECT_EQ(client.takeReplies(), c.replies) << c.name << " cut at " << cut;
            EXPECT_EQ(client.confirmed(kSetBaudRate), c.baud) << c.name << " cut at " << cut;
            EXPECT_EQ(client.comPortRefused(), c.refused) << c.name;
        }
    }
}

}  // namespace
}  // namespace ports::rfc2217
