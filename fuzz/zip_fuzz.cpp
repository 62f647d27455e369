// Reads zip archives given as bytes the way a restore does: finds the
// database entry by its file name and reads it whole.
#include <cstddef>
#include <cstdint>

#include "services/archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A small archive can claim a huge entry; stop reading well before memory runs out.
    constexpr uint64_t kLimit = 64ull << 20;
    uint64_t total = 0;
    ReadArchiveEntryFromBytes(data, size, "VantrelData.db3", [&](const char*, size_t n) {
        total += n;
        return total < kLimit;
    });
    return 0;
}
