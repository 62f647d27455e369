// The GUI test robot: plays queued steps from the event loop (a self re-arming
// timer), so that steps after one that opens a modal form run inside that
// form's own loop; answers message boxes and file dialogs from expectations.
// What a step does to a control is the backend's (robot_backend.h).
#include "app/toolkit/robot.h"

#include <algorithm>
#include <deque>

#include "app/toolkit/robot_backend.h"

namespace rb = robot_backend;

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

std::string Ctl(const std::string& form, int id) {
    return form + "." + std::to_string(id);
}

rb::FormState StateOf(const std::string& form) {
    const rb::Forms forms = rb::FormsNow();
    auto it = forms.byName.find(form);
    return it == forms.byName.end() ? rb::FormState{} : it->second;
}

uint64_t FormSerial(const std::string& form) {
    return StateOf(form).serial;
}

// The innermost modal form opened while the robot plays, if any.
std::string InnermostModal() {
    const rb::Forms forms = rb::FormsNow();
    for (auto it = forms.shown.rbegin(); it != forms.shown.rend(); ++it) {
        auto f = forms.byName.find(*it);
        if (f != forms.byName.end() && f->second.inLoop) return *it;
    }
    return "";
}

// The form to take down first at the robot's end ("" when none is left).
std::string NewestForm() {
    const rb::Forms forms = rb::FormsNow();
    if (forms.byName.empty()) return "";
    return forms.shown.empty() ? forms.byName.begin()->first : forms.shown.back();
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
    rb::Ticker timer{[this]() { Pump(); }};
    bool running = false;
    int64_t started = 0;
    int timeoutMs = 20000;
    int stepWaitMs = 8000;
    int64_t waitStart = -1;
    uint64_t handledBox = 0;
    int baseModalDepth = 0;
    int endTicks = 0;

    int64_t Elapsed() const { return rb::NowMs() - started; }

    // One line per error (message texts may hold line breaks).
    void Error(std::string e) {
        for (char& c : e)
            if (c == '\n') c = '|';
        errors.push_back(std::move(e));
    }
    void Arm() {
        if (running) timer.Start(10);
    }

    std::string Where() const {
        if (next == 0 || next > steps.size()) return "";
        return "step " + std::to_string(next) + " (" + steps[next - 1].desc + "): ";
    }

    // Records what kept the current step's action from being done, if anything.
    void Check(const std::string& where, const std::string& failure) {
        if (!failure.empty()) Error(where + failure);
    }

    void RecordBox() {
        titles.push_back(EZ_GETTEXT(MessageBoxForm().form, 0));
        texts.push_back(EZ_GETTEXT(MessageBoxForm().form, MessageBoxForm().text1Id));
    }

    // Esc, as a person would; a box that ignores Esc is taken down. The key
    // may be delivered from the event loop (a posted key stroke), so whether
    // the box went is looked at once the loop has run.
    void DismissBox() {
        const std::string box = MessageBoxForm().form;
        const uint64_t serial = FormSerial(box);
        rb::SendKey(box, 0, kKeyEsc);
        rb::Later([box, serial]() {
            if (serial && FormSerial(box) == serial) EZ_DESTROYFORM(box);
        });
    }

    bool Ready(const Step& s) const {
        switch (s.wait) {
            case Wait::None:
                return true;
            case Wait::FormExists:
                return StateOf(s.form).loaded;
            case Wait::FormGone:
                return FormSerial(s.form) == 0;
            case Wait::MsgBox: {
                uint64_t serial = FormSerial(MessageBoxForm().form);
                return serial && serial != handledBox;
            }
        }
        return true;
    }

    void Finish() {
        // Steps are over: modal forms still open must go so that the stack of
        // nested loops unwinds back to Run.
        if (rb::FormsNow().modalDepth > baseModalDepth) {
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
        timer.Stop();
        rb::QuitLoop();
    }

    void Abort(const std::string& why) {
        Error(why);
        next = steps.size() + 1;
    }

    void Pump() {
        if (!running) return;
        if (rb::FormsNow().doEvents) {  // the program is letting events run: wait
            Arm();
            return;
        }
        if (Elapsed() > timeoutMs) {
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
            if (waitStart < 0) waitStart = Elapsed();
            if (Elapsed() - waitStart > stepWaitMs) {
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

    // A step that acts on a control the user must be able to reach: waits for
    // its form, checks the control, then acts; what fails is the step's error.
    void AddOn(std::string desc, const std::string& form, int id,
               std::function<std::string()> act) {
        Add(std::move(desc), form, Wait::FormExists, [this, form, id, act]() {
            const std::string where = Where();
            std::string failure = rb::Reach(form, id);
            if (failure.empty()) failure = act();
            Check(where, failure);
        });
    }
};

// ---------------------------------------------------------------------------
Robot::Robot() : impl_(std::make_unique<Impl>()) {
    EzTestApp();
    auto rec = std::make_unique<RecordingPlatform>();
    impl_->recording = rec.get();
    impl_->previous = SetPlatform(std::move(rec));
    Impl* im = impl_.get();

    rb::Hooks hooks;
    hooks.fileDialog = [im](const std::string& kind,
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
    hooks.msgBox = [im](const std::string& title, const std::string& text) {
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
    hooks.formShown = [im](const std::string& form, bool modal) {
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
        rb::Later([form, serial]() {
            if (FormSerial(form) == serial) EZ_DESTROYFORM(form);
        });
    };
    rb::SetHooks(std::move(hooks));
}

Robot::~Robot() {
    impl_->running = false;
    impl_->timer.Stop();
    rb::SetHooks({});
    for (std::string form = NewestForm(); !form.empty(); form = NewestForm()) EZ_DESTROYFORM(form);
    rb::Settle();
    SetPlatform(std::move(impl_->previous));
}

RecordingPlatform& Robot::platform() {
    return *impl_->recording;
}

namespace {
int (*&ControlNames())(const std::string&, const std::string&) {
    static int (*lookup)(const std::string&, const std::string&) = nullptr;
    return lookup;
}
}  // namespace

void SetRobotControlNames(int (*lookup)(const std::string& form, const std::string& name)) {
    ControlNames() = lookup;
}

int ControlRef::In(const std::string& form) const {
    if (!name_) return id_;
    return ControlNames() ? ControlNames()(form, name_) : -1;
}

int Robot::IdOf(const std::string& form, const ControlRef& control) {
    const int id = control.In(form);
    if (id < 0) impl_->Error("form " + form + " has no control named '" + control.Word() + "'");
    return id;
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

void Robot::Click(const std::string& form, ControlRef control) {
    const int id = IdOf(form, control);
    Impl* im = impl_.get();
    impl_->Add("click " + Ctl(form, id), form, Wait::FormExists,
               [=]() { im->Check(im->Where(), rb::Click(form, id)); });
}

void Robot::DblClick(const std::string& form, ControlRef control, int row) {
    const int id = IdOf(form, control);
    impl_->AddOn("dblclick " + Ctl(form, id), form, id,
                 [=]() { return rb::DblClick(form, id, row); });
}

void Robot::RightClick(const std::string& form, ControlRef control, int row) {
    const int id = IdOf(form, control);
    impl_->AddOn("rightclick " + Ctl(form, id), form, id,
                 [=]() { return rb::RightClick(form, id, row); });
}

void Robot::Type(const std::string& form, ControlRef control, const std::string& text) {
    const int id = IdOf(form, control);
    impl_->AddOn("type " + Ctl(form, id), form, id, [=]() { return rb::Type(form, id, text); });
}

void Robot::SetCheck(const std::string& form, ControlRef control, bool on) {
    const int id = IdOf(form, control);
    impl_->AddOn("check " + Ctl(form, id), form, id, [=]() { return rb::SetCheck(form, id, on); });
}

void Robot::ToggleCheckCell(const std::string& form, ControlRef control, int row, int col) {
    const int id = IdOf(form, control);
    impl_->AddOn("toggle check " + Ctl(form, id), form, id,
                 [=]() { return rb::ToggleCheckCell(form, id, row, col); });
}

void Robot::SelectItem(const std::string& form, ControlRef control, const std::string& text) {
    const int id = IdOf(form, control);
    impl_->AddOn("select " + Ctl(form, id) + " \"" + text + "\"", form, id, [=]() {
        return rb::Select(form, id, -1, text) ? std::string() : "no item \"" + text + "\"";
    });
}

void Robot::SelectIndex(const std::string& form, ControlRef control, int index) {
    const int id = IdOf(form, control);
    impl_->AddOn("select " + Ctl(form, id) + " #" + std::to_string(index), form, id, [=]() {
        return index >= 0 && rb::Select(form, id, index, "") ? std::string()
                                                             : "no item " + std::to_string(index);
    });
}

void Robot::SelectRow(const std::string& form, ControlRef control, int row, bool extend) {
    const int id = IdOf(form, control);
    impl_->AddOn("select-row " + Ctl(form, id) + " " + std::to_string(row), form, id, [=]() {
        return rb::SelectRow(form, id, row, extend) ? std::string()
                                                    : "no row " + std::to_string(row);
    });
}

void Robot::HeaderClick(const std::string& form, ControlRef control, int col) {
    const int id = IdOf(form, control);
    impl_->AddOn("header-click " + Ctl(form, id), form, id,
                 [=]() { return rb::HeaderClick(form, id, col); });
}

void Robot::Key(const std::string& form, ControlRef control, int key) {
    const int id = IdOf(form, control);
    const std::string desc = "key " + Ctl(form, id) + " " + std::to_string(key);
    if (id == 0) {
        // The form's focus takes the key: nothing to reach.
        Impl* im = impl_.get();
        impl_->Add(desc, form, Wait::FormExists,
                   [=]() { im->Check(im->Where(), rb::Key(form, id, key)); });
        return;
    }
    impl_->AddOn(desc, form, id, [=]() { return rb::Key(form, id, key); });
}

void Robot::Drag(const std::string& form, ControlRef control, int fromIndex, int toIndex) {
    const int id = IdOf(form, control);
    impl_->AddOn("drag " + Ctl(form, id), form, id, [=]() {
        return rb::Drag(form, id, fromIndex, toIndex)
                   ? std::string()
                   : "cannot drag item " + std::to_string(fromIndex) + " to " +
                         std::to_string(toIndex);
    });
}

void Robot::SetDate(const std::string& form, ControlRef control, int y, int m, int d, int hour,
                    int minute) {
    const int id = IdOf(form, control);
    impl_->AddOn("set-date " + Ctl(form, id), form, id,
                 [=]() { return rb::SetDate(form, id, y, m, d, hour, minute); });
}

void Robot::Close(const std::string& form) {
    impl_->Add("close " + form, form, Wait::FormExists, [=]() { rb::Close(form); });
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
            const RobotMessageBox& box = MessageBoxForm();
            im->handledBox = FormSerial(box.form);
            im->RecordBox();
            const std::string title = im->titles.back();
            if (title.find(titlePart) == std::string::npos)
                im->Error(im->Where() + "got prompt: " + title + " / " + im->texts.back());
            if (checkBox && !rb::TickBox(box.form, box.checkId))
                im->Error(im->Where() + "the prompt has no check box");
            if (answer == 99) {
                im->DismissBox();
                return;
            }
            const std::string where = im->Where();
            if (!rb::PressButton(box.form, box.firstButtonId + answer - 1)) {
                im->Error(where + "the prompt has no button " + std::to_string(answer));
                im->DismissBox();
            }
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
    im->baseModalDepth = rb::FormsNow().modalDepth;
    im->started = rb::NowMs();
    im->timer.Start(0);
    rb::RunLoop();
    im->running = false;
    im->timer.Stop();
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

void SetRobotStart(void (*start)()) {
    ProgramStart() = start;
}

void SetRobotMessageBox(const RobotMessageBox& box) {
    MessageBoxForm() = box;
}
