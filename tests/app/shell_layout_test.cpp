// Window placement, column layout, sort arrows and check marks on a real
// (offscreen) form with the program list's columns.
#include <gtest/gtest.h>

#include <string>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/robot.h"
#include "support/form_fixture.h"
#include "support/test_env.h"
#include "ui/layout.h"

namespace {

const std::string kForm = "TL";
constexpr int kList = 110;
constexpr double kW = 60, kH = 20;
constexpr const char* kColumns =
    "Date{9}|Time{10}|Station{11}|Program{25}|Issues Addressed{22}|Duration{13}";

void Design(const std::string& form) {
    if (form == kForm) EZ_CONTROL(kForm, kList, EzKind::ListView, kColumns, 1, 1, 56, 15, "M");
}
void Event(const std::string&, int, EzEvent, int64_t, int&) {}

class LayoutTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        EZ_SETPROCS(Event, Design);
        EZ_SCREENSIZE(screenCols, screenRows);
        ASSERT_GT(screenCols, kW + 20);
        ASSERT_GT(screenRows, kH + 10);
    }
    void TearDown() override {
        if (EZ_FORMEXISTS(kForm)) EZ_DESTROYFORM(kForm);
        FormTest::TearDown();
    }
    // Creates the form at a known place, away from the centre.
    void Open(double col = 2, double row = 2) {
        if (EZ_FORMEXISTS(kForm)) EZ_DESTROYFORM(kForm);
        EZ_FORM(kForm, "", "Layout", col, row, kW, kH, "R");
        ASSERT_TRUE(EZ_FORMEXISTS(kForm));
    }
    void Place(double& col, double& row, double& w, double& h) {
        EZ_GETFORMPLACE(kForm, col, row, w, h);
    }
    void ExpectCentred() {
        double col, row, w, h;
        Place(col, row, w, h);
        EXPECT_NEAR(col, (screenCols - w) / 2, 0.6);
        EXPECT_NEAR(row, (screenRows - h) / 2, 0.6);
    }
    std::string Ini(const std::string& section, const std::string& key) {
        return IniRead(Paths().settingsFile, section, key, "<absent>");
    }
    void WritePlace(const std::string& col, const std::string& row, const std::string& w,
                    const std::string& h) {
        IniWrite(Paths().settingsFile, kForm, "LastCol", col);
        IniWrite(Paths().settingsFile, kForm, "LastRow", row);
        IniWrite(Paths().settingsFile, kForm, "FormWid", w);
        IniWrite(Paths().settingsFile, kForm, "FormHgt", h);
    }
    struct Column {
        std::string caption;
        int width = 0, format = 0;
    };
    Column ColumnAt(int col) {
        Column c;
        EZ_LVGETCOLUMN(kForm, kList, col, c.caption, c.width, c.format);
        return c;
    }
    int ColumnWidth(int col) { return ColumnAt(col).width; }
    int ColumnFormat(int col) { return ColumnAt(col).format; }

    double screenCols = 0, screenRows = 0;
};

TEST_F(LayoutTest, FirstStartCentresAndWritesTheDesignedColumns) {
    Open();
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    ExpectCentred();
    double col, row, w, h;
    Place(col, row, w, h);
    EXPECT_NEAR(w, kW, 0.6);
    EXPECT_NEAR(h, kH, 0.6);

    RecordColumnOrder(kForm, kList);
    RestoreColumnLayout(kForm, kList);  // nothing stored: nothing changes
    SaveColumnLayout(kForm, kList);
    const std::string names = "Date|Time|Station|Program|Issues Addressed|Duration";
    EXPECT_EQ(Ini("Column", "Names"), names);
    EXPECT_EQ(Ini("Column", "Order"), names);
    std::vector<std::string> widths = Split(Ini("Column", "Widths"), "|");
    ASSERT_EQ(widths.size(), 6u);
    EXPECT_EQ(Val(widths[3]), EZ_COLSTOPIXELS(25));
    EXPECT_EQ(Split(Ini("Column", "Format"), "|").size(), 6u);

    // Order is written once and never replaced.
    IniWrite(Paths().settingsFile, "Column", "Order", "Kept");
    RecordColumnOrder(kForm, kList);
    EXPECT_EQ(Ini("Column", "Order"), "Kept");
}

