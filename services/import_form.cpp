// Form IM: the as-run log import. Everything it decides lives in an
// ImportSession (services/asrun_import.h); this file puts the session on
// the controls and passes the user's choices back to it.
#include "services/import_form.h"

#include <filesystem>
#include <sstream>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "services/forms.h"
#include "ui/data_controls.h"
#include "ui/layout.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "IM";
constexpr const char* kChecked = "{S}X2";
constexpr const char* kUnchecked = "{S}X1";
constexpr const char* kNewEntry = "(New entry)";
constexpr const char* kNoColumn = "(none)";
constexpr size_t kMaxLogBytes = 256u << 20;
constexpr size_t kMaxProblemsShown = 500;

// Labels and frames.
constexpr int kLogFrame = 195, kColumnsFrame = 200, kIntoFrame = 205, kTitlesFrame = 210,
              kPreviewFrame = 215;
constexpr int kDateLabel = 300, kTimeLabel = 305, kTitleLabel = 310, kLengthLabel = 315,
              kDateTimeLabel = 320, kQuarterLabel = 325, kStationLabel = 330, kDurationLabel = 335,
              kTargetLabel = 340, kProblemsLabel = 345, kNewDurationLabel = 350, kNotesLabel = 355,
              kNewDurationHint = 360;

struct ImportForm {
    ImportSession session;
    int32_t pendingQuarter = 0;
    RowId pendingStation = 0;
    ImportOutcome outcome;
};
ImportForm& State() {
    static ImportForm state;
    return state;
}
ImportSession& Session() {
    return State().session;
}

std::string Grouped(int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(i, ",");
    return (n < 0 ? "-" : "") + digits;
}

// A log's text as a cell or item shows it: drawing megabytes of one title
// would hold the dialog for seconds.
std::string Shown(const std::string& text) {
    if (text.size() <= kImShownChars) return text;
    std::string cut = CutChars(text, kImShownChars);
    if (cut.size() < text.size()) cut += "\xE2\x80\xA6";  // …
    return cut;
}

const char* EncodingName(LogEncoding e) {
    switch (e) {
        case LogEncoding::Utf8Bom:
            return "UTF-8 with byte-order mark";
        case LogEncoding::Windows1252:
            return "Windows-1252";
        case LogEncoding::Mixed:
            return "UTF-8 and Windows-1252 lines";
        default:
            return "UTF-8";
    }
}

const char* SeparatorName(char sep) {
    return sep == '\t' ? "Tab-separated" : sep == ';' ? "Semicolon-separated" : "Comma-separated";
}

// --- filling the controls ---

void FillColumnCombos() {
    const std::vector<std::string> names = LogColumnNames(Session().log);
    const ColumnMap& m = Session().columns;
    const std::pair<int, int> combos[] = {{kImDate, m.date},
                                          {kImTime, m.time},
                                          {kImTitle, m.title},
                                          {kImLength, m.length},
                                          {kImDateTime, m.dateTime}};
    for (const auto& [id, column] : combos) {
        EZ_CLEARITEMS(kForm, id);
        EZ_ADDITEM(kForm, id, kNoColumn, -1);
        for (size_t c = 0; c < names.size(); ++c)
            EZ_ADDITEM(kForm, id, Shown(names[c]), static_cast<int64_t>(c));
        EZ_SELECTITEM(kForm, id, column + 1);
        EZ_ENABLE(kForm, id, !names.empty());
    }
    // Separate date and time columns are not used while one column holds both.
    EZ_ENABLE(kForm, kImDate, !names.empty() && m.dateTime < 0);
    EZ_ENABLE(kForm, kImTime, !names.empty() && m.dateTime < 0);
    EZ_SETCHECK(kForm, kImHeader, Session().log.header);
    EZ_ENABLE(kForm, kImHeader, !Session().log.rows.empty());
}

