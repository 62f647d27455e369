// The main window driven through the robot against a seeded database: list
// cells, filter, selection-dependent commands, deleting, sorting, the status
// bar, the start-up messages, and the "Add A Previous Quarter" dialog.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

std::string N(long long v) {
    return std::to_string(v);
}

// Quarter 2019 Jan-Mar with two stations; WAAA-FM has issues, WBBB-AM none.
// Four entries: one airing, several airings, a period of 12, and one of WBBB-AM.
// The quarter before holds one station and one entry. In the fresh database
// the rows are numbered in the order made: stations, issues, entries and
// programs from 1.
void SeedTwoQuarters() {
    SeedQuarter(20184, Mdy2JulianDate(10, 1, 2018), Mdy2JulianDate(12, 31, 2018));
    SeedQuarter(20191, Mdy2JulianDate(1, 1, 2019), Mdy2JulianDate(3, 31, 2019));
    const RowId waaa = SeedStation("WAAA-FM", "Springfield", 20191, 0);
    const RowId wbbb = SeedStation("WBBB-AM", "Shelbyville", 20191, 1);
    const RowId old = SeedStation("WAAA-FM", "Springfield", 20184, 0);
    const RowId crime = SeedIssue(waaa, 20191, "Crime", "", 0);
    const RowId education = SeedIssue(waaa, 20191, "Education", "", 1);
    const RowId housing = SeedIssue(old, 20184, "Housing", "", 0);
    auto entry = [](RowId station, int32_t quarter, const std::string& issues,
                    const std::string& freqCheck, const std::string& frequency,
                    const std::string& title) {
        return SeedProgram({.station = station,
                            .quarter = quarter,
                            .issues = issues,
                            .title = title,
                            .duration = "30 minutes",
                            .freqCheck = freqCheck,
                            .frequency = frequency});
    };
    auto airing = [](RowId mid, int m, int d, int y, int minutes) {
        SeedAiring(mid, Mdy2JulianDate(m, d, y), minutes);
    };
    const RowId talk = entry(waaa, 20191, IssueList({crime}), "0", "0", "Morning Talk");
    airing(talk, 1, 7, 2019, 8 * 60);
    const RowId weekly =
        entry(waaa, 20191, IssueList({education, crime}), "0", "0", "Weekly Report");
    airing(weekly, 2, 4, 2019, 17 * 60 + 30);
    airing(weekly, 1, 14, 2019, 12 * 60);
    airing(weekly, 3, 4, 2019, 9 * 60);
    const RowId psa = entry(waaa, 20191, IssueList({education}), "1", "12", "PSA Campaign");
    airing(psa, 1, 1, 2019, 0);
    airing(psa, 3, 31, 2019, 0);
    const RowId road = entry(wbbb, 20191, "", "0", "0", "Road Report");
    airing(road, 2, 2, 2019, 6 * 60 + 5);
    const RowId oldShow = entry(old, 20184, IssueList({housing}), "0", "0", "Old Show");
    airing(oldShow, 11, 2, 2018, 600);
}

class MainWindowTest : public FormTest {
protected:
    MainWindowTest()
        : FormTest({.clock = ClockReading{2019, 2, 15, 10, 0, 0},
                    .tipsOn = true,
                    .programFolder = true}) {}
    // A database with the seeded quarter, closed again so that start-up opens it.
    void Seed() {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        SeedTwoQuarters();
        slClose();
    }
    static std::string Cell(int row, int col) { return EZ_LVGETCELL("VL", kVlList, row, col); }
    static int RowOf(const std::string& title) {
        for (int r = 0; r < EZ_LVROWCOUNT("VL", kVlList); ++r)
            if (Cell(r, 3) == title) return r;
        return -1;
    }
    static std::string Status(int part) { return EZ_SBGETTEXT("VL", kVlStatus, part); }
    // Right-click on the quarter selector, Yes to the offer: the "Add A Previous Quarter" dialog.
    static void OpenAddQuarter(Robot& r, PromptQueue& prompts) {
        r.RightClick("VL", kVlQuarter);
        prompts.Expect("Add A Previous Quarter?", 1);
        r.WaitForm("CQ");
    }
};

