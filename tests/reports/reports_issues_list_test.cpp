// The Issues/Programs list PDF: text, page breaks and file handling, checked
// through pdftotext and qpdf on the generated files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/toolkit/ez_testing.h"
#include "data/dates.h"
#include "data/query.h"
#include "reports/issues_programs_list.h"
#include "support/pdf_check.h"
#include "support/report_fixture.h"

namespace {

class IssuesList : public PdfReportTest {
protected:
    IssuesList() : PdfReportTest(ClockReading{2019, 6, 24, 10, 0, 0}) {}
    void SetUp() override {
        PdfReportTest::SetUp();
        if (IsSkipped()) return;
        station = SeedStation("WXYZ-FM", "Springfield, IL", 20192);
    }

    // The issue's id as an entry lists it.
    std::string AddIssue(const std::string& title, const std::string& description, int rank) {
        return std::to_string(SeedIssue(station, 20192, title, description, rank));
    }
    // A program of the station's quarter; returns its entry's MID.
    RowId AddProgram(ProgramSeed program) {
        program.station = station;
        program.quarter = 20192;
        return SeedProgram(program);
    }
    // Composes the report for WXYZ-FM into a file and returns its path.
    std::string RenderFile(int32_t placedDay = Mdy2JulianDate(6, 24, 2019)) {
        PdfErrorState errors;
        const IssuesListData data = LoadIssuesListData(20192, "WXYZ-FM", placedDay);
        PdfDocument doc = ComposeIssuesProgramsList(data, errors);
        EXPECT_TRUE(doc);
        if (!doc) return "";
        const std::string path = folder.path() + "list.pdf";
        HPDF_SaveToFile(doc.get(), path.c_str());
        EXPECT_FALSE(errors.failed);
        return path;
    }
    // Composes the report for WXYZ-FM and returns the text of its pages.
    std::vector<std::string> Render(int32_t placedDay = Mdy2JulianDate(6, 24, 2019)) {
        const std::string path = RenderFile(placedDay);
        return path.empty() ? std::vector<std::string>{} : PdfPages(path);
    }

    RowId station = 0;
    const int32_t apr1 = Mdy2JulianDate(4, 1, 2019);
    const int32_t apr8 = Mdy2JulianDate(4, 8, 2019);
};

TEST_F(IssuesList, SectionsHeadersAndTheThreeAiringForms) {
    const std::string crime = AddIssue("Crime", "Rising burglaries downtown.", 0);
    const std::string roads = AddIssue("Roads", "Potholes on Route 9.", 1);
    AddProgram({.issues = crime + "|" + roads,
                .title = "Safe Streets",
                .duration = "30 minutes",
                .description = "Police chief interview.",
                .airings = {{apr1, 8 * 60}}});
    AddProgram({.issues = roads,
                .title = "Commute Watch",
                .duration = "60 seconds",
                .description = "Daily traffic spots.",
                .airings = {{apr1, 0}, {Mdy2JulianDate(6, 30, 2019), 0}},
                .freqCheck = "1",
                .frequency = "12"});
    // Airings stored out of order print in order of day and time.
    AddProgram({.issues = crime,
                .title = "Town Hall",
                .duration = "1 hour",
                .airings = {{apr8, 17 * 60}, {apr1, 12 * 60}, {apr1, 8 * 60}}});

    const auto pages = Render();
    ASSERT_EQ(pages.size(), 2u);
    for (const auto& header :
         {"Quarterly Issues/Programs List for Station WXYZ-FM", "Period: April 1 - June 30, 2019",
          "Placed in the Public File June 24, 2019", "WXYZ-FM, Springfield, IL"}) {
        EXPECT_TRUE(Has(pages[0], header)) << header;
        EXPECT_TRUE(Has(pages[1], header)) << header;
    }
    EXPECT_TRUE(Has(pages[0], "Page 1"));
    EXPECT_TRUE(Has(pages[1], "Page 2"));
    EXPECT_TRUE(Has(pages[0], "Section I: Issues"));
    EXPECT_TRUE(Has(pages[0],
                    "WXYZ-FM has identified the following topics as significant "
                    "issues facing our community in this quarter:"));
    EXPECT_TRUE(Has(pages[0], "1. Crime: Rising burglaries downtown."));
    EXPECT_TRUE(Has(pages[0], "2. Roads: Potholes on Route 9."));
    EXPECT_FALSE(Has(pages[0], "Section II"));

    const std::string& s2 = pages[1];
    EXPECT_TRUE(Has(s2, "Section II: Responsive Programs"));
    EXPECT_FALSE(Has(s2, "(Continued)"));
    EXPECT_TRUE(Has(s2,
                    "WXYZ-FM broadcast programming dealing with the various issues outlined "
                    "in Section I of this list. The programming was aired on the dates and "
                    "times as follows:"));
    const std::string single =
        "Safe Streets Broadcast on 04-01-2019 at 8:00AM; Duration: 30 minutes. Police chief "
        "interview.";
    const std::string several =
        "Town Hall Broadcast on 04-01-2019 at 8:00AM and 12:00PM; and on 04-08-2019 at 5:00PM; "
        "Duration 1 hour.";
    const std::string period =
        "Commute Watch Broadcast 12 times during the period 04-01-2019 thru 06-30-2019 at "
        "various times of the day: Duration 60 seconds each. Daily traffic spots.";
    // Issue by issue, programs in database order; a program of two issues under both.
    const size_t h1 = s2.find("1. Crime:");
    const size_t h2 = s2.find("2. Roads:");
    ASSERT_NE(h1, std::string::npos);
    ASSERT_NE(h2, std::string::npos);
    const size_t p1 = s2.find(single), p2 = s2.find(several), p3 = s2.find(single, h2),
                 p4 = s2.find(period);
    EXPECT_TRUE(h1 < p1 && p1 < p2 && p2 < h2 && h2 < p3 && p3 < p4 && p4 != std::string::npos)
        << s2;
    EXPECT_TRUE(Messages().empty());
}

TEST_F(IssuesList, StationWithoutIssuesPrintsBothHeadingsOnly) {
    const auto pages = Render();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "Section I: Issues"));
    EXPECT_TRUE(Has(pages[1], "Section II: Responsive Programs"));
    EXPECT_FALSE(Has(pages[1], "1."));
}

