// The program detail editor driven through the robot in its three modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/issues.h"
#include "editors/program_entry.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"

namespace {

constexpr int32_t kQuarter = 20191;  // today (15 Feb 2019) is in Jan-Mar 2019
const std::string kShots = "/tmp/";

class ProgramDetailFormTest : public FormTest {
protected:
    ProgramDetailFormTest()
        : FormTest({.clock = ClockReading{2019, 2, 15, 10, 0, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        SetDateSettings(1, false, false);
        FormTest::SetUp();
        if (HasFatalFailure()) return;
        Opts() = Options{};
        Opts().tipsOn = true;
        SeedQuarter(20191, Mdy2JulianDate(1, 1, 2019), Mdy2JulianDate(3, 31, 2019));
        stationA_ = AddStation("WAAA-FM", 0);
        stationB_ = AddStation("WBBB-AM", 1);
        AddIssue(stationA_, "Traffic", 0);
        AddIssue(stationA_, "Schools", 1);
        AddIssue(stationA_, "Housing", 2);
        Shell().currentQuarter = kQuarter;
        Shell().filterStationId = Val(stationA_);
    }

    static std::string AddStation(const std::string& calls, int rank) {
        return std::to_string(SeedStation(calls, "", kQuarter, rank));
    }
    static void AddIssue(const std::string& sid, const std::string& title, int rank) {
        SeedIssue(Val(sid), kQuarter, title, "About " + title, rank);
    }
    // A stored entry of station A, addressing Traffic and Housing.
    std::string StoredEntry(std::vector<std::string> airings) {
        ProgramEntry e;
        e.quarter = kQuarter;
        e.stationId = Val(stationA_);
        e.title = "Town Hall";
        e.duration = "30 minutes";
        e.description = "The mayor answers calls.";
        e.issues = {"Traffic", "Housing"};
        e.airings = std::move(airings);
        std::string error;
        EXPECT_TRUE(SaveProgramEntry(e, 0, error)) << error;
        return std::to_string(e.entryId);
    }
    void Open(Robot& r, int mode, const std::string& mid = "") {
        const RowId station = Val(stationA_);
        r.Do([mode, mid, station] {
            OpenProgramDetail("", static_cast<EntryEditMode>(mode), Val(mid), kQuarter, station);
        });
    }
    static std::string Airings(const std::string& mid) {
        return slSelStr("SELECT AirDate,AirTime FROM DateTime WHERE MLink = " + mid +
                            " ORDER BY AirDate,AirTime",
                        "Q124");
    }

    std::string stationA_, stationB_;
};

TEST_F(ProgramDetailFormTest, AddsAnEntryWithARangeOfTwoAirings) {
    Robot r;
    PromptQueue prompts(r);
    Open(r, 1);
    r.Do([] {
        EXPECT_EQ("Add Program", Robot::Text("PD", kPdHeading));
        EXPECT_EQ("WAAA-FM", Robot::Text("PD", kPdStation));
        EXPECT_FALSE(Robot::Enabled("PD", kPdSave));
        EXPECT_FALSE(Robot::Enabled("PD", kPdVarious));
        EXPECT_FALSE(Robot::Enabled("PD", kPdCount));
        EXPECT_EQ("9", Robot::Text("PD", kPdSizeValue));
    });
    r.Type("PD", kPdTitle, "Morning Drive PSA");
    r.Type("PD", kPdDuration, "60 seconds");
    r.Type("PD", kPdDescription,
           "Spots about the new bus lanes\xE2\x80\xA6 \xE2\x80\x9Cride\xE2\x80\x9D");
    r.SetDate("PD", kPdAirDate, 2019, 3, 31, 23, 59);
    r.Click("PD", kPdAdd);
    r.SetDate("PD", kPdAirDate, 2019, 1, 2, 6, 0);
    r.Click("PD", kPdAdd);
    r.Click("PD", kPdAdd);
    prompts.Expect("Duplicate Program Date/Time", 1);
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"01-02-2019 06:00", "03-31-2019 23:59"}),
                  ItemTexts("PD", kPdAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kPdVarious));
        EXPECT_TRUE(Robot::Enabled("PD", kPdCount));
        EXPECT_FALSE(Robot::Enabled("PD", kPdSave));  // no issue yet
    });
    // The issues come from the selection dialog.
    r.Click("PD", kPdIssues);
    r.WaitForm("SI");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Schools", "Housing"}),
                  ItemTexts("SI", kSiList));
    });
    r.SelectItem("SI", kSiList, "Traffic");
    r.Do([] { EZ_SETITEMSELECTED("SI", kSiList, 2, true); });
    r.Click("SI", kSiOk);
    r.WaitGone("SI");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Housing"}), ItemTexts("PD", kPdIssues));
        EXPECT_TRUE(Robot::Enabled("PD", kPdSave));
    });
    // Marked as a range of airings, a count is needed; only digits are taken.
    r.SetCheck("PD", kPdVarious, true);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("PD", kPdSave)); });
    r.Type("PD", kPdCount, "0");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("PD", kPdSave)); });
    r.Type("PD", kPdCount, "1x2");
    r.Do([] {
        EXPECT_EQ("12", Robot::Text("PD", kPdCount));
        EXPECT_TRUE(Robot::Enabled("PD", kPdSave));
    });
    // F2 cleans the description.
    r.Click("PD", kPdF2);
    r.Do([] {
        EXPECT_EQ("Spots about the new bus lanes... \"ride\"", Robot::Text("PD", kPdDescription));
    });
    r.Screenshot("PD", kShots + "program_detail_add.png");
    r.Click("PD", kPdHelp);
    r.Click("PD", kPdSave);
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{220});

    const std::string mid = slSelStr("SELECT MID FROM Master");
    ASSERT_FALSE(mid.empty());
    EXPECT_EQ(slSelStr("SELECT Station,FreqCheck,Frequency FROM Master WHERE MID = " + mid, "Q124"),
              stationA_ + "|1|12");
    EXPECT_EQ(slSelStr("SELECT Title,Duration FROM Programs", "Q124"),
              "Morning Drive PSA|60 seconds");
    EXPECT_EQ(Airings(mid), std::to_string(Mdy2JulianDate(1, 2, 2019)) + "|360\n" +
                                std::to_string(Mdy2JulianDate(3, 31, 2019)) + "|1439");
}

