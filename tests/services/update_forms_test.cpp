// The update's forms driven through the robot: the progress dialog ZD with
// its bar and Cancel during a slow download, and the What's New form WN after
// an update.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/base/app_state.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "services/http_client.h"
#include "services/update.h"
#include "services/update_check.h"
#include "support/form_fixture.h"
#include "support/loopback_http.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

class UpdateFormsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        const LoopbackCertificate cert = MakeLoopbackCertificate(folder.path() + "tls");
        ASSERT_TRUE(server.UseTls(cert));
        endpoints.versionFileUrl = server.HttpsUrl("/VLVersion.txt");
        endpoints.caFile = cert.cert;
        endpoints.productPage = "https://www.vantrel.com/vantrel/";
        endpoints.downloadPort = server.port();
        SetUpdateEndpointsForTests(&endpoints);
        UpdateState() = UpdateSession{};
        ForgetHttpConnection();
        // A slow installer: a quarter at once, the rest in small pieces.
        installer = "#!/bin/sh\nexit 0\n" + std::string(400000, '#') + "\n";
        HttpReply slow = OkReply(installer);
        slow.burstBytes = 100000;
        slow.pieceSize = 4096;
        slow.pieceDelayMs = 30;
        server.Serve("/files/setup.sh", slow);
        server.Serve("/VLVersion.txt", OkReply("127.0.0.1 /files/setup.sh setup.sh " +
                                               Sha256Hex(installer) + "\n1.8.5.0"));
    }
    void TearDown() override {
        SetUpdateEndpointsForTests(nullptr);
        UpdateState() = UpdateSession{};
        FormTest::TearDown();
    }
    LoopbackHttpServer server;
    UpdateEndpoints endpoints;
    std::string installer;
};

TEST_F(UpdateFormsTest, CancelOnTheProgressDialogStopsTheDownloadAndLeavesNoFile) {
    Robot r;
    PromptQueue prompts(r);
    int result = -99, progress = -1;
    std::string caption, frame, button;
    r.Do([&] { result = CheckForUpdate("", endpoints.versionFileUrl, kVersionFull, 1); });
    prompts.Expect("New Version Available", 1);
    r.WaitForm("ZD");
    r.Do([&] {
        caption = Robot::Text("ZD", 0);
        frame = Robot::Text("ZD", kZdFrame);
        button = Robot::Text("ZD", kZdCancel);
        progress = EZ_GETVALUE("ZD", kZdProgress);
    });
    r.Screenshot("ZD", ScreenshotPath(folder.path(), "update_progress.png"));
    r.Click("ZD", kZdCancel);
    r.WaitGone("ZD");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(caption, "Updating...");
    EXPECT_EQ(frame, "Downloading Program Update");
    EXPECT_EQ(button, "&Cancel");
    EXPECT_GT(progress, 0) << "the bar moves with the bytes received";
    EXPECT_LT(progress, static_cast<int>(installer.size()));
    EXPECT_TRUE(UpdateState().cancelled);
    EXPECT_FALSE(UpdateState().installerPending);
    EXPECT_FALSE(fs::exists(folder.path() + "setup.sh"));
    EXPECT_FALSE(fs::exists(folder.path() + "setup.sh.part"));
    EXPECT_EQ(UpdateSetting("Install"), "");
    EXPECT_TRUE(r.platform().started.empty());
}

TEST_F(UpdateFormsTest, DownloadFileReturnsMinusTwoWhenCancelled) {
    Robot r;
    int result = -99;
    r.Do([&] {
        EZ_FORM("ZD", "", "Updating...", -1, -1, 52, 8.5, "N");
        result = DownloadFile("127.0.0.1", "/files/setup.sh", 1, "", "", folder.path() + "x.sh");
        EZ_DESTROYFORM("ZD");
    });
    r.WaitForm("ZD");
    r.Close("ZD");  // the window's close control cancels as well
    r.WaitGone("ZD");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(result, -2);
    EXPECT_FALSE(fs::exists(folder.path() + "x.sh"));
}

TEST_F(UpdateFormsTest, WhatsNewShowsTheReleaseNotesOfTheNewVersion) {
    WriteFileText(folder.path() + "Release Notes.rtf",
                  ReadFileText(SourceFolder() + "resources/Release Notes.rtf"));
    WriteUpdateSetting("NewVer", "1.8.5.0");
    std::string heading, product, notes;
    {
        Robot r;
        PromptQueue prompts(r);
        r.Do([] { FinishUpdate("/update"); });
        prompts.Expect("Update Process Complete", 1);
        r.WaitForm("WN");
        r.Do([&] {
            heading = Robot::Text("WN", kWnHeading);
            product = Robot::Text("WN", kWnProduct);
            notes = Robot::Text("WN", kWnNotes);
        });
        r.Screenshot("WN", ScreenshotPath(folder.path(), "update_whats_new.png"));
        r.Key("WN", 0, kKeyF1);
        r.Click("WN", kWnOk);
        r.WaitGone("WN");
        r.Run();
        EXPECT_TRUE(r.Ok()) << r.Errors();
        EXPECT_EQ(heading, "Here's What's New in");
        EXPECT_EQ(product, "Vantrel 1.8.5.0:");
        EXPECT_NE(notes.find("Backup reminders can now follow"), std::string::npos) << notes;
        EXPECT_EQ(notes.find("\\par"), std::string::npos);
        EXPECT_EQ(r.platform().helpTopics, std::vector<int>{360});
    }

    // Without notes and without a version.
    fs::remove(folder.path() + "Release Notes.rtf");
    UpdateState().newVersion.clear();
    Robot again;
    again.OpenForm("WN", "", "Update Information", 64, 27);
    again.Do([&] {
        product = Robot::Text("WN", kWnProduct);
        notes = Robot::Text("WN", kWnNotes);
    });
    again.Click("WN", kWnOk);
    again.Run();
    EXPECT_TRUE(again.Ok()) << again.Errors();
    EXPECT_EQ(product, "Vantrel:");
    EXPECT_EQ(notes, "No information available.");
}

}  // namespace