TEST_F(MainWindowTest, ListsTheQuarterWithItsCells) {
    Seed();
    Robot r;
    r.Start();
    r.Do([] {
        EXPECT_EQ(Robot::Text("VL", 0), "Vantrel - Quarterly Issues & Programs List Manager");
        EXPECT_EQ(Robot::Text("VL", kVlQuarter), "2019 - Jan-Mar");
        EXPECT_EQ(Robot::Text("VL", kVlStation), "All Stations");
        ASSERT_EQ(EZ_LVROWCOUNT("VL", kVlList), 4);
        int once = RowOf("Morning Talk"), several = RowOf("Weekly Report"),
            period = RowOf("PSA Campaign");
        ASSERT_GE(once, 0);
        ASSERT_GE(several, 0);
        ASSERT_GE(period, 0);
        EXPECT_EQ(Cell(once, 0), "01-07-2019");
        EXPECT_EQ(Cell(once, 1), "08:00");
        EXPECT_EQ(Cell(once, 2), "WAAA-FM");
        EXPECT_EQ(Cell(once, 4), "Crime");
        EXPECT_EQ(Cell(once, 5), "30 minutes");
        EXPECT_EQ(Cell(several, 0), "01-14-2019");
        EXPECT_EQ(Cell(several, 1), "12:00*");
        EXPECT_EQ(Cell(several, 4), "Crime|Education");
        EXPECT_EQ(Cell(period, 1), "Various x 12");
        EXPECT_EQ(EZ_LVGETVALUE("VL", kVlList, several), 2);
        // Status bar and commands with nothing selected and all stations.
        EXPECT_EQ(Status(2), "\tSelected: 0");
        EXPECT_EQ(Status(3), "\tDays to End of Quarter: 45");
        EXPECT_EQ(Status(4).rfind("\tVersion: 1.8.4.0 - ", 0), 0u) << Status(4);
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlNewButton));
        EXPECT_FALSE(EZ_MENUISENABLED("VL", kVlMenuNew));
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlDeleteButton));
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlPrintButton));
        EXPECT_EQ(Shell().helpTopic, 310);
    });
    r.Screenshot("VL", ScreenshotPath(folder.path(), "shell_main_window.png"));
    r.Do([] { EXPECT_TRUE(Robot::ColumnsFillWidth("VL", kVlList)); });
    r.SelectItem("VL", kVlStation, "WAAA-FM");
    r.Do([] {
        EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 3);
        EXPECT_EQ(Shell().filterStationId, 1);
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlNewButton));
        EXPECT_TRUE(EZ_MENUISENABLED("VL", kVlMenuNew));
    });
    r.SelectItem("VL", kVlStation, "All Stations");
    r.Do([] {
        EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 4);
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlNewButton));
    });
    // The quarter before: its own entry, and no days left.
    r.SelectItem("VL", kVlQuarter, "2018 - Oct-Dec");
    r.Do([] {
        ASSERT_EQ(EZ_LVROWCOUNT("VL", kVlList), 1);
        EXPECT_EQ(Cell(0, 3), "Old Show");
        EXPECT_EQ(Status(3), "\tDays to End of Quarter: 0");
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    // Closing saved the layout and the place.
    EXPECT_EQ(IniRead(Paths().settingsFile, "Column", "Names", ""),
              "Date|Time|Station|Program|Issues Addressed|Duration");
    EXPECT_NE(IniRead(Paths().settingsFile, "VL", "FormWid", ""), "");
}

TEST_F(MainWindowTest, SelectionDrivesTheCommandsAndDeleteRemovesEverything) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    r.SelectRow("VL", kVlList, 0);
    r.Do([] {
        EXPECT_EQ(Status(2), "\tSelected: 1");
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlCopyButton));
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlEditButton));
        EXPECT_TRUE(EZ_MENUISENABLED("VL", kVlMenuEdit));
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlDeleteButton));
    });
    std::vector<int64_t> doomed;
    r.SelectRow("VL", kVlList, 1, true);
    r.Do([&] {
        EXPECT_EQ(Status(2), "\tSelected: 2");
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlCopyButton));
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlEditButton));
        EXPECT_FALSE(EZ_MENUISENABLED("VL", kVlMenuCopy));
        EXPECT_FALSE(EZ_MENUISENABLED("VL", kVlMenuEdit));
        EXPECT_TRUE(EZ_TBISENABLED("VL", kVlDeleteButton));
        EXPECT_TRUE(EZ_MENUISENABLED("VL", kVlMenuDelete));
        doomed = {EZ_LVGETVALUE("VL", kVlList, 0), EZ_LVGETVALUE("VL", kVlList, 1)};
    });
    // Answering No keeps everything.
    r.Click("VL", kVlDeleteButton);
    prompts.Expect("Delete Selected Programs", 2);
    r.Do([] { EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 4); });
    r.Click("VL", kVlMenuDelete);
    prompts.Expect("Delete Selected Programs", 1);
    r.Do([&] {
        EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 2);
        for (int64_t mid : doomed) {
            EXPECT_EQ(CountWhere("Master", "MID = " + N(mid)), 0);
            EXPECT_EQ(CountWhere("Programs", "PID = " + N(mid)), 0);
            EXPECT_EQ(CountWhere("DateTime", "MLink = " + N(mid)), 0);
        }
        EXPECT_EQ(CountWhere("Master", "Qtr = 20191"), 2);
        EXPECT_EQ(Status(2), "\tSelected: 0");
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlDeleteButton));
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_GE(r.MessageTexts().size(), 1u);
    EXPECT_NE(r.MessageTexts()[0].find("want to delete the highlighted programs?"),
              std::string::npos);
}

