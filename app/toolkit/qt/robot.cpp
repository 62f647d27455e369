// The GUI test robot: plays queued steps from the event loop (a self re-arming
// timer), so that steps after one that opens a modal form run inside that
// form's own loop; answers message boxes and file dialogs from expectations.
#include "app/toolkit/robot.h"

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
#include <deque>

#include "app/toolkit/ez_forms.h"
#include "app/toolkit/qt/ez_internal.h"
#include "app/toolkit/qt/ez_listview.h"

using namespace ez;

namespace {

void (*&ProgramStart())() {
    static void (*start)() = nullptr;
    return start;
}

RobotMessageBox& MessageBoxForm() {
    static RobotMessageBox box;
    return box;
}

enum class Wait { None, FormExists, FormGone, MsgBox };

struct Step {
    std::string desc;
    std::string form;
    Wait wait = Wait::None;
    bool expectMsg = false;
    bool passive = false;  // a Do step: runs at once, never waits
    std::function<void()> act;
};

bool Usable(QWidget* w) {
    return w && w->isEnabled() && w->isVisible();
}

// What a user's key press or drag does, as the toolkit would take it.

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

}  // namespace

struct Robot::Impl {
    std::vector<Step> steps;
    size_t next = 0;
    std::vector<std::string> errors;
    std::vector<std::string> titles;
    std::vector<std::string> texts;
    std::deque<std::string> saveAnswers;
    std::deque<std::string> openAnswers;
    std::unique_ptr<Platform> previous;
    RecordingPlatform* recording = nullptr;
    QTimer timer;
    QEventLoop* runLoop = nullptr;
    bool running = false;
    QElapsedTimer clock;
    int timeoutMs = 20000;
    int stepWaitMs = 8000;
    qint64 waitStart = -1;
    uint64_t handledBox = 0;
    int baseModalDepth = 0;
    int endTicks = 0;

    // One line per error (message texts may hold line breaks).
    void Error(std::string e) {
        for (char& c : e)
            if (c == '\n') c = '|';
        errors.push_back(std::move(e));
    }
    void Arm() {
        if (running) timer.start(10);
    }

    std::string Where() const {
        if (next == 0 || next > steps.size()) return "";
        return "step " + std::to_string(next) + " (" + steps[next - 1].desc + "): ";
    }

    void RecordBox() {
        titles.push_back(EZ_GETTEXT(MessageBoxForm().form, 0));
        texts.push_back(EZ_GETTEXT(MessageBoxForm().form, MessageBoxForm().text1Id));
    }

    // Esc, as a person would; a box that ignores Esc is taken down.
    void DismissBox() {
        uint64_t serial = FormSerial(MessageBoxForm().form);
        SendKey(MessageBoxForm().form, 0, kKeyEsc);
        if (serial && FormSerial(MessageBoxForm().form) == serial)
            EZ_DESTROYFORM(MessageBoxForm().form);
    }

    static void SendKey(const std::string& form, int id, int ezKey) {
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

    bool Ready(const Step& s) const {
        switch (s.wait) {
            case Wait::None:
                return true;
            case Wait::FormExists: {
                Form* f = FindForm(s.form);
                return f && f->loaded;
            }
            case Wait::FormGone:
                return !FindForm(s.form);
            case Wait::MsgBox: {
                uint64_t serial = FormSerial(MessageBoxForm().form);
                return serial && serial != handledBox;
            }
        }
        return true;
    }

    // The innermost modal form opened while the robot plays, if any.
    std::string InnermostModal() const {
        for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
            Form* f = FindForm(*it);
            if (f && f->loop) return *it;
        }
        return "";
    }

    void Finish() {
        // Steps are over: modal forms still open must go so that the stack of
        // nested loops unwinds back to Run.
        if (S().modalDepth > baseModalDepth) {
            std::string m = InnermostModal();
            Arm();
            if (!m.empty()) EZ_DESTROYFORM(m);
            return;
        }
        // One more tick lets posted follow-up work (and a prompt it shows) happen.
        if (endTicks++ < 2) {
            Arm();
            return;
        }
        for (const auto& a : saveAnswers) Error("save dialog answer not used: \"" + a + "\"");
        for (const auto& a : openAnswers) Error("open dialog answer not used: \"" + a + "\"");
        saveAnswers.clear();
        openAnswers.clear();
        running = false;
        timer.stop();
        if (runLoop) runLoop->quit();
    }

