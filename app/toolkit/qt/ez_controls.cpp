// The toolkit's controls: creation, menus, toolbar, status bar, accelerators
// and the access functions for text, state, list boxes and combos, date-time
// pickers, up-downs, progress bars, rich text, pictures and pages.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDateTimeEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <climits>

#include "app/toolkit/qt/ez_internal.h"
#include "app/toolkit/qt/ez_listview.h"

namespace ez {

namespace {

bool Has(const std::string& style, char c) {
    for (char s : style)
        if (std::toupper(static_cast<unsigned char>(s)) == c) return true;
    return false;
}

// A UTF-8 byte offset into text -> a QString index.
int QIndexOfByte(const std::string& text, int byteOffset) {
    byteOffset = std::clamp(byteOffset, 0, static_cast<int>(text.size()));
    return static_cast<int>(Q(text.substr(0, static_cast<size_t>(byteOffset))).size());
}

int ByteOfQIndex(const QString& text, int qIndex) {
    qIndex = std::clamp(qIndex, 0, static_cast<int>(text.size()));
    return static_cast<int>(text.left(qIndex).toUtf8().size());
}

std::string NoCR(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s)
        if (c != '\r') out += c;
    return out;
}

void Register(QWidget* w, const std::string& form, int id) {
    w->setObjectName(Q(form + "." + std::to_string(id)));
    w->setProperty("ezForm", Q(form));
    w->setProperty("ezId", id);
}

// Qt shows "&" as a mnemonic only when the label has a buddy: the buddy is the
// next control created after the label, as in a dialog's tab order.
void GiveBuddy(Form* f, QWidget* w) {
    if (f->pendingBuddy && w->focusPolicy() != Qt::NoFocus) {
        f->pendingBuddy->setBuddy(w);
        f->pendingBuddy = nullptr;
    }
}

bool IsListViewCtl(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c && c->kind == EzKind::ListView;
}

QToolBar* ToolbarOf(Form* f, int toolbarId) {
    auto it = f->ctls.find(toolbarId);
    if (it == f->ctls.end() || it->second.kind != EzKind::Toolbar || !it->second.w) return nullptr;
    return static_cast<QToolBar*>(it->second.w.data());
}

void ShowSbText(Ctl* c, int part) {
    if (part < 0 || part >= static_cast<int>(c->sbParts.size()) || !c->sbParts[part]) return;
    std::string t = c->sbTexts[part];
    Qt::Alignment al = Qt::AlignLeft | Qt::AlignVCenter;
    if (!t.empty() && t[0] == '\t') {
        t.erase(0, 1);
        al = Qt::AlignCenter;
    }
    c->sbParts[part]->setAlignment(al);
    c->sbParts[part]->setText(Q(t));
}

QDateTimeEdit* DateEdit(const std::string& form, int id) {
    Ctl* c = FindCtl(form, id);
    return c && c->kind == EzKind::DateTime ? static_cast<QDateTimeEdit*>(c->w.data()) : nullptr;
}

// "MM-dd-yyyy hh:mm tt" style formats read as Qt formats.
QString QtDateFormat(const std::string& fmt) {
    QString f = Q(fmt);
    f.replace("tt", "AP");
    return f;
}

}  // namespace

}  // namespace ez

// ---------------------------------------------------------------------------
// Control kinds: one adapter per EzKind makes the widget and reads and sets
// the control's text, so that a kind's behaviour is found in one place.
// ---------------------------------------------------------------------------
namespace ez {

namespace {

// What EZ_CONTROL hands a kind's maker.
struct Making {
    Form* f;
    QWidget* client;
    const std::string& form;
    int id;
    EzKind kind;
    const std::string& text;
    const std::string& style;
    double w;
    double h;
    Ctl& ctl;
};

// Where a kind's widget goes: on the character grid, docked above or below it
// (toolbar, status bar), or on the grid and filling it when given no size (page).
enum class Place { Grid, Docked, GridOrFill };

struct Adapter {
    EzKind kind;
    QWidget* (*make)(const Making& m);
    // The text as EZ_GETTEXT reports it.
    std::string (*text)(const Ctl& c, const std::string& form);
    // Shows a text set with EZ_SETTEXT (Ctl::text already holds it).
    void (*setText)(Ctl& c, const std::string& form, const std::string& text);
    Place place = Place::Grid;
};

// Raises Change for an edit the user made (not the program's own, see Quiet).
auto ChangeRaiser(const std::string& form, int id) {
    return [form, id]() {
        if (!IsQuiet()) Raise(form, id, EzEvent::Change);
    };
}

// The text as the program set it (labels, pictures, toolbars, pages).
std::string StoredText(const Ctl& c, const std::string&) {
    return c.text;
}
// Kinds that do not show a text set to them (date pickers, list views,
// toolbars, pages): it is only kept in Ctl::text.
void KeepText(Ctl&, const std::string&, const std::string&) {}

// Buttons, check boxes and radio buttons.
template <typename Button>
QWidget* MakeClickable(const Making& m) {
    auto* b = new Button(Q(m.text), m.client);
    const std::string form = m.form;
    const int id = m.id;
    QObject::connect(b, &QAbstractButton::clicked, b,
                     [form, id]() { Raise(form, id, EzEvent::Click); });
    return b;
}
QWidget* MakeButton(const Making& m) {
    auto* b = static_cast<QPushButton*>(MakeClickable<QPushButton>(m));
    b->setAutoDefault(false);
    return b;
}
QWidget* MakeRadio(const Making& m) {
    auto* r = static_cast<QRadioButton*>(MakeClickable<QRadioButton>(m));
    if (Has(m.style, 'G') || !m.f->radioGroup) {
        m.f->radioGroup = new QButtonGroup(m.client);
        m.f->radioGroup->setExclusive(true);
    }
    m.f->radioGroup->addButton(r);
    return r;
}
std::string ButtonText(const Ctl& c, const std::string&) {
    return U(static_cast<QAbstractButton*>(c.w.data())->text());
}
void SetButtonText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QAbstractButton*>(c.w.data())->setText(Q(text));
}

QWidget* MakeLabel(const Making& m) {
    auto* l = new QLabel(Q(m.text), m.client);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Has(m.style, 'C')   ? Qt::AlignHCenter | Qt::AlignVCenter
                    : Has(m.style, 'R') ? Qt::AlignRight | Qt::AlignVCenter
                                        : Qt::AlignLeft | Qt::AlignVCenter);
    l->setWordWrap(Has(m.style, 'W'));
    if (Has(m.style, 'L')) {
        // A link: underlined in the link colour, a pointing hand over it, and
        // a left click raises Click (see App::notify).
        QFont font = l->font();
        font.setUnderline(true);
        l->setFont(font);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
        l->setPalette(pal);
        l->setCursor(Qt::PointingHandCursor);
        l->setProperty("ezLink", true);
    }
    if (m.text.find('&') != std::string::npos) {
        l->setBuddy(l);  // mnemonic shown; the real buddy comes next
        m.f->pendingBuddy = l;
    }
    return l;
}
void SetLabelText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QLabel*>(c.w.data())->setText(Q(text));
}

