// The print dialog (PQ) and the analysis dialog (AN) driven through the robot.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "reports/analysis_report.h"
#include "reports/issues_programs_list.h"
#include "support/form_fixture.h"
#include "support/pdf_check.h"
#include "support/prompt_queue.h"
#include "support/report_fixture.h"

namespace {

class ReportDialogs : public FormTest {
protected:
    ReportDialogs()
        : FormTest({.clock = ClockReading{2019, 6, 24, 10, 0, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        SetDateSettings(1, false, false);
        FormTest::SetUp();
        if (HasFatalFailure()) return;
        std::filesystem::create_directories(Paths().pdfFolder);
        SeedQuarters({20184, 20191, 20192});
        wxyz = AddStation("WXYZ-FM", 20192);
        AddStation("KAAA", 20192);  // no programs: not offered
        const RowId old = AddStation("KOLD", 20191);
        AddProgram(wxyz, 20192, AddIssue(wxyz, 20192, "Crime"));
        AddProgram(old, 20191, AddIssue(old, 20191, "Old Issue"));
        Shell().currentQuarter = 20192;
        Shell().filterStationId = wxyz;
    }
    void TearDown() override {
        FormTest::TearDown();
        Shell().filterStationId = 0;
    }
    static RowId AddStation(const std::string& calls, int32_t q) {
        return SeedStation(calls, "Springfield, IL", q);
    }
    static RowId AddIssue(RowId sid, int32_t q, const std::string& title) {
        return SeedIssue(sid, q, title, "Details.", 0);
    }
    static void AddProgram(RowId sid, int32_t q, RowId iid) {
        SeedProgram({.station = sid,
                     .quarter = q,
                     .issues = IssueList({iid}),
                     .title = "Forum",
                     .duration = "30 minutes",
                     .airings = {{Mdy2JulianDate(q % 10 == 2 ? 4 : 1, 2, q / 10), 570}}});
    }

    RowId wxyz = 0;
};

TEST_F(ReportDialogs, PrintDialogSavesWhereChosenAndRemembersTheFolder) {
    const std::string chosen = folder.path() + "Filed/";
    std::filesystem::create_directories(chosen);
    Robot r;
    r.Do([] { OpenPrintDialog("", 20192, "WXYZ-FM"); });
    r.WaitForm("PQ");
    r.Do([] {
        EXPECT_EQ(Robot::Text("PQ", 0), "Print Issues & Programs List");
        EXPECT_EQ(Robot::Text("PQ", "Period"), "2019 - Apr-Jun");
        EXPECT_EQ(Robot::Text("PQ", "Station"), "WXYZ-FM");
        EXPECT_EQ(EZ_ITEMCOUNT("PQ", 105), 1);
        EXPECT_TRUE(Robot::Enabled("PQ", "Print"));
    });
    r.Screenshot("PQ", "/tmp/reports_pq.png");
    r.SetDate("PQ", "Placed", 2019, 7, 3, 0, 0);
    r.ExpectSaveDialog(chosen + "wxyz list.pdf");
    r.Click("PQ", "Print");
    r.Do([&] {
        const std::string path = chosen + "wxyz list.pdf";
        ASSERT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(r.platform().opened, std::vector<std::string>{path});
        EXPECT_EQ(IniRead(Paths().settingsFile, "PDF", "WXYZ-FM", ""), chosen);
        EXPECT_NE(PdfPlainText(path).find("Placed in the Public File July 3, 2019"),
                  std::string::npos);
    });
    // Another period refills the stations; a period without programs disables Print.
    r.SelectItem("PQ", "Period", "2019 - Jan-Mar");
    r.Do([] {
        EXPECT_EQ(Robot::Text("PQ", "Station"), "KOLD");
        EXPECT_TRUE(Robot::Enabled("PQ", "Print"));
    });
    r.SelectItem("PQ", "Period", "2018 - Oct-Dec");
    r.Do([] {
        EXPECT_EQ(EZ_ITEMCOUNT("PQ", 105), 0);
        EXPECT_FALSE(Robot::Enabled("PQ", "Print"));
    });
    r.Click("PQ", kHelpKeyId);
    r.Click("PQ", "Cancel");
    r.WaitGone("PQ");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{430});
}

TEST_F(ReportDialogs, AnalysisDialogForOneAndAllStations) {
    Robot r;
    PromptQueue prompts(r);
    r.Do([] { OpenAnalysis("", 20192, "WXYZ-FM"); });
    r.WaitForm("AN");
    r.Do([] {
        EXPECT_EQ(Robot::Text("AN", 0), "Vantrel Analysis");
        EXPECT_EQ(Robot::Text("AN", "Period"), "2019 - Apr-Jun");
        EXPECT_EQ(Robot::Text("AN", "Station"), "WXYZ-FM");
        ASSERT_EQ(EZ_ITEMCOUNT("AN", 105), 2);
        EXPECT_EQ(EZ_ITEMTEXT("AN", 105, 0), "All Stations");
        EXPECT_TRUE(Robot::Enabled("AN", "Analyze"));
    });
    r.Screenshot("AN", "/tmp/reports_an.png");
    r.Click("AN", "Analyze");
    r.SelectItem("AN", "Station", "All Stations");
    r.Click("AN", "Analyze");
    r.Do([&] {
        const std::string one = Paths().analysisFolder + "WXYZ-FM Analysis.PDF";
        const std::string all = Paths().analysisFolder + "All Stations Analysis.PDF";
        EXPECT_EQ(r.platform().opened, (std::vector<std::string>{one, all}));
        EXPECT_NE(PdfPlainText(one).find("WXYZ-FM Issues & Programs Analysis"), std::string::npos);
        EXPECT_NE(PdfPlainText(all).find("TOTAL PROGRAMS AIRED"), std::string::npos);
    });
    // A period without programs still offers "All Stations".
    r.SelectItem("AN", "Period", "2018 - Oct-Dec");
    r.Do([] {
        EXPECT_EQ(EZ_ITEMCOUNT("AN", 105), 1);
        EXPECT_EQ(Robot::Text("AN", "Station"), "All Stations");
    });
    // ... and analysing it says there is nothing, writes and opens nothing.
    r.Click("AN", "Analyze");
    prompts.Expect("Nothing to Analyze", 1);
    r.Do([&] { EXPECT_EQ(r.platform().opened.size(), 2u); });
    r.Key("AN", 0, kKeyF1);
    r.Click("AN", "Exit");
    r.WaitGone("AN");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{300});
}

}  // namespace
