// The main window "VL": menus, toolbar, quarter and station selectors, the
// program list of the shown quarter, and the commands that open every other form.
#include "app/main_window.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/help.h"
#include "app/base/options.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/forms.h"
#include "app/list_export.h"
#include "app/startup.h"
#include "app/startup_db.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "data/checked_select.h"
#include "data/dates.h"
#include "data/program_list.h"
#include "data/quarters.h"
#include "data/query.h"
#include "data/schema.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "editors/stations.h"
#include "reports/analysis_report.h"
#include "reports/filing_check.h"
#include "reports/issues_programs_list.h"
#include "services/import_form.h"
#include "services/maintenance.h"
#include "services/spell.h"
#include "ui/data_controls.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

const std::string kForm = "VL";
constexpr const char* kAllStations = "All Stations";
constexpr const char* kColumns =
    "Date{9}|Time{10}|Station{11}|Program{25}|Issues Addressed{22}|Duration{13}";
constexpr const char* kWebsite = "https://www.example.com/vantrel";
constexpr int kHelpMain = 310;
constexpr int kHelpPdfReader = 460;

// Posted to the list once a selection change has settled.
constexpr int64_t kPostSelectionSettled = 1;

struct ToolButton {
    int id;
    const char* icon;
    const char* tip;
};
constexpr ToolButton kButtons[] = {
    {kVlNewButton, "new.png", "Add new program"},
    {kVlCopyButton, "copy.png", "Duplicate selected program"},
    {kVlEditButton, "edit.png", "Edit selected program"},
    {kVlDeleteButton, "delete.png", "Delete selected program(s)"},
    {kVlPrintButton, "print.png", "Print report to printer or PDF"},
    {kVlOptionsButton, "options.png", "Set program options"},
    {kVlHelpButton, "help.png", "Get help on Vantrel"},
    {kVlExitButton, "exit.png", "Exit Vantrel"},
};
constexpr const char* kQuarterTip = "Select a quarter to view, right-click to add a quarter";
constexpr const char* kStationTip =
    "Select a station to filter programs, right-click to add/edit stations";

void AfterEntriesChanged() {
    FillProgramList();
    UpdateCommands();
}

// One entry was saved: only its row changes; the list keeps its order and selection.
void AfterEntrySaved(RowId mid) {
    ShowProgramListEntry(mid);
    UpdateCommands();
}

void OpenIssues() {
    IssuesListResult r =
        OpenIssuesList(kForm, Shell().currentQuarter, EZ_GETTEXT(kForm, kVlStation));
    if (r.newQuarter) FillQuarterSelector(kForm, kVlQuarter, 0);
    // Renamed issues show in the "Issues Addressed" column.
    if (r.saved) AfterEntriesChanged();
}

// The station list; a quarter added from it goes into the quarter selector.
void OpenStations() {
    if (OpenStationList(kForm)) FillQuarterSelector(kForm, kVlQuarter, 0);
}

// ---------------------------------------------------------------------------
// Layout
// ---------------------------------------------------------------------------

// Frame and list follow the window size; the selectors stay where designed.
constexpr double kFrameCol = 1, kFrameRow = 0.4;
constexpr double kSelectorRow = 1.8;
constexpr double kListCol = 2, kListRow = 4.2;

void ApplyTooltips() {
    bool on = Opts().tipsOn;
    for (const ToolButton& b : kButtons) EZ_SETTOOLTIP(kForm, b.id, on ? b.tip : "");
    EZ_SETTOOLTIP(kForm, kVlQuarter, on ? kQuarterTip : "");
    EZ_SETTOOLTIP(kForm, kVlStation, on ? kStationTip : "");
}

// The Date and Time columns are widened where the designed width cannot show
// a whole date or a "Various x" count in the list's font.
void WidenForContents() {
    struct Need {
        int col;
        const char* sample;
    };
    for (const Need& n : {Need{0, "00-00-0000"}, Need{1, "Various x 99"}}) {
        std::string caption;
        int width = 0, format = 0;
        EZ_LVGETCOLUMN(kForm, kVlList, n.col, caption, width, format);
        int need = EZ_COLSTOPIXELS(EZ_TEXTWIDTH(kFontText, n.sample) + 3);
        if (width < need) EZ_LVSETCOLUMN(kForm, kVlList, n.col, caption, need, format);
    }
}