QWidget* MakeFrame(const Making& m) {
    return new QGroupBox(Q(m.text), m.client);
}
std::string FrameText(const Ctl& c, const std::string&) {
    return U(static_cast<QGroupBox*>(c.w.data())->title());
}
void SetFrameText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QGroupBox*>(c.w.data())->setTitle(Q(text));
}

// Text boxes: a line edit, or with style "M" a multi-line box whose limit
// (EZ_SETTEXTLIMIT) is kept by cutting what goes beyond it.
QWidget* MakeText(const Making& m) {
    if (!Has(m.style, 'M')) {
        auto* e = new QLineEdit(Q(m.text), m.client);
        e->setReadOnly(Has(m.style, 'R'));
        if (Has(m.style, 'P')) e->setEchoMode(QLineEdit::Password);
        if (Has(m.style, 'C')) e->setAlignment(Qt::AlignHCenter);
        QObject::connect(e, &QLineEdit::textChanged, e, ChangeRaiser(m.form, m.id));
        return e;
    }
    auto* e = new QPlainTextEdit(m.client);
    e->setPlainText(Q(NoCR(m.text)));
    e->setReadOnly(Has(m.style, 'R'));
    e->setTabChangesFocus(true);
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [raise = ChangeRaiser(m.form, m.id), e]() {
        int limit = e->property("ezLimit").toInt();
        if (limit > 0 && e->toPlainText().size() > limit) {
            Quiet q;
            QTextCursor cur = e->textCursor();
            e->setPlainText(e->toPlainText().left(limit));
            cur.setPosition(limit);
            e->setTextCursor(cur);
        }
        raise();
    });
    return e;
}
std::string TextText(const Ctl& c, const std::string&) {
    if (auto* e = qobject_cast<QPlainTextEdit*>(c.w)) return U(e->toPlainText());
    return U(static_cast<QLineEdit*>(c.w.data())->text());
}
void SetTextText(Ctl& c, const std::string&, const std::string& text) {
    if (auto* e = qobject_cast<QPlainTextEdit*>(c.w))
        e->setPlainText(Q(NoCR(text)));
    else
        static_cast<QLineEdit*>(c.w.data())->setText(Q(text));
}

// Drop-down lists; ComboEdit adds an editable text.
QWidget* MakeCombo(const Making& m) {
    auto* c = new QComboBox(m.client);
    c->setEditable(m.kind == EzKind::ComboEdit);
    c->setMaxVisibleItems(15);
    QObject::connect(c, &QComboBox::currentIndexChanged, c, ChangeRaiser(m.form, m.id));
    return c;
}
QWidget* MakeComboEdit(const Making& m) {
    auto* c = static_cast<QComboBox*>(MakeCombo(m));
    c->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(c, &QComboBox::editTextChanged, c, [raise = ChangeRaiser(m.form, m.id), c]() {
        // A pick from the list already raised Change through the index.
        if (c->currentText() != c->itemText(c->currentIndex())) raise();
    });
    if (!m.text.empty()) c->setEditText(Q(m.text));
    return c;
}
std::string ComboText(const Ctl& c, const std::string&) {
    return U(static_cast<QComboBox*>(c.w.data())->currentText());
}
// Selects the item of that text (letter case aside); none when there is none.
void SetComboText(Ctl& c, const std::string&, const std::string& text) {
    auto* cb = static_cast<QComboBox*>(c.w.data());
    cb->setCurrentIndex(cb->findText(Q(text), Qt::MatchFixedString));
}
void SetComboEditText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QComboBox*>(c.w.data())->setEditText(Q(text));
}

