// Filling the main window's program list for a busy quarter: 5,000 entries of
// 50 stations, each with 3 issues and 3 airings. The baseline runs one joined
// select over the same rows and adds precomputed cells, which is the least any
// fill has to do; the real fill should stay within a small factor of it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/platform.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "data/schema.h"

namespace {

constexpr int kStations = 50;
constexpr int kEntries = 5000;
constexpr int kIssuesPerStation = 6;
constexpr int32_t kQuarter = 20191;

std::string N(long long v) {
    return std::to_string(v);
}

void Seed() {
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
    const int32_t first = Mdy2JulianDate(1, 1, 2019);
    int aid = 1;
    for (int m = 1; m <= kEntries; ++m) {
        int s = (m % kStations) + 1;
        int base = (s - 1) * kIssuesPerStation + 1;
        std::string issues = N(base + m % 3) + "|" + N(base + 3) + "|" + N(base + 5 - m % 2);
        bool period = m % 10 == 0;
        sql += "INSERT INTO Programs (PID,Duration,Title,PDescription) VALUES (" + N(m) +
               ",'30 minutes','Program title " + N(m) + "','Description');";
        sql +=
            "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) "
            "VALUES (" +
            N(m) + ",''," + N(kQuarter) + ",'" + issues + "'," + N(m) + "," + N(s) + "," +
            (period ? "1,12" : "0,0") + ");";
        for (int a = 0; a < 3; ++a) {
            int32_t day = first + (m * 7 + a * 13) % 90;
            sql += "INSERT INTO DateTime (AID,MLink,AirDate,AirTime) VALUES (" + N(aid++) + "," +
                   N(m) + "," + N(day) + "," + N((m * 37 + a * 300) % 1440) + ");";
        }
    }
    sql += "End";
    slExe(sql);
}

// A program folder with a seeded database and the main window open on it.
struct Fixture {
    std::string folder;

    Fixture() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        folder = std::string(mkdtemp(tmpl.data())) + "/";
        EzTestInit();
        DefineFontsAndColours();
        SetPlatform(std::make_unique<RecordingPlatform>());
        SetAppFolderOverride(folder);
        SetAppFolder(folder);
        std::filesystem::create_directories(Paths().dataFolder);
        SetClockOverride(ClockReading{2019, 2, 15, 10, 0, 0});
        Opts().update = false;
        Opts().alertDeadline = false;
        Opts().enableBackup = false;
        Shell().pdfReaderPresent = true;
        // Seeded first: the main window opens the database again while it loads.
        OpenDatabase();
        Seed();
        slClose();
        EZ_FORM("VL", "", FormCaption("VL"), -1, -1, 118, 36, "R");
        Shell().currentQuarter = kQuarter;
        EZ_SELECTITEM("VL", kVlStation, 0);
    }
    ~Fixture() {
        if (EZ_FORMEXISTS("VL")) EZ_UNLOADFORM("VL");
        slClose();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_FillProgramList(benchmark::State& state) {
    Shared();
    for (auto _ : state) FillProgramList();
    if (EZ_LVROWCOUNT("VL", kVlList) != kEntries) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_FillProgramList)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BaselineJoinedSelect(benchmark::State& state) {
    Shared();
    // Cells computed once, outside the timing; the loop only selects and adds.
    std::vector<ProgramListRow> cells = ProgramListRows(kQuarter, 0);
    for (auto _ : state) {
        EZ_REDRAW("VL", kVlList, false);
        EZ_LVCLEAR("VL", kVlList);
        size_t i = 0;
        ResultSet rs(
            "SELECT MID,AirDates,Issue,Pgm,Station,FreqCheck,Frequency,Title,Duration,Calls "
            "FROM Master,Programs,Stations WHERE Programs.PID = Master.Pgm AND "
            "Stations.StnID = Master.Station AND Qtr = " +
            N(kQuarter) + " ORDER BY Airdates");
        while (rs.next() && i < cells.size()) {
            EZ_LVADDROW("VL", kVlList, cells[i].cells, cells[i].mid);
            ++i;
        }
        EZ_REDRAW("VL", kVlList, true);
    }
    if (EZ_LVROWCOUNT("VL", kVlList) != kEntries) state.SkipWithError("wrong row count");
}
BENCHMARK(BM_BaselineJoinedSelect)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
