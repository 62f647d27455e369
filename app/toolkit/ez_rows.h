// The rows of a list view as every toolkit backend keeps them: each row's
// cells (UTF-8, as the program gave them) and value, the column layout, the
// text sort with the order it leaves, and a selection with a current row for
// backends whose control keeps none that follows the rows. No system header:
// the backends read the cells from here and convert only those they show.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ez {

// Whether a cell shows a check box ("{S}X2" checked, "{S}X1" unchecked).
bool IsCheckCell(std::string_view text);
inline bool IsCheckedCell(std::string_view text) {
    return IsCheckCell(text) && text[4] == '2';
}

// The key a cell sorts by: its text with letter case folded one character for
// one, as UTF-16 code units written high byte first, so comparing keys byte
// by byte orders the texts as a case-blind UTF-16 compare does.
std::string SortKey(std::string_view text);

// One column of a list view: caption, width in pixels, format word (low two
// bits: 0 left, 1 right, 2 centre), header image (0 down, 1 up, other none).
struct ListColumn {
    std::string caption;
    int widthPx = 0;
    int format = 0;
    int image = 3;
};

// "Title{width}|Title{width}" as EZ_CONTROL gives a list view's columns:
// each column's caption and width in character units (10 when not given,
// 0 when not a number).
struct DesignedColumn {
    std::string caption;
    double widthCols = 10;
};
std::vector<DesignedColumn> ParseListColumns(std::string_view columns);

class RowStore {
    // A row's cells packed into one string (per cell a 4-byte length, then
    // its bytes) and, once a sort needed them, its cells' sort keys.
    struct Row {
        std::string packed;
        std::unique_ptr<std::string[]> keys;
    };

public:
    RowStore();
    ~RowStore();
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;

    // --- columns ---
    // Sets the columns; rows keep their cells for the columns that remain.
    void SetColumns(std::vector<ListColumn> columns);
    int Columns() const { return static_cast<int>(columns_.size()); }
    bool HasColumn(int col) const { return col >= 0 && col < Columns(); }
    const ListColumn& Column(int col) const { return columns_[col]; }
    ListColumn& Column(int col) { return columns_[col]; }

    // --- rows ---
    int Rows() const { return static_cast<int>(rows_.size()); }
    bool HasRow(int row) const { return row >= 0 && row < Rows(); }
    int64_t Value(int row) const { return values_[row]; }
    std::string_view Cell(int row, int col) const;
    // Whether a check-box cell was given since the list was last cleared
    // (lists without any need not look at their cells for it).
    bool HasCheckCells() const { return hasCheckCells_; }
    // The first row whose value is value; -1 when none.
    int Find(int64_t value) const;

    // Appends a row; appended rows may be out of order, so the list no longer
    // counts as sorted.
    int Add(const std::vector<std::string>& cells, int64_t value);
    void Clear();
    void Remove(int row);
    void SetCell(int row, int col, const std::string& text);

    // Replacing or adding one row, in steps for a backend that announces
    // each change before it is made; Put below does them all.
    using NewRow = std::unique_ptr<Row>;
    NewRow Make(const std::vector<std::string>& cells);
    // Where a new row goes: where the last sort puts it (after the rows of
    // equal text) while the list is in its order, else at the end.
    int PlaceOfNew(const NewRow& row) const;
    void Insert(int at, NewRow row, int64_t value);
    void Replace(int row, NewRow made, int64_t value);
    // Where a replaced row belongs among the others: its own index when its
    // place still fits or the list is not in a sort's order.
    int PlaceOfChanged(int row) const;
    void Move(int from, int to);
    // Replaces a row's cells and value (row -1 adds one), keeping the order of
    // the last sort as EZ_LVPUTROW states. Returns the row's index.
    int Put(int row, const std::vector<std::string>& cells, int64_t value);

    // The order a stable sort by the case-folded text of a column gives:
    // order[i] is the row that goes to index i; empty when no row moves.
    // The list counts as in this order from now on.
    std::vector<int> SortOrder(int col, int direction);
    // Rearranges the rows (with their selection and the current row).
    void Reorder(const std::vector<int>& order);
    void Sort(int col, int direction) { Reorder(SortOrder(col, direction)); }
    int SortColumn() const { return sortCol_; }

    // --- selection and current row (moving with their rows) ---
    bool Selected(int row) const { return HasRow(row) && selected_[row] != 0; }
    void Select(int row, bool on);  // row -1: every row
    int SelCount() const { return selCount_; }
    int NextSelected(int fromRow) const;
    int Current() const { return current_; }
    void SetCurrent(int row) { current_ = HasRow(row) ? row : -1; }

private:
    std::string Pack(const std::vector<std::string>& cells);
    std::vector<std::string> Unpack(const std::string& packed) const;
    void EnsureKeys(int col);
    const std::string& Key(int row, int col) const;
    bool InOrder(const std::string& a, const std::string& b) const;
    bool FitsAt(int row) const;
    int PlaceFor(const std::string& key, int skip) const;

    std::vector<ListColumn> columns_;
    std::vector<std::unique_ptr<Row>> rows_;
    std::vector<int64_t> values_;  // row values, beside the rows for a quick search
    std::vector<char> selected_;   // per row
    std::vector<char> keyed_;      // per column: every row has its key
    int selCount_ = 0;
    int current_ = -1;
    bool hasCheckCells_ = false;
    int sortCol_ = -1;  // the column the rows are in order of, -1 when none
    int sortDir_ = 0;
};

}  // namespace ez