void ShowLogInfo() {
    const ImportSession& s = Session();
    if (s.path.empty()) {
        EZ_SETTEXT(kForm, kImLogInfo,
                   "Choose the as-run log your automation or traffic system "
                   "exported (CSV or tab-separated).");
        return;
    }
    if (s.log.trouble == LogTrouble::NotText) {
        EZ_SETTEXT(kForm, kImLogInfo, LogTroubleText(s.log.trouble));
        return;
    }
    const size_t rows = s.log.rows.size() - FirstDataRow(s.log);
    EZ_SETTEXT(kForm, kImLogInfo,
               std::string(SeparatorName(s.log.separator)) + ", " + EncodingName(s.log.encoding) +
                   ", " + Grouped(static_cast<int64_t>(rows)) + (rows == 1 ? " row" : " rows") +
                   (s.order == DateOrder::DayFirst ? ", dates day first" : ""));
}

std::string TargetTitle(RowId mid) {
    if (mid == 0) return "New entry";
    for (const ImportTarget& t : Session().targets)
        if (t.mid == mid) return Shown(TargetLabel(t));
    return "New entry";
}

void FillTitles() {
    const ImportSession& s = Session();
    EZ_REDRAW(kForm, kImTitles, false);
    EZ_LVCLEAR(kForm, kImTitles);
    for (size_t i = 0; i < s.titles.size(); ++i)
        EZ_LVADDROW(kForm, kImTitles,
                    {s.chosen[i] ? kChecked : kUnchecked, Shown(s.titles[i].title),
                     Grouped(s.titles[i].rows), TargetTitle(s.target[i])},
                    static_cast<int64_t>(i));
    EZ_REDRAW(kForm, kImTitles, true);
}

void FillTargetCombo() {
    EZ_CLEARITEMS(kForm, kImTarget);
    EZ_ADDITEM(kForm, kImTarget, kNewEntry, 0);
    for (const ImportTarget& t : Session().targets)
        EZ_ADDITEM(kForm, kImTarget, Shown(TargetLabel(t)), t.mid);
}

// The title of the selected row; -1 without a selection.
int SelectedTitle() {
    const int row = EZ_LVNEXTSELECTED(kForm, kImTitles, -1);
    if (row < 0) return -1;
    const int64_t i = EZ_LVGETVALUE(kForm, kImTitles, row);
    return i >= 0 && static_cast<size_t>(i) < Session().target.size() ? static_cast<int>(i) : -1;
}

// The selected title's entry in the drop-down and its new entry's duration
// (both disabled without a selection, the duration also for an existing entry).
void ShowSelectedTarget() {
    const int title = SelectedTitle();
    const ImportSession& s = Session();
    if (title < 0) {
        EZ_SELECTITEM(kForm, kImTarget, -1);
        EZ_ENABLE(kForm, kImTarget, false);
        EZ_SETTEXT(kForm, kImNewDuration, "");
        EZ_ENABLE(kForm, kImNewDuration, false);
        return;
    }
    int index = 0;
    for (int i = 1, n = EZ_ITEMCOUNT(kForm, kImTarget); i < n; ++i)
        if (EZ_ITEMDATA(kForm, kImTarget, i) == s.target[title]) index = i;
    EZ_SELECTITEM(kForm, kImTarget, index);
    EZ_ENABLE(kForm, kImTarget, true);
    const bool isNew = s.target[title] == 0;
    EZ_SETTEXT(kForm, kImNewDuration, isNew ? NewEntryDuration(s, title) : "");
    EZ_ENABLE(kForm, kImNewDuration, isNew);
}