// A delete that another program's lock makes fail leaves the rows listed.
TEST_F(MainWindowTest, AFailedDeleteKeepsTheRows) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    sqlite3* other = nullptr;
    r.Do([&] {
        sqlite3_open((Paths().dataFolder + "VantrelData.db3").c_str(), &other);
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_busy_timeout(slHandle(), 20);
    });
    r.SelectRow("VL", kVlList, 0);
    r.Click("VL", kVlDeleteButton);
    prompts.Expect("Delete Selected Program", 1);
    prompts.Expect("Delete Error", 1);
    r.Do([&] {
        EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 4);
        sqlite3_close(other);  // rolls back
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(MainWindowTest, NewProgramForAStationWithoutIssuesOffersTheIssuesList) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    r.SelectItem("VL", kVlStation, "WBBB-AM");
    r.Click("VL", kVlNewButton);
    prompts.Expect("Issues Not Present", 2);
    r.Do([] { EXPECT_FALSE(EZ_FORMEXISTS("IL")); });
    r.Click("VL", kVlMenuNew);
    prompts.Expect("Issues Not Present", 1);
    r.WaitForm("IL");
    r.Close("IL");
    r.WaitGone("IL");
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(MainWindowTest, HeaderClicksToggleTheDirection) {
    Seed();
    Robot r;
    r.Start();
    r.Do([] {
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 0), 0);
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 3), 3);
        EXPECT_EQ(Cell(0, 0), "01-01-2019");  // the rows as the arrow shows them
    });
    r.HeaderClick("VL", kVlList, 3);
    r.Do([] {
        EXPECT_EQ(Shell().sortColumn, 3);
        EXPECT_EQ(Shell().sortDirection, 0);
        EXPECT_EQ(Cell(0, 3), "Morning Talk");
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 3), 0);
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 0), 3);
    });
    r.HeaderClick("VL", kVlList, 3);
    r.Do([] {
        EXPECT_EQ(Shell().sortDirection, 1);
        EXPECT_EQ(Cell(0, 3), "Weekly Report");
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 3), 1);
    });
    r.SelectItem("VL", kVlStation, "WAAA-FM");  // a refill keeps the order the arrow shows
    r.Do([] { EXPECT_EQ(Cell(0, 3), "Weekly Report"); });
    r.HeaderClick("VL", kVlList, 1);
    r.Do([] {
        EXPECT_EQ(Shell().sortColumn, 1);
        EXPECT_EQ(Shell().sortDirection, 0);
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 1), 0);
        EXPECT_EQ(EZ_LVGETHEADERIMAGE("VL", kVlList, 3), 3);
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(MainWindowTest, ResizingFitsTheDurationColumnToTheList) {
    Seed();
    Robot r;
    r.Start();
    // Duration fills what the other columns leave of the list, without a
    // horizontal scroll bar, and follows the window as it widens.
    std::vector<double> durations;
    for (double width : {98.75, 140.0}) {
        r.Do([width] {
            double col, row, w, h;
            EZ_GETFORMPLACE("VL", col, row, w, h);
            EZ_SETFORMPLACE("VL", 2, 2, width, 40);
        });
        r.Do([width, &durations] {
            double all = 0, duration = 0;
            for (int c = 0; c < 6; ++c) {
                std::string caption;
                int px = 0, format = 0;
                EZ_LVGETCOLUMN("VL", kVlList, c, caption, px, format);
                all += EZ_PIXELSTOCOLS(px);
                if (c == 5) {
                    EXPECT_EQ(caption, "Duration");
                    duration = EZ_PIXELSTOCOLS(px);
                }
            }
            const double list = EZ_LVWIDTH("VL", kVlList);
            EXPECT_LE(all, list) << "window width " << width;
            EXPECT_GE(all, list - 4) << "window width " << width;
            durations.push_back(duration);
        });
    }
    r.Screenshot("VL", ScreenshotPath(folder.path(), "shell_main_window_wide.png"));
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_EQ(durations.size(), 2u);
    EXPECT_GT(durations[1] - durations[0], 30);  // the window grew by 41.25 columns
}

