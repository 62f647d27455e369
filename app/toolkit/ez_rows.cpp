// The rows of a list view. Sorting folds each cell of the sort column once
// into a key and sorts row numbers stably by those keys.
#include "app/toolkit/ez_rows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <numeric>

#include "app/base/text_util.h"

namespace ez {

bool IsCheckCell(std::string_view text) {
    return text.rfind("{S}X2", 0) == 0 || text.rfind("{S}X1", 0) == 0;
}

std::string SortKey(std::string_view text) {
    const std::string folded = FoldCaseSimple(text);
    std::string key;
    key.reserve(2 * folded.size());
    auto unit = [&key](char16_t u) {
        key.push_back(static_cast<char>(u >> 8));
        key.push_back(static_cast<char>(u & 0xff));
    };
    for (size_t at = 0; at < folded.size();) {
        size_t length = 0;
        char32_t cp = DecodeUtf8(folded, at, length);
        if (length == 0) {  // a byte that is not UTF-8 reads as the replacement character
            cp = 0xFFFD;
            length = 1;
        }
        at += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(static_cast<char16_t>(0xD800 + (cp >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(cp));
        }
    }
    return key;
}

std::vector<DesignedColumn> ParseListColumns(std::string_view columns) {
    std::vector<DesignedColumn> out;
    for (const std::string& part : Split(columns, "|")) {
        DesignedColumn c;
        const size_t brace = part.find('{');
        c.caption = part.substr(0, brace);
        if (brace != std::string::npos) {
            std::string num = part.substr(brace + 1);
            num = num.substr(0, num.find('}'));
            const std::string trimmed = Trim(num);
            char* end = nullptr;
            const double w = std::strtod(trimmed.c_str(), &end);
            c.widthCols = !trimmed.empty() && end && *end == '\0' ? w : 0;
        }
        out.push_back(std::move(c));
    }
    return out;
}

namespace {

std::string_view CellOf(const std::string& packed, int col) {
    size_t at = 0;
    for (int c = 0;; ++c) {
        if (at + 4 > packed.size()) return {};
        uint32_t len = 0;
        std::memcpy(&len, packed.data() + at, 4);
        if (c == col) return std::string_view(packed).substr(at + 4, len);
        at += 4 + len;
    }
}

// Moves element from to index to, the elements between shifting by one.
template <class V>
void Rotate(V& v, int from, int to) {
    if (from < to)
        std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
    else if (to < from)
        std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
}

}  // namespace

RowStore::RowStore() = default;
RowStore::~RowStore() = default;

void RowStore::SetColumns(std::vector<ListColumn> columns) {
    columns_ = std::move(columns);
    keyed_.assign(columns_.size(), 0);
    for (auto& r : rows_) {
        r->packed = Pack(Unpack(r->packed));
        r->keys.reset();
    }
    sortCol_ = -1;
}

std::string_view RowStore::Cell(int row, int col) const {
    return CellOf(rows_[row]->packed, col);
}

int RowStore::Find(int64_t value) const {
    const auto it = std::find(values_.begin(), values_.end(), value);
    return it == values_.end() ? -1 : static_cast<int>(it - values_.begin());
}

int RowStore::Add(const std::vector<std::string>& cells, int64_t value) {
    Insert(Rows(), Make(cells), value);
    sortCol_ = -1;
    return Rows() - 1;
}

void RowStore::Clear() {
    std::vector<std::unique_ptr<Row>>().swap(rows_);
    std::vector<int64_t>().swap(values_);
    std::vector<char>().swap(selected_);
    std::fill(keyed_.begin(), keyed_.end(), 0);
    selCount_ = 0;
    current_ = -1;
    hasCheckCells_ = false;
    sortCol_ = -1;
}

void RowStore::Remove(int row) {
    if (!HasRow(row)) return;
    if (selected_[row]) --selCount_;
    rows_.erase(rows_.begin() + row);
    values_.erase(values_.begin() + row);
    selected_.erase(selected_.begin() + row);
    if (current_ == row)
        current_ = -1;
    else if (current_ > row)
        --current_;
}

void RowStore::SetCell(int row, int col, const std::string& text) {
    if (!HasRow(row) || !HasColumn(col)) return;
    Row& r = *rows_[row];
    std::vector<std::string> cells = Unpack(r.packed);
    cells[col] = text;
    r.packed = Pack(cells);
    if (r.keys && keyed_[col]) r.keys[col] = SortKey(text);
    if (col == sortCol_) sortCol_ = -1;
}

RowStore::NewRow RowStore::Make(const std::vector<std::string>& cells) {
    auto r = std::make_unique<Row>();
    r->packed = Pack(cells);
    // Columns already sorted by once keep a key for every row, so that the
    // next sort by them does not fold every cell again.
    for (int c = 0; c < Columns(); ++c) {
        if (!keyed_[c]) continue;
        if (!r->keys) r->keys = std::make_unique<std::string[]>(columns_.size());
        r->keys[c] = SortKey(CellOf(r->packed, c));
    }
    return r;
}

int RowStore::PlaceOfNew(const NewRow& row) const {
    if (sortCol_ < 0) return Rows();
    return PlaceFor(row->keys[sortCol_], -1);
}

void RowStore::Insert(int at, NewRow row, int64_t value) {
    at = std::clamp(at, 0, Rows());
    rows_.insert(rows_.begin() + at, std::move(row));
    values_.insert(values_.begin() + at, value);
    selected_.insert(selected_.begin() + at, 0);
    if (current_ >= at) ++current_;
}

void RowStore::Replace(int row, NewRow made, int64_t value) {
    rows_[row] = std::move(made);
    values_[row] = value;
}

int RowStore::PlaceOfChanged(int row) const {
    if (sortCol_ < 0 || FitsAt(row)) return row;
    return PlaceFor(Key(row, sortCol_), row);  // among the other rows
}

void RowStore::Move(int from, int to) {
    if (from == to) return;
    Rotate(rows_, from, to);
    Rotate(values_, from, to);
    Rotate(selected_, from, to);
    if (current_ == from)
        current_ = to;
    else if (from < to && current_ > from && current_ <= to)
        --current_;
    else if (to < from && current_ >= to && current_ < from)
        ++current_;
}

int RowStore::Put(int row, const std::vector<std::string>& cells, int64_t value) {
    if (row < 0) {
        NewRow made = Make(cells);
        const int at = PlaceOfNew(made);
        Insert(at, std::move(made), value);
        return at;
    }
    if (!HasRow(row)) return -1;
    Replace(row, Make(cells), value);
    const int to = PlaceOfChanged(row);
    Move(row, to);
    return to;
}

std::vector<int> RowStore::SortOrder(int col, int direction) {
    if (!HasColumn(col)) return {};
    EnsureKeys(col);
    // Views of the keys side by side, so that a comparison reaches the
    // characters without first visiting each row's record.
    std::vector<std::string_view> keys(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) keys[i] = rows_[i]->keys[col];
    std::vector<int> order(rows_.size());
    std::iota(order.begin(), order.end(), 0);
    if (direction == 1)
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[b] < keys[a]; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&keys](int a, int b) { return keys[a] < keys[b]; });
    sortCol_ = col;
    sortDir_ = direction;
    for (size_t i = 0; i < order.size(); ++i)
        if (order[i] != static_cast<int>(i)) return order;
    return {};
}