TEST_F(IssuesList, SectionOneBreaksAtTheLimitAndSectionTwoStartsOnPageThree) {
    std::vector<std::string> ids;
    for (int i = 1; i <= 40; ++i)
        ids.push_back(AddIssue("Topic " + std::to_string(i), "Short note.", i));
    // Issue 2 has no program: no heading for it; the others keep their numbers.
    AddProgram(
        {.issues = ids[0], .title = "First Show", .duration = "5 min", .airings = {{apr1, 60}}});
    AddProgram(
        {.issues = ids[2], .title = "Third Show", .duration = "5 min", .airings = {{apr1, 60}}});

    const auto pages = Render();
    ASSERT_EQ(pages.size(), 3u);
    // Single-line issues advance 17 points from y 156: the 33rd would start at y 700.
    EXPECT_TRUE(Has(pages[0], "32. Topic 32: Short note."));
    EXPECT_FALSE(Has(pages[0], "Topic 33:"));
    EXPECT_FALSE(Has(pages[0], "(Continued)"));
    EXPECT_TRUE(Has(pages[1], "Section I: Issues (Continued)"));
    EXPECT_TRUE(Has(pages[1], "33. Topic 33: Short note."));
    EXPECT_TRUE(Has(pages[1], "40. Topic 40: Short note."));
    EXPECT_TRUE(Has(pages[1], "Page 2"));
    EXPECT_TRUE(Has(pages[2], "Page 3"));
    EXPECT_TRUE(Has(pages[2], "Section II: Responsive Programs"));
    EXPECT_TRUE(Has(pages[2], "The programming was aired on the dates and times as follows:"));
    EXPECT_TRUE(Has(pages[2], "1. Topic 1:"));
    EXPECT_FALSE(Has(pages[2], "Topic 2:"));
    EXPECT_TRUE(Has(pages[2], "3. Topic 3: Third Show"));
}

