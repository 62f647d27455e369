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
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

constexpr int kReportText = 125, kToDesktop = 140, kAgree = 145, kTermsLink = 150, kCreate = 155,
              kCancel = 160, kHelp = 165;

class ServiceReportForm : public FormTest {
protected:
    ServiceReportForm() : FormTest({.freshDatabase = true, .tipsOn = true}) {}
    static void Open(Robot& r) { r.OpenForm("SR", "", "Service Report", 50, 7); }
    std::string Zip() const { return folder.path() + "Vantrel_ServiceReport.zip"; }
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
        heading = Robot::Text("SR", "Heading");
        shown = Robot::Text("SR", kReportText);
        tip = EZ_GETTOOLTIP("SR", kToDesktop);
        hand = Robot::HandCursor("SR", kTermsLink);
    });
    r.Screenshot("SR", ScreenshotPath(folder.path(), "service_report.png"));
    r.Click("SR", kTermsLink);
    r.WaitForm("TS");
    r.Click("TS", "Ok");
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
    const std::string desktop = folder.path() + "Desktop/";
    fs::create_directories(desktop);
    for (bool toDesktop : {false, true}) {
        SCOPED_TRACE(toDesktop ? "to the desktop" : "no mail program");
        const std::string title = toDesktop ? "Service Report" : "Email Client Error";
        const std::string where = toDesktop ? desktop : folder.path();  // the report file's folder
        Robot r;
        r.platform().desktopFolder = desktop;
        PromptQueue prompts(r);
        std::string secondText;
        MsgShownHook previous = SetMsgShownHook([&] {
            secondText += Robot::Text(kMsgBoxForm, kMsgText2Id);
            EZ_SCREENSHOT(kMsgBoxForm,
                          ScreenshotPath(folder.path(), toDesktop ? "service_report_desktop.png"
                                                                  : "service_report_no_mail.png"));
        });
        Open(r);
        r.SetCheck("SR", kToDesktop, toDesktop);
        r.SetCheck("SR", kAgree, true);
        r.Click("SR", kCreate);
        prompts.Expect(title, 1);
        r.WaitGone("SR");
        r.Run();
        SetMsgShownHook(previous);
        EXPECT_TRUE(r.Ok()) << r.Errors();
        ASSERT_EQ(r.MessageTitles(), std::vector<std::string>{title});
        if (!toDesktop)
            EXPECT_TRUE(
                StartsWith(r.MessageTexts()[0], "Unable to open your default email client."));
        for (const std::string& part :
             {std::string("Vantrel_ServiceReport.zip"), where.substr(0, where.size() - 1),
              std::string("support@kelvora.com")})
            EXPECT_NE(secondText.find(part), std::string::npos) << secondText;
        EXPECT_TRUE(fs::exists(where + "Vantrel_ServiceReport.zip"));
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