// List boxes: style "M" multi-select, "D" items dragged to reorder raise Drop.
QWidget* MakeListBox(const Making& m) {
    auto* l = new QListWidget(m.client);
    l->setSelectionMode(Has(m.style, 'M') ? QAbstractItemView::ExtendedSelection
                                          : QAbstractItemView::SingleSelection);
    const std::string form = m.form;
    const int id = m.id;
    if (Has(m.style, 'D')) {
        l->setDragDropMode(QAbstractItemView::InternalMove);
        l->setDefaultDropAction(Qt::MoveAction);
        QObject::connect(
            l->model(), &QAbstractItemModel::rowsMoved, l,
            [form, id](const QModelIndex&, int start, int, const QModelIndex&, int dest) {
                if (IsQuiet()) return;
                int to = dest > start ? dest - 1 : dest;
                Raise(form, id, EzEvent::Drop, (static_cast<int64_t>(start) << 16) | to);
            });
    }
    QObject::connect(l, &QListWidget::itemSelectionChanged, l, ChangeRaiser(form, id));
    QObject::connect(l, &QListWidget::itemDoubleClicked, l, [form, id, l](QListWidgetItem* it) {
        Raise(form, id, EzEvent::DblClick, l->row(it));
    });
    return l;
}
// The first selected item, else the current one.
std::string ListBoxText(const Ctl& c, const std::string&) {
    auto* l = static_cast<QListWidget*>(c.w.data());
    auto sel = l->selectedItems();
    if (!sel.isEmpty()) return U(sel.first()->text());
    return l->currentItem() ? U(l->currentItem()->text()) : "";
}
void SetListBoxText(Ctl& c, const std::string&, const std::string& text) {
    auto* l = static_cast<QListWidget*>(c.w.data());
    auto found = l->findItems(Q(text), Qt::MatchFixedString);
    l->setCurrentItem(found.isEmpty() ? nullptr : found.first());
}

QWidget* MakeListViewKind(const Making& m) {
    return MakeListView(m.form, m.id, m.text, m.style, m.client, m.ctl);
}
std::string ListViewKindText(const Ctl& c, const std::string& form) {
    return ListViewText(form, c.id);
}

// Date-time pickers: style "T" shows the time only.
QWidget* MakeDateTime(const Making& m) {
    auto* d = new QDateTimeEdit(QDateTime::currentDateTime(), m.client);
    d->setCalendarPopup(true);
    d->setDisplayFormat(Has(m.style, 'T') ? "HH:mm" : "MM-dd-yyyy");
    QObject::connect(d, &QDateTimeEdit::dateTimeChanged, d, ChangeRaiser(m.form, m.id));
    return d;
}
std::string DateTimeText(const Ctl& c, const std::string&) {
    return U(static_cast<QDateTimeEdit*>(c.w.data())->text());
}

// Up-downs and progress bars: the text is the value in decimal.
QWidget* MakeUpDown(const Making& m) {
    auto* s = new QSpinBox(m.client);
    s->setRange(INT_MIN + 1, INT_MAX);
    s->setValue(m.text.empty() ? 0 : std::atoi(m.text.c_str()));
    const std::string form = m.form;
    const int id = m.id;
    QObject::connect(s, &QSpinBox::valueChanged, s, [form, id](int v) {
        if (!IsQuiet()) Raise(form, id, EzEvent::Change, v);
    });
    return s;
}
std::string UpDownText(const Ctl& c, const std::string&) {
    return std::to_string(static_cast<QSpinBox*>(c.w.data())->value());
}
void SetUpDownText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QSpinBox*>(c.w.data())->setValue(std::atoi(text.c_str()));
}
QWidget* MakeProgress(const Making& m) {
    auto* p = new QProgressBar(m.client);
    p->setRange(0, 100);
    p->setValue(0);
    p->setTextVisible(false);
    return p;
}
std::string ProgressText(const Ctl& c, const std::string&) {
    return std::to_string(static_cast<QProgressBar*>(c.w.data())->value());
}
void SetProgressText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QProgressBar*>(c.w.data())->setValue(std::atoi(text.c_str()));
}

QWidget* MakeRichText(const Making& m) {
    auto* t = new QTextBrowser(m.client);
    t->setOpenLinks(false);
    t->setPlainText(Q(m.text));
    return t;
}
std::string RichTextText(const Ctl& c, const std::string&) {
    return U(static_cast<QTextBrowser*>(c.w.data())->toPlainText());
}
void SetRichTextText(Ctl& c, const std::string&, const std::string& text) {
    static_cast<QTextBrowser*>(c.w.data())->setPlainText(Q(text));
}

// Pictures: the text names an image file; a sized picture scales its image.
QWidget* MakePicture(const Making& m) {
    auto* l = new QLabel(m.client);
    l->setAlignment(Qt::AlignCenter);
    QString p = ImagePath(m.text);
    if (!p.isEmpty()) {
        QPixmap pm(p);
        l->setPixmap(pm);
        if (m.w > 0 && m.h > 0) l->setScaledContents(true);
    }
    return l;
}
void SetPictureText(Ctl& c, const std::string&, const std::string& text) {
    QString p = ImagePath(text);
    static_cast<QLabel*>(c.w.data())->setPixmap(p.isEmpty() ? QPixmap() : QPixmap(p));
}

QWidget* MakeToolbar(const Making& m) {
    auto* tb = new QToolBar(m.f->win);
    tb->setIconSize(QSize(24, 24));
    tb->setMovable(false);
    tb->setFloatable(false);
    tb->setToolButtonStyle(Qt::ToolButtonIconOnly);
    // Below the menu bar and any earlier toolbar, above the grid.
    int at = m.f->layout->indexOf(m.f->client);
    m.f->layout->insertWidget(at, tb);
    return tb;
}

// Status bars start with one part; the text of a status bar is its first part's.
QWidget* MakeStatusBar(const Making& m) {
    auto* sb = new QStatusBar(m.f->win);
    sb->setSizeGripEnabled(m.f->resizable);
    m.f->layout->addWidget(sb);
    m.ctl.sbTexts.assign(1, "");
    auto* part = new QLabel(sb);
    sb->addWidget(part, 1);
    m.ctl.sbParts.push_back(part);
    return sb;
}
std::string StatusBarText(const Ctl& c, const std::string&) {
    return c.sbTexts.empty() ? "" : c.sbTexts[0];
}
void SetStatusBarText(Ctl& c, const std::string& form, const std::string& text) {
    EZ_SBSETTEXT(form, c.id, 0, text);
}

QWidget* MakePage(const Making& m) {
    return new QWidget(m.client);
}