TEST_F(ProgramDetailFormTest, EditsAiringsAndAsksBeforeClosing) {
    const std::string mid =
        StoredEntry({"01-10-2019 08:00", "01-10-2019 17:00", "02-20-2019 08:00"});
    Robot r;
    PromptQueue prompts(r);
    Open(r, 3, mid);
    r.Do([] {
        EXPECT_EQ("Edit Existing Program", Robot::Text("PD", kPdHeading));
        EXPECT_EQ("Town Hall", Robot::Text("PD", kPdTitle));
        EXPECT_EQ("30 minutes", Robot::Text("PD", kPdDuration));
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Housing"}), ItemTexts("PD", kPdIssues));
        EXPECT_EQ(3, EZ_ITEMCOUNT("PD", kPdAirings));
        EXPECT_FALSE(Robot::Enabled("PD", kPdSave));  // nothing changed yet
        EXPECT_FALSE(Robot::Enabled("PD", kPdVarious));
    });
    // Double-click starts an update: the rest of the form is locked.
    r.DblClick("PD", kPdAirings, 1);
    r.Do([] {
        EXPECT_EQ("Update", Robot::Text("PD", kPdAdd));
        EXPECT_GE(Robot::CaptionRoom("PD", kPdAdd), 0);
        EXPECT_FALSE(Robot::Enabled("PD", kPdTitle));
        EXPECT_FALSE(Robot::Enabled("PD", kPdIssues));
        EXPECT_FALSE(Robot::Enabled("PD", kPdAirings));
    });
    r.Screenshot("PD", kShots + "program_detail_update.png");
    r.Key("PD", kPdAirDate, kKeyF1);  // help while updating an airing
    // Esc ends the update without a change.
    r.Key("PD", kPdAirDate, kKeyEsc);
    r.Do([] {
        EXPECT_EQ("Add", Robot::Text("PD", kPdAdd));
        EXPECT_TRUE(Robot::Enabled("PD", kPdTitle));
        EXPECT_EQ(3, EZ_ITEMCOUNT("PD", kPdAirings));
        EXPECT_FALSE(Robot::Enabled("PD", kPdSave));
    });
    // Updating an airing to another airing's text is refused ...
    r.DblClick("PD", kPdAirings, 1);
    r.SetDate("PD", kPdAirDate, 2019, 1, 10, 8, 0);
    r.Click("PD", kPdAdd);
    prompts.Expect("Duplicate Program Date/Time", 1);
    // ... to a new time it is accepted.
    r.DblClick("PD", kPdAirings, 1);
    r.SetDate("PD", kPdAirDate, 2019, 3, 1, 12, 30);
    r.Click("PD", kPdAdd);
    r.Do([] {
        EXPECT_EQ("Add", Robot::Text("PD", kPdAdd));
        EXPECT_EQ(
            (std::vector<std::string>{"01-10-2019 08:00", "02-20-2019 08:00", "03-01-2019 12:30"}),
            ItemTexts("PD", kPdAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kPdSave));
    });
    // Delete asks first; No keeps the airing, Yes removes it.
    r.SelectIndex("PD", kPdAirings, 0);
    r.Key("PD", kPdAirings, kKeyDelete);
    prompts.Expect("Delete This Airing?", 2);
    r.Key("PD", kPdAirings, kKeyDelete);
    prompts.Expect("Delete This Airing?", 1);
    r.Do([] {
        EXPECT_EQ(2, EZ_ITEMCOUNT("PD", kPdAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kPdVarious));
    });
    // Closing with changes asks; Cancel stays, Yes saves.
    r.Click("PD", kPdExit);
    prompts.Expect("Changes Not Saved", 3);
    r.Do([] { EXPECT_TRUE(Robot::FormExists("PD")); });
    r.Close("PD");
    prompts.Expect("Changes Not Saved", 1);
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{90});
    EXPECT_EQ(Airings(mid), std::to_string(Mdy2JulianDate(2, 20, 2019)) + "|480\n" +
                                std::to_string(Mdy2JulianDate(3, 1, 2019)) + "|750");
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "1");
}

