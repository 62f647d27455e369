// Every station's list of a quarter, written one after the other, and the
// progress dialog PA that drives the run between window events.
#include "reports/all_stations_print.h"

#include <algorithm>
#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "data/quarters.h"
#include "data/query.h"
#include "reports/forms.h"
#include "reports/issues_programs_list.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "PA";
// Posted steps: show which station comes next, then write it.
constexpr int64_t kStepAnnounce = 1;
constexpr int64_t kStepWrite = 2;

StationWrittenHook& WrittenHook() {
    static StationWrittenHook hook;
    return hook;
}

AllStationsRun& CurrentRun() {
    static AllStationsRun run;
    return run;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = LastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The message box reads "{" as the start of its format codes and "|" as a
// line break: neither may come from a file name.
std::string MsgSafe(std::string text) {
    std::replace(text.begin(), text.end(), '{', '(');
    std::replace(text.begin(), text.end(), '}', ')');
    std::replace(text.begin(), text.end(), '|', '/');
    return text;
}

std::string Count(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

void Announce() {
    const AllStationsRun& run = CurrentRun();
    if (run.next >= run.stations.size()) return;
    EZ_SETTEXT(kForm, kPaText,
               "Station " + std::to_string(run.next + 1) + " of " +
                   std::to_string(run.stations.size()) + ": " + run.stations[run.next]);
}

void Step(int64_t step) {
    AllStationsRun& run = CurrentRun();
    if (run.cancelled || AllStationsDone(run)) {
        EZ_UNLOADFORM(kForm);
        return;
    }
    if (step == kStepAnnounce) {
        Announce();
        EZ_POSTEVENT(kForm, kPaText, kStepWrite);
        return;
    }
    PrintNextStation(run);
    EZ_SETVALUE(kForm, kPaProgress, static_cast<int>(run.next));
    if (WrittenHook()) WrittenHook()(run);
    EZ_POSTEVENT(kForm, kPaText, kStepAnnounce);
}

}  // namespace

StationWrittenHook SetStationWrittenHook(StationWrittenHook hook) {
    StationWrittenHook previous = std::move(WrittenHook());
    WrittenHook() = std::move(hook);
    return previous;
}

std::string StationListPath(const std::string& calls, int32_t quarter) {
    std::string folder = IniRead(Paths().settingsFile, "PDF", calls, Paths().pdfFolder);
    return WithSeparator(folder) + IssuesListFileName(calls, quarter);
}

StationListFile WriteStationList(int32_t quarter, const std::string& calls, int32_t placedDay) {
    StationListFile out;
    out.calls = calls;
    out.path = StationListPath(calls, quarter);
    PdfErrorState errors;
    const IssuesListData data = LoadIssuesListData(quarter, calls, placedDay);
    out.incomplete = data.incomplete;
    PdfDocument doc = ComposeIssuesProgramsList(data, errors);
    if (!doc) {
        out.error = errors.failed
                        ? "the PDF library reported error " + std::to_string(errors.errorNo)
                        : "no PDF document could be made";
        return out;
    }
    const std::string folder = FolderOf(out.path);
    std::error_code ec;
    if (!folder.empty() && !std::filesystem::is_directory(FsPath(folder), ec)) {
        std::filesystem::create_directories(FsPath(folder), ec);
        if (ec) {
            out.error = "the folder " + folder + " could not be made (" + ec.message() + ")";
            return out;
        }
    }
    // The same checked write as the single-station print.
    out.error = WriteReportFile(std::move(doc), errors, out.path);
    out.written = out.error.empty();
    return out;
}

AllStationsRun StartAllStations(int32_t quarter, int32_t placedDay) {
    AllStationsRun run;
    run.quarter = quarter;
    run.placedDay = placedDay;
    run.stations = StationsWithPrograms(quarter);
    for (const StationRow& s : StationsOfQuarter(quarter))
        if (std::find(run.stations.begin(), run.stations.end(), s.calls) == run.stations.end())
            run.leftOut.push_back(s.calls);
    return run;
}

bool AllStationsDone(const AllStationsRun& run) {
    return run.next >= run.stations.size();
}

bool PrintNextStation(AllStationsRun& run) {
    if (run.cancelled || AllStationsDone(run)) return false;
    run.results.push_back(WriteStationList(run.quarter, run.stations[run.next], run.placedDay));
    ++run.next;
    return true;
}

std::vector<std::string> FoldersWritten(const AllStationsRun& run) {
    std::vector<std::string> folders;
    for (const StationListFile& f : run.results) {
        if (!f.written) continue;
        const std::string folder = FolderOf(f.path);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end())
            folders.push_back(folder);
    }
    return folders;
}

