// The options record: defaults, reading flags and numbers, saving, and the
// options dialog driven through the robot.
#include "app/base/options.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"

namespace {

// A key of the settings file as stored, "<absent>" when it is not there.
std::string Read(const char* section, const char* key) {
    return IniRead(Paths().settingsFile, section, key, "<absent>");
}

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { Opts() = Options{}; }
    void Ini(const char* section, const char* key, const char* value) {
        IniWrite(Paths().settingsFile, section, key, value);
    }
    TempProgramFolder folder;
};

TEST_F(OptionsTest, FreshInstallationDefaults) {
    Opts().tipsOn = false;  // whatever was there before is replaced
    Opts().fontSize = 3;
    LoadOptions();
    const Options& o = Opts();
    EXPECT_EQ(o.copyStations, 0);
    EXPECT_TRUE(o.copyIssues);
    EXPECT_TRUE(o.alertDeadline);
    EXPECT_TRUE(o.tipsOn);
    EXPECT_TRUE(o.update);
    EXPECT_FALSE(o.enableBackup);
    EXPECT_EQ(o.backupSeq, 0);
    EXPECT_EQ(o.weekNum, 0);
    EXPECT_EQ(o.backupDow, 0);
    EXPECT_TRUE(o.autoName);
    EXPECT_TRUE(o.warnOverwrite);
    EXPECT_EQ(o.dateFormat, 1);
    EXPECT_FALSE(o.slash);
    EXPECT_FALSE(o.mondayStart);
    EXPECT_EQ(o.fontSize, 9);
    EXPECT_EQ(Dates().format, 1);
    EXPECT_EQ(Dates().separator, "-");
}

TEST_F(OptionsTest, StoredTextsAreReadAsFlagsAndNumbers) {
    struct Case {
        const char* section;
        const char* key;
        const char* stored;
        int expected;
    } cases[] = {
        {"Options", "TipsOn", "2", 0},
        {"Options", "TipsOn", "3", 1},
        {"Options", "TipsOn", "abc", 0},
        {"Options", "TipsOn", "1x", 1},
        {"Options", "TipsOn", "-1", 1},
        {"Options", "CopyStations", "1", 1},
        {"Options", "CopyStations", "4", 0},
        {"Backup", "BackupSeq", "2", 2},
        {"Backup", "BackupDow", "6", 6},
        {"Backup", "WeekNum", "4", 4},
        // Out of its list's range a number falls back to the default.
        {"Backup", "BackupSeq", "3", 0},
        {"Backup", "BackupDow", "-1", 0},
        {"Dates", "Format", "9", 1},
        {"Dates", "Format", "0", 0},
        {"Font", "Size", "14", 14},
        {"Font", "Size", "40", 9},
    };
    for (const Case& c : cases) {
        Ini(c.section, c.key, c.stored);
        LoadOptions();
        const OptionKey* key = nullptr;
        for (const OptionKey& k : OptionTable())
            if (std::string(k.key) == c.key) key = &k;
        ASSERT_NE(key, nullptr) << c.key;
        EXPECT_EQ(OptionValue(Opts(), *key), c.expected) << c.key << "=" << c.stored;
    }
}

TEST_F(OptionsTest, DateSettingsFollowTheLoadedOptions) {
    Ini("Dates", "Format", "2");
    Ini("Dates", "Slash", "1");
    Ini("Dates", "MondayStart", "1");
    LoadOptions();
    EXPECT_EQ(Dates().format, 2);
    EXPECT_EQ(Dates().separator, "/");
    EXPECT_TRUE(Dates().mondayStart);
    SetDateSettings(1, false, false);
}

TEST_F(OptionsTest, SaveWritesEveryKeyAndRoundTrips) {
    Options o;
    o.copyStations = 1;
    o.copyIssues = false;
    o.alertDeadline = false;
    o.tipsOn = false;
    o.update = false;
    o.enableBackup = true;
    o.backupSeq = 2;
    o.weekNum = 4;
    o.backupDow = 6;
    o.autoName = false;
    o.warnOverwrite = false;
    o.dateFormat = 2;
    o.slash = true;
    o.mondayStart = true;
    o.fontSize = 12;
    SaveOptions(o);

    EXPECT_EQ(Read("Options", "DateFormat"), "2");
    EXPECT_EQ(Read("Dates", "Format"), "2");
    EXPECT_EQ(Read("Options", "CopyStations"), "1");
    EXPECT_EQ(Read("Dates", "Slash"), "1");
    EXPECT_EQ(Read("Options", "TipsOn"), "0");
    // The description size belongs to the program editor.
    EXPECT_EQ(Read("Font", "Size"), "<absent>");
    // DateFormat comes first, ahead of the other keys of its section.
    std::string text = ReadFileText(Paths().settingsFile);
    EXPECT_LT(text.find("DateFormat="), text.find("CopyStations="));

    LoadOptions();
    Options back = Opts();
    back.fontSize = 12;
    for (const OptionKey& k : OptionTable())
        EXPECT_EQ(OptionValue(back, k), OptionValue(o, k)) << k.key;
    SetDateSettings(1, false, false);
}