TEST_F(IssuesList, SectionTwoBreaksWithPlainAndContinuedHeadings) {
    const std::string crime = AddIssue("Crime", "", 0);
    const std::string roads = AddIssue("Roads", "", 1);
    const std::string water = AddIssue("Water", "", 2);
    // One-line paragraphs take 26 points; 21 of them leave the first page of
    // Section II at y 728, where a new issue's heading no longer fits.
    for (int i = 1; i <= 21; ++i)
        AddProgram({.issues = crime,
                    .title = "Crime " + std::to_string(i),
                    .duration = "1",
                    .airings = {{apr1, 60}}});
    // Roads starts on a new page under its plain heading, then runs over a page.
    for (int i = 1; i <= 25; ++i)
        AddProgram({.issues = roads,
                    .title = "Road " + std::to_string(i),
                    .duration = "1",
                    .airings = {{apr1, 60}}});
    AddProgram({.issues = water, .title = "Water 1", .duration = "1", .airings = {{apr1, 60}}});

    const auto pages = Render();
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_TRUE(Has(pages[1], "Crime 21"));
    EXPECT_FALSE(Has(pages[1], "Roads"));
    EXPECT_TRUE(Has(pages[2], "Section II: Responsive Programs (Continued)"));
    EXPECT_TRUE(Has(pages[2], "2. Roads: Road 1"));
    EXPECT_FALSE(Has(pages[2], "Roads (Continued)"));
    EXPECT_TRUE(Has(pages[3], "2. Roads (Continued): Road"));
    EXPECT_TRUE(Has(pages[3], "Road 25"));
    EXPECT_TRUE(Has(pages[3], "3. Water: Water 1"));
    // Every printed program appears once.
    for (int i = 1; i <= 25; ++i) {
        int found = 0;
        for (const auto& p : pages)
            found += Has(p, "Road " + std::to_string(i) + " Broadcast") ? 1 : 0;
        EXPECT_EQ(found, 1) << "Road " << i;
    }
}

TEST_F(IssuesList, ProgramListingAnIssueTwiceIsPrintedTwice) {
    const std::string crime = AddIssue("Crime", "", 0);
    AddProgram({.issues = crime + "|" + crime,
                .title = "Echo Show",
                .duration = "1",
                .airings = {{apr1, 60}}});
    const auto pages = Render();
    ASSERT_EQ(pages.size(), 2u);
    const std::string& s2 = pages[1];
    const size_t first = s2.find("Echo Show");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(s2.find("Echo Show", first + 1), std::string::npos);
}

TEST_F(IssuesList, LongTextsAreNeverCutOff) {
    std::string longText;
    for (int i = 0; i < 700; ++i) longText += "word" + std::to_string(i) + " ";
    longText += "FINALWORD";
    const std::string crime = AddIssue("Crime", longText, 0);
    // A 120-character word cannot be wrapped; it is cut where the box ends.
    const std::string url = "https://example.org/" + std::string(100, 'x') + "/end";
    AddProgram({.issues = crime,
                .title = "Marathon",
                .duration = "1",
                .description = url + " then " + longText,
                .airings = {{apr1, 60}}});
    const auto pages = Render();
    std::string all;
    for (const auto& p : pages) all += p + " ";
    EXPECT_TRUE(Has(all, "word0 word1"));
    EXPECT_TRUE(Has(all, "word699 FINALWORD"));
    // The description runs over several pages of Section II and ends whole.
    size_t finals = 0;
    for (size_t p = all.find("FINALWORD"); p != std::string::npos; p = all.find("FINALWORD", p + 1))
        ++finals;
    EXPECT_EQ(finals, 2u);
    EXPECT_TRUE(Has(all, "Marathon (Continued)"));
    EXPECT_TRUE(Has(all, "1. Crime (Continued):"));
    EXPECT_NE(all.find("/end then word0"), std::string::npos);
    EXPECT_TRUE(Has(all, "Section I: Issues (Continued)"));
}

TEST_F(IssuesList, NonAsciiTextComesOutAsWritten) {
    // Accents, typographic quotes, em dash, euro and letters outside Windows-1252.
    const std::string title =
        "Caf\xC3\xA9 \xE2\x80\x9CSafety\xE2\x80\x9D \xE2\x80\x94 Ni\xC3\xB1os";
    const std::string desc =
        "Costs \xE2\x82\xAC"
        "5 \xE2\x80\x98"
        "each\xE2\x80\x99 in \xC5\x81\xC3\xB3"
        "d\xC5\xBA";
    const std::string issue = AddIssue(title, desc, 0);
    AddProgram({.issues = issue,
                .title = "Se\xC3\xB1or Ren\xC3\xA9",
                .duration = "30 min",
                .description = "D\xC3\xA9j\xC3\xA0 vu.",
                .airings = {{apr1, 60}}});
    ExecSql(
        "UPDATE Stations SET License = 'Montr\xC3\xA9"
        "al, QC' WHERE StnID = " +
        std::to_string(station));
    const auto pages = Render();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "1. " + title +
                                  ": Costs \xE2\x82\xAC"
                                  "5 \xE2\x80\x98"
                                  "each\xE2\x80\x99 in \xC5\x81\xC3\xB3"
                                  "d\xC5\xBA"))
        << pages[0];
    EXPECT_TRUE(Has(pages[0],
                    "WXYZ-FM, Montr\xC3\xA9"
                    "al, QC"));
    EXPECT_TRUE(Has(pages[1], "1. " + title + ":"));
    EXPECT_TRUE(Has(pages[1],
                    "Se\xC3\xB1or Ren\xC3\xA9 Broadcast on 04-01-2019 at 1:00AM; Duration: "
                    "30 min. D\xC3\xA9j\xC3\xA0 vu."));
}

