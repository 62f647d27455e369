// The settings file: reading keys from any text, and writing a key into it.
// A value written must read back as written (trimmed and cut), and the rest
// of the file must keep its other keys.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto f = FuzzFields(data, size, 4);
    const std::string& content = f[0];
    const std::string section = f[1].empty() ? "Options" : f[1];
    const std::string key = f[2].empty() ? "TipsOn" : f[2];
    const std::string& value = f[3];

    IniReadText(content, section, key, "default");
    IniReadText(content, "Column", "Names", "");
    IniReadText(content, "Filing", "Deadline", "0");

    std::string out;
    if (IniUpdateText(content, section, key, value, out)) {
        std::string expected = value;
        for (char& c : expected)
            if (c == '\r' || c == '\n') c = ' ';
        expected = Trim(CutBytes(Trim(expected), 999));
        if (IniReadText(out, section, key, "\x01missing") != expected) std::abort();
        // Writing the same value again changes nothing.
        std::string again;
        if (!IniUpdateText(out, section, key, value, again) || again != out) std::abort();
    }
    return 0;
}