// Status-bar parts 2 and 3 grow to hold their texts in the status bar's font.
std::vector<double> StatusParts() {
    double selected = std::max(20.0, EZ_TEXTWIDTH(kFontText, "Selected: 9999") + 3);
    double days = std::max(21.0, EZ_TEXTWIDTH(kFontText, "Days to End of Quarter: 92") + 3);
    return {15, 14, selected, days, 0};  // the last part takes the rest
}

void FitDurationColumn() {
    double total = EZ_LVWIDTH(kForm, kVlList);
    double used = 0;
    int count = EZ_LVCOLCOUNT(kForm, kVlList);
    if (count < 6) return;
    for (int i = 0; i < 5; ++i) {
        std::string caption;
        int width = 0, format = 0;
        EZ_LVGETCOLUMN(kForm, kVlList, i, caption, width, format);
        used += EZ_PIXELSTOCOLS(width);
    }
    double rest = std::round(total - used - 3);
    if (rest < 0) rest = 0;
    std::string caption;
    int width = 0, format = 0;
    EZ_LVGETCOLUMN(kForm, kVlList, 5, caption, width, format);
    EZ_LVSETCOLUMN(kForm, kVlList, 5, caption, EZ_COLSTOPIXELS(rest), format);
}

void LayoutControls() {
    double fc = 0, fr = 0, fw = 0, fh = 0;
    EZ_GETFORMPLACE(kForm, fc, fr, fw, fh);
    // The grid lies between the toolbar and the status bar (both placed in
    // window coordinates); before the window is laid out, estimate it.
    double tc = 0, tr = 0, tw = 0, th = 0, sc = 0, sr = 0, sw = 0, sh = 0;
    EZ_GETPLACE(kForm, kVlToolbar, tc, tr, tw, th);
    EZ_GETPLACE(kForm, kVlStatus, sc, sr, sw, sh);
    double gridH = sr - (tr + th);
    if (gridH < 10 || gridH > fh) gridH = fh - 5;
    double frameW = std::max(20.0, fw - 2 * kFrameCol);
    double frameH = std::max(8.0, gridH - kFrameRow - 0.4);
    EZ_MOVE(kForm, kVlFrame, kFrameCol, kFrameRow, frameW, frameH);
    EZ_MOVE(kForm, kVlList, kListCol, kListRow, frameW - 2 * (kListCol - kFrameCol),
            frameH - (kListRow - kFrameRow) - 0.7);
    FitDurationColumn();
}

// ---------------------------------------------------------------------------
// Station filter and selection
// ---------------------------------------------------------------------------

bool AllStationsShown() {
    return EZ_SELECTEDITEM(kForm, kVlStation) <= 0;
}

// The call letters the station filter shows ("" for All Stations).
std::string FilterStationCalls() {
    return AllStationsShown() ? std::string() : EZ_GETTEXT(kForm, kVlStation);
}

void FillStationFilter(const std::string& keep) {
    EZ_REDRAW(kForm, kVlStation, false);
    EZ_CLEARITEMS(kForm, kVlStation);
    EZ_ADDITEM(kForm, kVlStation, kAllStations);
    for (const StationRow& s : StationsOfQuarter(Shell().currentQuarter))
        EZ_ADDITEM(kForm, kVlStation, s.calls);
    EZ_REDRAW(kForm, kVlStation, true);
    // A station the quarter does not have falls back to "All Stations", so
    // the filter never shows nothing while the list shows everything.
    int index = keep.empty() ? 0 : EZ_FINDITEM(kForm, kVlStation, keep);
    EZ_SELECTITEM(kForm, kVlStation, index < 0 ? 0 : index);
    Shell().filterStationId = AllStationsShown()
                                  ? 0
                                  : StationIdByCalls(EZ_GETTEXT(kForm, kVlStation),
                                                     std::to_string(Shell().currentQuarter));
}

