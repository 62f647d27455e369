// Every station's list in one go: each file equals the single-station print,
// a failing station (a full disk too) is named while the others are written,
// Cancel stops between stations, a damaged database is said to give lists
// that may be incomplete; the print dialog's "All Stations" choice with its
// progress dialog, and the pre-filing check form opening the right editors.
#include "reports/all_stations_print.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/ez_testing.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/program_list.h"
#include "data/query.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "reports/filing_check.h"
#include "reports/issues_programs_list.h"
#include "support/pdf_check.h"
#include "support/prompt_queue.h"
#include "support/report_fixture.h"
#include "ui/msgbox.h"

namespace {

constexpr int32_t kQ = 20192;

class AllStations : public PdfReportTest {
protected:
    AllStations() : PdfReportTest(ClockReading{2019, 6, 24, 10, 0, 0}) {}
    void SetUp() override {
        PdfReportTest::SetUp();
        if (IsSkipped()) return;
        RecordOpenedFiles();
        for (const char* calls : {"WXYZ-FM", "KAAA", "KBBB"}) {
            const RowId sid = SeedStation(calls, "Springfield", kQ);
            const RowId iid = SeedIssue(sid, kQ, std::string(calls) + " Crime", "Detail.", 0);
            SeedProgram({.station = sid,
                         .quarter = kQ,
                         .issues = IssueList({iid}),
                         .title = std::string(calls) + " Forum",
                         .duration = "30 minutes",
                         .description = "Talk.",
                         .airings = {{Mdy2JulianDate(4, 2, 2019), 570}}});
        }
        SeedStation("KNONE", "Nowhere", kQ);  // no programs: not printed
    }
    static constexpr const char* kListName = "_Issues_Programs_April-June_2019.PDF";
    static std::string PathOf(const std::string& calls) {
        return Paths().pdfFolder + calls + kListName;
    }
};

TEST_F(AllStations, EachFileIsTheSingleStationPrint) {
    const int32_t placed = Mdy2JulianDate(7, 3, 2019);
    AllStationsRun run = StartAllStations(kQ, placed);
    EXPECT_EQ(run.stations, (std::vector<std::string>{"WXYZ-FM", "KAAA", "KBBB"}));
    while (PrintNextStation(run)) {
    }
    ASSERT_EQ(run.results.size(), 3u);
    for (const StationListFile& f : run.results) {
        ASSERT_TRUE(f.written) << f.calls << ": " << f.error;
        EXPECT_EQ(f.path, PathOf(f.calls));
        // The single-station print's own save of the same choice.
        const std::string single = folder.path() + "single.pdf";
        PdfErrorState errors;
        ASSERT_TRUE(SaveAndOpenReport(
            ComposeIssuesProgramsList(LoadIssuesListData(kQ, f.calls, placed), errors), errors,
            single));
        EXPECT_EQ(ReadFileText(f.path), ReadFileText(single)) << f.calls;
        const std::vector<std::string> pages = PdfPages(f.path);
        ASSERT_FALSE(pages.empty());
        EXPECT_TRUE(Has(pages[0], "Quarterly Issues/Programs List for Station " + f.calls));
        EXPECT_TRUE(Has(pages[0], "Placed in the Public File July 3, 2019"));
    }
    // KNONE has no programs: it has no list, and the message says so.
    const AllStationsOutcome outcome = DescribeAllStations(run);
    EXPECT_EQ(outcome.title, "Some Stations Left Out");
    EXPECT_EQ(outcome.text1, "3 lists of 4 were written:{f10}");
    EXPECT_EQ(outcome.text2, PathOf("WXYZ-FM") + "|" + PathOf("KAAA") + "|" + PathOf("KBBB") +
                                 "||Left out, no programs in the quarter: KNONE{f6}");
    EXPECT_EQ(FoldersWritten(run), std::vector<std::string>{Paths().pdfFolder});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(AllStations, AFailingStationIsNamedAndTheOthersAreWritten) {
    // KAAA's remembered folder lies below a plain file: it cannot be made.
    WriteFileText(folder.path() + "blocker", "x");
    IniWrite(Paths().settingsFile, "PDF", "KAAA", folder.path() + "blocker/lists/");
    // KBBB's remembered folder is made when missing.
    IniWrite(Paths().settingsFile, "PDF", "KBBB", folder.path() + "Filed/KBBB");
    AllStationsRun run = StartAllStations(kQ, 0);
    while (PrintNextStation(run)) {
    }
    ASSERT_EQ(run.results.size(), 3u);
    EXPECT_TRUE(run.results[0].written);
    EXPECT_FALSE(run.results[1].written);
    EXPECT_TRUE(run.results[2].written) << run.results[2].error;
    EXPECT_TRUE(std::filesystem::exists(folder.path() + "Filed/KBBB/" +
                                        "KBBB_Issues_Programs_April-June_2019.PDF"));
    const AllStationsOutcome outcome = DescribeAllStations(run);
    EXPECT_EQ(outcome.title, "Some Lists Not Written");
    EXPECT_EQ(outcome.text1, "2 lists of 4 were written:{f10}");
    const std::string written = PathOf("WXYZ-FM") + "|" + folder.path() +
                                "Filed/KBBB/KBBB_Issues_Programs_April-June_2019.PDF||";
    EXPECT_EQ(outcome.text2.rfind(written + "Not written:|KAAA: the folder ", 0), 0u)
        << outcome.text2;
    EXPECT_EQ(FoldersWritten(run),
              (std::vector<std::string>{Paths().pdfFolder, folder.path() + "Filed/KBBB/"}));
}

// KAAA's folder is a disk with no room for its list: KAAA is named
// with the reason, its older list stays, and the others are written.
TEST_F(AllStations, AFullDiskNamesTheStationAndKeepsItsOlderList) {
    const std::string small = folder.path() + "small/", kaaa = small + "KAAA" + kListName;
    std::filesystem::create_directory(small);
    if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=4k") != 0) GTEST_SKIP() << "no tmpfs";
    const std::unique_ptr<const char, int (*)(const char*)> unmount(small.c_str(), umount);
    WriteFileText(kaaa, "older list");  // fills the only page
    IniWrite(Paths().settingsFile, "PDF", "KAAA", small);
    AllStationsRun run = StartAllStations(kQ, 0);
    while (PrintNextStation(run)) {
    }
    ASSERT_EQ(run.results.size(), 3u);
    EXPECT_TRUE(run.results[0].written && run.results[2].written);
    EXPECT_EQ(run.results[1].error, "the disk is full");
    EXPECT_EQ(ReadFileText(kaaa), "older list");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(small), {}), 1);
    const AllStationsOutcome outcome = DescribeAllStations(run);
    EXPECT_EQ(outcome.text1, "2 lists of 4 were written:{f10}");
    EXPECT_NE(outcome.text2.find("||Not written:|KAAA: the disk is full||"), std::string::npos);
    EXPECT_TRUE(Messages().empty());  // no "PDF Error" box
}