void RowStore::Reorder(const std::vector<int>& order) {
    if (order.size() != rows_.size()) return;
    std::vector<std::unique_ptr<Row>> rows(rows_.size());
    std::vector<int64_t> values(values_.size());
    std::vector<char> selected(selected_.size());
    int current = -1;
    for (size_t i = 0; i < order.size(); ++i) {
        rows[i] = std::move(rows_[order[i]]);
        values[i] = values_[order[i]];
        selected[i] = selected_[order[i]];
        if (order[i] == current_) current = static_cast<int>(i);
    }
    rows_.swap(rows);
    values_.swap(values);
    selected_.swap(selected);
    current_ = current;
}

void RowStore::Select(int row, bool on) {
    if (row < 0) {
        std::fill(selected_.begin(), selected_.end(), on ? 1 : 0);
        selCount_ = on ? Rows() : 0;
        return;
    }
    if (!HasRow(row) || (selected_[row] != 0) == on) return;
    selected_[row] = on ? 1 : 0;
    selCount_ += on ? 1 : -1;
}

int RowStore::NextSelected(int fromRow) const {
    if (selCount_ == 0) return -1;
    for (int r = std::max(0, fromRow + 1); r < Rows(); ++r)
        if (selected_[r]) return r;
    return -1;
}

std::string RowStore::Pack(const std::vector<std::string>& cells) {
    std::string out;
    size_t total = 0;
    for (int c = 0; c < Columns(); ++c)
        total += 4 + (c < static_cast<int>(cells.size()) ? cells[c].size() : 0);
    out.reserve(total);
    for (int c = 0; c < Columns(); ++c) {
        const std::string_view cell =
            c < static_cast<int>(cells.size()) ? std::string_view(cells[c]) : "";
        const auto len = static_cast<uint32_t>(cell.size());
        char bytes[4];
        std::memcpy(bytes, &len, 4);
        out.append(bytes, 4);
        out.append(cell);
        if (!hasCheckCells_ && IsCheckCell(cell)) hasCheckCells_ = true;
    }
    return out;
}

std::vector<std::string> RowStore::Unpack(const std::string& packed) const {
    std::vector<std::string> cells;
    for (int c = 0; c < Columns(); ++c) cells.emplace_back(CellOf(packed, c));
    return cells;
}

// Folds every row's cell of a column into its key, once; the keys are kept
// until the rows change.
void RowStore::EnsureKeys(int col) {
    if (keyed_[col]) return;
    for (auto& r : rows_) {
        if (!r->keys) r->keys = std::make_unique<std::string[]>(columns_.size());
        r->keys[col] = SortKey(CellOf(r->packed, col));
    }
    keyed_[col] = 1;
}

const std::string& RowStore::Key(int row, int col) const {
    return rows_[row]->keys[col];
}

// Whether a row with key a may come before one with key b in the sorted list.
bool RowStore::InOrder(const std::string& a, const std::string& b) const {
    return sortDir_ == 1 ? !(a < b) : !(b < a);
}

bool RowStore::FitsAt(int row) const {
    const int c = sortCol_;
    return (row == 0 || InOrder(Key(row - 1, c), Key(row, c))) &&
           (row + 1 >= Rows() || InOrder(Key(row, c), Key(row + 1, c)));
}

// Where a row with this key goes among the rows other than skip: after every
// row it may follow.
int RowStore::PlaceFor(const std::string& key, int skip) const {
    int lo = 0, hi = Rows() - (skip >= 0 ? 1 : 0);
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int real = skip >= 0 && mid >= skip ? mid + 1 : mid;
        if (InOrder(Key(real, sortCol_), key))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

}  // namespace ez
