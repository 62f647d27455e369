// The toolkit over Qt Widgets: application object, forms, event delivery,
// units, fonts, colours and the services (do-events, posted events, dialogs).
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "app/base/fs.h"
#include "app/toolkit/qt/ez_internal.h"
#include "app/toolkit/qt/ez_listview.h"

namespace ez {

namespace {

// The application object outlives every other toolkit record: it is created
// on first use and destroyed last, after the forms.
struct AppHolder {
    // Destroying a QApplication from an exit handler, after Qt's own statics
    // are gone, crashes: at process exit it is left to the system.
    ~AppHolder() { (void)app.release(); }
    std::unique_ptr<App> app;
    std::vector<std::string> args;
    std::vector<char*> argv;
    int argc = 0;
};
AppHolder& Holder() {
    static AppHolder h;
    return h;
}

QString ProbeFamily(const QStringList& wanted, const QString& fallback) {
    const QStringList have = QFontDatabase::families();
    for (const QString& w : wanted)
        for (const QString& h : have)
            if (h.compare(w, Qt::CaseInsensitive) == 0) return h;
    return fallback;
}

QString SansFamily() {
    static QString fam =
        ProbeFamily({"DejaVu Sans", "Noto Sans", "Liberation Sans"}, QApplication::font().family());
    return fam;
}

QString SymbolFamily() {
    static QString fam = ProbeFamily(
        {"Symbola", "Noto Sans Symbols", "Noto Sans Symbols2", "OpenSymbol"}, SansFamily());
    return fam;
}

void MeasureUnits() {
    QFontMetricsF fm(QApplication::font());
    S().colPx = fm.averageCharWidth() > 0 ? fm.averageCharWidth() : 7.0;
    S().rowPx = fm.lineSpacing() > 0 ? fm.lineSpacing() : 15.0;
}

}  // namespace

State& S() {
    static State s;
    return s;
}

bool HaveApp() {
    return Holder().app != nullptr && QApplication::instance() != nullptr;
}

void EnsureApp(int argc, char** argv) {
    if (QApplication::instance()) return;
    AppHolder& h = Holder();
    h.args.clear();
    for (int i = 0; i < argc && argv; ++i) h.args.emplace_back(argv[i]);
    if (h.args.empty()) h.args.emplace_back("vantrel");
    h.argv.clear();
    for (auto& a : h.args) h.argv.push_back(a.data());
    h.argv.push_back(nullptr);
    h.argc = static_cast<int>(h.args.size());
    h.app = std::make_unique<App>(h.argc, h.argv.data());
    QApplication::setQuitOnLastWindowClosed(false);
    // Fusion draws the same on every desktop and offscreen, so character units
    // and screenshots do not depend on the user's theme.
    if (QStyle* st = QStyleFactory::create("Fusion")) QApplication::setStyle(st);
    // The base font that defines the character units: DejaVu Sans 9 pt (a
    // font every Debian desktop has; fonts-dejavu-core).
    QFont base(SansFamily(), 9);
    QApplication::setFont(base);
    MeasureUnits();
    S().fonts[0] = base;
}

App::App(int& argc, char** argv) : QApplication(argc, argv) {}

Form* FindForm(const std::string& name) {
    auto it = S().forms.find(name);
    return it == S().forms.end() ? nullptr : it->second.get();
}

Ctl* FindCtl(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return nullptr;
    auto it = f->ctls.find(id);
    if (it == f->ctls.end() || !it->second.w) return nullptr;
    return &it->second;
}

QWidget* CtlWidget(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c ? c->w.data() : nullptr;
}

QAction* FindAction(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return nullptr;
    auto it = f->actions.find(id);
    return it == f->actions.end() ? nullptr : it->second.data();
}

uint64_t FormSerial(const std::string& form) {
    Form* f = FindForm(form);
    return f ? f->serial : 0;
}

int Raise(const std::string& form, int id, EzEvent ev, int64_t value) {
    int cancel = 0;
    if (S().event) S().event(form, id, ev, value, cancel);
    return cancel;
}

int ColsToPx(double cols) {
    return static_cast<int>(cols * S().colPx + 0.5);
}
int RowsToPx(double rows) {
    return static_cast<int>(rows * S().rowPx + 0.5);
}
double PxToCols(double px) {
    return px / S().colPx;
}
double PxToRows(double px) {
    return px / S().rowPx;
}

QString Q(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}
std::string U(const QString& s) {
    return s.toUtf8().toStdString();
}

QString ImagePath(const std::string& file) {
    if (file.empty()) return {};
    QFileInfo fi(Q(file));
    if (fi.isAbsolute()) return fi.exists() ? fi.filePath() : QString();
    QString folder = Q(S().imageFolder);
    if (QFileInfo(folder).isRelative()) folder = Q(EZ_APPPATH()) + folder;
    QString p = QDir(folder).filePath(Q(file));
    return QFileInfo::exists(p) ? p : QString();
}

QFont FontSlot(int slot) {
    auto it = S().fonts.find(slot);
    if (it != S().fonts.end()) return it->second;
    return QApplication::font();
}

QColor ColourSlot(int slot) {
    auto it = S().colours.find(slot);
    if (it != S().colours.end()) return it->second;
    switch (slot) {
        case 0:
            return QColor(0, 0, 0);
        case 4:
            return QColor(255, 0, 0);
        case 750:
            return QApplication::palette().color(QPalette::Button);
        default:
            return QColor(0, 0, 0);
    }
}

int KeyCodeOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyEnter;
        case Qt::Key_Escape:
            return kKeyEsc;
        case Qt::Key_Delete:
            return kKeyDelete;
        case Qt::Key_Space:
            return kKeySpace;
        case Qt::Key_F2:
            return kKeyF2;
        case Qt::Key_Up:
            return kKeyUp;
        case Qt::Key_Down:
            return kKeyDown;
        case Qt::Key_Tab:
            return kKeyTab;
        default:
            return 0;
    }
}

