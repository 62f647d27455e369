// The RTF reader of the history and release notes.
#include <cstdint>
#include <string>

#include "ui/rtf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string rtf(reinterpret_cast<const char*>(data), size);
    RunsToPlainText(ParseRtf(rtf));
    return 0;
}
