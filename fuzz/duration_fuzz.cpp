// Feeds arbitrary bytes to the duration reader of the pre-filing check.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "reports/filing_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto seconds =
        DurationSeconds(std::string_view(reinterpret_cast<const char*>(data), size));
    if (seconds && *seconds < 0) __builtin_trap();  // a length of time is never negative
    return 0;
}
