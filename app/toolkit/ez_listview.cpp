// List views: rows of cells with a 64-bit value each, column layout, header
// arrows, text sort and check-box cells ("{S}X2" checked, "{S}X1" unchecked).
#include "app/toolkit/ez_listview.h"

#include <QFile>
#include <QHeaderView>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QTreeWidget>
#include <algorithm>

namespace ez {

namespace {

constexpr int kRawRole = Qt::UserRole + 1;  // cell text as set (check cells)
constexpr int kValueRole = Qt::UserRole;    // row value, on column 0

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

Qt::Alignment AlignOf(int format) {
    switch (format & 3) {
        case 1:
            return Qt::AlignRight | Qt::AlignVCenter;
        case 2:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        default:
            return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

QTreeWidget* TreeOf(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c && c->kind == EzKind::ListView ? static_cast<QTreeWidget*>(c->w.data()) : nullptr;
}

Header* HeaderOf(QTreeWidget* t) {
    return dynamic_cast<Header*>(t->header());
}

bool IsCheckCell(const std::string& text) {
    return text.rfind("{S}X2", 0) == 0 || text.rfind("{S}X1", 0) == 0;
}

void SetCell(QTreeWidgetItem* it, int col, const std::string& text, int format) {
    if (IsCheckCell(text)) {
        it->setData(col, kRawRole, Q(text));
        it->setText(col, QString());
        it->setFlags(it->flags() | Qt::ItemIsUserCheckable);
        it->setCheckState(col, text[4] == '2' ? Qt::Checked : Qt::Unchecked);
    } else {
        if (it->data(col, kRawRole).isValid()) {
            it->setData(col, kRawRole, QVariant());
            it->setData(col, Qt::CheckStateRole, QVariant());
        }
        it->setText(col, Q(text));
    }
    it->setTextAlignment(col, AlignOf(format));
}

std::string CellText(QTreeWidgetItem* it, int col) {
    QVariant raw = it->data(col, kRawRole);
    return raw.isValid() ? U(raw.toString()) : U(it->text(col));
}

int FormatOf(Ctl* c, int col) {
    return col >= 0 && col < static_cast<int>(c->colFormats.size()) ? c->colFormats[col] : 0;
}

}  // namespace

QWidget* MakeListView(const std::string& form, int id, const std::string& columns,
                      const std::string& style, QWidget* parent, Ctl& ctl) {
    auto* t = new QTreeWidget(parent);
    auto* h = new Header(t);
    t->setHeader(h);
    t->setRootIsDecorated(false);
    t->setItemsExpandable(false);
    t->setUniformRowHeights(true);
    t->setAllColumnsShowFocus(true);
    t->setSortingEnabled(false);
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
    QStringList titles;
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
        titles << title;
        widths.push_back(w);
    }
    t->setColumnCount(static_cast<int>(titles.size()));
    t->setHeaderLabels(titles);
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
    QObject::connect(t, &QTreeWidget::itemSelectionChanged, t, [fname, id, t]() {
        if (IsQuiet()) return;
        QTreeWidgetItem* cur = t->currentItem();
        int row = cur ? t->indexOfTopLevelItem(cur) : -1;
        Raise(fname, id, EzEvent::SelChange, row);
    });
    QObject::connect(t, &QTreeWidget::itemDoubleClicked, t,
                     [fname, id, t](QTreeWidgetItem* it, int) {
                         Raise(fname, id, EzEvent::DblClick, t->indexOfTopLevelItem(it));
                     });
    QObject::connect(h, &QHeaderView::sectionClicked, t,
                     [fname, id](int col) { Raise(fname, id, EzEvent::HeaderClick, col); });
    // A click on a check-box image toggles the cell text between X2 and X1.
    QObject::connect(t, &QTreeWidget::itemChanged, t, [fname, id, t](QTreeWidgetItem* it, int col) {
        QVariant raw = it->data(col, kRawRole);
        if (!raw.isValid()) return;
        QString text = raw.toString();
        const bool checked = it->checkState(col) == Qt::Checked;
        if (text.size() < 5 || (text[4] == '2') == checked) return;
        text[4] = checked ? '2' : '1';
        {
            QSignalBlocker block(t);
            it->setData(col, kRawRole, text);
        }
        if (!IsQuiet()) Raise(fname, id, EzEvent::Click, t->indexOfTopLevelItem(it));
    });
    return t;
}

std::string ListViewText(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return "";
    for (int r = 0; r < t->topLevelItemCount(); ++r)
        if (t->topLevelItem(r)->isSelected()) return CellText(t->topLevelItem(r), 0);
    return "";
}

bool ListViewUserRow(const std::string& form, int id, int row, bool extend) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount()) return false;
    QTreeWidgetItem* it = t->topLevelItem(row);
    if (extend && t->selectionMode() == QAbstractItemView::ExtendedSelection) {
        t->selectionModel()->setCurrentIndex(
            t->indexFromItem(it), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    } else {
        t->setCurrentItem(it, 0, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    t->scrollToItem(it);
    return true;
}

void ListViewUserToggleCheck(const std::string& form, int id, int row, int col) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount()) return;
    QTreeWidgetItem* it = t->topLevelItem(row);
    if (!it->data(col, kRawRole).isValid()) return;
    it->setCheckState(col, it->checkState(col) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

}  // namespace ez

using namespace ez;

int EZ_LVADDROW(const std::string& form, int id, const std::vector<std::string>& cells,
                int64_t value) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return -1;
    Ctl* c = FindCtl(form, id);
    Quiet quiet;
    auto* it = new QTreeWidgetItem();
    it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    for (int col = 0; col < t->columnCount(); ++col)
        SetCell(it, col, col < static_cast<int>(cells.size()) ? cells[col] : "", FormatOf(c, col));
    it->setData(0, kValueRole, QVariant::fromValue<qlonglong>(value));
    t->addTopLevelItem(it);
    return t->topLevelItemCount() - 1;
}

void EZ_LVDELETEROW(const std::string& form, int id, int row) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount()) return;
    Quiet quiet;
    delete t->takeTopLevelItem(row);
}

