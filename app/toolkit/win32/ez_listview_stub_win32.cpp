// The list view's stand-in, built only while the toolkit has no list view of
// its own (app/toolkit/win32/ez_listview_win32.cpp; CMakeLists.txt leaves this
// file out as soon as that one exists): a plain report-style list with the
// given columns and no rows, and EZ_LV* calls that read back nothing.
#include "app/base/util_win32.h"
#include "app/toolkit/win32/ez_win32.h"

namespace ez {

HWND MakeListView(Form& f, Ctl& c, const std::string& columns, const std::string& style,
                  HWND parent) {
    return CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                           GetModuleHandleW(nullptr), nullptr);
}

bool ListViewNotify(Form& f, Ctl& c, NMHDR* hdr, LRESULT& result) {
    return false;
}

}  // namespace ez

void EZ_LVGETCOLUMN(const std::string& form, int id, int col, std::string& caption, int& widthPx,
                    int& format) {
    caption.clear();
    widthPx = 0;
    format = 0;
}
int EZ_LVADDROW(const std::string& form, int id, const std::vector<std::string>& cells,
                int64_t value) {
    return -1;
}
int EZ_LVPUTROW(const std::string& form, int id, int row, const std::vector<std::string>& cells,
                int64_t value) {
    return -1;
}
int EZ_LVFINDVALUE(const std::string& form, int id, int64_t value) {
    return -1;
}
void EZ_LVDELETEROW(const std::string& form, int id, int row) {}
void EZ_LVCLEAR(const std::string& form, int id) {}
int EZ_LVROWCOUNT(const std::string& form, int id) {
    return 0;
}
std::string EZ_LVGETCELL(const std::string& form, int id, int row, int col) {
    return {};
}
void EZ_LVSETCELL(const std::string& form, int id, int row, int col, const std::string& text) {}
int64_t EZ_LVGETVALUE(const std::string& form, int id, int row) {
    return 0;
}
void EZ_LVSELECT(const std::string& form, int id, int row, bool on) {}
bool EZ_LVISSELECTED(const std::string& form, int id, int row) {
    return false;
}
int EZ_LVSELCOUNT(const std::string& form, int id) {
    return 0;
}
int EZ_LVNEXTSELECTED(const std::string& form, int id, int fromRow) {
    return -1;
}
void EZ_LVSORT(const std::string& form, int id, int col, int direction) {}
int EZ_LVCOLCOUNT(const std::string& form, int id) {
    return 0;
}
void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format) {}
std::vector<int> EZ_LVCOLUMNORDER(const std::string& form, int id) {
    return {};
}
void EZ_LVSETHEADERIMAGE(const std::string& form, int id, int col, int image) {}
double EZ_LVWIDTH(const std::string& form, int id) {
    return 0;
}