    void Abort(const std::string& why) {
        Error(why);
        next = steps.size() + 1;
    }

    void Pump() {
        if (!running) return;
        if (S().doEvents > 0) {  // the program is letting events run: wait
            Arm();
            return;
        }
        if (clock.elapsed() > timeoutMs) {
            if (next <= steps.size())
                Abort("timed out after " + std::to_string(timeoutMs) + " ms at " + Where());
            Arm();
            Finish();
            return;
        }
        uint64_t box = FormSerial(MessageBoxForm().form);
        if (box && box != handledBox) {
            // Do steps queued before an ExpectMsg run first; they do not make
            // the box unexpected.
            size_t k = next;
            while (k < steps.size() && steps[k].passive) ++k;
            bool expected = k < steps.size() && steps[k].expectMsg;
            if (!expected) {
                handledBox = box;
                RecordBox();
                Error("unexpected prompt: " + titles.back() + " / " + texts.back());
                Arm();
                DismissBox();
                return;
            }
        }
        if (next >= steps.size()) {
            Finish();
            return;
        }
        endTicks = 0;
        Step& s = steps[next];
        if (!Ready(s)) {
            if (waitStart < 0) waitStart = clock.elapsed();
            if (clock.elapsed() - waitStart > stepWaitMs) {
                waitStart = -1;
                std::string what = s.wait == Wait::MsgBox ? "no message box appeared"
                                   : s.wait == Wait::FormGone
                                       ? "form " + s.form + " did not close"
                                       : "form " + s.form + " did not appear";
                ++next;
                Abort(Where() + what);
            }
            Arm();
            return;
        }
        waitStart = -1;
        std::function<void()> act = s.act;
        ++next;
        Arm();
        if (act) act();
    }

    void Add(std::string desc, std::string form, Wait wait, std::function<void()> act,
             bool expectMsg = false) {
        Step s;
        s.desc = std::move(desc);
        s.form = std::move(form);
        s.wait = wait;
        s.act = std::move(act);
        s.expectMsg = expectMsg;
        steps.push_back(std::move(s));
    }

    // A control the user can reach, else an error.
    QWidget* Reach(const std::string& form, int id) {
        QWidget* w = CtlWidget(form, id);
        if (!w) {
            Error(Where() + "no control " + form + "." + std::to_string(id));
            return nullptr;
        }
        if (!Usable(w)) {
            Error(Where() + "control " + form + "." + std::to_string(id) +
                  (w->isEnabled() ? " is hidden" : " is disabled"));
            return nullptr;
        }
        return w;
    }
};

// ---------------------------------------------------------------------------
Robot::Robot() : impl_(std::make_unique<Impl>()) {
    EzTestApp();
    auto rec = std::make_unique<RecordingPlatform>();
    impl_->recording = rec.get();
    impl_->previous = SetPlatform(std::move(rec));
    impl_->timer.setSingleShot(true);
    Impl* im = impl_.get();
    QObject::connect(&impl_->timer, &QTimer::timeout, [im]() { im->Pump(); });

    S().hooks.fileDialog = [im](const std::string& kind,
                                const std::string& title) -> std::optional<std::string> {
        auto& q = kind == "save" ? im->saveAnswers : im->openAnswers;
        if (q.empty()) {
            im->Error("unexpected " + kind + " dialog: " + title);
            return std::string();
        }
        std::string a = q.front();
        q.pop_front();
        return a;
    };
    S().hooks.msgBox = [im](const std::string& title, const std::string& text) {
        im->titles.push_back(title);
        im->texts.push_back(text);
        size_t k = im->next;
        while (k < im->steps.size() && im->steps[k].passive) ++k;
        if (k < im->steps.size() && im->steps[k].expectMsg &&
            title.find(im->steps[k].form) != std::string::npos) {
            // The ExpectMsg step is answered by this box; Do steps before it
            // still run.
            im->steps[k].wait = Wait::None;
            im->steps[k].act = nullptr;
            im->steps[k].expectMsg = false;
        } else {
            im->Error("unexpected message: " + title + " / " + text);
        }
        return true;
    };
    S().hooks.formShown = [im](const std::string& form, bool modal) {
        if (!modal || im->running) return;
        // Nobody would answer a modal form opened outside Run: it would block
        // the test for ever. Record it and take it down.
        if (form == MessageBoxForm().form) {
            im->RecordBox();
            im->Error("unexpected prompt: " + im->titles.back() + " / " + im->texts.back());
        } else {
            im->Error("modal form " + form + " opened while no steps were running");
        }
        const uint64_t serial = FormSerial(form);
        QTimer::singleShot(0, [form, serial]() {
            if (FormSerial(form) == serial) EZ_DESTROYFORM(form);
        });
    };
}