TEST_F(ProgramDetailFormTest, CopiesAnEntryToAnotherStation) {
    const std::string mid = StoredEntry({"01-10-2019 08:00"});
    Robot r;
    Open(r, 2, mid);
    r.Do([] {
        EXPECT_EQ("Copy Existing Program", Robot::Text("PD", kPdHeading));
        EXPECT_EQ("WAAA-FM", Robot::Text("PD", kPdStation));
        EXPECT_FALSE(Robot::Enabled("PD", kPdSave));
    });
    r.SelectItem("PD", kPdStation, "WBBB-AM");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("PD", kPdSave)); });
    // A right click opens the issues list on the editor's station.
    r.RightClick("PD", kPdIssues);
    r.WaitForm("IL");
    r.Do([] { EXPECT_EQ("WBBB-AM", Robot::Text("IL", kIlStation)); });
    r.Click("IL", kIlExit);
    r.WaitGone("IL");
    r.Screenshot("PD", kShots + "program_detail_copy.png");
    r.Key("PD", kPdTitle, kKeyF1);
    r.Click("PD", kPdSave);
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(r.platform().helpTopics, std::vector<int>{130});
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Master"), "2");
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Programs"), "2");
    EXPECT_EQ(slSelStr("SELECT IIssue,IDescription FROM Issues WHERE SID = " + stationB_ +
                           " ORDER BY IRank",
                       "Q124"),
              "Traffic|About Traffic\nHousing|About Housing");
    EXPECT_EQ(slSelStr("SELECT Station FROM Master WHERE MID = " + mid), stationA_);
}

TEST_F(ProgramDetailFormTest, AFailedSaveKeepsTheFormAndItsText) {
    const std::string mid = StoredEntry({"01-10-2019 08:00"});
    ExecSql(
        "CREATE TRIGGER NoAirings BEFORE INSERT ON DateTime "
        "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END");
    Robot r;
    PromptQueue prompts(r);
    Open(r, 3, mid);
    r.Type("PD", kPdTitle, "Town Hall, new title");
    r.Click("PD", kPdSave);
    prompts.Expect("Program Not Saved", 1);
    r.Do([] {
        EXPECT_TRUE(Robot::FormExists("PD"));
        EXPECT_EQ("Town Hall, new title", Robot::Text("PD", kPdTitle));
        EXPECT_TRUE(Robot::Enabled("PD", kPdSave));
    });
    // Without the save the user may still leave, discarding the change.
    r.Click("PD", kPdExit);
    prompts.Expect("Changes Not Saved", 2);
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(slSelStr("SELECT Title FROM Programs"), "Town Hall");
    EXPECT_EQ(Airings(mid), std::to_string(Mdy2JulianDate(1, 10, 2019)) + "|480");
}

TEST_F(ProgramDetailFormTest, SizeSpinnerIsStoredAtOnce) {
    Robot r;
    Open(r, 1);
    r.Type("PD", kPdSizeSpin, "12");
    r.Do([] {
        EXPECT_EQ("12", Robot::Text("PD", kPdSizeValue));
        EXPECT_EQ(12, Opts().fontSize);
        EXPECT_EQ("12", IniRead(Paths().settingsFile, "Font", "Size", ""));
    });
    r.Type("PD", kPdSizeSpin, "40");  // the spinner keeps to 9..16
    r.Do([] { EXPECT_EQ("16", IniRead(Paths().settingsFile, "Font", "Size", "")); });
    r.Click("PD", kPdExit);  // nothing entered: no question
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Programs"), "0");
}

TEST_F(ProgramDetailFormTest, EnteringTheTitlePutsTheCaretAfterItsLastCharacter) {
    const std::string title = "Caf\xC3\xA9 Ol\xC3\xA9";  // accented letters are two bytes each
    Robot r;
    Open(r, 1);
    r.Type("PD", kPdTitle, title);
    r.Do([&title] {
        EZ_SETFOCUS("PD", kPdDuration);
        EZ_SETFOCUS("PD", kPdTitle);
        EXPECT_EQ(EZ_GETCURSORPOS("PD", kPdTitle), static_cast<int>(title.size()));
    });
    r.Click("PD", kPdExit);  // a title alone does not make the entry savable: no question
    r.WaitGone("PD");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

}  // namespace
