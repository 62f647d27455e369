// The list views' row store without any window: the order a sort leaves and
// keeps through single-row changes, with the selection and current row moving
// with their rows, the sort keys' order and the column text.
#include "app/toolkit/ez_rows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ez::RowStore;

std::vector<int64_t> Values(const RowStore& s) {
    std::vector<int64_t> v;
    for (int r = 0; r < s.Rows(); ++r) v.push_back(s.Value(r));
    return v;
}

std::vector<int64_t> SelectedValues(const RowStore& s) {
    std::vector<int64_t> v;
    for (int r = s.NextSelected(-1); r >= 0; r = s.NextSelected(r)) v.push_back(s.Value(r));
    return v;
}

TEST(RowStore, SortedOrderSelectionAndCurrentRowFollowSingleRowChanges) {
    RowStore s;
    s.SetColumns({{"Key"}, {"Text"}});
    const std::vector<std::string> names = {"delta", "alpha", "echo", "charlie", "bravo"};
    for (size_t i = 0; i < names.size(); ++i)
        s.Add({std::to_string(i), names[i]}, static_cast<int64_t>(i + 1));
    s.Select(1, true);
    s.Select(3, true);
    s.SetCurrent(3);

    s.Sort(1, 0);
    EXPECT_EQ(Values(s), (std::vector<int64_t>{2, 5, 4, 1, 3}));
    EXPECT_EQ(SelectedValues(s), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(s.Value(s.Current()), 4);
    EXPECT_TRUE(s.SortOrder(1, 0).empty()) << "a sorted list is not rearranged again";

    // The current row renamed so it moves to the end, still selected and current.
    EXPECT_EQ(s.Put(2, {"3", "golf"}, 4), 4);
    EXPECT_EQ(Values(s), (std::vector<int64_t>{2, 5, 1, 3, 4}));
    EXPECT_EQ(SelectedValues(s), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(s.Value(s.Current()), 4);
    // A new row goes after the rows of equal text (letter case ignored).
    EXPECT_EQ(s.Put(-1, {"9", "DELTA"}, 7), 3);
    EXPECT_EQ(s.Value(s.Current()), 4);
    // Descending: equal texts keep their order, a new one after its equals.
    s.Sort(1, 1);
    EXPECT_EQ(Values(s), (std::vector<int64_t>{4, 3, 1, 7, 5, 2}));
    EXPECT_EQ(s.Put(-1, {"8", "Echo"}, 8), 2);
    EXPECT_EQ(SelectedValues(s), (std::vector<int64_t>{4, 2}));

    // Removing a row above the current one shifts it; removing it clears it.
    s.Remove(1);
    EXPECT_EQ(s.Value(s.Current()), 4);
    EXPECT_EQ(s.SelCount(), 2);
    s.Remove(s.Current());
    EXPECT_EQ(s.Current(), -1);
    EXPECT_EQ(s.SelCount(), 1);

    // Editing the sort column's text or appending leaves the list unsorted:
    // a changed row stays put and a new row is appended.
    s.SetCell(0, 1, "zzz");
    EXPECT_EQ(s.Put(0, {"8", "zzzz"}, 8), 0);
    s.Sort(1, 0);
    s.Add({"10", "aaa"}, 10);
    const int appended = s.Put(-1, {"11", "a"}, 11);
    EXPECT_EQ(appended, s.Rows() - 1);

    s.Select(-1, true);
    EXPECT_EQ(s.SelCount(), s.Rows());
    s.Clear();
    EXPECT_EQ(s.SelCount(), 0);
    EXPECT_EQ(s.NextSelected(-1), -1);
}

TEST(RowStore, SortKeysOrderAsCaseBlindUtf16AndColumnsParse) {
    // UTF-16 order puts characters beyond U+FFFF (surrogate pairs) before
    // U+E000..U+FFFF; a byte that is not UTF-8 sorts as U+FFFD.
    EXPECT_LT(ez::SortKey("\xF0\x9F\x98\x80"), ez::SortKey("\xEF\xA3\xBF"));
    EXPECT_EQ(ez::SortKey("a\xFF"), ez::SortKey("A\xEF\xBF\xBD"));
    EXPECT_EQ(ez::SortKey("ÉCLAIR"), ez::SortKey("éclair"));
    EXPECT_LT(ez::SortKey("Strasse"), ez::SortKey("Straße"));

    const auto cols = ez::ParseListColumns("Date{12}|Program|{5.5}|Bad{x}");
    ASSERT_EQ(cols.size(), 4u);
    EXPECT_EQ(cols[0].caption, "Date");
    EXPECT_EQ(cols[0].widthCols, 12);
    EXPECT_EQ(cols[1].widthCols, 10);
    EXPECT_EQ(cols[2].caption, "");
    EXPECT_EQ(cols[2].widthCols, 5.5);
    EXPECT_EQ(cols[3].widthCols, 0);

    // New columns keep the cells of those that remain; check-box cells are seen.
    RowStore s;
    s.SetColumns({{"A"}, {"B"}});
    s.Add({"a", "{S}X2"}, 1);
    EXPECT_TRUE(s.HasCheckCells());
    EXPECT_TRUE(ez::IsCheckedCell(s.Cell(0, 1)));
    s.SetColumns({{"A"}});
    EXPECT_EQ(s.Cell(0, 0), "a");
    EXPECT_EQ(s.Cell(0, 1), "");
}

}  // namespace
