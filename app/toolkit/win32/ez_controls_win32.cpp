// The controls of the Windows toolkit: one common control (or a window of
// our own) per kind, the messages they send turned into toolkit events, and
// every EZ_ call that reads or sets them. Menus, toolbars, status bars,
// accelerators and tool tips are here too; the list view is in its own file.
#include <richedit.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/base/util_win32.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/win32/ez_win32.h"

namespace ez {

namespace {

bool Has(const std::string& style, char c) {
    for (char s : style)
        if (std::toupper(static_cast<unsigned char>(s)) == c) return true;
    return false;
}

std::string WindowText(HWND h) {
    const int n = GetWindowTextLengthW(h);
    if (n <= 0) return {};
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(h, buf.data(), n + 1);
    buf.resize(static_cast<size_t>(std::max(0, got)));
    return ::Utf8(buf);
}

// "\r\n" and lone "\r" become "\n" (multi-line boxes hold Windows line ends).
std::string NoCR(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') continue;
            out += '\n';
        } else {
            out += text[i];
        }
    }
    return out;
}

// "\n" becomes "\r\n" (a "\r" given is dropped first).
std::wstring WithCRLF(const std::string& text) {
    std::string out;
    for (char c : NoCR(text)) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return Wide(out);
}

bool IsMultiLine(const Ctl& c) {
    return (c.kind == EzKind::Text && Has(c.style, 'M')) || c.kind == EzKind::RichText;
}

// Byte offsets into the UTF-8 text (as EZ_GETTEXT gives it) and UTF-16
// positions in the control (where a multi-line box's "\n" is "\r\n"; a rich
// text box's is one "\r").
int ControlPos(const std::string& utf8, int byte, int lineEnd) {
    int pos = 0;
    size_t i = 0;
    while (i < utf8.size() && static_cast<int>(i) < byte) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        pos += c == '\n' ? lineEnd : len == 4 ? 2 : 1;
        i += len;
    }
    return pos;
}
int BytePos(const std::string& utf8, int pos, int lineEnd) {
    int at = 0;
    size_t i = 0;
    while (i < utf8.size() && at < pos) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
        at += c == '\n' ? lineEnd : len == 4 ? 2 : 1;
        i += len;
    }
    return static_cast<int>(std::min(i, utf8.size()));
}
int LineEndOf(const Ctl& c) {
    return c.kind == EzKind::RichText ? 1 : IsMultiLine(c) ? 2 : 1;
}

// The window that takes the focus and the text of a control.
HWND MainWindow(const Ctl& c) {
    return c.kind == EzKind::UpDown && c.buddy ? c.buddy : c.hwnd;
}

HWND ComboEditOf(HWND combo) {
    COMBOBOXINFO ci{sizeof(ci)};
    return GetComboBoxInfo(combo, &ci) ? ci.hwndItem : nullptr;
}

// Radio buttons: a group runs from a radio with style "G" (or the form's
// first radio) to the next such radio, in creation order.
std::vector<int> RadioGroup(Form* f, int id) {
    std::vector<int> group;
    bool found = false;
    for (int cid : f->order) {
        auto it = f->ctls.find(cid);
        if (it == f->ctls.end() || it->second.kind != EzKind::Radio) continue;
        if (Has(it->second.style, 'G') || group.empty()) {
            if (found) break;
            group.clear();
        }
        group.push_back(cid);
        if (cid == id) found = true;
    }
    return found ? group : std::vector<int>{};
}