int QtKeyOf(int ezKey) {
    switch (ezKey) {
        case kKeyEnter:
            return Qt::Key_Return;
        case kKeyEsc:
            return Qt::Key_Escape;
        case kKeyDelete:
            return Qt::Key_Delete;
        case kKeySpace:
            return Qt::Key_Space;
        case kKeyF1:
            return Qt::Key_F1;
        case kKeyF2:
            return Qt::Key_F2;
        case kKeyF7:
            return Qt::Key_F7;
        case kKeyUp:
            return Qt::Key_Up;
        case kKeyDown:
            return Qt::Key_Down;
        case kKeyTab:
            return Qt::Key_Tab;
        default:
            return 0;
    }
}

bool ControlOf(QObject* o, std::string& form, int& id, bool walkUp) {
    for (QObject* cur = o; cur; cur = cur->parent()) {
        QVariant fv = cur->property("ezForm");
        if (fv.isValid()) {
            form = fv.toString().toStdString();
            id = cur->property("ezId").toInt();
            return FindForm(form) != nullptr;
        }
        if (!walkUp) return false;
        auto* w = qobject_cast<QWidget*>(cur);
        // Popups (combo lists, calendars, menus) are windows of their own:
        // their keys are not the control's keys.
        if (w && w->isWindow() && !dynamic_cast<FormWindow*>(w)) return false;
    }
    return false;
}

