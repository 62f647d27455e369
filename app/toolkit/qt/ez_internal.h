// Inside of the toolkit: the records behind forms and controls, shared by the
// toolkit's source files and the robot. Only app/toolkit/ includes this.
#pragma once

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"

namespace ez {

// The application object: sees every event once at its first receiver, which
// is where key, focus, mouse-over, tooltip and context-menu events of the
// controls are turned into toolkit events.
class App : public QApplication {
public:
    App(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* e) override;
};

class FormWindow;

struct Ctl {
    int id = 0;
    EzKind kind = EzKind::Label;
    std::string style;
    QPointer<QWidget> w;
    std::string text;                  // text as set (labels, pictures)
    std::vector<std::string> sbTexts;  // status bar: part texts as set
    std::vector<QPointer<QLabel>> sbParts;
    std::vector<double> sbWidths;
    bool mondayFirst = false;
};

struct Form {
    std::string name;
    std::string parent;
    uint64_t serial = 0;
    QPointer<FormWindow> win;
    QPointer<QWidget> client;
    QPointer<QVBoxLayout> layout;
    QPointer<QMenuBar> menuBar;
    std::map<int, Ctl> ctls;
    std::map<int, QPointer<QAction>> actions;  // menu items and toolbar buttons
    std::map<int, QPointer<QMenu>> menus;      // menu items that have children
    std::map<int, QPointer<QMenu>> popups;     // context menus by menu id
    std::map<int, int> accels;                 // pseudo id -> Qt key combination
    std::vector<QPointer<QShortcut>> shortcuts;
    QPointer<QButtonGroup> radioGroup;
    QPointer<QLabel> pendingBuddy;
    QEventLoop* loop = nullptr;  // the nested loop of a modal form
    bool modal = false;
    bool resizable = false;
    bool loaded = false;
    bool active = false;
    bool inClose = false;
};

// Hooks the robot installs to answer dialogs and watch modal forms.
struct Hooks {
    // kind "open"/"save"; returns the answer when the robot takes the dialog.
    std::function<std::optional<std::string>(const std::string& kind, const std::string& title)>
        fileDialog;
    // Returns true when the robot took the toolkit's own message box.
    std::function<bool(const std::string& title, const std::string& text)> msgBox;
    // Told when a form is shown (after Shown); lets the robot guard modal forms.
    std::function<void(const std::string& form, bool modal)> formShown;
};

struct State {
    EzEventProc event = nullptr;
    EzDesignProc design = nullptr;
    std::map<std::string, std::unique_ptr<Form>> forms;
    std::vector<std::string> order;  // forms in the order shown (for EZ_CURRENTFORM)
    std::map<int, QFont> fonts;
    std::map<int, QColor> colours;
    std::string imageFolder = "Images";
    std::string appPath;
    uint64_t nextSerial = 1;
    int quiet = 0;       // > 0 while the program itself changes a value
    int doEvents = 0;    // > 0 inside EZ_DOEVENTS
    int modalDepth = 0;  // nested modal loops
    QEventLoop* mainLoop = nullptr;
    // Replaces the command-line arguments EZ_COMMANDARGS reports (tests, scenarios).
    std::optional<std::vector<std::string>> commandArgs;
    // Windows asked for while no toolkit runs (a form, a message box, a file
    // dialog): they cannot be shown, and tests fail on them.
    std::vector<std::string> unshown;
    Hooks hooks;
    double colPx = 7.0;
    double rowPx = 15.0;
};

State& S();
bool HaveApp();
// Creates the application object once (offscreen when no display is set and
// offscreen is asked for); sets the base font, style and units.
void EnsureApp(int argc, char** argv);

Form* FindForm(const std::string& name);
Ctl* FindCtl(const std::string& form, int id);
QWidget* CtlWidget(const std::string& form, int id);
QAction* FindAction(const std::string& form, int id);

// Raises an event to the program; returns the cancel flag.
int Raise(const std::string& form, int id, EzEvent ev, int64_t value = 0);

// While alive, value changes are the program's own and raise no events.
struct Quiet {
    Quiet() { ++S().quiet; }
    ~Quiet() { --S().quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;
};
inline bool IsQuiet() {
    return S().quiet > 0;
}

// Units.
int ColsToPx(double cols);
int RowsToPx(double rows);
double PxToCols(double px);
double PxToRows(double px);

QString Q(const std::string& s);
std::string U(const QString& s);
// An image file from the image folder (or an absolute path); null when missing.
QString ImagePath(const std::string& file);
QFont FontSlot(int slot);
QColor ColourSlot(int slot);

// The form window: a plain top-level widget whose close control and
// activation changes are turned into toolkit events.
class FormWindow : public QWidget {
public:
    FormWindow(QWidget* parent, Qt::WindowFlags flags, std::string name);
    const std::string& name() const { return name_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    std::string name_;
};

// The control (registered id) a widget belongs to, walking up to the form.
// Returns false when the widget belongs to no form.
bool ControlOf(QObject* o, std::string& form, int& id, bool walkUp);

// Key code of a Qt key for toolkit Key events; 0 when the key raises none.
int KeyCodeOf(int qtKey);
int QtKeyOf(int ezKey);

// "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*" -> "PDF Files (*.pdf);;All Files (*)".
QString QtFilter(const std::string& filter);

// The serial number of a form's current life (0 when it does not exist): a
// form closed and opened again gets a new one.
uint64_t FormSerial(const std::string& form);
// Used by the robot: a user's click on a list view's check-box cell.
void ListViewUserToggleCheck(const std::string& form, int id, int row, int col);

}  // namespace ez