// In the order of EzKind, one entry for each.
constexpr Adapter kAdapters[] = {
    {EzKind::Button, MakeButton, ButtonText, SetButtonText},
    {EzKind::Label, MakeLabel, StoredText, SetLabelText},
    {EzKind::Frame, MakeFrame, FrameText, SetFrameText},
    {EzKind::Text, MakeText, TextText, SetTextText},
    {EzKind::Combo, MakeCombo, ComboText, SetComboText},
    {EzKind::ComboEdit, MakeComboEdit, ComboText, SetComboEditText},
    {EzKind::ListBox, MakeListBox, ListBoxText, SetListBoxText},
    {EzKind::ListView, MakeListViewKind, ListViewKindText, KeepText},
    {EzKind::Check, MakeClickable<QCheckBox>, ButtonText, SetButtonText},
    {EzKind::Radio, MakeRadio, ButtonText, SetButtonText},
    {EzKind::DateTime, MakeDateTime, DateTimeText, KeepText},
    {EzKind::UpDown, MakeUpDown, UpDownText, SetUpDownText},
    {EzKind::Progress, MakeProgress, ProgressText, SetProgressText},
    {EzKind::RichText, MakeRichText, RichTextText, SetRichTextText},
    {EzKind::Picture, MakePicture, StoredText, SetPictureText},
    {EzKind::Toolbar, MakeToolbar, StoredText, KeepText, Place::Docked},
    {EzKind::StatusBar, MakeStatusBar, StatusBarText, SetStatusBarText, Place::Docked},
    {EzKind::Page, MakePage, StoredText, KeepText, Place::GridOrFill},
};

constexpr bool OneAdapterPerKind() {
    constexpr size_t n = sizeof(kAdapters) / sizeof(kAdapters[0]);
    for (size_t i = 0; i < n; ++i)
        if (static_cast<size_t>(kAdapters[i].kind) != i) return false;
    return n == static_cast<size_t>(EzKind::Page) + 1;
}
static_assert(OneAdapterPerKind(), "kAdapters holds one entry per EzKind, in the enum's order");

const Adapter* AdapterOf(EzKind kind) {
    const auto i = static_cast<size_t>(kind);
    return i < std::size(kAdapters) ? &kAdapters[i] : nullptr;
}

void DestroyControl(Form* f, int id) {
    auto it = f->ctls.find(id);
    if (it == f->ctls.end()) return;
    if (it->second.w) {
        it->second.w->hide();
        it->second.w->deleteLater();
    }
    f->ctls.erase(it);
}

}  // namespace

}  // namespace ez

using namespace ez;

// ---------------------------------------------------------------------------
// Creation
// ---------------------------------------------------------------------------
void EZ_CONTROL(const std::string& form, int id, EzKind kind, const std::string& text, double col,
                double row, double w, double h, const std::string& style) {
    Form* f = FindForm(form);
    const Adapter* kindOf = AdapterOf(kind);
    if (!HaveApp() || !f || !f->client || !kindOf) return;
    DestroyControl(f, id);
    // Initial texts and values are the program's own: no Change while creating.
    Quiet quiet;
    Ctl ctl;
    ctl.id = id;
    ctl.kind = kind;
    ctl.style = style;
    ctl.text = text;
    QWidget* widget = kindOf->make({f, f->client, form, id, kind, text, style, w, h, ctl});
    if (!widget) return;
    Register(widget, form, id);
    if (kindOf->place != Place::Docked) {
        widget->setGeometry(ColsToPx(col), RowsToPx(row), std::max(0, ColsToPx(w)),
                            std::max(0, RowsToPx(h)));
        if (kindOf->place == Place::GridOrFill && (w <= 0 || h <= 0))
            widget->setGeometry(f->client->rect());
    }
    // Labels and pictures take no focus, so they never become a label's buddy.
    GiveBuddy(f, widget);
    widget->show();
    ctl.w = widget;
    f->ctls[id] = std::move(ctl);
    Raise(form, id, EzEvent::Creating);
}

bool EZ_CONTROLEXISTS(const std::string& form, int id) {
    return FindCtl(form, id) != nullptr;
}

bool EZ_CONTROLKIND(const std::string& form, int id, EzKind& kind) {
    const Ctl* c = FindCtl(form, id);
    if (!c) return false;
    kind = c->kind;
    return true;
}

// ---------------------------------------------------------------------------
// Menus, toolbar, status bar, accelerators
// ---------------------------------------------------------------------------
void EZ_MENU(const std::string& form, int parentId, int id, const std::string& caption) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return;
    if (!f->menuBar) {
        f->menuBar = new QMenuBar(f->win);
        f->menuBar->setNativeMenuBar(false);
        f->layout->setMenuBar(f->menuBar);
    }
    const bool sep = caption == "-";
    QAction* act = nullptr;
    if (parentId == 0) {
        act = f->menuBar->addAction(Q(caption));
    } else {
        QMenu* menu = nullptr;
        if (auto m = f->menus.find(parentId); m != f->menus.end() && m->second) {
            menu = m->second;
        } else {
            QAction* pa = FindAction(form, parentId);
            if (!pa) return;
            menu = new QMenu(f->win);
            menu->setObjectName(Q(form + ".menu" + std::to_string(parentId)));
            pa->setMenu(menu);
            f->menus[parentId] = menu;
        }
        act = sep ? menu->addSeparator() : menu->addAction(Q(caption));
    }
    if (sep || id == 0) return;
    act->setObjectName(Q(form + "." + std::to_string(id)));
    const std::string fname = form;
    QObject::connect(act, &QAction::triggered, act, [fname, id, act]() {
        if (!act->menu()) Raise(fname, id, EzEvent::Click);
    });
    f->actions[id] = act;
}