// Words of the page that lie within [top, bottom) on the page, in reading order.
std::string WordsBetween(const std::vector<PdfWord>& words, int page, double top, double bottom) {
    std::string out;
    for (const PdfWord& w : words)
        if (w.page == page && w.yMin >= top && w.yMin < bottom)
            out += (out.empty() ? "" : " ") + w.text;
    return out;
}

TEST_F(IssuesList, LongTitlesWrapInsideTheRightMargin) {
    const std::string longIssue =
        "Affordable Housing, Rising Rents and Homelessness in the Greater Springfield Metropolitan "
        "Area and Its Outskirts";  // 112 characters
    const std::string longTitle =
        "Community Conversations: A Special Reports on Renters, Landlords, Zoning Boards, and the "
        "Future of Housing in Washington County";  // 127 characters
    ASSERT_EQ(longIssue.size(), 112u);
    ASSERT_EQ(longTitle.size(), 127u);
    const std::string housing = AddIssue(longIssue, "Rents.", 0);
    const std::string roads = AddIssue("Roads", "Potholes.", 1);
    AddProgram({.issues = housing,
                .title = longTitle,
                .duration = "30 min",
                .description = "Panel.",
                .airings = {{apr1, 60}}});
    AddProgram({.issues = roads,
                .title = "Commute Watch",
                .duration = "1 min",
                .description = "Spots.",
                .airings = {{apr1, 60}}});
    const std::string path = RenderFile();
    const std::vector<PdfWord> words = PdfWordBoxes(path);
    ASSERT_FALSE(words.empty());
    // Every word stays inside x 576.
    for (const PdfWord& w : words) EXPECT_LE(w.xMax, 576.5) << w.text << " on page " << w.page;
    const std::string all = Squash(PdfPlainText(path));
    EXPECT_TRUE(Has(all, "1. " + longIssue + ":"));
    EXPECT_TRUE(Has(all, longTitle + " Broadcast on 04-01-2019"));

    // Section II (page 2): heading lines start at x 36, title lines at x 72,
    // each 13 points below the one before; the paragraph follows the title.
    const auto find = [&](const std::string& text, double after) -> const PdfWord* {
        for (const PdfWord& w : words)
            if (w.page == 1 && w.text == text && w.yMin > after) return &w;
        return nullptr;
    };
    const PdfWord* head1 = find("1.", 0);
    const PdfWord* head2 = find("Outskirts:", 0);
    ASSERT_TRUE(head1 && head2);
    EXPECT_NEAR(head1->xMin, 36, 0.5);
    EXPECT_NEAR(head2->yMin - head1->yMin, 13, 0.5);
    const auto lineStart = [&](const PdfWord* on) {
        double x = 1000;
        for (const PdfWord& w : words)
            if (w.page == 1 && std::abs(w.yMin - on->yMin) < 1) x = std::min(x, w.xMin);
        return x;
    };
    EXPECT_NEAR(lineStart(head2), 36, 0.5) << "a continuation line starts like the first";
    const PdfWord* title1 = find("Community", 0);
    const PdfWord* title2 = find("County", 0);
    ASSERT_TRUE(title1 && title2);
    EXPECT_NEAR(title1->xMin, 72, 0.5);
    EXPECT_NEAR(title1->yMin - head2->yMin, 26, 1);
    EXPECT_NEAR(title2->yMin - title1->yMin, 13, 0.5);
    EXPECT_NEAR(lineStart(title2), 72, 0.5);
    const PdfWord* broadcast = find("Broadcast", title2->yMin);
    ASSERT_TRUE(broadcast);
    EXPECT_NEAR(broadcast->yMin - title2->yMin, 13, 1.5);
    // A short heading and title stay single lines where they always were:
    // heading, 26 points, title, 13 points, paragraph.
    const PdfWord* roadsHead = find("Roads:", 0);
    const PdfWord* commute = find("Commute", 0);
    ASSERT_TRUE(roadsHead && commute);
    EXPECT_NEAR(lineStart(roadsHead), 36, 0.5);
    EXPECT_NEAR(commute->yMin - roadsHead->yMin, 26, 1);
    EXPECT_EQ(WordsBetween(words, 1, commute->yMin - 1, commute->yMin + 5), "Commute Watch");
    EXPECT_EQ(WordsBetween(words, 1, commute->yMin + 12, commute->yMin + 14),
              "Broadcast on 04-01-2019 at 1:00AM; Duration: 1 min. Spots.");
}

