// The program detail editor driven through the robot in its three modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/options.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/query.h"
#include "editors/program_entry.h"
#include "support/test_env.h"

namespace {

constexpr int32_t kQuarter = 20191;  // today (15 Feb 2019) is in Jan-Mar 2019
const std::string kShots = "/tmp/";

// Control ids of PD and SI.
enum : int {
    kTitle = 100,
    kStation = 105,
    kDuration = 110,
    kVarious = 115,
    kCount = 120,
    kIssues = 125,
    kAirDate = 130,
    kAdd = 135,
    kAirings = 140,
    kDescription = 145,
    kSizeValue = 160,
    kSizeSpin = 165,
    kSave = 175,
    kExit = 180,
    kHelp = 185,
    kHeading = 225,
    kSiList = 100,
    kSiOk = 105,
};

std::vector<std::string> Items(const std::string& form, int id) {
    std::vector<std::string> items;
    for (int i = 0; i < EZ_ITEMCOUNT(form, id); ++i) items.push_back(EZ_ITEMTEXT(form, id, i));
    return items;
}

class ProgramDetailFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        EzTestInit();
        DefineFontsAndColours();
    }
    void SetUp() override {
        SetClockOverride(ClockReading{2019, 2, 15, 10, 0, 0});
        SetDateSettings(1, false, false);
        ASSERT_TRUE(folder_.OpenFreshDatabase());
        Opts() = Options{};
        Opts().tipsOn = true;
        slExe("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (" +
              std::to_string(Mdy2JulianDate(1, 1, 2019)) + "," +
              std::to_string(Mdy2JulianDate(3, 31, 2019)) + ",20191)");
        stationA_ = AddStation("WAAA-FM", 0);
        stationB_ = AddStation("WBBB-AM", 1);
        AddIssue(stationA_, "Traffic", 0);
        AddIssue(stationA_, "Schools", 1);
        AddIssue(stationA_, "Housing", 2);
        Shell().currentQuarter = kQuarter;
        Shell().filterStationId = stationA_;
    }
    void TearDown() override { SetClockOverride(std::nullopt); }

    static std::string AddStation(const std::string& calls, int rank) {
        slExe("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES ('" + calls + "','',20191," +
              std::to_string(rank) + ")");
        return std::to_string(slGetInsertID());
    }
    static void AddIssue(const std::string& sid, const std::string& title, int rank) {
        slExe("INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (20191," + sid +
              ",'" + title + "','About " + title + "'," + std::to_string(rank) + ")");
    }
    // A stored entry of station A, addressing Traffic and Housing.
    std::string StoredEntry(std::vector<std::string> airings) {
        ProgramEntry e;
        e.quarter = kQuarter;
        e.stationId = stationA_;
        e.title = "Town Hall";
        e.duration = "30 minutes";
        e.description = "The mayor answers calls.";
        e.issues = {"Traffic", "Housing"};
        e.airings = std::move(airings);
        std::string error;
        EXPECT_TRUE(SaveProgramEntry(e, "", error)) << error;
        return e.entryId;
    }
    static void Open(Robot& r, int mode, const std::string& mid = "") {
        Shell().editorMode = mode;
        Shell().editorEntryId = mid;
        r.OpenForm("PD", "", FormCaption("PD"), kProgramDetailWidth, kProgramDetailHeight);
    }
    static std::string Airings(const std::string& mid) {
        return slSelStr("SELECT AirDate,AirTime FROM DateTime WHERE MLink = " + mid +
                            " ORDER BY AirDate,AirTime",
                        "Q124");
    }

    TempProgramFolder folder_;
    std::string stationA_, stationB_;
};