bool App::notify(QObject* receiver, QEvent* e) {
    switch (e->type()) {
        case QEvent::KeyPress: {
            auto* ke = static_cast<QKeyEvent*>(e);
            int code = KeyCodeOf(ke->key());
            std::string form;
            int id = 0;
            if (code && S().event && ControlOf(receiver, form, id, true)) {
                if (Raise(form, id, EzEvent::Key, code)) return true;
            }
            break;
        }
        case QEvent::FocusIn:
        case QEvent::FocusOut: {
            std::string form;
            int id = 0;
            if (S().event && ControlOf(receiver, form, id, false) && id != 0)
                Raise(form, id,
                      e->type() == QEvent::FocusIn ? EzEvent::GotFocus : EzEvent::LostFocus);
            break;
        }
        case QEvent::Enter: {
            std::string form;
            int id = 0;
            if (S().event && ControlOf(receiver, form, id, false) && id != 0)
                Raise(form, id, EzEvent::MouseOver);
            break;
        }
        case QEvent::ToolTip: {
            std::string form;
            int id = 0;
            if (S().event && ControlOf(receiver, form, id, false) && id != 0)
                Raise(form, id, EzEvent::ToolTip);
            break;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            auto* w = qobject_cast<QWidget*>(receiver);
            // A left click on a link label, released over it.
            if (w && w->property("ezLink").toBool() && me->button() == Qt::LeftButton &&
                w->rect().contains(me->position().toPoint()) && w->isEnabled() && S().event) {
                std::string form;
                int id = 0;
                if (ControlOf(w, form, id, false)) {
                    Raise(form, id, EzEvent::Click);
                    return true;
                }
            }
            // A left click in a list box, on an item (value: its row) or on the
            // empty area below the items (-1).
            auto* list = w ? qobject_cast<QListWidget*>(w->parentWidget()) : nullptr;
            std::string form;
            int id = 0;
            if (list && w == list->viewport() && me->button() == Qt::LeftButton && S().event &&
                ControlOf(list, form, id, false)) {
                bool r = QApplication::notify(receiver, e);
                QListWidgetItem* it = list->itemAt(me->position().toPoint());
                Raise(form, id, EzEvent::Click, it ? list->row(it) : -1);
                return r;
            }
            break;
        }
        case QEvent::ContextMenu: {
            // Right-click on the rows of a list view or list box.
            auto* w = qobject_cast<QWidget*>(receiver);
            QWidget* view = w ? w->parentWidget() : nullptr;
            std::string form;
            int id = 0;
            if (view && S().event && ControlOf(view, form, id, false)) {
                auto* ce = static_cast<QContextMenuEvent*>(e);
                if (auto* tree = qobject_cast<QTreeView*>(view);
                    tree && IsListView(tree) && w == tree->viewport()) {
                    const int row = ListViewRowAt(tree, ce->pos());
                    if (row >= 0 && !EZ_LVISSELECTED(form, id, row))
                        tree->setCurrentIndex(tree->indexAt(ce->pos()));
                    Raise(form, id, EzEvent::RightClick, row);
                    return true;
                }
                if (auto* list = qobject_cast<QListWidget*>(view); list && w == list->viewport()) {
                    QListWidgetItem* it = list->itemAt(ce->pos());
                    Raise(form, id, EzEvent::RightClick, it ? list->row(it) : -1);
                    return true;
                }
            }
            break;
        }
        case QEvent::Resize: {
            std::string form;
            int id = 0;
            if (S().event && ControlOf(receiver, form, id, false) && id != 0) {
                Ctl* c = FindCtl(form, id);
                if (c && c->kind == EzKind::ListView && FindForm(form)->loaded) {
                    bool r = QApplication::notify(receiver, e);
                    Raise(form, id, EzEvent::Resize, 0);
                    return r;
                }
            }
            break;
        }
        default:
            break;
    }
    return QApplication::notify(receiver, e);
}

// ---------------------------------------------------------------------------
// Form window
// ---------------------------------------------------------------------------
FormWindow::FormWindow(QWidget* parent, Qt::WindowFlags flags, std::string name)
    : QWidget(parent, flags), name_(std::move(name)) {
    setObjectName(Q(name_));
    setProperty("ezForm", Q(name_));
    setProperty("ezId", 0);
}

void FormWindow::closeEvent(QCloseEvent* e) {
    e->ignore();
    Form* f = FindForm(name_);
    if (!f || f->win != this) return;
    if (f->inClose) return;
    f->inClose = true;
    uint64_t serial = f->serial;
    int cancel = Raise(name_, 0, EzEvent::Close);
    f = FindForm(name_);
    if (!f || f->serial != serial) return;
    f->inClose = false;
    if (!cancel) EZ_DESTROYFORM(name_);
}

void FormWindow::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form* f = FindForm(name_);
    if (f && f->win == this && f->loaded) Raise(name_, 0, EzEvent::Resize);
}

void FormWindow::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange) return;
    Form* f = FindForm(name_);
    if (!f || f->win != this || !f->loaded) return;
    bool now = isActiveWindow();
    if (now && !f->active) {
        f->active = true;
        Raise(name_, 0, EzEvent::Activated);
    } else if (!now) {
        f->active = false;
    }
}