void EZ_POPUPMENU(const std::string& form, int menuId, const std::vector<EzMenuItem>& items) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return;
    QPointer<QMenu>& menu = f->popups[menuId];
    if (!menu) {
        menu = new QMenu(f->win);
        menu->setObjectName(Q(form + ".popup" + std::to_string(menuId)));
    }
    for (QAction* old : menu->actions()) {
        for (auto it = f->actions.begin(); it != f->actions.end();)
            it = it->second == old ? f->actions.erase(it) : std::next(it);
    }
    menu->clear();
    const std::string fname = form;
    for (const EzMenuItem& item : items) {
        if (item.caption == "-") {
            menu->addSeparator();
            continue;
        }
        QAction* act = menu->addAction(Q(item.caption));
        act->setObjectName(Q(form + "." + std::to_string(item.id)));
        const int id = item.id;
        QPointer<QMenu> owner = menu;
        QObject::connect(act, &QAction::triggered, act, [fname, id, owner]() {
            // A choice made without the mouse (the robot) closes the menu too.
            if (owner) owner->hide();
            Raise(fname, id, EzEvent::Click);
        });
        f->actions[item.id] = act;
    }
}

void EZ_SHOWPOPUP(const std::string& form, int menuId, int nearId) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return;
    auto it = f->popups.find(menuId);
    if (it == f->popups.end() || !it->second) return;
    QPoint at = QCursor::pos();
    if (!f->win->frameGeometry().contains(at)) {
        QWidget* near = CtlWidget(form, nearId);
        if (!near) near = f->win;
        at = near->mapToGlobal(QPoint(near->width() / 4, near->height() / 4));
    }
    it->second->popup(at);
}

void EZ_MENUENABLE(const std::string& form, int id, bool on) {
    if (QAction* a = FindAction(form, id)) a->setEnabled(on);
}

void EZ_TOOLBUTTON(const std::string& form, int toolbarId, int buttonId, const std::string& icon,
                   const std::string& tooltip, bool sepBefore) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f) return;
    QToolBar* tb = ToolbarOf(f, toolbarId);
    if (!tb) return;
    if (sepBefore) tb->addSeparator();
    QIcon ic;
    if (icon.rfind("theme:", 0) == 0) {
        ic = QIcon::fromTheme(Q(icon.substr(6)));
    } else if (QString p = ImagePath(icon); !p.isEmpty()) {
        ic = QIcon(p);
    }
    QAction* act = tb->addAction(ic, Q(tooltip));
    act->setToolTip(Q(tooltip));
    act->setObjectName(Q(form + "." + std::to_string(buttonId)));
    if (QWidget* bw = tb->widgetForAction(act)) {
        bw->setObjectName(Q(form + "." + std::to_string(buttonId)));
        // Without an image the button shows its text.
        if (ic.isNull()) {
            if (auto* tbtn = qobject_cast<QToolButton*>(bw))
                tbtn->setToolButtonStyle(Qt::ToolButtonTextOnly);
        }
    }
    const std::string fname = form;
    QObject::connect(act, &QAction::triggered, act,
                     [fname, buttonId]() { Raise(fname, buttonId, EzEvent::Click); });
    f->actions[buttonId] = act;
}

void EZ_TBENABLE(const std::string& form, int buttonId, bool on) {
    if (QAction* a = FindAction(form, buttonId)) a->setEnabled(on);
}

void EZ_SBPARTS(const std::string& form, int id, const std::vector<double>& widths) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return;
    auto* sb = static_cast<QStatusBar*>(c->w.data());
    for (auto& p : c->sbParts)
        if (p) {
            sb->removeWidget(p);
            p->deleteLater();
        }
    c->sbParts.clear();
    size_t n = std::max<size_t>(1, widths.size());
    c->sbTexts.resize(n);
    c->sbWidths = widths;
    for (size_t i = 0; i < n; ++i) {
        auto* part = new QLabel(sb);
        part->setObjectName(Q(form + "." + std::to_string(id) + ".part" + std::to_string(i)));
        part->setFrameShape(QFrame::StyledPanel);
        part->setFrameShadow(QFrame::Sunken);
        part->setContentsMargins(3, 0, 3, 0);
        if (i + 1 < n) {
            part->setFixedWidth(ColsToPx(widths[i]));
            sb->addWidget(part, 0);
        } else {
            sb->addWidget(part, 1);
        }
        c->sbParts.push_back(part);
        ShowSbText(c, static_cast<int>(i));
    }
}

void EZ_SBSETTEXT(const std::string& form, int id, int part, const std::string& text) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return;
    if (part < 0 || part >= static_cast<int>(c->sbTexts.size())) return;
    c->sbTexts[part] = text;
    ShowSbText(c, part);
}

void EZ_ACCEL(const std::string& form, const std::string& key, int pseudoId) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return;
    QKeySequence seq = QKeySequence::fromString(Q(key), QKeySequence::PortableText);
    if (seq.isEmpty()) return;
    auto* sc = new QShortcut(seq, f->win);
    sc->setContext(Qt::WindowShortcut);
    const std::string fname = form;
    QObject::connect(sc, &QShortcut::activated, sc,
                     [fname, pseudoId]() { Raise(fname, pseudoId, EzEvent::Click); });
    f->accels[pseudoId] = seq[0].toCombined();
    f->shortcuts.push_back(sc);
}

// ---------------------------------------------------------------------------
// ---------------------------------------------------------------------------
// Text and state
// ---------------------------------------------------------------------------
std::string EZ_GETTEXT(const std::string& form, int id) {
    if (!HaveApp()) return "";
    Form* f = FindForm(form);
    if (!f) return "";
    if (id == 0) return f->win ? U(f->win->windowTitle()) : "";
    Ctl* c = FindCtl(form, id);
    if (!c) {
        if (QAction* a = FindAction(form, id)) return U(a->text());
        return "";
    }
    const Adapter* kindOf = AdapterOf(c->kind);
    return kindOf ? kindOf->text(*c, form) : "";
}

