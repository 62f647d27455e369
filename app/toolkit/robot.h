// The robot drives the real forms by form name and control id through the same
// event path as a person, answers the program's message boxes and file dialogs
// from expectations, and saves screenshots. It works headless (offscreen).
//
// Usage (inside a test with a running toolkit session):
//
//   Robot r;                              // installs a RecordingPlatform
//   r.Start();                            // runs StartApplication -> main window
//   r.Click("VL", 9105);                  // opens SL modally...
//   r.Type("ES", 100, "WAAA-FM");         // ...and later steps run inside it
//   r.ExpectMsg("Duplicate Station Found", 1);
//   r.Run();                              // plays every step; returns when done
//   EXPECT_TRUE(r.Ok()) << r.Errors();
//
// Steps are queued and then played one by one from the event loop, so a step
// that opens a modal form does not block the rest: the following steps run
// inside the modal form's own loop. A step addressing a form that does not
// exist yet waits (up to a timeout) until it appears.
//
// Message boxes (form "DGMSGBOX1"): a box that appears while the next step is
// not an ExpectMsg is an error ("unexpected prompt"); it is dismissed with Esc.
// File dialogs take their answer from ExpectSaveDialog / ExpectOpenDialog; a
// dialog with no queued answer is an error and answers "" (cancelled), and so
// is an answer still unused when Run ends.
//
// When the steps are over, Run takes down modal forms still open (their
// EZ_FORM calls sit on the stack below Run), so read a modal form inside Do.
// Modeless forms (the main window) stay open for reads and further Runs. A
// modal form opened while no Run is playing would wait for ever: the robot
// records it as an error and takes it down. Do steps queued just before an
// ExpectMsg run before it and do not make the box unexpected.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/base/platform.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_testing.h"

// A control of a form, by its id or by the name its form declares for it
// ("Toggle"). Names are looked up through what SetRobotControlNames
// installed (the program's test set-up installs the form table's names).
class ControlRef {
public:
    ControlRef(int id) : id_(id) {}
    template <size_t N>
    ControlRef(const char (&name)[N]) : name_(name) {}
    // The id in form; -1 for a name the form does not declare.
    int In(const std::string& form) const;
    // The name as given, or the id as a number.
    std::string Word() const { return name_ ? std::string(name_) : std::to_string(id_); }

private:
    int id_ = 0;
    const char* name_ = nullptr;
};

// Looks a control's name up in a form: its id, -1 when the form has no
// control of that name.
void SetRobotControlNames(int (*lookup)(const std::string& form, const std::string& name));

class Robot {
public:
    Robot();
    ~Robot();
    Robot(const Robot&) = delete;
    Robot& operator=(const Robot&) = delete;

    RecordingPlatform& platform();

    // --- steps (queued; played by Run) ---
    void Start();  // the program's start (SetRobotStart) -> main window
    void OpenForm(const std::string& name, const std::string& parent, const std::string& caption,
                  double w, double h);  // EZ_FORM, for testing one form alone
    void Click(const std::string& form, ControlRef id);
    void DblClick(const std::string& form, ControlRef id, int row = -1);
    void RightClick(const std::string& form, ControlRef id, int row = -1);
    void Type(const std::string& form, ControlRef id,
              const std::string& text);  // replaces the text
    void SetCheck(const std::string& form, ControlRef id, bool on);
    // Clicks the check-box image of a list-view cell ("{S}X1" / "{S}X2") as a user would.
    void ToggleCheckCell(const std::string& form, ControlRef id, int row, int col);
    void SelectItem(const std::string& form, ControlRef id, const std::string& text);  // combo/list
    void SelectIndex(const std::string& form, ControlRef id, int index);
    void SelectRow(const std::string& form, ControlRef id, int row,
                   bool extend = false);  // list view
    void HeaderClick(const std::string& form, ControlRef id, int col);
    // EzKey, e.g. kKeyEnter, sent as a real key press; F1/F7 raise the form's
    // accelerator with the control focused.
    void Key(const std::string& form, ControlRef id, int key);
    void Drag(const std::string& form, ControlRef id, int fromIndex, int toIndex);
    void SetDate(const std::string& form, ControlRef id, int y, int m, int d, int hour, int minute);
    void Close(const std::string& form);     // the window's close control
    void WaitForm(const std::string& form);  // until the form exists
    void WaitGone(const std::string& form);  // until the form is gone
    void Screenshot(const std::string& form, const std::string& pngPath);
    // Expects the next message box; its title must contain titlePart.
    // answer: button number, 99 for Esc; checkBox sets the box before answering.
    void ExpectMsg(const std::string& titlePart, int answer, bool checkBox = false);
    // Runs arbitrary code as a step (reads, assertions).
    void Do(std::function<void()> fn);