void EZ_LVCLEAR(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return;
    Quiet quiet;
    t->clear();
}

int EZ_LVROWCOUNT(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    return t ? t->topLevelItemCount() : 0;
}

std::string EZ_LVGETCELL(const std::string& form, int id, int row, int col) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount() || col < 0 || col >= t->columnCount())
        return "";
    return CellText(t->topLevelItem(row), col);
}

void EZ_LVSETCELL(const std::string& form, int id, int row, int col, const std::string& text) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount() || col < 0 || col >= t->columnCount())
        return;
    Quiet quiet;
    QSignalBlocker block(t);
    SetCell(t->topLevelItem(row), col, text, FormatOf(FindCtl(form, id), col));
    t->viewport()->update();
}

int64_t EZ_LVGETVALUE(const std::string& form, int id, int row) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || row < 0 || row >= t->topLevelItemCount()) return 0;
    return t->topLevelItem(row)->data(0, kValueRole).toLongLong();
}

void EZ_LVSELECT(const std::string& form, int id, int row, bool on) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return;
    Quiet quiet;
    if (row < 0) {
        for (int r = 0; r < t->topLevelItemCount(); ++r) t->topLevelItem(r)->setSelected(on);
        return;
    }
    if (row >= t->topLevelItemCount()) return;
    QTreeWidgetItem* it = t->topLevelItem(row);
    if (on && t->selectionMode() != QAbstractItemView::ExtendedSelection) {
        t->setCurrentItem(it);
    } else if (on) {
        t->selectionModel()->setCurrentIndex(t->indexFromItem(it), QItemSelectionModel::NoUpdate);
    }
    it->setSelected(on);
    if (on) t->scrollToItem(it);
}

bool EZ_LVISSELECTED(const std::string& form, int id, int row) {
    QTreeWidget* t = TreeOf(form, id);
    return t && row >= 0 && row < t->topLevelItemCount() && t->topLevelItem(row)->isSelected();
}

int EZ_LVSELCOUNT(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return 0;
    int n = 0;
    for (int r = 0; r < t->topLevelItemCount(); ++r)
        if (t->topLevelItem(r)->isSelected()) ++n;
    return n;
}

int EZ_LVNEXTSELECTED(const std::string& form, int id, int fromRow) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return -1;
    for (int r = std::max(0, fromRow + 1); r < t->topLevelItemCount(); ++r)
        if (t->topLevelItem(r)->isSelected()) return r;
    return -1;
}