void CheckRadio(Form* f, int id) {
    for (int cid : RadioGroup(f, id)) {
        Ctl& c = f->ctls[cid];
        if (c.hwnd) SendMessageW(c.hwnd, BM_SETCHECK, cid == id ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool IsRadioGroupStart(Form* f, const Ctl& c) {
    if (Has(c.style, 'G')) return true;
    for (int cid : f->order) {
        auto it = f->ctls.find(cid);
        if (it != f->ctls.end() && it->second.kind == EzKind::Radio && cid != c.id) return false;
    }
    return true;
}

// Items of list boxes and combos: the two speak the same language with
// different message numbers.
struct ItemMsgs {
    UINT add, insert, del, reset, count, textLen, text, setData, getData, setSel, getSel, find;
};
constexpr ItemMsgs kListMsgs{LB_ADDSTRING,     LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                             LB_GETCOUNT,      LB_GETTEXTLEN,   LB_GETTEXT,      LB_SETITEMDATA,
                             LB_GETITEMDATA,   LB_SETCURSEL,    LB_GETCURSEL,    LB_FINDSTRINGEXACT};
constexpr ItemMsgs kComboMsgs{CB_ADDSTRING,    CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT,
                              CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_SETITEMDATA,
                              CB_GETITEMDATA,  CB_SETCURSEL,    CB_GETCURSEL,    CB_FINDSTRINGEXACT};

const ItemMsgs* ItemsOf(const Ctl* c) {
    if (!c || !c->hwnd) return nullptr;
    if (c->kind == EzKind::ListBox) return &kListMsgs;
    if (c->kind == EzKind::Combo || c->kind == EzKind::ComboEdit) return &kComboMsgs;
    return nullptr;
}

bool MultiSelect(const Ctl& c) {
    return c.kind == EzKind::ListBox && Has(c.style, 'M');
}

std::string ItemText(const Ctl& c, const ItemMsgs& m, int index) {
    const LRESULT n = SendMessageW(c.hwnd, m.textLen, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR || n < 0) return {};
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    SendMessageW(c.hwnd, m.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    buf.resize(static_cast<size_t>(n));
    return ::Utf8(buf);
}

int ItemCount(const Ctl& c, const ItemMsgs& m) {
    const LRESULT n = SendMessageW(c.hwnd, m.count, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

int InsertItem(const Ctl& c, const ItemMsgs& m, int index, const std::string& text, int64_t data) {
    const std::wstring w = Wide(text);
    const LRESULT at = SendMessageW(c.hwnd, m.insert, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(w.c_str()));
    if (at < 0) return -1;
    SendMessageW(c.hwnd, m.setData, static_cast<WPARAM>(at), static_cast<LPARAM>(data));
    return static_cast<int>(at);
}

// The item of exactly that text (letter case counts); -1 when none.
int FindExact(const Ctl& c, const ItemMsgs& m, const std::string& text) {
    const int n = ItemCount(c, m);
    for (int i = 0; i < n; ++i)
        if (ItemText(c, m, i) == text) return i;
    return -1;
}

// The item of that text with letter case aside (the system's own search).
int FindIgnoringCase(const Ctl& c, const ItemMsgs& m, const std::string& text) {
    const std::wstring w = Wide(text);
    const LRESULT at =
        SendMessageW(c.hwnd, m.find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(w.c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

int ItemAtPoint(HWND list, LPARAM lp) {
    const LRESULT r = SendMessageW(list, LB_ITEMFROMPOINT, 0, lp);
    return HIWORD(r) ? -1 : static_cast<int>(LOWORD(r));
}

// Moves a list box item (with its data and selection) from one place to another.
void MoveItem(const Ctl& c, int from, int to) {
    const std::string text = ItemText(c, kListMsgs, from);
    const auto data = static_cast<int64_t>(SendMessageW(c.hwnd, LB_GETITEMDATA, from, 0));
    const bool sel = SendMessageW(c.hwnd, LB_GETSEL, from, 0) > 0;
    SendMessageW(c.hwnd, LB_DELETESTRING, from, 0);
    InsertItem(c, kListMsgs, to, text, data);
    if (MultiSelect(c))
        SendMessageW(c.hwnd, LB_SETSEL, sel, to);
    else if (sel)
        SendMessageW(c.hwnd, LB_SETCURSEL, to, 0);
}

// Date formats as the program writes them ("MM-dd-yyyy HH:mm", "AP" for
// AM/PM) in the picker's own language: format letters as they are, other
// text quoted.
std::wstring PickerFormat(const std::string& format) {
    std::string out, literal;
    auto flush = [&]() {
        if (literal.empty()) return;
        out += '\'';
        for (char c : literal) out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
        literal.clear();
    };
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if ((c == 'A' || c == 'a') && i + 1 < format.size() &&
            (format[i + 1] == 'P' || format[i + 1] == 'p')) {
            flush();
            out += "tt";
            ++i;
        } else if (std::string("yMdHhmst").find(c) != std::string::npos) {
            flush();
            out += c;
        } else {
            literal += c;
        }
    }
    flush();
    return Wide(out);
}

}  // namespace

Ctl* CtlOfWindow(Form* f, HWND hwnd) {
    if (!f) return nullptr;
    for (HWND h = hwnd; h && h != f->hwnd; h = GetParent(h)) {
        for (auto& [id, c] : f->ctls)
            if (c.hwnd == h || (c.buddy && c.buddy == h)) return &c;
    }
    return nullptr;
}

HBRUSH FormBrush(Form* f) {
    return f && f->bgSlot >= 0 ? BrushOf(ColourOf(f->bgSlot)) : GetSysColorBrush(COLOR_BTNFACE);
}

namespace {

int StatusBarHeight(Form* f) {
    int h = 0;
    for (auto& [id, c] : f->ctls)
        if (c.kind == EzKind::StatusBar && c.hwnd && IsWindowVisible(c.hwnd)) {
            RECT r;
            GetWindowRect(c.hwnd, &r);
            h += r.bottom - r.top;
        }
    return h;
}

// Puts a control where its col/row/w/h say: in the form's grid (below the
// toolbars) or on its page.
void Place(Form* f, Ctl& c) {
    if (!c.hwnd || c.kind == EzKind::Toolbar || c.kind == EzKind::StatusBar) return;
    const HWND parent = GetParent(c.hwnd);
    const int top = parent == f->hwnd ? f->gridTop : 0;
    int x = ColsToPx(c.col), y = top + RowsToPx(c.row);
    int w = std::max(0, ColsToPx(c.w)), h = std::max(0, RowsToPx(c.h));
    if (c.kind == EzKind::Page && (c.w <= 0 || c.h <= 0)) {
        RECT rc;
        GetClientRect(parent, &rc);
        x = 0;
        y = top;
        w = rc.right;
        h = std::max(0, static_cast<int>(rc.bottom) - top -
                            (parent == f->hwnd ? StatusBarHeight(f) : 0));
    }
    if (c.kind == EzKind::Combo || c.kind == EzKind::ComboEdit) h += RowsToPx(12);
    if (c.kind == EzKind::UpDown && c.buddy) {
        SetWindowPos(c.buddy, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(c.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(c.buddy), 0);
        return;
    }
    SetWindowPos(c.hwnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void LayoutForm(Form* f) {
    if (!f || !f->hwnd) return;
    RECT rc;
    GetClientRect(f->hwnd, &rc);
    int top = 0;
    for (int id : f->order) {
        auto it = f->ctls.find(id);
        if (it == f->ctls.end() || !it->second.hwnd) continue;
        Ctl& c = it->second;
        if (c.kind == EzKind::Toolbar && IsWindowVisible(c.hwnd)) {
            SetWindowPos(c.hwnd, nullptr, 0, top, rc.right, 0, SWP_NOZORDER | SWP_NOACTIVATE);
            SendMessageW(c.hwnd, TB_AUTOSIZE, 0, 0);
            RECT r;
            GetWindowRect(c.hwnd, &r);
            SetWindowPos(c.hwnd, nullptr, 0, top, rc.right, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            top += r.bottom - r.top;
        } else if (c.kind == EzKind::StatusBar) {
            SendMessageW(c.hwnd, WM_SIZE, 0, 0);
        }
    }
    const bool moved = top != f->gridTop;
    f->gridTop = top;
    for (auto& [id, c] : f->ctls) {
        if (!c.hwnd) continue;
        const bool onForm = GetParent(c.hwnd) == f->hwnd;
        if ((moved && onForm) || (c.kind == EzKind::Page && (c.w <= 0 || c.h <= 0))) Place(f, c);
    }
}

// ---------------------------------------------------------------------------
// What the controls send
// ---------------------------------------------------------------------------
namespace {

LRESULT CALLBACK CtlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
    const int id = static_cast<int>(ref);
    Form* f = FormOfWindow(hwnd);
    Ctl* c = f ? FindCtl(f->name, id) : nullptr;
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, CtlProc, 1);
        return DefSubclassProc(hwnd, msg, wp, lp);
    }
    if (!c) return DefSubclassProc(hwnd, msg, wp, lp);
    const std::string name = f->name;
    const uint64_t serial = f->serial;
    switch (msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            // A key press sent to the control itself (not through a loop).
            if (!InLoopKey() && TakeKey(hwnd, static_cast<UINT>(wp))) return 0;
            break;
        case WM_GETDLGCODE:
            // Tab leaves a multi-line box (it never types a tab).
            if (c->kind == EzKind::Text && Has(c->style, 'M')) {
                LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
                auto* m = reinterpret_cast<MSG*>(lp);
                if (m && m->message == WM_KEYDOWN && m->wParam == VK_TAB)
                    r &= ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
                return r;
            }
            break;
        case WM_SETFOCUS: {
            const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
            f->focusId = id;
            Raise(name, id, EzEvent::GotFocus);
            return r;
        }
        case WM_KILLFOCUS: {
            const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
            Raise(name, id, EzEvent::LostFocus);
            return r;
        }
        case WM_MOUSEMOVE:
            if (f->hoverId != id) {
                f->hoverId = id;
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd, 0};
                TrackMouseEvent(&tme);
                Raise(name, id, EzEvent::MouseOver);
                if (!(f = FindForm(name)) || f->serial != serial || !(c = FindCtl(name, id)))
                    return 0;
            }
            if (c->kind == EzKind::ListBox && c->dragFrom >= 0 && (wp & MK_LBUTTON))
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32645)));  // up-down arrows
            break;
        case WM_MOUSELEAVE:
            if (f->hoverId == id) f->hoverId = 0;
            break;
        case WM_SETCURSOR:
            if (c->kind == EzKind::Label && Has(c->style, 'L')) {
                SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)));  // the hand
                return TRUE;
            }
            break;
        case WM_CONTEXTMENU:
            if (c->kind == EzKind::ListBox) {
                POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                int row = -1;
                if (pt.x != -1 || pt.y != -1) {
                    ScreenToClient(hwnd, &pt);
                    row = ItemAtPoint(hwnd, MAKELPARAM(pt.x, pt.y));
                } else {
                    row = static_cast<int>(SendMessageW(hwnd, LB_GETCARETINDEX, 0, 0));
                }
                Raise(name, id, EzEvent::RightClick, row);
                return 0;
            }
            break;
        case WM_LBUTTONDOWN:
            if (c->kind == EzKind::ListBox && Has(c->style, 'D')) {
                c->dragFrom = ItemAtPoint(hwnd, lp);
                if (c->dragFrom >= 0) SetCapture(hwnd);
            }
            break;
        case WM_LBUTTONUP:
            if (c->kind == EzKind::ListBox) {
                const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
                const int from = c->dragFrom;
                c->dragFrom = -1;
                if (GetCapture() == hwnd) ReleaseCapture();
                int to = ItemAtPoint(hwnd, lp);
                const int count = static_cast<int>(SendMessageW(hwnd, LB_GETCOUNT, 0, 0));
                if (from >= 0 && to < 0 && GET_Y_LPARAM(lp) >= 0) to = count - 1;
                if (from >= 0 && to >= 0 && to != from && from < count) {
                    {
                        Quiet quiet;
                        MoveItem(*c, from, to);
                    }
                    Raise(name, id, EzEvent::Drop, (static_cast<int64_t>(from) << 16) | to);
                    return r;
                }
                Raise(name, id, EzEvent::Click, ItemAtPoint(hwnd, lp));
                return r;
            }
            break;
        case WM_SIZE:
            if (c->kind == EzKind::ListView) {
                const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
                if (f->loaded) Raise(name, id, EzEvent::Resize, 0);
                return r;
            }
            break;
        case WM_ERASEBKGND:
            if (c->kind == EzKind::Picture) return 1;
            break;
        case WM_PAINT:
            if (c->kind == EzKind::Picture) {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                RECT rc;
                GetClientRect(hwnd, &rc);
                FillRect(dc, &rc, c->bgSlot >= 0 ? BrushOf(ColourOf(c->bgSlot)) : FormBrush(f));
                if (c->image) {
                    BITMAP bm{};
                    GetObjectW(c->image, sizeof(bm), &bm);
                    HDC mem = CreateCompatibleDC(dc);
                    HGDIOBJ old = SelectObject(mem, c->image);
                    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                    // A sized picture fills its box; else the image is centred.
                    const bool fill = c->w > 0 && c->h > 0;
                    const int w = fill ? rc.right : bm.bmWidth, h = fill ? rc.bottom : bm.bmHeight;
                    AlphaBlend(dc, fill ? 0 : (rc.right - w) / 2, fill ? 0 : (rc.bottom - h) / 2,
                               w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, bf);
                    SelectObject(mem, old);
                    DeleteDC(mem);
                }
                EndPaint(hwnd, &ps);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

void Subclass(HWND h, int id) {
    if (h) SetWindowSubclass(h, CtlProc, 1, static_cast<DWORD_PTR>(id));
}

}  // namespace

bool ControlMessage(Form* f, HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    const std::string name = f->name;
    result = 0;
    switch (msg) {
        case WM_COMMAND: {
            const HWND from = reinterpret_cast<HWND>(lp);
            const int code = HIWORD(wp);
            if (!from) {
                // A menu item or accelerator.
                const int id = LOWORD(wp);
                if (f->menu.count(id)) Raise(name, id, EzEvent::Click);
                return true;
            }
            Ctl* c = CtlOfWindow(f, from);
            if (!c) return false;
            const int id = c->id;
            switch (c->kind) {
                case EzKind::Toolbar: {
                    // The button's id, as the toolbar knows it (16 bits).
                    for (int b : c->buttons)
                        if (static_cast<WORD>(b) == LOWORD(wp)) {
                            Raise(name, b, EzEvent::Click);
                            break;
                        }
                    return true;
                }
                case EzKind::Button:
                case EzKind::Check:
                    if (code == BN_CLICKED) Raise(name, id, EzEvent::Click);
                    return true;
                case EzKind::Radio:
                    if (code == BN_CLICKED) {
                        CheckRadio(f, id);
                        Raise(name, id, EzEvent::Click);
                    }
                    return true;
                case EzKind::Label:
                    if (code == STN_CLICKED && Has(c->style, 'L') && IsWindowEnabled(c->hwnd))
                        Raise(name, id, EzEvent::Click);
                    return true;
                case EzKind::Text:
                    if (code == EN_CHANGE && !IsQuiet()) Raise(name, id, EzEvent::Change);
                    return true;
                case EzKind::Combo:
                    if (code == CBN_SELCHANGE && !IsQuiet()) Raise(name, id, EzEvent::Change);
                    return true;
                case EzKind::ComboEdit:
                    if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && !IsQuiet())
                        Raise(name, id, EzEvent::Change);
                    return true;
                case EzKind::ListBox:
                    if (code == LBN_SELCHANGE && !IsQuiet()) Raise(name, id, EzEvent::Change);
                    if (code == LBN_DBLCLK) {
                        const int row = static_cast<int>(SendMessageW(c->hwnd, LB_GETCARETINDEX, 0, 0));
                        Raise(name, id, EzEvent::DblClick, row);
                    }
                    return true;
                case EzKind::UpDown:
                    if (from == c->buddy && code == EN_CHANGE && !IsQuiet()) {
                        const int v = static_cast<int>(SendMessageW(c->hwnd, UDM_GETPOS32, 0, 0));
                        Raise(name, id, EzEvent::Change, v);
                    }
                    return true;
                default:
                    return false;
            }
        }
        case WM_NOTIFY: {
            auto* h = reinterpret_cast<NMHDR*>(lp);
            if (h->code == TTN_SHOW && h->hwndFrom == f->tips) {
                if (Ctl* c = CtlOfWindow(f, reinterpret_cast<HWND>(h->idFrom)))
                    Raise(name, c->id, EzEvent::ToolTip);
                return false;
            }
            Ctl* c = CtlOfWindow(f, h->hwndFrom);
            if (!c) return false;
            switch (c->kind) {
                case EzKind::ListView:
                    return ListViewNotify(*f, *c, h, result);
                case EzKind::DateTime:
                    if (h->code == DTN_DATETIMECHANGE) {
                        if (!IsQuiet()) Raise(name, c->id, EzEvent::Change);
                        return true;
                    }
                    if (h->code == DTN_DROPDOWN) {
                        // The calendar's first day: 0 Monday, 6 Sunday.
                        if (HWND cal = reinterpret_cast<HWND>(
                                SendMessageW(c->hwnd, DTM_GETMONTHCAL, 0, 0)))
                            SendMessageW(cal, MCM_SETFIRSTDAYOFWEEK, 0, c->mondayFirst ? 0 : 6);
                        return true;
                    }
                    return false;
                default:
                    return false;
            }
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX: {
            HDC dc = reinterpret_cast<HDC>(wp);
            Ctl* c = CtlOfWindow(f, reinterpret_cast<HWND>(lp));
            if (!c) return false;
            const bool link = c->kind == EzKind::Label && Has(c->style, 'L');
            if (c->fgSlot >= 0)
                SetTextColor(dc, ColourOf(c->fgSlot));
            else if (link)
                SetTextColor(dc, IsWindowEnabled(c->hwnd) ? RGB(0, 102, 204)
                                                          : GetSysColor(COLOR_GRAYTEXT));
            if (c->bgSlot >= 0) {
                SetBkColor(dc, ColourOf(c->bgSlot));
                result = reinterpret_cast<LRESULT>(BrushOf(ColourOf(c->bgSlot)));
                return true;
            }
            // Labels, frames, check boxes and radios show the form's face.
            const bool onFace = c->kind == EzKind::Label || c->kind == EzKind::Frame ||
                                c->kind == EzKind::Check || c->kind == EzKind::Radio ||
                                c->kind == EzKind::Button;
            if (onFace) {
                SetBkMode(dc, TRANSPARENT);
                LOGBRUSH lb{};
                GetObjectW(FormBrush(f), sizeof(lb), &lb);
                SetBkColor(dc, lb.lbColor);
                result = reinterpret_cast<LRESULT>(FormBrush(f));
                return true;
            }
            if (c->fgSlot >= 0) {
                // Only the text colour is the program's: the system's background.
                const int sys = msg == WM_CTLCOLORSTATIC ? COLOR_BTNFACE : COLOR_WINDOW;
                SetBkColor(dc, GetSysColor(sys));
                result = reinterpret_cast<LRESULT>(GetSysColorBrush(sys));
                return true;
            }
            return false;
        }
        default:
            return false;
    }
}

}  // namespace ez

using namespace ez;

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------
namespace {

HWND MakeChild(const wchar_t* cls, const std::wstring& text, DWORD style, DWORD ex, HWND parent,
               int id) {
    return CreateWindowExW(ex, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id & 0xFFFF)),
                           GetModuleHandleW(nullptr), nullptr);
}

void RemoveTip(Form* f, HWND h) {
    if (!f->tips || !h) return;
    TOOLINFOW ti{};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ti.hwnd = GetParent(h);
    ti.uId = reinterpret_cast<UINT_PTR>(h);
    SendMessageW(f->tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void DestroyControl(Form* f, int id) {
    auto it = f->ctls.find(id);
    if (it == f->ctls.end()) return;
    Ctl& c = it->second;
    if (c.kind == EzKind::Toolbar)
        for (int b : c.buttons) f->toolButtons.erase(b);
    RemoveTip(f, c.hwnd);
    RemoveTip(f, c.buddy);
    HWND h = c.hwnd, b = c.buddy;
    HBITMAP image = c.image;
    HIMAGELIST images = c.images;
    f->ctls.erase(it);
    std::erase(f->order, id);
    if (b) DestroyWindow(b);
    if (h) DestroyWindow(h);
    if (image) DeleteObject(image);
    if (images) ImageList_Destroy(images);
}

HBITMAP PictureImage(const std::string& file, double w, double h) {
    const std::string path = ImagePath(file);
    if (path.empty()) return nullptr;
    if (w > 0 && h > 0) return LoadImageFile(path, ColsToPx(w), RowsToPx(h), true);
    return LoadImageFile(path, 0, 0, true);
}

void SetRangeOf(Ctl& c) {
    if (c.kind == EzKind::UpDown) SendMessageW(c.hwnd, UDM_SETRANGE32, c.lo, c.hi);
    if (c.kind == EzKind::Progress) SendMessageW(c.hwnd, PBM_SETRANGE32, c.lo, c.hi);
}

void ApplyFont(Ctl& c) {
    const bool link = c.kind == EzKind::Label && Has(c.style, 'L');
    HFONT font = FontOf(c.fontSlot < 0 ? 0 : c.fontSlot, link);
    if (c.hwnd) SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    if (c.buddy) SendMessageW(c.buddy, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void MakeWindow(Form* f, Ctl& c, const std::string& text) {
    const HWND parent = f->hwnd;
    const std::wstring wtext = Wide(text);
    const int id = c.id;
    const std::string& st = c.style;
    switch (c.kind) {
        case EzKind::Button:
            c.hwnd = MakeChild(WC_BUTTONW, wtext, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0, parent, id);
            break;
        case EzKind::Label: {
            DWORD s = SS_NOTIFY;
            if (Has(st, 'C'))
                s |= SS_CENTER | (Has(st, 'W') ? 0 : SS_CENTERIMAGE);
            else if (Has(st, 'R'))
                s |= SS_RIGHT | (Has(st, 'W') ? 0 : SS_CENTERIMAGE);
            else
                s |= Has(st, 'W') ? SS_LEFT : (SS_LEFTNOWORDWRAP | SS_CENTERIMAGE);
            c.hwnd = MakeChild(WC_STATICW, wtext, s | WS_GROUP, 0, parent, id);
            break;
        }
        case EzKind::Frame:
            c.hwnd = MakeChild(WC_BUTTONW, wtext, BS_GROUPBOX | WS_GROUP, 0, parent, id);
            // Below the controls it frames.
            SetWindowPos(c.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        case EzKind::Text: {
            DWORD s = WS_TABSTOP | WS_GROUP;
            if (Has(st, 'M'))
                s |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | ES_WANTRETURN;
            else
                s |= ES_AUTOHSCROLL;
            if (Has(st, 'R')) s |= ES_READONLY;
            if (Has(st, 'P')) s |= ES_PASSWORD;
            if (Has(st, 'C') && !Has(st, 'M')) s |= ES_CENTER;
            c.hwnd = MakeChild(WC_EDITW, Has(st, 'M') ? WithCRLF(text) : wtext, s, WS_EX_CLIENTEDGE,
                               parent, id);
            break;
        }
        case EzKind::Combo:
        case EzKind::ComboEdit: {
            const DWORD s = (c.kind == EzKind::Combo ? CBS_DROPDOWNLIST : CBS_DROPDOWN | CBS_AUTOHSCROLL) |
                            WS_VSCROLL | WS_TABSTOP | WS_GROUP;
            c.hwnd = MakeChild(WC_COMBOBOXW, L"", s, 0, parent, id);
            SendMessageW(c.hwnd, CB_SETMINVISIBLE, 15, 0);
            if (c.kind == EzKind::ComboEdit) {
                if (!text.empty()) SetWindowTextW(c.hwnd, wtext.c_str());
                if (HWND edit = ComboEditOf(c.hwnd)) SetWindowSubclass(edit, CtlProc, 1, id);
            }
            break;
        }
        case EzKind::ListBox:
            c.hwnd = MakeChild(WC_LISTBOXW, L"",
                               LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | WS_TABSTOP |
                                   WS_GROUP | (Has(st, 'M') ? LBS_EXTENDEDSEL : 0),
                               WS_EX_CLIENTEDGE, parent, id);
            break;
        case EzKind::ListView:
            c.hwnd = MakeListView(*f, c, text, st, parent);
            if (c.hwnd) ShowWindow(c.hwnd, SW_SHOW);
            break;
        case EzKind::Check:
            c.hwnd = MakeChild(WC_BUTTONW, wtext, BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 0, parent, id);
            break;
        case EzKind::Radio:
            c.hwnd = MakeChild(WC_BUTTONW, wtext,
                               BS_RADIOBUTTON | WS_TABSTOP | (IsRadioGroupStart(f, c) ? WS_GROUP : 0),
                               0, parent, id);
            break;
        case EzKind::DateTime: {
            const bool timeOnly = Has(st, 'T');
            c.hwnd = MakeChild(DATETIMEPICK_CLASSW, L"",
                               WS_TABSTOP | WS_GROUP |
                                   (timeOnly ? DTS_TIMEFORMAT | DTS_UPDOWN : DTS_SHORTDATECENTURYFORMAT),
                               0, parent, id);
            const std::wstring fmt = PickerFormat(timeOnly ? "HH:mm" : "MM-dd-yyyy");
            SendMessageW(c.hwnd, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(fmt.c_str()));
            break;
        }
        case EzKind::UpDown: {
            c.buddy = MakeChild(WC_EDITW, L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE,
                                parent, id);
            c.hwnd = MakeChild(UPDOWN_CLASSW, L"",
                               UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS |
                                   UDS_HOTTRACK,
                               0, parent, id);
            SendMessageW(c.hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(c.buddy), 0);
            c.lo = INT_MIN + 1;
            c.hi = INT_MAX;
            SetRangeOf(c);
            SendMessageW(c.hwnd, UDM_SETPOS32, 0, text.empty() ? 0 : std::atoi(text.c_str()));
            break;
        }
        case EzKind::Progress:
            c.hwnd = MakeChild(PROGRESS_CLASSW, L"", 0, 0, parent, id);
            c.lo = 0;
            c.hi = 100;
            SetRangeOf(c);
            break;
        case EzKind::RichText: {
            const DWORD s = ES_MULTILINE | ES_READONLY | WS_VSCROLL | ES_AUTOVSCROLL | WS_TABSTOP | WS_GROUP;
            c.hwnd = MakeChild(MSFTEDIT_CLASS, L"", s, WS_EX_CLIENTEDGE, parent, id);
            if (!c.hwnd) c.hwnd = MakeChild(RICHEDIT_CLASSW, L"", s, WS_EX_CLIENTEDGE, parent, id);
            if (c.hwnd) SetWindowTextW(c.hwnd, WithCRLF(text).c_str());
            break;
        }
        case EzKind::Picture:
            c.hwnd = MakeChild(WC_STATICW, L"", SS_NOTIFY | WS_GROUP, 0, parent, id);
            c.image = PictureImage(text, c.w, c.h);
            break;
        case EzKind::Toolbar: {
            c.hwnd = MakeChild(TOOLBARCLASSNAMEW, L"",
                               TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | TBSTYLE_LIST | CCS_NOPARENTALIGN |
                                   CCS_NODIVIDER,
                               0, parent, id);
            SendMessageW(c.hwnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
            // Buttons with an image show only it (their text is the tool tip).
            SendMessageW(c.hwnd, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
            const int size = MulDiv(24, static_cast<int>(S().dpi), 96);
            c.images = ImageList_Create(size, size, ILC_COLOR32, 8, 8);
            SendMessageW(c.hwnd, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(c.images));
            SendMessageW(c.hwnd, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
            break;
        }
        case EzKind::StatusBar:
            c.hwnd = MakeChild(STATUSCLASSNAMEW, L"", f->resizable ? SBARS_SIZEGRIP : 0, 0, parent, id);
            c.sbTexts.assign(1, "");
            break;
        case EzKind::Page:
            c.hwnd = MakeChild(kPageClass, L"", WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, parent, id);
            break;
    }
}

}  // namespace

void EZ_CONTROL(const std::string& form, int id, EzKind kind, const std::string& text, double col,
                double row, double w, double h, const std::string& style) {
    Form* f = FindForm(form);
    if (!f || static_cast<int>(kind) < 0 || kind > EzKind::Page) return;
    DestroyControl(f, id);
    // Initial texts and values are the program's own: no Change while creating.
    Quiet quiet;
    Ctl& c = f->ctls[id];
    c.id = id;
    c.kind = kind;
    c.style = style;
    c.text = text;
    c.col = col;
    c.row = row;
    c.w = w;
    c.h = h;
    f->order.push_back(id);
    if (f->hwnd) {
        MakeWindow(f, c, text);
        if (c.hwnd) {
            ApplyFont(c);
            Subclass(c.hwnd, id);
            Subclass(c.buddy, id);
            if (kind == EzKind::Toolbar || kind == EzKind::StatusBar)
                LayoutForm(f);
            else
                Place(f, c);
        }
    }
    Raise(form, id, EzEvent::Creating);
}

bool EZ_CONTROLEXISTS(const std::string& form, int id) {
    return FindCtl(form, id) != nullptr;
}

bool EZ_CONTROLKIND(const std::string& form, int id, EzKind& kind) {
    const Ctl* c = FindCtl(form, id);
    if (!c) return false;
    kind = c->kind;
    return true;
}

// ---------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------
namespace {

// The menu (the bar, or a pop-up) that holds the item; null when none does.
HMENU MenuHolding(Form* f, int id) {
    if (f->menu.count(id) && f->menuBar) return f->menuBar;  // found through its sub-menus too
    for (auto& [menuId, items] : f->popupItems)
        for (const EzMenuItem& item : items)
            if (item.id == id && f->popups[menuId]) return f->popups[menuId];
    return nullptr;
}

std::string MenuText(HMENU m, int id) {
    wchar_t buf[512] = {};
    MENUITEMINFOW mii{sizeof(mii)};
    mii.fMask = MIIM_STRING;
    mii.dwTypeData = buf;
    mii.cch = 511;
    if (!GetMenuItemInfoW(m, static_cast<UINT>(id), FALSE, &mii)) return {};
    return ::Utf8(buf);
}

}  // namespace

void EZ_MENU(const std::string& form, int parentId, int id, const std::string& caption) {
    Form* f = FindForm(form);
    if (!f) return;
    const bool sep = caption == "-";
    if (parentId != 0 && !f->menu.count(parentId)) return;
    if (!sep && id != 0) f->menu[id] = MenuItem{parentId, caption, nullptr, true};
    if (!f->hwnd) return;
    if (!f->menuBar) {
        f->menuBar = CreateMenu();
        SetMenu(f->hwnd, f->menuBar);
    }
    HMENU target = f->menuBar;
    if (parentId != 0) {
        MenuItem& parent = f->menu[parentId];
        if (!parent.sub) {
            parent.sub = CreatePopupMenu();
            MENUITEMINFOW mii{sizeof(mii)};
            mii.fMask = MIIM_SUBMENU;
            mii.hSubMenu = parent.sub;
            SetMenuItemInfoW(f->menuBar, static_cast<UINT>(parentId), FALSE, &mii);
        }
        target = parent.sub;
    }
    if (sep)
        AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
    else
        AppendMenuW(target, MF_STRING, static_cast<UINT_PTR>(id), Wide(caption).c_str());
    DrawMenuBar(f->hwnd);
}

void EZ_MENUENABLE(const std::string& form, int id, bool on) {
    Form* f = FindForm(form);
    if (!f) return;
    if (auto it = f->menu.find(id); it != f->menu.end()) it->second.enabled = on;
    if (HMENU m = MenuHolding(f, id)) {
        EnableMenuItem(m, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
        if (m == f->menuBar) DrawMenuBar(f->hwnd);
    }
}

void EZ_POPUPMENU(const std::string& form, int menuId, const std::vector<EzMenuItem>& items) {
    Form* f = FindForm(form);
    if (!f) return;
    f->popupItems[menuId] = items;
    if (!f->hwnd) return;
    HMENU& menu = f->popups[menuId];
    if (menu) DestroyMenu(menu);
    menu = CreatePopupMenu();
    for (const EzMenuItem& item : items) {
        if (item.caption == "-")
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.id), Wide(item.caption).c_str());
    }
}

void EZ_SHOWPOPUP(const std::string& form, int menuId, int nearId) {
    Form* f = FindForm(form);
    if (!f || !f->hwnd || !f->popups[menuId]) return;
    // Opened from the loop, so the caller goes on at once; open from now on.
    f->popupOpen = menuId;
    PostMessageW(f->hwnd, WM_APP + 2, static_cast<WPARAM>(menuId), static_cast<LPARAM>(nearId));
}

namespace ez {

void ShowPopupNow(Form* f, int menuId, int nearId) {
    HMENU menu = f->popups[menuId];
    if (!menu || f->popupOpen != menuId) return;
    const std::string name = f->name;
    const uint64_t serial = f->serial;
    POINT pt;
    GetCursorPos(&pt);
    RECT wr;
    GetWindowRect(f->hwnd, &wr);
    if (!PtInRect(&wr, pt)) {
        Ctl* anchor = FindCtl(name, nearId);
        RECT r;
        GetWindowRect(anchor && anchor->hwnd ? anchor->hwnd : f->hwnd, &r);
        pt = POINT{r.left + (r.right - r.left) / 4, r.top + (r.bottom - r.top) / 4};
    }
    f->popupChoice = 0;
    SetForegroundWindow(f->hwnd);
    int cmd = static_cast<int>(TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, pt.x, pt.y, f->hwnd, nullptr));
    f = FindForm(name);
    if (!f || f->serial != serial) return;
    if (!cmd) cmd = f->popupChoice;
    f->popupOpen = 0;
    f->popupChoice = 0;
    if (cmd) Raise(name, cmd, EzEvent::Click);
}

}  // namespace ez

// ---------------------------------------------------------------------------
// Toolbar, status bar, accelerators
// ---------------------------------------------------------------------------
namespace {

Ctl* ToolbarOfButton(Form* f, int buttonId) {
    auto it = f->toolButtons.find(buttonId);
    return it == f->toolButtons.end() ? nullptr : FindCtl(f->name, it->second);
}

}  // namespace

void EZ_TOOLBUTTON(const std::string& form, int toolbarId, int buttonId, const std::string& icon,
                   const std::string& tooltip, bool sepBefore) {
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, toolbarId);
    if (!f || !c || c->kind != EzKind::Toolbar) return;
    f->toolButtons[buttonId] = toolbarId;
    f->buttonTips[buttonId] = tooltip;
    c->buttons.push_back(buttonId);
    if (!c->hwnd) return;
    if (sepBefore) {
        TBBUTTON sep{};
        sep.fsStyle = BTNS_SEP;
        SendMessageW(c->hwnd, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&sep));
    }
    int image = I_IMAGENONE;
    if (icon.rfind("theme:", 0) != 0) {
        const int size = MulDiv(24, static_cast<int>(S().dpi), 96);
        if (HBITMAP bmp = LoadImageFile(ImagePath(icon), size, size, false)) {
            image = ImageList_Add(c->images, bmp, nullptr);
            DeleteObject(bmp);
        }
    }
    const std::wstring text = Wide(tooltip);
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = buttonId & 0xFFFF;
    b.fsState = TBSTATE_ENABLED;
    // Without an image the button shows its text.
    b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | (image == I_IMAGENONE ? BTNS_SHOWTEXT : 0);
    b.iString = reinterpret_cast<INT_PTR>(text.c_str());
    SendMessageW(c->hwnd, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
    LayoutForm(f);
}

void EZ_TBENABLE(const std::string& form, int buttonId, bool on) {
    Form* f = FindForm(form);
    if (!f) return;
    if (Ctl* c = ToolbarOfButton(f, buttonId); c && c->hwnd)
        SendMessageW(c->hwnd, TB_ENABLEBUTTON, buttonId & 0xFFFF, MAKELPARAM(on ? TRUE : FALSE, 0));
}

namespace {

void ShowSbText(Ctl& c, int part) {
    if (!c.hwnd) return;
    // A leading tab centres the text: the status bar's own rule.
    SendMessageW(c.hwnd, SB_SETTEXTW, static_cast<WPARAM>(part),
                 reinterpret_cast<LPARAM>(Wide(c.sbTexts[part]).c_str()));
}

}  // namespace

void EZ_SBPARTS(const std::string& form, int id, const std::vector<double>& widths) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return;
    const size_t n = std::max<size_t>(1, widths.size());
    c->sbTexts.resize(n);
    c->sbWidths = widths;
    if (!c->hwnd) return;
    std::vector<int> edges(n);
    int x = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i + 1 < n) {
            x += ColsToPx(widths[i]);
            edges[i] = x;
        } else {
            edges[i] = -1;  // the last part takes the rest
        }
    }
    SendMessageW(c->hwnd, SB_SETPARTS, n, reinterpret_cast<LPARAM>(edges.data()));
    for (size_t i = 0; i < n; ++i) ShowSbText(*c, static_cast<int>(i));
}

void EZ_SBSETTEXT(const std::string& form, int id, int part, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return;
    if (part < 0 || part >= static_cast<int>(c->sbTexts.size())) return;
    c->sbTexts[part] = text;
    ShowSbText(*c, part);
}

namespace {

// "F1", "Ctrl+S", "Ctrl+Shift+Del" ... as a virtual key with modifiers.
bool ParseAccel(const std::string& key, Accel& a) {
    std::vector<std::string> parts;
    std::string cur;
    for (char ch : key) {
        if (ch == '+' && !cur.empty()) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    if (parts.empty()) return false;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == "ctrl" || parts[i] == "control")
            a.ctrl = true;
        else if (parts[i] == "shift")
            a.shift = true;
        else if (parts[i] == "alt")
            a.alt = true;
        else
            return false;
    }
    const std::string& k = parts.back();
    static const std::pair<const char*, UINT> kNamed[] = {
        {"del", VK_DELETE},   {"delete", VK_DELETE}, {"ins", VK_INSERT},     {"insert", VK_INSERT},
        {"enter", VK_RETURN}, {"return", VK_RETURN}, {"esc", VK_ESCAPE},     {"escape", VK_ESCAPE},
        {"tab", VK_TAB},      {"space", VK_SPACE},   {"home", VK_HOME},      {"end", VK_END},
        {"pgup", VK_PRIOR},   {"pageup", VK_PRIOR},  {"pgdown", VK_NEXT},    {"pagedown", VK_NEXT},
        {"up", VK_UP},        {"down", VK_DOWN},     {"left", VK_LEFT},      {"right", VK_RIGHT},
        {"backspace", VK_BACK}};
    for (const auto& [n, vk] : kNamed)
        if (k == n) {
            a.vk = vk;
            return true;
        }
    if (k.size() >= 2 && k[0] == 'f' && std::isdigit(static_cast<unsigned char>(k[1]))) {
        const int n = std::atoi(k.c_str() + 1);
        if (n < 1 || n > 24) return false;
        a.vk = VK_F1 + static_cast<UINT>(n - 1);
        return true;
    }
    if (k.size() == 1 && std::isalnum(static_cast<unsigned char>(k[0]))) {
        a.vk = static_cast<UINT>(std::toupper(static_cast<unsigned char>(k[0])));
        return true;
    }
    return false;
}

}  // namespace

void EZ_ACCEL(const std::string& form, const std::string& key, int pseudoId) {
    Form* f = FindForm(form);
    Accel a;
    if (!f || !ParseAccel(key, a)) return;
    a.id = pseudoId;
    f->accels.push_back(a);
}

// ---------------------------------------------------------------------------
// Text and state
// ---------------------------------------------------------------------------
std::string EZ_GETTEXT(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return "";
    if (id == 0) return f->hwnd ? WindowText(f->hwnd) : "";
    Ctl* c = FindCtl(form, id);
    if (!c) {
        if (HMENU m = MenuHolding(f, id)) return MenuText(m, id);
        if (auto it = f->menu.find(id); it != f->menu.end()) return it->second.caption;
        return "";
    }
    if (!c->hwnd) return c->text;
    switch (c->kind) {
        case EzKind::Label:
        case EzKind::Picture:
        case EzKind::Toolbar:
        case EzKind::Page:
            return c->text;
        case EzKind::ListView: {
            const int row = EZ_LVNEXTSELECTED(form, id, -1);
            return row >= 0 ? EZ_LVGETCELL(form, id, row, 0) : "";
        }
        case EzKind::Text:
        case EzKind::RichText:
            return NoCR(WindowText(c->hwnd));
        case EzKind::ListBox: {
            int at = -1;
            if (MultiSelect(*c)) {
                int first = -1;
                if (SendMessageW(c->hwnd, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) == 1)
                    at = first;
            } else {
                at = static_cast<int>(SendMessageW(c->hwnd, LB_GETCURSEL, 0, 0));
            }
            if (at < 0) at = static_cast<int>(SendMessageW(c->hwnd, LB_GETCARETINDEX, 0, 0));
            return at >= 0 && at < ItemCount(*c, kListMsgs) ? ItemText(*c, kListMsgs, at) : "";
        }
        case EzKind::UpDown:
            return std::to_string(static_cast<int>(SendMessageW(c->hwnd, UDM_GETPOS32, 0, 0)));
        case EzKind::Progress:
            return std::to_string(static_cast<int>(SendMessageW(c->hwnd, PBM_GETPOS, 0, 0)));
        case EzKind::StatusBar:
            return c->sbTexts.empty() ? "" : c->sbTexts[0];
        default:
            return WindowText(c->hwnd);
    }
}

void EZ_SETTEXT(const std::string& form, int id, const std::string& text) {
    Form* f = FindForm(form);
    if (!f) return;
    if (id == 0) {
        if (f->hwnd) SetWindowTextW(f->hwnd, Wide(text).c_str());
        return;
    }
    Ctl* c = FindCtl(form, id);
    if (!c) {
        if (auto it = f->menu.find(id); it != f->menu.end()) it->second.caption = text;
        if (HMENU m = MenuHolding(f, id)) {
            const std::wstring w = Wide(text);
            MENUITEMINFOW mii{sizeof(mii)};
            mii.fMask = MIIM_STRING;
            mii.dwTypeData = const_cast<wchar_t*>(w.c_str());
            SetMenuItemInfoW(m, static_cast<UINT>(id), FALSE, &mii);
            if (m == f->menuBar) DrawMenuBar(f->hwnd);
        }
        return;
    }
    Quiet quiet;
    c->text = text;
    if (!c->hwnd) return;
    switch (c->kind) {
        case EzKind::Text:
        case EzKind::RichText:
            SetWindowTextW(c->hwnd, IsMultiLine(*c) ? WithCRLF(text).c_str() : Wide(text).c_str());
            break;
        case EzKind::Combo:
            // Selects the item of that text (letter case aside); none when there is none.
            SendMessageW(c->hwnd, CB_SETCURSEL, FindIgnoringCase(*c, kComboMsgs, text), 0);
            break;
        case EzKind::ListBox: {
            const int at = FindIgnoringCase(*c, kListMsgs, text);
            if (MultiSelect(*c)) {
                SendMessageW(c->hwnd, LB_SETSEL, FALSE, -1);
                if (at >= 0) SendMessageW(c->hwnd, LB_SETSEL, TRUE, at);
                if (at >= 0) SendMessageW(c->hwnd, LB_SETCARETINDEX, at, FALSE);
            } else {
                SendMessageW(c->hwnd, LB_SETCURSEL, at, 0);
            }
            break;
        }
        case EzKind::UpDown:
            SendMessageW(c->hwnd, UDM_SETPOS32, 0, std::atoi(text.c_str()));
            break;
        case EzKind::Progress:
            SendMessageW(c->hwnd, PBM_SETPOS, std::atoi(text.c_str()), 0);
            break;
        case EzKind::Picture:
            if (c->image) DeleteObject(c->image);
            c->image = PictureImage(text, c->w, c->h);
            InvalidateRect(c->hwnd, nullptr, TRUE);
            break;
        case EzKind::StatusBar:
            EZ_SBSETTEXT(form, id, 0, text);
            break;
        case EzKind::DateTime:
        case EzKind::ListView:
        case EzKind::Toolbar:
        case EzKind::Page:
            break;  // kept only
        default:
            SetWindowTextW(c->hwnd, Wide(text).c_str());
            break;
    }
}

void EZ_SETTEXTLIMIT(const std::string& form, int id, int maxChars) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return;
    const WPARAM n = maxChars > 0 ? static_cast<WPARAM>(maxChars) : 0;
    if (c->kind == EzKind::Text)
        SendMessageW(c->hwnd, EM_SETLIMITTEXT, n, 0);
    else if (c->kind == EzKind::ComboEdit)
        SendMessageW(c->hwnd, CB_LIMITTEXT, n, 0);
    else if (c->kind == EzKind::UpDown && c->buddy)
        SendMessageW(c->buddy, EM_SETLIMITTEXT, n, 0);
}

void EZ_SELECTTEXT(const std::string& form, int id, int start, int length) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return;
    const std::string text = EZ_GETTEXT(form, id);
    const int lineEnd = LineEndOf(*c);
    const int from = ControlPos(text, std::max(0, start), lineEnd);
    const int to = length < 0 ? ControlPos(text, static_cast<int>(text.size()), lineEnd)
                              : ControlPos(text, std::max(0, start) + length, lineEnd);
    if (c->kind == EzKind::ComboEdit)
        SendMessageW(c->hwnd, CB_SETEDITSEL, 0, MAKELPARAM(from, to));
    else if (c->kind == EzKind::RichText) {
        CHARRANGE cr{from, to};
        SendMessageW(c->hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    } else
        SendMessageW(MainWindow(*c), EM_SETSEL, from, to);
    SendMessageW(MainWindow(*c), EM_SCROLLCARET, 0, 0);
}

int EZ_GETCURSORPOS(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return 0;
    DWORD start = 0, end = 0;
    if (c->kind == EzKind::ComboEdit) {
        SendMessageW(c->hwnd, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    } else if (c->kind == EzKind::RichText) {
        CHARRANGE cr{};
        SendMessageW(c->hwnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        end = static_cast<DWORD>(cr.cpMax);
    } else {
        SendMessageW(MainWindow(*c), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
    }
    // The cursor sits at the end of the selection.
    return BytePos(EZ_GETTEXT(form, id), static_cast<int>(end), LineEndOf(*c));
}

bool EZ_GETCHECK(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || (c->kind != EzKind::Check && c->kind != EzKind::Radio)) return false;
    return SendMessageW(c->hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void EZ_SETCHECK(const std::string& form, int id, bool on) {
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || (c->kind != EzKind::Check && c->kind != EzKind::Radio)) return;
    Quiet quiet;
    if (c->kind == EzKind::Radio && on)
        CheckRadio(f, id);
    else
        SendMessageW(c->hwnd, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EZ_ENABLE(const std::string& form, int id, bool on) {
    Form* f = FindForm(form);
    if (!f) return;
    if (id == 0) {
        if (f->hwnd) EnableWindow(f->hwnd, on);
        return;
    }
    if (Ctl* c = FindCtl(form, id)) {
        if (c->hwnd) EnableWindow(c->hwnd, on);
        if (c->buddy) EnableWindow(c->buddy, on);
        if (c->hwnd && c->kind == EzKind::Label) InvalidateRect(c->hwnd, nullptr, TRUE);
        return;
    }
    if (f->toolButtons.count(id)) {
        EZ_TBENABLE(form, id, on);
        return;
    }
    EZ_MENUENABLE(form, id, on);
}

bool EZ_ISENABLED(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return false;
    if (id == 0) return f->hwnd && IsWindowEnabled(f->hwnd);
    if (Ctl* c = FindCtl(form, id)) return c->hwnd && IsWindowEnabled(c->hwnd);
    if (Ctl* tb = ToolbarOfButton(f, id); tb && tb->hwnd)
        return SendMessageW(tb->hwnd, TB_ISBUTTONENABLED, id & 0xFFFF, 0) != 0;
    if (auto it = f->menu.find(id); it != f->menu.end()) return it->second.enabled;
    if (HMENU m = MenuHolding(f, id)) {
        const UINT st = GetMenuState(m, static_cast<UINT>(id), MF_BYCOMMAND);
        return st != static_cast<UINT>(-1) && !(st & (MF_GRAYED | MF_DISABLED));
    }
    return false;
}

void EZ_SHOW(const std::string& form, int id, bool on) {
    Form* f = FindForm(form);
    if (!f) return;
    if (Ctl* c = FindCtl(form, id)) {
        if (c->hwnd) ShowWindow(c->hwnd, on ? SW_SHOWNA : SW_HIDE);
        if (c->buddy) ShowWindow(c->buddy, on ? SW_SHOWNA : SW_HIDE);
        if (c->kind == EzKind::Toolbar || c->kind == EzKind::StatusBar) LayoutForm(f);
        return;
    }
    if (Ctl* tb = ToolbarOfButton(f, id); tb && tb->hwnd) {
        SendMessageW(tb->hwnd, TB_HIDEBUTTON, id & 0xFFFF, MAKELPARAM(on ? FALSE : TRUE, 0));
        LayoutForm(f);
    }
}

bool EZ_ISVISIBLE(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return false;
    if (Ctl* c = FindCtl(form, id)) return c->hwnd && IsWindowVisible(c->hwnd);
    // A pop-up menu (or one of its items) is visible while it is open.
    if (f->popupOpen) {
        if (id == f->popupOpen) return true;
        for (const EzMenuItem& item : f->popupItems[f->popupOpen])
            if (item.id == id) return true;
    }
    if (Ctl* tb = ToolbarOfButton(f, id); tb && tb->hwnd)
        return IsWindowVisible(tb->hwnd) &&
               !SendMessageW(tb->hwnd, TB_ISBUTTONHIDDEN, id & 0xFFFF, 0);
    if (f->menu.count(id)) return f->hwnd && IsWindowVisible(f->hwnd);
    return false;
}

void EZ_SETFOCUS(const std::string& form, int id) {
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, id);
    if (!f || !c) return;
    f->focusId = id;
    // A form not shown yet gives the focus when it is (see RestoreFocus).
    if (HWND h = MainWindow(*c); h && f->hwnd && IsWindowVisible(f->hwnd)) {
        if (c->kind == EzKind::ComboEdit) h = ComboEditOf(c->hwnd) ? ComboEditOf(c->hwnd) : h;
        SetFocus(h);
    }
}

int EZ_GETFOCUS(const std::string& form) {
    Form* f = FindForm(form);
    if (!f || !f->hwnd) return 0;
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != f->hwnd) return 0;
    Ctl* c = CtlOfWindow(f, focus);
    return c ? c->id : 0;
}

void EZ_SETFONT(const std::string& form, int id, int fontSlot) {
    Form* f = FindForm(form);
    if (!f) return;
    if (id == 0) {
        // The form's font: every control that has none of its own.
        for (auto& [cid, c] : f->ctls)
            if (c.fontSlot < 0 && c.hwnd)
                SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontOf(fontSlot)), TRUE);
        return;
    }
    Ctl* c = FindCtl(form, id);
    if (!c) return;
    c->fontSlot = fontSlot;
    ApplyFont(*c);
    if (c->kind == EzKind::UpDown && c->buddy) Place(f, *c);
}

void EZ_SETCOLOR(const std::string& form, int id, int fgSlot, int bgSlot) {
    Form* f = FindForm(form);
    if (!f) return;
    if (id == 0) {
        f->fgSlot = fgSlot;
        f->bgSlot = bgSlot;
        if (f->hwnd) InvalidateRect(f->hwnd, nullptr, TRUE);
        return;
    }
    Ctl* c = FindCtl(form, id);
    if (!c) return;
    c->fgSlot = fgSlot;
    c->bgSlot = bgSlot;
    if (c->kind == EzKind::RichText && c->hwnd && bgSlot >= 0)
        SendMessageW(c->hwnd, EM_SETBKGNDCOLOR, 0, ColourOf(bgSlot));
    if (c->hwnd) InvalidateRect(c->hwnd, nullptr, TRUE);
}

void EZ_SETTOOLTIP(const std::string& form, int id, const std::string& text) {
    Form* f = FindForm(form);
    if (!f) return;
    Ctl* c = FindCtl(form, id);
    if (!c) {
        f->buttonTips[id] = text;  // toolbar buttons and menu items
        if (Ctl* tb = ToolbarOfButton(f, id); tb && tb->hwnd) {
            const std::wstring w = Wide(text);
            TBBUTTONINFOW bi{sizeof(bi)};
            bi.dwMask = TBIF_TEXT;
            bi.pszText = const_cast<wchar_t*>(w.c_str());
            SendMessageW(tb->hwnd, TB_SETBUTTONINFOW, id & 0xFFFF, reinterpret_cast<LPARAM>(&bi));
        }
        return;
    }
    const bool had = !c->tooltip.empty();
    c->tooltip = text;
    if (!f->hwnd || !c->hwnd) return;
    if (!f->tips) {
        f->tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, f->hwnd, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
        // Long tips wrap; "\n" breaks a line.
        SendMessageW(f->tips, TTM_SETMAXTIPWIDTH, 0, ColsToPx(60));
    }
    std::vector<HWND> windows{MainWindow(*c)};
    if (c->kind == EzKind::ComboEdit)
        if (HWND edit = ComboEditOf(c->hwnd)) windows.push_back(edit);
    if (c->kind == EzKind::UpDown) windows.push_back(c->hwnd);
    std::wstring w = WithCRLF(text);
    for (HWND h : windows) {
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = GetParent(h);
        ti.uId = reinterpret_cast<UINT_PTR>(h);
        ti.lpszText = w.data();
        if (text.empty())
            SendMessageW(f->tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        else if (had)
            SendMessageW(f->tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
        else
            SendMessageW(f->tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void EZ_MOVE(const std::string& form, int id, double col, double row, double w, double h) {
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, id);
    if (!f || !c) return;
    c->col = col;
    c->row = row;
    c->w = w;
    c->h = h;
    Place(f, *c);
    if (c->kind == EzKind::Picture && c->hwnd) InvalidateRect(c->hwnd, nullptr, TRUE);
}

void EZ_GETPLACE(const std::string& form, int id, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, id);
    if (!f || !c) return;
    if (!c->hwnd || c->kind == EzKind::UpDown) {
        col = c->col;
        row = c->row;
        w = c->w;
        h = c->h;
        return;
    }
    RECT r;
    GetWindowRect(c->hwnd, &r);
    HWND parent = GetParent(c->hwnd);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const int top = parent == f->hwnd ? f->gridTop : 0;
    col = PxToCols(r.left);
    row = PxToRows(r.top - top);
    w = PxToCols(r.right - r.left);
    h = PxToRows(r.bottom - r.top);
}

void EZ_REDRAW(const std::string& form, int id, bool on) {
    Form* f = FindForm(form);
    if (!f) return;
    HWND h = id == 0 ? f->hwnd : nullptr;
    if (Ctl* c = FindCtl(form, id)) h = c->hwnd;
    if (!h) return;
    SendMessageW(h, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) RedrawWindow(h, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void EZ_SETPARENT(const std::string& form, int id, int pageId) {
    Form* f = FindForm(form);
    Ctl* c = FindCtl(form, id);
    Ctl* page = FindCtl(form, pageId);
    if (!f || !c || !page || c == page || !c->hwnd || !page->hwnd) return;
    // The control keeps its place on the screen.
    for (HWND h : {c->buddy, c->hwnd}) {
        if (!h) continue;
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(nullptr, page->hwnd, reinterpret_cast<POINT*>(&r), 2);
        SetParent(h, page->hwnd);
        SetWindowPos(h, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (h == (c->buddy ? c->buddy : c->hwnd)) {
            c->col = PxToCols(r.left);
            c->row = PxToRows(r.top);
        }
    }
    if (c->kind == EzKind::UpDown && c->buddy)
        SendMessageW(c->hwnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(c->buddy), 0);
    c->page = pageId;
}

// ---------------------------------------------------------------------------
// List boxes and combos
// ---------------------------------------------------------------------------
int EZ_ADDITEM(const std::string& form, int id, const std::string& text, int64_t data) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m) return -1;
    Quiet quiet;
    return InsertItem(*c, *m, -1, text, data);
}

void EZ_DELETEITEM(const std::string& form, int id, int index) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0 || index >= ItemCount(*c, *m)) return;
    Quiet quiet;
    SendMessageW(c->hwnd, m->del, static_cast<WPARAM>(index), 0);
}

void EZ_CLEARITEMS(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m) return;
    Quiet quiet;
    SendMessageW(c->hwnd, m->reset, 0, 0);
}

int EZ_ITEMCOUNT(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    return m ? ItemCount(*c, *m) : 0;
}

std::string EZ_ITEMTEXT(const std::string& form, int id, int index) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0 || index >= ItemCount(*c, *m)) return "";
    return ItemText(*c, *m, index);
}

void EZ_SETITEMTEXT(const std::string& form, int id, int index, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0 || index >= ItemCount(*c, *m)) return;
    Quiet quiet;
    const auto data = static_cast<int64_t>(SendMessageW(c->hwnd, m->getData, index, 0));
    const bool selected = EZ_ITEMSELECTED(form, id, index);
    SendMessageW(c->hwnd, m->del, static_cast<WPARAM>(index), 0);
    InsertItem(*c, *m, index, text, data);
    if (selected) EZ_SETITEMSELECTED(form, id, index, true);
}

int64_t EZ_ITEMDATA(const std::string& form, int id, int index) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0 || index >= ItemCount(*c, *m)) return 0;
    return static_cast<int64_t>(SendMessageW(c->hwnd, m->getData, static_cast<WPARAM>(index), 0));
}