// The options dialog on screen, driven as a person would.
class OptionsDialogTest : public FormTest {
protected:
    OptionsDialogTest() : FormTest({.clock = ClockReading{2019, 6, 24, 10, 30, 0}}) {}
    void SetUp() override {
        FormTest::SetUp();
        Opts() = Options{};
        LoadOptions();
        r.Do([this] { saved = OpenProgramOptions(""); });
        r.WaitForm("PO");
    }
    void TearDown() override {
        FormTest::TearDown();
        SetDateSettings(1, false, false);
    }
    bool saved = false;  // what the dialog told its opener
    Robot r;
    PromptQueue prompts{r};
};

TEST_F(OptionsDialogTest, BackupSequenceLayout) {
    struct Shown {
        bool week, every, weekday;
    };
    std::vector<Shown> seen;
    bool sequenceEnabledAtStart = true, saveEnabledAtStart = true;
    auto look = [&] {
        seen.push_back({Robot::Visible("PO", kPoWeekOfMonth), Robot::Visible("PO", kPoEvery),
                        Robot::Visible("PO", kPoWeekday)});
    };
    r.Do([&] {
        sequenceEnabledAtStart = Robot::Enabled("PO", kPoSequence);
        saveEnabledAtStart = Robot::Enabled("PO", kPoSave);
        look();
    });
    r.SetCheck("PO", kPoReminder, true);  // the reminder first, so that the list can be used
    r.SelectItem("PO", kPoSequence, "Weekly");
    r.Do(look);
    r.SelectItem("PO", kPoSequence, "Monthly");
    r.Do(look);
    r.SelectItem("PO", kPoWeekday, "Friday");
    r.SetCheck("PO", kPoReminder, false);
    r.Do([&] {
        EXPECT_FALSE(Robot::Enabled("PO", kPoSequence));
        EXPECT_FALSE(Robot::Enabled("PO", kPoWeekOfMonth));
        EXPECT_FALSE(Robot::Enabled("PO", kPoWeekday));
        EXPECT_TRUE(Robot::Visible("PO", kPoWeekday));
    });
    r.Click("PO", kPoSave);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();

    EXPECT_FALSE(sequenceEnabledAtStart);
    EXPECT_FALSE(saveEnabledAtStart);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_FALSE(seen[0].week || seen[0].every || seen[0].weekday);  // daily
    EXPECT_FALSE(seen[1].week);                                      // weekly
    EXPECT_TRUE(seen[1].every && seen[1].weekday);
    EXPECT_TRUE(seen[2].week && seen[2].weekday);  // monthly
    EXPECT_FALSE(seen[2].every);
    EXPECT_EQ(Read("Backup", "BackupSeq"), "2");
    EXPECT_EQ(Read("Backup", "BackupDow"), "4");
    EXPECT_EQ(Read("Backup", "EnableBackup"), "0");
    EXPECT_EQ(Read("Backup", "LastDate"), "<absent>");  // no reminder, no schedule
    EXPECT_EQ(Opts().backupDow, 4);
    EXPECT_TRUE(saved);
}

// Switching the reminder on before any backup starts its schedule that day;
// a backup already recorded keeps its day.
TEST_F(OptionsDialogTest, SwitchingTheReminderOnStartsItsSchedule) {
    r.SetCheck("PO", kPoReminder, true);
    r.Click("PO", kPoSave);
    r.WaitGone("PO");
    std::string started;
    r.Do([&] {
        started = Read("Backup", "LastDate");
        IniWrite(Paths().settingsFile, "Backup", "LastDate", "05-02-2019");
    });
    r.OpenForm("PO", "", "Program Options", kOptionsFormWidth, kOptionsFormHeight);
    r.SelectItem("PO", kPoSequence, "Monthly");
    r.Click("PO", kPoSave);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(started, "06-24-2019");
    EXPECT_EQ(Read("Backup", "LastDate"), "05-02-2019");
}