std::vector<int64_t> SelectedEntries() {
    std::vector<int64_t> mids;
    for (int r = EZ_LVNEXTSELECTED(kForm, kVlList, -1); r >= 0;
         r = EZ_LVNEXTSELECTED(kForm, kVlList, r))
        mids.push_back(EZ_LVGETVALUE(kForm, kVlList, r));
    return mids;
}

void OpenEditor(EntryEditMode mode, RowId mid) {
    const ShellState& s = Shell();
    if (const RowId saved =
            OpenProgramDetail(kForm, mode, mid, s.currentQuarter, s.filterStationId))
        AfterEntrySaved(saved);
}

void CopyOrEditSelected(EntryEditMode mode) {
    std::vector<int64_t> mids = SelectedEntries();
    if (!mids.empty()) OpenEditor(mode, mids.front());
}

void ShowQuarter() {
    Shell().currentQuarter = QuarterFromName(EZ_GETTEXT(kForm, kVlQuarter));
    RefreshStationFilter();
    FillProgramList();
    UpdateCommands();
    ShowDaysToEnd();
}

// After the quarter selector was refilled: follow it when it now shows
// another quarter than the list.
void FollowQuarterSelector() {
    if (QuarterFromName(EZ_GETTEXT(kForm, kVlQuarter)) != Shell().currentQuarter) ShowQuarter();
}

void AfterStationsChanged() {
    RefreshStationFilter();
    FillProgramList();
    UpdateCommands();
}

void SortByHeader(int column) {
    ShellState& s = Shell();
    if (column != s.sortColumn) {
        s.sortColumn = column;
        s.sortDirection = 0;
    } else {
        s.sortDirection = s.sortDirection == 0 ? 1 : 0;
    }
    EZ_LVSORT(kForm, kVlList, s.sortColumn, s.sortDirection);
    SetSortArrow(kForm, kVlList, s.sortColumn, s.sortDirection);
}

// ---------------------------------------------------------------------------
// Life events
// ---------------------------------------------------------------------------

bool& QuitWhenShown() {
    static bool quit = false;
    return quit;
}

void OnLoaded() {
    EZ_SETFORMMINMAX(kForm, 98.75, 32, 999, 999);
    EZ_SBPARTS(kForm, kVlStatus, StatusParts());

    RestoreFormPlace(kForm, Paths().settingsFile, 1);
    RecordColumnOrder(kForm, kVlList);
    RestoreColumnLayout(kForm, kVlList);
    SetHeaderImages(kForm, kVlList);
    if (IniRead(Paths().settingsFile, "Column", "Names", "").empty())
        SaveColumnLayout(kForm, kVlList);

    EZ_SBSETTEXT(kForm, kVlStatus, 4,
                 std::string("\tVersion: ") + kVersionMajorMinor + "." + kVersionBuild + " - " +
                     BuildDateText());

    // The user may choose to quit while another program holds the database.
    QuitWhenShown() = !OpenDatabaseAtStartup();
    LoadWordList();
    ShellState& s = Shell();
    s.currentQuarter = TodayQuarter();
    EnsureQuarter(s.currentQuarter, true);
    s.noStationsDefined = RollOverStations();

    s.sortColumn = 0;
    s.sortDirection = 0;
    FillQuarterSelector(kForm, kVlQuarter, 1);
    FillStationFilter("");
    FillProgramList();
    SetSortArrow(kForm, kVlList, 0, 0);
    UpdateCommands();
    ShowDaysToEnd();

    s.helpTopic = kHelpMain;
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    LayoutControls();
}

