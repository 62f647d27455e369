// List views: rows of cells with a 64-bit value each, column layout, header
// arrows, text sort and check-box cells ("{S}X2" checked, "{S}X1" unchecked).
//
// The rows live in a table model of our own (ListModel): each row keeps its
// cells as the program gave them (UTF-8, packed into one string) and its
// value; text is converted for Qt only when the view asks for a visible cell.
// Rows added one by one are handed to the view in one insertion, the next time
// anything else touches the list, the view paints, or the event loop runs.
// Sorting folds each cell of the sort column once into a key and sorts row
// numbers stably by those keys.
#include "app/toolkit/qt/ez_listview.h"

#include <QAbstractTableModel>
#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QTreeView>
#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string_view>

#include "app/base/text_util.h"

namespace ez {

namespace {

// Draws a header image (0 down arrow, 1 up arrow) at the right of a caption.
// The last column reaches the list's right edge: it is at least as wide as it
// was made (by the design, a saved layout or the user) and widened to fill
// what the other columns leave free.
class Header : public QHeaderView {
public:
    explicit Header(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    std::vector<int> images;
    int madeLast = -1;  // the last column's own width in pixels, -1 = not set yet
    bool filling = false;

    void Fill() {
        const int n = count();
        if (n == 0) return;
        const int last = n - 1;
        if (madeLast < 0) madeLast = sectionSize(last);
        int others = 0;
        for (int i = 0; i < last; ++i)
            if (!isSectionHidden(i)) others += sectionSize(i);
        const int want = std::max(madeLast, width() - others);
        if (sectionSize(last) == want) return;
        filling = true;
        resizeSection(last, want);
        filling = false;
    }

protected:
    void resizeEvent(QResizeEvent* e) override {
        QHeaderView::resizeEvent(e);
        Fill();
    }

    void paintSection(QPainter* p, const QRect& rect, int logical) const override {
        p->save();
        QHeaderView::paintSection(p, rect, logical);
        p->restore();
        int img = logical < static_cast<int>(images.size()) ? images[logical] : 3;
        if (img != 0 && img != 1) return;
        QPixmap pm = Arrow(img);
        if (pm.isNull()) return;
        int x = rect.right() - pm.width() - 4;
        int y = rect.top() + (rect.height() - pm.height()) / 2;
        if (x > rect.left()) p->drawPixmap(x, y, pm);
    }

private:
    static QPixmap Arrow(int img) {
        QString file = ImagePath(img == 0 ? "DOWN.png" : "UP.png");
        if (!file.isEmpty())
            return QPixmap(file).scaled(12, 12, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QStyle* st = QApplication::style();
        return st->standardIcon(img == 0 ? QStyle::SP_ArrowDown : QStyle::SP_ArrowUp)
            .pixmap(12, 12);
    }
};

int AlignOf(int format) {
    switch (format & 3) {
        case 1:
            return Qt::AlignRight | Qt::AlignVCenter;
        case 2:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// The key a cell sorts by: its text with letter case folded one character for
// one, as UTF-16 code units written high byte first, so that comparing keys
// byte by byte orders them as Qt's case-insensitive compare of the texts did
// (UTF-16 order), at the speed of a plain byte compare.
std::string SortKey(std::string_view text) {
    const std::string folded = FoldCaseSimple(text);
    const QString units = QString::fromUtf8(folded.data(), static_cast<qsizetype>(folded.size()));
    std::string key(2 * static_cast<size_t>(units.size()), '\0');
    for (qsizetype i = 0; i < units.size(); ++i) {
        const char16_t u = units[i].unicode();
        key[2 * i] = static_cast<char>(u >> 8);
        key[2 * i + 1] = static_cast<char>(u & 0xff);
    }
    return key;
}

bool IsCheckCell(std::string_view text) {
    return text.rfind("{S}X2", 0) == 0 || text.rfind("{S}X1", 0) == 0;
}

// The rows of one list view.
class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Told (with the row) when the user ticks or clears a check-box cell.
    std::function<void(int)> onToggled;

    // --- columns ---
    void SetColumns(const std::vector<QString>& captions) {
        beginResetModel();
        captions_ = captions;
        formats_.assign(captions.size(), 0);
        keyed_.assign(captions.size(), 0);
        for (auto& r : rows_) {
            r->packed = Pack(Unpack(r->packed));
            r->keys.reset();
        }
        endResetModel();
    }
    int Columns() const { return static_cast<int>(captions_.size()); }
    QString Caption(int col) const { return captions_[col]; }
    int Format(int col) const { return formats_[col]; }
    void SetCaption(int col, const QString& caption, int format) {
        const bool alignChanged = (formats_[col] & 3) != (format & 3);
        captions_[col] = caption;
        formats_[col] = format;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        if (alignChanged && published_ > 0)
            Q_EMIT dataChanged(index(0, col), index(published_ - 1, col), {Qt::TextAlignmentRole});
    }

    // --- rows ---
    int Rows() const { return static_cast<int>(rows_.size()); }
    bool HasRow(int row) const { return row >= 0 && row < Rows(); }
    int64_t Value(int row) const { return values_[row]; }
    std::string_view Cell(int row, int col) const { return CellOf(rows_[row]->packed, col); }

    int Add(const std::vector<std::string>& cells, int64_t value) {
        rows_.push_back(MakeRow(cells));
        values_.push_back(value);
        sortCol_ = -1;  // an appended row may be out of order
        if (!flushQueued_) {
            flushQueued_ = true;
            QMetaObject::invokeMethod(
                this, [this]() { Flush(); }, Qt::QueuedConnection);
        }
        return Rows() - 1;
    }

    // Hands rows added since the last call to the view, in one insertion.
    void Flush() {
        flushQueued_ = false;
        if (published_ >= Rows()) return;
        beginInsertRows(QModelIndex(), published_, Rows() - 1);
        published_ = Rows();
        endInsertRows();
    }

    void Clear() {
        beginResetModel();
        std::vector<std::unique_ptr<Row>>().swap(rows_);
        std::vector<int64_t>().swap(values_);
        std::fill(keyed_.begin(), keyed_.end(), 0);
        hasCheckCells_ = false;
        published_ = 0;
        sortCol_ = -1;
        endResetModel();
    }

    void Remove(int row) {
        Flush();
        beginRemoveRows(QModelIndex(), row, row);
        rows_.erase(rows_.begin() + row);
        values_.erase(values_.begin() + row);
        --published_;
        endRemoveRows();
    }

    void SetCell(int row, int col, const std::string& text) {
        Flush();
        Row& r = *rows_[row];
        std::vector<std::string> cells = Unpack(r.packed);
        cells[col] = text;
        r.packed = Pack(cells);
        KeyRow(r);
        if (col == sortCol_) sortCol_ = -1;
        Q_EMIT dataChanged(index(row, col), index(row, col));
    }

    // Replaces a row's cells and value (row -1 adds one). A list still in the
    // order of its last sort keeps it: the row goes where that sort puts it,
    // after the rows whose key equals its own; a changed row whose place still
    // fits stays where it is. Returns the row's index.
    int Put(int row, const std::vector<std::string>& cells, int64_t value) {
        Flush();
        if (row < 0) {
            std::unique_ptr<Row> made = MakeRow(cells);
            int at = Rows();
            if (sortCol_ >= 0) at = PlaceFor(made->keys[sortCol_], -1);
            beginInsertRows(QModelIndex(), at, at);
            rows_.insert(rows_.begin() + at, std::move(made));
            values_.insert(values_.begin() + at, value);
            ++published_;
            endInsertRows();
            return at;
        }
        rows_[row] = MakeRow(cells);
        values_[row] = value;
        Q_EMIT dataChanged(index(row, 0), index(row, Columns() - 1));
        if (sortCol_ < 0 || FitsAt(row)) return row;
        const int to = PlaceFor(Key(row, sortCol_), row);  // among the other rows
        const int dest = to < row ? to : to + 1;
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), dest);
        MoveRow(row, to);
        endMoveRows();
        return to;
    }

    int Find(int64_t value) const {
        const auto it = std::find(values_.begin(), values_.end(), value);
        return it == values_.end() ? -1 : static_cast<int>(it - values_.begin());
    }

    // Stable sort by the case-folded text of a column; equal keys keep their order.
    void Sort(int col, int direction) {
        Flush();
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
        bool same = true;
        for (size_t i = 0; i < order.size() && same; ++i) same = order[i] == static_cast<int>(i);
        if (same) return;
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<std::unique_ptr<Row>> rows(rows_.size());
        std::vector<int64_t> values(values_.size());
        for (size_t i = 0; i < order.size(); ++i) {
            rows[i] = std::move(rows_[order[i]]);
            values[i] = values_[order[i]];
        }
        rows_.swap(rows);
        values_.swap(values);
        std::vector<int> newRow(order.size());
        for (size_t i = 0; i < order.size(); ++i) newRow[order[i]] = static_cast<int>(i);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& ix : from) to.push_back(index(newRow[ix.row()], ix.column()));
        changePersistentIndexList(from, to);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }

