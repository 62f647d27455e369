// Fuzz target: the os-release reader and the operating-system lines built from it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "services/system_report.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    ParseOsRelease(bytes);
    SystemFacts facts{bytes, "Linux", bytes, bytes, bytes};
    OsDescriptionLines(facts);
    return 0;
}