void OnShown() {
    if (QuitWhenShown()) {
        QuitWhenShown() = false;
        EZ_UNLOADFORM(kForm);
        return;
    }
    ShellState& s = Shell();
    if (!s.pdfReaderPresent) {
        EZ_TBENABLE(kForm, kVlPrintButton, false);
        EZ_MENUENABLE(kForm, kVlMenuPrint, false);
        int answer = DgMsgAsk(
            "Print Functions Have Been Disabled",
            "A PDF reader application does not appear to be installed on this machine.{f10,t4}",
            std::string("Such a program is required in order to print from ") + kProgramName +
                ".{f6}",
            "", "*{G,f7}|&Get Help on This Problem|&Continue With Printing Disabled", 1);
        if (answer == 1) ShowHelp(kHelpPdfReader);
    }
    if (s.noStationsDefined) {
        DgMsgOk("Welcome to Vantrel",
                "Before entering Issues or Programs, you will need|"
                "to define the stations on which you will be reporting.{f10}",
                "Click OK to get started.{f6}");
        OpenStations();
        if (!EZ_FORMEXISTS(kForm)) return;
        FillStationFilter("");
        FillProgramList();
        UpdateCommands();
    }
    if (Opts().enableBackup) BackupReminder();
    if (Opts().update && IsUpdateCheckDue() == 1) {
        if (CheckForUpdate(kVersionFull, 0) == 1) {
            EZ_UNLOADFORM(kForm);
            return;
        }
    }
    FinishUpdate();
    if (Opts().alertDeadline) FilingDeadlineAlert();
}