TEST_F(MainWindowTest, LastDayOfTheQuarterCountsOneAndTheFilingReminderShowsOnce) {
    Seed();
    SetClockOverride(ClockReading{2019, 3, 31, 18, 0, 0});
    IniWrite(Paths().settingsFile, "Filing", "Deadline", N(TodayJulian()));
    {
        Robot r;
        PromptQueue prompts(r);
        r.Start();
        prompts.Expect("Filing Reminder", 1);
        r.Do([] { EXPECT_EQ(Status(3), "\tDays to End of Quarter: 1"); });
        r.Close("VL");
        r.Run();
        EXPECT_TRUE(r.Ok()) << r.Errors();
    }
    EXPECT_EQ(IniRead(Paths().settingsFile, "Filing", "Deadline", ""), "0");
    // The next start the same day stays silent (an unexpected box fails the robot).
    Robot again;
    again.Start();
    again.Close("VL");
    again.Run();
    EXPECT_TRUE(again.Ok()) << again.Errors();
}

TEST_F(MainWindowTest, WithoutAPdfViewerPrintingIsDisabled) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.platform().pdfViewer = false;
    r.Start();
    prompts.Expect("Print Functions Have Been Disabled", 1);
    r.Do([&] {
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlPrintButton));
        EXPECT_FALSE(EZ_MENUISENABLED("VL", kVlMenuPrint));
        // The selection logic leaves Print alone.
        UpdateCommands();
        EXPECT_FALSE(EZ_TBISENABLED("VL", kVlPrintButton));
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_NE(std::find(r.platform().helpTopics.begin(), r.platform().helpTopics.end(), 460),
              r.platform().helpTopics.end());
}

TEST_F(MainWindowTest, HelpAndWebCommandsGoThroughThePlatform) {
    Seed();
    Robot r;
    r.Start();
    r.Click("VL", kVlMenuHelpTopics);
    r.Click("VL", kVlMenuHelpIndex);
    r.Key("VL", kVlList, kKeyF1);
    r.Click("VL", kVlHelpButton);
    r.Click("VL", kVlMenuWebsite);
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, (std::vector<int>{0, -1, 310, 310}));
    ASSERT_EQ(r.platform().opened.size(), 1u);
    EXPECT_EQ(r.platform().opened[0].rfind("https://www.example.com/", 0), 0u);
}

TEST_F(MainWindowTest, ASecondInstanceOpensNoWindow) {
    Robot r;
    r.platform().instanceFree = false;
    r.Start();
    r.Run(3000);
    EXPECT_FALSE(EZ_FORMEXISTS("VL"));
    EXPECT_EQ(r.platform().raiseRequests, 1);
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "Data"));
}

