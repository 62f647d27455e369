// Form PD: the program detail editor. One dialog adds a program entry, copies
// an existing one (possibly to another station) or edits one; the rules and
// the save itself live in editors/program_entry.cpp.
#include <algorithm>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "editors/forms.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "editors/stations.h"
#include "services/spell.h"
#include "ui/data_controls.h"
#include "ui/file_helpers.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "PD";
// SI fills the issue list and enables Save through the ids it knows.

constexpr int kMinSize = 9, kMaxSize = 16;

// Working state of the open editor.
struct EditorState {
    EntryEditMode mode = EntryEditMode::Add;
    RowId entryId = 0;
    RowId programId = 0;
    RowId stationId = 0;
    RowId sourceStationId = 0;  // copy mode: the station the copied entry had
    int32_t quarter = 0;
    std::string quarterLabel;
    int32_t firstDay = 0, lastDay = 0;
    int topic = kTopicAddProgram;
    std::vector<std::string> preselected;  // issue titles of the entry as loaded
    bool updating = false;                 // an airing is being changed ("Update")
    int updateIndex = -1;
    bool choosing = false;  // the issue selection dialog is open or posted
};

// What the opener asked for, and the entry written while the editor was open
// (0: none), which the opener shows anew.
struct EditorRequest {
    EntryEditMode mode = EntryEditMode::Add;
    RowId entryId = 0;    // the stored entry copied or edited
    int32_t quarter = 0;  // the quarter of the entry
    RowId stationId = 0;  // a new entry's station (0: none chosen)
    RowId saved = 0;
};

EditorRequest& Request() {
    static EditorRequest request;
    return request;
}

// The call letters of the station a new entry starts with ("" for none).
std::string RequestedStationCalls() {
    const RowId id = Request().stationId;
    return id > 0 ? SelectText("Stations", "Calls", "StnID = " + std::to_string(id)) : "";
}

EditorState& State() {
    static EditorState state;
    return state;
}

// --- reading the form ---

std::vector<std::string> Items(int id) {
    std::vector<std::string> items;
    const int n = EZ_ITEMCOUNT(kForm, id);
    for (int i = 0; i < n; ++i) items.push_back(EZ_ITEMTEXT(kForm, id, i));
    return items;
}

void SetItems(int id, const std::vector<std::string>& items) {
    EZ_CLEARITEMS(kForm, id);
    for (const std::string& item : items) EZ_ADDITEM(kForm, id, item);
}

ProgramEntry ReadForm() {
    const EditorState& st = State();
    ProgramEntry e;
    e.entryId = st.entryId;
    e.programId = st.programId;
    e.quarter = st.quarter;
    e.stationId = st.stationId;
    e.stationCalls = EZ_GETTEXT(kForm, kPdStation);
    e.title = EZ_GETTEXT(kForm, kPdTitle);
    e.duration = EZ_GETTEXT(kForm, kPdDuration);
    e.description = EZ_GETTEXT(kForm, kPdDescription);
    e.issues = Items(kPdIssues);
    e.airings = Items(kPdAirings);
    e.freqCheck = EZ_GETCHECK(kForm, kPdVarious);
    e.frequency = EZ_GETTEXT(kForm, kPdCount);
    return e;
}

// --- availability ---

void ApplyMultipleAirings() {
    const bool on = !State().updating && MultipleAiringsAvailable(EZ_ITEMCOUNT(kForm, kPdAirings));
    EZ_ENABLE(kForm, kPdVarious, on);
    EZ_ENABLE(kForm, kPdCount, on);
    EZ_ENABLE(kForm, kPdBracket, on);
}

void Reevaluate() {
    ApplyMultipleAirings();
    EZ_ENABLE(kForm, kPdSave, SaveAvailable(ReadForm()));
}

