// Form PO: the options dialog. Works on a copy of the options record; the date
// format and slash settings act live so that the example date follows them,
// and are set back when the dialog closes without saving.
#include <optional>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "services/maintenance.h"
#include "ui/file_helpers.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "PO";

enum : int {
    kHeading = kPoHeading,
    kAllStations = kPoAllStations,
    kActiveStations = kPoActiveStations,
    kReminder = kPoReminder,
    kSequence = kPoSequence,
    kWeekOfMonth = kPoWeekOfMonth,
    kEvery = kPoEvery,
    kWeekday = kPoWeekday,
    kNameExample = kPoNameExample,
    kFormatLabel = kPoFormatLabel,
    kDateFormat = kPoDateFormat,
    kDateExample = kPoDateExample,
    kSlashes = kPoSlashes,
    kSave = kPoSave,
    kClose = kPoClose,
    kHelp = kPoHelp,
    kGeneralFrame = kPoGeneralFrame,
    kBackupFrame = kPoBackupFrame,
    kDateFrame = kPoDateFrame,
};

constexpr int kGeneralTopic = 380;
constexpr int kBackupTopic = 120;
constexpr int kDateTopic = 410;

struct SavedDates {
    int format = 1;
    bool slash = false;
    bool mondayStart = false;
};

// Exists while the dialog is open.
struct OptionsDialogState {
    Options work;
    SavedDates saved;
};

std::optional<OptionsDialogState>& Dlg() {
    static std::optional<OptionsDialogState> state;
    return state;
}

// Whether the open dialog saved the options, for its opener.
bool& SavedAny() {
    static bool saved = false;
    return saved;
}

SavedDates LiveDates() {
    return {Dates().format, Dates().slash, Dates().mondayStart};
}

const OptionKey* KeyForControl(int id) {
    for (const OptionKey& k : OptionTable()) {
        if (k.control == OptionControl::None) continue;
        if (k.controlId == id || (k.control == OptionControl::Radio && id == kAllStations))
            return &k;
    }
    return nullptr;
}

int TopicForControl(int id) {
    if (id == kGeneralFrame || (id >= kHeading && id <= kPoUpdate)) return kGeneralTopic;
    if (id == kBackupFrame || (id >= kReminder && id <= kPoWarnOverwrite)) return kBackupTopic;
    if (id == kDateFrame || (id >= kFormatLabel && id <= kPoMondayStart)) return kDateTopic;
    return 0;
}

void ShowDateExample() {
    EZ_SETTEXT(kForm, kDateExample, "(" + DisplayDate(TodayJulian()) + ")");
}

void EnableSave() {
    EZ_ENABLE(kForm, kSave, true);
}

// The sequence list follows the reminder box; the controls beside it follow
// the sequence: daily shows none, weekly "every" + weekday, monthly week + weekday.
void ApplyBackupLayout() {
    bool on = EZ_GETCHECK(kForm, kReminder);
    int seq = EZ_SELECTEDITEM(kForm, kSequence);
    EZ_ENABLE(kForm, kSequence, on);
    const struct {
        int id;
        bool shown;
    } parts[] = {{kWeekOfMonth, seq == 2}, {kEvery, seq == 1}, {kWeekday, seq == 1 || seq == 2}};
    for (const auto& p : parts) {
        EZ_SHOW(kForm, p.id, p.shown);
        if (p.shown) EZ_ENABLE(kForm, p.id, on);
    }
}

void FillControls() {
    auto& d = *Dlg();
    for (const OptionKey& k : OptionTable()) {
        int v = OptionValue(d.work, k);
        switch (k.control) {
            case OptionControl::Check:
                EZ_SETCHECK(kForm, k.controlId, v != 0);
                break;
            case OptionControl::Radio:
                EZ_SETCHECK(kForm, k.controlId, v != 0);
                EZ_SETCHECK(kForm, kAllStations, v == 0);
                break;
            case OptionControl::List:
                EZ_SELECTITEM(kForm, k.controlId, v);
                break;
            case OptionControl::None:
                break;
        }
    }
    // The date controls show the live settings.
    EZ_SELECTITEM(kForm, kDateFormat, Dates().format);
    EZ_SETCHECK(kForm, kSlashes, Dates().slash);
    ShowDateExample();
    EZ_SETTEXT(kForm, kNameExample, "(Example: " + DateTimeStamp() + "-Backup.zip)");
    ApplyBackupLayout();
    EZ_ENABLE(kForm, kSave, false);
}