TEST_F(AllStations, CancelStopsBetweenStations) {
    AllStationsRun run = StartAllStations(kQ, 0);
    ASSERT_TRUE(PrintNextStation(run));
    run.cancelled = true;
    EXPECT_FALSE(PrintNextStation(run));
    EXPECT_EQ(run.results.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(PathOf("KAAA")));
    const AllStationsOutcome outcome = DescribeAllStations(run);
    EXPECT_EQ(outcome.title, "Printing Cancelled");
    EXPECT_EQ(outcome.text1, "1 list of 4 was written:{f10}");
    EXPECT_EQ(outcome.text2, PathOf("WXYZ-FM") +
                                 "||Left out, no programs in the quarter: KNONE||Left out by "
                                 "cancelling: KAAA, KBBB{f6}");
}

// A database damaged in the middle of its entries: the program list shows
// the entries before the damage; the printed lists ask first and say that
// they may be incomplete.
TEST_F(AllStations, ADamagedDatabaseListsWhatCanBeReadAndSaysItMayBeIncomplete) {
    const RowId station = SeedStation("KDMG", "Springfield", kQ);
    const RowId issue = SeedIssue(station, kQ, "Crime", "Burglaries.", 0);
    for (int i = 0; i < 200; ++i)
        SeedProgram({.station = station,
                     .quarter = kQ,
                     .issues = IssueList({issue}),
                     .title = "Program " + std::to_string(i),
                     .duration = "30 min",
                     .description = "Talk.",
                     .airings = {{Mdy2JulianDate(4, 2, 2019), 480}}});
    ExecSql("UPDATE Master SET AirDates = printf('%0200d', MID)");  // entries over many pages
    // A bad page-type byte on the last leaf page of Master.
    const std::string last = slSelStr(
        "SELECT (pageno - 1) * pgsize FROM dbstat WHERE name = 'Master' AND pagetype = 'leaf' "
        "ORDER BY path DESC LIMIT 1");
    slClose();
    std::fstream(Paths().dataFolder + "VantrelData.db3", std::ios::in | std::ios::out)
        .seekp(std::stoll(last))
        .put('\x01');
    ASSERT_EQ(slOpen(Paths().dataFolder + "VantrelData.db3", "R"), 0);

    const std::vector<ProgramListRow> rows = ProgramListRows(kQ, station);
    EXPECT_GT(rows.size(), 10u);
    EXPECT_LT(rows.size(), 200u);
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1].mid, rows[i].mid);
    EXPECT_TRUE(slIsDamaged());  // found by the read

    const ReportChoice choice{"2019 - Apr-Jun", "KDMG", 0};
    prompts.Expect("Database Damaged", 2);  // Cancel: nothing is written
    PrintIssuesProgramsList("PQ", choice);
    EXPECT_TRUE(recording->opened.empty());
    prompts.Expect("Database Damaged", 1);
    PrintIssuesProgramsList("PQ", choice);
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"file dialog \"Save PDF File\""});
    const std::vector<std::string> pages = PdfPages(Paths().pdfFolder + "Temp.pdf");
    ASSERT_GT(pages.size(), 1u);
    for (const std::string& page : pages) EXPECT_TRUE(Has(page, kIncompleteNote));

    AllStationsRun run = StartAllStations(kQ, 0);
    while (PrintNextStation(run)) {
    }
    EXPECT_NE(DescribeAllStations(run).text2.find(
                  "May be incomplete, part of the database could not be read: WXYZ-FM"),
              std::string::npos);
}