// While an airing is being changed only the date-time field and its button stay usable.
void SetLocked(bool locked) {
    for (int id : {kPdStation, kPdTitle, kPdDuration, kPdAirings, kPdIssues, kPdDescription}) {
        EZ_ENABLE(kForm, id, !locked);
    }
    if (locked) {
        for (int id : {kPdVarious, kPdCount, kPdBracket}) EZ_ENABLE(kForm, id, false);
    } else {
        ApplyMultipleAirings();
    }
}

void EndUpdate() {
    EditorState& st = State();
    st.updating = false;
    st.updateIndex = -1;
    EZ_SETTEXT(kForm, kPdAdd, "Add");
    SetLocked(false);
}

// --- date-time field ---

// The picker's display format in the user's date order, e.g. "MM-dd-yyyy HH:mm".
std::string PickerFormat() {
    std::string hint = DateFormatHint(Dates().format);
    if (hint.empty()) hint = DateFormatHint(1);
    hint = ReplaceAll(hint, "YEAR", "yyyy");
    hint = ReplaceAll(hint, "DD", "dd");
    return hint + " HH:mm";
}

void SetPicker(int32_t day, int32_t minutes) {
    int32_t m = 0, d = 0, y = 0;
    JulianDate2Mdy(day, m, d, y);
    EZ_DTSET(kForm, kPdAirDate, y, m, d, minutes / 60, minutes % 60);
}

// The airing text of what the picker shows.
std::string PickerText() {
    int y = 0, m = 0, d = 0, hour = 0, minute = 0;
    EZ_DTGET(kForm, kPdAirDate, y, m, d, hour, minute);
    return AiringText(Mdy2JulianDate(m, d, y), hour * 60 + minute);
}

void SetupPicker() {
    const EditorState& st = State();
    int32_t m1 = 0, d1 = 0, y1 = 0, m2 = 0, d2 = 0, y2 = 0;
    JulianDate2Mdy(st.firstDay, m1, d1, y1);
    JulianDate2Mdy(st.lastDay, m2, d2, y2);
    EZ_DTSETFORMAT(kForm, kPdAirDate, PickerFormat());
    EZ_DTSETRANGE(kForm, kPdAirDate, y1, m1, d1, y2, m2, d2);
    EZ_DTMONDAYSTART(kForm, kPdAirDate, Dates().mondayStart);
    // Start at the present moment, within the quarter.
    const ClockReading now = Now();
    const int32_t today = std::clamp(TodayJulian(), st.firstDay, st.lastDay);
    SetPicker(today, now.hour * 60 + now.minute);
}

// --- description size ---

void ApplyDescriptionSize(int size) {
    // Sizes 10 to 16 have font slots of their own; 9 and anything else the normal font.
    const int slot = size >= 10 && size <= kMaxSize ? kFontSized + (size - 10) : kFontText;
    EZ_SETFONT(kForm, kPdDescription, slot);
    EZ_SETTEXT(kForm, kPdSizeValue, std::to_string(size));
}

void SizeChanged() {
    const int size = std::clamp(EZ_GETVALUE(kForm, kPdSizeSpin), kMinSize, kMaxSize);
    IniWrite(Paths().settingsFile, "Font", "Size", std::to_string(size));
    Opts().fontSize = size;
    ApplyDescriptionSize(size);
}

// --- opening ---

void FillStations() {
    EZ_CLEARITEMS(kForm, kPdStation);
    for (const StationRow& s : StationsOfQuarter(State().quarter))
        EZ_ADDITEM(kForm, kPdStation, s.calls);
}

void SelectStation(const std::string& calls) {
    EZ_SELECTITEM(kForm, kPdStation, calls.empty() ? -1 : EZ_FINDITEM(kForm, kPdStation, calls));
}

void ShowEntry(const ProgramEntry& e) {
    EZ_SETTEXT(kForm, kPdTitle, e.title);
    EZ_SETTEXT(kForm, kPdDuration, e.duration);
    EZ_SETTEXT(kForm, kPdDescription, e.description);
    SetItems(kPdAirings, e.airings);
    SetItems(kPdIssues, e.issues);
    SelectStation(e.stationCalls);
    EZ_SETCHECK(kForm, kPdVarious, e.freqCheck);
    EZ_SETTEXT(kForm, kPdCount, e.frequency);
}