void ShowPreview() {
    const ImportPlan& plan = Session().plan;
    EZ_REDRAW(kForm, kImPreview, false);
    EZ_LVCLEAR(kForm, kImPreview);
    std::string notes;
    for (const TitlePreview& p : plan.titles) {
        EZ_LVADDROW(kForm, kImPreview,
                    {Shown(p.title),
                     p.target > 0 ? Shown(p.entryTitle)
                                  : "New: " + (p.duration.empty() ? "no duration" : p.duration),
                     Grouped(p.toAdd), Grouped(p.already), Grouped(p.outside)});
        if (!p.note.empty()) notes += (notes.empty() ? "" : "\n") + Shown(p.title) + ": " + p.note;
    }
    EZ_REDRAW(kForm, kImPreview, true);
    EZ_SETTEXT(kForm, kImNotes, notes);

    EZ_REDRAW(kForm, kImProblems, false);
    EZ_CLEARITEMS(kForm, kImProblems);
    for (size_t i = 0; i < plan.problems.size() && i < kMaxProblemsShown; ++i)
        EZ_ADDITEM(kForm, kImProblems,
                   "Line " + std::to_string(plan.problems[i].line) + ": " +
                       Shown(plan.problems[i].reason));
    if (plan.problems.size() > kMaxProblemsShown)
        EZ_ADDITEM(kForm, kImProblems,
                   "... and " +
                       Grouped(static_cast<int64_t>(plan.problems.size() - kMaxProblemsShown)) +
                       " more");
    EZ_REDRAW(kForm, kImProblems, true);

    const ImportSession& s = Session();
    std::string summary;
    if (s.path.empty()) {
        summary = "No log read yet.";
    } else if (TroubleOf(s.log) != LogTrouble::None) {
        summary = LogTroubleText(TroubleOf(s.log));
    } else if (!ColumnMapComplete(s.columns)) {
        summary = "Choose the columns of the title and of the date and time.";
    } else if (s.station <= 0) {
        summary = "The quarter has no station to import into.";
    } else if (plan.titles.empty()) {
        summary = "Tick the titles to import.";
    } else {
        const auto count = [](int64_t n, const char* one, const char* many) {
            return Grouped(n) + " " + (n == 1 ? one : many);
        };
        summary = count(plan.toAdd, "airing", "airings") + " to add, " + Grouped(plan.already) +
                  " already recorded, " + Grouped(plan.outside) + " outside the quarter, " +
                  count(static_cast<int64_t>(plan.problems.size()), "row", "rows") + " not read.";
        if (plan.newEntries > 0) summary += " New entries: " + Grouped(plan.newEntries) + ".";
        if (plan.duplicates > 0)
            summary += " " + count(plan.duplicates, "new entry repeats", "new entries repeat") +
                       " the title of an entry the station has.";
        if (plan.notAdded > 0)
            summary += " " + count(plan.notAdded, "airing is", "airings are") +
                       " not added to period entries.";
        if (plan.missingDuration) summary += " Type a default duration for new entries.";
    }
    EZ_SETTEXT(kForm, kImSummary, summary);
    EZ_ENABLE(kForm, kImImport, ImportReady(s));
}

void ShowAll() {
    FillColumnCombos();
    ShowLogInfo();
    FillTargetCombo();
    FillTitles();
    ShowSelectedTarget();
    ShowPreview();
}

void FillStations(const std::string& keepCalls) {
    EZ_CLEARITEMS(kForm, kImStation);
    int index = 0, i = 0;
    for (const StationRow& st : StationsOfQuarter(Session().quarter)) {
        EZ_ADDITEM(kForm, kImStation, st.calls, st.id);
        if (st.id == State().pendingStation || IEquals(st.calls, keepCalls)) index = i;
        ++i;
    }
    EZ_SELECTITEM(kForm, kImStation, i > 0 ? index : -1);
}

RowId ShownStation() {
    const int i = EZ_SELECTEDITEM(kForm, kImStation);
    return i < 0 ? 0 : EZ_ITEMDATA(kForm, kImStation, i);
}

// --- actions ---

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(FsPath(path), ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > kMaxLogBytes) {
        error = "the file is larger than 256 MB";
        return false;
    }
    File in;
    if (!in.Open(path, File::Mode::Read)) {
        error = "it cannot be opened";
        return false;
    }
    std::string data;
    data.reserve(static_cast<size_t>(size));
    char buf[1 << 16];
    for (;;) {
        const int64_t n = in.Read(buf, sizeof buf);
        if (n < 0) {
            error = "it cannot be read";
            return false;
        }
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    bytes = std::move(data);
    return true;
}

