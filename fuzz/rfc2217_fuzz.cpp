// Any byte stream from a serial device server through the RFC 2217 client, cut into pieces
// where the first byte says; data escaped on the way out comes back as it was.
#include "common/ports/rfc2217.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    const size_t piece = data[0] % 16 + 1;
    ports::rfc2217::Client client;
    for (size_t at = 0; at < input.size(); at += piece) {
        client.receive(input.substr(at, piece));
        const std::string replies = client.takeReplies();
        // Each answer owed is a three-byte refusal.
        if (replies.size() % 3 != 0) std::abort();
    }
    ports::rfc2217::Client clean;
    if (clean.receive(ports::rfc2217::Client::escape(input)) != input) std::abort();
    return 0;
}
