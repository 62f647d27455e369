// The analysis PDF: counts, dates, percentages, totals and paging, checked
// through pdftotext and qpdf on the generated files.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "data/dates.h"
#include "reports/analysis_report.h"
#include "support/days.h"
#include "support/pdf_check.h"
#include "support/report_fixture.h"

namespace {

TEST(AnalysisFormat, PercentTitleAndFileName) {
    struct {
        int count, refs;
        const char* expected;
    } const cases[] = {{0, 4, "0.0%"},
                       {1, 4, "25.0%"},
                       {1, 3, "33.3%"},
                       {2, 3, "66.7%"},
                       {4, 4, "100.0%"},
                       {0, 0, "0.0%"},
                       {3, 0, "0.0%"},
                       // Halves round up, as a spreadsheet's "0.0%" does.
                       {1, 16, "6.3%"},
                       {5, 16, "31.3%"},
                       {1, 80, "1.3%"},
                       {3, 16, "18.8%"},
                       {1, 160, "0.6%"},
                       {2000000000, 2000000000, "100.0%"}};
    for (const auto& c : cases)
        EXPECT_EQ(AnalysisPercent(c.count, c.refs), c.expected) << c.count << "/" << c.refs;
    EXPECT_EQ(AnalysisTitle(std::string(40, 'a')), std::string(36, 'a'));
    EXPECT_EQ(AnalysisTitle("short"), "short");
    // 35 letters and two accented ones: cut after the first accented letter, never inside it.
    const std::string accented = std::string(35, 'e') + "\xC3\xA9\xC3\xA9";
    EXPECT_EQ(AnalysisTitle(accented), std::string(35, 'e') + "\xC3\xA9");
    EXPECT_EQ(AnalysisFileName("All Stations"), "All Stations Analysis.PDF");
    EXPECT_EQ(AnalysisFileName("WXYZ-FM"), "WXYZ-FM Analysis.PDF");
    // Call letters too long for a file name are cut; the ending stays whole,
    // and a cut never splits a character.
    for (const std::string& calls :
         {std::string(32767, 'K'), std::string(241, 'x') + "\xC3\xA9" + std::string(60, 'y')}) {
        const std::string name = AnalysisFileName(calls);
        EXPECT_LE(name.size(), 255u);
        EXPECT_TRUE(EndsWith(name, " Analysis.PDF")) << name;
        EXPECT_EQ(calls.compare(0, name.size() - 13, name, 0, name.size() - 13), 0);
        EXPECT_EQ(name.size() - 13, CutBytes(calls, 255 - 13).size());
    }
}

class Analysis : public PdfReportTest {
protected:
    Analysis() : PdfReportTest(ClockReading{2019, 7, 2, 10, 0, 0}) {}
    void SetUp() override {
        PdfReportTest::SetUp();
        if (IsSkipped()) return;
        RecordOpenedFiles();
    }
    static std::string AddStation(const std::string& calls) {
        return std::to_string(SeedStation(calls, "", 20192));
    }
    static std::string AddIssue(const std::string& sid, const std::string& title, int rank) {
        return std::to_string(SeedIssue(std::stoll(sid), 20192, title, "", rank));
    }
    static void AddProgram(const std::string& sid, const std::string& issues,
                           const std::vector<int32_t>& days) {
        std::vector<SeedAiringAt> airings;
        for (int32_t d : days) airings.emplace_back(d, 600);
        SeedProgram({.station = std::stoll(sid),
                     .quarter = 20192,
                     .issues = issues,
                     .title = "T",
                     .duration = "1",
                     .airings = airings});
    }
    std::vector<std::string> Run(const std::string& choice, const std::vector<std::string>& all) {
        const std::string path = RunAnalysis(20192, choice, all);
        EXPECT_EQ(path, Paths().analysisFolder + AnalysisFileName(choice));
        EXPECT_EQ(recording->opened, std::vector<std::string>{path});
        return PdfPages(path);
    }
};

TEST_F(Analysis, CountsDatesPercentagesAndTotals) {
    const std::string s = AddStation("WXYZ-FM");
    const std::string crime = AddIssue(s, "Crime", 0);
    const std::string roads = AddIssue(s, "Roads", 1);
    AddIssue(s, "Unaddressed Issue", 2);
    AddProgram(s, crime, {Day(2019, 4, 10), Day(2019, 5, 1)});
    AddProgram(s, crime + "|" + roads, {Day(2019, 4, 3), Day(2019, 4, 20)});
    // Lists Roads twice: one program in its row, two references in the total.
    AddProgram(s, roads + "|" + roads, {Day(2019, 6, 28)});
    // A reference to an issue of no row, and a program without airings.
    AddProgram(s, "99999|" + crime, {});
    AddProgram(s, "", {Day(2019, 6, 29)});  // addresses nothing: no reference

    const auto pages = Run("WXYZ-FM", {"WXYZ-FM"});
    ASSERT_EQ(pages.size(), 1u);
    const std::string& p = pages[0];
    EXPECT_TRUE(Has(p, "WXYZ-FM Issues & Programs Analysis"));
    EXPECT_TRUE(Has(p, "For Period: April 1 - June 30, 2019"));
    EXPECT_TRUE(Has(p, "Generated 07-02-2019 -- Page 1"));
    EXPECT_TRUE(Has(p, "Issue First Last Total Pct"));
    // References: 1 + 2 + 2 + 2 = 7. Crime: 3 programs, Roads: 2, none: 0.
    EXPECT_TRUE(Has(p, "1. Crime 04-03-2019 05-01-2019 3 42.9%")) << p;
    EXPECT_TRUE(Has(p, "2. Roads 04-03-2019 06-28-2019 2 28.6%")) << p;
    EXPECT_TRUE(Has(p, "3. Unaddressed Issue ---- N/A ---- ---- N/A ---- 0 0.0%")) << p;
    EXPECT_TRUE(Has(p, "TOTAL ISSUES ADDRESSED 7 100.0%"));
    EXPECT_TRUE(Has(p, "TOTAL PROGRAMS AIRED 5"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Analysis, FiftyRowsAPageAndTotalsAfterAFullPage) {
    const std::string a = AddStation("KFIF");
    for (int i = 1; i <= 50; ++i) AddIssue(a, "Topic " + std::to_string(i), i);
    const std::string b = AddStation("KFIO");
    for (int i = 1; i <= 51; ++i) AddIssue(b, "Item " + std::to_string(i), i);

    auto pages = Run("KFIF", {"KFIF", "KFIO"});
    // Fifty rows fill the first page; the totals go on a second page with its heading.
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "50. Topic 50"));
    EXPECT_FALSE(Has(pages[0], "TOTAL"));
    EXPECT_TRUE(Has(pages[1], "KFIF Issues & Programs Analysis"));
    EXPECT_TRUE(Has(pages[1], "-- Page 2"));
    EXPECT_TRUE(Has(pages[1], "TOTAL ISSUES ADDRESSED 0 0.0%"));

    recording->opened.clear();
    pages = Run("KFIO", {"KFIF", "KFIO"});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "50. Item 50"));
    EXPECT_FALSE(Has(pages[0], "Item 51"));
    EXPECT_TRUE(
        Has(pages[1], "Generated 07-02-2019 -- Page 2 Issue First Last Total Pct 51. Item 51"));
    EXPECT_TRUE(Has(pages[1], "TOTAL PROGRAMS AIRED 0"));
}