TEST_F(LayoutTest, SavedPlacesThatCannotBeUsedCentre) {
    struct Case {
        const char* what;
        std::string col, row, w, h;
        bool centred;
        double expectCol, expectRow;
    };
    const std::string far = std::to_string(static_cast<int>(screenCols - kW / 2));
    const std::string low = std::to_string(static_cast<int>(screenRows - kH / 2));
    const Case cases[] = {
        {"saved at the far right of a larger screen", far, "5", "60", "20", true, 0, 0},
        {"saved below the bottom of a larger screen", "5", low, "60", "20", true, 0, 0},
        {"at the very top (LastRow 0)", "7", "0", "60", "20", true, 0, 0},
        {"negative column", "-1", "6", "60", "20", true, 0, 0},
        {"garbled row", "7", "abc", "60", "20", true, 0, 0},
        {"at the left edge (LastCol 0)", "0", "6", "60", "20", false, 0, 6},
        {"a plain saved place", "7.5", "6", "62", "21", false, 7.5, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open();
        WritePlace(c.col, c.row, c.w, c.h);
        RestoreFormPlace(kForm, Paths().settingsFile, 1);
        if (c.centred) {
            ExpectCentred();
        } else {
            double col, row, w, h;
            Place(col, row, w, h);
            EXPECT_NEAR(col, c.expectCol, 0.6);
            EXPECT_NEAR(row, c.expectRow, 0.6);
            EXPECT_NEAR(w, ValD(c.w), 0.6);
            EXPECT_NEAR(h, ValD(c.h), 0.6);
        }
    }
}

TEST_F(LayoutTest, SavedSizeIsUsedOnlyWhenAskedAndValid) {
    Open();
    WritePlace("5", "5", "70", "24");
    RestoreFormPlace(kForm, Paths().settingsFile, 0);
    double col, row, w, h;
    Place(col, row, w, h);
    EXPECT_NEAR(w, kW, 0.6);

    Open();
    WritePlace("5", "5", "0", "24");
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    Place(col, row, w, h);
    EXPECT_NEAR(w, kW, 0.6);
    EXPECT_NEAR(h, kH, 0.6);
    EXPECT_NEAR(col, 5, 0.6);
}

// A saved size far larger than the screen would make the window paint a
// surface of that size: it is capped to the screen before the form is shown.
TEST_F(LayoutTest, SavedSizeLargerThanTheScreenIsCapped) {
    Open();
    WritePlace("5", "5", std::to_string(static_cast<int>(screenCols * 3)),
               std::to_string(static_cast<int>(screenRows * 3)));
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    double col, row, w, h;
    Place(col, row, w, h);
    EXPECT_LE(w, screenCols + 0.6);
    EXPECT_LE(h, screenRows + 0.6);
    EXPECT_GE(col, 0);
    EXPECT_GE(row, 0);

    const std::string beyond(400, '9');  // more than any number can hold
    struct Case {
        const char* w;
        const char* h;
        double expectW, expectH;
    } cases[] = {
        {"100000", "100000", 160, 48},   {"2000", "30", 160, 30}, {"80", "2000", 80, 48},
        {beyond.c_str(), "30", 160, 30}, {"80", "30", 80, 30},
    };
    const FormPlace current{2, 2, 60, 20, false};
    for (const Case& c : cases) {
        FormPlace p = PlaceFromSettings("5", "5", c.w, c.h, current, 160, 48, true);
        EXPECT_EQ(p.w, c.expectW) << c.w;
        EXPECT_EQ(p.h, c.expectH) << c.h;
        EXPECT_GE(p.col, 0);
        EXPECT_GE(p.row, 0);
    }
}

TEST_F(LayoutTest, SavingKeepsTheFormOnTheScreen) {
    Open();
    // Dragged partly off the left edge.
    EZ_SETFORMPLACE(kForm, -6, 4, kW, kH);
    SaveFormPlace(kForm, Paths().settingsFile);
    EXPECT_EQ(Ini(kForm, "LastCol"), "0");
    EXPECT_NEAR(ValD(Ini(kForm, "LastRow")), 4, 0.6);
    EXPECT_NEAR(ValD(Ini(kForm, "FormWid")), kW, 0.6);
    EXPECT_NEAR(ValD(Ini(kForm, "FormHgt")), kH, 0.6);

    // Past the right and bottom edges: moved back so that it ends at the edge.
    EZ_SETFORMPLACE(kForm, screenCols - 10, screenRows - 5, kW, kH);
    SaveFormPlace(kForm, Paths().settingsFile);
    EXPECT_NEAR(ValD(Ini(kForm, "LastCol")), screenCols - kW, 0.6);
    EXPECT_NEAR(ValD(Ini(kForm, "LastRow")), screenRows - kH, 0.6);

    // Saved and restored: the same place again.
    EZ_SETFORMPLACE(kForm, 9, 7, kW, kH);
    SaveFormPlace(kForm, Paths().settingsFile);
    Open(1, 1);
    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    double col, row, w, h;
    Place(col, row, w, h);
    EXPECT_NEAR(col, 9, 0.6);
    EXPECT_NEAR(row, 7, 0.6);
}

TEST_F(LayoutTest, ColumnLayoutIsRestoredByPosition) {
    Open();
    IniWrite(Paths().settingsFile, "Column", "Names", "A|B|C|D|E|F|G");
    IniWrite(Paths().settingsFile, "Column", "Widths", "40|50");
    IniWrite(Paths().settingsFile, "Column", "Format", "1");
    RestoreColumnLayout(kForm, kList);
    Column first = ColumnAt(0);
    EXPECT_EQ(first.caption, "A");
    EXPECT_EQ(first.width, 40);
    EXPECT_EQ(first.format & 3, 1);
    EXPECT_EQ(ColumnWidth(1), 50);
    EXPECT_EQ(ColumnFormat(1) & 3, 0);
    // A short Widths list leaves the missing columns at width 0.
    EXPECT_EQ(ColumnWidth(2), 0);
    EXPECT_EQ(ColumnWidth(5), 0);
    EXPECT_EQ(EZ_LVCOLCOUNT(kForm, kList), 6);  // the extra name is ignored
}

TEST_F(LayoutTest, SortArrowMarksOneColumnAndKeepsAlignment) {
    Open();
    EZ_LVSETCOLUMN(kForm, kList, 2, "Station", 80, 2);
    SetHeaderImages(kForm, kList);
    SetSortArrow(kForm, kList, 2, 1);
    for (int c = 0; c < 6; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(EZ_LVGETHEADERIMAGE(kForm, kList, c), c == 2 ? 1 : 3);
        EXPECT_EQ(ColumnFormat(c), (c == 2 ? 2 : 0) + 22528);
    }
    SetSortArrow(kForm, kList, 0, 0);
    EXPECT_EQ(EZ_LVGETHEADERIMAGE(kForm, kList, 0), 0);
    EXPECT_EQ(EZ_LVGETHEADERIMAGE(kForm, kList, 2), 3);
    EXPECT_EQ(ColumnFormat(2), 2 + 22528);
    // A direction other than 0 or 1 shows no arrow anywhere.
    SetSortArrow(kForm, kList, 0, 2);
    for (int c = 0; c < 6; ++c) EXPECT_EQ(EZ_LVGETHEADERIMAGE(kForm, kList, c), 3);
}

TEST_F(LayoutTest, CheckMarksFollowTheSelection) {
    Open();
    for (int r = 0; r < 4; ++r) EZ_LVADDROW(kForm, kList, {"{S}X1", "row " + std::to_string(r)});
    // Nothing selected: every row.
    SetCheckMarks(kForm, kList, true);
    EXPECT_EQ(CountChecked(kForm, kList), 4);
    EXPECT_EQ(EZ_LVGETCELL(kForm, kList, 3, 0), "{S}X2");
    EXPECT_EQ(EZ_LVGETCELL(kForm, kList, 3, 1), "row 3");
    // Two rows selected: only those.
    EZ_LVSELECT(kForm, kList, 1, true);
    EZ_LVSELECT(kForm, kList, 2, true);
    SetCheckMarks(kForm, kList, false);
    EXPECT_EQ(CountChecked(kForm, kList), 2);
    EXPECT_TRUE(IsChecked(kForm, kList, 0));
    EXPECT_FALSE(IsChecked(kForm, kList, 1));
    EXPECT_FALSE(IsChecked(kForm, kList, 2));
    EXPECT_TRUE(IsChecked(kForm, kList, 3));
    EXPECT_EQ(EZ_LVGETCELL(kForm, kList, 1, 0), "{S}X1");
}

}  // namespace