int EZ_FINDITEM(const std::string& form, int id, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    return m ? FindExact(*c, *m, text) : -1;
}

void EZ_SELECTITEM(const std::string& form, int id, int index) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m) return;
    if (index >= ItemCount(*c, *m)) index = -1;
    Quiet quiet;
    if (MultiSelect(*c)) {
        SendMessageW(c->hwnd, LB_SETSEL, FALSE, -1);
        if (index >= 0) {
            SendMessageW(c->hwnd, LB_SETSEL, TRUE, index);
            SendMessageW(c->hwnd, LB_SETCARETINDEX, index, FALSE);
        }
    } else {
        SendMessageW(c->hwnd, m->setSel, static_cast<WPARAM>(index), 0);
    }
}

int EZ_SELECTEDITEM(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m) return -1;
    if (MultiSelect(*c)) {
        int first = -1;
        return SendMessageW(c->hwnd, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) == 1 ? first
                                                                                             : -1;
    }
    const LRESULT r = SendMessageW(c->hwnd, m->getSel, 0, 0);
    return r < 0 ? -1 : static_cast<int>(r);
}

bool EZ_ITEMSELECTED(const std::string& form, int id, int index) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0) return false;
    if (c->kind == EzKind::ListBox) return SendMessageW(c->hwnd, LB_GETSEL, index, 0) > 0;
    return SendMessageW(c->hwnd, m->getSel, 0, 0) == index;
}