TEST_F(IssuesList, LettersBeyondWinAnsiPrintWithAnEmbeddedFont) {
    const std::string polish = "Łódź i Gdańsk: żółć";
    const std::string greek = "Ελληνική κοινότητα";
    const std::string cyrillic = "Русская община Кирилл";
    const std::string vietnamese = "Cộng đồng người Việt";
    const std::string issue = AddIssue(polish, greek + " " + cyrillic, 0);
    AddProgram({.issues = issue,
                .title = vietnamese,
                .duration = "30 min",
                .description = cyrillic + ". " + vietnamese + ".",
                .airings = {{apr1, 60}}});
    const std::string path = RenderFile();
    const auto pages = PdfPages(path);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "1. " + polish + ": " + greek + " " + cyrillic)) << pages[0];
    EXPECT_TRUE(Has(pages[1], "1. " + polish + ":")) << pages[1];
    EXPECT_TRUE(Has(pages[1], vietnamese +
                                  " Broadcast on 04-01-2019 at 1:00AM; Duration: 30 min. " +
                                  cyrillic + ". " + vietnamese + "."))
        << pages[1];
    EXPECT_EQ(pages[0].find('?'), std::string::npos);
    const std::string fonts = PdfFontTable(path);
    EXPECT_NE(fonts.find("LiberationSerif "), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("LiberationSerif-Bold"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find(" no  "), std::string::npos) << "every font is embedded:\n" << fonts;
    EXPECT_EQ(fonts.find("Times"), std::string::npos) << fonts;
}

TEST_F(IssuesList, TextThatFitsWinAnsiKeepsTheStandardFonts) {
    const std::string issue = AddIssue("Café “Safety” — Niños", "Costs €5.", 0);
    AddProgram({.issues = issue,
                .title = "Señor",
                .duration = "30 min",
                .description = "Déjà vu.",
                .airings = {{apr1, 60}}});
    const std::string fonts = PdfFontTable(RenderFile());
    EXPECT_NE(fonts.find("Times-Roman "), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("Times-Bold "), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find("Liberation"), std::string::npos) << fonts;
    EXPECT_EQ(fonts.find("yes"), std::string::npos) << "nothing embedded:\n" << fonts;
}

TEST(IssuesListNames, FileNameAndPlacedDate) {
    EXPECT_EQ(IssuesListFileName("WXYZ-FM", 20192), "WXYZ-FM_Issues_Programs_April-June_2019.PDF");
    EXPECT_EQ(IssuesListFileName("WX YZ FM", 20194),
              "WX_YZ_FM_Issues_Programs_October-December_2019.PDF");
    EXPECT_EQ(IssuesListFileName("KAB/FM", 20201), "KAB_FM_Issues_Programs_January-March_2020.PDF");
    // Call letters too long for a file name are cut; period and extension stay.
    const std::string longName = IssuesListFileName(std::string(32767, 'K'), 20192);
    EXPECT_EQ(longName.size(), 255u);
    EXPECT_EQ(longName, std::string(255 - 36, 'K') + "_Issues_Programs_April-June_2019.PDF");
    EXPECT_EQ(PlacedDateText(Mdy2JulianDate(7, 4, 2019)), "July 4, 2019");
    SetClockOverride(ClockReading{2020, 1, 2, 9, 0, 0});
    EXPECT_EQ(PlacedDateText(0), "January 2, 2020");
    SetClockOverride(std::nullopt);
}