void Browse() {
    const std::string folder = IniRead(Paths().settingsFile, "Import", "Folder", "");
    const std::string path = EZ_OPENFILEDLG(
        kForm, "Open As-Run Log", folder,
        "As-Run Logs (*.csv;*.txt;*.tsv;*.log)|*.csv;*.txt;*.tsv;*.log|All Files (*.*)|*.*");
    if (path.empty()) return;
    std::string bytes, error;
    if (!ReadFile(path, bytes, error)) {
        DgMsgOk("Cannot Read Log", "The file " + path + " could not be read:{f10}",
                error + ".{f6}");
        return;
    }
    IniWrite(Paths().settingsFile, "Import", "Folder", Utf8Path(FsPath(path).parent_path()));
    ImportSession& s = Session();
    s.path = path;
    EZ_SETTEXT(kForm, kImFile, path);
    LoadLog(s, bytes, Dates().format);
    ShowAll();
}

void ColumnChosen(int id) {
    ColumnMap& m = Session().columns;
    const int i = EZ_SELECTEDITEM(kForm, id);
    const int column = i < 0 ? -1 : static_cast<int>(EZ_ITEMDATA(kForm, id, i));
    switch (id) {
        case kImDate:
            m.date = column;
            break;
        case kImTime:
            m.time = column;
            break;
        case kImTitle:
            m.title = column;
            break;
        case kImLength:
            m.length = column;
            break;
        case kImDateTime:
            m.dateTime = column;
            break;
        default:
            break;
    }
    ReadRowsAgain(Session(), Dates().format);
    ShowAll();
}

void ReadTicks() {
    ImportSession& s = Session();
    for (int r = 0, n = EZ_LVROWCOUNT(kForm, kImTitles); r < n; ++r) {
        const size_t i = static_cast<size_t>(EZ_LVGETVALUE(kForm, kImTitles, r));
        if (i < s.chosen.size()) s.chosen[i] = IsChecked(kForm, kImTitles, r);
    }
    UpdatePlan(s);
    ShowPreview();
}

void TargetChosen() {
    const int row = EZ_LVNEXTSELECTED(kForm, kImTitles, -1);
    const int item = EZ_SELECTEDITEM(kForm, kImTarget);
    ImportSession& s = Session();
    if (row < 0 || item < 0) return;
    const size_t i = static_cast<size_t>(EZ_LVGETVALUE(kForm, kImTitles, row));
    if (i >= s.target.size()) return;
    s.target[i] = EZ_ITEMDATA(kForm, kImTarget, item);
    EZ_LVSETCELL(kForm, kImTitles, row, 3, TargetTitle(s.target[i]));
    UpdatePlan(s);
    ShowSelectedTarget();
    ShowPreview();
}

void NewDurationTyped() {
    const int title = SelectedTitle();
    if (title < 0) return;
    SetNewEntryDuration(Session(), static_cast<size_t>(title), EZ_GETTEXT(kForm, kImNewDuration));
    ShowPreview();
}

void DestinationChanged() {
    ImportSession& s = Session();
    SetDestination(s, s.quarter, ShownStation());
    FillTargetCombo();
    FillTitles();
    ShowSelectedTarget();
    ShowPreview();
}

void Import() {
    EZ_ENABLE(kForm, kImImport, false);
    UpdatePlan(Session());  // the database as it is now
    if (!ImportReady(Session())) {
        ShowPreview();
        return;
    }
    ImportOutcome outcome = WriteImport(Session().plan);
    if (!outcome.ok) {
        DgMsgOk("Import Failed", "The airings could not be imported.{f10,t4}",
                "Nothing was changed (" + outcome.error + ").{f6}");
        UpdatePlan(Session());
        ShowPreview();
        return;
    }
    State().outcome = outcome;
    EZ_UNLOADFORM(kForm);
}