    // Toggles a check-box cell as the user's click does; false for other cells.
    bool Toggle(int row, int col) {
        if (!HasRow(row) || col < 0 || col >= Columns() || !IsCheckCell(Cell(row, col)))
            return false;
        const bool checked = Cell(row, col)[4] == '2';
        return setData(index(row, col), checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    }

    // --- the model as the view sees it ---
    int rowCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : published_;
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override {
        return parent.isValid() ? 0 : Columns();
    }
    QVariant data(const QModelIndex& ix, int role) const override {
        if (!ix.isValid() || ix.row() >= published_) return {};
        const std::string_view text = Cell(ix.row(), ix.column());
        switch (role) {
            case Qt::DisplayRole:
                if (IsCheckCell(text)) return QString();
                return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
            case Qt::CheckStateRole:
                if (!IsCheckCell(text)) return {};
                return static_cast<int>(text[4] == '2' ? Qt::Checked : Qt::Unchecked);
            case Qt::TextAlignmentRole:
                return AlignOf(formats_[ix.column()]);
            default:
                return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& ix) const override {
        if (!ix.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (hasCheckCells_ && ix.row() < published_ && IsCheckCell(Cell(ix.row(), ix.column())))
            f |= Qt::ItemIsUserCheckable;
        return f;
    }
    // A click on a check-box image toggles the cell text between X2 and X1.
    bool setData(const QModelIndex& ix, const QVariant& v, int role) override {
        if (role != Qt::CheckStateRole || !ix.isValid() || ix.row() >= published_) return false;
        const int row = ix.row(), col = ix.column();
        std::string text(Cell(row, col));
        if (!IsCheckCell(text)) return false;
        const bool checked = v.toInt() == Qt::Checked;
        if ((text[4] == '2') == checked) return false;
        text[4] = checked ? '2' : '1';
        SetCell(row, col, text);
        if (!IsQuiet() && onToggled) onToggled(row);
        return true;
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || section < 0 || section >= Columns()) return {};
        if (role == Qt::DisplayRole) return captions_[section];
        if (role == Qt::TextAlignmentRole) return AlignOf(formats_[section]);
        return {};
    }

private:
    struct Row {
        std::string packed;                   // each cell: 4-byte length, then its bytes
        std::unique_ptr<std::string[]> keys;  // per column, once a sort needed them
    };

    std::unique_ptr<Row> MakeRow(const std::vector<std::string>& cells) const {
        auto r = std::make_unique<Row>();
        r->packed = Pack(cells);
        KeyRow(*r);
        return r;
    }
    // Gives a row the keys of every column whose rows all have theirs.
    void KeyRow(Row& r) const {
        for (int c = 0; c < Columns(); ++c) {
            if (!keyed_[c]) continue;
            if (!r.keys) r.keys = std::make_unique<std::string[]>(captions_.size());
            r.keys[c] = SortKey(CellOf(r.packed, c));
        }
    }
    const std::string& Key(int row, int col) const { return rows_[row]->keys[col]; }

    std::string Pack(const std::vector<std::string>& cells) const {
        const size_t n = captions_.size();
        size_t size = 4 * n;
        for (size_t c = 0; c < n && c < cells.size(); ++c) size += cells[c].size();
        std::string out;
        out.reserve(size);
        for (size_t c = 0; c < n; ++c) {
            const std::string_view cell = c < cells.size() ? std::string_view(cells[c]) : "";
            const auto len = static_cast<uint32_t>(cell.size());
            char bytes[4];
            std::memcpy(bytes, &len, 4);
            out.append(bytes, 4);
            out.append(cell);
            if (!hasCheckCells_ && IsCheckCell(cell)) hasCheckCells_ = true;
        }
        return out;
    }
    static std::string_view CellOf(const std::string& packed, int col) {
        size_t at = 0;
        for (int c = 0;; ++c) {
            if (at + 4 > packed.size()) return {};
            uint32_t len = 0;
            std::memcpy(&len, packed.data() + at, 4);
            if (c == col) return std::string_view(packed).substr(at + 4, len);
            at += 4 + len;
        }
    }
    std::vector<std::string> Unpack(const std::string& packed) const {
        std::vector<std::string> cells;
        for (int c = 0; c < Columns(); ++c) cells.emplace_back(CellOf(packed, c));
        return cells;
    }

    // Folds every row's cell of a column into its key, once; the keys are
    // kept until the rows change.
    void EnsureKeys(int col) {
        if (keyed_[col]) return;
        for (auto& r : rows_) {
            if (!r->keys) r->keys = std::make_unique<std::string[]>(captions_.size());
            r->keys[col] = SortKey(CellOf(r->packed, col));
        }
        keyed_[col] = 1;
    }

    // Whether row i of the sorted list may come before row j.
    bool InOrder(const std::string& a, const std::string& b) const {
        return sortDir_ == 1 ? !(a < b) : !(b < a);
    }
    bool FitsAt(int row) const {
        const int c = sortCol_;
        return (row == 0 || InOrder(Key(row - 1, c), Key(row, c))) &&
               (row + 1 >= Rows() || InOrder(Key(row, c), Key(row + 1, c)));
    }
    // Where a row with this key goes among the rows other than skip: after
    // every row it may follow.
    int PlaceFor(const std::string& key, int skip) const {
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
    void MoveRow(int from, int to) {
        auto move = [from, to](auto& v) {
            if (from < to)
                std::rotate(v.begin() + from, v.begin() + from + 1, v.begin() + to + 1);
            else
                std::rotate(v.begin() + to, v.begin() + from, v.begin() + from + 1);
        };
        move(rows_);
        move(values_);
    }

    std::vector<QString> captions_;
    std::vector<int> formats_;
    std::vector<std::unique_ptr<Row>> rows_;
    std::vector<int64_t> values_;  // row values, beside the rows for a quick search
    std::vector<char> keyed_;      // per column: every row has its key
    int published_ = 0;            // rows the view has been told of
    // Whether a check-box cell was ever given since the list was cleared: the
    // view asks every row's flags when it lays the rows out, and lists
    // without check boxes need not look at their cells for that.
    mutable bool hasCheckCells_ = false;
    bool flushQueued_ = false;
    int sortCol_ = -1;  // the column the rows are in order of, -1 when none
    int sortDir_ = 0;
};

// The list view: hands pending rows to the view before it paints.
class ListView : public QTreeView {
public:
    explicit ListView(QWidget* parent) : QTreeView(parent), model_(new ListModel(this)) {}
    ListModel* Model() const { return model_; }

protected:
    bool viewportEvent(QEvent* e) override {
        if (e->type() == QEvent::Paint) model_->Flush();
        return QTreeView::viewportEvent(e);
    }

private:
    ListModel* model_;
};

ListView* ViewOf(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c && c->kind == EzKind::ListView ? static_cast<ListView*>(c->w.data()) : nullptr;
}

// The model of a list view, with the rows added so far handed to the view.
ListModel* ModelOf(const std::string& form, int id) {
    ListView* v = ViewOf(form, id);
    if (!v) return nullptr;
    v->Model()->Flush();
    return v->Model();
}

Header* HeaderOf(QTreeView* t) {
    return dynamic_cast<Header*>(t->header());
}

}  // namespace

QWidget* MakeListView(const std::string& form, int id, const std::string& columns,
                      const std::string& style, QWidget* parent, Ctl& ctl) {
    auto* t = new ListView(parent);
    auto* h = new Header(t);
    t->setHeader(h);
    t->setRootIsDecorated(false);
    t->setItemsExpandable(false);
    t->setUniformRowHeights(true);
    t->setAllColumnsShowFocus(true);
    t->setSortingEnabled(false);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    h->setSectionsClickable(true);
    h->setSectionsMovable(false);
    h->setStretchLastSection(false);
    h->setHighlightSections(false);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    bool multi = false;
    for (char c : style)
        if (c == 'M' || c == 'm') multi = true;
    t->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection
                              : QAbstractItemView::SingleSelection);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);

