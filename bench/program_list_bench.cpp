// The main window's program list for a busy quarter: 5,000 and 50,000 entries
// of 50 stations, each entry with 3 issues and 3 airings.
//
// Each measure has its floor in the same run:
// - filling the list against the data work alone (the joined select and the
//   cells built into a vector, no widget);
// - sorting by the Program column against a std::stable_sort of the same
//   folded keys, computed beforehand, plus the view laying its rows out again;
// - showing one saved entry anew (the list sorted by Program) has an absolute
//   target: under 1 ms at 50,000 rows.
// Every timed step ends with EZ_DOEVENTS, so the view's layout and painting
// are counted where they happen.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/options.h"
#include "app/base/platform.h"
#include "app/base/text_util.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/program_list.h"
#include "data/query.h"
#include "data/schema.h"
#include "support/shell.h"

namespace {

constexpr int kStations = 50;
constexpr int kIssuesPerStation = 6;
constexpr int32_t kQuarter = 20191;
constexpr int kProgramColumn = 3;

std::string N(long long v) {
    return std::to_string(v);
}

void Seed(int entries) {
    std::string sql = "Begin;";
    for (int s = 1; s <= kStations; ++s) {
        sql += "INSERT INTO Stations (StnID,Calls,License,QtrID,Rank) VALUES (" + N(s) + ",'W" +
               N(100 + s) + "-FM','City'," + N(kQuarter) + "," + N(s - 1) + ");";
        for (int i = 0; i < kIssuesPerStation; ++i) {
            int iid = (s - 1) * kIssuesPerStation + i + 1;
            sql += "INSERT INTO Issues (IID,IQtr,SID,IIssue,IDescription,IRank) VALUES (" + N(iid) +
                   "," + N(kQuarter) + "," + N(s) + ",'Issue number " + N(iid) + "','About it'," +
                   N(i) + ");";
        }
    }
    const std::string n =
        "WITH RECURSIVE n(m) AS (SELECT 1 UNION ALL SELECT m + 1 FROM n WHERE m < " + N(entries) +
        ") ";
    // Titles in an order unrelated to the entries', in mixed letter case.
    sql += "INSERT INTO Programs (PID,Duration,Title,PDescription) " + n +
           "SELECT m, '30 minutes', CASE m % 3 WHEN 0 THEN 'program ' WHEN 1 THEN 'Program ' "
           "ELSE 'PROGRAM ' END || ((m * 7919) % " +
           N(entries) + "), 'Description' FROM n;";
    sql += "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) " + n +
           "SELECT m, '', " + N(kQuarter) + ", ((m % " + N(kStations) + ") * " +
           N(kIssuesPerStation) + " + 1 + m % 3) || '|' || ((m % " + N(kStations) + ") * " +
           N(kIssuesPerStation) + " + 4) || '|' || ((m % " + N(kStations) + ") * " +
           N(kIssuesPerStation) + " + 6 - m % 2), m, m % " + N(kStations) +
           " + 1, CASE WHEN m % 10 = 0 THEN 1 ELSE 0 END, CASE WHEN m % 10 = 0 THEN 12 ELSE 0 END "
           "FROM n;";
    const int32_t first = Mdy2JulianDate(1, 1, 2019);
    sql += "INSERT INTO DateTime (AID,MLink,AirDate,AirTime) " + n +
           ", a(k) AS (SELECT 0 UNION ALL SELECT 1 UNION ALL SELECT 2) "
           "SELECT (m - 1) * 3 + k + 1, m, " +
           N(first) + " + (m * 7 + k * 13) % 90, (m * 37 + k * 300) % 1440 FROM n, a;";
    sql += "End";
    slExe(sql);
}

// A program folder per list size, seeded once; the main window is open on one
// of them at a time.
struct Folders {
    std::map<int, std::string> bySize;
    int open = 0;

    Folders() {
        EzTestInit();
        DefineFontsAndColours();
        SetPlatform(std::make_unique<RecordingPlatform>());
        SetClockOverride(ClockReading{2019, 2, 15, 10, 0, 0});
        Opts().update = false;
        Opts().alertDeadline = false;
        Opts().enableBackup = false;
        Shell().pdfReaderPresent = true;
    }
    ~Folders() {
        Close();
        std::error_code ec;
        for (auto& [size, folder] : bySize) std::filesystem::remove_all(folder, ec);
    }
    void Close() {
        if (EZ_FORMEXISTS("VL")) EZ_UNLOADFORM("VL");
        slClose();
        open = 0;
    }
    void Open(int entries) {
        if (open == entries) return;
        Close();
        std::string& folder = bySize[entries];
        const bool seed = folder.empty();
        if (seed) folder = WithSeparator(MakeTempFolder("vantrel-bench-"));
        SetAppFolderOverride(folder);
        SetAppFolder(folder);
        if (seed) {
            std::filesystem::create_directories(Paths().dataFolder);
            // Seeded first: the main window opens the database again while it loads.
            OpenDatabase();
            Seed(entries);
            slClose();
        }
        EZ_FORM("VL", "", FormCaption("VL"), -1, -1, 118, 36, "R");
        Shell().currentQuarter = kQuarter;
        EZ_SELECTITEM("VL", kVlStation, 0);
        FillProgramList();
        EZ_DOEVENTS();
        open = entries;
    }
};

Folders& Shared() {
    static Folders f;
    return f;
}

void CheckRows(benchmark::State& state) {
    if (EZ_LVROWCOUNT("VL", kVlList) != state.range(0)) state.SkipWithError("wrong row count");
}

void BM_FloorDataOnly(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    size_t rows = 0;
    for (auto _ : state) {
        std::vector<ProgramListRow> built = ProgramListRows(kQuarter, 0);
        rows = built.size();
        benchmark::DoNotOptimize(built.data());
    }
    if (rows != static_cast<size_t>(state.range(0))) state.SkipWithError("wrong row count");
}

void BM_FillProgramList(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        FillProgramList();
        EZ_DOEVENTS();
    }
    CheckRows(state);
}

