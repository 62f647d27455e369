// Reads zip archives given as bytes the way a restore does: finds the
// database entry by its file name, inflates its head for the entry check, and
// reads it whole, once inflated in memory and once streamed, so that every
// way of reading meets every input.
#include <cstddef>
#include <cstdint>
#include <string>

#include "services/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A small archive can claim a huge entry; stop reading well before memory runs out.
    constexpr uint64_t kLimit = 64ull << 20;
    for (uint64_t wholeEntryLimit : {kWholeEntryLimit, uint64_t{0}}) {
        uint64_t total = 0;
        ReadArchiveEntryFromBytes(
            data, size, "VantrelData.db3",
            [&](const char*, size_t n) {
                total += n;
                return total < kLimit;
            },
            wholeEntryLimit, [](const char*, size_t, uint64_t) { return std::string(); });
    }
    return 0;
}
