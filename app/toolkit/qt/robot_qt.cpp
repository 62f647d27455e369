// The robot's Qt half: the event loop that plays its steps, the forms' state,
// a user's actions on the real widgets (so the widgets' own signals raise the
// events), and what a test reads back of the widgets (fonts, cursors, room).
#include <QAbstractButton>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <cstdlib>

#include "app/toolkit/ez_forms.h"
#include "app/toolkit/qt/ez_internal.h"
#include "app/toolkit/qt/ez_listview.h"
#include "app/toolkit/robot.h"
#include "app/toolkit/robot_backend.h"

using namespace ez;

namespace {

bool Usable(QWidget* w) {
    return w && w->isEnabled() && w->isVisible();
}

// Raises Click on the pseudo-control of the form's accelerator for the key.
bool FireAccelerator(const std::string& form, int ezKey) {
    Form* f = FindForm(form);
    int qk = QtKeyOf(ezKey);
    if (!f || !qk) return false;
    for (auto& [pseudo, combined] : f->accels) {
        if (combined == qk) {
            Raise(form, pseudo, EzEvent::Click);
            return true;
        }
    }
    return false;
}

// Raises Click on an accelerator's pseudo-control; false when the form has none.
bool TriggerAccel(const std::string& form, int pseudoId) {
    Form* f = FindForm(form);
    if (!f || !f->accels.count(pseudoId)) return false;
    Raise(form, pseudoId, EzEvent::Click);
    return true;
}

// Moves a list box item as dragging it would, and raises Drop.
bool ListBoxUserMove(const std::string& form, int id, int from, int to) {
    auto* l = qobject_cast<QListWidget*>(CtlWidget(form, id));
    if (!l || from < 0 || from >= l->count() || to < 0 || to >= l->count() || from == to)
        return false;
    {
        Quiet quiet;
        QListWidgetItem* it = l->takeItem(from);
        l->insertItem(to, it);
        l->setCurrentItem(it);
    }
    Raise(form, id, EzEvent::Drop, (static_cast<int64_t>(from) << 16) | to);
    return true;
}

QEventLoop*& RunningLoop() {
    static QEventLoop* loop = nullptr;
    return loop;
}

}  // namespace

namespace robot_backend {

struct Ticker::Impl {
    QTimer timer;
};

Ticker::Ticker(std::function<void()> fn) : impl_(std::make_unique<Impl>()) {
    impl_->timer.setSingleShot(true);
    QObject::connect(&impl_->timer, &QTimer::timeout, std::move(fn));
}

Ticker::~Ticker() = default;

void Ticker::Start(int ms) {
    impl_->timer.start(ms);
}

void Ticker::Stop() {
    impl_->timer.stop();
}

void RunLoop() {
    QEventLoop loop;
    RunningLoop() = &loop;
    loop.exec();
    RunningLoop() = nullptr;
}

void QuitLoop() {
    if (RunningLoop()) RunningLoop()->quit();
}

void Later(std::function<void()> fn) {
    QTimer::singleShot(0, std::move(fn));
}

int64_t NowMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

Forms FormsNow() {
    return FormsIn(S(), [](const Form& f) { return f.loop != nullptr; });
}

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void SetHooks(Hooks hooks) {
    S().hooks.fileDialog = std::move(hooks.fileDialog);
    S().hooks.msgBox = std::move(hooks.msgBox);
    S().hooks.formShown = std::move(hooks.formShown);
}

std::string Reach(const std::string& form, int id) {
    QWidget* w = CtlWidget(form, id);
    if (!w) return "no control " + form + "." + std::to_string(id);
    if (!Usable(w))
        return "control " + form + "." + std::to_string(id) +
               (w->isEnabled() ? " is hidden" : " is disabled");
    return "";
}

void SendKey(const std::string& form, int id, int ezKey) {
    Form* f = FindForm(form);
    if (!f || !f->win) return;
    QWidget* target = id ? CtlWidget(form, id) : f->win->focusWidget();
    if (!target) target = f->win;
    if (id) target->setFocus(Qt::OtherFocusReason);
    // An open context menu takes the keyboard, as it does for a user.
    if (QWidget* popup = QApplication::activePopupWidget()) target = popup;
    int qk = QtKeyOf(ezKey);
    QString text = ezKey == kKeySpace   ? " "
                   : ezKey == kKeyEnter ? "\r"
                   : ezKey == kKeyEsc   ? "\x1b"
                                        : "";
    QPointer<QWidget> guard(target);
    QKeyEvent press(QEvent::KeyPress, qk, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    if (guard) {
        QKeyEvent release(QEvent::KeyRelease, qk, Qt::NoModifier, text);
        QApplication::sendEvent(guard, &release);
    }
}

std::string Click(const std::string& form, int id) {
    if (QWidget* w = CtlWidget(form, id)) {
        if (std::string failure = Reach(form, id); !failure.empty()) return failure;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            b->click();
        } else if (w->property("ezLink").toBool()) {
            // A link label reacts to the mouse itself: press and release on it.
            QPointF at = QRectF(w->rect()).center();
            QPointF global = w->mapToGlobal(at);
            QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                              Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(w, &press);
            QApplication::sendEvent(w, &release);
        } else {
            Raise(form, id, EzEvent::Click);
        }
        return "";
    }
    if (QAction* a = FindAction(form, id)) {
        for (const auto& [menuId, menu] : FindForm(form)->popups) {
            if (menu && a->parent() == menu && !menu->isVisible())
                return "item " + form + "." + std::to_string(id) +
                       " of a context menu that is not open";
        }
        if (!a->isEnabled())
            return "menu item or tool button " + form + "." + std::to_string(id) + " is disabled";
        a->trigger();
        return "";
    }
    if (TriggerAccel(form, id)) return "";
    return "no control " + form + "." + std::to_string(id);
}

std::string DblClick(const std::string& form, int id, int row) {
    QWidget* w = CtlWidget(form, id);
    if (ez::IsListView(w)) {
        if (row >= 0 && !ListViewUserRow(form, id, row, false))
            return "no row " + std::to_string(row);
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        if (row >= 0 && row < l->count()) l->setCurrentRow(row);
    }
    Raise(form, id, EzEvent::DblClick, row);
    return "";
}

std::string RightClick(const std::string& form, int id, int row) {
    QWidget* w = CtlWidget(form, id);
    if (ez::IsListView(w) && row >= 0 && !EZ_LVISSELECTED(form, id, row))
        ListViewUserRow(form, id, row, false);
    Raise(form, id, EzEvent::RightClick, row);
    return "";
}

std::string Type(const std::string& form, int id, const std::string& text) {
    QWidget* w = CtlWidget(form, id);
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->isReadOnly()) return "text is read-only";
        e->setText(Q(text));
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (e->isReadOnly()) return "text is read-only";
        e->setPlainText(Q(text));
        e->moveCursor(QTextCursor::End);
    } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) {
        c->setEditText(Q(text));
    } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
        s->setValue(std::atoi(text.c_str()));
    } else {
        return "control does not take typing";
    }
    return "";
}

