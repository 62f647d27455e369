// List views: a report-style SysListView32 with LVS_OWNERDATA. The control
// keeps only the number of rows; each row's cells and value, the sort, the
// selection and the current row are the row store's (ez_rows.h), and the
// control asks for the cells it paints through LVN_GETDISPINFO, converted to
// UTF-16 then. Rows added one by one are counted into the control in one go,
// the next time anything else touches the list, it paints, or the message
// loop runs.
//
// The selection is the store's: the control's own selection notifications
// (the user's clicks and keys) are copied into it, and after the program
// rearranges rows (a sort, a row that moves, one deleted) the store's
// selection is copied back into the control. SelChange is raised once per
// user action, after the control's notifications for it have all arrived.
//
// Check-box cells ("{S}X2" / "{S}X1") show an image of a box (an image list
// of two, unchecked and checked); a click on such a cell or Space on the
// current row (its first cell) toggles the cell's text and raises Click with the row.
#include "app/toolkit/win32/ez_listview_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "app/base/text_util.h"
#include "app/base/util_win32.h"

namespace ez {

namespace {

constexpr UINT kFlushMsg = WM_APP + 0x310;  // rows were added: count them in
constexpr UINT kSelMsg = WM_APP + 0x311;    // the user changed the selection
constexpr UINT_PTR kSubclassId = 0x4C56;    // "LV"

struct ImageListDeleter {
    void operator()(HIMAGELIST il) const { ImageList_Destroy(il); }
};
using ImageListHandle = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListDeleter>;

struct ListRec {
    HWND hwnd = nullptr;
    std::string form;
    int id = 0;
    bool multi = false;
    RowStore rows;
    int shown = 0;  // rows the control has been told of
    bool flushPosted = false;
    bool selPosted = false;
    int syncing = 0;        // > 0 while the store's selection is copied into the control
    bool filling = false;   // while the last column is widened to the list's edge
    ImageListHandle boxes;  // check-box images: 0 unchecked, 1 checked
};

// The list of a control: its record hangs on the control's own (Ctl::extra),
// so it lives exactly as long as the control does.
ListRec* RecOf(Ctl* c) {
    return c && c->kind == EzKind::ListView ? static_cast<ListRec*>(c->extra.get()) : nullptr;
}

ListRec* RecOf(HWND h) {
    Form* f = FormOfWindow(h);
    Ctl* c = f ? CtlOfWindow(f, h) : nullptr;
    return c && c->hwnd == h ? RecOf(c) : nullptr;
}

// The list of a control, with the rows added so far counted into the control.
ListRec* RecOf(const std::string& form, int id);

void Flush(ListRec& r) {
    r.flushPosted = false;
    if (r.shown == r.rows.Rows()) return;
    const bool grew = r.rows.Rows() > r.shown;
    r.shown = r.rows.Rows();
    SendMessageW(r.hwnd, LVM_SETITEMCOUNT, static_cast<WPARAM>(r.shown),
                 grew ? LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL : LVSICF_NOSCROLL);
}

ListRec* RecOf(const std::string& form, int id) {
    ListRec* r = RecOf(FindCtl(form, id));
    if (r) Flush(*r);
    return r;
}

// The selected rows and the current row as the control holds them: the
// store's, until the store changes them.
struct Marks {
    std::vector<int> selected;  // ascending
    int current = -1;
};

Marks MarksOf(const ListRec& r) {
    Marks m;
    m.selected.reserve(static_cast<size_t>(r.rows.SelCount()));
    for (int row = r.rows.NextSelected(-1); row >= 0; row = r.rows.NextSelected(row))
        m.selected.push_back(row);
    m.current = r.rows.Current();
    return m;
}

void SetState(ListRec& r, int row, UINT state, UINT mask) {
    LVITEMW it{};
    it.stateMask = mask;
    it.state = state;
    SendMessageW(r.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

// The store's selection and current row into the control, raising nothing.
// Only the rows whose state differs from what the control held (before) are
// set: changing every row at once costs a pass over all rows in some
// versions of the control.
void SyncSelection(ListRec& r, const Marks& before) {
    Quiet quiet;
    ++r.syncing;
    for (int row : before.selected)
        if (!r.rows.Selected(row)) SetState(r, row, 0, LVIS_SELECTED);
    for (int row = r.rows.NextSelected(-1); row >= 0; row = r.rows.NextSelected(row))
        if (!std::binary_search(before.selected.begin(), before.selected.end(), row))
            SetState(r, row, LVIS_SELECTED, LVIS_SELECTED);
    const int cur = r.rows.Current();
    if (cur != before.current) {
        if (before.current >= 0 && before.current < r.shown)
            SetState(r, before.current, 0, LVIS_FOCUSED);
        if (cur >= 0) {
            SetState(r, cur, LVIS_FOCUSED, LVIS_FOCUSED);
            SendMessageW(r.hwnd, LVM_SETSELECTIONMARK, 0, cur);
        }
    }
    --r.syncing;
}

// After rows were inserted, removed or rearranged: the count, the selection
// and the painted rows follow the store.
void Rearranged(ListRec& r, const Marks& before) {
    Flush(r);
    SyncSelection(r, before);
    InvalidateRect(r.hwnd, nullptr, FALSE);
}

void RedrawRow(ListRec& r, int row) {
    SendMessageW(r.hwnd, LVM_REDRAWITEMS, row, row);
}

void PostFlush(ListRec& r) {
    if (r.flushPosted) return;
    r.flushPosted = PostMessageW(r.hwnd, kFlushMsg, 0, 0) != FALSE;
}

// The two check-box images, drawn by the system at the size of a small icon,
// given to the control once a check-box cell is shown (or at once to a check
// list).
void EnsureBoxes(ListRec& r, bool checkList = false) {
    if (r.boxes || !(checkList || r.rows.HasCheckCells())) return;
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    ImageListHandle list(ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, 2, 0));
    if (!list) return;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    HDC mem = CreateCompatibleDC(screen);
    for (const bool checked : {false, true}) {
        HBITMAP bmp = CreateCompatibleBitmap(screen, cx, cy);
        if (!bmp || !mem) {
            if (bmp) DeleteObject(bmp);
            break;
        }
        HGDIOBJ old = SelectObject(mem, bmp);
        const COLORREF key = RGB(255, 0, 255);
        HBRUSH fill = CreateSolidBrush(key);
        RECT all{0, 0, cx, cy};
        FillRect(mem, &all, fill);
        DeleteObject(fill);
        const int side = std::min(cx, cy) - 2;
        RECT box{(cx - side) / 2, (cy - side) / 2, (cx - side) / 2 + side, (cy - side) / 2 + side};
        DrawFrameControl(mem, &box, DFC_BUTTON,
                         DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
        SelectObject(mem, old);
        ImageList_AddMasked(list.get(), bmp, key);
        DeleteObject(bmp);
    }
    if (mem) DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (ImageList_GetImageCount(list.get()) != 2) return;
    r.boxes = std::move(list);
    SendMessageW(r.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(r.boxes.get()));
}

// Toggles a check-box cell; a user's toggle raises Click with the row.
bool Toggle(ListRec& r, int row, int col, bool user) {
    if (!r.rows.HasRow(row) || !r.rows.HasColumn(col)) return false;
    std::string text(r.rows.Cell(row, col));
    if (!IsCheckCell(text)) return false;
    text[4] = IsCheckedCell(text) ? '1' : '2';
    r.rows.SetCell(row, col, text);
    RedrawRow(r, row);
    if (user && !IsQuiet()) Raise(r.form, r.id, EzEvent::Click, row);
    return true;
}

// The last column reaches the list's right edge: at least as wide as it was
// made (by the design, a saved layout or the user), widened to fill what the
// other columns leave free.
void FillLastColumn(ListRec& r) {
    const int n = r.rows.Columns();
    if (n == 0 || r.filling) return;
    const int last = n - 1;
    int others = 0;
    for (int c = 0; c < last; ++c)
        others += static_cast<int>(SendMessageW(r.hwnd, LVM_GETCOLUMNWIDTH, c, 0));
    RECT client{};
    GetClientRect(r.hwnd, &client);
    const int want =
        std::max(r.rows.Column(last).widthPx, int(client.right - client.left) - others);
    if (SendMessageW(r.hwnd, LVM_GETCOLUMNWIDTH, last, 0) == want) return;
    r.filling = true;
    SendMessageW(r.hwnd, LVM_SETCOLUMNWIDTH, last, want);
    r.filling = false;
}

int FormatOf(int format) {
    switch (format & 3) {
        case 1:
            return LVCFMT_RIGHT;
        case 2:
            return LVCFMT_CENTER;
        default:
            return LVCFMT_LEFT;
    }
}

void SetColumnInControl(ListRec& r, int col, bool insert) {
    const ListColumn& c = r.rows.Column(col);
    std::wstring caption = ::Wide(c.caption);
    LVCOLUMNW lc{};
    lc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lc.fmt = FormatOf(c.format);
    lc.cx = c.widthPx;
    lc.pszText = caption.data();
    lc.iSubItem = col;
    SendMessageW(r.hwnd, insert ? LVM_INSERTCOLUMNW : LVM_SETCOLUMNW, col,
                 reinterpret_cast<LPARAM>(&lc));
}

// A cell for the control: text (none for a check-box cell) and image.
void GiveCell(ListRec& r, LVITEMW& item) {
    if (!r.rows.HasRow(item.iItem) || !r.rows.HasColumn(item.iSubItem)) return;
    const std::string_view cell = r.rows.Cell(item.iItem, item.iSubItem);
    const bool box = r.rows.HasCheckCells() && IsCheckCell(cell);
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        size_t n = 0;
        if (!box) {
            const std::wstring wide = ::Wide(cell);
            n = std::min(wide.size(), static_cast<size_t>(item.cchTextMax - 1));
            std::copy_n(wide.data(), n, item.pszText);
        }
        item.pszText[n] = L'\0';
    }
    if (item.mask & LVIF_IMAGE) item.iImage = box ? (IsCheckedCell(cell) ? 1 : 0) : I_IMAGENONE;
}

// Type-ahead: the first row from start on (wrapping) whose first cell starts
// with the typed text, letter case ignored.
int FindTyped(ListRec& r, const NMLVFINDITEMW& f) {
    if (!(f.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !f.lvfi.psz) return -1;
    const std::string typed = FoldCaseSimple(::Utf8(std::wstring_view(f.lvfi.psz)));
    const int n = r.rows.Rows();
    if (n == 0 || typed.empty()) return -1;
    const int start = std::clamp(f.iStart, 0, n - 1);
    for (int i = 0; i < n; ++i) {
        const int row = (start + i) % n;
        if (StartsWith(FoldCaseSimple(r.rows.Cell(row, 0)), typed)) return row;
        if (!(f.lvfi.flags & LVFI_WRAP) && row == n - 1) break;
    }
    return -1;
}

void PostSelChange(ListRec& r) {
    if (IsQuiet() || r.selPosted) return;
    r.selPosted = PostMessageW(r.hwnd, kSelMsg, 0, 0) != FALSE;
}

int NextInControl(ListRec& r, int after, UINT flags) {
    return static_cast<int>(
        SendMessageW(r.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(after), MAKELPARAM(flags, 0)));
}

// The control's own selection changes into the store.
void StateChanged(ListRec& r, int from, int to, UINT oldState, UINT newState) {
    if (r.syncing) return;
    bool changed = false;
    if (from < 0) {
        // Every row's state changed (a click that clears the selection):
        // the control's selection is read back as it now is.
        r.rows.Select(-1, false);
        for (int row = NextInControl(r, -1, LVNI_SELECTED); row >= 0;
             row = NextInControl(r, row, LVNI_SELECTED))
            r.rows.Select(row, true);
        changed = true;
    } else if ((oldState ^ newState) & LVIS_SELECTED) {
        const bool on = (newState & LVIS_SELECTED) != 0;
        for (int row = from; row <= to; ++row) r.rows.Select(row, on);
        changed = true;
    }
    if (from >= 0 && ((oldState ^ newState) & LVIS_FOCUSED)) {
        if (newState & LVIS_FOCUSED)
            r.rows.SetCurrent(from);
        else if (r.rows.Current() >= from && r.rows.Current() <= to)
            r.rows.SetCurrent(-1);
        changed = true;
    }
    if (changed) PostSelChange(r);
}

LRESULT CALLBACK ListProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    ListRec* r = RecOf(h);
    if (!r) return DefSubclassProc(h, msg, wp, lp);
    switch (msg) {
        case WM_PAINT:
        case kFlushMsg:
            Flush(*r);
            if (msg == kFlushMsg) return 0;
            break;
        case kSelMsg: {
            r->selPosted = false;
            const std::string form = r->form;
            Raise(form, r->id, EzEvent::SelChange, r->rows.Current());
            return 0;
        }
        case WM_KEYDOWN:
            // (Its Key event has been raised and not cancelled.)
            if (wp == VK_SPACE && Toggle(*r, r->rows.Current(), 0, true)) return 0;
            break;
        case WM_SIZE: {
            const LRESULT done = DefSubclassProc(h, msg, wp, lp);
            FillLastColumn(*r);
            return done;
        }
        case WM_NOTIFY: {
            // The header's: a column's width changed (by the user, the
            // program, or the filling of the last column).
            const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
            if (hdr->hwndFrom == ListView_GetHeader(h) &&
                (hdr->code == HDN_ITEMCHANGEDW || hdr->code == HDN_ITEMCHANGEDA)) {
                const auto* nh = reinterpret_cast<const NMHEADERW*>(lp);
                const LRESULT done = DefSubclassProc(h, msg, wp, lp);
                if (!r->filling && nh->pitem && (nh->pitem->mask & HDI_WIDTH) &&
                    r->rows.HasColumn(nh->iItem)) {
                    r->rows.Column(nh->iItem).widthPx = nh->pitem->cxy;
                    FillLastColumn(*r);
                }
                return done;
            }
            break;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(h, ListProc, kSubclassId);
            return DefSubclassProc(h, msg, wp, lp);
        default:
            break;
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace

HWND MakeListView(Form& f, Ctl& c, const std::string& columns, const std::string& style,
                  HWND parent) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    auto rec = std::make_shared<ListRec>();
    bool check = false;
    for (char ch : style) {
        if (ch == 'M' || ch == 'm') rec->multi = true;
        if (ch == 'C' || ch == 'c') check = true;
    }
    std::vector<ListColumn> cols;
    for (const DesignedColumn& designed : ParseListColumns(columns))
        cols.push_back(
            {designed.caption, EZ_COLSTOPIXELS(static_cast<int>(designed.widthCols)), 0, 3});
    // A list whose columns have no captions (a check list) shows no header row.
    const bool noHeader = std::all_of(cols.begin(), cols.end(),
                                      [](const ListColumn& col) { return col.caption.empty(); });
    DWORD ws = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS |
               LVS_SHAREIMAGELISTS;
    if (!rec->multi) ws |= LVS_SINGLESEL;
    if (noHeader) ws |= LVS_NOCOLUMNHEADER;
    HWND h = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", ws, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                             GetModuleHandleW(nullptr), nullptr);
    if (!h) return nullptr;
    SendMessageW(
        h, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
        LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_SUBITEMIMAGES | LVS_EX_LABELTIP);
    rec->hwnd = h;
    rec->form = f.name;
    rec->id = c.id;
    rec->rows.SetColumns(std::move(cols));
    for (int col = 0; col < rec->rows.Columns(); ++col) SetColumnInControl(*rec, col, true);
    c.extra = rec;
    SetWindowSubclass(h, ListProc, kSubclassId, 0);
    EnsureBoxes(*rec, check);
    return h;
}

bool ListViewNotify(Form& f, Ctl& c, NMHDR* hdr, LRESULT& result) {
    ListRec* r = RecOf(&c);
    if (!r || hdr->hwndFrom != r->hwnd) return false;
    result = 0;
    const std::string form = r->form;
    const int id = r->id;
    switch (hdr->code) {
        case LVN_GETDISPINFOW:
            GiveCell(*r, reinterpret_cast<NMLVDISPINFOW*>(hdr)->item);
            return true;
        case LVN_ODCACHEHINT:
            return true;
        case LVN_ODFINDITEMW:
            result = FindTyped(*r, *reinterpret_cast<NMLVFINDITEMW*>(hdr));
            return true;
        case LVN_ITEMCHANGED: {
            const auto* nm = reinterpret_cast<NMLISTVIEW*>(hdr);
            if (nm->uChanged & LVIF_STATE)
                StateChanged(*r, nm->iItem, nm->iItem, nm->uOldState, nm->uNewState);
            return true;
        }
        case LVN_ODSTATECHANGED: {
            const auto* od = reinterpret_cast<NMLVODSTATECHANGE*>(hdr);
            StateChanged(*r, od->iFrom, od->iTo, od->uOldState, od->uNewState);
            return true;
        }
        case NM_CLICK: {
            // A check-box cell shows nothing but its box: a click anywhere
            // in it toggles it.
            const auto* ia = reinterpret_cast<NMITEMACTIVATE*>(hdr);
            LVHITTESTINFO hit{};
            hit.pt = ia->ptAction;
            if (SendMessageW(r->hwnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 &&
                (hit.flags & LVHT_ONITEM) && hit.iItem >= 0)
                Toggle(*r, hit.iItem, hit.iSubItem, true);
            return true;
        }
        case NM_DBLCLK: {
            const int row = reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem;
            if (row >= 0) Raise(form, id, EzEvent::DblClick, row);
            return true;
        }
        case NM_RCLICK: {
            const int row = reinterpret_cast<NMITEMACTIVATE*>(hdr)->iItem;
            Raise(form, id, EzEvent::RightClick, row >= 0 ? row : -1);
            return true;
        }
        case LVN_COLUMNCLICK:
            Raise(form, id, EzEvent::HeaderClick, reinterpret_cast<NMLISTVIEW*>(hdr)->iSubItem);
            return true;
        default:
            return false;
    }
}

const RowStore* ListViewRows(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    return r ? &r->rows : nullptr;
}

bool ListViewUserRow(const std::string& form, int id, int row, bool extend) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasRow(row)) return false;
    HWND h = r->hwnd;
    LVITEMW it{};
    if (!extend || !r->multi) {
        it.stateMask = LVIS_SELECTED;
        it.state = 0;
        SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    }
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(h, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    SendMessageW(h, LVM_SETSELECTIONMARK, 0, row);
    SendMessageW(h, LVM_ENSUREVISIBLE, row, FALSE);
    return true;
}

bool ListViewUserToggleCheck(const std::string& form, int id, int row, int col) {
    ListRec* r = RecOf(form, id);
    return r && Toggle(*r, row, col, true);
}

int ListViewRowAt(HWND list, POINT client) {
    LVHITTESTINFO hit{};
    hit.pt = client;
    const auto row =
        static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return row >= 0 && (hit.flags & LVHT_ONITEM) ? row : -1;
}

}  // namespace ez

using namespace ez;

int EZ_LVADDROW(const std::string& form, int id, const std::vector<std::string>& cells,
                int64_t value) {
    ListRec* r = RecOf(FindCtl(form, id));  // (counted into the control later)
    if (!r) return -1;
    const int row = r->rows.Add(cells, value);
    EnsureBoxes(*r);
    PostFlush(*r);
    return row;
}

int EZ_LVPUTROW(const std::string& form, int id, int row, const std::vector<std::string>& cells,
                int64_t value) {
    ListRec* r = RecOf(form, id);
    if (!r || (row >= 0 && !r->rows.HasRow(row))) return -1;
    Quiet quiet;
    const Marks before = MarksOf(*r);
    const int at = r->rows.Put(row, cells, value);
    EnsureBoxes(*r);
    if (row < 0 || at != row)
        Rearranged(*r, before);
    else
        RedrawRow(*r, row);
    return at;
}

int EZ_LVFINDVALUE(const std::string& form, int id, int64_t value) {
    ListRec* r = RecOf(form, id);
    return r ? r->rows.Find(value) : -1;
}

void EZ_LVDELETEROW(const std::string& form, int id, int row) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasRow(row)) return;
    Quiet quiet;
    const Marks before = MarksOf(*r);
    r->rows.Remove(row);
    Rearranged(*r, before);
}

void EZ_LVCLEAR(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    if (!r) return;
    Quiet quiet;
    const Marks before = MarksOf(*r);
    r->rows.Clear();
    Rearranged(*r, before);
}

int EZ_LVROWCOUNT(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    return r ? r->rows.Rows() : 0;
}

std::string EZ_LVGETCELL(const std::string& form, int id, int row, int col) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasRow(row) || !r->rows.HasColumn(col)) return "";
    return std::string(r->rows.Cell(row, col));
}

