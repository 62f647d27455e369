// Form IL: the ranked issues of one station in one quarter, edited in a
// working copy and written back by Save.
#include <algorithm>
#include <cmath>
#include <string>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/quarters.h"
#include "data/query.h"
#include "editors/forms.h"
#include "editors/issues.h"
#include "editors/stations.h"
#include "services/spell.h"
#include "ui/data_controls.h"
#include "ui/file_helpers.h"
#include "ui/layout.h"

namespace {

const char* const kForm = "IL";

enum : int {
    kPeriodLabelId = 145,
    kStationLabelId = 150,
    kIssuesFrameId = 155,
    kDescriptionFrameId = 160,
    kHeadingFrameId = 165,
};

constexpr int kHelpTopic = 210;
// Posted steps of a quarter change.
constexpr int64_t kQuarterStepStations = 1;
constexpr int64_t kQuarterStepIssues = 2;

const char* const kEntryTip = "Enter a new issue, then press [Enter] to add to list";
const char* const kEntryEditTip =
    "Edit this issue, then press [Enter]|to update list; press [Esc] to cancel edit";

// State of the open form: the working copy plus what the controls need.
struct IssuesListState {
    IssueWorkingCopy wc;
    int previousHelpTopic = 0;
    // What the opener asked to be shown: the quarter (0: today's), the station
    // ("" or not found: the first) and an issue to select (0: none).
    int32_t wantedQuarter = 0;
    std::string wantedCalls;
    RowId wantedIssueId = 0;
    bool savedAny = false;    // something was written: the caller's lists may show it
    bool newQuarter = false;  // a previous quarter was added from here
};

IssuesListState& St() {
    static IssuesListState state;
    return state;
}

bool Locked() {
    return St().wc.editedPos >= 0;
}

// Tooltips are shown only while the option is on; "|" starts a new line.
void SetTip(int id, const std::string& text) {
    if (Opts().tipsOn) EZ_SETTOOLTIP(kForm, id, ReplaceAll(text, "|", "\n"));
}

// Enables every control from the working copy's state: a title edited in place
// locks the form; pending changes lock the selectors until Save.
void ApplyControlState() {
    const IssueWorkingCopy& wc = St().wc;
    const bool locked = Locked();
    const bool haveStation = wc.stationId > 0;
    EZ_ENABLE(kForm, kIlQuarter, !locked && !wc.changed);
    EZ_ENABLE(kForm, kIlStation, !locked && !wc.changed);
    EZ_ENABLE(kForm, kIlEntry, haveStation);
    EZ_ENABLE(kForm, kIlList, !locked);
    EZ_ENABLE(kForm, kIlDescription, !locked && wc.selectedPos >= 0);
    EZ_ENABLE(kForm, kIlCopy, !locked && wc.size() > 0);
    EZ_ENABLE(kForm, kIlSave, !locked && wc.changed);
    SetTip(kIlEntry, locked ? kEntryEditTip : kEntryTip);
}

void SetDescriptionField(const std::string& text) {
    EZ_SETTEXT(kForm, kIlDescription, text);
}

void ShowSelectedDescription() {
    const IssueWorkingCopy& wc = St().wc;
    SetDescriptionField(wc.selectedPos >= 0 && wc.selectedPos < wc.size()
                            ? wc.issues[wc.selectedPos].description
                            : std::string());
}

// Rebuilds the list box from the working copy.
void ShowIssues() {
    IssuesListState& st = St();
    EZ_REDRAW(kForm, kIlList, false);
    EZ_CLEARITEMS(kForm, kIlList);
    for (const IssueRow& issue : st.wc.issues) EZ_ADDITEM(kForm, kIlList, issue.title);
    EZ_REDRAW(kForm, kIlList, true);
    if (st.wc.selectedPos >= 0) EZ_SELECTITEM(kForm, kIlList, st.wc.selectedPos);
}

int32_t ShownQuarter() {
    return QuarterFromName(EZ_GETTEXT(kForm, kIlQuarter));
}

// Fills the station selector with the quarter's call letters in Rank order.
void FillStations(int32_t quarter) {
    EZ_CLEARITEMS(kForm, kIlStation);
    for (const StationRow& s : StationsOfQuarter(quarter)) EZ_ADDITEM(kForm, kIlStation, s.calls);
}

// Selects the entry with the given call letters (ignoring case), else the first.
void SelectStation(const std::string& calls) {
    const int count = EZ_ITEMCOUNT(kForm, kIlStation);
    int pick = count > 0 ? 0 : -1;
    for (int i = 0; i < count; ++i) {
        if (IEquals(EZ_ITEMTEXT(kForm, kIlStation, i), calls)) {
            pick = i;
            break;
        }
    }
    EZ_SELECTITEM(kForm, kIlStation, pick);
}

void SelectQuarter(int32_t quarter) {
    const int pos = EZ_FINDITEM(kForm, kIlQuarter, QuarterName(quarter));
    if (pos < 0) return;
    EZ_SELECTITEM(kForm, kIlQuarter, pos);
}

// Loads the issues of the quarter and the station the selectors show.
void LoadShownStation() {
    IssuesListState& st = St();
    const std::string calls = EZ_GETTEXT(kForm, kIlStation);
    const RowId stationId =
        calls.empty() ? 0 : StationIdByCalls(calls, std::to_string(st.wc.quarter));
    LoadIssueList(st.wc, st.wc.quarter, stationId);
    ShowIssues();
    SetDescriptionField("");
    ApplyControlState();
}

// Ends an in-place edit without applying it.
void CancelEdit() {
    St().wc.editedPos = -1;
    EZ_SETTEXT(kForm, kIlEntry, "");
    ApplyControlState();
}

void OnEnter() {
    IssueWorkingCopy& wc = St().wc;
    const int edited = wc.editedPos;
    switch (EnterIssueTitle(wc, EZ_GETTEXT(kForm, kIlEntry))) {
        case IssueEntryResult::Replaced:
            EZ_SETITEMTEXT(kForm, kIlList, edited, wc.issues[edited].title);
            EZ_SELECTITEM(kForm, kIlList, -1);
            wc.selectedPos = -1;
            SetDescriptionField("");
            break;
        case IssueEntryResult::Added:
            EZ_ADDITEM(kForm, kIlList, wc.issues.back().title);
            break;
        case IssueEntryResult::Empty:
            if (edited < 0) EZ_SETTEXT(kForm, kIlEntry, "");
            return;
        case IssueEntryResult::Duplicate:
        case IssueEntryResult::Full:
            return;  // the typed text stays for correction
    }
    EZ_SETTEXT(kForm, kIlEntry, "");
    ApplyControlState();
}

void OnDoubleClick(int row) {
    IssueWorkingCopy& wc = St().wc;
    if (Locked() || row < 0 || row >= wc.size() || wc.issues[row].title.empty()) return;
    wc.editedPos = row;
    EZ_SETTEXT(kForm, kIlEntry, wc.issues[row].title);
    ApplyControlState();
    EZ_SETFOCUS(kForm, kIlEntry);
    EZ_SELECTTEXT(kForm, kIlEntry, 0, -1);
}

void OnDelete() {
    IssueWorkingCopy& wc = St().wc;
    const int p = EZ_SELECTEDITEM(kForm, kIlList);
    if (Locked() || p < 0) return;
    wc.selectedPos = p;
    if (!DeleteIssueAt(wc, p)) return;
    EZ_DELETEITEM(kForm, kIlList, p);
    EZ_SELECTITEM(kForm, kIlList, -1);
    wc.selectedPos = -1;
    SetDescriptionField("");
    ApplyControlState();
}

void OnDrop(int64_t value) {
    IssueWorkingCopy& wc = St().wc;
    const int from = static_cast<int>((value >> 16) & 0xFFFF);
    const int to = static_cast<int>(value & 0xFFFF);
    MoveIssue(wc, from, to);
    // The list box must mirror the working copy whatever the toolkit did.
    bool same = EZ_ITEMCOUNT(kForm, kIlList) == wc.size();
    for (int i = 0; same && i < wc.size(); ++i)
        same = EZ_ITEMTEXT(kForm, kIlList, i) == wc.issues[i].title;
    wc.selectedPos = EZ_SELECTEDITEM(kForm, kIlList);
    if (!same) {
        wc.selectedPos = to;
        ShowIssues();
    }
    ShowSelectedDescription();
    ApplyControlState();
}

bool Save() {
    const bool ok = SaveIssueList(St().wc);
    St().savedAny = St().savedAny || ok;
    return ok;
}

void OnSave() {
    EZ_ENABLE(kForm, kIlSave, false);
    Save();
    ApplyControlState();
}

void OnQuarterStep(int64_t step) {
    IssuesListState& st = St();
    if (step == kQuarterStepStations) {
        const int pos = EZ_SELECTEDITEM(kForm, kIlStation);
        st.wc.quarter = ShownQuarter();
        FillStations(st.wc.quarter);
        const int count = EZ_ITEMCOUNT(kForm, kIlStation);
        EZ_SELECTITEM(kForm, kIlStation, pos >= 0 && pos < count ? pos : (count > 0 ? 0 : -1));
        EZ_POSTEVENT(kForm, kIlQuarter, kQuarterStepIssues);
    } else if (step == kQuarterStepIssues) {
        LoadShownStation();
    }
}

void OnQuarterRightClick() {
    IssuesListState& st = St();
    if (!EZ_ISENABLED(kForm, kIlQuarter)) return;
    if (!OfferPreviousQuarter(st.wc.quarter)) return;
    FillQuarterSelector(kForm, kIlQuarter, 1);
    // Keep showing the quarter whose issues are listed.
    SelectQuarter(st.wc.quarter);
    st.newQuarter = true;
}

void OnStationRightClick() {
    IssuesListState& st = St();
    if (!EZ_ISENABLED(kForm, kIlStation)) return;
    // A quarter added from the station list is one the caller's selectors lack.
    if (OpenStationList(kForm)) st.newQuarter = true;
    if (!EZ_FORMEXISTS(kForm) || st.wc.changed || Locked()) return;
    // Stations may have been added or renamed meanwhile.
    const std::string shown = EZ_GETTEXT(kForm, kIlStation);
    FillStations(st.wc.quarter);
    SelectStation(shown);
    if (!IEquals(EZ_GETTEXT(kForm, kIlStation), shown)) LoadShownStation();
}

void OpenCopy() {
    const IssueWorkingCopy& wc = St().wc;
    CopyIssuesSource source;
    source.quarter = wc.quarter;
    source.stationId = wc.stationId;
    source.calls = EZ_GETTEXT(kForm, kIlStation);
    OpenCopyIssues(kForm, source);
}

// The focused entry or description field takes the tooltip colour, the others
// the window colour.
void SetHighlight(int id, bool on) {
    EZ_SETCOLOR(kForm, id, -1, on ? kColorTooltip : kColorWindow);
}

// Places the controls for a client area of w x h character units: the list
// and the description share the width and take the height left over.
void Layout(double w, double h) {
    w = std::max(w, kIssuesListWidth);
    h = std::max(h, kIssuesListHeight);
    const double frameTop = 4.3, buttonRow = h - 2.2, frameH = buttonRow - 0.6 - frameTop;
    const double listFrameW = std::floor((w - 3) * 0.47), descCol = 2 + listFrameW;
    const double descFrameW = w - 1 - descCol;
    EZ_MOVE(kForm, kHeadingFrameId, 1, 0.4, w - 2, 3.4);
    EZ_MOVE(kForm, kIssuesFrameId, 1, frameTop, listFrameW, frameH);
    EZ_MOVE(kForm, kIlEntry, 2.5, frameTop + 1.5, listFrameW - 3, 1.5);
    EZ_MOVE(kForm, kIlList, 2.5, frameTop + 3.5, listFrameW - 3, frameH - 4.1);
    EZ_MOVE(kForm, kDescriptionFrameId, descCol, frameTop, descFrameW, frameH);
    EZ_MOVE(kForm, kIlDescription, descCol + 1.5, frameTop + 1.5, descFrameW - 3, frameH - 2.1);
    EZ_MOVE(kForm, kIlSave, 1, buttonRow, 12, 1.7);
    EZ_MOVE(kForm, kIlCopy, 14.5, buttonRow, 12, 1.7);
    EZ_MOVE(kForm, kIlHelp, w - 27, buttonRow, 12, 1.7);
    EZ_MOVE(kForm, kIlExit, w - 13, buttonRow, 12, 1.7);
}

void Design() {
    EZ_CONTROL(kForm, kHeadingFrameId, EzKind::Frame, "Issues && Descriptions -", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kPeriodLabelId, EzKind::Label, "Period:", 2.5, 1.8, 7.5, 1.2);
    EZ_CONTROL(kForm, kIlQuarter, EzKind::Combo, "", 10.5, 1.6, 22, 1.5);
    EZ_CONTROL(kForm, kStationLabelId, EzKind::Label, "Station:", 37, 1.8, 8, 1.2);
    EZ_CONTROL(kForm, kIlStation, EzKind::Combo, "", 45.5, 1.6, 22, 1.5);
    EZ_CONTROL(kForm, kIssuesFrameId, EzKind::Frame, "Issues", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlEntry, EzKind::Text, "", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlList, EzKind::ListBox, "", 0, 0, 1, 1, "D");
    EZ_CONTROL(kForm, kDescriptionFrameId, EzKind::Frame, "Issue Description/Detail", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlDescription, EzKind::Text, "", 0, 0, 1, 1, "M");
    EZ_CONTROL(kForm, kIlSave, EzKind::Button, "&Save", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlCopy, EzKind::Button, "Copy", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlHelp, EzKind::Button, "&Help", 0, 0, 1, 1);
    EZ_CONTROL(kForm, kIlExit, EzKind::Button, "E&xit", 0, 0, 1, 1);
    Layout(kIssuesListWidth, kIssuesListHeight);
}

void LayoutToForm() {
    double col = 0, row = 0, w = 0, h = 0;
    EZ_GETFORMPLACE(kForm, col, row, w, h);
    Layout(w, h);
}

void SetTooltips() {
    SetTip(kIlQuarter, "Select quarter to view issues, right-click to add previous quarters");
    SetTip(kIlStation, "Select station to view issues,|right-click to add/edit stations");
    SetTip(kIlEntry, kEntryTip);
    SetTip(kIlList, "Double-click to edit|Left-click and drag to re-order|[Delete] to remove");
    SetTip(kIlDescription, "Enter/edit a description of the selected issue");
    SetTip(kIlSave, "Save your changes for this quarter/station");
    SetTip(kIlExit, "Exit and return to Vantrel main screen.");
    SetTip(kIlCopy, "Copy the current issue list to other stations");
}

void OnLoaded() {
    IssuesListState& st = St();
    st.wc = IssueWorkingCopy{};
    st.savedAny = false;
    st.newQuarter = false;
    st.previousHelpTopic = Shell().helpTopic;

    // Callers open the form at sizes of their own; it keeps its designed size.
    KeepDesignedSize(kForm, kIssuesListWidth, kIssuesListHeight);
    RestoreFormPlace(kForm, Paths().settingsFile, 0);
    LayoutToForm();
    FillQuarterSelector(kForm, kIlQuarter, 1);
    if (st.wantedQuarter > 0) SelectQuarter(st.wantedQuarter);
    st.wc.quarter = ShownQuarter();
    if (st.wc.quarter <= 0) st.wc.quarter = st.wantedQuarter;

    FillStations(st.wc.quarter);
    // The caller's station decides; "All Stations" (or any text not found
    // here) gives the first station.
    SelectStation(st.wantedCalls);

    LoadShownStation();
    if (st.wantedIssueId > 0) {
        const auto it =
            std::find_if(st.wc.issues.begin(), st.wc.issues.end(),
                         [&](const IssueRow& issue) { return issue.id == st.wantedIssueId; });
        if (it != st.wc.issues.end()) {
            st.wc.selectedPos = static_cast<int>(it - st.wc.issues.begin());
            EZ_SELECTITEM(kForm, kIlList, st.wc.selectedPos);
            ShowSelectedDescription();
        }
    }
    Shell().helpTopic = kHelpTopic;
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    EZ_ACCEL(kForm, "F7", kSpellKeyId);
    SetTooltips();
    ApplyControlState();
}

// Close event: offers to save pending changes; cancel keeps the form open.
void OnClose(int& cancel) {
    IssuesListState& st = St();
    if (st.wc.changed) {
        const int answer = AskSaveChanges(kForm, kIlSave, "");
        if (answer == 1) {
            if (!Save()) {
                ApplyControlState();
                cancel = 1;  // nothing may be lost: the failed save keeps the form
                return;
            }
        } else if (answer != 2) {
            cancel = 1;
            return;
        }
    }
    SaveFormPlace(kForm, Paths().settingsFile);
    Shell().helpTopic = st.previousHelpTopic;
}

void IL_Design() {
    Design();
}

void IL_Event(int id, EzEvent ev, int64_t value, int& cancel);

constexpr ControlName kControls[] = {
    {"Quarter", kIlQuarter},
    {"Station", kIlStation},
    {"Entry", kIlEntry},
    {"List", kIlList},
    {"Description", kIlDescription},
    {"Save", kIlSave},
    {"Exit", kIlExit},
    {"Copy", kIlCopy},
    {"Help", kIlHelp},
    {"PeriodLabel", kPeriodLabelId},
    {"StationLabel", kStationLabelId},
    {"IssuesFrame", kIssuesFrameId},
    {"DescriptionFrame", kDescriptionFrameId},
    {"HeadingFrame", kHeadingFrameId},
};

}  // namespace