    // "Title{width}|Title{width}": widths in characters.
    std::vector<QString> titles;
    std::vector<int> widths;
    for (const QString& part : Q(columns).split('|')) {
        QString title = part;
        int w = 10;
        int brace = part.indexOf('{');
        if (brace >= 0) {
            title = part.left(brace);
            QString num = part.mid(brace + 1);
            num = num.left(num.indexOf('}') >= 0 ? num.indexOf('}') : num.size());
            w = static_cast<int>(num.toDouble());
        }
        titles.push_back(title);
        widths.push_back(w);
    }
    ListModel* m = t->Model();
    m->SetColumns(titles);
    t->setModel(m);
    for (int i = 0; i < static_cast<int>(widths.size()); ++i)
        t->setColumnWidth(i, ColsToPx(widths[i]));
    // A list whose columns have no captions (a check list) shows no header row.
    if (std::all_of(titles.begin(), titles.end(), [](const QString& s) { return s.isEmpty(); }))
        t->setHeaderHidden(true);
    h->madeLast = widths.empty() ? -1 : ColsToPx(widths.back());
    QObject::connect(h, &QHeaderView::sectionResized, h, [h](int logical, int, int size) {
        if (h->filling) return;
        if (logical == h->count() - 1) h->madeLast = size;
        h->Fill();
    });
    ctl.colFormats.assign(titles.size(), 0);
    ctl.headerImages.assign(titles.size(), 3);
    h->images = ctl.headerImages;

