// The toolkit on Windows, as far as it goes today: no windows yet. Every
// EZ_ call is the harmless no-op the toolkit is when no toolkit runs (as in
// the plain unit tests on Linux): "" / 0 / false, the text measures estimate
// one column per character and one row per line, and the message boxes and
// file dialogs asked for are recorded (EZ_TAKEUNSHOWN) instead of shown.
//
// The program itself (EZ_GUIRUN) runs its forms without windows: each form is
// designed, loaded and shown (its events run), then closed at once as if the
// user had closed it. So the program starts, its main window's opening opens
// (or creates) the database and writes the settings file, and its closing
// ends the program. Outside EZ_GUIRUN (the unit tests) a form is only
// recorded, like a message box.
#include "app/toolkit/win32/ez_win32.h"

#include <algorithm>
#include <iostream>

#include "app/base/util_win32.h"
#include "app/toolkit/ez.h"

namespace ez {

State& S() {
    static State s;
    return s;
}

std::string Utf8(const wchar_t* text, int length) {
    if (!text || length == 0) return {};
    return length < 0 ? ::Utf8(std::wstring_view(text))
                      : ::Utf8(std::wstring_view(text, static_cast<size_t>(length)));
}

std::vector<std::string>& LiveForms() {
    static std::vector<std::string> live;
    return live;
}

}  // namespace ez

using namespace ez;

// ---------------------------------------------------------------------------
// Run
// ---------------------------------------------------------------------------
int EZ_GUIRUN(int argc, char** argv, EzStartProc start, EzEventProc event, EzDesignProc design) {
    S().event = event;
    S().design = design;
    S().running = true;
    if (start) start();
    while (!LiveForms().empty()) EZ_DESTROYFORM(LiveForms().back());
    S().running = false;
    return 0;
}

bool EZ_ISRUNNING() {
    return false;
}

// ---------------------------------------------------------------------------
// What would show a window: recorded, not shown
// ---------------------------------------------------------------------------
namespace {

bool Live(const std::string& name) {
    return std::find(LiveForms().begin(), LiveForms().end(), name) != LiveForms().end();
}

void Forget(const std::string& name) {
    LiveForms().erase(std::remove(LiveForms().begin(), LiveForms().end(), name), LiveForms().end());
}

}  // namespace

void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             double col, double row, double width, double height, const std::string& style) {
    if (name.empty() || Live(name)) return;
    if (!S().running) {
        S().unshown.push_back("form " + name);
        return;
    }
    LiveForms().push_back(name);
    if (S().design) S().design(name);
    if (Live(name)) EZ_SENDEVENT(name, 0, EzEvent::Loaded);
    if (Live(name)) EZ_SENDEVENT(name, 0, EzEvent::Shown);
    // No window stays open: closed at once, and gone even when its Close
    // event would keep it (nobody could close it later).
    if (Live(name)) EZ_UNLOADFORM(name);
    if (Live(name)) EZ_DESTROYFORM(name);
}

void EZ_UNLOADFORM(const std::string& name) {
    if (!Live(name) || EZ_SENDEVENT(name, 0, EzEvent::Close) != 0) return;
    EZ_DESTROYFORM(name);
}

void EZ_DESTROYFORM(const std::string& name) {
    if (!Live(name)) return;
    Forget(name);
    EZ_SENDEVENT(name, 0, EzEvent::Unloaded);
}

bool EZ_FORMEXISTS(const std::string& name) {
    return Live(name);
}

std::string EZ_CURRENTFORM() {
    return LiveForms().empty() ? std::string() : LiveForms().back();
}

void EZ_MSGBOX(const std::string& parent, const std::string& text, const std::string& title) {
    std::cerr << title << ": " << text << "\n";
    S().unshown.push_back("message box \"" + title + "\"");
}

std::string EZ_OPENFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& filter) {
    S().unshown.push_back("file dialog \"" + title + "\"");
    return "";
}

std::string EZ_SAVEFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& fileName,
                           const std::string& filter) {
    S().unshown.push_back("file dialog \"" + title + "\"");
    return "";
}