constinit const FormDecl kIssuesListForm = {
    .name = "IL",
    .caption = "Issues List",
    .width = kIssuesListWidth,
    .height = kIssuesListHeight,
    .style = "",
    .helpTopic = kHelpTopic,
    .design = IL_Design,
    .event = IL_Event,
    .controls = kControls,
};

IssuesListResult OpenIssuesList(const std::string& parent, int32_t quarter,
                                const std::string& stationCalls) {
    IssuesListState& st = St();
    st.wantedQuarter = quarter;
    st.wantedCalls = stationCalls;
    OpenForm(kIssuesListForm, parent);
    st.wantedQuarter = 0;
    st.wantedCalls.clear();
    st.wantedIssueId = 0;
    return {st.savedAny, st.newQuarter};
}

void OpenIssuesListAt(const std::string& parent, int32_t quarter, const std::string& calls,
                      RowId issueId) {
    St().wantedIssueId = issueId > 0 ? issueId : 0;
    OpenIssuesList(parent, quarter, calls);
}

namespace {

void IL_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    // Exit closes through the Close event, which asks to save pending changes.
    if (CommonFormEvent(kForm, id, ev, {kIlHelp, kIlExit, kHelpTopic}, kHelpTopic)) return;
    IssuesListState& st = St();
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) OnLoaded();
            if (ev == EzEvent::Close) OnClose(cancel);
            if (ev == EzEvent::Resize) LayoutToForm();
            break;
        case kIlQuarter:
            if (ev == EzEvent::Change) {
                if (st.wc.changed || Locked()) {
                    SelectQuarter(st.wc.quarter);  // pending changes must be saved first
                } else {
                    EZ_POSTEVENT(kForm, kIlQuarter, kQuarterStepStations);
                }
            } else if (ev == EzEvent::Posted) {
                OnQuarterStep(value);
            } else if (ev == EzEvent::RightClick) {
                OnQuarterRightClick();
            }
            break;
        case kIlStation:
            if (ev == EzEvent::Change) {
                if (st.wc.changed || Locked()) {
                    SelectStation(EZ_GETTEXT(kForm, kIlStation));
                } else {
                    LoadShownStation();
                }
            } else if (ev == EzEvent::RightClick) {
                OnStationRightClick();
            }
            break;
        case kIlEntry:
            if (ev == EzEvent::GotFocus) {
                SetHighlight(kIlEntry, true);
                if (!Locked()) {
                    EZ_SELECTITEM(kForm, kIlList, -1);
                    st.wc.selectedPos = -1;
                    SetDescriptionField("");
                    ApplyControlState();
                }
            } else if (ev == EzEvent::LostFocus) {
                SetHighlight(kIlEntry, false);
            } else if (ev == EzEvent::Key && value == kKeyEnter) {
                cancel = 1;
                OnEnter();
            } else if (ev == EzEvent::Key && value == kKeyEsc) {
                cancel = 1;
                CancelEdit();
            }
            break;
        case kIlList:
            if (ev == EzEvent::Change) {
                st.wc.selectedPos = EZ_SELECTEDITEM(kForm, kIlList);
                ShowSelectedDescription();
                ApplyControlState();
            } else if (ev == EzEvent::DblClick) {
                OnDoubleClick(static_cast<int>(value));
            } else if (ev == EzEvent::Key && value == kKeyDelete) {
                cancel = 1;
                OnDelete();
            } else if (ev == EzEvent::Drop) {
                OnDrop(value);
            }
            break;
        case kIlDescription:
            if (ev == EzEvent::Change && st.wc.selectedPos >= 0) {
                const bool was = st.wc.changed;
                SetIssueDescription(st.wc, st.wc.selectedPos, EZ_GETTEXT(kForm, kIlDescription));
                if (st.wc.changed != was) ApplyControlState();
            } else if (ev == EzEvent::GotFocus) {
                SetHighlight(kIlDescription, true);
            } else if (ev == EzEvent::LostFocus) {
                SetHighlight(kIlDescription, false);
            }
            break;
        case kIlSave:
            if (ev == EzEvent::Click) OnSave();
            break;
        case kIlCopy:
            if (ev == EzEvent::Click) OpenCopy();
            break;
        case kSpellKeyId:
            if (ev == EzEvent::Click) SpellCheckControl(kForm, EZ_GETFOCUS(kForm));
            break;
        default:
            break;
    }
}

}  // namespace