void EZ_LVSETCELL(const std::string& form, int id, int row, int col, const std::string& text) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasRow(row) || !r->rows.HasColumn(col)) return;
    r->rows.SetCell(row, col, text);
    EnsureBoxes(*r);
    RedrawRow(*r, row);
}

int64_t EZ_LVGETVALUE(const std::string& form, int id, int row) {
    ListRec* r = RecOf(form, id);
    return r && r->rows.HasRow(row) ? r->rows.Value(row) : 0;
}

void EZ_LVSELECT(const std::string& form, int id, int row, bool on) {
    ListRec* r = RecOf(form, id);
    if (!r) return;
    RowStore& rows = r->rows;
    const Marks before = MarksOf(*r);
    if (row < 0) {
        rows.Select(-1, on);
    } else {
        if (!rows.HasRow(row)) return;
        if (on && !r->multi) rows.Select(-1, false);
        rows.Select(row, on);
        if (on) rows.SetCurrent(row);
    }
    SyncSelection(*r, before);
    if (on && row >= 0) SendMessageW(r->hwnd, LVM_ENSUREVISIBLE, row, FALSE);
}

bool EZ_LVISSELECTED(const std::string& form, int id, int row) {
    ListRec* r = RecOf(form, id);
    return r && r->rows.Selected(row);
}