void Opened() {
    EditorState& st = State();
    st = EditorState{};
    RestoreFormPlace(kForm, Paths().settingsFile, 1);

    st.mode = Request().mode;
    st.quarter = Request().quarter;
    st.quarterLabel = QuarterLabel(st.quarter);
    QuarterBounds(st.quarter, st.firstDay, st.lastDay);
    SetupPicker();
    FillStations();

    const int size = std::clamp(Opts().fontSize, kMinSize, kMaxSize);
    EZ_SETRANGE(kForm, kPdSizeSpin, kMinSize, kMaxSize);
    EZ_SETVALUE(kForm, kPdSizeSpin, size);
    ApplyDescriptionSize(size);

    if (st.mode == EntryEditMode::Add) {
        SelectStation(RequestedStationCalls());
        st.topic = kTopicAddProgram;
    } else {
        EZ_SETTEXT(
            kForm, kPdHeading,
            st.mode == EntryEditMode::Copy ? "Copy Existing Program" : "Edit Existing Program");
        ProgramEntry e;
        if (LoadProgramEntry(Request().entryId, e)) {
            ShowEntry(e);
            st.preselected = e.issues;
            st.entryId = e.entryId;
            st.programId = e.programId;
        }
        if (st.mode == EntryEditMode::Copy) {
            st.entryId = 0;
            st.programId = 0;
        }
        st.topic = st.mode == EntryEditMode::Copy ? kTopicCopyProgram : kTopicEditProgram;
    }
    st.stationId = StationIdByCalls(EZ_GETTEXT(kForm, kPdStation), std::to_string(st.quarter));
    if (st.mode == EntryEditMode::Copy) st.sourceStationId = st.stationId;
    Shell().helpTopic = st.topic;

    Reevaluate();
    if (st.mode != EntryEditMode::Add) EZ_ENABLE(kForm, kPdSave, false);  // nothing changed yet
    EZ_SETFOCUS(kForm, kPdTitle);
}

// --- airings ---

void AddClicked() {
    EditorState& st = State();
    const std::string text = PickerText();
    const int32_t day = PickerJulianDate(kForm, kPdAirDate);
    std::vector<std::string> airings = Items(kPdAirings);
    if (day < st.firstDay || day > st.lastDay) {
        // The picker is limited to the quarter; this guards a value set around it.
        AddOrUpdateAiring(airings, -1, text, st.firstDay, st.lastDay, st.quarterLabel);
    } else {
        const AiringChange r = AddOrUpdateAiring(airings, st.updating ? st.updateIndex : -1, text,
                                                 st.firstDay, st.lastDay, st.quarterLabel);
        if (r == AiringChange::Added || r == AiringChange::Updated) {
            SetItems(kPdAirings, airings);
            const auto pos = std::find(airings.begin(), airings.end(), text);
            EZ_SELECTITEM(kForm, kPdAirings, static_cast<int>(pos - airings.begin()));
        }
    }
    if (st.updating) EndUpdate();
    Reevaluate();
}

void BeginUpdate(int row) {
    EditorState& st = State();
    if (row < 0) row = EZ_SELECTEDITEM(kForm, kPdAirings);
    if (row < 0 || row >= EZ_ITEMCOUNT(kForm, kPdAirings)) return;
    const std::string text = EZ_ITEMTEXT(kForm, kPdAirings, row);
    int32_t day = 0, minutes = 0;
    if (Trim(text).empty() || !ParseAiringText(text, day, minutes)) {
        const ClockReading now = Now();
        day = TodayJulian();
        minutes = now.hour * 60 + now.minute;
    }
    st.updating = true;
    st.updateIndex = row;
    EZ_SELECTITEM(kForm, kPdAirings, row);
    EZ_SETTEXT(kForm, kPdAdd, "Update");
    SetLocked(true);
    SetPicker(day, minutes);
    EZ_SETFOCUS(kForm, kPdAirDate);
}