void EZ_SETTEXT(const std::string& form, int id, const std::string& text) {
    if (!HaveApp()) return;
    Form* f = FindForm(form);
    if (!f) return;
    if (id == 0) {
        if (f->win) f->win->setWindowTitle(Q(text));
        return;
    }
    Ctl* c = FindCtl(form, id);
    if (!c) {
        if (QAction* a = FindAction(form, id)) a->setText(Q(text));
        return;
    }
    Quiet quiet;
    c->text = text;
    if (const Adapter* kindOf = AdapterOf(c->kind)) kindOf->setText(*c, form, text);
}

void EZ_SETTEXTLIMIT(const std::string& form, int id, int maxChars) {
    QWidget* w = CtlWidget(form, id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setMaxLength(maxChars > 0 ? maxChars : 32767);
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) e->setProperty("ezLimit", maxChars);
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit())
        c->lineEdit()->setMaxLength(maxChars > 0 ? maxChars : 32767);
}

void EZ_SELECTTEXT(const std::string& form, int id, int start, int length) {
    QWidget* w = CtlWidget(form, id);
    if (!w) return;
    const std::string text = EZ_GETTEXT(form, id);
    int qs = QIndexOfByte(text, start);
    int qe = length < 0 ? static_cast<int>(Q(text).size()) : QIndexOfByte(text, start + length);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setSelection(qs, qe - qs);
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        QTextCursor cur = e->textCursor();
        cur.setPosition(qs);
        cur.setPosition(qe, QTextCursor::KeepAnchor);
        e->setTextCursor(cur);
    } else if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit()) {
        c->lineEdit()->setSelection(qs, qe - qs);
    }
}

int EZ_GETCURSORPOS(const std::string& form, int id) {
    QWidget* w = CtlWidget(form, id);
    if (auto* e = qobject_cast<QLineEdit*>(w)) return ByteOfQIndex(e->text(), e->cursorPosition());
    if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        return ByteOfQIndex(e->toPlainText(), e->textCursor().position());
    if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit())
        return ByteOfQIndex(c->lineEdit()->text(), c->lineEdit()->cursorPosition());
    return 0;
}

bool EZ_GETCHECK(const std::string& form, int id) {
    auto* b = qobject_cast<QAbstractButton*>(CtlWidget(form, id));
    if (b) return b->isChecked();
    QAction* a = FindAction(form, id);
    return a && a->isChecked();
}

void EZ_SETCHECK(const std::string& form, int id, bool on) {
    Quiet quiet;
    if (auto* b = qobject_cast<QAbstractButton*>(CtlWidget(form, id))) {
        b->setChecked(on);
        return;
    }
    if (QAction* a = FindAction(form, id)) {
        a->setCheckable(true);
        a->setChecked(on);
    }
}

void EZ_ENABLE(const std::string& form, int id, bool on) {
    if (QWidget* w = CtlWidget(form, id))
        w->setEnabled(on);
    else if (QAction* a = FindAction(form, id))
        a->setEnabled(on);
}

bool EZ_ISENABLED(const std::string& form, int id) {
    if (QWidget* w = CtlWidget(form, id)) return w->isEnabled();
    if (QAction* a = FindAction(form, id)) return a->isEnabled();
    return false;
}

void EZ_SHOW(const std::string& form, int id, bool on) {
    if (QWidget* w = CtlWidget(form, id))
        w->setVisible(on);
    else if (QAction* a = FindAction(form, id))
        a->setVisible(on);
}

bool EZ_ISVISIBLE(const std::string& form, int id) {
    Form* f = FindForm(form);
    if (!f) return false;
    if (id == 0) return f->win && f->win->isVisible();
    if (QWidget* w = CtlWidget(form, id)) return f->win && w->isVisibleTo(f->win);
    if (auto p = f->popups.find(id); p != f->popups.end())
        return p->second && p->second->isVisible();
    if (QAction* a = FindAction(form, id)) {
        // An item of a context menu is seen only while its menu is open.
        for (const auto& [menuId, menu] : f->popups)
            if (menu && a->parent() == menu) return a->isVisible() && menu->isVisible();
        return a->isVisible();
    }
    return false;
}

void EZ_SETFOCUS(const std::string& form, int id) {
    QWidget* w = CtlWidget(form, id);
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
}

int EZ_GETFOCUS(const std::string& form) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return 0;
    QWidget* fw = f->win->focusWidget();
    std::string fn;
    int id = 0;
    if (fw && ControlOf(fw, fn, id, true) && fn == form) return id;
    return 0;
}

void EZ_SETFONT(const std::string& form, int id, int fontSlot) {
    QWidget* w = CtlWidget(form, id);
    if (!w && id == 0) {
        if (Form* f = FindForm(form); f && f->win) w = f->win;
    }
    if (w) w->setFont(FontSlot(fontSlot));
}

void EZ_SETCOLOR(const std::string& form, int id, int fgSlot, int bgSlot) {
    QWidget* w = CtlWidget(form, id);
    if (!w && id == 0) {
        if (Form* f = FindForm(form); f && f->win) w = f->win;
    }
    if (!w) return;
    QPalette pal = w->palette();
    if (fgSlot >= 0) {
        QColor c = ColourSlot(fgSlot);
        pal.setColor(QPalette::WindowText, c);
        pal.setColor(QPalette::Text, c);
        pal.setColor(QPalette::ButtonText, c);
    }
    if (bgSlot >= 0) {
        QColor c = ColourSlot(bgSlot);
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::Button, c);
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QPlainTextEdit*>(w))
            pal.setColor(QPalette::Base, c);
        w->setAutoFillBackground(true);
    }
    w->setPalette(pal);
}

