// Fuzz target: the update's version file (first line, last piece) and the
// comparison of the version it names with the running one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/base/app_state.h"
#include "services/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    VersionFile v = ParseVersionFile(bytes);
    std::string why;
    IsUsableDownload(v, why);
    const bool newer = IsNewerVersion(v.version, kVersionFull);
    // A major update is always a newer version, and no version is newer than itself.
    if (IsMajorUpdate(v.version, kVersionFull) && !newer) __builtin_trap();
    if (IsNewerVersion(v.version, v.version)) __builtin_trap();
    if (newer && IsNewerVersion(kVersionFull, v.version)) __builtin_trap();
    return 0;
}