// The dialogs, driven by the robot.
class PrintAllForms : public AllStations {
protected:
    static void SetUpTestSuite() {
        EzTestInit();
        DefineFontsAndColours();
    }
    void SetUp() override {
        AllStations::SetUp();
        if (IsSkipped()) return;
        SetMsgHook(nullptr);  // the robot answers the message boxes
        Opts().tipsOn = true;
        SeedQuarter(20192);
        Shell().currentQuarter = kQ;
        Shell().filterStationId = 0;
    }
};

TEST_F(PrintAllForms, AllStationsFromThePrintDialog) {
    const std::string shots = "/tmp/";
    Robot r;
    PromptQueue prompts(r);
    StationWrittenHook previous = SetStationWrittenHook([&](const AllStationsRun& run) {
        if (run.next == 1) EZ_SCREENSHOT("PA", ScreenshotPath(shots, "print_all_progress.png"));
    });
    MsgShownHook previousShown = SetMsgShownHook(
        [&] { EZ_SCREENSHOT("DGMSGBOX1", ScreenshotPath(shots, "print_all_message.png")); });
    r.Do([] { OpenPrintDialog("", kQ, ""); });
    r.WaitForm("PQ");
    r.Do([] {
        // The stations with programs, then "All Stations"; the first stays chosen.
        ASSERT_EQ(EZ_ITEMCOUNT("PQ", 105), 4);
        EXPECT_EQ(EZ_ITEMTEXT("PQ", 105, 3), "All Stations");
        EXPECT_EQ(Robot::Text("PQ", "Station"), "WXYZ-FM");
    });
    r.SelectItem("PQ", "Station", "All Stations");
    r.Screenshot("PQ", ScreenshotPath(shots, "print_all_dialog.png"));
    r.Click("PQ", "Print");
    prompts.Expect("Some Stations Left Out", 1);
    r.Do([&] {
        for (const char* calls : {"WXYZ-FM", "KAAA", "KBBB"})
            EXPECT_TRUE(std::filesystem::exists(PathOf(calls))) << calls;
        // No file is opened one by one; the folder is opened once.
        EXPECT_EQ(r.platform().opened, std::vector<std::string>{Paths().pdfFolder});
        EXPECT_EQ(Robot::Text("PQ", "Station"), "All Stations");
    });
    r.Click("PQ", "Cancel");
    r.WaitGone("PQ");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_FALSE(r.MessageTexts().empty());
    EXPECT_NE(r.MessageTexts().back().find("3 lists of 4 were written:"), std::string::npos);
    SetStationWrittenHook(previous);
    SetMsgShownHook(previousShown);
}

