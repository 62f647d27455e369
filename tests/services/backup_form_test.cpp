// The backup dialog BU driven through the robot, in backup and restore mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/toolkit/robot.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/backup.h"
#include "services/backups.h"
#include "services/maintenance.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/seed.h"

namespace {

namespace fs = std::filesystem;
const std::string kShots = "/tmp/";

class BackupFormTest : public FormTest {
protected:
    BackupFormTest()
        : FormTest({.clock = ClockReading{2013, 3, 1, 10, 0, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        fs::create_directories(Paths().backupFolder);
        SeedProgramRow("Morning Talk", "1");
    }
    void TearDown() override {
        Opts() = Options{};
        FormTest::TearDown();
    }
    // Opens BU in a mode as the main window does; `refreshed` gets its answer.
    void Open(Robot& r, int mode) {
        r.Do([this, mode] { refreshed = OpenBackupDialog(mode, ""); });
        r.WaitForm("BU");
    }
    static std::string Setting(const char* key) {
        return IniRead(Paths().settingsFile, kBackupSection, key, "");
    }
    static std::string DatabaseBytes() {
        slClose();
        std::string bytes = ReadFileText(DatabasePath());
        OpenDatabaseFile(DatabasePath());
        return bytes;
    }

    bool refreshed = false;
};

TEST_F(BackupFormTest, DecliningTheOverwriteLeavesTheFileUntouched) {
    Opts().autoName = false;
    const std::string old = Paths().backupFolder + "old.zip";
    WriteFileText(old, "precious");
    IniWrite(Paths().settingsFile, kBackupSection, kLastBackupKey, old);
    Robot r;
    PromptQueue prompts(r);
    Open(r, kBackupMode);
    r.Do([&] {
        EXPECT_EQ(Robot::Text("BU", 0), "Backup Vantrel Database");
        EXPECT_EQ(Robot::Text("BU", kBuBackupPath), old);
        for (int id : {kBuRestoreHeading, kBuRestorePath, kBuRestore, kBuRestorePicture})
            EXPECT_FALSE(Robot::Visible("BU", id)) << id;
    });
    r.Screenshot("BU", ScreenshotPath(kShots, "backup_form_backup.png"));
    r.Click("BU", kBuBackup);
    prompts.Expect("Warning!", 2);
    r.Do([&] {
        EXPECT_TRUE(Robot::FormExists("BU"));
        EXPECT_EQ(ReadFileText(old), "precious");
    });
    // A file chosen in the dialog gets the zip extension; a path that cannot
    // be written is reported and the dialog stays.
    r.ExpectSaveDialog(Paths().backupFolder + "my.backup.name");
    r.Click("BU", kBuBackupChoose);
    r.Do([&] {
        EXPECT_EQ(Robot::Text("BU", kBuBackupPath), Paths().backupFolder + "my.backup.zip");
    });
    r.Type("BU", kBuBackupPath, "");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("BU", kBuBackup)); });
    // A folder that is not there (a drive not plugged in) is named as such.
    r.Type("BU", kBuBackupPath, Paths().backupFolder + "missing/x.zip");
    r.Click("BU", kBuBackup);
    prompts.Expect("Backup Error", 1);
    r.Do([&] {
        EXPECT_TRUE(Robot::FormExists("BU"));
        ASSERT_FALSE(r.MessageTexts().empty());
        EXPECT_NE(r.MessageTexts().back().find("does not exist"), std::string::npos);
    });
    r.Key("BU", kBuBackupPath, kKeyEsc);
    r.WaitGone("BU");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(refreshed);
    EXPECT_EQ(Setting(kLastDateKey), "");
}

// Without automatic names and without an earlier backup the box proposes a
// file in the backup folder, and Backup writes it.
TEST_F(BackupFormTest, FirstBackupWithoutAutomaticNamesProposesAFile) {
    Opts().autoName = false;
    const std::string proposed = Paths().backupFolder + "20130301-100000-Backup.zip";
    Robot r;
    PromptQueue prompts(r);
    Open(r, kBackupMode);
    r.Do([&] { EXPECT_EQ(Robot::Text("BU", kBuBackupPath), proposed); });
    r.Click("BU", kBuBackup);
    prompts.Expect("Backup Complete", 1);
    r.WaitGone("BU");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(fs::is_regular_file(proposed));
}

TEST_F(BackupFormTest, RestoreFromAFileThatIsNoZipKeepsTheDatabase) {
    const std::string notZip = Paths().backupFolder + "notes.zip";
    WriteFileText(notZip, "not an archive");
    IniWrite(Paths().settingsFile, kBackupSection, kLastBackupKey,
             Paths().backupFolder + "gone.zip");
    const std::string before = DatabaseBytes();
    Robot r;
    PromptQueue prompts(r);
    Open(r, kRestoreMode);
    r.Do([] {
        EXPECT_EQ(Robot::Text("BU", 0), "Restore Database");
        EXPECT_EQ(Robot::Text("BU", kBuRestorePath), "");
        EXPECT_FALSE(Robot::Enabled("BU", kBuRestore));
        for (int id : {kBuRestoreHeading, kBuRestoreLabel, kBuRestorePath, kBuRestorePicture})
            EXPECT_TRUE(Robot::Visible("BU", id)) << id;
        for (int id : {kBuBackupPicture, kBuBackupPath, kBuBackup})
            EXPECT_FALSE(Robot::Visible("BU", id)) << id;
    });
    r.ExpectOpenDialog(notZip);
    r.Click("BU", kBuRestoreChoose);
    r.Do([&] {
        EXPECT_EQ(Robot::Text("BU", kBuRestorePath), notZip);
        EXPECT_TRUE(Robot::Enabled("BU", kBuRestore));
    });
    r.Screenshot("BU", ScreenshotPath(kShots, "backup_form_restore.png"));
    r.Key("BU", kBuRestorePath, kKeyF1);
    // No: nothing happens.
    r.Click("BU", kBuRestore);
    prompts.Expect("Restore Database", 2);
    r.Do([] { EXPECT_TRUE(Robot::FormExists("BU")); });
    r.Click("BU", kBuRestore);
    prompts.Expect("Restore Database", 1);
    prompts.Expect("Restoration Failed", 1);
    prompts.Expect("Event Records Preserved", 1);
    r.WaitGone("BU");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{340});
    EXPECT_TRUE(refreshed);
    EXPECT_EQ(DatabaseBytes(), before);
    EXPECT_FALSE(fs::exists(Paths().backupFolder + "temp.zip"));
}

TEST_F(BackupFormTest, ReminderBackupNowOpensTheDialogInBackupMode) {
    Opts().backupSeq = 0;
    IniWrite(Paths().settingsFile, kBackupSection, kLastDateKey, "02-27-2013");
    Robot r;
    PromptQueue prompts(r);
    r.Do([] { BackupReminder(); });
    prompts.Expect("Backup Reminder!", 1);
    r.WaitForm("BU");
    r.Do([] {
        EXPECT_EQ(Robot::Text("BU", 0), "Backup Vantrel Database");
        EXPECT_TRUE(Robot::Visible("BU", kBuBackup));
    });
    r.Click("BU", kBuCancel);
    r.WaitGone("BU");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(Setting(kLastDateKey), "02-27-2013");  // nothing was backed up
}

}  // namespace
