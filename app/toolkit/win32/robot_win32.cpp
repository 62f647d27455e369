// The robot's Windows half: its steps are played from a thread timer that
// every message loop of the toolkit dispatches (so the steps after one that
// opens a modal form run inside that form's loop), and a user's actions are
// the messages a user's mouse or keyboard makes the real windows send: BM_CLICK
// on buttons, a replaced selection in edit boxes (EN_CHANGE), a selection plus
// its CBN_SELCHANGE / LBN_SELCHANGE, list-view item state changes
// (LVN_ITEMCHANGED), posted key strokes. The toolkit's own notification
// handling turns them into events, as it does for a person.
#include <objbase.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "app/base/util_win32.h"
#include "app/toolkit/robot.h"
#include "app/toolkit/robot_backend.h"
#include "app/toolkit/win32/ez_win32.h"
#include "app/toolkit/win32/testing_win32.h"

using namespace ez;

namespace {

HWND CtlWindow(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c ? c->hwnd : nullptr;
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

LONG_PTR StyleOf(HWND hwnd) {
    return GetWindowLongPtrW(hwnd, GWL_STYLE);
}

// The window a control's notifications go to.
HWND NotifyTarget(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    return parent ? parent : hwnd;
}

// WM_COMMAND with a notification code, as the control itself sends it.
void Notify(HWND hwnd, WORD code) {
    SendMessageW(NotifyTarget(hwnd), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hwnd)), code),
                 reinterpret_cast<LPARAM>(hwnd));
}

// WM_NOTIFY of a list view's item: NM_DBLCLK, NM_RCLICK, NM_CLICK.
void NotifyItem(HWND lv, UINT code, int row, int col, POINT at) {
    NMITEMACTIVATE nm{};
    nm.hdr.hwndFrom = lv;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(lv));
    nm.hdr.code = code;
    nm.iItem = row;
    nm.iSubItem = col;
    nm.ptAction = at;
    SendMessageW(NotifyTarget(lv), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
}

bool IsButtonKind(EzKind k) {
    return k == EzKind::Button || k == EzKind::Check || k == EzKind::Radio;
}