TEST_F(PrintAllForms, CancelInTheProgressDialog) {
    Robot r;
    PromptQueue prompts(r);
    StationWrittenHook previous = SetStationWrittenHook([](const AllStationsRun& run) {
        if (run.next != 1) return;
        int cancel = 0;
        DispatchEvent("PA", kPaCancel, EzEvent::Click, 0, cancel);
    });
    r.Do([] { OpenPrintDialog("", kQ, ""); });
    r.WaitForm("PQ");
    r.SelectItem("PQ", "Station", "All Stations");
    r.Click("PQ", "Print");
    prompts.Expect("Printing Cancelled", 1);
    r.Do([&] {
        EXPECT_TRUE(std::filesystem::exists(PathOf("WXYZ-FM")));
        EXPECT_FALSE(std::filesystem::exists(PathOf("KAAA")));
        EXPECT_FALSE(Robot::FormExists("PA"));
    });
    r.Click("PQ", "Cancel");
    r.WaitGone("PQ");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    SetStationWrittenHook(previous);
}

TEST_F(PrintAllForms, CheckFormOpensTheRightEditorOnTheRightRecord) {
    // KAAA gets an issue nobody addresses and an entry without airings.
    const RowId kaaa = StationIdByCalls("KAAA", "20192");
    const RowId housing = SeedIssue(kaaa, kQ, "Housing", "Rents.", 1);
    SeedProgram({.station = kaaa,
                 .quarter = kQ,
                 .issues = std::to_string(housing) + "x",
                 .title = "Unaired Show",
                 .duration = "5 minutes",
                 .description = "Text."});
    Robot r;
    r.Do([] { OpenPrintDialog("", kQ, ""); });
    r.WaitForm("PQ");
    r.SelectItem("PQ", "Station", "KAAA");
    r.Click("PQ", "Check");  // Check List... for the chosen station
    r.WaitForm("FC");
    // The deadline, then KAAA: its unaddressed issue, then the entry's findings.
    constexpr int issueRow = 1, entryRow = 3;
    r.Do([&] {
        EXPECT_EQ(Robot::Text("FC", kFcPeriod), "2019 - Apr-Jun");
        EXPECT_EQ(Robot::Text("FC", kFcStation), "KAAA");
        EXPECT_EQ(Robot::Text("FC", kFcSummary), "1 station, 3 problems, 1 note");
        ASSERT_EQ(EZ_LVROWCOUNT("FC", kFcList), 4);
        EXPECT_EQ(EZ_LVGETCELL("FC", kFcList, issueRow, 0), "KAAA");
        EXPECT_EQ(EZ_LVGETCELL("FC", kFcList, issueRow, 1), "Problem");
        EXPECT_EQ(EZ_LVGETCELL("FC", kFcList, issueRow, 2),
                  "Addressed by no program: issue 2, \"Housing\"");
        EXPECT_EQ(EZ_LVGETCELL("FC", kFcList, 2, 2),
                  "Addresses none of the station's issues: \"Unaired Show\"");
        EXPECT_EQ(EZ_LVGETCELL("FC", kFcList, entryRow, 2), "No air date: \"Unaired Show\"");
    });
    r.Screenshot("FC", ScreenshotPath("/tmp/", "filing_check.png"));
    r.DblClick("FC", kFcList, entryRow);
    r.WaitForm("PD");
    r.Do([] {
        EXPECT_EQ(Robot::Text("PD", kPdTitle), "Unaired Show");
        EXPECT_EQ(Robot::Text("PD", kPdStation), "KAAA");
    });
    r.Close("PD");
    r.WaitGone("PD");
    r.DblClick("FC", kFcList, issueRow);
    r.WaitForm("IL");
    r.Do([] {
        EXPECT_EQ(Robot::Text("IL", kIlStation), "KAAA");
        const int selected = EZ_SELECTEDITEM("IL", kIlList);
        ASSERT_GE(selected, 0);
        EXPECT_EQ(EZ_ITEMTEXT("IL", kIlList, selected), "Housing");
        EXPECT_EQ(Robot::Text("IL", kIlDescription), "Rents.");
    });
    r.Close("IL");
    r.WaitGone("IL");
    // "All Stations" checks every station of the quarter, KNONE too.
    r.SelectItem("FC", kFcStation, "All Stations");
    r.Do([] { EXPECT_EQ(Robot::Text("FC", kFcSummary), "4 stations, 4 problems, 1 note"); });
    r.Click("FC", kHelpKeyId);
    r.Click("FC", kFcClose);
    r.WaitGone("FC");
    r.Click("PQ", "Cancel");
    r.WaitGone("PQ");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{510});
}

}  // namespace