void EZ_SETTOOLTIP(const std::string& form, int id, const std::string& text) {
    if (QWidget* w = CtlWidget(form, id))
        w->setToolTip(Q(text));
    else if (QAction* a = FindAction(form, id))
        a->setToolTip(Q(text));
}

void EZ_MOVE(const std::string& form, int id, double col, double row, double w, double h) {
    Form* f = FindForm(form);
    QWidget* wd = CtlWidget(form, id);
    if (!f || !wd || !f->client) return;
    QPoint p(ColsToPx(col), RowsToPx(row));
    QWidget* parent = wd->parentWidget();
    if (parent && parent != f->client && f->client->isAncestorOf(parent))
        p = parent->mapFrom(f->client.data(), p);
    wd->setGeometry(p.x(), p.y(), std::max(0, ColsToPx(w)), std::max(0, RowsToPx(h)));
}

void EZ_GETPLACE(const std::string& form, int id, double& col, double& row, double& w, double& h) {
    col = row = w = h = 0;
    Form* f = FindForm(form);
    QWidget* wd = CtlWidget(form, id);
    if (!f || !wd || !f->client) return;
    QPoint p = wd->pos();
    QWidget* parent = wd->parentWidget();
    if (parent && parent != f->client && f->client->isAncestorOf(parent))
        p = parent->mapTo(f->client.data(), p);
    col = PxToCols(p.x());
    row = PxToRows(p.y());
    w = PxToCols(wd->width());
    h = PxToRows(wd->height());
}

void EZ_REDRAW(const std::string& form, int id, bool on) {
    QWidget* w = CtlWidget(form, id);
    if (!w && id == 0) {
        if (Form* f = FindForm(form); f && f->win) w = f->win;
    }
    if (!w) return;
    w->setUpdatesEnabled(on);
    if (on) w->update();
}

void EZ_SETPARENT(const std::string& form, int id, int pageId) {
    Form* f = FindForm(form);
    QWidget* w = CtlWidget(form, id);
    QWidget* page = CtlWidget(form, pageId);
    if (!f || !w || !page || w == page || !f->client) return;
    const bool shown = !w->isHidden();
    QPoint p = w->parentWidget() ? w->parentWidget()->mapTo(f->client.data(), w->pos()) : w->pos();
    w->setParent(page);
    w->move(page->mapFrom(f->client.data(), p));
    if (shown) w->show();
}

// ---------------------------------------------------------------------------
// List boxes and combos
// ---------------------------------------------------------------------------
namespace {
QListWidget* ListBox(const std::string& form, int id) {
    return qobject_cast<QListWidget*>(CtlWidget(form, id));
}
QComboBox* Combo(const std::string& form, int id) {
    return qobject_cast<QComboBox*>(CtlWidget(form, id));
}
}  // namespace

int EZ_ADDITEM(const std::string& form, int id, const std::string& text, int64_t data) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) {
        auto* it = new QListWidgetItem(Q(text), l);
        it->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
        return l->count() - 1;
    }
    if (auto* c = Combo(form, id)) {
        // An editable combo keeps its typed text while items are added.
        QString edit = c->isEditable() ? c->currentText() : QString();
        const bool wasEmpty = c->count() == 0;
        c->addItem(Q(text), QVariant::fromValue<qlonglong>(data));
        if (c->isEditable() && wasEmpty) c->setEditText(edit);
        if (!c->isEditable() && wasEmpty) c->setCurrentIndex(-1);
        return c->count() - 1;
    }
    return -1;
}

void EZ_DELETEITEM(const std::string& form, int id, int index) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) {
        if (index >= 0 && index < l->count()) delete l->takeItem(index);
    } else if (auto* c = Combo(form, id)) {
        if (index >= 0 && index < c->count()) c->removeItem(index);
    }
}

void EZ_CLEARITEMS(const std::string& form, int id) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) l->clear();
    if (auto* c = Combo(form, id)) {
        QString edit = c->isEditable() ? c->currentText() : QString();
        c->clear();
        if (c->isEditable()) c->setEditText(edit);
    }
    if (IsListViewCtl(form, id)) EZ_LVCLEAR(form, id);
}

int EZ_ITEMCOUNT(const std::string& form, int id) {
    if (auto* l = ListBox(form, id)) return l->count();
    if (auto* c = Combo(form, id)) return c->count();
    if (IsListViewCtl(form, id)) return EZ_LVROWCOUNT(form, id);
    return 0;
}

std::string EZ_ITEMTEXT(const std::string& form, int id, int index) {
    if (auto* l = ListBox(form, id))
        return index >= 0 && index < l->count() ? U(l->item(index)->text()) : "";
    if (auto* c = Combo(form, id))
        return index >= 0 && index < c->count() ? U(c->itemText(index)) : "";
    return "";
}

void EZ_SETITEMTEXT(const std::string& form, int id, int index, const std::string& text) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) {
        if (index >= 0 && index < l->count()) l->item(index)->setText(Q(text));
    } else if (auto* c = Combo(form, id)) {
        if (index >= 0 && index < c->count()) c->setItemText(index, Q(text));
    }
}

int64_t EZ_ITEMDATA(const std::string& form, int id, int index) {
    if (auto* l = ListBox(form, id))
        return index >= 0 && index < l->count() ? l->item(index)->data(Qt::UserRole).toLongLong()
                                                : 0;
    if (auto* c = Combo(form, id))
        return index >= 0 && index < c->count() ? c->itemData(index).toLongLong() : 0;
    return 0;
}

int EZ_FINDITEM(const std::string& form, int id, const std::string& text) {
    const QString t = Q(text);
    if (auto* l = ListBox(form, id)) {
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->text() == t) return i;
        return -1;
    }
    if (auto* c = Combo(form, id)) {
        for (int i = 0; i < c->count(); ++i)
            if (c->itemText(i) == t) return i;
    }
    return -1;
}