// A left click on a list view's row, as the list view takes it: the row alone
// selected and focused, or (extend, Ctrl held) added to the selection.
bool ClickRow(HWND lv, int row, bool extend) {
    const int count = static_cast<int>(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
    if (row < 0 || row >= count) return false;
    SendMessageW(lv, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    LVITEMW item{};
    if (!extend) {
        item.stateMask = LVIS_SELECTED;
        item.state = 0;
        SendMessageW(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(&item));
    }
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    SendMessageW(lv, LVM_SETSELECTIONMARK, 0, row);
    return true;
}

// Where on a list view a click on a cell lands (the left end of the cell,
// where a check image sits), in the list view's client coordinates.
POINT CellPoint(HWND lv, int row, int col) {
    RECT r{};
    r.top = col;
    r.left = LVIR_BOUNDS;
    SendMessageW(lv, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return POINT{r.left + 8, (r.top + r.bottom) / 2};
}

// The text of a list box or combo item.
std::string ItemText(HWND hwnd, bool combo, int index) {
    const UINT lenMsg = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMsg = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const LRESULT n = SendMessageW(hwnd, lenMsg, static_cast<WPARAM>(index), 0);
    if (n < 0) return "";
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(hwnd, textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n));
    return Utf8(text);
}

// Replaces the whole text of an edit box as typing over a selection of all
// of it does (the box sends EN_CHANGE; its length limit applies).
void ReplaceEditText(HWND edit, const std::string& text) {
    std::wstring wide = Wide(text);
    if (StyleOf(edit) & ES_MULTILINE) {
        std::wstring crlf;
        for (wchar_t ch : wide) {
            if (ch == L'\n' && (crlf.empty() || crlf.back() != L'\r')) crlf += L'\r';
            crlf += ch;
        }
        wide = crlf;
    }
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
}

// The edit box inside an editable combo.
HWND ComboEdit(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

// A key stroke posted to a window as the keyboard would, so that the message
// loop's handling (dialog keys, accelerators, translation to WM_CHAR) applies.
void PostKey(HWND target, UINT vk) {
    const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    PostMessageW(target, WM_KEYDOWN, vk, 1 | (static_cast<LPARAM>(scan) << 16));
    PostMessageW(target, WM_KEYUP, vk,
                 1 | (static_cast<LPARAM>(scan) << 16) | (1LL << 30) | (1LL << 31));
}

// Timer callbacks by timer id (thread timers carry no pointer of their own).
std::map<UINT_PTR, std::function<void()>>& Timers() {
    static std::map<UINT_PTR, std::function<void()>> timers;
    return timers;
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    auto it = Timers().find(id);
    if (it == Timers().end()) return;
    std::function<void()> fn = std::move(it->second);
    Timers().erase(it);
    if (fn) fn();
}

UINT_PTR StartTimer(int ms, std::function<void()> fn) {
    const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(std::max(ms, 0)), &OnTimer);
    if (id) Timers()[id] = std::move(fn);
    return id;
}

void StopTimer(UINT_PTR id) {
    if (!id) return;
    KillTimer(nullptr, id);
    Timers().erase(id);
}

bool& LoopDone() {
    static bool done = false;
    return done;
}

}  // namespace

namespace robot_backend {

struct Ticker::Impl {
    std::function<void()> fn;
    UINT_PTR id = 0;
};

Ticker::Ticker(std::function<void()> fn) : impl_(std::make_unique<Impl>()) {
    impl_->fn = std::move(fn);
}

Ticker::~Ticker() {
    Stop();
}

void Ticker::Start(int ms) {
    Stop();
    Impl* im = impl_.get();
    im->id = StartTimer(ms, [im]() {
        im->id = 0;
        im->fn();
    });
}

void Ticker::Stop() {
    StopTimer(impl_->id);
    impl_->id = 0;
}

void RunLoop() {
    LoopDone() = false;
    ez::RunLoop([]() { return LoopDone(); });
    LoopDone() = false;
}

void QuitLoop() {
    LoopDone() = true;
    // Wakes the loop so that it sees it is done.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void Later(std::function<void()> fn) {
    StartTimer(0, std::move(fn));
}

int64_t NowMs() {
    return static_cast<int64_t>(GetTickCount64());
}

Forms FormsNow() {
    return FormsIn(S(), [](const Form& f) { return f.loopRunning; });
}

void Settle() {}

void SetHooks(Hooks hooks) {
    S().hooks.fileDialog = std::move(hooks.fileDialog);
    S().hooks.msgBox = std::move(hooks.msgBox);
    S().hooks.formShown = std::move(hooks.formShown);
}

std::string Reach(const std::string& form, int id) {
    HWND hwnd = CtlWindow(form, id);
    if (!hwnd) return "no control " + form + "." + std::to_string(id);
    if (!IsWindowEnabled(hwnd))
        return "control " + form + "." + std::to_string(id) + " is disabled";
    if (!IsWindowVisible(hwnd)) return "control " + form + "." + std::to_string(id) + " is hidden";
    return "";
}

void SendKey(const std::string& form, int id, int key) {
    Form* f = FindForm(form);
    if (!f || !f->hwnd) return;
    // An open context menu takes the keyboard, as it does for a user.
    if (f->popupOpen && key == kKeyEsc) {
        EndMenu();
        return;
    }
    HWND target = id ? CtlWindow(form, id) : nullptr;
    if (target) {
        SetFocus(target);
    } else {
        HWND focus = GetFocus();
        target = focus && (focus == f->hwnd || IsChild(f->hwnd, focus)) ? focus : f->hwnd;
    }
    // The toolkit's key codes are the virtual keys.
    PostKey(target, static_cast<UINT>(key));
}

std::string Click(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return "no form " + form;
    if (Ctl* c = FindCtl(form, id); c && c->hwnd) {
        if (std::string failure = Reach(form, id); !failure.empty()) return failure;
        if (IsButtonKind(c->kind)) {
            SendMessageW(c->hwnd, BM_CLICK, 0, 0);
        } else if (c->kind == EzKind::Label && c->style.find('L') != std::string::npos) {
            // A link reacts to the mouse itself: press and release on it.
            RECT r{};
            GetClientRect(c->hwnd, &r);
            const LPARAM at = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
            SendMessageW(c->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
            SendMessageW(c->hwnd, WM_LBUTTONUP, 0, at);
        } else {
            EZ_SENDEVENT(form, id, EzEvent::Click);
        }
        return "";
    }
    const std::string item = form + "." + std::to_string(id);
    for (const auto& [menuId, items] : f->popupItems) {
        const bool holds = std::any_of(items.begin(), items.end(),
                                       [id](const EzMenuItem& m) { return m.id == id; });
        if (!holds) continue;
        if (f->popupOpen != menuId) return "item " + item + " of a context menu that is not open";
        // Choosing the item closes the menu, which then raises its Click.
        f->popupChoice = id;
        EndMenu();
        return "";
    }
    if (auto it = f->menu.find(id); it != f->menu.end()) {
        if (!it->second.enabled) return "menu item or tool button " + item + " is disabled";
        SendMessageW(f->hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        return "";
    }
    if (auto it = f->toolButtons.find(id); it != f->toolButtons.end()) {
        HWND bar = CtlWindow(form, it->second);
        if (!bar || !SendMessageW(bar, TB_ISBUTTONENABLED, static_cast<WPARAM>(id), 0))
            return "menu item or tool button " + item + " is disabled";
        SendMessageW(NotifyTarget(bar), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
                     reinterpret_cast<LPARAM>(bar));
        return "";
    }
    for (const Accel& a : f->accels) {
        if (a.id == id) {
            EZ_SENDEVENT(form, id, EzEvent::Click);
            return "";
        }
    }
    return "no control " + item;
}

std::string DblClick(const std::string& form, int id, int row) {
    Ctl* c = FindCtl(form, id);
    if (c->kind == EzKind::ListView) {
        if (row >= 0 && !ClickRow(c->hwnd, row, false)) return "no row " + std::to_string(row);
        NotifyItem(c->hwnd, NM_DBLCLK, row, 0, row >= 0 ? CellPoint(c->hwnd, row, 0) : POINT{});
        return "";
    }
    if (c->kind == EzKind::ListBox) {
        const int count = static_cast<int>(SendMessageW(c->hwnd, LB_GETCOUNT, 0, 0));
        if (row >= 0 && row < count) {
            SendMessageW(c->hwnd, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
            Notify(c->hwnd, LBN_SELCHANGE);
        }
        Notify(c->hwnd, LBN_DBLCLK);
        return "";
    }
    EZ_SENDEVENT(form, id, EzEvent::DblClick, row);
    return "";
}

std::string RightClick(const std::string& form, int id, int row) {
    Ctl* c = FindCtl(form, id);
    if (c->kind == EzKind::ListView) {
        if (row >= 0 && !EZ_LVISSELECTED(form, id, row)) ClickRow(c->hwnd, row, false);
        NotifyItem(c->hwnd, NM_RCLICK, row, 0, row >= 0 ? CellPoint(c->hwnd, row, 0) : POINT{});
        return "";
    }
    EZ_SENDEVENT(form, id, EzEvent::RightClick, row);
    return "";
}

std::string Type(const std::string& form, int id, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    switch (c->kind) {
        case EzKind::Text:
            if (StyleOf(c->hwnd) & ES_READONLY) return "text is read-only";
            ReplaceEditText(c->hwnd, text);
            return "";
        case EzKind::ComboEdit:
            if (HWND edit = ComboEdit(c->hwnd)) {
                ReplaceEditText(edit, text);
                return "";
            }
            return "control does not take typing";
        case EzKind::UpDown:
            if (c->buddy) {
                // The spin box keeps a typed number to its range.
                int lo = 0, hi = 0;
                SendMessageW(c->hwnd, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lo),
                             reinterpret_cast<LPARAM>(&hi));
                const int value =
                    std::clamp(std::atoi(text.c_str()), std::min(lo, hi), std::max(lo, hi));
                ReplaceEditText(c->buddy, std::to_string(value));
                return "";
            }
            return "control does not take typing";
        default:
            return "control does not take typing";
    }
}

std::string SetCheck(const std::string& form, int id, bool on) {
    Ctl* c = FindCtl(form, id);
    if (!IsButtonKind(c->kind)) return "";
    const bool checked = SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != on) SendMessageW(c->hwnd, BM_CLICK, 0, 0);
    return "";
}

std::string ToggleCheckCell(const std::string& form, int id, int row, int col) {
    Ctl* c = FindCtl(form, id);
    if (c->kind != EzKind::ListView) return "";
    if (row < 0 || row >= static_cast<int>(SendMessageW(c->hwnd, LVM_GETITEMCOUNT, 0, 0)))
        return "";
    SendMessageW(c->hwnd, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    NotifyItem(c->hwnd, NM_CLICK, row, col, CellPoint(c->hwnd, row, col));
    return "";
}

bool Select(const std::string& form, int id, int index, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    const bool combo = c->kind == EzKind::Combo || c->kind == EzKind::ComboEdit;
    if (combo || c->kind == EzKind::ListBox) {
        const int count =
            static_cast<int>(SendMessageW(c->hwnd, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
        if (index < 0) {
            for (int i = 0; i < count && index < 0; ++i)
                if (ItemText(c->hwnd, combo, i) == text) index = i;
        }
        if (index < 0 || index >= count) return false;
        SetFocus(c->hwnd);
        if (combo) {
            const bool same = SendMessageW(c->hwnd, CB_GETCURSEL, 0, 0) == index;
            SendMessageW(c->hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            if (!same) Notify(c->hwnd, CBN_SELCHANGE);
            return true;
        }
        if (StyleOf(c->hwnd) & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) {
            SendMessageW(c->hwnd, LB_SETSEL, FALSE, -1);
            SendMessageW(c->hwnd, LB_SETSEL, TRUE, index);
            SendMessageW(c->hwnd, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
        } else {
            SendMessageW(c->hwnd, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        Notify(c->hwnd, LBN_SELCHANGE);
        return true;
    }
    if (c->kind == EzKind::ListView) {
        if (index < 0) {
            for (int r = 0; r < EZ_LVROWCOUNT(form, id) && index < 0; ++r)
                if (EZ_LVGETCELL(form, id, r, 0) == text) index = r;
        }
        return index >= 0 && ClickRow(c->hwnd, index, false);
    }
    return false;
}

bool SelectRow(const std::string& form, int id, int row, bool extend) {
    Ctl* c = FindCtl(form, id);
    return c->kind == EzKind::ListView && ClickRow(c->hwnd, row, extend);
}

std::string HeaderClick(const std::string& form, int id, int col) {
    Ctl* c = FindCtl(form, id);
    if (c->kind != EzKind::ListView) return "";
    HWND header = reinterpret_cast<HWND>(SendMessageW(c->hwnd, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    if (col < 0 || col >= columns) return "no column";
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = c->hwnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(c->hwnd));
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = col;
    SendMessageW(NotifyTarget(c->hwnd), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    return "";
}

std::string Key(const std::string& form, int id, int key) {
    if (key == kKeyF1 || key == kKeyF7) {
        if (id) EZ_SETFOCUS(form, id);
        Form* f = FindForm(form);
        for (const Accel& a : f ? f->accels : std::vector<Accel>{}) {
            if (a.vk == static_cast<UINT>(key) && !a.ctrl && !a.shift && !a.alt) {
                EZ_SENDEVENT(form, a.id, EzEvent::Click);
                return "";
            }
        }
        return "form " + form + " has no accelerator for the key";
    }
    switch (key) {
        case kKeyEnter:
        case kKeyEsc:
        case kKeySpace:
        case kKeyDelete:
        case kKeyTab:
        case kKeyF2:
        case kKeyUp:
        case kKeyDown:
            SendKey(form, id, key);
            return "";
        default:
            return "unknown key";
    }
}

bool Drag(const std::string& form, int id, int from, int to) {
    Ctl* c = FindCtl(form, id);
    if (c->kind != EzKind::ListBox) return false;
    const int count = static_cast<int>(SendMessageW(c->hwnd, LB_GETCOUNT, 0, 0));
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return false;
    // Press on the item, move onto the target and let go there. The move and
    // the release wait in the queue, as the mouse's do: a list box may watch
    // for a drag when pressed (the system's drag detection reads them there).
    SendMessageW(c->hwnd, LB_SETTOPINDEX, static_cast<WPARAM>(std::min(from, to)), 0);
    auto centre = [&](int index) {
        RECT r{};
        SendMessageW(c->hwnd, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&r));
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    };
    SetFocus(c->hwnd);
    PostMessageW(c->hwnd, WM_MOUSEMOVE, MK_LBUTTON, centre(to));
    PostMessageW(c->hwnd, WM_LBUTTONUP, 0, centre(to));
    SendMessageW(c->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, centre(from));
    return true;
}

std::string SetDate(const std::string& form, int id, int y, int m, int d, int hour, int minute) {
    Ctl* c = FindCtl(form, id);
    if (c->kind != EzKind::DateTime) return "";
    SYSTEMTIME range[2]{};
    const DWORD limits =
        static_cast<DWORD>(SendMessageW(c->hwnd, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)));
    auto day = [](int yy, int mm, int dd) { return yy * 10000 + mm * 100 + dd; };
    auto dayOf = [&](const SYSTEMTIME& t) { return day(t.wYear, t.wMonth, t.wDay); };
    const int want = day(y, m, d);
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
        ((limits & GDTR_MIN) && want < dayOf(range[0])) ||
        ((limits & GDTR_MAX) && want > dayOf(range[1])))
        return "date outside the picker's range";
    SetFocus(c->hwnd);
    EZ_DTSET(form, id, y, m, d, hour, minute);  // the value, set as the program would (quietly)
    // The picker tells its parent of a user's change (not of the one set above).
    NMDATETIMECHANGE nm{};
    SendMessageW(c->hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&nm.st));
    if (dayOf(nm.st) != want) return "date outside the picker's range";  // no such day
    nm.nmhdr.hwndFrom = c->hwnd;
    nm.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(c->hwnd));
    nm.nmhdr.code = DTN_DATETIMECHANGE;
    nm.dwFlags = GDT_VALID;
    SendMessageW(NotifyTarget(c->hwnd), WM_NOTIFY, nm.nmhdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    return "";
}

void Close(const std::string& form) {
    if (Form* f = FindForm(form); f && f->hwnd) SendMessageW(f->hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool PressButton(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || !IsButtonKind(c->kind)) return false;
    SendMessageW(c->hwnd, BM_CLICK, 0, 0);
    return true;
}

bool TickBox(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::Check) return false;
    if (SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) != BST_CHECKED)
        SendMessageW(c->hwnd, BM_CLICK, 0, 0);
    return true;
}

}  // namespace robot_backend

// ---------------------------------------------------------------------------
// What a test reads back of the windows.

namespace {

// The face a font resolved to (what the system draws with).
std::string FaceOf(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return Utf8(std::wstring_view(face));
}

HFONT SlotFont(int slot) {
    auto it = S().fonts.find(slot);
    return it != S().fonts.end() && it->second ? it->second : S().baseFont;
}

int TextWidth(HWND hwnd, const std::wstring& text) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cx;
}

int ClientWidth(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r.right - r.left;
}

int ColumnsWidth(HWND lv) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
    const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    int total = 0;
    for (int i = 0; i < columns; ++i)
        total += static_cast<int>(SendMessageW(lv, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
    return total;
}

bool HorizontalScrollReaches(HWND hwnd) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    return (StyleOf(hwnd) & WS_HSCROLL) && GetScrollInfo(hwnd, SB_HORZ, &info) &&
           info.nMax >= static_cast<int>(info.nPage);
}

}  // namespace

Robot::FontFacts Robot::FontOf(int slot) {
    FontFacts facts;
    HFONT font = SlotFont(slot);
    LOGFONTW lf{};
    if (!font || !GetObjectW(font, sizeof lf, &lf)) return facts;
    facts.family = FaceOf(font);
    facts.points = lf.lfHeight < 0 ? -lf.lfHeight * 72.0 / S().dpi : lf.lfHeight * 72.0 / S().dpi;
    facts.bold = lf.lfWeight >= FW_SEMIBOLD;
    auto def = S().fontDefs.find(slot);
    if (def != S().fontDefs.end()) facts.points = def->second.points;
    return facts;
}

std::string Robot::BaseFontFamily() {
    return FaceOf(S().baseFont);
}

void Robot::ColourOf(int slot, int& r, int& g, int& b) {
    auto it = S().colours.find(slot);
    const COLORREF c = it != S().colours.end() ? it->second : RGB(0, 0, 0);
    r = GetRValue(c);
    g = GetGValue(c);
    b = GetBValue(c);
}

// The Win32 dialogs take "Name|*.ext" filters as they are (the bars become
// the terminating zeros of OPENFILENAME's filter).
std::string Robot::DialogFilter(const std::string& filter) {
    return filter;
}

bool Robot::HandCursor(const std::string& form, int id) {
    HWND hwnd = CtlWindow(form, id);
    if (!hwnd) return false;
    HCURSOR before = GetCursor();
    SendMessageW(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const bool hand = GetCursor() == LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));  // the hand
    SetCursor(before);
    return hand;
}

// Windows name a control by its id within its form's window.
std::string Robot::ObjectName(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f || !f->hwnd) return "";
    if (id == 0) return form;
    HWND hwnd = CtlWindow(form, id);
    return hwnd && GetDlgCtrlID(hwnd) == id ? form + "." + std::to_string(id) : std::string();
}

// Read by the system's image decoder (Windows Imaging Component).
bool Robot::ImageSize(const std::string& path, int& width, int& height) {
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool ok = false;
    IWICImagingFactory* factory = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory)))) {
        IWICBitmapDecoder* decoder = nullptr;
        if (SUCCEEDED(
                factory->CreateDecoderFromFilename(WidePath(path).c_str(), nullptr, GENERIC_READ,
                                                   WICDecodeMetadataCacheOnDemand, &decoder))) {
            IWICBitmapFrameDecode* frame = nullptr;
            UINT w = 0, h = 0;
            if (SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&w, &h))) {
                width = static_cast<int>(w);
                height = static_cast<int>(h);
                ok = true;
            }
            if (frame) frame->Release();
            decoder->Release();
        }
        factory->Release();
    }
    if (SUCCEEDED(init)) CoUninitialize();
    return ok;
}

