// The message box's format codes, button lists and options, and the layout
// built from them (text measured by a fixed-width stand-in).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "ui/msgbox_layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto f = FuzzFields(data, size, 6);
    TextMeasure m;
    m.width = [](int font, const std::string& text) {
        return static_cast<double>(text.size()) * (font == 0 ? 1.0 : 1.1);
    };
    m.height = [](int, const std::string&) { return 1.0; };

    CodedText coded = SplitCodes(f[0]);
    ReadTitleCodes(coded.codes);
    ReadTextCodes(coded.codes);
    for (const MsgButton& b : ParseButtonList(f[3])) CaptionDisplayText(b.caption);
    ParseMsgOptions(f[5]);
    WrapText(f[1], 0, 20, m);

    MsgInput in;
    in.title = f[0];
    in.text1 = f[1];
    in.text2 = f[2];
    in.buttons = f[3];
    in.checkText = f[4];
    in.options = f[5];
    MsgLayout layout = LayoutMessage(in, m);
    if (!std::isfinite(layout.width) || !std::isfinite(layout.height)) std::abort();
    return 0;
}