void EZ_SELECTITEM(const std::string& form, int id, int index) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) {
        l->clearSelection();
        if (index >= 0 && index < l->count()) {
            l->setCurrentRow(index);
            l->item(index)->setSelected(true);
            l->scrollToItem(l->item(index));
        } else {
            l->setCurrentItem(nullptr);
        }
    } else if (auto* c = Combo(form, id)) {
        c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
    }
}

int EZ_SELECTEDITEM(const std::string& form, int id) {
    if (auto* l = ListBox(form, id)) {
        for (int i = 0; i < l->count(); ++i)
            if (l->item(i)->isSelected()) return i;
        return -1;
    }
    if (auto* c = Combo(form, id)) return c->currentIndex();
    return -1;
}

bool EZ_ITEMSELECTED(const std::string& form, int id, int index) {
    if (auto* l = ListBox(form, id))
        return index >= 0 && index < l->count() && l->item(index)->isSelected();
    if (auto* c = Combo(form, id)) return index >= 0 && c->currentIndex() == index;
    return false;
}

void EZ_SETITEMSELECTED(const std::string& form, int id, int index, bool on) {
    Quiet quiet;
    if (auto* l = ListBox(form, id)) {
        if (index >= 0 && index < l->count()) l->item(index)->setSelected(on);
    } else if (auto* c = Combo(form, id)) {
        if (on) c->setCurrentIndex(index);
    }
}

// ---------------------------------------------------------------------------
// Date-time pickers
// ---------------------------------------------------------------------------
void EZ_DTSETFORMAT(const std::string& form, int id, const std::string& format) {
    if (QDateTimeEdit* d = DateEdit(form, id)) {
        Quiet quiet;
        d->setDisplayFormat(QtDateFormat(format));
        d->setCalendarPopup(d->displayedSections() & QDateTimeEdit::DateSections_Mask);
    }
}

void EZ_DTSETRANGE(const std::string& form, int id, int y1, int m1, int d1, int y2, int m2,
                   int d2) {
    if (QDateTimeEdit* d = DateEdit(form, id)) {
        Quiet quiet;
        QDate lo(y1, m1, d1), hi(y2, m2, d2);
        if (lo.isValid() && hi.isValid() && lo <= hi) d->setDateRange(lo, hi);
    }
}

void EZ_DTSET(const std::string& form, int id, int y, int m, int d, int hour, int minute) {
    if (QDateTimeEdit* e = DateEdit(form, id)) {
        QDate date(y, m, d);
        if (!date.isValid()) return;
        Quiet quiet;
        e->setDateTime(QDateTime(date, QTime(std::clamp(hour, 0, 23), std::clamp(minute, 0, 59))));
    }
}

void EZ_DTGET(const std::string& form, int id, int& y, int& m, int& d, int& hour, int& minute) {
    y = m = d = hour = minute = 0;
    if (QDateTimeEdit* e = DateEdit(form, id)) {
        QDateTime dt = e->dateTime();
        y = dt.date().year();
        m = dt.date().month();
        d = dt.date().day();
        hour = dt.time().hour();
        minute = dt.time().minute();
    }
}

void EZ_DTMONDAYSTART(const std::string& form, int id, bool mondayFirst) {
    if (QDateTimeEdit* e = DateEdit(form, id)) {
        if (Ctl* c = FindCtl(form, id)) c->mondayFirst = mondayFirst;
        if (QCalendarWidget* cal = e->calendarWidget())
            cal->setFirstDayOfWeek(mondayFirst ? Qt::Monday : Qt::Sunday);
    }
}

// ---------------------------------------------------------------------------
// Up-down and progress
// ---------------------------------------------------------------------------
void EZ_SETRANGE(const std::string& form, int id, int lo, int hi) {
    Quiet quiet;
    QWidget* w = CtlWidget(form, id);
    if (auto* s = qobject_cast<QSpinBox*>(w)) s->setRange(std::min(lo, hi), std::max(lo, hi));
    if (auto* p = qobject_cast<QProgressBar*>(w)) p->setRange(std::min(lo, hi), std::max(lo, hi));
}

void EZ_SETVALUE(const std::string& form, int id, int value) {
    Quiet quiet;
    QWidget* w = CtlWidget(form, id);
    if (auto* s = qobject_cast<QSpinBox*>(w)) s->setValue(value);
    if (auto* p = qobject_cast<QProgressBar*>(w)) p->setValue(value);
}

int EZ_GETVALUE(const std::string& form, int id) {
    QWidget* w = CtlWidget(form, id);
    if (auto* s = qobject_cast<QSpinBox*>(w)) return s->value();
    if (auto* p = qobject_cast<QProgressBar*>(w)) return p->value();
    return 0;
}

// ---------------------------------------------------------------------------
// Rich text
// ---------------------------------------------------------------------------
void EZ_SETRICHTEXT(const std::string& form, int id, const std::vector<EzTextRun>& runs) {
    auto* t = qobject_cast<QTextBrowser*>(CtlWidget(form, id));
    if (!t) return;
    Quiet quiet;
    t->clear();
    QTextCursor cur(t->document());
    bool first = true;
    for (const EzTextRun& r : runs) {
        if (r.newPara && !first) cur.insertBlock();
        QTextCharFormat fmt;
        fmt.setFontWeight(r.bold ? QFont::Bold : QFont::Normal);
        fmt.setFontItalic(r.italic);
        fmt.setFontUnderline(r.underline);
        if (r.points > 0) fmt.setFontPointSize(r.points);
        cur.insertText(Q(NoCR(r.text)), fmt);
        first = false;
    }
    t->moveCursor(QTextCursor::Start);
}