// ---------------------------------------------------------------------------
// Measures without a toolkit
// ---------------------------------------------------------------------------
double EZ_TEXTWIDTH(int fontSlot, const std::string& text) {
    double widest = 0, n = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            widest = std::max(widest, n);
            n = 0;
        } else if ((c & 0xC0) != 0x80) {
            n += 1;
        }
    }
    return std::max(widest, n);
}

double EZ_TEXTHEIGHT(int fontSlot, const std::string& text) {
    int n = 1;
    for (char c : text)
        if (c == '\n') ++n;
    return n;
}

double EZ_PIXELSTOCOLS(int px) {
    return px / kColPx;
}

int EZ_COLSTOPIXELS(double cols) {
    return static_cast<int>(cols * kColPx + 0.5);
}

void EZ_GETFORMPLACE(const std::string& name, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
}

void EZ_GETPLACE(const std::string& form, int id, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
}

void EZ_SCREENSIZE(double& cols, double& rows) {
    cols = rows = 0;
}

bool EZ_CONTROLKIND(const std::string& form, int id, EzKind& kind) {
    return false;
}

void EZ_DTGET(const std::string& form, int id, int& y, int& m, int& d, int& hour, int& minute) {
    y = m = d = hour = minute = 0;
}

// ---------------------------------------------------------------------------
// Services
// ---------------------------------------------------------------------------
std::vector<std::string> EZ_COMMANDARGS() {
    if (S().commandArgs) return *S().commandArgs;
    // The arguments as Windows holds them (UTF-16), not the code-page argv.
    std::vector<std::string> args;
    int argc = 0;
    if (LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
        for (int i = 1; i < argc; ++i) args.push_back(::Utf8(argv[i]));
        LocalFree(argv);
    }
    return args;
}

int EZ_SENDEVENT(const std::string& form, int id, EzEvent ev, int64_t value) {
    int cancel = 0;
    if (S().event) S().event(form, id, ev, value, cancel);
    return cancel;
}

std::string EZ_APPPATH() {
    if (!S().appPath.empty()) return S().appPath;
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return ".\\";
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    std::string dir = ::Utf8(buf);
    const size_t cut = dir.find_last_of("\\/");
    dir = cut == std::string::npos ? std::string(".") : dir.substr(0, cut);
    return dir + "\\";
}

void EZ_SETAPPPATH(const std::string& folder) {
    S().appPath = folder;
    if (!S().appPath.empty() && S().appPath.back() != '/' && S().appPath.back() != '\\')
        S().appPath += '\\';
}

void EZ_SETIMAGEFOLDER(const std::string& folder) {
    S().imageFolder = folder;
}

// ---------------------------------------------------------------------------
// Forms, controls, menus, lists: nothing to do without windows
// ---------------------------------------------------------------------------
void EZ_HIDEFORM(const std::string& name) {}
void EZ_SHOWFORM(const std::string& name) {}
void EZ_SETFORMMINMAX(const std::string& name, double minW, double minH, double maxW, double maxH) {
}
void EZ_SETFORMPLACE(const std::string& name, double col, double row, double w, double h) {}
void EZ_CENTERFORM(const std::string& name) {}
void EZ_BRINGTOFRONT(const std::string& name) {}
void EZ_CONTROL(const std::string& form, int id, EzKind kind, const std::string& text, double col,
                double row, double w, double h, const std::string& style) {}
bool EZ_CONTROLEXISTS(const std::string& form, int id) {
    return false;
}
void EZ_MENU(const std::string& form, int parentId, int id, const std::string& caption) {}
void EZ_MENUENABLE(const std::string& form, int id, bool on) {}
void EZ_POPUPMENU(const std::string& form, int menuId, const std::vector<EzMenuItem>& items) {}
void EZ_SHOWPOPUP(const std::string& form, int menuId, int nearId) {}
void EZ_TOOLBUTTON(const std::string& form, int toolbarId, int buttonId, const std::string& icon,
                   const std::string& tooltip, bool sepBefore) {}
