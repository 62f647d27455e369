// The toolkit's test-only functions (see ez_testing.h).
#include "app/toolkit/ez_testing.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <algorithm>

#include "app/toolkit/qt/ez_internal.h"
#include "app/toolkit/qt/ez_listview.h"

using namespace ez;

void EZ_SETPROCS(EzEventProc event, EzDesignProc design) {
    S().event = event;
    S().design = design;
}

void EZ_SETCOMMANDARGS(const std::vector<std::string>& args) {
    S().commandArgs = args;
}

void EZ_INSERTITEM(const std::string& form, int id, int index, const std::string& text,
                   int64_t data) {
    Quiet quiet;
    QWidget* w = CtlWidget(form, id);
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        auto* it = new QListWidgetItem(Q(text));
        it->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(data));
        l->insertItem(index < 0 || index > l->count() ? l->count() : index, it);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->insertItem(index < 0 || index > c->count() ? c->count() : index, Q(text),
                      QVariant::fromValue<qlonglong>(data));
    }
}

bool EZ_MENUISENABLED(const std::string& form, int id) {
    QAction* a = FindAction(form, id);
    return a && a->isEnabled();
}

// Toolbar buttons are actions like menu items.
bool EZ_TBISENABLED(const std::string& form, int buttonId) {
    return EZ_MENUISENABLED(form, buttonId);
}

std::string EZ_SBGETTEXT(const std::string& form, int id, int part) {
    Ctl* c = FindCtl(form, id);
    if (!c || c->kind != EzKind::StatusBar) return "";
    if (part < 0 || part >= static_cast<int>(c->sbTexts.size())) return "";
    return c->sbTexts[part];
}

std::string EZ_GETTOOLTIP(const std::string& form, int id) {
    if (QWidget* w = CtlWidget(form, id)) return U(w->toolTip());
    if (QAction* a = FindAction(form, id)) return U(a->toolTip());
    return {};
}

std::vector<int> EZ_APPICONSIZES() {
    std::vector<int> sizes;
    if (!HaveApp()) return sizes;
    for (const QSize& s : QApplication::windowIcon().availableSizes()) sizes.push_back(s.width());
    std::sort(sizes.begin(), sizes.end());
    return sizes;
}

bool EZ_SCREENSHOT(const std::string& form, const std::string& pngPath) {
    Form* f = FindForm(form);
    if (!HaveApp() || !f || !f->win) return false;
    QPixmap pm = f->win->grab();
    if (pm.isNull()) return false;
    QFileInfo fi(Q(pngPath));
    QDir().mkpath(fi.absolutePath());
    return pm.save(Q(pngPath), "PNG");
}

std::vector<std::string> EZ_TAKEUNSHOWN() {
    std::vector<std::string> out;
    out.swap(S().unshown);
    return out;
}

int EZ_LVGETHEADERIMAGE(const std::string& form, int id, int col) {
    const RowStore* rows = ListViewRows(form, id);
    return rows && rows->HasColumn(col) ? rows->Column(col).image : -1;
}