void EZ_SETITEMSELECTED(const std::string& form, int id, int index, bool on) {
    Ctl* c = FindCtl(form, id);
    const ItemMsgs* m = ItemsOf(c);
    if (!m || index < 0 || index >= ItemCount(*c, *m)) return;
    Quiet quiet;
    if (MultiSelect(*c)) {
        SendMessageW(c->hwnd, LB_SETSEL, on ? TRUE : FALSE, index);
    } else if (on) {
        SendMessageW(c->hwnd, m->setSel, static_cast<WPARAM>(index), 0);
    } else if (SendMessageW(c->hwnd, m->getSel, 0, 0) == index) {
        SendMessageW(c->hwnd, m->setSel, static_cast<WPARAM>(-1), 0);
    }
}

// ---------------------------------------------------------------------------
// Date-time pickers, up-downs, progress bars, rich text
// ---------------------------------------------------------------------------
namespace {

Ctl* Picker(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c && c->hwnd && c->kind == EzKind::DateTime ? c : nullptr;
}

SYSTEMTIME Time(int y, int m, int d, int hour, int minute) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(y);
    st.wMonth = static_cast<WORD>(m);
    st.wDay = static_cast<WORD>(d);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    return st;
}

}  // namespace

void EZ_DTSETFORMAT(const std::string& form, int id, const std::string& format) {
    if (Ctl* c = Picker(form, id)) {
        const std::wstring fmt = PickerFormat(format);
        SendMessageW(c->hwnd, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(fmt.c_str()));
    }
}