// False when the settings file could not be written (the user has been told).
bool SaveDialog() {
    auto& d = *Dlg();
    d.work.dateFormat = Dates().format;
    d.work.slash = Dates().slash;
    Opts() = d.work;
    EZ_ENABLE(kForm, kSave, false);
    const bool written = SaveOptions(Opts());
    // The reminder's schedule counts from the day it is switched on when no
    // backup has been made yet.
    if (written && Opts().enableBackup) StartBackupSchedule();
    if (!written) {
        // The options apply for this session; the dialog stays open with Save
        // on, so that the user can try again once the cause is put right.
        EZ_ENABLE(kForm, kSave, true);
        DgMsgOk("Options Not Saved",
                "The options could not be written to " + Paths().settingsFile + ".{f10,t4}",
                "They apply until Vantrel is closed. Check that the disk has free space and the "
                "folder can be written, then click Save again.{f6}");
    }
    SetDateSettings(Opts().dateFormat, Opts().slash, Opts().mondayStart);
    d.saved = LiveDates();
    SavedAny() = true;
    return written;
}

// A click on a box or radio button, or a new list selection.
void ControlChanged(int id) {
    auto& d = *Dlg();
    const OptionKey* k = KeyForControl(id);
    if (!k) return;
    int v = 0;
    if (k->control == OptionControl::List)
        v = EZ_SELECTEDITEM(kForm, id);
    else if (k->control == OptionControl::Radio)
        v = EZ_GETCHECK(kForm, k->controlId) ? 1 : 0;
    else
        v = EZ_GETCHECK(kForm, id) ? 1 : 0;
    if (k->control == OptionControl::List && v < 0) return;
    SetOptionValue(d.work, *k, v);
    if (id == kDateFormat || id == kSlashes) {
        SetDateSettings(d.work.dateFormat, d.work.slash, Dates().mondayStart);
        ShowDateExample();
    }
    if (id == kReminder || id == kSequence) ApplyBackupLayout();
    EnableSave();
}

// Closing with unsaved changes asks first; the live date settings go back to
// the saved ones whichever way the dialog closes.
void Closing(int& cancel) {
    auto& d = *Dlg();
    if (EZ_ISENABLED(kForm, kSave)) {
        int answer = AskSaveChanges(kForm, kSave, "");
        if (answer == 1) {
            if (!SaveDialog()) {
                cancel = 1;
                return;
            }
        } else if (answer != 2) {
            cancel = 1;
            return;
        }
    }
    SetDateSettings(d.saved.format, d.saved.slash, d.saved.mondayStart);
    Dlg().reset();
}

void Frame(int id, const char* caption, double row, double h) {
    EZ_CONTROL(kForm, id, EzKind::Frame, caption, 1, row, 56, h);
}

void Check(int id, const char* caption, double col, double row, double w = 46) {
    EZ_CONTROL(kForm, id, EzKind::Check, caption, col, row, w, 1.2);
}

void List(int id, const char* items, double col, double row, double w) {
    EZ_CONTROL(kForm, id, EzKind::Combo, "", col, row, w, 1.5);
    std::string rest = items;
    for (size_t p; (p = rest.find('|')) != std::string::npos; rest.erase(0, p + 1))
        EZ_ADDITEM(kForm, id, rest.substr(0, p));
    EZ_ADDITEM(kForm, id, rest);
}

void PO_Design() {
    Dlg().emplace();
    Dlg()->work = Opts();
    Dlg()->saved = LiveDates();

    Frame(kGeneralFrame, "General Options", 0.5, 10.5);
    EZ_CONTROL(kForm, kHeading, EzKind::Label, "On Beginning of New Quarter", 3, 2.0, 40, 1.2);
    EZ_SETFONT(kForm, kHeading, kFontBold);
    EZ_CONTROL(kForm, kAllStations, EzKind::Radio, "Copy all stations", 5, 3.2, 40, 1.2, "G");
    EZ_CONTROL(kForm, kActiveStations, EzKind::Radio, "Copy active stations only", 5, 4.4, 40, 1.2);
    Check(kPoCopyIssues, "Copy issues from previous quarter", 5, 5.6, 44);
    Check(kPoAlertDeadline, "Alert me on filing deadline", 3, 7.0);
    Check(kPoTipsOn, "Show 'pop-up' tool tip help", 3, 8.2);
    Check(kPoUpdate, "Tell me when there is a program update", 3, 9.4);

    Frame(kBackupFrame, "Backup Options", 11.5, 8.7);
    Check(kReminder, "Enable backup reminder", 3, 13.0);
    List(kSequence, "Daily|Weekly|Monthly", 5, 14.3, 13);
    List(kWeekOfMonth, "1st|2nd|3rd|4th|Last", 19.5, 14.3, 9);
    EZ_CONTROL(kForm, kEvery, EzKind::Label, "every", 19.5, 14.45, 9, 1.2);
    List(kWeekday, "Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday", 30, 14.3, 15);
    Check(kPoAutoName, "Automatically generate backup file names", 3, 16.2);
    EZ_CONTROL(kForm, kNameExample, EzKind::Label, "(Example: 20130301-100000-Backup.zip)", 6.2,
               17.4, 44, 1.2);
    Check(kPoWarnOverwrite, "Warn when overwriting an existing file", 3, 18.7);

    Frame(kDateFrame, "Date Options", 20.7, 6.0);
    EZ_CONTROL(kForm, kFormatLabel, EzKind::Label, "Format:", 3, 22.35, 8, 1.2);
    List(kDateFormat, "YYYY-MM-DD|MM-DD-YYYY|DD-MM-YYYY", 11, 22.2, 19);
    EZ_CONTROL(kForm, kDateExample, EzKind::Label, "(12-31-2014)", 31.5, 22.35, 16, 1.2);
    Check(kSlashes, "Use slashes instead of dashes in dates", 3, 23.95);
    Check(kPoMondayStart, "Drop down calendars start on Monday", 3, 25.15);

    EZ_CONTROL(kForm, kSave, EzKind::Button, "Save", 24, 27.5, 10, 1.7);
    EZ_CONTROL(kForm, kClose, EzKind::Button, "Close", 35.5, 27.5, 10, 1.7);
    EZ_CONTROL(kForm, kHelp, EzKind::Button, "Help", 47, 27.5, 10, 1.7);

    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, kSequence, "Select backup sequence");
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    FillControls();
    Shell().helpTopic = kGeneralTopic;
}