std::string SetCheck(const std::string& form, int id, bool on) {
    auto* b = qobject_cast<QAbstractButton*>(CtlWidget(form, id));
    if (b && b->isChecked() != on) b->click();
    return "";
}

std::string ToggleCheckCell(const std::string& form, int id, int row, int col) {
    ez::ListViewUserToggleCheck(form, id, row, col);
    return "";
}

bool Select(const std::string& form, int id, int index, const std::string& text) {
    QWidget* w = CtlWidget(form, id);
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (index < 0) index = c->findText(Q(text), Qt::MatchExactly);
        if (index < 0 || index >= c->count()) return false;
        c->setCurrentIndex(index);
        return true;
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        if (index < 0) {
            auto found = l->findItems(Q(text), Qt::MatchExactly);
            if (found.isEmpty()) return false;
            index = l->row(found.first());
        }
        if (index >= l->count()) return false;
        l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        return true;
    }
    if (ez::IsListView(w)) {
        if (index < 0) {
            for (int r = 0; r < EZ_LVROWCOUNT(form, id); ++r)
                if (EZ_LVGETCELL(form, id, r, 0) == text) {
                    index = r;
                    break;
                }
        }
        return index >= 0 && ListViewUserRow(form, id, index, false);
    }
    return false;
}

bool SelectRow(const std::string& form, int id, int row, bool extend) {
    return ListViewUserRow(form, id, row, extend);
}

std::string HeaderClick(const std::string& form, int id, int col) {
    auto* t = qobject_cast<QTreeView*>(CtlWidget(form, id));
    if (!t) return "";
    if (col < 0 || col >= t->header()->count()) return "no column";
    Q_EMIT t->header()->sectionClicked(col);
    return "";
}

std::string Key(const std::string& form, int id, int key) {
    if (key == kKeyF1 || key == kKeyF7) {
        if (id) EZ_SETFOCUS(form, id);
        if (!FireAccelerator(form, key)) return "form " + form + " has no accelerator for the key";
        return "";
    }
    if (!QtKeyOf(key)) return "unknown key";
    SendKey(form, id, key);
    return "";
}

bool Drag(const std::string& form, int id, int from, int to) {
    return ListBoxUserMove(form, id, from, to);
}

std::string SetDate(const std::string& form, int id, int y, int m, int d, int hour, int minute) {
    auto* e = qobject_cast<QDateTimeEdit*>(CtlWidget(form, id));
    if (!e) return "";
    QDateTime dt(QDate(y, m, d), QTime(hour, minute));
    if (!dt.isValid() || dt.date() < e->minimumDate() || dt.date() > e->maximumDate())
        return "date outside the picker's range";
    e->setDateTime(dt);
    return "";
}