void Loaded() {
    KeepDesignedSize(kForm, kImportWidth, kImportHeight);
    ImportForm& st = State();
    st.session = ImportSession{};
    st.outcome = ImportOutcome{};
    st.session.quarter = st.pendingQuarter > 0 ? st.pendingQuarter : TodayQuarter();
    FillQuarterSelector(kForm, kImQuarter, 1);
    const int q = EZ_FINDITEM(kForm, kImQuarter, QuarterName(st.session.quarter));
    if (q >= 0) EZ_SELECTITEM(kForm, kImQuarter, q);
    FillStations("");
    SetDestination(st.session, st.session.quarter, ShownStation());
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    Shell().helpTopic = kTopicImport;
    ShowAll();
    EZ_SETFOCUS(kForm, kImBrowse);
}

}  // namespace

extern const FormDecl kImportForm;

ImportOutcome OpenImportAirings(const std::string& parent, int32_t quarter, RowId station) {
    State().pendingQuarter = quarter;
    State().pendingStation = station;
    State().outcome = ImportOutcome{};
    OpenForm(kImportForm, parent);
    State().session = ImportSession{};  // the log's rows are not kept once the dialog is gone
    return State().outcome;
}

void ReportImport(const ImportOutcome& outcome) {
    std::string text1, text2;
    ImportDoneTexts(outcome, text1, text2);
    DgMsgOk("Import Complete", text1, text2);
}