int EZ_LVSELCOUNT(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    return r ? r->rows.SelCount() : 0;
}

int EZ_LVNEXTSELECTED(const std::string& form, int id, int fromRow) {
    ListRec* r = RecOf(form, id);
    return r ? r->rows.NextSelected(fromRow) : -1;
}

void EZ_LVSORT(const std::string& form, int id, int col, int direction) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasColumn(col)) return;
    Quiet quiet;
    const std::vector<int> order = r->rows.SortOrder(col, direction);
    if (order.empty()) return;
    const Marks before = MarksOf(*r);
    r->rows.Reorder(order);
    Rearranged(*r, before);
}

int EZ_LVCOLCOUNT(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    return r ? r->rows.Columns() : 0;
}

void EZ_LVGETCOLUMN(const std::string& form, int id, int col, std::string& caption, int& widthPx,
                    int& format) {
    caption.clear();
    widthPx = 0;
    format = 0;
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasColumn(col)) return;
    const ListColumn& c = r->rows.Column(col);
    caption = c.caption;
    format = c.format;
    widthPx = static_cast<int>(SendMessageW(r->hwnd, LVM_GETCOLUMNWIDTH, col, 0));
    // The last column's own width, not what it was widened to for filling.
    if (col == r->rows.Columns() - 1) widthPx = std::min(widthPx, c.widthPx);
}