void DeleteSelectedAiring() {
    const int row = EZ_SELECTEDITEM(kForm, kPdAirings);
    if (row < 0) return;
    const int answer = DgMsgAsk("Delete This Airing?",
                                "Remove this airing from the listing for this program?{f10}", "",
                                "", "*{G,f7}|&Yes|&No", 2);
    if (answer != 1) return;
    EZ_DELETEITEM(kForm, kPdAirings, row);
    Reevaluate();
}

// --- issues ---

void ChooseIssuesClicked() {
    EditorState& st = State();
    if (st.updating) {
        st.choosing = false;
        return;
    }
    st.choosing = true;
    const int n = EZ_ITEMCOUNT(kForm, kPdIssues);
    for (int i = 0; i < n; ++i) EZ_SETITEMSELECTED(kForm, kPdIssues, i, false);
    EZ_SELECTITEM(kForm, kPdIssues, -1);
    const std::optional<std::vector<IssueChoice>> made =
        ChooseIssues(kForm, st.quarter, st.stationId, st.preselected);
    if (!EZ_FORMEXISTS(kForm)) return;
    if (made) {
        // The chosen issues replace the entry's, and there is something to save.
        std::vector<std::string> chosen;
        for (const IssueChoice& issue : *made) chosen.push_back(issue.title);
        SetItems(kPdIssues, chosen);
        EZ_ENABLE(kForm, kPdSave, true);
    }
    EZ_SELECTITEM(kForm, kPdIssues, -1);
    st.choosing = false;
    Reevaluate();
}

void StationChanged() {
    State().stationId =
        StationIdByCalls(EZ_GETTEXT(kForm, kPdStation), std::to_string(State().quarter));
    Reevaluate();
}

// Keeps only the digits of the airing count.
void FilterCount() {
    const std::string text = EZ_GETTEXT(kForm, kPdCount);
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') digits += c;
    }
    if (digits != text) EZ_SETTEXT(kForm, kPdCount, digits);
}

void CleanDescriptionField() {
    const std::string text = EZ_GETTEXT(kForm, kPdDescription);
    const std::string clean = CleanDescription(text);
    if (clean != text) EZ_SETTEXT(kForm, kPdDescription, clean);
    Reevaluate();
}

// --- saving and closing ---

// Saves the entry; false (with the user told, everything typed kept) on failure.
bool Save() {
    EditorState& st = State();
    EZ_ENABLE(kForm, kPdSave, false);
    ProgramEntry e = ReadForm();
    std::string error;
    const RowId source = st.mode == EntryEditMode::Copy ? st.sourceStationId : 0;
    if (!SaveProgramEntry(e, source, error)) {
        DgMsgOk("Program Not Saved",
                "The program could not be saved; the database was left unchanged.{f10}",
                "|" + error + "|Your entries are still in the form; please try again.{f6}");
        EZ_ENABLE(kForm, kPdSave, true);
        return false;
    }
    st.entryId = e.entryId;
    st.programId = e.programId;
    if (st.mode == EntryEditMode::Copy) {
        // The copy now exists: a further save changes it instead of copying again.
        st.mode = EntryEditMode::Edit;
        st.sourceStationId = 0;
    }
    EZ_ENABLE(kForm, kPdSave, false);
    Request().saved = e.entryId;
    return true;
}

void Closing(int& cancel) {
    if (EZ_ISENABLED(kForm, kPdSave)) {
        const int answer = AskSaveChanges(kForm, kPdSave, "");
        if (answer == 1) {
            if (!Save()) {
                cancel = 1;
                return;
            }
        } else if (answer != 2) {
            cancel = 1;
            return;
        }
    }
    SaveFormPlace(kForm, Paths().settingsFile);
}

int CurrentTopic() {
    const EditorState& st = State();
    if (st.updating && EZ_GETFOCUS(kForm) == kPdAirDate) return kTopicUpdateAiring;
    return st.topic;
}