// Sorting by Program, ascending and descending in turn (the keys are folded
// by the first sort and kept).
void BM_SortByProgram(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    FillProgramList();
    int direction = 0;
    for (auto _ : state) {
        EZ_LVSORT("VL", kVlList, kProgramColumn, direction);
        EZ_DOEVENTS();
        direction = 1 - direction;
    }
    CheckRows(state);
}

// The first sort after a fill, which folds every Program cell into its key.
void BM_FirstSortByProgram(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        FillProgramList();
        EZ_DOEVENTS();
        state.ResumeTiming();
        EZ_LVSORT("VL", kVlList, kProgramColumn, 0);
        EZ_DOEVENTS();
    }
    CheckRows(state);
}

void BM_SortFloorStableSortAndRelayout(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    FillProgramList();
    EZ_DOEVENTS();
    std::vector<std::string> keys;
    for (int r = 0, n = EZ_LVROWCOUNT("VL", kVlList); r < n; ++r)
        keys.push_back(FoldCaseSimple(EZ_LVGETCELL("VL", kVlList, r, kProgramColumn)));
    std::vector<int> order(keys.size());
    int direction = 0;
    for (auto _ : state) {
        std::iota(order.begin(), order.end(), 0);
        if (direction == 1)
            std::stable_sort(order.begin(), order.end(),
                             [&keys](int a, int b) { return keys[b] < keys[a]; });
        else
            std::stable_sort(order.begin(), order.end(),
                             [&keys](int a, int b) { return keys[a] < keys[b]; });
        benchmark::DoNotOptimize(order.data());
        Robot::RelayoutListView("VL", kVlList);
        EZ_DOEVENTS();
        direction = 1 - direction;
    }
    CheckRows(state);
}

// One entry saved with a new title in a list sorted by Program: its row is
// built from the database (the airings found through the index on MLink
// that opening the database creates) and moves to its new place. With
// `shown`, the view's layout and painting that follow are timed too.
void SavedEntryRow(benchmark::State& state, bool shown) {
    Shared().Open(static_cast<int>(state.range(0)));
    FillProgramList();
    EZ_LVSORT("VL", kVlList, kProgramColumn, 0);
    EZ_DOEVENTS();
    const RowId mid = state.range(0) / 2;
    int turn = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // The editor's save, outside the timing: the title moves the row
        // between the top and the bottom of the list.
        slExe("UPDATE Programs SET Title = '" + std::string(turn % 2 ? "aaa first" : "zzz last") +
              "' WHERE PID = " + N(mid));
        ++turn;
        state.ResumeTiming();
        ShowProgramListEntry(mid);
        if (shown) EZ_DOEVENTS();
    }
    const int at = EZ_LVFINDVALUE("VL", kVlList, mid);
    if (at != (turn % 2 ? EZ_LVROWCOUNT("VL", kVlList) - 1 : 0))
        state.SkipWithError("the row is not where the sort puts it");
    CheckRows(state);
}

void BM_SavedEntryRowUpdate(benchmark::State& state) {
    SavedEntryRow(state, false);
}

// Of that, building the row from the database alone.
void BM_SavedEntryRowData(benchmark::State& state) {
    Shared().Open(static_cast<int>(state.range(0)));
    const RowId mid = state.range(0) / 2;
    for (auto _ : state) {
        std::optional<ProgramListRow> row = ProgramListRowOf(kQuarter, 0, mid);
        benchmark::DoNotOptimize(row);
    }
}

void BM_SavedEntryRowUpdateShown(benchmark::State& state) {
    SavedEntryRow(state, true);
}

#define SIZES Arg(5000)->Arg(50000)
BENCHMARK(BM_FloorDataOnly)->SIZES->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FillProgramList)->SIZES->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortFloorStableSortAndRelayout)->SIZES->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SortByProgram)->SIZES->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_FirstSortByProgram)->SIZES->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_SavedEntryRowUpdate)->SIZES->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(BM_SavedEntryRowData)->Arg(50000)->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(BM_SavedEntryRowUpdateShown)->Arg(50000)->Unit(benchmark::kMicrosecond)->MinTime(0.5);

}  // namespace
