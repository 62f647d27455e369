// Importing a 100,000-row as-run log: read (decode, split, detect), preview
// (match the titles, count against the recorded airings) and import in one
// transaction. The target is under 2 s for the whole path. BM_ImportPsas
// imports the three public-affairs titles, as a station would;
// BM_ImportEveryTitle ticks every title, so that about 100,000 airings are
// written. A fresh database for each iteration is made outside the timing.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/base/app_state.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/asrun_import.h"
#include "tests/support/asrun_sample.h"

namespace {

constexpr int32_t kQuarter = 20242;

struct Fixture {
    std::string folder;
    std::string bytes;
    RowId station = 0;
    size_t rows = 0;

    Fixture() {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        folder = std::string(mkdtemp(tmpl.data())) + "/";
        SetAppFolder(folder);
        std::filesystem::create_directories(Paths().dataFolder);
        OpenDatabase();
        slExe("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES ('WAAA-FM','City'," +
              std::to_string(kQuarter) + ",0)");
        station = slGetInsertID();
        sample::LogOptions o;
        o.fillerPerDay = 1096;  // 91 days of songs and spots plus the PSAs: about 100,000 rows
        sample::Expected ex;
        bytes = sample::QuarterLog(o, &ex);
        rows = static_cast<size_t>(ex.rows);
    }
    ~Fixture() {
        slClose();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void Run(benchmark::State& state, bool everyTitle) {
    Fixture& f = Shared();
    int added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        slExe("DELETE FROM DateTime; DELETE FROM Master; DELETE FROM Programs");
        state.ResumeTiming();
        ImportSession s;
        LoadLog(s, f.bytes, 1);
        SetDestination(s, kQuarter, f.station);
        for (size_t i = 0; i < s.titles.size(); ++i) {
            const std::string& t = s.titles[i].title;
            s.chosen[i] = everyTitle || t == sample::kCommunityFocus || t == sample::kHealthPsa ||
                          t == sample::kVoterPsa;
        }
        UpdatePlan(s);
        const ImportOutcome out = WriteImport(s.plan);
        if (!out.ok) {
            state.SkipWithError(out.error.c_str());
            break;
        }
        added = out.airingsAdded;
    }
    state.counters["log_rows"] = static_cast<double>(f.rows);
    state.counters["airings_added"] = added;
}

void BM_ImportPsas(benchmark::State& state) {
    Run(state, false);
}
void BM_ImportEveryTitle(benchmark::State& state) {
    Run(state, true);
}
BENCHMARK(BM_ImportPsas)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportEveryTitle)->Unit(benchmark::kMillisecond);

// The reading step alone: bytes to rows and airings.
void BM_ReadOnly(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        AsRunLog log = ReadAsRunLog(f.bytes);
        const ColumnMap map = GuessColumns(log);
        benchmark::DoNotOptimize(ReadLogAirings(log, map, GuessDateOrder(log, map, 1)));
    }
}
BENCHMARK(BM_ReadOnly)->Unit(benchmark::kMillisecond);

}  // namespace