// Enter moves on like Tab, in the order the fields are filled in.
void FocusNext(int id) {
    static const int order[] = {kPdTitle,  kPdStation, kPdDuration, kPdVarious, kPdCount,
                                kPdIssues, kPdAirDate, kPdAdd,      kPdAirings, kPdDescription};
    const int n = static_cast<int>(std::size(order));
    int at = 0;
    while (at < n && order[at] != id) ++at;
    for (int step = 1; step <= n; ++step) {
        const int next = order[(at + step) % n];
        if (EZ_ISENABLED(kForm, next)) {
            EZ_SETFOCUS(kForm, next);
            return;
        }
    }
}

bool HasHighlight(int id) {
    switch (id) {
        case kPdTitle:
        case kPdDuration:
        case kPdCount:
        case kPdDescription:
        case kPdIssues:
        case kPdAirings:
            return true;
        default:
            return false;
    }
}

void KeyPressed(int id, int64_t key, int& cancel) {
    EditorState& st = State();
    if (id == kPdAirDate) {
        if (key == kKeyEnter) {
            cancel = 1;
            FocusNext(id);
        } else if (key == kKeyEsc && st.updating) {
            cancel = 1;
            EndUpdate();  // nothing changed: Save keeps its state
        }
        return;
    }
    if (id == kPdAirings && key == kKeyDelete) {
        cancel = 1;
        DeleteSelectedAiring();
        return;
    }
    if (id == kPdIssues && key == kKeySpace) {
        cancel = 1;
        if (!st.choosing) ChooseIssuesClicked();
        return;
    }
    if (id == kPdDescription) return;  // a multi-line field keeps Enter and Esc
    if (key == kKeyEnter) {
        cancel = 1;
        FocusNext(id);
    } else if (key == kKeyEsc) {
        cancel = 1;
        EZ_UNLOADFORM(kForm);
    }
}

void SetTips() {
    EZ_SETTOOLTIP(kForm, kPdTitle, "Title of the program addressing the issue");
    EZ_SETTOOLTIP(kForm, kPdDuration, "Length of program or announcement");
    EZ_SETTOOLTIP(kForm, kPdVarious, "Indicates multiple airings over a range of dates");
    EZ_SETTOOLTIP(kForm, kPdCount,
                  "Number of times announcements were|aired during indicated dates");
    EZ_SETTOOLTIP(kForm, kPdIssues,
                  "Left click to add or remove issues for this program|"
                  "Right click to edit issues list");
    EZ_SETTOOLTIP(kForm, kPdAirDate, "Date and military time program aired");
    EZ_SETTOOLTIP(kForm, kPdAirings,
                  "Double-click a date to edit,|highlight and press [Delete] to remove");
    EZ_SETTOOLTIP(kForm, kPdDescription, "Details of the program aired");
    EZ_SETTOOLTIP(kForm, kPdSizeSpin,
                  "Adjust size of font for Program Description (" + std::to_string(kMinSize) +
                      " to " + std::to_string(kMaxSize) + " points)");
    EZ_SETTOOLTIP(kForm, kPdSave, "Save this program information and return to main window");
    EZ_SETTOOLTIP(kForm, kPdExit, "Return to main window (any data entered will be lost)");
}

}  // namespace