void EZ_LVSORT(const std::string& form, int id, int col, int direction) {
    QTreeWidget* t = TreeOf(form, id);
    if (!t || col < 0 || col >= t->columnCount()) return;
    Quiet quiet;
    QSignalBlocker block(t);
    QTreeWidgetItem* current = t->currentItem();
    std::vector<std::pair<QTreeWidgetItem*, bool>> rows;
    while (t->topLevelItemCount() > 0) {
        QTreeWidgetItem* it = t->topLevelItem(0);
        bool sel = it->isSelected();
        rows.emplace_back(t->takeTopLevelItem(0), sel);
    }
    // Text compare without regard to letter case; equal texts keep their order.
    std::stable_sort(rows.begin(), rows.end(), [col, direction](const auto& a, const auto& b) {
        QString ta = Q(CellText(a.first, col)), tb = Q(CellText(b.first, col));
        int cmp = ta.compare(tb, Qt::CaseInsensitive);
        return direction == 1 ? cmp > 0 : cmp < 0;
    });
    for (auto& [it, sel] : rows) t->addTopLevelItem(it);
    for (auto& [it, sel] : rows) it->setSelected(sel);
    if (current)
        t->selectionModel()->setCurrentIndex(t->indexFromItem(current),
                                             QItemSelectionModel::NoUpdate);
}

int EZ_LVCOLCOUNT(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    return t ? t->columnCount() : 0;
}

void EZ_LVGETCOLUMN(const std::string& form, int id, int col, std::string& caption, int& widthPx,
                    int& format) {
    caption.clear();
    widthPx = 0;
    format = 0;
    QTreeWidget* t = TreeOf(form, id);
    if (!t || col < 0 || col >= t->columnCount()) return;
    caption = U(t->headerItem()->text(col));
    widthPx = t->columnWidth(col);
    // The last column's own width, not what it was widened to for filling.
    if (Header* h = HeaderOf(t); h && col == t->columnCount() - 1 && h->madeLast >= 0)
        widthPx = std::min(widthPx, h->madeLast);
    format = FormatOf(FindCtl(form, id), col);
}

void EZ_LVSETCOLUMN(const std::string& form, int id, int col, const std::string& caption,
                    int widthPx, int format) {
    QTreeWidget* t = TreeOf(form, id);
    Ctl* c = FindCtl(form, id);
    if (!t || !c || col < 0 || col >= t->columnCount()) return;
    Quiet quiet;
    QSignalBlocker block(t);
    t->headerItem()->setText(col, Q(caption));
    t->headerItem()->setTextAlignment(col, AlignOf(format));
    t->setColumnWidth(col, std::max(0, widthPx));
    if (col < static_cast<int>(c->colFormats.size())) {
        bool alignChanged = (c->colFormats[col] & 3) != (format & 3);
        c->colFormats[col] = format;
        if (alignChanged)
            for (int r = 0; r < t->topLevelItemCount(); ++r)
                t->topLevelItem(r)->setTextAlignment(col, AlignOf(format));
    }
}

std::vector<int> EZ_LVCOLUMNORDER(const std::string& form, int id) {
    std::vector<int> order;
    QTreeWidget* t = TreeOf(form, id);
    if (!t) return order;
    for (int v = 0; v < t->columnCount(); ++v) order.push_back(t->header()->logicalIndex(v));
    return order;
}

void EZ_LVSETHEADERIMAGE(const std::string& form, int id, int col, int image) {
    QTreeWidget* t = TreeOf(form, id);
    Ctl* c = FindCtl(form, id);
    if (!t || !c || col < 0 || col >= static_cast<int>(c->headerImages.size())) return;
    c->headerImages[col] = image;
    if (Header* h = HeaderOf(t)) {
        h->images = c->headerImages;
        h->viewport()->update();
    }
}

int EZ_LVGETHEADERIMAGE(const std::string& form, int id, int col) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::ListView || col < 0 ||
        col >= static_cast<int>(c->headerImages.size()))
        return -1;
    return c->headerImages[col];
}

double EZ_LVWIDTH(const std::string& form, int id) {
    QTreeWidget* t = TreeOf(form, id);
    return t ? PxToCols(t->viewport()->width()) : 0;
}