Robot::~Robot() {
    impl_->running = false;
    impl_->timer.stop();
    S().hooks = Hooks{};
    while (!S().forms.empty())
        EZ_DESTROYFORM(S().order.empty() ? S().forms.begin()->first : S().order.back());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    SetPlatform(std::move(impl_->previous));
}

RecordingPlatform& Robot::platform() {
    return *impl_->recording;
}

void Robot::Start() {
    Impl* im = impl_.get();
    impl_->Add("start", "", Wait::None, [im]() {
        if (ProgramStart())
            ProgramStart()();
        else
            im->Error("start: no program start was set (EzTestInit sets it)");
    });
}

void Robot::OpenForm(const std::string& name, const std::string& parent, const std::string& caption,
                     double w, double h) {
    impl_->Add("open " + name, parent, parent.empty() ? Wait::None : Wait::FormExists,
               [=]() { EZ_FORM(name, parent, caption, -1, -1, w, h); });
}

void Robot::Click(const std::string& form, int id) {
    Impl* im = impl_.get();
    impl_->Add("click " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        if (QWidget* w = CtlWidget(form, id)) {
            if (!im->Reach(form, id)) return;
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                b->click();
            } else if (w->property("ezLink").toBool()) {
                // A link label reacts to the mouse itself: press and release on it.
                QPointF at = QRectF(w->rect()).center();
                QPointF global = w->mapToGlobal(at);
                QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                  Qt::LeftButton, Qt::NoModifier);
                QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                    Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(w, &press);
                QApplication::sendEvent(w, &release);
            } else {
                Raise(form, id, EzEvent::Click);
            }
            return;
        }
        if (QAction* a = FindAction(form, id)) {
            for (const auto& [menuId, menu] : FindForm(form)->popups) {
                if (menu && a->parent() == menu && !menu->isVisible()) {
                    im->Error(im->Where() + "item " + form + "." + std::to_string(id) +
                              " of a context menu that is not open");
                    return;
                }
            }
            if (!a->isEnabled()) {
                im->Error(im->Where() + "menu item or tool button " + form + "." +
                          std::to_string(id) + " is disabled");
                return;
            }
            a->trigger();
            return;
        }
        if (TriggerAccel(form, id)) return;
        im->Error(im->Where() + "no control " + form + "." + std::to_string(id));
    });
}

void Robot::DblClick(const std::string& form, int id, int row) {
    Impl* im = impl_.get();
    impl_->Add("dblclick " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        QWidget* w = im->Reach(form, id);
        if (!w) return;
        if (ez::IsListView(w)) {
            if (row >= 0 && !ListViewUserRow(form, id, row, false)) {
                im->Error(im->Where() + "no row " + std::to_string(row));
                return;
            }
        } else if (auto* l = qobject_cast<QListWidget*>(w)) {
            if (row >= 0 && row < l->count()) l->setCurrentRow(row);
        }
        Raise(form, id, EzEvent::DblClick, row);
    });
}

void Robot::RightClick(const std::string& form, int id, int row) {
    Impl* im = impl_.get();
    impl_->Add("rightclick " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        QWidget* w = im->Reach(form, id);
        if (!w) return;
        if (ez::IsListView(w) && row >= 0 && !EZ_LVISSELECTED(form, id, row))
            ListViewUserRow(form, id, row, false);
        Raise(form, id, EzEvent::RightClick, row);
    });
}