static void PD_Design() {
    EZ_DEFFONT(kFontEditorHeading, "Tahoma", 10, "B");
    EZ_CONTROL(kForm, kPdHeading, EzKind::Frame, "Add Program", 1, 0.3, 98, 32.7);
    EZ_SETFONT(kForm, kPdHeading, kFontEditorHeading);

    EZ_CONTROL(kForm, kPdTitleFrame, EzKind::Frame, "Program Title", 2.5, 1.8, 59.5, 3.4);
    EZ_CONTROL(kForm, kPdTitle, EzKind::Text, "", 4, 3.0, 56.5, 1.5);
    EZ_CONTROL(kForm, kPdStationFrame, EzKind::Frame, "Station", 63, 1.8, 34.5, 3.4);
    EZ_CONTROL(kForm, kPdStation, EzKind::Combo, "", 64.5, 3.0, 32, 1.5);

    EZ_CONTROL(kForm, kPdDurationFrame, EzKind::Frame, "Duration", 2.5, 5.6, 27, 3.4);
    EZ_CONTROL(kForm, kPdDuration, EzKind::Text, "", 4, 6.8, 24, 1.5);
    EZ_CONTROL(kForm, kPdMultipleFrame, EzKind::Frame, "Multiple Airings", 31, 5.6, 31, 3.4);
    EZ_CONTROL(kForm, kPdVarious, EzKind::Check, "Various (X", 32.5, 6.8, 14, 1.5);
    EZ_CONTROL(kForm, kPdCount, EzKind::Text, "", 46.5, 6.8, 8, 1.5);
    EZ_SETTEXTLIMIT(kForm, kPdCount, 6);
    EZ_CONTROL(kForm, kPdBracket, EzKind::Label, ")", 55, 6.9, 2, 1.3);

    EZ_CONTROL(kForm, kPdIssuesFrame, EzKind::Frame, "Issues Addressed", 2.5, 9.4, 59.5, 11);
    EZ_CONTROL(kForm, kPdIssues, EzKind::ListBox, "", 4, 10.6, 56.5, 9.2);

    // The button is wide enough for "Update", its caption while an airing is changed.
    EZ_CONTROL(kForm, kPdAirFrame, EzKind::Frame, "Air Date && Time", 63, 5.6, 34.5, 14.8);
    EZ_CONTROL(kForm, kPdAirDate, EzKind::DateTime, "", 64.5, 6.8, 22.8, 1.5);
    EZ_DTSETFORMAT(kForm, kPdAirDate, "MM-dd-yyyy HH:mm");
    EZ_CONTROL(kForm, kPdAdd, EzKind::Button, "Add", 87.8, 6.7, 8.7, 1.7);
    EZ_CONTROL(kForm, kPdAirings, EzKind::ListBox, "", 64.5, 8.8, 32, 11);

    EZ_CONTROL(kForm, kPdDescriptionFrame, EzKind::Frame, "Program Description", 2.5, 20.8, 95,
               11.6);
    EZ_CONTROL(kForm, kPdDescription, EzKind::Text, "", 4, 22.0, 92, 8.2, "M");
    EZ_CONTROL(kForm, kPdSizeLabel, EzKind::Label, "View Size:", 4, 30.6, 10, 1.3);
    // The spinner shows the size itself; the value label is kept for readers of the size.
    EZ_CONTROL(kForm, kPdSizeValue, EzKind::Label, "9", 14, 30.6, 3, 1.3);
    EZ_SHOW(kForm, kPdSizeValue, false);
    EZ_CONTROL(kForm, kPdSizeSpin, EzKind::UpDown, "", 14, 30.4, 6, 1.5);
    EZ_CONTROL(kForm, kPdPtsLabel, EzKind::Label, "pts", 20.8, 30.6, 4, 1.3);

    EZ_CONTROL(kForm, kPdSave, EzKind::Button, "&Save", 65.5, 33.6, 10, 1.8);
    EZ_CONTROL(kForm, kPdExit, EzKind::Button, "E&xit", 76.5, 33.6, 10, 1.8);
    EZ_CONTROL(kForm, kPdHelp, EzKind::Button, "&Help", 87.5, 33.6, 10, 1.8);

    if (Opts().tipsOn) SetTips();
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    EZ_ACCEL(kForm, "F2", kPdF2);
    EZ_ACCEL(kForm, "F7", kSpellKeyId);
}