// --- "Add A Previous Quarter" ---

TEST_F(MainWindowTest, AddingAPreviousQuarterChecksTheQuarter) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    OpenAddQuarter(r, prompts);
    r.Do([] {
        EXPECT_EQ(Robot::Text("CQ", 0), "Add A Previous Quarter");
        EXPECT_FALSE(Robot::Enabled("CQ", "Create"));
        EXPECT_FALSE(Robot::Enabled("CQ", "Source"));
        EXPECT_TRUE(Robot::Checked("CQ", "Q1"));
        EXPECT_EQ(Robot::Text("CQ", "Source"), "2019 - Jan-Mar");
    });
    r.Key("CQ", "Year", kKeyF1);
    r.Screenshot("CQ", ScreenshotPath(folder.path(), "shell_add_quarter.png"));
    r.Type("CQ", "Year", "201");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("CQ", "Create")); });
    // Today's quarter is on file.
    r.Type("CQ", "Year", "2019");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("CQ", "Create")); });
    r.Click("CQ", "Create");
    prompts.Expect("Duplicate Quarters Not Permitted", 1);
    // A later quarter is refused.
    r.Click("CQ", "Q2");
    r.Click("CQ", "Create");
    prompts.Expect("Creation Error", 1);
    // Not a year.
    r.Type("CQ", "Year", "20x8");
    r.Click("CQ", "Create");
    prompts.Expect("Invalid Year", 1);
    r.Do([] {
        EXPECT_TRUE(EZ_FORMEXISTS("CQ"));
        EXPECT_EQ(CountWhere("Quarter", "QNumber < 20000"), 0);
    });
    // An earlier quarter, copied from today's: created, and the main window's
    // selector lists it while still showing the quarter it showed.
    r.Type("CQ", "Year", "2017");
    r.Click("CQ", "Q4");
    r.SetCheck("CQ", "CopyBox", true);
    r.Do([] { EXPECT_TRUE(Robot::Enabled("CQ", "Source")); });
    r.Click("CQ", "Create");
    r.WaitGone("CQ");
    r.Do([] {
        EXPECT_EQ(CountWhere("Quarter", "QNumber = 20174"), 1);
        EXPECT_EQ(CountWhere("Stations", "QtrID = 20174"), 2);
        EXPECT_EQ(CountWhere("Issues", "IQtr = 20174"), 2);
        EXPECT_GE(EZ_FINDITEM("VL", kVlQuarter, "2017 - Oct-Dec"), 0);
        EXPECT_EQ(Robot::Text("VL", kVlQuarter), "2019 - Jan-Mar");
        EXPECT_EQ(EZ_LVROWCOUNT("VL", kVlList), 4);
    });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

TEST_F(MainWindowTest, CancelAndHelpLeaveTheQuartersAlone) {
    Seed();
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    OpenAddQuarter(r, prompts);
    r.Type("CQ", "Year", "2015");
    r.Click("CQ", "Help");
    r.Click("CQ", "Cancel");
    r.WaitGone("CQ");
    r.Do([] { EXPECT_EQ(CountWhere("Quarter", "QNumber = 20151"), 0); });
    r.Close("VL");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_NE(std::find(r.platform().helpTopics.begin(), r.platform().helpTopics.end(), 390),
              r.platform().helpTopics.end());
}

}  // namespace

TEST_F(MainWindowTest, TooltipsFollowTheOption) {
    Seed();
    for (const char* tips : {"1", "0"}) {
        IniWrite(Paths().settingsFile, "Options", "TipsOn", tips);
        Robot r;
        r.Start();
        r.Do([tips] {
            const bool on = std::string(tips) == "1";
            EXPECT_EQ(EZ_GETTOOLTIP("VL", kVlQuarter),
                      on ? "Select a quarter to view, right-click to add a quarter" : "");
            EXPECT_EQ(
                EZ_GETTOOLTIP("VL", kVlStation),
                on ? "Select a station to filter programs, right-click to add/edit stations" : "");
        });
        r.Close("VL");
        r.Run();
        EXPECT_TRUE(r.Ok()) << r.Errors();
    }
}