void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasColumn(col)) return;
    Quiet quiet;
    ListColumn& c = r->rows.Column(col);
    c.caption = caption;
    c.format = format;
    c.widthPx = std::max(0, widthPx);
    SetColumnInControl(*r, col, false);
    FillLastColumn(*r);
    InvalidateRect(r->hwnd, nullptr, FALSE);
}

std::vector<int> EZ_LVCOLUMNORDER(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    if (!r) return {};
    std::vector<int> order(static_cast<size_t>(r->rows.Columns()));
    if (order.empty() || !SendMessageW(r->hwnd, LVM_GETCOLUMNORDERARRAY, order.size(),
                                       reinterpret_cast<LPARAM>(order.data()))) {
        for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    }
    return order;
}

void EZ_LVSETHEADERIMAGE(const std::string& form, int id, int col, int image) {
    ListRec* r = RecOf(form, id);
    if (!r || !r->rows.HasColumn(col)) return;
    r->rows.Column(col).image = image;
    HWND header = ListView_GetHeader(r->hwnd);
    if (!header) return;
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, col, reinterpret_cast<LPARAM>(&item))) return;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (image == 0) item.fmt |= HDF_SORTDOWN;
    if (image == 1) item.fmt |= HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, col, reinterpret_cast<LPARAM>(&item));
}

double EZ_LVWIDTH(const std::string& form, int id) {
    ListRec* r = RecOf(form, id);
    if (!r) return 0;
    RECT client{};
    GetClientRect(r->hwnd, &client);
    return EZ_PIXELSTOCOLS(client.right - client.left);
}
