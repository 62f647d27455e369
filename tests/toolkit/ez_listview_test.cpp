// The list view's order, selection and current row through sorts and
// single-row changes, on a throwaway form "LT" with a multi-select list.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/robot.h"

namespace {

constexpr int kList = 100;

void Design(const std::string& form) {
    if (form == "LT")
        EZ_CONTROL("LT", kList, EzKind::ListView, "Key{10}|Text{20}", 1, 1, 40, 14, "M");
}

void Event(const std::string&, int, EzEvent, int64_t, int&) {}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EzTestInit();
        EZ_SETPROCS(Event, Design);
        robot = std::make_unique<Robot>();
        robot->OpenForm("LT", "", "List Test", 44, 16);
        robot->Run();
    }
    void TearDown() override { robot.reset(); }
    std::unique_ptr<Robot> robot;
    static std::vector<int64_t> Values() {
        std::vector<int64_t> v;
        for (int r = 0; r < EZ_LVROWCOUNT("LT", kList); ++r)
            v.push_back(EZ_LVGETVALUE("LT", kList, r));
        return v;
    }
    static std::vector<int64_t> SelectedValues() {
        std::vector<int64_t> v;
        for (int r = EZ_LVNEXTSELECTED("LT", kList, -1); r >= 0;
             r = EZ_LVNEXTSELECTED("LT", kList, r))
            v.push_back(EZ_LVGETVALUE("LT", kList, r));
        std::sort(v.begin(), v.end());
        return v;
    }
    static int64_t CurrentValue() {
        const int row = Robot::CurrentRow("LT", kList);
        return row >= 0 ? EZ_LVGETVALUE("LT", kList, row) : -1;
    }
};

// Texts where letter case, accents, digits, punctuation beside the letters,
// empty cells, texts equal but for case, and letters whose case folding is
// more than one letter (ß, İ, ﬀ) meet.
const std::vector<std::string> kAwkward = {
    "apple",  "Apple",  "APPLE",    "Äpfel",   "äpfel",    "apfel",    "Zebra", "zebra",
    "éclair", "Éclair", "eclair",   "item 10", "item 9",   "Item 2",   "",      "10",
    "9",      "1a",     "",         "Ωmega",   "ωmega",    "Ça va",    "ÇA VA", "naïve",
    "NAÏVE",  "_under", "[bracket", "`tick",   "{brace",   "a b",      "a-b",   "a_b",
    "Ab",     "aB",     "  lead",   "Œuvre",   "œuvre",    "Ёлка",     "ёлка",  "Ärger",
    "{S}X2",  "{S}X1",  "ÿ end",    "Ÿ END",   "İstanbul", "istanbul",
};

TEST_F(ListViewTest, SortOrderEqualsQtCaseInsensitiveCompareAndIsStable) {
    for (size_t i = 0; i < kAwkward.size(); ++i)
        EZ_LVADDROW("LT", kList, {"", kAwkward[i]}, static_cast<int64_t>(i));
    for (int direction : {0, 1}) {
        std::vector<int64_t> expected(kAwkward.size());
        std::iota(expected.begin(), expected.end(), 0);
        // The comparator the list used before, on rows in the order they were added.
        std::stable_sort(expected.begin(), expected.end(), [direction](int64_t a, int64_t b) {
            const int c = Robot::QtCompareIgnoringCase(kAwkward[a], kAwkward[b]);
            return direction == 1 ? c > 0 : c < 0;
        });
        EZ_LVCLEAR("LT", kList);
        for (size_t i = 0; i < kAwkward.size(); ++i)
            EZ_LVADDROW("LT", kList, {"", kAwkward[i]}, static_cast<int64_t>(i));
        EZ_LVSORT("LT", kList, 1, direction);
        EXPECT_EQ(Values(), expected) << "direction " << direction;
        // Sorting again by the same column changes nothing; a column of equal
        // (empty) cells keeps the order as it is.
        EZ_LVSORT("LT", kList, 1, direction);
        EXPECT_EQ(Values(), expected);
        EZ_LVSORT("LT", kList, 0, 1);
        EXPECT_EQ(Values(), expected);
    }
    for (int r = 0; r < EZ_LVROWCOUNT("LT", kList); ++r)
        EXPECT_EQ(EZ_LVGETCELL("LT", kList, r, 1), kAwkward[EZ_LVGETVALUE("LT", kList, r)]);
}