TEST_F(ProgramDetailFormTest, AddsAnEntryWithARangeOfTwoAirings) {
    Robot r;
    Open(r, 1);
    r.Do([] {
        EXPECT_EQ("Add Program", Robot::Text("PD", kHeading));
        EXPECT_EQ("WAAA-FM", Robot::Text("PD", kStation));
        EXPECT_FALSE(Robot::Enabled("PD", kSave));
        EXPECT_FALSE(Robot::Enabled("PD", kVarious));
        EXPECT_FALSE(Robot::Enabled("PD", kCount));
        EXPECT_EQ("9", Robot::Text("PD", kSizeValue));
    });
    r.Type("PD", kTitle, "Morning Drive PSA");
    r.Type("PD", kDuration, "60 seconds");
    r.Type("PD", kDescription,
           "Spots about the new bus lanes\xE2\x80\xA6 \xE2\x80\x9Cride\xE2\x80\x9D");
    r.SetDate("PD", kAirDate, 2019, 3, 31, 23, 59);
    r.Click("PD", kAdd);
    r.SetDate("PD", kAirDate, 2019, 1, 2, 6, 0);
    r.Click("PD", kAdd);
    r.Click("PD", kAdd);
    r.ExpectMsg("Duplicate Program Date/Time", 1);
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"01-02-2019 06:00", "03-31-2019 23:59"}),
                  Items("PD", kAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kVarious));
        EXPECT_TRUE(Robot::Enabled("PD", kCount));
        EXPECT_FALSE(Robot::Enabled("PD", kSave));  // no issue yet
    });
    // The issues come from the selection dialog.
    r.Click("PD", kIssues);
    r.WaitForm("SI");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Schools", "Housing"}),
                  Items("SI", kSiList));
    });
    r.SelectItem("SI", kSiList, "Traffic");
    r.Do([] { EZ_SETITEMSELECTED("SI", kSiList, 2, true); });
    r.Click("SI", kSiOk);
    r.WaitGone("SI");
    r.Do([] {
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Housing"}), Items("PD", kIssues));
        EXPECT_TRUE(Robot::Enabled("PD", kSave));
    });
    // Marked as a range of airings, a count is needed; only digits are taken.
    r.SetCheck("PD", kVarious, true);
    r.Do([] { EXPECT_FALSE(Robot::Enabled("PD", kSave)); });
    r.Type("PD", kCount, "0");
    r.Do([] { EXPECT_FALSE(Robot::Enabled("PD", kSave)); });
    r.Type("PD", kCount, "1x2");
    r.Do([] {
        EXPECT_EQ("12", Robot::Text("PD", kCount));
        EXPECT_TRUE(Robot::Enabled("PD", kSave));
    });
    // F2 cleans the description.
    r.Click("PD", 912);
    r.Do([] {
        EXPECT_EQ("Spots about the new bus lanes... \"ride\"", Robot::Text("PD", kDescription));
    });
    r.Screenshot("PD", kShots + "program_detail_add.png");
    r.Click("PD", kHelp);
    r.Click("PD", kSave);
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
    Open(r, 3, mid);
    r.Do([] {
        EXPECT_EQ("Edit Existing Program", Robot::Text("PD", kHeading));
        EXPECT_EQ("Town Hall", Robot::Text("PD", kTitle));
        EXPECT_EQ("30 minutes", Robot::Text("PD", kDuration));
        EXPECT_EQ((std::vector<std::string>{"Traffic", "Housing"}), Items("PD", kIssues));
        EXPECT_EQ(3, EZ_ITEMCOUNT("PD", kAirings));
        EXPECT_FALSE(Robot::Enabled("PD", kSave));  // nothing changed yet
        EXPECT_FALSE(Robot::Enabled("PD", kVarious));
    });
    // Double-click starts an update: the rest of the form is locked.
    r.DblClick("PD", kAirings, 1);
    r.Do([] {
        EXPECT_EQ("Update", Robot::Text("PD", kAdd));
        EXPECT_FALSE(Robot::Enabled("PD", kTitle));
        EXPECT_FALSE(Robot::Enabled("PD", kIssues));
        EXPECT_FALSE(Robot::Enabled("PD", kAirings));
    });
    r.Key("PD", kAirDate, kKeyF1);  // help while updating an airing
    // Esc ends the update without a change.
    r.Key("PD", kAirDate, kKeyEsc);
    r.Do([] {
        EXPECT_EQ("Add", Robot::Text("PD", kAdd));
        EXPECT_TRUE(Robot::Enabled("PD", kTitle));
        EXPECT_EQ(3, EZ_ITEMCOUNT("PD", kAirings));
        EXPECT_FALSE(Robot::Enabled("PD", kSave));
    });
    // Updating an airing to another airing's text is refused ...
    r.DblClick("PD", kAirings, 1);
    r.SetDate("PD", kAirDate, 2019, 1, 10, 8, 0);
    r.Click("PD", kAdd);
    r.ExpectMsg("Duplicate Program Date/Time", 1);
    // ... to a new time it is accepted.
    r.DblClick("PD", kAirings, 1);
    r.SetDate("PD", kAirDate, 2019, 3, 1, 12, 30);
    r.Click("PD", kAdd);
    r.Do([] {
        EXPECT_EQ("Add", Robot::Text("PD", kAdd));
        EXPECT_EQ(
            (std::vector<std::string>{"01-10-2019 08:00", "02-20-2019 08:00", "03-01-2019 12:30"}),
            Items("PD", kAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kSave));
    });
    // Delete asks first; No keeps the airing, Yes removes it.
    r.SelectIndex("PD", kAirings, 0);
    r.Key("PD", kAirings, kKeyDelete);
    r.ExpectMsg("Delete This Airing?", 2);
    r.Key("PD", kAirings, kKeyDelete);
    r.ExpectMsg("Delete This Airing?", 1);
    r.Do([] {
        EXPECT_EQ(2, EZ_ITEMCOUNT("PD", kAirings));
        EXPECT_TRUE(Robot::Enabled("PD", kVarious));
    });
    // Closing with changes asks; Cancel stays, Yes saves.
    r.Click("PD", kExit);
    r.ExpectMsg("Changes Not Saved", 3);
    r.Do([] { EXPECT_TRUE(Robot::FormExists("PD")); });
    r.Close("PD");
    r.ExpectMsg("Changes Not Saved", 1);
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
        EXPECT_EQ("Copy Existing Program", Robot::Text("PD", kHeading));
        EXPECT_EQ("WAAA-FM", Robot::Text("PD", kStation));
        EXPECT_FALSE(Robot::Enabled("PD", kSave));
    });
    r.SelectItem("PD", kStation, "WBBB-AM");
    r.Do([] { EXPECT_TRUE(Robot::Enabled("PD", kSave)); });
    // A right click opens the issues list on the editor's station.
    r.RightClick("PD", kIssues);
    r.WaitForm("IL");
    r.Do([] { EXPECT_EQ("WBBB-AM", Robot::Text("IL", 105)); });
    r.Click("IL", 130);
    r.WaitGone("IL");
    r.Screenshot("PD", kShots + "program_detail_copy.png");
    r.Key("PD", kTitle, kKeyF1);
    r.Click("PD", kSave);
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
    slExe(
        "CREATE TRIGGER NoAirings BEFORE INSERT ON DateTime "
        "BEGIN SELECT RAISE(ABORT, 'disk trouble'); END");
    Robot r;
    Open(r, 3, mid);
    r.Type("PD", kTitle, "Town Hall, new title");
    r.Click("PD", kSave);
    r.ExpectMsg("Program Not Saved", 1);
    r.Do([] {
        EXPECT_TRUE(Robot::FormExists("PD"));
        EXPECT_EQ("Town Hall, new title", Robot::Text("PD", kTitle));
        EXPECT_TRUE(Robot::Enabled("PD", kSave));
    });
    // Without the save the user may still leave, discarding the change.
    r.Click("PD", kExit);
    r.ExpectMsg("Changes Not Saved", 2);
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(slSelStr("SELECT Title FROM Programs"), "Town Hall");
    EXPECT_EQ(Airings(mid), std::to_string(Mdy2JulianDate(1, 10, 2019)) + "|480");
}

TEST_F(ProgramDetailFormTest, SizeSpinnerIsStoredAtOnce) {
    Robot r;
    Open(r, 1);
    r.Type("PD", kSizeSpin, "12");
    r.Do([] {
        EXPECT_EQ("12", Robot::Text("PD", kSizeValue));
        EXPECT_EQ(12, Opts().fontSize);
        EXPECT_EQ("12", IniRead(Paths().settingsFile, "Font", "Size", ""));
    });
    r.Type("PD", kSizeSpin, "40");  // the spinner keeps to 9..16
    r.Do([] { EXPECT_EQ("16", IniRead(Paths().settingsFile, "Font", "Size", "")); });
    r.Click("PD", kExit);  // nothing entered: no question
    r.WaitGone("PD");
    r.Run();
    ASSERT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Programs"), "0");
}

}  // namespace
