// Fuzz target: the Exec line of a desktop entry (the mail program's command).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "services/mail_handoff.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DesktopEntryCommand(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