static void PD_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (id == 0) {
        if (ev == EzEvent::Loaded) Opened();
        if (ev == EzEvent::Close) Closing(cancel);
        return;
    }
    EditorState& st = State();
    switch (ev) {
        case EzEvent::Click:
            // Help follows the field: changing an airing's date has a topic of its own.
            // Exit closes through the Close event, which asks to save pending changes.
            if (CommonFormEvent(kForm, id, ev, {kPdHelp, kPdExit}, CurrentTopic())) break;
            switch (id) {
                case kPdAdd:
                    AddClicked();
                    break;
                case kPdSave:
                    if (Save()) EZ_UNLOADFORM(kForm);
                    break;
                case kPdF2:
                    CleanDescriptionField();
                    break;
                case kSpellKeyId:
                    SpellCheckControl(kForm, EZ_GETFOCUS(kForm));
                    break;
                case kPdVarious:
                    Reevaluate();
                    break;
                case kPdIssues:
                    if (!st.choosing) ChooseIssuesClicked();
                    break;
                default:
                    break;
            }
            break;
        case EzEvent::DblClick:
            if (id == kPdAirings) BeginUpdate(static_cast<int>(value));
            break;
        case EzEvent::RightClick:
            if (id == kPdIssues && !st.updating)
                OpenIssuesList(kForm, st.quarter, EZ_GETTEXT(kForm, kPdStation));
            break;
        case EzEvent::Change:
            switch (id) {
                case kPdStation:
                    StationChanged();
                    break;
                case kPdCount:
                    FilterCount();
                    Reevaluate();
                    break;
                case kPdSizeSpin:
                    SizeChanged();
                    break;
                case kPdTitle:
                case kPdDuration:
                case kPdDescription:
                case kPdVarious:
                    Reevaluate();
                    break;
                default:
                    break;
            }
            break;
        case EzEvent::Key:
            KeyPressed(id, value, cancel);
            break;
        case EzEvent::GotFocus:
            if (HasHighlight(id)) EZ_SETCOLOR(kForm, id, -1, kColorTooltip);
            if (id == kPdTitle) {
                // Text positions are byte offsets: the end is the text's size in bytes.
                EZ_SELECTTEXT(kForm, kPdTitle, static_cast<int>(EZ_GETTEXT(kForm, kPdTitle).size()),
                              0);
            }
            break;
        case EzEvent::LostFocus:
            if (HasHighlight(id)) EZ_SETCOLOR(kForm, id, -1, kColorWindow);
            break;
        default:
            break;
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"Title", kPdTitle},
    {"Station", kPdStation},
    {"Duration", kPdDuration},
    {"Various", kPdVarious},
    {"Count", kPdCount},
    {"Issues", kPdIssues},
    {"AirDate", kPdAirDate},
    {"Add", kPdAdd},
    {"Airings", kPdAirings},
    {"Description", kPdDescription},
    {"Bracket", kPdBracket},
    {"SizeLabel", kPdSizeLabel},
    {"SizeValue", kPdSizeValue},
    {"SizeSpin", kPdSizeSpin},
    {"PtsLabel", kPdPtsLabel},
    {"Save", kPdSave},
    {"Exit", kPdExit},
    {"Help", kPdHelp},
    {"StationFrame", kPdStationFrame},
    {"TitleFrame", kPdTitleFrame},
    {"DurationFrame", kPdDurationFrame},
    {"AirFrame", kPdAirFrame},
    {"MultipleFrame", kPdMultipleFrame},
    {"IssuesFrame", kPdIssuesFrame},
    {"DescriptionFrame", kPdDescriptionFrame},
    {"Heading", kPdHeading},
    {"F2", kPdF2},
};
}  // namespace

// The help topic is that of adding; copying and editing show their own.
constinit const FormDecl kProgramDetailForm = {
    .name = "PD",
    .caption = "Program Detail",
    .width = kProgramDetailWidth,
    .height = kProgramDetailHeight,
    .style = "",
    .helpTopic = kTopicAddProgram,
    .design = PD_Design,
    .event = PD_Event,
    .controls = kControls,
};

RowId OpenProgramDetail(const std::string& parent, EntryEditMode mode, RowId entryId,
                        int32_t quarter, RowId stationId) {
    if (mode != EntryEditMode::Add && entryId <= 0) return 0;
    Request() = {mode, entryId, quarter, stationId, 0};
    OpenForm(kProgramDetailForm, parent);
    const RowId saved = Request().saved;
    Request() = {};
    return saved;
}
