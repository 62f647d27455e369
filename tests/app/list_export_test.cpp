// The program list export: the lines of the rows the list shows, the CSV text
// (quoting, byte-order mark, CR LF), and the file read back with Python's csv
// module as a spreadsheet program would read it.
#include "app/list_export.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "data/dates.h"
#include "data/query.h"
#include "reports/safe_file.h"
#include "support/days.h"
#include "support/pdf_check.h"
#include "support/report_fixture.h"
#include "support/test_env.h"

namespace {

constexpr int32_t kQ = 20192;

TEST(CsvText, QuotesOnlyWhatMustBeQuoted) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"lf\nonly", "\"lf\nonly\""},
        {" leading blank", " leading blank"},
        {"Café 9½", "Café 9½"},
        // What a spreadsheet would run as a formula is made text.
        {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {"+1", "'+1"},
        {"-2+3", "'-2+3"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTab", "'\tTab"},
        {"\rcmd", "\"'\rcmd\""},
        {"a=b-c", "a=b-c"},
        {"'quoted", "'quoted"},
    };
    for (const Case& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(CsvText, ByteOrderMarkHeaderAndCrLf) {
    ExportLine l;
    l.date = "2019-04-02";
    l.time = "09:30";
    l.station = "WXYZ";
    l.title = "T";
    const std::string csv = ListExportCsv({l});
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "Date,Time,Station,Program,Issues Addressed,Duration,Description\r\n"
              "2019-04-02,09:30,WXYZ,T,,,\r\n");
    EXPECT_EQ(IsoDate(Mdy2JulianDate(2, 29, 2020)), "2020-02-29");
    EXPECT_EQ(ListExportFileName("WXYZ FM", kQ), "WXYZ_FM_Programs_April-June_2019.csv");
    EXPECT_EQ(ListExportFileName("", kQ), "All_Stations_Programs_April-June_2019.csv");
}

class ListExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        SetDateSettings(1, false, false);
        wxyz = SeedStation("WXYZ-FM", "Springfield", kQ);
        kaaa = SeedStation("KAAA", "Riverton", kQ);
        const RowId crime = SeedIssue(wxyz, kQ, "Crime", "", 0);
        const RowId roads = SeedIssue(wxyz, kQ, "Roads, \"bad\"", "", 1);
        const RowId farm = SeedIssue(kaaa, kQ, "Farming", "", 0);
        // Airings out of order: the export lists them by date and time.
        talk = SeedProgram({.station = wxyz,
                            .quarter = kQ,
                            .issues = IssueList({crime, roads}),
                            .title = "Talk, Live",
                            .duration = "30 minutes",
                            .description = "Line one\r\nLine \"two\"",
                            .airings = {{Day(2019, 4, 9), 600}, {Day(2019, 4, 2), 570}}});
        spots = SeedProgram({.station = wxyz,
                             .quarter = kQ,
                             .issues = IssueList({roads}),
                             .title = "Spots",
                             .duration = "60 seconds",
                             .description = "Café",
                             .airings = {{Day(2019, 4, 1), 0}, {Day(2019, 6, 30), 0}},
                             .freqCheck = "1",
                             .frequency = "12"});
        none = SeedProgram({.station = kaaa,
                            .quarter = kQ,
                            .issues = IssueList({farm}),
                            .title = "Unaired",
                            .duration = "5 minutes"});
    }
    TempProgramFolder folder;
    RowId wxyz = 0, kaaa = 0, talk = 0, spots = 0, none = 0;
};