void EZ_DTSETRANGE(const std::string& form, int id, int y1, int m1, int d1, int y2, int m2,
                   int d2) {
    Ctl* c = Picker(form, id);
    if (!c) return;
    SYSTEMTIME range[2] = {Time(y1, m1, d1, 0, 0), Time(y2, m2, d2, 23, 59)};
    Quiet quiet;
    SendMessageW(c->hwnd, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, reinterpret_cast<LPARAM>(range));
}

void EZ_DTSET(const std::string& form, int id, int y, int m, int d, int hour, int minute) {
    Ctl* c = Picker(form, id);
    if (!c) return;
    SYSTEMTIME st = Time(y, m, d, hour, minute);
    Quiet quiet;
    SendMessageW(c->hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

void EZ_DTGET(const std::string& form, int id, int& y, int& m, int& d, int& hour, int& minute) {
    y = m = d = hour = minute = 0;
    Ctl* c = Picker(form, id);
    if (!c) return;
    SYSTEMTIME st{};
    if (SendMessageW(c->hwnd, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
        return;
    y = st.wYear;
    m = st.wMonth;
    d = st.wDay;
    hour = st.wHour;
    minute = st.wMinute;
}

void EZ_DTMONDAYSTART(const std::string& form, int id, bool mondayFirst) {
    if (Ctl* c = FindCtl(form, id); c && c->kind == EzKind::DateTime) c->mondayFirst = mondayFirst;
}

void EZ_SETRANGE(const std::string& form, int id, int lo, int hi) {
    Ctl* c = FindCtl(form, id);
    if (!c || (c->kind != EzKind::UpDown && c->kind != EzKind::Progress)) return;
    c->lo = std::min(lo, hi);
    c->hi = std::max(lo, hi);
    if (!c->hwnd) return;
    Quiet quiet;
    SetRangeOf(*c);
    // The value stays inside the range.
    const int v = EZ_GETVALUE(form, id);
    if (v < c->lo || v > c->hi) EZ_SETVALUE(form, id, std::clamp(v, c->lo, c->hi));
}

void EZ_SETVALUE(const std::string& form, int id, int value) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return;
    Quiet quiet;
    value = std::clamp(value, c->lo, c->hi);
    if (c->kind == EzKind::UpDown) SendMessageW(c->hwnd, UDM_SETPOS32, 0, value);
    if (c->kind == EzKind::Progress) SendMessageW(c->hwnd, PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

int EZ_GETVALUE(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd) return 0;
    if (c->kind == EzKind::UpDown) return static_cast<int>(SendMessageW(c->hwnd, UDM_GETPOS32, 0, 0));
    if (c->kind == EzKind::Progress) return static_cast<int>(SendMessageW(c->hwnd, PBM_GETPOS, 0, 0));
    return 0;
}

void EZ_SETRICHTEXT(const std::string& form, int id, const std::vector<EzTextRun>& runs) {
    Ctl* c = FindCtl(form, id);
    if (!c || !c->hwnd || c->kind != EzKind::RichText) return;
    Quiet quiet;
    SendMessageW(c->hwnd, WM_SETREDRAW, FALSE, 0);
    SetWindowTextW(c->hwnd, L"");
    auto def = S().fontDefs.find(c->fontSlot < 0 ? 0 : c->fontSlot);
    const double basePoints = def != S().fontDefs.end() ? def->second.points : 9;
    bool first = true;
    for (const EzTextRun& run : runs) {
        std::string text = NoCR(run.text);
        if (run.newPara && !first) text.insert(0, "\n");
        first = false;
        std::wstring w = Wide(text);
        for (wchar_t& ch : w)
            if (ch == L'\n') ch = L'\r';
        GETTEXTLENGTHEX gl{GTL_DEFAULT, 1200};
        const LONG end = static_cast<LONG>(
            SendMessageW(c->hwnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
        CHARRANGE cr{end, end};
        SendMessageW(c->hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
        CHARFORMAT2W cf{};
        cf.cbSize = sizeof(cf);
        cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_SIZE;
        cf.dwEffects = (run.bold ? CFE_BOLD : 0) | (run.italic ? CFE_ITALIC : 0) |
                       (run.underline ? CFE_UNDERLINE : 0);
        cf.yHeight = static_cast<LONG>((run.points > 0 ? run.points : basePoints) * 20);
        SendMessageW(c->hwnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
        SendMessageW(c->hwnd, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(w.c_str()));
    }
    CHARRANGE top{0, 0};
    SendMessageW(c->hwnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&top));
    SendMessageW(c->hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(c->hwnd, nullptr, TRUE);
}