    const std::string fname = form;
    QObject::connect(t->selectionModel(), &QItemSelectionModel::selectionChanged, t,
                     [fname, id, t]() {
                         if (IsQuiet()) return;
                         const QModelIndex cur = t->currentIndex();
                         Raise(fname, id, EzEvent::SelChange, cur.isValid() ? cur.row() : -1);
                     });
    QObject::connect(t, &QTreeView::doubleClicked, t, [fname, id](const QModelIndex& ix) {
        Raise(fname, id, EzEvent::DblClick, ix.row());
    });
    QObject::connect(h, &QHeaderView::sectionClicked, t,
                     [fname, id](int col) { Raise(fname, id, EzEvent::HeaderClick, col); });
    m->onToggled = [fname, id](int row) { Raise(fname, id, EzEvent::Click, row); };
    return t;
}

std::string ListViewText(const std::string& form, int id) {
    const int row = EZ_LVNEXTSELECTED(form, id, -1);
    return row >= 0 ? EZ_LVGETCELL(form, id, row, 0) : "";
}

bool ListViewUserRow(const std::string& form, int id, int row, bool extend) {
    ListView* t = ViewOf(form, id);
    ListModel* m = ModelOf(form, id);
    if (!t || !m->HasRow(row)) return false;
    const QModelIndex ix = m->index(row, 0);
    if (extend && t->selectionMode() == QAbstractItemView::ExtendedSelection) {
        t->selectionModel()->setCurrentIndex(
            ix, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    } else {
        t->selectionModel()->setCurrentIndex(
            ix, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    t->scrollTo(ix);
    return true;
}

void ListViewUserToggleCheck(const std::string& form, int id, int row, int col) {
    if (ListModel* m = ModelOf(form, id)) m->Toggle(row, col);
}

bool IsListView(QWidget* w) {
    return dynamic_cast<ListView*>(w) != nullptr;
}

int ListViewRowAt(QWidget* view, const QPoint& pos) {
    auto* t = dynamic_cast<ListView*>(view);
    if (!t) return -1;
    const QModelIndex ix = t->indexAt(pos);
    return ix.isValid() ? ix.row() : -1;
}

void ListViewReset(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    ListModel* m = ModelOf(form, id);
    if (!t) return;
    Quiet quiet;
    Q_EMIT m->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    Q_EMIT m->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace ez

using namespace ez;

int EZ_LVADDROW(const std::string& form, int id, const std::vector<std::string>& cells,
                int64_t value) {
    ListView* t = ViewOf(form, id);
    return t ? t->Model()->Add(cells, value) : -1;
}

int EZ_LVPUTROW(const std::string& form, int id, int row, const std::vector<std::string>& cells,
                int64_t value) {
    ListModel* m = ModelOf(form, id);
    if (!m || (row >= 0 && !m->HasRow(row))) return -1;
    Quiet quiet;
    return m->Put(row, cells, value);
}

int EZ_LVFINDVALUE(const std::string& form, int id, int64_t value) {
    ListView* t = ViewOf(form, id);
    return t ? t->Model()->Find(value) : -1;
}

void EZ_LVDELETEROW(const std::string& form, int id, int row) {
    ListModel* m = ModelOf(form, id);
    if (!m || !m->HasRow(row)) return;
    Quiet quiet;
    m->Remove(row);
}

void EZ_LVCLEAR(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    if (!t) return;
    Quiet quiet;
    t->Model()->Clear();
}

int EZ_LVROWCOUNT(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    return t ? t->Model()->Rows() : 0;
}

std::string EZ_LVGETCELL(const std::string& form, int id, int row, int col) {
    ListView* t = ViewOf(form, id);
    if (!t || !t->Model()->HasRow(row) || col < 0 || col >= t->Model()->Columns()) return "";
    return std::string(t->Model()->Cell(row, col));
}

void EZ_LVSETCELL(const std::string& form, int id, int row, int col, const std::string& text) {
    ListModel* m = ModelOf(form, id);
    if (!m || !m->HasRow(row) || col < 0 || col >= m->Columns()) return;
    Quiet quiet;
    m->SetCell(row, col, text);
}

int64_t EZ_LVGETVALUE(const std::string& form, int id, int row) {
    ListView* t = ViewOf(form, id);
    return t && t->Model()->HasRow(row) ? t->Model()->Value(row) : 0;
}

void EZ_LVSELECT(const std::string& form, int id, int row, bool on) {
    ListView* t = ViewOf(form, id);
    ListModel* m = ModelOf(form, id);
    if (!t) return;
    Quiet quiet;
    QItemSelectionModel* sel = t->selectionModel();
    if (row < 0) {
        if (m->Rows() == 0) return;
        const QItemSelection all(m->index(0, 0), m->index(m->Rows() - 1, m->Columns() - 1));
        sel->select(all, on ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
        return;
    }
    if (!m->HasRow(row)) return;
    const QModelIndex ix = m->index(row, 0);
    if (on && t->selectionMode() != QAbstractItemView::ExtendedSelection) {
        sel->setCurrentIndex(ix, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else if (on) {
        sel->setCurrentIndex(ix, QItemSelectionModel::NoUpdate);
        sel->select(ix, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    } else {
        sel->select(ix, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    if (on) t->scrollTo(ix);
}

bool EZ_LVISSELECTED(const std::string& form, int id, int row) {
    ListView* t = ViewOf(form, id);
    ListModel* m = ModelOf(form, id);
    return t && m->HasRow(row) && t->selectionModel()->isSelected(m->index(row, 0));
}

int EZ_LVSELCOUNT(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    if (!t) return 0;
    ModelOf(form, id);
    // The selection's ranges do not overlap; a selected row is one whose
    // first cell is selected.
    int n = 0;
    for (const QItemSelectionRange& r : t->selectionModel()->selection())
        if (r.left() <= 0 && r.right() >= 0) n += r.bottom() - r.top() + 1;
    return n;
}

int EZ_LVNEXTSELECTED(const std::string& form, int id, int fromRow) {
    ListView* t = ViewOf(form, id);
    if (!t) return -1;
    ModelOf(form, id);
    const int from = std::max(0, fromRow + 1);
    int best = -1;
    for (const QItemSelectionRange& r : t->selectionModel()->selection()) {
        if (r.left() > 0 || r.right() < 0 || r.bottom() < from) continue;
        const int candidate = std::max(r.top(), from);
        if (best < 0 || candidate < best) best = candidate;
    }
    return best;
}

void EZ_LVSORT(const std::string& form, int id, int col, int direction) {
    ListModel* m = ModelOf(form, id);
    if (!m || col < 0 || col >= m->Columns()) return;
    Quiet quiet;
    m->Sort(col, direction);
}

int EZ_LVCOLCOUNT(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    return t ? t->Model()->Columns() : 0;
}

void EZ_LVGETCOLUMN(const std::string& form, int id, int col, std::string& caption, int& widthPx,
                    int& format) {
    caption.clear();
    widthPx = 0;
    format = 0;
    ListView* t = ViewOf(form, id);
    if (!t || col < 0 || col >= t->Model()->Columns()) return;
    caption = U(t->Model()->Caption(col));
    widthPx = t->columnWidth(col);
    // The last column's own width, not what it was widened to for filling.
    if (Header* h = HeaderOf(t); h && col == t->Model()->Columns() - 1 && h->madeLast >= 0)
        widthPx = std::min(widthPx, h->madeLast);
    format = t->Model()->Format(col);
}

void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format) {
    ListView* t = ViewOf(form, id);
    Ctl* c = FindCtl(form, id);
    if (!t || !c || col < 0 || col >= t->Model()->Columns()) return;
    Quiet quiet;
    t->Model()->SetCaption(col, Q(caption), format);
    t->setColumnWidth(col, std::max(0, widthPx));
    if (col < static_cast<int>(c->colFormats.size())) c->colFormats[col] = format;
}

std::vector<int> EZ_LVCOLUMNORDER(const std::string& form, int id) {
    std::vector<int> order;
    ListView* t = ViewOf(form, id);
    if (!t) return order;
    for (int v = 0; v < t->Model()->Columns(); ++v) order.push_back(t->header()->logicalIndex(v));
    return order;
}

void EZ_LVSETHEADERIMAGE(const std::string& form, int id, int col, int image) {
    ListView* t = ViewOf(form, id);
    Ctl* c = FindCtl(form, id);
    if (!t || !c || col < 0 || col >= static_cast<int>(c->headerImages.size())) return;
    c->headerImages[col] = image;
    if (Header* h = HeaderOf(t)) {
        h->images = c->headerImages;
        h->viewport()->update();
    }
}

double EZ_LVWIDTH(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    return t ? PxToCols(t->viewport()->width()) : 0;
}
