// Window placement, the program list's column layout, header sort arrows and
// check marks of check-list views, kept as plain text in the settings file.
#include "ui/layout.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"

namespace {

constexpr const char* kColumnSection = "Column";
// Format bits of a header item that shows its caption as text with an image
// to the right of the caption; the alignment bits are added to it.
constexpr int kHeaderImageFormat = 22528;
constexpr int kNoArrowImage = 3;

// Plain decimal with at most two fraction digits and no trailing zeros
// ("12", "12.5", "-3.25"): character units may be fractional.
std::string NumberText(double v) {
    double rounded = std::round(v * 100.0) / 100.0;
    if (rounded == 0) rounded = 0;  // no "-0"
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", rounded);
    std::string s = buf;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

void CentreOnScreen(const std::string& form, double w, double h) {
    double cols = 0, rows = 0;
    EZ_SCREENSIZE(cols, rows);
    double col = (cols - w) / 2;
    double row = (rows - h) / 2;
    EZ_SETFORMPLACE(form, col < 0 ? 0 : col, row < 0 ? 0 : row, w, h);
}

std::string ColumnKey(const std::string& key) {
    return IniRead(Paths().settingsFile, kColumnSection, key, "");
}

}  // namespace

void RestoreFormPlace(const std::string& form, const std::string& settingsFile, int useSavedSize) {
    double lastRow = ValD(IniRead(settingsFile, form, "LastRow", "-1"));
    double lastCol = ValD(IniRead(settingsFile, form, "LastCol", "-1"));
    double savedW = ValD(IniRead(settingsFile, form, "FormWid", "0"));
    double savedH = ValD(IniRead(settingsFile, form, "FormHgt", "0"));

    double col = 0, row = 0, curW = 0, curH = 0;
    EZ_GETFORMPLACE(form, col, row, curW, curH);
    if (lastRow <= 0 || lastCol < 0) {
        // No usable place: the form's present size, centred.
        CentreOnScreen(form, curW, curH);
        return;
    }
    double w = curW, h = curH;
    if (useSavedSize != 0 && savedW > 0 && savedH > 0) {
        w = savedW;
        h = savedH;
    }
    double cols = 0, rows = 0;
    EZ_SCREENSIZE(cols, rows);
    if (lastCol + w > cols || lastRow + h > rows) {
        CentreOnScreen(form, w, h);
        return;
    }
    EZ_SETFORMPLACE(form, lastCol, lastRow, w, h);
}

void SaveFormPlace(const std::string& form, const std::string& settingsFile) {
    double cols = 0, rows = 0;
    EZ_SCREENSIZE(cols, rows);
    double col = 0, row = 0, w = 0, h = 0;
    EZ_GETFORMPLACE(form, col, row, w, h);

    if (col < 0) col = 0;
    if (col + w > cols) col = cols - w;
    if (row < 0) row = 0;
    if (row + h > rows) row = rows - h;
    // A form larger than the screen keeps its top-left corner on the screen.
    if (col < 0) col = 0;
    if (row < 0) row = 0;

    IniWrite(settingsFile, form, "LastCol", NumberText(col));
    IniWrite(settingsFile, form, "LastRow", NumberText(row));
    IniWrite(settingsFile, form, "FormWid", NumberText(w));
    IniWrite(settingsFile, form, "FormHgt", NumberText(h));
}

void SaveColumnLayout(const std::string& form, int listView) {
    std::vector<std::string> names, widths, formats;
    for (int index : EZ_LVCOLUMNORDER(form, listView)) {
        std::string caption;
        int width = 0, format = 0;
        EZ_LVGETCOLUMN(form, listView, index, caption, width, format);
        names.push_back(caption);
        widths.push_back(std::to_string(width));
        formats.push_back(std::to_string(format));
    }
    const std::string& ini = Paths().settingsFile;
    IniWrite(ini, kColumnSection, "Names", Join(names, "|"));
    IniWrite(ini, kColumnSection, "Widths", Join(widths, "|"));
    IniWrite(ini, kColumnSection, "Format", Join(formats, "|"));
}

void RecordColumnOrder(const std::string& form, int listView) {
    if (!ColumnKey("Order").empty()) return;
    std::vector<std::string> names;
    int count = EZ_LVCOLCOUNT(form, listView);
    for (int i = 0; i < count; ++i) {
        std::string caption;
        int width = 0, format = 0;
        EZ_LVGETCOLUMN(form, listView, i, caption, width, format);
        names.push_back(caption);
    }
    IniWrite(Paths().settingsFile, kColumnSection, "Order", Join(names, "|"));
}

void RestoreColumnLayout(const std::string& form, int listView) {
    std::string namesText = ColumnKey("Names");
    if (namesText.empty()) return;
    std::vector<std::string> names = Split(namesText, "|");
    std::vector<std::string> widths = Split(ColumnKey("Widths"), "|");
    std::vector<std::string> formats = Split(ColumnKey("Format"), "|");
    // Applied by position; a stored list longer than the header is cut, a
    // shorter Widths or Format list leaves 0 for the missing columns.
    int count = EZ_LVCOLCOUNT(form, listView);
    for (int i = 0; i < count && i < static_cast<int>(names.size()); ++i) {
        int width = i < static_cast<int>(widths.size()) ? static_cast<int>(Val(widths[i])) : 0;
        int format = i < static_cast<int>(formats.size()) ? static_cast<int>(Val(formats[i])) : 0;
        EZ_LVSETCOLUMN(form, listView, i, names[i], width, format);
    }
}

void SetSortArrow(const std::string& form, int listView, int column, int direction) {
    int count = EZ_LVCOLCOUNT(form, listView);
    for (int i = 0; i < count; ++i) {
        std::string caption;
        int width = 0, format = 0;
        EZ_LVGETCOLUMN(form, listView, i, caption, width, format);
        EZ_LVSETCOLUMN(form, listView, i, caption, width, (format & 3) + kHeaderImageFormat);
        int image = kNoArrowImage;
        if (i == column && (direction == 0 || direction == 1)) image = direction;
        EZ_LVSETHEADERIMAGE(form, listView, i, image);
    }
}

void SetHeaderImages(const std::string& form, int listView) {
    // The arrow images come from the toolkit's image folder; every header item
    // starts without an arrow until a sort is shown.
    int count = EZ_LVCOLCOUNT(form, listView);
    for (int i = 0; i < count; ++i) EZ_LVSETHEADERIMAGE(form, listView, i, kNoArrowImage);
}

void SetCheckMarks(const std::string& form, int listView, bool checked) {
    const std::string mark = checked ? "{S}X2" : "{S}X1";
    int rows = EZ_LVROWCOUNT(form, listView);
    bool onlySelected = EZ_LVSELCOUNT(form, listView) > 0;
    for (int r = 0; r < rows; ++r) {
        if (onlySelected && !EZ_LVISSELECTED(form, listView, r)) continue;
        EZ_LVSETCELL(form, listView, r, 0, mark);
    }
}

int CountChecked(const std::string& form, int listView) {
    int rows = EZ_LVROWCOUNT(form, listView);
    int n = 0;
    for (int r = 0; r < rows; ++r)
        if (IsChecked(form, listView, r)) ++n;
    return n;
}

bool IsChecked(const std::string& form, int listView, int row) {
    return EZ_LVGETCELL(form, listView, row, 0).find("X2") != std::string::npos;
}

void KeepDesignedSize(const std::string& form, double width, double height) {
    double col = 0, row = 0, w = 0, h = 0;
    EZ_GETFORMPLACE(form, col, row, w, h);
    if (w == width && h == height) return;
    EZ_SETFORMPLACE(form, col, row, width, height);
    EZ_CENTERFORM(form);
}