bool Robot::PopupScreenshot(const std::string& pngPath) {
    // The open context menu is a window of the system's menu class.
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu) && WindowScreenshot(menu, pngPath);
}

int Robot::CaptionRoom(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || !IsButtonKind(c->kind)) return -1000;
    std::wstring caption = WindowText(c->hwnd);
    caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
    RECT margin{};
    SendMessageW(c->hwnd, BCM_GETTEXTMARGIN, 0, reinterpret_cast<LPARAM>(&margin));
    RECT outer{};
    GetWindowRect(c->hwnd, &outer);
    const int needed =
        TextWidth(c->hwnd, caption) + margin.left + margin.right + 2 * GetSystemMetrics(SM_CXEDGE);
    return (outer.right - outer.left) - needed;
}

bool Robot::ColumnsFillWidth(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::ListView) return false;
    return ColumnsWidth(c->hwnd) >= ClientWidth(c->hwnd);
}

bool Robot::HeaderShown(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::ListView) return false;
    HWND header = reinterpret_cast<HWND>(SendMessageW(c->hwnd, LVM_GETHEADER, 0, 0));
    return !(StyleOf(c->hwnd) & LVS_NOCOLUMNHEADER) && header && IsWindowVisible(header);
}

bool Robot::WideContentScrolls(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return false;
    int widest = 0;
    if (c->kind == EzKind::ListBox) {
        const int count = static_cast<int>(SendMessageW(c->hwnd, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            widest = std::max(widest, TextWidth(c->hwnd, Wide(ItemText(c->hwnd, false, i))));
    } else if (c->kind == EzKind::ListView) {
        widest = ColumnsWidth(c->hwnd);
    } else {
        return false;
    }
    return widest <= ClientWidth(c->hwnd) || HorizontalScrollReaches(c->hwnd);
}

int Robot::CurrentRow(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::ListView) return -1;
    return static_cast<int>(
        SendMessageW(c->hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// Qt's case-insensitive compare: both texts case-folded (to lower case), then
// compared by UTF-16 code unit.
int Robot::QtCompareIgnoringCase(const std::string& a, const std::string& b) {
    auto fold = [](const std::string& s) {
        std::wstring w = Wide(s);
        if (!w.empty()) CharLowerBuffW(w.data(), static_cast<DWORD>(w.size()));
        return w;
    };
    const int c = fold(a).compare(fold(b));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void Robot::RelayoutListView(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::ListView) return;
    const int count = static_cast<int>(SendMessageW(c->hwnd, LVM_GETITEMCOUNT, 0, 0));
    SendMessageW(c->hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), LVSICF_NOSCROLL);
    InvalidateRect(c->hwnd, nullptr, TRUE);
    UpdateWindow(c->hwnd);
}

// A test process is a toolkit session from here on, as the program's own run
// is: forms get windows (where there is a display).
void EzTestApp(int argc, char** argv) {
    EnsureToolkit();
    S().running = true;
}