// "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*" -> Qt's "PDF Files (*.pdf);;All Files (*)".
QString QtFilter(const std::string& filter) {
    QStringList parts = Q(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i].trimmed();
        QString pat = parts[i + 1].trimmed().replace(';', ' ').replace("*.*", "*");
        if (desc.contains('(')) {
            desc = desc.left(desc.indexOf('(')).trimmed();
        }
        out << desc + " (" + pat + ")";
    }
    if (parts.size() == 1 && !parts[0].isEmpty()) out << parts[0];
    return out.join(";;");
}

}  // namespace ez

using namespace ez;

// ---------------------------------------------------------------------------
// Run
// ---------------------------------------------------------------------------
int EZ_GUIRUN(int argc, char** argv, EzStartProc start, EzEventProc event, EzDesignProc design) {
    EnsureApp(argc, argv);
    S().event = event;
    S().design = design;
    if (start) start();
    if (S().forms.empty()) return 0;
    QEventLoop loop;
    S().mainLoop = &loop;
    loop.exec();
    S().mainLoop = nullptr;
    // Forms still open (the loop was left some other way) go without prompts.
    while (!S().forms.empty()) EZ_DESTROYFORM(S().forms.begin()->first);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

bool EZ_ISRUNNING() {
    return HaveApp();
}

// ---------------------------------------------------------------------------
// Forms
// ---------------------------------------------------------------------------
namespace {

bool HasStyle(const std::string& style, char c) {
    for (char s : style)
        if (std::toupper(static_cast<unsigned char>(s)) == c) return true;
    return false;
}

QRect ScreenRect(QWidget* w) {
    QScreen* sc = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return sc ? sc->availableGeometry() : QRect(0, 0, 1024, 768);
}

void CentreWindow(FormWindow* win) {
    QWidget* parent = win->parentWidget();
    QRect area = parent && parent->isVisible() ? parent->window()->geometry() : ScreenRect(win);
    QSize sz = win->size();
    QPoint p(area.x() + (area.width() - sz.width()) / 2,
             area.y() + (area.height() - sz.height()) / 2);
    QRect scr = ScreenRect(win);
    p.setX(std::max(scr.left(), std::min(p.x(), scr.right() - sz.width())));
    p.setY(std::max(scr.top(), std::min(p.y(), scr.bottom() - sz.height())));
    win->move(p);
}

// The offscreen platform cannot raise windows (and says so on every call).
void RaiseWindow(QWidget* w) {
    static const bool canRaise = QGuiApplication::platformName() != "offscreen";
    if (canRaise) w->raise();
    w->activateWindow();
}

void ApplyFixedSize(Form* f) {
    if (f->resizable || !f->win) return;
    f->win->setFixedSize(f->win->size());
}

}  // namespace

void EZ_FORM(const std::string& name, const std::string& parent, const std::string& caption,
             double col, double row, double width, double height, const std::string& style) {
    if (name.empty()) return;
    if (!HaveApp()) {
        S().unshown.push_back("form " + name);
        return;
    }
    if (Form* existing = FindForm(name)) {
        EZ_BRINGTOFRONT(name);
        (void)existing;
        return;
    }
    Form* pf = parent.empty() ? nullptr : FindForm(parent);
    QWidget* parentWin = pf ? pf->win.data() : nullptr;

    auto rec = std::make_unique<Form>();
    Form* f = rec.get();
    f->name = name;
    f->parent = pf ? parent : std::string();
    f->serial = S().nextSerial++;
    f->resizable = HasStyle(style, 'R');
    // Modal over the parent; style "M" makes a form without a parent modal too.
    f->modal = (parentWin && !HasStyle(style, 'N')) || HasStyle(style, 'M');

    Qt::WindowFlags flags = parentWin ? Qt::Dialog : Qt::Window;
    if (HasStyle(style, 'T') || (parentWin && !f->resizable))
        flags =
            Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint;
    else if (!parentWin)
        flags |= Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;

    // The window is owned by its parent window when it has one (Qt deletes it
    // with the parent); a top-level form is deleted by EZ_DESTROYFORM.
    auto* win = new FormWindow(parentWin, flags, name);
    f->win = win;
    win->setAttribute(Qt::WA_DeleteOnClose, false);
    win->setWindowTitle(Q(caption));
    auto* layout = new QVBoxLayout(win);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    f->layout = layout;
    auto* client = new QWidget(win);
    client->setObjectName(Q(name + ".client"));
    layout->addWidget(client, 1);
    f->client = client;
    win->resize(std::max(1, ColsToPx(width)), std::max(1, RowsToPx(height)));
    if (f->modal) win->setWindowModality(parentWin ? Qt::WindowModal : Qt::ApplicationModal);

    S().forms[name] = std::move(rec);
    S().order.push_back(name);
    const uint64_t serial = f->serial;
    auto alive = [&]() {
        Form* g = FindForm(name);
        return g && g->serial == serial ? g : nullptr;
    };

    if (S().design) S().design(name);
    if (!(f = alive())) return;
    if (col < 0 || row < 0)
        CentreWindow(win);
    else
        win->move(ColsToPx(col), RowsToPx(row));
    f->loaded = true;
    Raise(name, 0, EzEvent::Loaded);
    if (!(f = alive())) return;
    ApplyFixedSize(f);
    win->show();
    RaiseWindow(win);
    Raise(name, 0, EzEvent::Shown);
    if (!(f = alive())) return;
    if (!f->active) {
        f->active = true;
        Raise(name, 0, EzEvent::Activated);
        if (!(f = alive())) return;
    }
    if (S().hooks.formShown) S().hooks.formShown(name, f->modal);
    if (!(f = alive())) return;
    if (f->modal) {
        QEventLoop loop;
        f->loop = &loop;
        ++S().modalDepth;
        // Do-events belongs to the code that called it, not to a modal form
        // opened meanwhile.
        int savedDoEvents = S().doEvents;
        S().doEvents = 0;
        loop.exec(QEventLoop::DialogExec);
        S().doEvents = savedDoEvents;
        --S().modalDepth;
    }
}

void EZ_DESTROYFORM(const std::string& name) {
    if (!HaveApp()) return;
    auto it = S().forms.find(name);
    if (it == S().forms.end()) return;
    // Forms opened over this one go first.
    std::vector<std::string> children;
    for (auto& [n, f] : S().forms)
        if (f->parent == name) children.push_back(n);
    for (const auto& c : children) EZ_DESTROYFORM(c);
    it = S().forms.find(name);
    if (it == S().forms.end()) return;
    std::unique_ptr<Form> rec = std::move(it->second);
    S().forms.erase(it);
    std::erase(S().order, name);
    if (rec->loop) rec->loop->quit();
    if (rec->win) {
        FormWindow* w = rec->win.data();
        w->hide();
        // A parent that is still shown gets the activation back.
        if (QWidget* p = w->parentWidget()) p->activateWindow();
        w->deleteLater();
    }
    Raise(name, 0, EzEvent::Unloaded);
    if (S().forms.empty() && S().mainLoop) S().mainLoop->quit();
}

void EZ_UNLOADFORM(const std::string& name) {
    Form* f = FindForm(name);
    if (!HaveApp() || !f) return;
    if (f->inClose) return;  // asked from the form's own Close handler: the close goes on
    const uint64_t serial = f->serial;
    f->inClose = true;
    int cancel = Raise(name, 0, EzEvent::Close);
    f = FindForm(name);
    if (!f || f->serial != serial) return;
    f->inClose = false;
    if (!cancel) EZ_DESTROYFORM(name);
}

void EZ_HIDEFORM(const std::string& name) {
    if (Form* f = FindForm(name); f && f->win) f->win->hide();
}

void EZ_SHOWFORM(const std::string& name) {
    if (Form* f = FindForm(name); f && f->win) {
        f->win->show();
        RaiseWindow(f->win);
    }
}

bool EZ_FORMEXISTS(const std::string& name) {
    return HaveApp() && FindForm(name) != nullptr;
}

std::string EZ_CURRENTFORM() {
    if (!HaveApp()) return "";
    // The innermost modal form wins; else the last form shown that is visible.
    for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
        Form* f = FindForm(*it);
        if (f && f->modal && f->win && f->win->isVisible()) return *it;
    }
    for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
        Form* f = FindForm(*it);
        if (f && f->win && f->win->isActiveWindow()) return *it;
    }
    for (auto it = S().order.rbegin(); it != S().order.rend(); ++it) {
        Form* f = FindForm(*it);
        if (f && f->win && f->win->isVisible()) return *it;
    }
    return S().order.empty() ? "" : S().order.back();
}

