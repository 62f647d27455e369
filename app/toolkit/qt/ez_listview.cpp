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

#include "app/toolkit/ez_rows.h"

namespace ez {

namespace {

// Draws a header image (0 down arrow, 1 up arrow) at the right of a caption.
// The last column reaches the list's right edge: it is at least as wide as it
// was made (by the design, a saved layout or the user) and widened to fill
// what the other columns leave free.
class Header : public QHeaderView {
public:
    explicit Header(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
    const RowStore* rows = nullptr;  // the columns' header images
    int madeLast = -1;               // the last column's own width in pixels, -1 = not set yet
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
        const int img = rows && rows->HasColumn(logical) ? rows->Column(logical).image : 3;
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

// The rows of one list view as the view sees them: a table model over the
// toolkit's row store.
class ListModel : public QAbstractTableModel {
public:
    explicit ListModel(QObject* parent) : QAbstractTableModel(parent) {}

    // Told (with the row) when the user ticks or clears a check-box cell.
    std::function<void(int)> onToggled;

    const RowStore& Store() const { return store_; }

    // --- columns ---
    void SetColumns(std::vector<ListColumn> columns) {
        beginResetModel();
        store_.SetColumns(std::move(columns));
        endResetModel();
    }
    int Columns() const { return store_.Columns(); }
    void SetCaption(int col, const std::string& caption, int format) {
        ListColumn& c = store_.Column(col);
        const bool alignChanged = (c.format & 3) != (format & 3);
        c.caption = caption;
        c.format = format;
        Q_EMIT headerDataChanged(Qt::Horizontal, col, col);
        if (alignChanged && published_ > 0)
            Q_EMIT dataChanged(index(0, col), index(published_ - 1, col), {Qt::TextAlignmentRole});
    }
    void SetHeaderImage(int col, int image) { store_.Column(col).image = image; }

    // --- rows ---
    int Rows() const { return store_.Rows(); }
    bool HasRow(int row) const { return store_.HasRow(row); }
    int64_t Value(int row) const { return store_.Value(row); }
    std::string_view Cell(int row, int col) const { return store_.Cell(row, col); }

    int Add(const std::vector<std::string>& cells, int64_t value) {
        const int row = store_.Add(cells, value);
        if (!flushQueued_) {
            flushQueued_ = true;
            QMetaObject::invokeMethod(
                this, [this]() { Flush(); }, Qt::QueuedConnection);
        }
        return row;
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
        store_.Clear();
        published_ = 0;
        endResetModel();
    }

    void Remove(int row) {
        Flush();
        beginRemoveRows(QModelIndex(), row, row);
        store_.Remove(row);
        --published_;
        endRemoveRows();
    }

    void SetCell(int row, int col, const std::string& text) {
        Flush();
        store_.SetCell(row, col, text);
        Q_EMIT dataChanged(index(row, col), index(row, col));
    }

    // Replaces a row's cells and value (row -1 adds one), in the order of the
    // last sort as the store keeps it. Returns the row's index.
    int Put(int row, const std::vector<std::string>& cells, int64_t value) {
        Flush();
        RowStore::NewRow made = store_.Make(cells);
        if (row < 0) {
            const int at = store_.PlaceOfNew(made);
            beginInsertRows(QModelIndex(), at, at);
            store_.Insert(at, std::move(made), value);
            ++published_;
            endInsertRows();
            return at;
        }
        store_.Replace(row, std::move(made), value);
        Q_EMIT dataChanged(index(row, 0), index(row, Columns() - 1));
        const int to = store_.PlaceOfChanged(row);
        if (to == row) return row;
        beginMoveRows(QModelIndex(), row, row, QModelIndex(), to < row ? to : to + 1);
        store_.Move(row, to);
        endMoveRows();
        return to;
    }

    int Find(int64_t value) const { return store_.Find(value); }

    // Stable sort by the case-folded text of a column; equal keys keep their order.
    void Sort(int col, int direction) {
        Flush();
        const std::vector<int> order = store_.SortOrder(col, direction);
        if (order.empty()) return;
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        store_.Reorder(order);
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
        return setData(index(row, col), IsCheckedCell(Cell(row, col)) ? Qt::Unchecked : Qt::Checked,
                       Qt::CheckStateRole);
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
                return static_cast<int>(IsCheckedCell(text) ? Qt::Checked : Qt::Unchecked);
            case Qt::TextAlignmentRole:
                return AlignOf(store_.Column(ix.column()).format);
            default:
                return {};
        }
    }
    Qt::ItemFlags flags(const QModelIndex& ix) const override {
        if (!ix.isValid()) return Qt::NoItemFlags;
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (store_.HasCheckCells() && ix.row() < published_ &&
            IsCheckCell(Cell(ix.row(), ix.column())))
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
        if (IsCheckedCell(text) == checked) return false;
        text[4] = checked ? '2' : '1';
        SetCell(row, col, text);
        if (!IsQuiet() && onToggled) onToggled(row);
        return true;
    }
    QVariant headerData(int section, Qt::Orientation o, int role) const override {
        if (o != Qt::Horizontal || section < 0 || section >= Columns()) return {};
        if (role == Qt::DisplayRole) return Q(store_.Column(section).caption);
        if (role == Qt::TextAlignmentRole) return AlignOf(store_.Column(section).format);
        return {};
    }

private:
    RowStore store_;
    int published_ = 0;  // rows the view has been told of
    bool flushQueued_ = false;
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

QWidget* MakeListView(const std::string& form, int id, const std::string& columns_text,
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

    // "Title{width}|Title{width}": widths in whole characters.
    std::vector<ListColumn> columns;
    for (const DesignedColumn& designed : ParseListColumns(columns_text))
        columns.push_back({designed.caption, ColsToPx(static_cast<int>(designed.widthCols)), 0, 3});
    ListModel* m = t->Model();
    m->SetColumns(columns);
    t->setModel(m);
    h->rows = &m->Store();
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        t->setColumnWidth(i, columns[i].widthPx);
    // A list whose columns have no captions (a check list) shows no header row.
    if (std::all_of(columns.begin(), columns.end(),
                    [](const ListColumn& c) { return c.caption.empty(); }))
        t->setHeaderHidden(true);
    h->madeLast = columns.empty() ? -1 : columns.back().widthPx;
    QObject::connect(h, &QHeaderView::sectionResized, h, [h](int logical, int, int size) {
        if (h->filling) return;
        if (logical == h->count() - 1) h->madeLast = size;
        h->Fill();
    });

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

const RowStore* ListViewRows(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    return t ? &t->Model()->Store() : nullptr;
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
    caption = t->Model()->Store().Column(col).caption;
    widthPx = t->columnWidth(col);
    // The last column's own width, not what it was widened to for filling.
    if (Header* h = HeaderOf(t); h && col == t->Model()->Columns() - 1 && h->madeLast >= 0)
        widthPx = std::min(widthPx, h->madeLast);
    format = t->Model()->Store().Column(col).format;
}

void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format) {
    ListView* t = ViewOf(form, id);
    if (!t || col < 0 || col >= t->Model()->Columns()) return;
    Quiet quiet;
    t->Model()->SetCaption(col, caption, format);
    t->setColumnWidth(col, std::max(0, widthPx));
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
    if (!t || col < 0 || col >= t->Model()->Columns()) return;
    t->Model()->SetHeaderImage(col, image);
    if (Header* h = HeaderOf(t)) h->viewport()->update();
}

double EZ_LVWIDTH(const std::string& form, int id) {
    ListView* t = ViewOf(form, id);
    return t ? PxToCols(t->viewport()->width()) : 0;
}