class PrintFlow : public IssuesList {
protected:
    void SetUp() override {
        IssuesList::SetUp();
        if (IsSkipped()) return;
        RecordOpenedFiles();
        AddIssue("Crime", "Burglaries.", 0);
    }
    const ReportChoice choice{"2019 - Apr-Jun", "WXYZ-FM", 0};
    // Each print asks where to save the list; without a running toolkit the
    // dialog answers "" (cancelled).
    void TearDown() override {
        if (!IsSkipped())
            EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"file dialog \"Save PDF File\""});
        IssuesList::TearDown();
    }
};

TEST_F(PrintFlow, CancelledSaveWritesTempPdfAndOpensIt) {
    PrintIssuesProgramsList("PQ", choice);
    const std::string temp = Paths().pdfFolder + "Temp.pdf";
    ASSERT_EQ(recording->opened, std::vector<std::string>{temp});
    const auto pages = PdfPages(temp);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[0], "Placed in the Public File June 24, 2019"));  // picker 0 = today
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(IniRead(Paths().settingsFile, "PDF", "WXYZ-FM", "none"), "none");
}

TEST_F(PrintFlow, SaveFailureIsReportedAndNothingIsOpened) {
    // A file where the PDF folder should be: the save cannot succeed.
    std::filesystem::remove_all(Paths().pdfFolder);
    WriteFileText(folder.path() + "PDF", "not a folder");
    prompts.Expect("PDF Error");
    PrintIssuesProgramsList("PQ", choice);
    EXPECT_TRUE(recording->opened.empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(
        Messages()[0].rfind(
            "PDF Error: The PDF file could not be saved:|" + Paths().pdfFolder + "Temp.pdf", 0),
        0u)
        << Messages()[0];
}

// A disk that fills up while the report is written (a file size limit stands
// in for it) leaves the older report of that name as it was.
TEST_F(PrintFlow, AFullDiskKeepsTheOlderReport) {
    const std::string temp = Paths().pdfFolder + "Temp.pdf";
    std::filesystem::create_directories(Paths().pdfFolder);
    WriteFileText(temp, "older report");
    {
        FileSizeLimit small(300);
        ASSERT_TRUE(small.active()) << "no file size limit could be set";
        prompts.Expect("PDF Error");
        PrintIssuesProgramsList("PQ", choice);
    }
    EXPECT_TRUE(recording->opened.empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("could not be saved"), std::string::npos) << Messages()[0];
    EXPECT_EQ(ReadFileText(temp), "older report");
    // No temporary file is left beside it.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Paths().pdfFolder)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

// A description longer than libharu takes in one piece (65,535 bytes) is
// laid out and printed whole.
TEST_F(IssuesList, DescriptionsOfAnyLengthArePrinted) {
    std::string huge;
    for (int i = 0; huge.size() < 66000; ++i) huge += "w" + std::to_string(i) + " ";
    huge += "LASTWORD";
    const std::string issue = AddIssue("Crime", huge, 0);
    AddProgram({.issues = issue,
                .title = "Long Show",
                .duration = "1",
                .description = huge,
                .airings = {{apr1, 60}}});
    const auto pages = Render();
    std::string all;
    for (const auto& p : pages) all += p + " ";
    EXPECT_TRUE(Messages().empty()) << Messages()[0];
    size_t lasts = 0;
    for (size_t p = all.find("LASTWORD"); p != std::string::npos; p = all.find("LASTWORD", p + 1))
        ++lasts;
    EXPECT_EQ(lasts, 2u);
}

// Call letters of any length: the heading lines and the introduction box
// (libharu's text box takes at most 65,535 bytes) are written all the same.
TEST_F(IssuesList, CallLettersOfAnyLengthAreLaidOut) {
    IssuesListData data;
    data.calls = std::string(70000, 'K') + "END";
    data.longPeriod = "April 1 - June 30, 2019";
    data.placedText = "June 24, 2019";
    PdfErrorState errors;
    PdfDocument doc = ComposeIssuesProgramsList(data, errors);
    ASSERT_TRUE(doc);
    const std::string path = folder.path() + "calls.pdf";
    HPDF_SaveToFile(doc.get(), path.c_str());
    EXPECT_FALSE(errors.failed);
    EXPECT_TRUE(Messages().empty());
    const auto pages = PdfPages(path);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_TRUE(Has(pages[1], "Section II: Responsive Programs"));
    EXPECT_TRUE(Has(pages[1], "KKKKKKKKKK"));
}

}  // namespace