TEST_F(ListViewTest, SelectionAndCurrentRowSurviveSortsAndSingleRowChanges) {
    const std::vector<std::string> names = {"delta",   "alpha", "echo",
                                            "charlie", "bravo", "foxtrot"};
    for (size_t i = 0; i < names.size(); ++i)
        EZ_LVADDROW("LT", kList, {std::to_string(i), names[i]}, static_cast<int64_t>(i + 1));
    // The user selects "alpha", then adds "charlie" (the current row).
    robot->SelectRow("LT", kList, 1);
    robot->SelectRow("LT", kList, 3, true);
    robot->Run();
    ASSERT_TRUE(robot->Ok()) << robot->Errors();
    ASSERT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    ASSERT_EQ(CurrentValue(), 4);

    EZ_LVSORT("LT", kList, 1, 0);
    EXPECT_EQ(Values(), (std::vector<int64_t>{2, 5, 4, 1, 3, 6}));
    EXPECT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(CurrentValue(), 4);
    EXPECT_EQ(EZ_LVSELCOUNT("LT", kList), 2);

    // The current row renamed so its place changes: it moves, still selected and current.
    const int charlie = EZ_LVFINDVALUE("LT", kList, 4);
    EXPECT_EQ(EZ_LVPUTROW("LT", kList, charlie, {"3", "golf"}, 4), 5);
    EXPECT_EQ(Values(), (std::vector<int64_t>{2, 5, 1, 3, 6, 4}));
    EXPECT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(CurrentValue(), 4);
    // A change that keeps the row's place leaves it where it is.
    EXPECT_EQ(EZ_LVPUTROW("LT", kList, 0, {"1", "Alpha"}, 2), 0);
    EXPECT_EQ(EZ_LVGETCELL("LT", kList, 0, 1), "Alpha");
    // A new row goes where the sort puts it, after a row of equal text.
    EXPECT_EQ(EZ_LVPUTROW("LT", kList, -1, {"9", "DELTA"}, 7), 3);
    EXPECT_EQ(Values(), (std::vector<int64_t>{2, 5, 1, 7, 3, 6, 4}));
    EXPECT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(CurrentValue(), 4);
    EXPECT_EQ(EZ_LVFINDVALUE("LT", kList, 99), -1);

    // Descending: equal texts still keep their order, the new row after its equals.
    EZ_LVSORT("LT", kList, 1, 1);
    EXPECT_EQ(Values(), (std::vector<int64_t>{4, 6, 3, 1, 7, 5, 2}));
    EXPECT_EQ(EZ_LVPUTROW("LT", kList, -1, {"8", "Echo"}, 8), 3);
    EXPECT_EQ(Values(), (std::vector<int64_t>{4, 6, 3, 8, 1, 7, 5, 2}));
    EXPECT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(CurrentValue(), 4);

    // Removing a row above the selection shifts it, nothing else.
    EZ_LVDELETEROW("LT", kList, EZ_LVFINDVALUE("LT", kList, 6));
    EXPECT_EQ(SelectedValues(), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(CurrentValue(), 4);

    // Once rows are appended the list is out of order: a changed row stays put.
    EZ_LVADDROW("LT", kList, {"10", "aaa"}, 10);
    EXPECT_EQ(EZ_LVPUTROW("LT", kList, 0, {"3", "zzz"}, 4), 0);
    const int appended = EZ_LVPUTROW("LT", kList, -1, {"11", "aa"}, 11);
    EXPECT_EQ(appended, EZ_LVROWCOUNT("LT", kList) - 1);
}

TEST_F(ListViewTest, RowsAddedOneByOneAreShownAndCounted) {
    for (int i = 0; i < 500; ++i)
        EZ_LVADDROW("LT", kList, {std::to_string(i), "row " + std::to_string(500 - i)}, i);
    EXPECT_EQ(EZ_LVROWCOUNT("LT", kList), 500);
    EZ_LVSELECT("LT", kList, 499, true);
    EXPECT_TRUE(EZ_LVISSELECTED("LT", kList, 499));
    EXPECT_EQ(EZ_GETTEXT("LT", kList), "499");
    EZ_LVSELECT("LT", kList, -1, true);
    EXPECT_EQ(EZ_LVSELCOUNT("LT", kList), 500);
    EZ_LVSELECT("LT", kList, 10, false);
    EXPECT_EQ(EZ_LVSELCOUNT("LT", kList), 499);
    EXPECT_EQ(EZ_LVNEXTSELECTED("LT", kList, 9), 11);
    EZ_LVCLEAR("LT", kList);
    EXPECT_EQ(EZ_LVROWCOUNT("LT", kList), 0);
    EXPECT_EQ(EZ_LVSELCOUNT("LT", kList), 0);
    EXPECT_EQ(EZ_LVNEXTSELECTED("LT", kList, -1), -1);
}

}  // namespace