void OnClose() {
    SaveColumnLayout(kForm, kVlList);
    SaveFormPlace(kForm, Paths().settingsFile);
    RunPendingInstaller();
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

void AfterBackup() {
    FillQuarterSelector(kForm, kVlQuarter, 0);
    Shell().currentQuarter = QuarterFromName(EZ_GETTEXT(kForm, kVlQuarter));
    RefreshStationFilter();
    FillProgramList();
    UpdateCommands();
    ShowDaysToEnd();
}

void AfterRestore() {
    // The restored file may come from an earlier quarter: today's quarter,
    // its filing deadline and the roll-over are made as at start-up, and
    // today's quarter is shown.
    ShellState& s = Shell();
    s.currentQuarter = TodayQuarter();
    EnsureQuarter(s.currentQuarter, true);
    s.noStationsDefined = RollOverStations();
    FillQuarterSelector(kForm, kVlQuarter, 1);
    RefreshStationFilter();
    FillProgramList();
    UpdateCommands();
    ShowDaysToEnd();
}

void ChangeOptions() {
    // A saved options dialog may have changed the date format and the tooltips.
    if (!OpenProgramOptions(kForm)) return;
    ApplyTooltips();
    FillProgramList();
    UpdateCommands();
}

// Exports the rows the list shows, in the order it shows them.
void ExportShownList() {
    std::vector<RowId> mids;
    const int rows = EZ_LVROWCOUNT(kForm, kVlList);
    for (int r = 0; r < rows; ++r) mids.push_back(EZ_LVGETVALUE(kForm, kVlList, r));
    const bool all = AllStationsShown();
    const std::string calls = FilterStationCalls();
    const RowId stationId =
        all ? 0 : StationIdByCalls(calls, std::to_string(Shell().currentQuarter));
    ExportProgramList(kForm, Shell().currentQuarter, stationId, calls, mids);
}

// Imports airings from an as-run log; afterwards the list shows the quarter
// and station that received them, with the new entries (else the entries
// that got airings) selected.
void ImportAirings() {
    const ImportOutcome done =
        OpenImportAirings(kForm, Shell().currentQuarter, Shell().filterStationId);
    if (!done.ok) return;
    const int q = EZ_FINDITEM(kForm, kVlQuarter, QuarterName(done.quarter));
    if (done.quarter != Shell().currentQuarter && q >= 0) {
        EZ_SELECTITEM(kForm, kVlQuarter, q);
        ShowQuarter();
    }
    if (!AllStationsShown() && Shell().filterStationId != done.station)
        FillStationFilter(
            SelectText("Stations", "Calls", "StnID = " + std::to_string(done.station)));
    FillProgramList();
    const std::vector<RowId>& mids =
        done.newEntries.empty() ? done.changedEntries : done.newEntries;
    EZ_LVSELECT(kForm, kVlList, -1, false);
    for (int r = 0, rows = EZ_LVROWCOUNT(kForm, kVlList); r < rows; ++r)
        if (std::find(mids.begin(), mids.end(), EZ_LVGETVALUE(kForm, kVlList, r)) != mids.end())
            EZ_LVSELECT(kForm, kVlList, r, true);
    UpdateCommands();
    ReportImport(done);
}

void RunCommand(int id) {
    switch (id) {
        case kVlMenuIssues:
            OpenIssues();
            break;
        case kVlNewButton:
        case kVlMenuNew:
            NewProgram();
            break;
        case kVlCopyButton:
        case kVlMenuCopy:
            CopyOrEditSelected(EntryEditMode::Copy);
            break;
        case kVlEditButton:
        case kVlMenuEdit:
            CopyOrEditSelected(EntryEditMode::Edit);
            break;
        case kVlDeleteButton:
        case kVlMenuDelete:
            DeletePrograms();
            break;
        case kVlPrintButton:
        case kVlMenuPrint:
            OpenPrintDialog(kForm, Shell().currentQuarter, FilterStationCalls());
            break;
        case kVlMenuCheckList:
            OpenFilingCheck(kForm, Shell().currentQuarter, FilterStationCalls());
            break;
        case kVlMenuExportList:
            ExportShownList();
            break;
        case kVlOptionsButton:
        case kVlMenuOptions:
            ChangeOptions();
            break;
        case kVlMenuExit:
            EZ_UNLOADFORM(kForm);
            break;
        case kVlMenuStations:
            OpenStations();
            AfterStationsChanged();
            break;
        case kVlMenuCopyStations:
            OpenCopyStations(kForm);
            AfterStationsChanged();
            break;
        case kVlMenuAnalysis:
            OpenAnalysis(kForm, Shell().currentQuarter, FilterStationCalls());
            break;
        case kVlMenuSpellEditor:
            OpenForm(kSpellEditorForm, kForm);
            break;
        case kVlMenuImport:
            ImportAirings();
            break;
        case kVlMenuBackup:
            if (BackupDatabase()) AfterBackup();
            break;
        case kVlMenuRestore:
            if (RestoreDatabase()) AfterRestore();
            break;
        case kVlMenuHelpTopics:
            ShowHelp(0);
            break;
        case kVlMenuHelpIndex:
            ShowHelp(-1);
            break;
        case kVlMenuWebsite:
            CurrentPlatform().ShellOpen(kWebsite);
            break;
        case kVlMenuUpdate:
            if (CheckForUpdate(kVersionFull, 1) == 1) EZ_UNLOADFORM(kForm);
            break;
        case kVlMenuServiceReport:
            OpenForm(kServiceReportForm, kForm);
            break;
        case kVlMenuAbout:
            OpenForm(kAboutForm, kForm);
            break;
        default:
            break;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// The program list
// ---------------------------------------------------------------------------

namespace {

// The station the list shows (0 = all stations). False when the filter names
// a station that is no longer on file: the list then shows nothing rather
// than everything.
bool ListedStation(RowId& stationId) {
    stationId = 0;
    if (AllStationsShown()) return true;
    stationId =
        StationIdByCalls(EZ_GETTEXT(kForm, kVlStation), std::to_string(Shell().currentQuarter));
    return stationId > 0;
}

}  // namespace

void FillProgramList() {
    EZ_REDRAW(kForm, kVlList, false);
    EZ_LVCLEAR(kForm, kVlList);
    RowId stationId = 0;
    if (ListedStation(stationId)) {
        for (const ProgramListRow& row : ProgramListRows(Shell().currentQuarter, stationId))
            EZ_LVADDROW(kForm, kVlList, row.cells, row.mid);
    }
    // The rows follow the header's sort arrow (and the export the rows).
    const ShellState& s = Shell();
    if (s.sortColumn >= 0) EZ_LVSORT(kForm, kVlList, s.sortColumn, s.sortDirection);
    EZ_REDRAW(kForm, kVlList, true);
}

void ShowProgramListEntry(RowId mid) {
    RowId stationId = 0;
    std::optional<ProgramListRow> row;
    if (ListedStation(stationId)) row = ProgramListRowOf(Shell().currentQuarter, stationId, mid);
    const int at = EZ_LVFINDVALUE(kForm, kVlList, mid);
    if (!row) {
        if (at >= 0) EZ_LVDELETEROW(kForm, kVlList, at);
        return;
    }
    EZ_LVPUTROW(kForm, kVlList, at, row->cells, row->mid);
}

void UpdateCommands() {
    bool stationChosen = !AllStationsShown();
    EZ_TBENABLE(kForm, kVlNewButton, stationChosen);
    EZ_MENUENABLE(kForm, kVlMenuNew, stationChosen);
    // Importing needs a station of the shown quarter to import into.
    EZ_MENUENABLE(kForm, kVlMenuImport, EZ_ITEMCOUNT(kForm, kVlStation) > 1);

    int n = EZ_LVSELCOUNT(kForm, kVlList);
    EZ_SBSETTEXT(kForm, kVlStatus, 2, "\tSelected: " + std::to_string(n));

    EZ_TBENABLE(kForm, kVlCopyButton, n == 1);
    EZ_TBENABLE(kForm, kVlEditButton, n == 1);
    EZ_MENUENABLE(kForm, kVlMenuCopy, n == 1);
    EZ_MENUENABLE(kForm, kVlMenuEdit, n == 1);
    EZ_TBENABLE(kForm, kVlDeleteButton, n > 0);
    EZ_MENUENABLE(kForm, kVlMenuDelete, n > 0);
}

void RefreshStationFilter() {
    FillStationFilter(EZ_GETTEXT(kForm, kVlStation));
}

void ShowDaysToEnd() {
    EZ_SBSETTEXT(
        kForm, kVlStatus, 3,
        "\tDays to End of Quarter: " + std::to_string(DaysToEndOfQuarter(Shell().currentQuarter)));
}

void NewProgram() {
    const ShellState& s = Shell();
    if (s.filterStationId <= 0) return;  // "All Stations": the command is disabled
    int count =
        static_cast<int>(Val(SelectText("Issues", "COUNT(*)",
                                        "IQtr = " + std::to_string(s.currentQuarter) +
                                            " AND SID = " + std::to_string(s.filterStationId))));
    if (count > 0) {
        OpenEditor(EntryEditMode::Add, 0);
        return;
    }
    int answer =
        DgMsgAsk("Issues Not Present", "This station has no issues on file for the quarter.{f10}",
                 "Would you like to add issues now?{f6}", "", "*{G,f7}|&Yes|&No", 1);
    if (answer == 1) OpenIssues();
}

void DeletePrograms() {
    std::vector<int64_t> mids = SelectedEntries();
    if (mids.empty()) return;
    const std::string suffix = mids.size() > 1 ? "s" : "";
    int answer =
        DgMsgAsk("Delete Selected Program" + suffix,
                 "Are you SURE you want to delete the highlighted program" + suffix + "?{f10}",
                 "(This action cannot be reversed unless you have taken a backup.){f6}", "",
                 "*{G,f7}|&Yes|&No", 2);
    if (answer != 1) return;
    int failed = 0;
    std::vector<int64_t> deleted;
    for (int64_t mid : mids) {
        if (mid <= 0) continue;
        if (DeleteProgramEntry(mid))
            deleted.push_back(mid);
        else
            ++failed;
    }
    if (failed == 0) {
        FillProgramList();
    } else {
        // The database may still be held by whatever made the delete fail, so
        // a refill could read nothing: only the rows of the entries that are
        // gone leave the list, the others stay as the database holds them.
        for (int64_t mid : deleted) {
            const int at = EZ_LVFINDVALUE(kForm, kVlList, mid);
            if (at >= 0) EZ_LVDELETEROW(kForm, kVlList, at);
        }
    }
    UpdateCommands();
    if (failed > 0)
        DgMsgOk("Delete Error", "Not every selected program could be deleted.{f10}",
                "The programs still listed were left unchanged (" + slGetError() + ").{f6}");
}

void FilingDeadlineAlert() {
    const std::string& ini = Paths().settingsFile;
    if (Val(IniRead(ini, "Filing", "Deadline", "0")) != TodayJulian()) return;
    DgMsgOk("Filing Reminder",
            "Today is the deadline for placing last quarter's|"
            "Issues & Programs List in the Public File.{f10}",
            "|This message is being shown because you have set|"
            "the \"Alert me on filing deadline\" option to \"ON\".{f6}");
    IniWrite(ini, "Filing", "Deadline", "0");
}

// ---------------------------------------------------------------------------
// Designer and event procedure
// ---------------------------------------------------------------------------

static void VL_Design() {
    EZ_MENU(kForm, 0, kVlMenuFile, "&File");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuIssues, "&Issues");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuFileSep1, "-");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuNew, "&New Program");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuCopy, "&Copy Program");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuEdit, "&Edit Program");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuDelete, "&Delete Program");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuFileSep2, "-");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuPrint, "&Print");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuCheckList, "Check &List Before Filing...");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuExportList, "E&xport List...");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuFileSep3, "-");
    EZ_MENU(kForm, kVlMenuFile, kVlMenuExit, "E&xit");

    EZ_MENU(kForm, 0, kVlMenuTools, "&Tools");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuStations, "&Station List");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuCopyStations, "&Copy Stations");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuAnalysis, "&Analysis");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuToolsSep1, "-");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuImport, "Import Airings...");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuSpellEditor, "Spell Check &Editor");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuToolsSep2, "-");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuBackup, "&Backup Database");
    EZ_MENU(kForm, kVlMenuTools, kVlMenuRestore, "&Restore Database");

    EZ_MENU(kForm, 0, kVlMenuOptions, "&Options");

    EZ_MENU(kForm, 0, kVlMenuHelp, "&Help");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuHelpTopics, "Help &Topics");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuHelpIndex, "Help &Index");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuHelpSep1, "-");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuWebsite, "Developer's &Website");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuUpdate, "Check for Program &Update");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuServiceReport, "&Service Report...");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuHelpSep2, "-");
    EZ_MENU(kForm, kVlMenuHelp, kVlMenuAbout, "&About Vantrel...");

    EZ_CONTROL(kForm, kVlToolbar, EzKind::Toolbar, "", 0, 0, 0, 0);
    bool tips = Opts().tipsOn;
    for (const ToolButton& b : kButtons)
        EZ_TOOLBUTTON(kForm, kVlToolbar, b.id, b.icon, tips ? b.tip : "", b.id == kVlPrintButton);

    EZ_CONTROL(kForm, kVlFrame, EzKind::Frame, "Issues && Programs for Period:", kFrameCol,
               kFrameRow, 100, 26);
    EZ_CONTROL(kForm, kVlQuarter, EzKind::Combo, "", kListCol, kSelectorRow, 22, 1.6);
    EZ_CONTROL(kForm, kVlStation, EzKind::Combo, "", kListCol + 24, kSelectorRow, 20, 1.6);
    EZ_CONTROL(kForm, kVlList, EzKind::ListView, kColumns, kListCol, kListRow, 98, 21, "M");
    WidenForContents();
    EZ_CONTROL(kForm, kVlStatus, EzKind::StatusBar, "", 0, 0, 0, 0);
    ApplyTooltips();
}

