// The all-stations analysis of a station group's quarter (station_group.h):
// 50,000 entries of 50 stations with 3 airings each, against 5,000 entries of
// 50 stations and 50,000 entries of 5 stations. When the work grows with the
// entries alone, 50,000 entries take about the same time for 5 or 50
// stations, and ten times the time of 5,000.
//
// Arguments: entries, stations, and 1 with the look-up indexes (as the
// program opens every database) or 0 without them (a file as the program left
// it before it made them, opened by a copy that does not make them).
// BM_AllStationsAnalysis reads the quarter's entries once for all stations,
// as "Analyze" does; BM_AllStationsAnalysisPerStation reads them once per
// station, which is what the indexes alone would give.
//
// With VANTREL_ANALYSIS_PDF set, the document made for 50,000 entries of 50
// stations is also written to that path (to compare its text between builds).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "app/base/app_state.h"
#include "bench/station_group.h"
#include "data/dates.h"
#include "data/query.h"
#include "data/schema.h"
#include "reports/analysis_report.h"
#include "reports/issues_programs_list.h"

namespace {

using Key = std::tuple<int, int, bool>;

// One seeded program folder per shape, made on first use and removed at exit.
std::map<Key, std::string>& Folders() {
    static std::map<Key, std::string> folders;
    return folders;
}

void RemoveFolders() {
    slClose();
    std::error_code ec;
    for (const auto& [shape, folder] : Folders()) std::filesystem::remove_all(folder, ec);
}

StationGroupShape ShapeOf(const benchmark::State& state) {
    StationGroupShape shape;
    shape.entries = static_cast<int>(state.range(0));
    shape.stations = static_cast<int>(state.range(1));
    return shape;
}

// Opens the database of the shape (seeding it the first time). False when it
// could not be made.
bool Use(const StationGroupShape& shape, bool indexes) {
    SetClockOverride(ClockReading{2019, 7, 2, 10, 0, 0});
    const Key key{shape.entries, shape.stations, indexes};
    auto it = Folders().find(key);
    if (it == Folders().end()) {
        if (Folders().empty()) std::atexit(RemoveFolders);
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        const std::string folder = std::string(mkdtemp(tmpl.data())) + "/";
        it = Folders().emplace(key, folder).first;
        if (!MakeStationGroupFolder(folder, shape)) return false;
        if (!indexes) {
            SetAppFolder(folder);
            if (slOpen(Paths().dataFolder + "VantrelData.db3", "") != 0) return false;
            std::vector<std::string> names;
            {
                ResultSet rs("SELECT name FROM sqlite_master WHERE type = 'index'");
                while (rs.next()) names.push_back(rs["name"]);
            }
            for (const std::string& name : names) slExe("DROP INDEX " + name);
        }
    }
    SetAppFolder(it->second);
    if (indexes) return OpenDatabase();
    return slOpen(Paths().dataFolder + "VantrelData.db3", "") == 0;
}

using Loader = std::vector<StationAnalysis> (*)(int32_t, const std::vector<std::string>&);

std::vector<StationAnalysis> EachStationAlone(int32_t quarter,
                                              const std::vector<std::string>& stations) {
    std::vector<StationAnalysis> data;
    for (const std::string& calls : stations) data.push_back(LoadStationAnalysis(quarter, calls));
    return data;
}

// What "Analyze" does for "All Stations" short of writing the file: the
// stations of the quarter, their analyses and the document in memory.
std::string AllStationsAnalysis(int32_t quarter, Loader load) {
    const std::vector<std::string> stations = StationsWithPrograms(quarter);
    const std::vector<StationAnalysis> data = load(quarter, stations);
    PdfErrorState errors;
    PdfDocument doc = ComposeAnalysis(quarter, data, errors);
    return doc ? PdfDocumentBytes(doc.get()) : std::string();
}

void Measure(benchmark::State& state, Loader load) {
    const StationGroupShape shape = ShapeOf(state);
    if (!Use(shape, state.range(2) != 0)) {
        state.SkipWithError("cannot seed the database");
        return;
    }
    std::string pdf;
    for (auto _ : state) {
        pdf = AllStationsAnalysis(shape.quarter, load);
        benchmark::DoNotOptimize(pdf.size());
    }
    if (pdf.empty()) state.SkipWithError("no document");
    state.counters["pdf_bytes"] = static_cast<double>(pdf.size());
    const char* keep = std::getenv("VANTREL_ANALYSIS_PDF");
    if (keep && *keep && load == LoadQuarterAnalysis && shape.entries == 50000 &&
        shape.stations == 50 && state.range(2) != 0)
        std::ofstream(keep, std::ios::binary) << pdf;
}

void BM_AllStationsAnalysis(benchmark::State& state) {
    Measure(state, LoadQuarterAnalysis);
}
BENCHMARK(BM_AllStationsAnalysis)
    ->Args({5000, 50, 1})
    ->Args({50000, 50, 1})
    ->Args({50000, 5, 1})
    ->Args({50000, 50, 0})
    ->Unit(benchmark::kMillisecond);

void BM_AllStationsAnalysisPerStation(benchmark::State& state) {
    Measure(state, EachStationAlone);
}
BENCHMARK(BM_AllStationsAnalysisPerStation)
    ->Args({50000, 50, 1})
    ->Args({50000, 50, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