void EZ_TBENABLE(const std::string& form, int buttonId, bool on) {}
void EZ_SBPARTS(const std::string& form, int id, const std::vector<double>& widths) {}
void EZ_SBSETTEXT(const std::string& form, int id, int part, const std::string& text) {}
void EZ_ACCEL(const std::string& form, const std::string& key, int pseudoId) {}
std::string EZ_GETTEXT(const std::string& form, int id) {
    return {};
}
void EZ_SETTEXT(const std::string& form, int id, const std::string& text) {}
void EZ_SETTEXTLIMIT(const std::string& form, int id, int maxChars) {}
void EZ_SELECTTEXT(const std::string& form, int id, int start, int length) {}
int EZ_GETCURSORPOS(const std::string& form, int id) {
    return 0;
}
bool EZ_GETCHECK(const std::string& form, int id) {
    return false;
}
void EZ_SETCHECK(const std::string& form, int id, bool on) {}
void EZ_ENABLE(const std::string& form, int id, bool on) {}
bool EZ_ISENABLED(const std::string& form, int id) {
    return false;
}
void EZ_SHOW(const std::string& form, int id, bool on) {}
bool EZ_ISVISIBLE(const std::string& form, int id) {
    return false;
}
void EZ_SETFOCUS(const std::string& form, int id) {}
int EZ_GETFOCUS(const std::string& form) {
    return 0;
}
void EZ_SETFONT(const std::string& form, int id, int fontSlot) {}
void EZ_SETCOLOR(const std::string& form, int id, int fgSlot, int bgSlot) {}
void EZ_SETTOOLTIP(const std::string& form, int id, const std::string& text) {}
void EZ_MOVE(const std::string& form, int id, double col, double row, double w, double h) {}
void EZ_REDRAW(const std::string& form, int id, bool on) {}
void EZ_SETPARENT(const std::string& form, int id, int pageId) {}
void EZ_DEFFONT(int slot, const std::string& face, double points, const std::string& style) {}
void EZ_DEFCOLOR(int slot, int r, int g, int b) {}
int EZ_ADDITEM(const std::string& form, int id, const std::string& text, int64_t data) {
    return -1;
}
void EZ_DELETEITEM(const std::string& form, int id, int index) {}
void EZ_CLEARITEMS(const std::string& form, int id) {}
int EZ_ITEMCOUNT(const std::string& form, int id) {
    return 0;
}
std::string EZ_ITEMTEXT(const std::string& form, int id, int index) {
    return {};
}
void EZ_SETITEMTEXT(const std::string& form, int id, int index, const std::string& text) {}
int64_t EZ_ITEMDATA(const std::string& form, int id, int index) {
    return 0;
}
int EZ_FINDITEM(const std::string& form, int id, const std::string& text) {
    return -1;
}
void EZ_SELECTITEM(const std::string& form, int id, int index) {}
int EZ_SELECTEDITEM(const std::string& form, int id) {
    return -1;
}
bool EZ_ITEMSELECTED(const std::string& form, int id, int index) {
    return false;
}
void EZ_SETITEMSELECTED(const std::string& form, int id, int index, bool on) {}
void EZ_DTSETFORMAT(const std::string& form, int id, const std::string& format) {}
void EZ_DTSETRANGE(const std::string& form, int id, int y1, int m1, int d1, int y2, int m2,
                   int d2) {}
void EZ_DTSET(const std::string& form, int id, int y, int m, int d, int hour, int minute) {}
void EZ_DTMONDAYSTART(const std::string& form, int id, bool mondayFirst) {}
void EZ_SETRANGE(const std::string& form, int id, int lo, int hi) {}
void EZ_SETVALUE(const std::string& form, int id, int value) {}
int EZ_GETVALUE(const std::string& form, int id) {
    return 0;
}
void EZ_SETRICHTEXT(const std::string& form, int id, const std::vector<EzTextRun>& runs) {}
void EZ_DOEVENTS() {}
void EZ_PROGRESSEVENTS() {}
void EZ_POSTEVENT(const std::string& form, int id, int64_t value) {}
void EZ_SETAPPIDENTITY(const std::string& name, const std::string& desktopId) {}
void EZ_SETAPPICON(const std::vector<std::string>& files) {}