TEST_F(Analysis, AllStationsStartEachStationOnPageOne) {
    const std::string a = AddStation("KAAA");
    AddProgram(a, AddIssue(a, "Alpha", 0), {Day(2019, 4, 1)});
    const std::string b = AddStation("KBBB");  // no issues
    AddProgram(b, "", {Day(2019, 4, 2)});
    const std::string c = AddStation("KCCC");
    AddIssue(c, "Gamma", 0);

    const auto pages = Run("All Stations", {"KAAA", "KBBB", "KCCC"});
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_TRUE(Has(pages[0], "KAAA Issues & Programs Analysis"));
    EXPECT_TRUE(Has(pages[0], "1. Alpha 04-01-2019 04-01-2019 1 100.0%"));
    EXPECT_TRUE(Has(pages[1], "KBBB Issues & Programs Analysis"));
    EXPECT_TRUE(Has(pages[1], "-- Page 1"));
    EXPECT_TRUE(Has(pages[1], "KBBB has no issues on file for this period."));
    EXPECT_FALSE(Has(pages[1], "TOTAL"));
    EXPECT_TRUE(Has(pages[2], "KCCC Issues & Programs Analysis"));
    EXPECT_TRUE(Has(pages[2], "Generated 07-02-2019 -- Page 1"));
    EXPECT_TRUE(Has(pages[2], "1. Gamma ---- N/A ---- ---- N/A ---- 0 0.0%"));
}

TEST_F(Analysis, LettersBeyondWinAnsiPrintWithAnEmbeddedFont) {
    const std::string s = AddStation("WXYZ-FM");
    const std::string greek = "Ελληνική κοινότητα";
    const std::string polish = "Łódź";
    AddProgram(s, AddIssue(s, greek, 0) + "|" + AddIssue(s, polish, 1), {Day(2019, 4, 1)});
    const auto pages = Run("WXYZ-FM", {"WXYZ-FM"});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Has(pages[0], "1. " + greek + " 04-01-2019 04-01-2019 1 50.0%")) << pages[0];
    EXPECT_TRUE(Has(pages[0], "2. " + polish + " 04-01-2019")) << pages[0];
    const std::string fonts = PdfFontTable(Paths().analysisFolder + "WXYZ-FM Analysis.PDF");
    EXPECT_NE(fonts.find("LiberationSans "), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("LiberationSans-Bold"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find("Helvetica"), std::string::npos) << fonts;
}

TEST_F(Analysis, AllStationsWithoutProgramsWritesNothing) {
    // An older report of the same name stays as it was.
    const std::string path = Paths().analysisFolder + "All Stations Analysis.PDF";
    std::filesystem::create_directories(Paths().analysisFolder);
    WriteFileText(path, "older report");
    prompts.Expect("Nothing to Analyze");
    EXPECT_EQ(RunAnalysis(20192, "All Stations", {}), "");
    EXPECT_TRUE(recording->opened.empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "Nothing to Analyze: No station has programs in April 1 - June 30, 2019.{f6}");
    EXPECT_EQ(ReadFileText(path), "older report");
}

TEST_F(Analysis, DateColumnsFollowTheUserFormatButGeneratedUsesDashes) {
    SetDateSettings(2, true, false);
    const std::string s = AddStation("KDMY");
    AddProgram(s, AddIssue(s, "Schools", 0), {Day(2019, 4, 5), Day(2019, 6, 30)});
    const auto pages = Run("KDMY", {"KDMY"});
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(Has(pages[0], "Generated 02-07-2019 -- Page 1"));
    EXPECT_TRUE(Has(pages[0], "1. Schools 05/04/2019 30/06/2019 1 100.0%"));
}

}  // namespace