static void IM_Design() {
    EZ_CONTROL(kForm, kLogFrame, EzKind::Frame, "As-Run Log", 1.5, 0.4, 121, 4.6);
    EZ_CONTROL(kForm, kImFile, EzKind::Text, "", 3, 1.7, 102, 1.4, "R");
    EZ_CONTROL(kForm, kImBrowse, EzKind::Button, "&Browse...", 107, 1.55, 13.5, 1.7);
    EZ_CONTROL(kForm, kImLogInfo, EzKind::Label, "", 3, 3.4, 117, 1.2);

    // The column drop-downs are wide enough for the names of a log's columns.
    EZ_CONTROL(kForm, kColumnsFrame, EzKind::Frame, "Columns of the Log", 1.5, 5.4, 121, 7.4);
    EZ_CONTROL(kForm, kDateLabel, EzKind::Label, "Date:", 3, 7.0, 13, 1.2);
    EZ_CONTROL(kForm, kImDate, EzKind::Combo, "", 16, 6.8, 43, 1.6);
    EZ_CONTROL(kForm, kTimeLabel, EzKind::Label, "Time:", 3, 8.9, 13, 1.2);
    EZ_CONTROL(kForm, kImTime, EzKind::Combo, "", 16, 8.7, 43, 1.6);
    EZ_CONTROL(kForm, kTitleLabel, EzKind::Label, "Title:", 3, 10.8, 13, 1.2);
    EZ_CONTROL(kForm, kImTitle, EzKind::Combo, "", 16, 10.6, 43, 1.6);
    EZ_CONTROL(kForm, kDateTimeLabel, EzKind::Label, "Date and time:", 62, 7.0, 15, 1.2);
    EZ_CONTROL(kForm, kImDateTime, EzKind::Combo, "", 77, 6.8, 44, 1.6);
    EZ_CONTROL(kForm, kLengthLabel, EzKind::Label, "Length:", 62, 8.9, 15, 1.2);
    EZ_CONTROL(kForm, kImLength, EzKind::Combo, "", 77, 8.7, 44, 1.6);
    EZ_CONTROL(kForm, kImHeader, EzKind::Check, "First row holds column names", 62, 10.7, 44, 1.4);

    EZ_CONTROL(kForm, kIntoFrame, EzKind::Frame, "Import Into", 1.5, 13.2, 121, 3.4);
    EZ_CONTROL(kForm, kQuarterLabel, EzKind::Label, "Quarter:", 3, 14.8, 13, 1.2);
    EZ_CONTROL(kForm, kImQuarter, EzKind::Combo, "", 16, 14.6, 21, 1.6);
    EZ_CONTROL(kForm, kStationLabel, EzKind::Label, "Station:", 40, 14.8, 9, 1.2);
    EZ_CONTROL(kForm, kImStation, EzKind::Combo, "", 49, 14.6, 21, 1.6);
    EZ_CONTROL(kForm, kDurationLabel, EzKind::Label, "Default duration:", 73, 14.8, 18, 1.2);
    EZ_CONTROL(kForm, kImDuration, EzKind::Text, "", 91, 14.7, 30, 1.4);

    EZ_CONTROL(kForm, kTitlesFrame, EzKind::Frame, "Titles in the Log (tick those to import)", 1.5,
               17.0, 121, 11.4);
    EZ_CONTROL(kForm, kImTitles, EzKind::ListView, "{3}|Log Title{40}|Airings{8}|Program Entry{22}",
               3, 18.4, 75, 9.6, "C");
    EZ_CONTROL(kForm, kTargetLabel, EzKind::Label, "Program entry of the selected title:", 80, 18.6,
               41, 1.2);
    EZ_CONTROL(kForm, kImTarget, EzKind::Combo, "", 80, 19.9, 41, 1.6);
    EZ_CONTROL(kForm, kNewDurationLabel, EzKind::Label, "Duration of its new entry:", 80, 22.2, 41,
               1.2);
    EZ_CONTROL(kForm, kImNewDuration, EzKind::Text, "", 80, 23.5, 41, 1.4);
    EZ_CONTROL(kForm, kNewDurationHint, EzKind::Label,
               "Proposed from the lengths in the log; type another to change it.", 80, 25.2, 41,
               2.6, "W");

    EZ_CONTROL(kForm, kPreviewFrame, EzKind::Frame, "Preview", 1.5, 28.8, 121, 14.2);
    EZ_CONTROL(kForm, kImPreview, EzKind::ListView,
               "Log Title{32}|Program Entry{48}|To Add{9}|Recorded{11}|Outside{10}", 3, 30.2, 118,
               6.4);
    EZ_CONTROL(kForm, kNotesLabel, EzKind::Label, "Notes:", 3, 36.9, 20, 1.2);
    EZ_CONTROL(kForm, kImNotes, EzKind::Text, "", 3, 38.2, 58, 4.4, "MR");
    EZ_CONTROL(kForm, kProblemsLabel, EzKind::Label, "Rows not read:", 62.5, 36.9, 20, 1.2);
    EZ_CONTROL(kForm, kImProblems, EzKind::ListBox, "", 62.5, 38.2, 58.5, 4.4);

    EZ_CONTROL(kForm, kImSummary, EzKind::Label, "", 1.5, 43.4, 82, 2.8, "W");
    EZ_CONTROL(kForm, kImImport, EzKind::Button, "&Import", 85.5, 43.8, 11.5, 1.7);
    EZ_CONTROL(kForm, kImCancel, EzKind::Button, "C&ancel", 98.25, 43.8, 11.5, 1.7);
    EZ_CONTROL(kForm, kImHelp, EzKind::Button, "&Help", 111, 43.8, 11.5, 1.7);
    if (Opts().tipsOn) {
        EZ_SETTOOLTIP(kForm, kImBrowse, "Choose the as-run log to read");
        EZ_SETTOOLTIP(kForm, kImTitles, "Tick the programs and announcements to import");
        EZ_SETTOOLTIP(kForm, kImTarget, "Program entry that receives the selected title's airings");
        EZ_SETTOOLTIP(kForm, kImDuration, "Duration of a new entry when the log gives no length");
        EZ_SETTOOLTIP(kForm, kImNewDuration,
                      "Duration the selected title's new entry gets; empty takes the proposed one");
    }
}

