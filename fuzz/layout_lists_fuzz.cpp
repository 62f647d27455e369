// The list-view layout lists (Names, Widths, Format) and the saved window
// place and size, as read back from the settings file.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "ui/layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto f = FuzzFields(data, size, 7);
    for (int columns : {0, 6, 64}) {
        auto layout = ColumnLayoutFromSettings(f[0], f[1], f[2], columns);
        if (static_cast<int>(layout.size()) > columns) std::abort();
    }
    FormPlace current{10, 5, 90, 30, false};
    for (bool useSaved : {false, true}) {
        FormPlace p = PlaceFromSettings(f[3], f[4], f[5], f[6], current, 160, 48, useSaved);
        if (!std::isfinite(p.w) || !std::isfinite(p.h) || p.w > 160 || p.h > 48 || p.col < 0 ||
            p.row < 0)
            std::abort();
    }
    return 0;
}
