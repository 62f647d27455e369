// The toolkit's test-only functions on Windows (see ez_testing.h): without
// windows they read back nothing, except the command line and the windows
// asked for.
#include "app/toolkit/ez_testing.h"
#include "app/toolkit/win32/ez_win32.h"

using namespace ez;

void EZ_SETPROCS(EzEventProc event, EzDesignProc design) {
    S().event = event;
    S().design = design;
}

void EZ_SETCOMMANDARGS(const std::vector<std::string>& args) {
    S().commandArgs = args;
}

void EZ_INSERTITEM(const std::string& form, int id, int index, const std::string& text,
                   int64_t data) {}

bool EZ_MENUISENABLED(const std::string& form, int id) {
    return false;
}

bool EZ_TBISENABLED(const std::string& form, int buttonId) {
    return false;
}

std::string EZ_SBGETTEXT(const std::string& form, int id, int part) {
    return "";
}

std::string EZ_GETTOOLTIP(const std::string& form, int id) {
    return "";
}

std::vector<int> EZ_APPICONSIZES() {
    return {};
}

std::vector<std::string> EZ_TAKEUNSHOWN() {
    std::vector<std::string> out;
    out.swap(S().unshown);
    return out;
}

int EZ_LVGETHEADERIMAGE(const std::string& form, int id, int col) {
    return -1;
}

bool EZ_SCREENSHOT(const std::string& form, const std::string& pngPath) {
    return false;
}