AllStationsOutcome DescribeAllStations(const AllStationsRun& run) {
    std::vector<std::string> files, failed, incomplete;
    for (const StationListFile& f : run.results) {
        if (f.written)
            files.push_back(MsgSafe(f.path));
        else
            failed.push_back(MsgSafe(f.calls + ": " + f.error));
        if (f.written && f.incomplete) incomplete.push_back(f.calls);
    }
    std::vector<std::string> skipped;
    for (size_t i = run.next; i < run.stations.size(); ++i) skipped.push_back(run.stations[i]);

    AllStationsOutcome out;
    // Every station of the quarter counts, also those that have no list to print.
    const size_t total = run.stations.size() + run.leftOut.size();
    if (!failed.empty())
        out.title = files.empty() ? "No List Written" : "Some Lists Not Written";
    else if (!skipped.empty())
        out.title = "Printing Cancelled";
    else if (files.empty())
        out.title = "No List Written";
    else if (!run.leftOut.empty())
        out.title = "Some Stations Left Out";
    else
        out.title = "All Lists Written";

    std::vector<std::string> second;
    if (files.empty()) {
        out.text1 = "No list was written.{f10}";
    } else {
        out.text1 = Count(files.size(), "list", "lists") + " of " + std::to_string(total) +
                    (files.size() == 1 ? " was" : " were") + " written:{f10}";
        second.push_back(Join(files, "|"));
    }
    if (!failed.empty()) second.push_back("Not written:|" + Join(failed, "|"));
    if (!incomplete.empty())
        second.push_back("May be incomplete, part of the database could not be read: " +
                         MsgSafe(Join(incomplete, ", ")));
    if (!run.leftOut.empty())
        second.push_back("Left out, no programs in the quarter: " +
                         MsgSafe(Join(run.leftOut, ", ")));
    if (!skipped.empty())
        second.push_back("Left out by cancelling: " + MsgSafe(Join(skipped, ", ")));
    if (total == 0) second.push_back("No station is on file for this quarter.");
    if (!second.empty()) out.text2 = Join(second, "||") + "{f6}";
    return out;
}

void PrintAllStations(const std::string& parent, int32_t quarter, int32_t placedDay) {
    CurrentRun() = StartAllStations(quarter, placedDay);
    if (slIsDamaged() && !GoOnWithIncompleteData("list")) {
        CurrentRun() = AllStationsRun{};
        return;
    }
    if (!CurrentRun().stations.empty()) OpenForm(kPrintAllForm, parent);
    // A dialog closed before the end (its close control) counts as cancelled.
    if (!AllStationsDone(CurrentRun())) CurrentRun().cancelled = true;
    const AllStationsRun run = CurrentRun();
    CurrentRun() = AllStationsRun{};
    const AllStationsOutcome outcome = DescribeAllStations(run);
    DgMsgOk(outcome.title, outcome.text1, outcome.text2);
    for (const std::string& folder : FoldersWritten(run)) CurrentPlatform().ShellOpen(folder);
}

static void PA_Design() {
    EZ_CONTROL(kForm, kPaText, EzKind::Label, "", 2, 0.8, 46, 1.3);
    EZ_CONTROL(kForm, kPaProgress, EzKind::Progress, "", 2, 2.6, 46, 1.4);
    EZ_CONTROL(kForm, kPaCancel, EzKind::Button, "&Cancel", 19.5, 5, 11, 1.7);
}

static void PA_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    (void)cancel;
    AllStationsRun& run = CurrentRun();
    // Cancel does not close the form: the run stops after the station being written.
    if (CommonFormEvent(kForm, id, ev, {.activeTopic = kPaHelpTopic}, kPaHelpTopic)) return;
    if (id == 0) {
        switch (ev) {
            case EzEvent::Loaded:
                EZ_ACCEL(kForm, "F1", kHelpKeyId);
                Shell().helpTopic = kPaHelpTopic;
                EZ_SETRANGE(kForm, kPaProgress, 0, static_cast<int>(run.stations.size()));
                EZ_SETVALUE(kForm, kPaProgress, 0);
                Announce();
                break;
            case EzEvent::Shown:
                EZ_POSTEVENT(kForm, kPaText, kStepWrite);
                break;
            case EzEvent::Close:
                run.cancelled = run.cancelled || !AllStationsDone(run);
                break;
            default:
                break;
        }
        return;
    }
    if (id == kPaText && ev == EzEvent::Posted) {
        Step(value);
        return;
    }
    if (ev == EzEvent::Click && id == kPaCancel) {
        // The station being written is finished first; the next step ends the run.
        run.cancelled = true;
        EZ_SETTEXT(kForm, kPaText, "Cancelling...");
        EZ_ENABLE(kForm, kPaCancel, false);
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"Text", kPaText},
    {"Progress", kPaProgress},
    {"Cancel", kPaCancel},
};
}  // namespace

constinit const FormDecl kPrintAllForm = {
    .name = "PA",
    .caption = "Printing All Stations",
    .width = 50,
    .height = 7.6,
    .style = "",
    .helpTopic = kPaHelpTopic,
    .design = PA_Design,
    .event = PA_Event,
    .controls = kControls,
};
