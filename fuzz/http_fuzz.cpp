// Fuzz target: the update download's HTTP answer parser (head, chunked and
// content-length bodies). The first byte picks the size of the pieces the
// answer is fed in, so the incremental paths are exercised as well.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "services/http_client.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = data[0] % 17;  // 0: all at once
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    HttpParseResult r = ParseHttpResponse(bytes, piece);
    // A finished answer never holds more body than it announced.
    if (r.state == HttpParseState::Done && r.head.hasContentLength &&
        r.head.transferEncoding != "chunked" && r.head.status == "200" &&
        static_cast<int64_t>(r.body.size()) != r.head.contentLength)
        __builtin_trap();
    return 0;
}