void PO_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (!Dlg()) return;
    // Help shows the topic of the part of the dialog last pointed at or changed.
    if (CommonFormEvent(kForm, id, ev, {kHelp, kClose, kGeneralTopic}, Shell().helpTopic)) return;
    switch (ev) {
        case EzEvent::Loaded: {
            if (id != 0) break;
            KeepDesignedSize(kForm, kOptionsFormWidth, kOptionsFormHeight);
            break;
        }
        case EzEvent::MouseOver:
        case EzEvent::GotFocus:
            if (int topic = TopicForControl(id)) Shell().helpTopic = topic;
            break;
        case EzEvent::Click:
            if (int topic = TopicForControl(id)) Shell().helpTopic = topic;
            if (id == kSave) {
                if (SaveDialog()) EZ_UNLOADFORM(kForm);
            } else if (id == kAllStations || id == kActiveStations) {
                ControlChanged(id);
            } else if (const OptionKey* k = KeyForControl(id);
                       k && k->control == OptionControl::Check) {
                ControlChanged(id);
            }
            break;
        case EzEvent::Change:
            if (const OptionKey* k = KeyForControl(id); k && k->control == OptionControl::List) {
                if (int topic = TopicForControl(id)) Shell().helpTopic = topic;
                ControlChanged(id);
            }
            break;
        case EzEvent::Close:
            if (id == 0) Closing(cancel);
            break;
        case EzEvent::Unloaded:
            // Gone without a Close event: still put the live date settings back.
            if (id == 0) {
                SetDateSettings(Dlg()->saved.format, Dlg()->saved.slash, Dlg()->saved.mondayStart);
                Dlg().reset();
            }
            break;
        default:
            break;
    }
}

constexpr ControlName kControls[] = {
    {"Heading", kPoHeading},
    {"AllStations", kPoAllStations},
    {"ActiveStations", kPoActiveStations},
    {"CopyIssues", kPoCopyIssues},
    {"AlertDeadline", kPoAlertDeadline},
    {"TipsOn", kPoTipsOn},
    {"Update", kPoUpdate},
    {"Reminder", kPoReminder},
    {"Sequence", kPoSequence},
    {"WeekOfMonth", kPoWeekOfMonth},
    {"Every", kPoEvery},
    {"Weekday", kPoWeekday},
    {"AutoName", kPoAutoName},
    {"NameExample", kPoNameExample},
    {"WarnOverwrite", kPoWarnOverwrite},
    {"FormatLabel", kPoFormatLabel},
    {"DateFormat", kPoDateFormat},
    {"DateExample", kPoDateExample},
    {"Slashes", kPoSlashes},
    {"MondayStart", kPoMondayStart},
    {"Save", kPoSave},
    {"Close", kPoClose},
    {"Help", kPoHelp},
    {"GeneralFrame", kPoGeneralFrame},
    {"BackupFrame", kPoBackupFrame},
    {"DateFrame", kPoDateFrame},
};

}  // namespace

constinit const FormDecl kOptionsForm = {
    .name = "PO",
    .caption = "Program Options",
    .width = kOptionsFormWidth,
    .height = kOptionsFormHeight,
    .style = "",
    .helpTopic = kGeneralTopic,
    .design = PO_Design,
    .event = PO_Event,
    .controls = kControls,
};

bool OpenProgramOptions(const std::string& parent) {
    SavedAny() = false;
    OpenForm(kOptionsForm, parent);
    return SavedAny();
}
