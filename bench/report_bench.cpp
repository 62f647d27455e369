// The Issues/Programs list for a busy station (50 issues, 1,000 entries with
// three airings and two issues each) against a baseline that writes the same
// text with libharu without any query or layout rule.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "data/dates.h"
#include "data/query.h"
#include "data/schema.h"
#include "reports/issues_programs_list.h"

namespace {

constexpr int32_t kQuarter = 20192;
constexpr const char* kCalls = "WBCH-FM";

std::string Seed() {
    static std::string folder;
    if (!folder.empty()) return folder;
    std::string tmpl = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    folder = std::string(mkdtemp(tmpl.data())) + "/";
    // The database folder goes away when the benchmark ends.
    std::atexit([] {
        slClose();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    });
    SetAppFolder(folder);
    std::filesystem::create_directories(Paths().dataFolder);
    OpenDatabase();
    slExe("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES ('" + std::string(kCalls) +
          "','Riverton, WY',20192,0)");
    const std::string stn = std::to_string(slGetInsertID());
    std::string batch = "Begin;";
    for (int i = 1; i <= 50; ++i)
        batch += "INSERT INTO Issues (IID,IQtr,SID,IIssue,IDescription,IRank) VALUES (" +
                 std::to_string(i) + ",20192," + stn + ",'Issue " + std::to_string(i) +
                 "','Residents raised concerns about topic " + std::to_string(i) +
                 " at several town meetings this quarter.'," + std::to_string(i) + ");";
    const int32_t start = Mdy2JulianDate(4, 1, 2019);
    for (int m = 1; m <= 1000; ++m) {
        const std::string id = std::to_string(m);
        batch += "INSERT INTO Programs (PID,Duration,Title,PDescription) VALUES (" + id +
                 ",'30 minutes','Community Hour " + id +
                 "','Guests from the city council and local groups discuss the issue and answer "
                 "listener questions.');";
        batch +=
            "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) "
            "VALUES (" +
            id + ",'',20192,'" + std::to_string(m % 50 + 1) + "|" +
            std::to_string((m * 7) % 50 + 1) + "'," + id + "," + stn + ",'0','0');";
        for (int k = 0; k < 3; ++k)
            batch += "INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (" + id + "," +
                     std::to_string(start + (m + k * 3) % 90) + "," +
                     std::to_string(360 + k * 180) + ");";
    }
    slExe(batch + "End");
    return folder;
}

void BM_IssuesProgramsList(benchmark::State& state) {
    Seed();
    size_t bytes = 0;
    for (auto _ : state) {
        PdfErrorState errors;
        const IssuesListData data = LoadIssuesListData(kQuarter, kCalls, 0);
        PdfDocument doc = ComposeIssuesProgramsList(data, errors);
        HPDF_SaveToStream(doc.get());
        bytes = HPDF_GetStreamSize(doc.get());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_IssuesProgramsList)->Unit(benchmark::kMillisecond);

// The same strings, already composed and converted, written one per line at
// fixed positions with a new page every 55 lines: no query, no wrapping, no
// page-break rules.
void BM_BaselineSameText(benchmark::State& state) {
    Seed();
    PdfErrorState errors;
    const IssuesListData data = LoadIssuesListData(kQuarter, kCalls, 0);
    std::vector<std::string> lines;
    for (const ListIssue& issue : data.issues)
        lines.push_back(ToWinAnsi(issue.title + ":  " + issue.description));
    for (const ListIssue& issue : data.issues) {
        lines.push_back(ToWinAnsi(issue.title + ":"));
        for (const ListProgram& p : issue.programs) {
            lines.push_back(ToWinAnsi(p.title));
            lines.push_back(ToWinAnsi(p.paragraph));
        }
    }
    size_t bytes = 0;
    for (auto _ : state) {
        PdfDocument doc = NewPdfDocument(errors);
        HPDF_Font font = PdfStandardFont(doc.get(), "Times-Roman");
        HPDF_Page page = nullptr;
        for (size_t i = 0; i < lines.size(); ++i) {
            if (i % 55 == 0) {
                page = PdfAddPage(doc.get());
                HPDF_Page_SetFontAndSize(page, font, 10);
            }
            HPDF_Page_BeginText(page);
            HPDF_Page_TextOut(page, 36, static_cast<HPDF_REAL>(750 - 13 * (i % 55)),
                              lines[i].c_str());
            HPDF_Page_EndText(page);
        }
        HPDF_SaveToStream(doc.get());
        bytes = HPDF_GetStreamSize(doc.get());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["pdf_bytes"] = static_cast<double>(bytes);
    state.counters["lines"] = static_cast<double>(lines.size());
}
BENCHMARK(BM_BaselineSameText)->Unit(benchmark::kMillisecond);

// The query part alone, to see where the time of the full report goes.
void BM_LoadOnly(benchmark::State& state) {
    Seed();
    for (auto _ : state) {
        const IssuesListData data = LoadIssuesListData(kQuarter, kCalls, 0);
        benchmark::DoNotOptimize(data.issues.size());
    }
}
BENCHMARK(BM_LoadOnly)->Unit(benchmark::kMillisecond);

// Layout and saving alone, on data read beforehand.
void BM_ComposeOnly(benchmark::State& state) {
    Seed();
    const IssuesListData data = LoadIssuesListData(kQuarter, kCalls, 0);
    for (auto _ : state) {
        PdfErrorState errors;
        PdfDocument doc = ComposeIssuesProgramsList(data, errors);
        HPDF_SaveToStream(doc.get());
        benchmark::DoNotOptimize(HPDF_GetStreamSize(doc.get()));
    }
}
BENCHMARK(BM_ComposeOnly)->Unit(benchmark::kMillisecond);

}  // namespace
