// Form FC: the findings of the pre-filing check for a quarter and one or all
// stations; a double-click opens the editor of the record a finding is about.
#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "data/query.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "reports/filing_check.h"
#include "reports/forms.h"
#include "ui/data_controls.h"
#include "ui/layout.h"

namespace {

constexpr const char* kForm = "FC";
constexpr const char* kAllStations = "All Stations";
constexpr int kPeriodFrame = 135, kStationFrame = 140;

struct CheckState {
    int32_t wantedQuarter = 0;  // set by OpenFilingCheck before the form opens
    std::string wantedCalls;
    FilingCheckResult result;
};

CheckState& St() {
    static CheckState state;
    return state;
}

int32_t ShownQuarter() {
    return QuarterFromName(EZ_GETTEXT(kForm, kFcPeriod));
}

void FillStations(const std::string& keep) {
    EZ_CLEARITEMS(kForm, kFcStation);
    EZ_ADDITEM(kForm, kFcStation, kAllStations);
    ResultSet rs("SELECT Calls FROM Stations WHERE QtrID = " + std::to_string(ShownQuarter()) +
                 " ORDER BY Rank");
    while (rs.next()) EZ_ADDITEM(kForm, kFcStation, rs["Calls"]);
    const int index = keep.empty() ? 0 : EZ_FINDITEM(kForm, kFcStation, keep);
    EZ_SELECTITEM(kForm, kFcStation, index < 0 ? 0 : index);
}

const FilingFinding* SelectedFinding() {
    const int row = EZ_LVNEXTSELECTED(kForm, kFcList, -1);
    if (row < 0) return nullptr;
    const int64_t index = EZ_LVGETVALUE(kForm, kFcList, row);
    const auto& findings = St().result.findings;
    if (index < 0 || index >= static_cast<int64_t>(findings.size())) return nullptr;
    return &findings[static_cast<size_t>(index)];
}

// The Open button, and the selected finding's whole text under the list
// (a long program title would cut it off in its column).
void UpdateOpenButton() {
    const FilingFinding* f = SelectedFinding();
    EZ_ENABLE(kForm, kFcOpen, f && f->target != FindingTarget::None);
    EZ_SETTEXT(kForm, kFcDetail,
               f ? (f->calls.empty() ? std::string() : f->calls + ": ") + f->text : std::string());
}

// Runs the check for what the selectors show; keeps the row selected at `row`.
void RunCheck(int row = -1) {
    const int32_t quarter = ShownQuarter();
    RowId station = 0;
    if (EZ_SELECTEDITEM(kForm, kFcStation) > 0)
        station = StationIdByCalls(EZ_GETTEXT(kForm, kFcStation), std::to_string(quarter));
    const int32_t stored =
        static_cast<int32_t>(Val(IniRead(Paths().settingsFile, "Filing", "Deadline", "0")));
    CheckState& st = St();
    st.result = CheckBeforeFiling(quarter, station, TodayJulian(), stored);

    EZ_REDRAW(kForm, kFcList, false);
    EZ_LVCLEAR(kForm, kFcList);
    for (size_t i = 0; i < st.result.findings.size(); ++i) {
        const FilingFinding& f = st.result.findings[i];
        EZ_LVADDROW(kForm, kFcList, {f.calls, SeverityName(f.severity), f.text},
                    static_cast<int64_t>(i));
    }
    EZ_REDRAW(kForm, kFcList, true);
    if (row >= 0 && row < EZ_LVROWCOUNT(kForm, kFcList)) EZ_LVSELECT(kForm, kFcList, row, true);
    EZ_SETTEXT(kForm, kFcSummary, FilingSummary(st.result));
    UpdateOpenButton();
}

// Opens the editor of the finding shown in `row`, then checks again.
void OpenFinding(int row) {
    if (row < 0 || row >= EZ_LVROWCOUNT(kForm, kFcList)) return;
    const int64_t index = EZ_LVGETVALUE(kForm, kFcList, row);
    const auto& findings = St().result.findings;
    if (index < 0 || index >= static_cast<int64_t>(findings.size())) return;
    const FilingFinding f = findings[static_cast<size_t>(index)];
    const int32_t quarter = St().result.quarter;
    switch (f.target) {
        case FindingTarget::None:
            return;
        case FindingTarget::ProgramEntry:
            OpenProgramDetail(kForm, EntryEditMode::Edit, f.recordId, quarter, 0);
            break;
        case FindingTarget::Issue:
        case FindingTarget::StationIssues:
            OpenIssuesListAt(kForm, quarter, f.calls, f.recordId);
            break;
    }
    if (!EZ_FORMEXISTS(kForm)) return;
    Shell().helpTopic = kFcHelpTopic;
    RunCheck(row);
}

void Loaded() {
    KeepDesignedSize(kForm, kFilingCheckWidth, kFilingCheckHeight);
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    Shell().helpTopic = kFcHelpTopic;
    FillQuarterSelector(kForm, kFcPeriod, 1);
    // Opened without a quarter, the check shows today's.
    const int pos = St().wantedQuarter > 0
                        ? EZ_FINDITEM(kForm, kFcPeriod, QuarterName(St().wantedQuarter))
                        : -1;
    if (pos >= 0) EZ_SELECTITEM(kForm, kFcPeriod, pos);
    FillStations(St().wantedCalls);
    RunCheck();
}

void FC_Design() {
    EZ_CONTROL(kForm, kPeriodFrame, EzKind::Frame, "Period", 1.5, 0.5, 22.5, 3.3);
    EZ_CONTROL(kForm, kFcPeriod, EzKind::Combo, "", 2.5, 1.7, 20.5, 1.4);
    EZ_CONTROL(kForm, kStationFrame, EzKind::Frame, "Station", 26, 0.5, 22.5, 3.3);
    EZ_CONTROL(kForm, kFcStation, EzKind::Combo, "", 27, 1.7, 20.5, 1.4);
    EZ_CONTROL(kForm, kFcSummary, EzKind::Label, "", 51, 1.9, 43.5, 1.3);
    EZ_SETFONT(kForm, kFcSummary, kFontBold);
    EZ_CONTROL(kForm, kFcList, EzKind::ListView, "Station{12}|Severity{11}|Finding{66}", 1.5, 4.4,
               93, 16);
    EZ_CONTROL(kForm, kFcDetail, EzKind::Label, "", 1.5, 20.8, 93, 2.7, "W");
    EZ_CONTROL(kForm, kFcOpen, EzKind::Button, "&Open", 1.5, 23.8, 11, 1.7);
    EZ_CONTROL(kForm, kFcHelp, EzKind::Button, "&Help", 71, 23.8, 11, 1.7);
    EZ_CONTROL(kForm, kFcClose, EzKind::Button, "&Close", 83.5, 23.8, 11, 1.7);
    EZ_SETTOOLTIP(kForm, kFcList, "Double-click a finding to open the record it is about");
}

void FC_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)cancel;
    if (CommonFormEvent(kForm, id, ev, {kFcHelp, kFcClose, kFcHelpTopic}, kFcHelpTopic)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) Loaded();
            return;
        case kFcPeriod:
            if (ev == EzEvent::Change) {
                FillStations(EZ_GETTEXT(kForm, kFcStation));
                RunCheck();
            }
            return;
        case kFcStation:
            if (ev == EzEvent::Change) RunCheck();
            return;
        case kFcList:
            if (ev == EzEvent::DblClick) {
                OpenFinding(static_cast<int>(value));
            } else if (ev == EzEvent::SelChange) {
                UpdateOpenButton();
            }
            return;
        default:
            break;
    }
    if (ev == EzEvent::Click && id == kFcOpen) OpenFinding(EZ_LVNEXTSELECTED(kForm, kFcList, -1));
}

constexpr ControlName kControls[] = {
    {"Period", kFcPeriod},
    {"Station", kFcStation},
    {"List", kFcList},
    {"Summary", kFcSummary},
    {"Open", kFcOpen},
    {"Close", kFcClose},
    {"Help", kFcHelp},
    {"Detail", kFcDetail},
    {"PeriodFrame", kPeriodFrame},
    {"StationFrame", kStationFrame},
    {"HelpKey", kHelpKeyId},
};

}  // namespace

constinit const FormDecl kFilingCheckForm = {
    .name = "FC",
    .caption = "Check List Before Filing",
    .width = kFilingCheckWidth,
    .height = kFilingCheckHeight,
    .style = "",
    .helpTopic = kFcHelpTopic,
    .design = FC_Design,
    .event = FC_Event,
    .controls = kControls,
};

void OpenFilingCheck(const std::string& parent, int32_t quarter, const std::string& calls) {
    St().wantedQuarter = quarter;
    St().wantedCalls = calls == kAllStations ? std::string() : calls;
    OpenForm(kFilingCheckForm, parent);
    St() = CheckState{};
}