    // File dialog answers (not steps: they are consumed when a dialog is asked for).
    void ExpectSaveDialog(const std::string& path);  // "" cancels
    void ExpectOpenDialog(const std::string& path);

    // Plays the queued steps. Returns when all have run (or on timeout / error).
    void Run(int timeoutMs = 20000);

    // --- results ---
    bool Ok() const;
    std::string Errors() const;
    // Titles and first texts of every message box shown, in order.
    const std::vector<std::string>& MessageTitles() const;
    const std::vector<std::string>& MessageTexts() const;

    // --- direct reads (valid between steps, e.g. inside Do, or after Run) ---
    static std::string Text(const std::string& form, ControlRef id) {
        return EZ_GETTEXT(form, id.In(form));
    }
    static bool Checked(const std::string& form, ControlRef id) {
        return EZ_GETCHECK(form, id.In(form));
    }
    static bool Enabled(const std::string& form, ControlRef id) {
        return EZ_ISENABLED(form, id.In(form));
    }
    static bool Visible(const std::string& form, ControlRef id) {
        return EZ_ISVISIBLE(form, id.In(form));
    }
    static bool FormExists(const std::string& form) { return EZ_FORMEXISTS(form); }

    // --- what the toolkit made of its inputs (for the toolkit's own tests) ---
    struct FontFacts {
        std::string family;
        double points = 0;
        bool bold = false;
    };
    // The font a slot resolved to, and the application's base font family.
    static FontFacts FontOf(int slot);
    static std::string BaseFontFamily();
    // The colour a slot holds, as red, green and blue 0..255.
    static void ColourOf(int slot, int& r, int& g, int& b);
    // The filter text the file dialogs are given for a "Name|*.ext" filter.
    static std::string DialogFilter(const std::string& filter);
    // True when the mouse pointer turns into a pointing hand over the control.
    static bool HandCursor(const std::string& form, int id);
    // The object name of a form's window (id 0) or of a control; "" when none.
    static std::string ObjectName(const std::string& form, int id);
    // Width and height of an image file in pixels; false when it cannot be read.
    static bool ImageSize(const std::string& path, int& width, int& height);

    // --- what a screenshot of a control shows, as facts a test can check ---
    // Saves a PNG of the open context menu; false when none is open.
    static bool PopupScreenshot(const std::string& pngPath);
    // Pixels to spare around a button's caption: its width less the caption's
    // width and the style's margins and frame (negative: the caption is clipped).
    static int CaptionRoom(const std::string& form, int id);
    // A list view's columns reach its right edge (nothing blank beside the last).
    static bool ColumnsFillWidth(const std::string& form, int id);
    // A list view shows its header row.
    static bool HeaderShown(const std::string& form, int id);
    // A list box or list view whose content is wider than it offers a
    // horizontal scroll bar to reach the rest (true also when all fits).
    static bool WideContentScrolls(const std::string& form, int id);
    // A list view's current row (the one the keyboard moves from), -1 when none.
    static int CurrentRow(const std::string& form, int id);
    // The order the list view sorted in before it sorted by folded keys: Qt's
    // case-insensitive compare of the two texts (<0, 0, >0). Tests use it as
    // the reference the list view's order must equal.
    static int QtCompareIgnoringCase(const std::string& a, const std::string& b);
    // Tells a list view its rows were rearranged and lets it lay them out
    // again: what a sort costs beyond the sorting itself (benchmarks).
    static void RelayoutListView(const std::string& form, int id);

    struct Impl;

private:
    // The id of a control a step addresses; an unknown name is an error.
    int IdOf(const std::string& form, const ControlRef& control);
    std::unique_ptr<Impl> impl_;
};

// Creates the test process's application once (offscreen unless a platform
// is set). The program's forms are wired in by EzTestInit (app/test_init.h).
void EzTestApp(int argc = 0, char** argv = nullptr);

// The message box the robot answers: its form, the control holding its first
// text, its check box, and the id of button 1 (button n is firstButtonId + n - 1).
struct RobotMessageBox {
    std::string form;
    int text1Id = 0;
    int checkId = 0;
    int firstButtonId = 0;
};
void SetRobotMessageBox(const RobotMessageBox& box);
// What Robot::Start runs: the program's start (its entry procedures and main window).
void SetRobotStart(void (*start)());
