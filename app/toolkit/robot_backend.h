// What a toolkit backend gives the robot: the event loop that plays its steps,
// the state of the forms it waits for, the hooks through which it answers
// dialogs, and a user's actions on the real controls. The step queue, the
// expectations and the errors are the robot's own (robot.cpp); each backend
// implements these in its robot file (qt/robot_qt.cpp, win32/robot_win32.cpp).
// Only the robot includes this.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace robot_backend {

// --- the event loop ---

// A single-shot timer on the event loop: calls its function once, ms after Start.
class Ticker {
public:
    explicit Ticker(std::function<void()> fn);
    ~Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;
    void Start(int ms);
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Runs the event loop until QuitLoop (one level: Run does not nest).
void RunLoop();
void QuitLoop();
// Runs fn once from the event loop, as soon as it is idle.
void Later(std::function<void()> fn);
// Milliseconds of a steady clock.
int64_t NowMs();

// --- the forms ---

struct FormState {
    uint64_t serial = 0;  // of the form's current life; 0 when it does not exist
    bool loaded = false;  // its Load event has run
    bool inLoop = false;  // a modal form whose nested loop runs
};
struct Forms {
    std::map<std::string, FormState> byName;  // every form that exists
    std::vector<std::string> shown;           // in the order shown, the last at the end
    int modalDepth = 0;                       // nested modal loops
    bool doEvents = false;                    // the program is letting events run (EZ_DOEVENTS)
};
Forms FormsNow();
// Lets windows taken down finish going (the robot's end).
void Settle();

// FormsNow from a backend's records, which both keep in the same shape:
// State{forms (name -> Form), order, modalDepth, doEvents}, Form{serial, loaded}.
template <class State, class InLoop>
Forms FormsIn(const State& s, InLoop inLoop) {
    Forms out;
    for (const auto& [name, form] : s.forms)
        if (form) out.byName[name] = FormState{form->serial, form->loaded, inLoop(*form)};
    out.shown = s.order;
    out.modalDepth = s.modalDepth;
    out.doEvents = s.doEvents > 0;
    return out;
}

// --- the hooks ---
struct Hooks {
    // kind "open"/"save"; returns the answer.
    std::function<std::optional<std::string>(const std::string& kind, const std::string& title)>
        fileDialog;
    // The toolkit's own message box; returns true when the robot took it.
    std::function<bool(const std::string& title, const std::string& text)> msgBox;
    // A form was shown (after Shown).
    std::function<void(const std::string& form, bool modal)> formShown;
};
void SetHooks(Hooks hooks);

// --- a user's actions ---
// Each returns "" when done, else what kept it from being done; the robot
// prefixes the step. All but Click and Close expect a reachable control.

// "" when the user can reach the control (it exists, is shown and enabled).
std::string Reach(const std::string& form, int id);
// A button, link, menu item, tool button or accelerator.
std::string Click(const std::string& form, int id);
std::string DblClick(const std::string& form, int id, int row);
std::string RightClick(const std::string& form, int id, int row);
std::string Type(const std::string& form, int id, const std::string& text);
std::string SetCheck(const std::string& form, int id, bool on);
std::string ToggleCheckCell(const std::string& form, int id, int row, int col);
// Selects by index, or by exact text when index < 0; false when there is no such item.
bool Select(const std::string& form, int id, int index, const std::string& text);
bool SelectRow(const std::string& form, int id, int row, bool extend);
std::string HeaderClick(const std::string& form, int id, int col);
// A key press (EzKey) on the control, or on the form's focus when id is 0.
std::string Key(const std::string& form, int id, int key);
bool Drag(const std::string& form, int id, int from, int to);
std::string SetDate(const std::string& form, int id, int y, int m, int d, int hour, int minute);
// The window's close control.
void Close(const std::string& form);
// A key press as Key, without checks (dismissing a message box).
void SendKey(const std::string& form, int id, int key);
// Presses a button of a form that is not the user's to reach (the message
// box's own); false when the control is no button.
bool PressButton(const std::string& form, int id);
// Ticks a check box as a click would; false when the control is no check box.
bool TickBox(const std::string& form, int id);

}  // namespace robot_backend