void Robot::Type(const std::string& form, int id, const std::string& text) {
    Impl* im = impl_.get();
    impl_->Add("type " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        QWidget* w = im->Reach(form, id);
        if (!w) return;
        w->setFocus(Qt::OtherFocusReason);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            if (e->isReadOnly()) return im->Error(im->Where() + "text is read-only");
            e->setText(Q(text));
        } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
            if (e->isReadOnly()) return im->Error(im->Where() + "text is read-only");
            e->setPlainText(Q(text));
            e->moveCursor(QTextCursor::End);
        } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->isEditable()) {
            c->setEditText(Q(text));
        } else if (auto* s = qobject_cast<QSpinBox*>(w)) {
            s->setValue(std::atoi(text.c_str()));
        } else {
            im->Error(im->Where() + "control does not take typing");
        }
    });
}

void Robot::SetCheck(const std::string& form, int id, bool on) {
    Impl* im = impl_.get();
    impl_->Add("check " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        auto* b = qobject_cast<QAbstractButton*>(im->Reach(form, id));
        if (!b) return;
        if (b->isChecked() != on) b->click();
    });
}

void Robot::ToggleCheckCell(const std::string& form, int id, int row, int col) {
    Impl* im = impl_.get();
    impl_->Add("toggle check " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        if (!im->Reach(form, id)) return;
        ez::ListViewUserToggleCheck(form, id, row, col);
    });
}

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

namespace {

bool SelectIn(QWidget* w, const std::string& form, int id, int index, const std::string& text) {
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

}  // namespace

void Robot::SelectItem(const std::string& form, int id, const std::string& text) {
    Impl* im = impl_.get();
    impl_->Add("select " + form + "." + std::to_string(id) + " \"" + text + "\"", form,
               Wait::FormExists, [=]() {
                   QWidget* w = im->Reach(form, id);
                   if (w && !SelectIn(w, form, id, -1, text))
                       im->Error(im->Where() + "no item \"" + text + "\"");
               });
}

void Robot::SelectIndex(const std::string& form, int id, int index) {
    Impl* im = impl_.get();
    impl_->Add("select " + form + "." + std::to_string(id) + " #" + std::to_string(index), form,
               Wait::FormExists, [=]() {
                   QWidget* w = im->Reach(form, id);
                   if (w && (index < 0 || !SelectIn(w, form, id, index, "")))
                       im->Error(im->Where() + "no item " + std::to_string(index));
               });
}

void Robot::SelectRow(const std::string& form, int id, int row, bool extend) {
    Impl* im = impl_.get();
    impl_->Add("select-row " + form + "." + std::to_string(id) + " " + std::to_string(row), form,
               Wait::FormExists, [=]() {
                   if (!im->Reach(form, id)) return;
                   if (!ListViewUserRow(form, id, row, extend))
                       im->Error(im->Where() + "no row " + std::to_string(row));
               });
}

void Robot::HeaderClick(const std::string& form, int id, int col) {
    Impl* im = impl_.get();
    impl_->Add("header-click " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        auto* t = qobject_cast<QTreeView*>(im->Reach(form, id));
        if (!t) return;
        if (col < 0 || col >= t->header()->count()) return im->Error(im->Where() + "no column");
        Q_EMIT t->header()->sectionClicked(col);
    });
}

void Robot::Key(const std::string& form, int id, int key) {
    Impl* im = impl_.get();
    impl_->Add(
        "key " + form + "." + std::to_string(id) + " " + std::to_string(key), form,
        Wait::FormExists, [=]() {
            if (id != 0 && !im->Reach(form, id)) return;
            if (key == kKeyF1 || key == kKeyF7) {
                if (id) EZ_SETFOCUS(form, id);
                if (!FireAccelerator(form, key))
                    im->Error(im->Where() + "form " + form + " has no accelerator for the key");
                return;
            }
            if (!QtKeyOf(key)) return im->Error(im->Where() + "unknown key");
            Impl::SendKey(form, id, key);
        });
}

void Robot::Drag(const std::string& form, int id, int fromIndex, int toIndex) {
    Impl* im = impl_.get();
    impl_->Add("drag " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        if (!im->Reach(form, id)) return;
        if (!ListBoxUserMove(form, id, fromIndex, toIndex))
            im->Error(im->Where() + "cannot drag item " + std::to_string(fromIndex) + " to " +
                      std::to_string(toIndex));
    });
}