static void VL_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (ev == EzEvent::GotFocus) Shell().helpTopic = kHelpMain;
    // Help shows the current help topic.
    if (CommonFormEvent(kForm, id, ev, {kVlHelpButton, kVlExitButton, kHelpMain},
                        Shell().helpTopic))
        return;
    if (id == 0) {
        switch (ev) {
            case EzEvent::Loaded:
                OnLoaded();
                break;
            case EzEvent::Shown:
                LayoutControls();
                OnShown();
                break;
            case EzEvent::Close:
                OnClose();
                cancel = 0;
                break;
            case EzEvent::Resize:
                LayoutControls();
                break;
            default:
                break;
        }
        return;
    }
    switch (id) {
        case kVlQuarter:
            if (ev == EzEvent::Change) {
                ShowQuarter();
            } else if (ev == EzEvent::RightClick) {
                if (OfferPreviousQuarter(TodayQuarter())) {
                    FillQuarterSelector(kForm, kVlQuarter, 1);
                    FollowQuarterSelector();
                }
            }
            return;
        case kVlStation:
            if (ev == EzEvent::Change) {
                AfterStationsChanged();
            } else if (ev == EzEvent::RightClick) {
                OpenStations();
                AfterStationsChanged();
            }
            return;
        case kVlList:
            if (ev == EzEvent::SelChange) {
                EZ_POSTEVENT(kForm, kVlList, kPostSelectionSettled);
            } else if (ev == EzEvent::Posted && value == kPostSelectionSettled) {
                UpdateCommands();
            } else if (ev == EzEvent::DblClick) {
                if (value >= 0 && value < EZ_LVROWCOUNT(kForm, kVlList))
                    OpenEditor(EntryEditMode::Edit,
                               EZ_LVGETVALUE(kForm, kVlList, static_cast<int>(value)));
                else
                    CopyOrEditSelected(EntryEditMode::Edit);
            } else if (ev == EzEvent::HeaderClick) {
                SortByHeader(static_cast<int>(value));
            } else if (ev == EzEvent::Resize) {
                FitDurationColumn();
            }
            return;
        default:
            break;
    }
    if (ev == EzEvent::Click) RunCommand(id);
}