TEST_F(OptionsDialogTest, DateFormatActsAtOnceAndNoRestoresIt) {
    std::string before, after, nameExample;
    r.Do([&] {
        before = Robot::Text("PO", kPoDateExample);
        nameExample = Robot::Text("PO", kPoNameExample);
    });
    r.SelectItem("PO", kPoDateFormat, "DD-MM-YYYY");
    r.Do([&] {
        after = Robot::Text("PO", kPoDateExample);
        EXPECT_EQ(Dates().format, 2);
    });
    r.SetCheck("PO", kPoSlashes, true);
    r.Do([&] { EXPECT_EQ(Robot::Text("PO", kPoDateExample), "(24/06/2019)"); });
    r.Close("PO");
    prompts.Expect("Changes Not Saved", 2);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(before, "(06-24-2019)");
    EXPECT_EQ(after, "(24-06-2019)");
    EXPECT_EQ(nameExample, "(Example: " + DateTimeStamp() + "-Backup.zip)");
    EXPECT_EQ(Dates().format, 1);
    EXPECT_EQ(Dates().separator, "-");
    EXPECT_EQ(Opts().dateFormat, 1);
    EXPECT_EQ(Read("Dates", "Format"), "<absent>");
    EXPECT_FALSE(saved);
}

TEST_F(OptionsDialogTest, CancelKeepsTheDialogAndYesSaves) {
    r.SetCheck("PO", kPoTipsOn, false);
    r.SelectItem("PO", kPoDateFormat, "YYYY-MM-DD");
    r.Click("PO", kPoClose);
    prompts.Expect("Changes Not Saved", 3);
    r.Do([&] {
        EXPECT_TRUE(Robot::FormExists("PO"));
        EXPECT_TRUE(Robot::Enabled("PO", kPoSave));
        EXPECT_FALSE(Robot::Checked("PO", kPoTipsOn));
        EXPECT_EQ(Dates().format, 0);
    });
    r.Click("PO", kPoClose);
    prompts.Expect("Changes Not Saved", 1);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(Opts().tipsOn);
    EXPECT_EQ(Read("Options", "TipsOn"), "0");
    EXPECT_EQ(Read("Options", "DateFormat"), "0");
    EXPECT_EQ(Read("Dates", "Format"), "0");
    EXPECT_EQ(Dates().format, 0);
}

TEST_F(OptionsDialogTest, HelpTopicFollowsTheGroupInUse) {
    r.Do([] { EXPECT_EQ(Shell().helpTopic, 380); });
    r.Click("PO", kPoHelp);
    r.SetCheck("PO", kPoAutoName, false);
    r.Click("PO", kPoHelp);
    r.SelectItem("PO", kPoDateFormat, "DD-MM-YYYY");
    r.Key("PO", 0, kKeyF1);
    r.SetCheck("PO", kPoAlertDeadline, false);
    r.Key("PO", 0, kKeyF1);
    r.Screenshot("PO", ScreenshotPath(folder.path(), "options.png"));
    // Changes undone by hand still count as changes.
    r.SetCheck("PO", kPoAlertDeadline, true);
    r.SetCheck("PO", kPoAutoName, true);
    r.Close("PO");
    prompts.Expect("Changes Not Saved", 2);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, (std::vector<int>{380, 120, 410, 380}));
}

// A settings file that cannot be written (here a folder stands in its place,
// as a full disk or a read-only folder would refuse the write) is reported:
// the options apply for the session and Save stays on for another try.
TEST_F(OptionsDialogTest, SaveThatCannotBeWrittenIsReported) {
    std::filesystem::create_directory(Paths().settingsFile);
    r.SetCheck("PO", kPoTipsOn, false);
    r.Click("PO", kPoSave);
    prompts.Expect("Options Not Saved", 1);
    r.Do([&] {
        EXPECT_TRUE(Robot::FormExists("PO"));
        EXPECT_TRUE(Robot::Enabled("PO", kPoSave));
    });
    r.Close("PO");
    prompts.Expect("Changes Not Saved", 2);
    r.WaitGone("PO");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_FALSE(Opts().tipsOn);
    EXPECT_FALSE(SaveOptions(Opts()));
    std::filesystem::remove(Paths().settingsFile);
    EXPECT_TRUE(SaveOptions(Opts()));
    EXPECT_EQ(Read("Options", "TipsOn"), "0");
}

}  // namespace