static void IM_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kImHelp, kImCancel, kTopicImport}, kTopicImport)) return;
    switch (id) {
        case 0:
            if (ev == EzEvent::Loaded) Loaded();
            break;
        case kImBrowse:
            if (ev == EzEvent::Click) Browse();
            break;
        case kImHeader:
            if (ev == EzEvent::Click) {
                Session().log.header = EZ_GETCHECK(kForm, kImHeader);
                ReadRowsAgain(Session(), Dates().format);
                ShowAll();
            }
            break;
        case kImDate:
        case kImTime:
        case kImTitle:
        case kImLength:
        case kImDateTime:
            if (ev == EzEvent::Change) ColumnChosen(id);
            break;
        case kImQuarter:
            if (ev == EzEvent::Change) {
                const std::string calls = EZ_GETTEXT(kForm, kImStation);
                Session().quarter = QuarterFromName(EZ_GETTEXT(kForm, kImQuarter));
                State().pendingStation = 0;
                FillStations(calls);
                DestinationChanged();
            }
            break;
        case kImStation:
            if (ev == EzEvent::Change) DestinationChanged();
            break;
        case kImDuration:
            if (ev == EzEvent::Change) {
                Session().defaultDuration = EZ_GETTEXT(kForm, kImDuration);
                UpdatePlan(Session());
                ShowSelectedTarget();
                ShowPreview();
            }
            break;
        case kImNewDuration:
            if (ev == EzEvent::Change) NewDurationTyped();
            break;
        case kImTitles:
            if (ev == EzEvent::Click) {
                // Read the ticks once the check box has changed.
                EZ_POSTEVENT(kForm, kImTitles, 0);
            } else if (ev == EzEvent::Posted) {
                ReadTicks();
            } else if (ev == EzEvent::SelChange) {
                ShowSelectedTarget();
            }
            break;
        case kImTarget:
            if (ev == EzEvent::Change) TargetChosen();
            break;
        case kImImport:
            if (ev == EzEvent::Click) Import();
            break;
        default:
            break;
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"File", kImFile},
    {"Browse", kImBrowse},
    {"Header", kImHeader},
    {"Date", kImDate},
    {"Time", kImTime},
    {"Title", kImTitle},
    {"Length", kImLength},
    {"DateTime", kImDateTime},
    {"Quarter", kImQuarter},
    {"Station", kImStation},
    {"Duration", kImDuration},
    {"Titles", kImTitles},
    {"Target", kImTarget},
    {"Preview", kImPreview},
    {"Problems", kImProblems},
    {"Summary", kImSummary},
    {"LogInfo", kImLogInfo},
    {"Import", kImImport},
    {"Cancel", kImCancel},
    {"Help", kImHelp},
    {"NewDuration", kImNewDuration},
    {"Notes", kImNotes},
    {"LogFrame", kLogFrame},
    {"ColumnsFrame", kColumnsFrame},
    {"IntoFrame", kIntoFrame},
    {"TitlesFrame", kTitlesFrame},
    {"PreviewFrame", kPreviewFrame},
    {"DateLabel", kDateLabel},
    {"TimeLabel", kTimeLabel},
    {"TitleLabel", kTitleLabel},
    {"LengthLabel", kLengthLabel},
    {"DateTimeLabel", kDateTimeLabel},
    {"QuarterLabel", kQuarterLabel},
    {"StationLabel", kStationLabel},
    {"DurationLabel", kDurationLabel},
    {"TargetLabel", kTargetLabel},
    {"ProblemsLabel", kProblemsLabel},
    {"NewDurationLabel", kNewDurationLabel},
    {"NotesLabel", kNotesLabel},
    {"NewDurationHint", kNewDurationHint},
};
}  // namespace

constinit const FormDecl kImportForm = {
    .name = "IM",
    .caption = "Import Airings",
    .width = kImportWidth,
    .height = kImportHeight,
    .style = "",
    .helpTopic = kTopicImport,
    .design = IM_Design,
    .event = IM_Event,
    .controls = kControls,
};