namespace {
constexpr ControlName kControls[] = {
    {"Toolbar", kVlToolbar},
    {"NewButton", kVlNewButton},
    {"CopyButton", kVlCopyButton},
    {"EditButton", kVlEditButton},
    {"DeleteButton", kVlDeleteButton},
    {"PrintButton", kVlPrintButton},
    {"OptionsButton", kVlOptionsButton},
    {"HelpButton", kVlHelpButton},
    {"ExitButton", kVlExitButton},
    {"Quarter", kVlQuarter},
    {"Station", kVlStation},
    {"List", kVlList},
    {"Frame", kVlFrame},
    {"Status", kVlStatus},
    {"MenuFile", kVlMenuFile},
    {"MenuIssues", kVlMenuIssues},
    {"MenuNew", kVlMenuNew},
    {"MenuCopy", kVlMenuCopy},
    {"MenuEdit", kVlMenuEdit},
    {"MenuDelete", kVlMenuDelete},
    {"MenuPrint", kVlMenuPrint},
    {"MenuCheckList", kVlMenuCheckList},
    {"MenuExportList", kVlMenuExportList},
    {"MenuExit", kVlMenuExit},
    {"MenuTools", kVlMenuTools},
    {"MenuStations", kVlMenuStations},
    {"MenuCopyStations", kVlMenuCopyStations},
    {"MenuAnalysis", kVlMenuAnalysis},
    {"MenuSpellEditor", kVlMenuSpellEditor},
    {"MenuImport", kVlMenuImport},
    {"MenuBackup", kVlMenuBackup},
    {"MenuRestore", kVlMenuRestore},
    {"MenuOptions", kVlMenuOptions},
    {"MenuHelp", kVlMenuHelp},
    {"MenuHelpTopics", kVlMenuHelpTopics},
    {"MenuHelpIndex", kVlMenuHelpIndex},
    {"MenuWebsite", kVlMenuWebsite},
    {"MenuUpdate", kVlMenuUpdate},
    {"MenuServiceReport", kVlMenuServiceReport},
    {"MenuAbout", kVlMenuAbout},
    {"MenuFileSep1", kVlMenuFileSep1},
    {"MenuFileSep2", kVlMenuFileSep2},
    {"MenuFileSep3", kVlMenuFileSep3},
    {"MenuToolsSep1", kVlMenuToolsSep1},
    {"MenuToolsSep2", kVlMenuToolsSep2},
    {"MenuHelpSep1", kVlMenuHelpSep1},
    {"MenuHelpSep2", kVlMenuHelpSep2},
};
}  // namespace

// Modeless ("N": opening it returns at once, the program runs while it is
// open) and resizable.
constinit const FormDecl kMainWindowForm = {
    .name = "VL",
    .caption = kMainCaption,
    .width = kMainWindowWidth,
    .height = kMainWindowHeight,
    .style = "RN",
    .helpTopic = kHelpMain,
    .design = VL_Design,
    .event = VL_Event,
    .controls = kControls,
};