TEST_F(ListExport, OneLinePerAiringInTheOrderGiven) {
    const std::vector<RowId> order = {none, talk, spots};
    const std::vector<ExportLine> lines = ListExportLines(kQ, 0, order);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].title, "Unaired");
    EXPECT_EQ(lines[0].date, "");
    EXPECT_EQ(lines[0].station, "KAAA");
    EXPECT_EQ(lines[1].date, "2019-04-02");
    EXPECT_EQ(lines[1].time, "09:30");
    EXPECT_EQ(lines[2].date, "2019-04-09");
    EXPECT_EQ(lines[2].time, "10:00");
    EXPECT_EQ(lines[1].issues, "Crime|Roads, \"bad\"");  // as the list shows them
    EXPECT_EQ(lines[3].date, "2019-04-01/2019-06-30");
    EXPECT_EQ(lines[3].time, "Various x 12");
    // A station filter: only its entries, even when asked for others.
    EXPECT_EQ(ListExportLines(kQ, wxyz, order).size(), 3u);
}

TEST_F(ListExport, PythonsCsvModuleReadsTheColumnsBack) {
    if (!HaveTool("python3")) GTEST_SKIP() << "python3 is needed";
    const std::string path = folder.path() + "export.csv";
    std::string error;
    const std::vector<RowId> order = {talk, spots, none};
    ASSERT_TRUE(ReplaceFileWithBytes(path, ListExportCsv(ListExportLines(kQ, 0, order)), error))
        << error;
    // The script prints each field as JSON (non-ASCII kept), one row a line,
    // after checking the byte-order mark and that every record ends in CR LF.
    const std::string script = folder.path() + "read.py";
    WriteFileText(script,
                  "import csv, json, sys\n"
                  "raw = open(sys.argv[1], 'rb').read()\n"
                  "assert raw.startswith(b'\\xef\\xbb\\xbf'), 'no BOM'\n"
                  "assert raw.endswith(b'\\r\\n'), 'no CR LF at the end'\n"
                  "with open(sys.argv[1], newline='', encoding='utf-8-sig') as f:\n"
                  "    for row in csv.reader(f):\n"
                  "        print(json.dumps(row, ensure_ascii=False))\n");
    int status = -1;
    const std::string out = Capture("python3 '" + script + "' '" + path + "' 2>&1", &status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(
        out,
        "[\"Date\", \"Time\", \"Station\", \"Program\", \"Issues Addressed\", \"Duration\", "
        "\"Description\"]\n"
        "[\"2019-04-02\", \"09:30\", \"WXYZ-FM\", \"Talk, Live\", \"Crime|Roads, \\\"bad\\\"\", "
        "\"30 minutes\", \"Line one\\r\\nLine \\\"two\\\"\"]\n"
        "[\"2019-04-09\", \"10:00\", \"WXYZ-FM\", \"Talk, Live\", \"Crime|Roads, \\\"bad\\\"\", "
        "\"30 minutes\", \"Line one\\r\\nLine \\\"two\\\"\"]\n"
        "[\"2019-04-01/2019-06-30\", \"Various x 12\", \"WXYZ-FM\", \"Spots\", "
        "\"Roads, \\\"bad\\\"\", \"60 seconds\", \"Café\"]\n"
        "[\"\", \"\", \"KAAA\", \"Unaired\", \"Farming\", \"5 minutes\", \"\"]\n");
}

TEST(SafeFile, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempProgramFolder folder;
    const std::string path = folder.path() + "list.csv";
    WriteFileText(path, "old");
    std::string error;
    EXPECT_FALSE(ReplaceFileWith(
        path,
        [](const std::string&, std::string& e) {
            e = "disk full";
            return false;
        },
        error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(ReadFileText(path), "old");
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        EXPECT_NE(entry.path().filename().string().rfind(".list.csv", 0), 0u) << entry.path();
    // A folder that does not exist is reported, nothing is written.
    EXPECT_FALSE(ReplaceFileWithBytes(folder.path() + "missing/list.csv", "x", error));
    EXPECT_NE(error.find("cannot be written to"), std::string::npos) << error;
    EXPECT_TRUE(ReplaceFileWithBytes(path, "new", error)) << error;
    EXPECT_EQ(ReadFileText(path), "new");
}

}  // namespace
