// Window placement, the program list's column layout, header sort arrows and
// check marks of check-list views, kept as plain text in the settings file.
#include "ui/layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
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

std::string ColumnKey(const std::string& key) {
    return IniRead(Paths().settingsFile, kColumnSection, key, "");
}

}  // namespace

FormPlace PlaceFromSettings(const std::string& lastCol, const std::string& lastRow,
                            const std::string& formWid, const std::string& formHgt,
                            const FormPlace& current, double screenCols, double screenRows,
                            bool useSavedSize) {
    const double savedCol = ValD(lastCol), savedRow = ValD(lastRow);
    const double savedW = ValD(formWid), savedH = ValD(formHgt);
    FormPlace p = current;
    const bool placeSaved =
        std::isfinite(savedRow) && std::isfinite(savedCol) && savedRow > 0 && savedCol >= 0;
    if (placeSaved && useSavedSize && savedW > 0 && savedH > 0) {
        p.w = savedW;
        p.h = savedH;
    }
    // A saved size larger than the screen (or no number at all) would make the
    // window paint a surface of that size: it is capped to the screen.
    auto cap = [](double v, double limit) { return std::isfinite(v) && v < limit ? v : limit; };
    if (screenCols > 0) p.w = cap(p.w, screenCols);
    if (screenRows > 0) p.h = cap(p.h, screenRows);
    p.centred = !placeSaved || savedCol + p.w > screenCols || savedRow + p.h > screenRows;
    if (p.centred) {
        p.col = std::max(0.0, (screenCols - p.w) / 2);
        p.row = std::max(0.0, (screenRows - p.h) / 2);
    } else {
        p.col = savedCol;
        p.row = savedRow;
    }
    return p;
}

void RestoreFormPlace(const std::string& form, const std::string& settingsFile, int useSavedSize) {
    FormPlace current;
    EZ_GETFORMPLACE(form, current.col, current.row, current.w, current.h);
    double cols = 0, rows = 0;
    EZ_SCREENSIZE(cols, rows);
    FormPlace p = PlaceFromSettings(
        IniRead(settingsFile, form, "LastCol", "-1"), IniRead(settingsFile, form, "LastRow", "-1"),
        IniRead(settingsFile, form, "FormWid", "0"), IniRead(settingsFile, form, "FormHgt", "0"),
        current, cols, rows, useSavedSize != 0);
    EZ_SETFORMPLACE(form, p.col, p.row, p.w, p.h);
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

std::vector<ColumnSetting> ColumnLayoutFromSettings(const std::string& namesText,
                                                    const std::string& widthsText,
                                                    const std::string& formatsText,
                                                    int columnCount) {
    std::vector<ColumnSetting> columns;
    if (namesText.empty()) return columns;
    std::vector<std::string> names = Split(namesText, "|");
    std::vector<std::string> widths = Split(widthsText, "|");
    std::vector<std::string> formats = Split(formatsText, "|");
    // Applied by position; a stored list longer than the header is cut, a
    // shorter Widths or Format list leaves 0 for the missing columns. Numbers
    // beyond what a header can take are left at 0 rather than wrapped around.
    auto number = [](const std::vector<std::string>& list, int i) {
        if (i >= static_cast<int>(list.size())) return 0;
        const int64_t v = Val(list[i]);
        return v < -1000000 || v > 1000000 ? 0 : static_cast<int>(v);
    };
    for (int i = 0; i < columnCount && i < static_cast<int>(names.size()); ++i)
        columns.push_back({names[i], number(widths, i), number(formats, i)});
    return columns;
}

void RestoreColumnLayout(const std::string& form, int listView) {
    std::vector<ColumnSetting> columns =
        ColumnLayoutFromSettings(ColumnKey("Names"), ColumnKey("Widths"), ColumnKey("Format"),
                                 EZ_LVCOLCOUNT(form, listView));
    for (size_t i = 0; i < columns.size(); ++i)
        EZ_LVSETCOLUMN(form, listView, static_cast<int>(i), columns[i].name, columns[i].width,
                       columns[i].format);
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