void Robot::SetDate(const std::string& form, int id, int y, int m, int d, int hour, int minute) {
    Impl* im = impl_.get();
    impl_->Add("set-date " + form + "." + std::to_string(id), form, Wait::FormExists, [=]() {
        auto* e = qobject_cast<QDateTimeEdit*>(im->Reach(form, id));
        if (!e) return;
        QDateTime dt(QDate(y, m, d), QTime(hour, minute));
        if (!dt.isValid() || dt.date() < e->minimumDate() || dt.date() > e->maximumDate())
            return im->Error(im->Where() + "date outside the picker's range");
        e->setDateTime(dt);
    });
}

void Robot::Close(const std::string& form) {
    impl_->Add("close " + form, form, Wait::FormExists, [=]() {
        if (Form* f = FindForm(form); f && f->win) f->win->close();
    });
}

void Robot::WaitForm(const std::string& form) {
    impl_->Add("wait-form " + form, form, Wait::FormExists, nullptr);
}

void Robot::WaitGone(const std::string& form) {
    impl_->Add("wait-gone " + form, form, Wait::FormGone, nullptr);
}

void Robot::Screenshot(const std::string& form, const std::string& pngPath) {
    Impl* im = impl_.get();
    impl_->Add("shot " + form, form, Wait::FormExists, [=]() {
        if (!EZ_SCREENSHOT(form, pngPath)) im->Error(im->Where() + "screenshot failed: " + pngPath);
    });
}

void Robot::ExpectMsg(const std::string& titlePart, int answer, bool checkBox) {
    Impl* im = impl_.get();
    // The title part rides in the step's form field for the toolkit box hook.
    impl_->Add(
        "expect-msg \"" + titlePart + "\"", titlePart, Wait::MsgBox,
        [=]() {
            im->handledBox = FormSerial(MessageBoxForm().form);
            im->RecordBox();
            const std::string title = im->titles.back();
            if (title.find(titlePart) == std::string::npos)
                im->Error(im->Where() + "got prompt: " + title + " / " + im->texts.back());
            if (checkBox) {
                auto* cb = qobject_cast<QAbstractButton*>(
                    CtlWidget(MessageBoxForm().form, MessageBoxForm().checkId));
                if (!cb)
                    im->Error(im->Where() + "the prompt has no check box");
                else if (!cb->isChecked())
                    cb->click();
            }
            if (answer == 99) {
                im->DismissBox();
                return;
            }
            auto* b = qobject_cast<QAbstractButton*>(
                CtlWidget(MessageBoxForm().form, MessageBoxForm().firstButtonId + answer - 1));
            if (!b) {
                im->Error(im->Where() + "the prompt has no button " + std::to_string(answer));
                im->DismissBox();
                return;
            }
            b->click();
        },
        true);
}

void Robot::Do(std::function<void()> fn) {
    impl_->Add("do", "", Wait::None, std::move(fn));
    impl_->steps.back().passive = true;
}

void Robot::ExpectSaveDialog(const std::string& path) {
    impl_->saveAnswers.push_back(path);
}
void Robot::ExpectOpenDialog(const std::string& path) {
    impl_->openAnswers.push_back(path);
}

void Robot::Run(int timeoutMs) {
    Impl* im = impl_.get();
    if (im->running) {
        im->Error("Run called while the robot is running");
        return;
    }
    im->timeoutMs = timeoutMs;
    im->stepWaitMs = std::min(8000, timeoutMs * 2 / 3);
    im->running = true;
    im->endTicks = 0;
    im->waitStart = -1;
    im->baseModalDepth = S().modalDepth;
    im->clock.start();
    QEventLoop loop;
    im->runLoop = &loop;
    im->timer.start(0);
    loop.exec();
    im->runLoop = nullptr;
    im->running = false;
    im->timer.stop();
    // Steps queued later start after the ones played now.
    if (im->next > im->steps.size()) im->next = im->steps.size();
}

bool Robot::Ok() const {
    return impl_->errors.empty();
}

std::string Robot::Errors() const {
    std::string out;
    for (const auto& e : impl_->errors) out += e + "\n";
    return out;
}

const std::vector<std::string>& Robot::MessageTitles() const {
    return impl_->titles;
}
const std::vector<std::string>& Robot::MessageTexts() const {
    return impl_->texts;
}

void EzTestApp(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    EnsureApp(argc, argv);
}

void SetRobotStart(void (*start)()) {
    ProgramStart() = start;
}

void SetRobotMessageBox(const RobotMessageBox& box) {
    MessageBoxForm() = box;
}