void EZ_SETFORMMINMAX(const std::string& name, double minW, double minH, double maxW, double maxH) {
    Form* f = FindForm(name);
    if (!f || !f->win) return;
    f->win->setMinimumSize(ColsToPx(minW), RowsToPx(minH));
    f->win->setMaximumSize(std::min(QWIDGETSIZE_MAX, ColsToPx(maxW)),
                           std::min(QWIDGETSIZE_MAX, RowsToPx(maxH)));
}

void EZ_GETFORMPLACE(const std::string& name, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
    Form* f = FindForm(name);
    if (!f || !f->win) return;
    QPoint p = f->win->pos();
    col = PxToCols(p.x());
    row = PxToRows(p.y());
    w = PxToCols(f->win->width());
    h = PxToRows(f->win->height());
}

void EZ_SETFORMPLACE(const std::string& name, double col, double row, double w, double h) {
    Form* f = FindForm(name);
    if (!f || !f->win) return;
    QSize sz(std::max(1, ColsToPx(w)), std::max(1, RowsToPx(h)));
    if (!f->resizable && f->loaded) f->win->setFixedSize(sz);
    f->win->resize(sz);
    f->win->move(ColsToPx(col), RowsToPx(row));
}

void EZ_CENTERFORM(const std::string& name) {
    Form* f = FindForm(name);
    if (f && f->win) CentreWindow(f->win);
}