void Close(const std::string& form) {
    if (Form* f = FindForm(form); f && f->win) f->win->close();
}

bool PressButton(const std::string& form, int id) {
    auto* b = qobject_cast<QAbstractButton*>(CtlWidget(form, id));
    if (!b) return false;
    b->click();
    return true;
}

bool TickBox(const std::string& form, int id) {
    auto* cb = qobject_cast<QAbstractButton*>(CtlWidget(form, id));
    if (!cb) return false;
    if (!cb->isChecked()) cb->click();
    return true;
}

}  // namespace robot_backend

// ---------------------------------------------------------------------------
// What a test reads back of the widgets.

Robot::FontFacts Robot::FontOf(int slot) {
    QFontInfo info(ez::FontSlot(slot));
    return {info.family().toStdString(), ez::FontSlot(slot).pointSizeF(), info.bold()};
}

std::string Robot::BaseFontFamily() {
    return QFontInfo(QApplication::font()).family().toStdString();
}

void Robot::ColourOf(int slot, int& r, int& g, int& b) {
    const QColor c = ez::ColourSlot(slot);
    r = c.red();
    g = c.green();
    b = c.blue();
}

std::string Robot::DialogFilter(const std::string& filter) {
    return ez::QtFilter(filter).toStdString();
}

bool Robot::HandCursor(const std::string& form, int id) {
    QWidget* w = ez::CtlWidget(form, id);
    return w && w->testAttribute(Qt::WA_SetCursor) && w->cursor().shape() == Qt::PointingHandCursor;
}

std::string Robot::ObjectName(const std::string& form, int id) {
    if (id == 0) {
        ez::Form* f = ez::FindForm(form);
        return f && f->win ? f->win->objectName().toStdString() : std::string();
    }
    QWidget* w = ez::CtlWidget(form, id);
    return w ? w->objectName().toStdString() : std::string();
}

bool Robot::ImageSize(const std::string& path, int& width, int& height) {
    QImage img(QString::fromStdString(path));
    if (img.isNull()) return false;
    width = img.width();
    height = img.height();
    return true;
}

bool Robot::PopupScreenshot(const std::string& pngPath) {
    QWidget* popup = QApplication::activePopupWidget();
    return popup && popup->grab().save(QString::fromStdString(pngPath), "PNG");
}

int Robot::CaptionRoom(const std::string& form, int id) {
    auto* b = qobject_cast<QAbstractButton*>(ez::CtlWidget(form, id));
    if (!b) return -1000;
    QString caption = b->text();
    caption.remove('&');
    const QStyle* st = b->style();
    const int needed = QFontMetrics(b->font()).horizontalAdvance(caption) +
                       st->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                       2 * st->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
    return b->width() - needed;
}

bool Robot::ColumnsFillWidth(const std::string& form, int id) {
    auto* t = qobject_cast<QTreeView*>(ez::CtlWidget(form, id));
    if (!t) return false;
    int total = 0;
    for (int i = 0; i < t->header()->count(); ++i)
        if (!t->isColumnHidden(i)) total += t->columnWidth(i);
    return total >= t->viewport()->width();
}

bool Robot::HeaderShown(const std::string& form, int id) {
    auto* t = qobject_cast<QTreeView*>(ez::CtlWidget(form, id));
    return t && !t->isHeaderHidden();
}

bool Robot::WideContentScrolls(const std::string& form, int id) {
    auto* v = qobject_cast<QAbstractItemView*>(ez::CtlWidget(form, id));
    if (!v) return false;
    int widest = 0;
    if (auto* l = qobject_cast<QListWidget*>(v)) {
        for (int i = 0; i < l->count(); ++i)
            widest = std::max(widest, l->visualItemRect(l->item(i)).width());
        // The text of the widest item, as the view's font draws it.
        const QFontMetrics fm(l->font());
        for (int i = 0; i < l->count(); ++i)
            widest = std::max(widest, fm.horizontalAdvance(l->item(i)->text()));
    } else if (auto* t = qobject_cast<QTreeView*>(v)) {
        for (int i = 0; i < t->header()->count(); ++i) widest += t->columnWidth(i);
    }
    if (widest <= v->viewport()->width()) return true;
    return v->horizontalScrollBar()->isVisible() && v->horizontalScrollBar()->maximum() > 0;
}

int Robot::CurrentRow(const std::string& form, int id) {
    auto* t = qobject_cast<QTreeView*>(ez::CtlWidget(form, id));
    if (!t || !ez::IsListView(t)) return -1;
    const QModelIndex cur = t->currentIndex();
    return cur.isValid() ? cur.row() : -1;
}

int Robot::QtCompareIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive);
}

void Robot::RelayoutListView(const std::string& form, int id) {
    ez::ListViewReset(form, id);
    if (auto* t = qobject_cast<QTreeView*>(ez::CtlWidget(form, id))) t->doItemsLayout();
}

void EzTestApp(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EnsureApp(argc, argv);
}
