// The service-report dialog SR and its terms TS, driven through the robot.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/ez_testing.h"
#include "app/toolkit/robot.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

constexpr int kReportText = 125, kToDesktop = 140, kAgree = 145, kTermsLink = 150, kCreate = 155,
              kCancel = 160, kHelp = 165;

class ServiceReportForm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EzTestInit();
        DefineFontsAndColours();
    }
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        ASSERT_TRUE(IniWrite(Paths().settingsFile, "Options", "TipsOn", "1"));
        Opts().tipsOn = true;
    }
    static void Open(Robot& r) { r.OpenForm("SR", "", "Service Report", 50, 7); }
    std::string Zip() const { return folder.path() + "Vantrel_ServiceReport.zip"; }

    TempProgramFolder folder;
};

// The terms and the "Create Report" switch are played by the scenario; here:
// what the dialog shows, its tool tip, link cursor, help and Esc.
TEST_F(ServiceReportForm, ShowsTheFileTextAndOpensTheTerms) {
    Robot r;
    std::string caption, heading, shown, tip;
    bool hand = false;
    Open(r);
    r.Do([&] {
        caption = Robot::Text("SR", 0);
        heading = Robot::Text("SR", 100);
        shown = Robot::Text("SR", kReportText);
        tip = EZ_GETTOOLTIP("SR", kToDesktop);
        hand = Robot::HandCursor("SR", kTermsLink);
    });
    r.Screenshot("SR", ScreenshotPath(folder.path(), "service_report.png"));
    r.Click("SR", kTermsLink);
    r.WaitForm("TS");
    r.Click("TS", 105);
    r.WaitGone("TS");
    r.Click("SR", kHelp);
    r.Key("SR", kReportText, kKeyF1);
    // Esc in the report box closes the dialog without making a report.
    r.Key("SR", kReportText, kKeyEsc);
    r.WaitGone("SR");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();

    EXPECT_EQ(caption, "Vantrel Service Report");
    EXPECT_EQ(heading, "Vantrel Service Report");
    // The box shows exactly what the file holds (the box shows line ends as "\n").
    const std::string file = ReadFileText(folder.path() + "ServiceReport.txt");
    EXPECT_EQ(shown, ReplaceAll(file, "\r\n", "\n"));
    EXPECT_TRUE(StartsWith(shown, "Program: Vantrel 1.8.4.0\nOperating System:\n"));
    EXPECT_EQ(tip, "Check this box if you are using web-based email");
    EXPECT_TRUE(hand);
    EXPECT_EQ(r.platform().helpTopics, (std::vector<int>{350, 350}));
    EXPECT_FALSE(fs::exists(Zip()));
}

// Without a mail program, and with the file put on the desktop, the dialog
// ends with one message: the report file, its folder and where to send it.
TEST_F(ServiceReportForm, WithoutAMailHandOffOneMessageSaysWhereToSendTheFile) {
    struct Case {
        const char* name;
        bool toDesktop;
        const char* title;
        const char* text1;
        std::string folder;  // where the report file is said to be
    };
    const std::string desktop = folder.path() + "Desktop/";
    fs::create_directories(desktop);
    const std::vector<Case> cases = {
        {"no mail program", false, "Email Client Error",
         "Unable to open your default email client.", folder.path()},
        {"to the desktop", true, "Service Report", "The report file has been put on your desktop.",
         desktop},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(desktop + "Vantrel_ServiceReport.zip");
        Robot r;
        r.platform().desktopFolder = desktop;
        PromptQueue prompts(r);
        std::vector<std::string> secondTexts;
        MsgShownHook previous = SetMsgShownHook([&] {
            secondTexts.push_back(Robot::Text(kMsgBoxForm, kMsgText2Id));
            EZ_SCREENSHOT(
                kMsgBoxForm,
                ScreenshotPath(folder.path(), std::string("service_report_") +
                                                  (c.toDesktop ? "desktop" : "no_mail") + ".png"));
        });
        Open(r);
        r.SetCheck("SR", kToDesktop, c.toDesktop);
        r.SetCheck("SR", kAgree, true);
        r.Click("SR", kCreate);
        prompts.Expect(c.title, 1);
        r.WaitGone("SR");
        r.Run();
        SetMsgShownHook(previous);
        EXPECT_TRUE(r.Ok()) << r.Errors();
        ASSERT_EQ(r.MessageTitles(), std::vector<std::string>{c.title});
        EXPECT_TRUE(StartsWith(r.MessageTexts()[0], c.text1)) << r.MessageTexts()[0];
        ASSERT_EQ(secondTexts.size(), 1u);
        for (const std::string& part :
             {std::string("Vantrel_ServiceReport.zip"), c.folder.substr(0, c.folder.size() - 1),
              std::string("support@kelvora.com")})
            EXPECT_NE(secondTexts[0].find(part), std::string::npos) << secondTexts[0];
        EXPECT_TRUE(fs::exists(c.folder + "Vantrel_ServiceReport.zip"));
        EXPECT_TRUE(fs::exists(Zip()));
        EXPECT_TRUE(r.platform().mails.empty());
    }
}

TEST_F(ServiceReportForm, UnwritableReportFileIsToldAndTheTextStillShown) {
    fs::create_directories(folder.path() + "ServiceReport.txt/inside");
    Robot r;
    PromptQueue prompts(r);
    std::string shown;
    Open(r);
    prompts.Expect("Service Report", 1);
    r.Do([&] { shown = Robot::Text("SR", kReportText); });
    r.Click("SR", kCancel);
    r.WaitGone("SR");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_EQ(r.MessageTexts().size(), 1u);
    EXPECT_TRUE(StartsWith(r.MessageTexts()[0], "Unable to write the report text to the file:"));
    EXPECT_TRUE(StartsWith(shown, "Program: Vantrel 1.8.4.0\n"));
}

}  // namespace