void EZ_BRINGTOFRONT(const std::string& name) {
    Form* f = FindForm(name);
    if (!f || !f->win) return;
    if (f->win->isMinimized()) f->win->showNormal();
    f->win->show();
    RaiseWindow(f->win);
}

void EZ_SCREENSIZE(double& cols, double& rows) {
    cols = rows = 0;
    if (!HaveApp()) return;
    QRect r = ScreenRect(nullptr);
    cols = PxToCols(r.width());
    rows = PxToRows(r.height());
}

// ---------------------------------------------------------------------------
// Fonts, colours, units
// ---------------------------------------------------------------------------
void EZ_DEFFONT(int slot, const std::string& face, double points, const std::string& style) {
    if (!HaveApp()) return;
    QString fam = Q(face);
    if (HasStyle(style, 'S') || fam.compare("Wingdings", Qt::CaseInsensitive) == 0)
        fam = SymbolFamily();
    else if (fam.isEmpty() || fam.compare("Segoe UI", Qt::CaseInsensitive) == 0 ||
             fam.compare("MS Sans Serif", Qt::CaseInsensitive) == 0 ||
             fam.compare("Tahoma", Qt::CaseInsensitive) == 0 ||
             fam.compare("Arial", Qt::CaseInsensitive) == 0 ||
             !QFontDatabase::families().contains(fam, Qt::CaseInsensitive))
        fam = SansFamily();
    QFont font(fam);
    font.setPointSizeF(points > 0 ? points : 9);
    font.setBold(HasStyle(style, 'B'));
    font.setItalic(HasStyle(style, 'I'));
    S().fonts[slot] = font;
}

