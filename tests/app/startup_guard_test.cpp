// The real start-up driven through the robot: a second copy on the same data
// ends with a message, and a damaged database is said before the main window
// shows its (read-only) lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/data_folder.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

class StartupGuard : public FormTest {
protected:
    StartupGuard()
        : FormTest({.clock = ClockReading{2019, 2, 15, 10, 0, 0}, .programFolder = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        fs::create_directories(Paths().dataFolder);
    }
    void TearDown() override {
        FormTest::TearDown();
        ReleaseDataLock();
    }
};

TEST_F(StartupGuard, SecondCopyOnTheSameDataEnds) {
    DataLock otherCopy(Paths().dataFolder);
    ASSERT_TRUE(otherCopy.held());
    WriteFileText(Paths().appFolder + ".Vantrel.ini.Ab12Cd", "left by a cut-short write");
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    prompts.Expect("Vantrel Is Already Running", 1);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(EZ_FORMEXISTS("VL"));
    EXPECT_FALSE(slIsOpen());
    // The running copy's files are left alone.
    EXPECT_TRUE(fs::exists(Paths().appFolder + ".Vantrel.ini.Ab12Cd"));
}

TEST_F(StartupGuard, DamagedDatabaseIsSaidAndOpenedReadOnly) {
    ASSERT_TRUE(folder.OpenFreshDatabase());
    SeedQuarter(20191, 1, 2);
    SeedStation("WAAA", "Town", 20191);
    ExecSql("CREATE TABLE Filler (t)");
    for (int i = 0; i < 200; ++i) ExecSql("INSERT INTO Filler VALUES (hex(randomblob(300)))");
    slClose();
    {
        std::fstream f(Paths().dataFolder + "VantrelData.db3",
                       std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(4096 * 4);
        std::string junk(4096 * 4, '\x5A');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    WriteFileText(Paths().appFolder + ".Vantrel.ini.Ab12Cd", "left by a cut-short write");
    const std::string shot = ScreenshotPath(folder.path(), "database-damaged.png");
    bool taken = false;
    MsgShownHook previous = SetMsgShownHook([&] {
        if (!taken) taken = EZ_SCREENSHOT("DGMSGBOX1", shot);
    });
    Robot r;
    PromptQueue prompts(r);
    r.Start();
    prompts.Expect("Database Damaged", 2);  // Continue Read-Only
    r.WaitForm("VL");
    r.Do([] {
        EXPECT_TRUE(slIsReadOnly());
        EXPECT_EQ(Robot::Text("VL", kVlQuarter), "2019 - Jan-Mar");
    });
    r.Close("VL");
    r.WaitGone("VL");
    r.Run();
    SetMsgShownHook(previous);
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_TRUE(taken);
    // Leftovers of a cut-short settings write are gone after a start.
    EXPECT_FALSE(fs::exists(Paths().appFolder + ".Vantrel.ini.Ab12Cd"));
}

}  // namespace
