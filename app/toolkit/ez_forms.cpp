#include "app/toolkit/ez_forms.h"

#include "app/base/app_state.h"
#include "app/base/help.h"

namespace {
// The designed font face is mapped to the desktop's own sans-serif face.
constexpr const char* kSansFace = "sans-serif";
constexpr const char* kSymbolFace = "Wingdings";
}  // namespace

void DefineFontsAndColours() {
    EZ_DEFFONT(kFontText, kSansFace, 9, "");
    EZ_DEFFONT(kFontBold, kSansFace, 9, "B");
    EZ_DEFFONT(kFontHeading, kSansFace, 11, "B");
    EZ_DEFFONT(kFontSymbol, kSymbolFace, 16, "S");
    EZ_DEFFONT(kFontTitle, kSansFace, 10, "B");
    for (int slot = kFontSized; slot <= kFontSized + 6; ++slot)
        EZ_DEFFONT(slot, kSansFace, slot - 10, "");

    // Menu, window, button face and tooltip background of a light desktop theme.
    EZ_DEFCOLOR(kColorMenu, 240, 240, 240);
    EZ_DEFCOLOR(kColorWindow, 255, 255, 255);
    EZ_DEFCOLOR(kColorButtonFace, 240, 240, 240);
    EZ_DEFCOLOR(kColorTooltip, 255, 255, 225);
    EZ_DEFCOLOR(36, 252, 252, 254);
    EZ_DEFCOLOR(37, 249, 249, 249);
    EZ_DEFCOLOR(38, 245, 244, 241);
    EZ_DEFCOLOR(39, 244, 243, 238);
    EZ_DEFCOLOR(kColorYellow, 227, 213, 28);
    EZ_DEFCOLOR(kColorBlue, 67, 137, 188);
    EZ_DEFCOLOR(kColorRed, 183, 106, 108);
    EZ_DEFCOLOR(kColorPurple, 137, 68, 221);
}

bool CommonFormEvent(const std::string& form, int id, EzEvent ev, const FormEnding& ending,
                     int helpTopic) {
    if (id == 0) {
        if (ev != EzEvent::Activated || ending.activeTopic == 0) return false;
        Shell().helpTopic = ending.activeTopic;
        return true;
    }
    if (ev != EzEvent::Click) return false;
    if (id == kHelpKeyId || id == ending.help) {
        ShowHelp(helpTopic);
        return true;
    }
    if (id == ending.exit) {
        EZ_UNLOADFORM(form);
        return true;
    }
    return false;
}