void EZ_DEFCOLOR(int slot, int r, int g, int b) {
    S().colours[slot] = QColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

namespace {
int LineCount(const std::string& text) {
    int n = 1;
    for (char c : text)
        if (c == '\n') ++n;
    return n;
}
}  // namespace

double EZ_TEXTWIDTH(int fontSlot, const std::string& text) {
    if (!HaveApp()) {
        double n = 0;
        for (unsigned char c : text)
            if ((c & 0xC0) != 0x80) n += 1;
        return n;
    }
    QFontMetricsF fm(FontSlot(fontSlot));
    double widest = 0;
    for (const QString& line : Q(text).split('\n'))
        widest = std::max(widest, fm.horizontalAdvance(line));
    return PxToCols(widest);
}

double EZ_TEXTHEIGHT(int fontSlot, const std::string& text) {
    if (!HaveApp()) return LineCount(text);
    QFontMetricsF fm(FontSlot(fontSlot));
    return PxToRows(fm.lineSpacing() * LineCount(text));
}

double EZ_PIXELSTOCOLS(int px) {
    return PxToCols(px);
}
int EZ_COLSTOPIXELS(double cols) {
    return ColsToPx(cols);
}

// ---------------------------------------------------------------------------
// Services
// ---------------------------------------------------------------------------
void EZ_DOEVENTS() {
    if (!HaveApp()) return;
    ++S().doEvents;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    --S().doEvents;
}

void EZ_PROGRESSEVENTS() {
    if (!HaveApp()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

std::vector<std::string> EZ_COMMANDARGS() {
    if (S().commandArgs) return *S().commandArgs;
    std::vector<std::string> args;
    if (!HaveApp()) return args;
    // Qt has taken its own options out of the list by now.
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) args.push_back(U(all[i]));
    return args;
}

void EZ_POSTEVENT(const std::string& form, int id, int64_t value) {
    if (!HaveApp()) return;
    const uint64_t serial = FormSerial(form);
    if (!serial) return;
    QTimer::singleShot(0, QApplication::instance(), [form, id, value, serial]() {
        if (FormSerial(form) == serial) Raise(form, id, EzEvent::Posted, value);
    });
}

std::string EZ_APPPATH() {
    if (!S().appPath.empty()) return S().appPath;
    if (HaveApp()) return WithSeparator(U(QCoreApplication::applicationDirPath()));
    const std::string folder = ExecutableFolder();
    return folder.empty() ? "./" : folder;
}

void EZ_SETAPPPATH(const std::string& folder) {
    S().appPath = WithSeparator(folder);
}

void EZ_SETIMAGEFOLDER(const std::string& folder) {
    S().imageFolder = folder;
}

void EZ_SETAPPIDENTITY(const std::string& name, const std::string& desktopId) {
    QCoreApplication::setApplicationName(Q(name));
    QGuiApplication::setDesktopFileName(Q(desktopId));
}

void EZ_SETAPPICON(const std::vector<std::string>& files) {
    if (!HaveApp()) return;
    QIcon icon;
    for (const std::string& f : files)
        if (QFileInfo::exists(Q(f))) icon.addFile(Q(f));
    if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

void EZ_MSGBOX(const std::string& parent, const std::string& text, const std::string& title) {
    if (!HaveApp()) {
        std::cerr << title << ": " << text << "\n";
        S().unshown.push_back("message box \"" + title + "\"");
        return;
    }
    if (S().hooks.msgBox && S().hooks.msgBox(title, text)) return;
    Form* pf = FindForm(parent);
    QMessageBox::warning(pf ? pf->win.data() : nullptr, Q(title), Q(text));
}

namespace {

std::string FileDialog(bool save, const std::string& parent, const std::string& title,
                       const std::string& folder, const std::string& fileName,
                       const std::string& filter) {
    if (!HaveApp()) {
        S().unshown.push_back("file dialog \"" + title + "\"");
        return "";
    }
    if (S().hooks.fileDialog) {
        if (auto answer = S().hooks.fileDialog(save ? "save" : "open", title)) return *answer;
    }
    Form* pf = FindForm(parent);
    QFileDialog dlg(pf ? pf->win.data() : nullptr, Q(title), Q(folder), QtFilter(filter));
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    if (save) {
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        // The program asks its own overwrite question.
        dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
        if (!fileName.empty()) dlg.selectFile(Q(fileName));
        QString suffix = QtFilter(filter).section('(', 1).section(')', 0, 0).section('.', 1, 1);
        if (!suffix.isEmpty() && suffix != "*") dlg.setDefaultSuffix(suffix);
    } else {
        dlg.setFileMode(QFileDialog::ExistingFile);
    }
    ++S().modalDepth;
    int rc = dlg.exec();
    --S().modalDepth;
    if (rc != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return "";
    return U(dlg.selectedFiles().first());
}

}  // namespace

std::string EZ_OPENFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& filter) {
    return FileDialog(false, parent, title, folder, "", filter);
}

std::string EZ_SAVEFILEDLG(const std::string& parent, const std::string& title,
                           const std::string& folder, const std::string& fileName,
                           const std::string& filter) {
    return FileDialog(true, parent, title, folder, fileName, filter);
}

int EZ_SENDEVENT(const std::string& form, int id, EzEvent ev, int64_t value) {
    return ez::Raise(form, id, ev, value);
}
