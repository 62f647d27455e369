// F1 on every form of the form table opens that form's help topic.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

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
#include "editors/stations.h"
#include "reports/all_stations_print.h"
#include "services/spell.h"
#include "support/form_fixture.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

// Forms without a help topic of their own show the one current when they opened.
constexpr int kOpenerTopic = 777;

// Brings a form up by queuing robot steps; F1 follows.
using Opener = std::function<void(Robot&)>;

struct HelpCase {
    std::string form;
    int topic;
    Opener open;  // empty: the form is opened on its own
};

// The names in the form table, so that a form added to the table without a
// row here fails the test.
std::set<std::string> FormTableNames() {
    std::set<std::string> names;
    for (const FormDecl* f : FormTable()) names.insert(std::string(f->name));
    return names;
}

void OpenAlone(Robot& r, const std::string& form) {
    r.OpenForm(form, "", FormCaption(form), 80, 36);
}

// The spell check comes up over an editor with a word not in the list.
void OpenSpellCheck(Robot& r) {
    OpenAlone(r, "ES");
    r.Type("ES", kEsCity, "Sprngfeld");
    r.Key("ES", kEsCity, kKeyF7);
    r.WaitForm("XS");
}

// The progress dialog of printing every station is up only while the lists
// are written: F1 is raised when the first one has been.
void OpenPrintAll(Robot& r) {
    SetStationWrittenHook([](const AllStationsRun& run) {
        if (run.next != 1) return;
        int cancel = 0;
        DispatchEvent("PA", kHelpKeyId, EzEvent::Click, 0, cancel);
    });
    OpenAlone(r, "PQ");
    r.SelectItem("PQ", "Station", "All Stations");
    r.Click("PQ", "Print");
    r.ExpectMsg("All Lists Written", 1);
}

// The main window, by starting the program on the database of the test.
void StartProgram(Robot& r) {
    slClose();
    r.Start();
}

const std::vector<HelpCase>& Cases() {
    static const std::vector<HelpCase> cases = {
        {"AB", kOpenerTopic, {}},  {"AN", 300, {}},
        {"BU", 110, {}},           {"CI", 140, {}},
        {"CQ", 390, {}},           {"CS", 440, {}},
        {"ES", 200, {}},           {"FC", 510, {}},
        {"IL", 210, {}},           {"IM", 500, {}},
        {"PA", 520, OpenPrintAll}, {"PD", 220, {}},
        {"PO", 380, {}},           {"PQ", 430, {}},
        {"SI", kOpenerTopic, {}},  {"SL", 200, {}},
        {"SR", 350, {}},           {"TS", 350, {}},
        {"WN", 360, {}},           {"XD", 490, {}},
        {"XE", 490, {}},           {"XS", 490, OpenSpellCheck},
        {"ZD", 360, {}},           {"VL", 310, StartProgram},
    };
    return cases;
}

// The message box answers with its buttons only.
const std::set<std::string> kWithoutHelp = {"DGMSGBOX1"};

class FormHelpTest : public FormTest {
protected:
    FormHelpTest()
        : FormTest({.clock = ClockReading{2019, 2, 15, 10, 0, 0}, .programFolder = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        WriteFileText(folder.path() + "en_US.dic", "a\r\nthe\r\n");
        UnloadWordList();
        LoadWordList();
        ASSERT_TRUE(folder.OpenFreshDatabase());
        Seed();
        Shell().currentQuarter = 20191;
        Shell().filterStationId = 1;
    }
    void TearDown() override {
        SetStationWrittenHook(nullptr);
        FormTest::TearDown();
        UnloadWordList();
        Shell().filterStationId = 0;
    }
    // One quarter with two stations, each with an issue and a program aired in it.
    static void Seed() {
        const std::string start = std::to_string(Mdy2JulianDate(1, 1, 2019));
        const std::string end = std::to_string(Mdy2JulianDate(3, 31, 2019));
        const std::string aired = std::to_string(Mdy2JulianDate(1, 7, 2019));
        ExecSql("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (" + start + "," + end +
                ",20191)");
        ExecSql(
            "INSERT INTO Stations (StnID,Calls,License,QtrID,Rank) "
            "VALUES (1,'WAAA-FM','Springfield',20191,0),(2,'WBBB-AM','Shelbyville',20191,1)");
        ExecSql(
            "INSERT INTO Issues (IID,IQtr,SID,IIssue,IDescription,IRank) "
            "VALUES (1,20191,1,'Crime','',0),(2,20191,2,'Roads','',0)");
        ExecSql(
            "INSERT INTO Programs (PID,Duration,Title,PDescription) "
            "VALUES (1,'30 minutes','Morning Talk',''),(2,'5 minutes','Road Report','')");
        ExecSql(
            "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) "
            "VALUES (1,'',20191,'1',1,1,0,0),(2,'',20191,'2',2,2,0,0)");
        ExecSql("INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (1," + aired + ",480),(2," +
                aired + ",600)");
    }
};

TEST_F(FormHelpTest, EveryFormOfTheTableHasARow) {
    const std::set<std::string> names = FormTableNames();
    ASSERT_FALSE(names.empty()) << "the form table is empty";
    std::set<std::string> covered = kWithoutHelp;
    for (const HelpCase& c : Cases()) covered.insert(c.form);
    EXPECT_EQ(covered, names);
}

// Tests, scenarios and the documentation address controls by these names: a
// name or id given twice in one form would send them to the wrong control.
TEST_F(FormHelpTest, EveryDeclarationNamesItsControlsOnce) {
    for (const FormDecl* form : FormTable()) {
        SCOPED_TRACE(std::string(form->name));
        EXPECT_EQ(FindForm(std::string(form->name)), form);
        EXPECT_TRUE(form->design && form->event);
        EXPECT_FALSE(form->controls.empty());
        std::set<std::string_view> names;
        std::set<int> ids;
        for (const ControlName& c : form->controls) {
            EXPECT_FALSE(c.name.empty());
            EXPECT_TRUE(names.insert(c.name).second) << c.name;
            EXPECT_TRUE(ids.insert(c.id).second) << c.name << " " << c.id;
        }
    }
    // The toolkit's own dialogs and unknown names have no declaration.
    EXPECT_EQ(FindForm("{OPENDLG}"), nullptr);
    EXPECT_EQ(FormCaption("ZZ"), "");
}

TEST_F(FormHelpTest, F1OpensTheTopicOfTheForm) {
    for (const HelpCase& c : Cases()) {
        SCOPED_TRACE(c.form);
        Shell().helpTopic = kOpenerTopic;
        Robot r;
        if (c.open)
            c.open(r);
        else
            OpenAlone(r, c.form);
        if (c.form != "PA") r.Key(c.form, 0, kKeyF1);  // PA's opener raises it
        r.Run();
        EXPECT_TRUE(r.Ok()) << r.Errors();
        EXPECT_EQ(r.platform().helpTopics, std::vector<int>{c.topic});
        // The declaration names the topic the form shows (0: its opener's).
        const FormDecl* form = FindForm(c.form);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->helpTopic == 0 ? kOpenerTopic : form->helpTopic, c.topic);
        // Forms opened on their own stay open after the run: the next case starts bare.
        for (const std::string& name : FormTableNames())
            if (EZ_FORMEXISTS(name)) EZ_DESTROYFORM(name);
    }
}

}  // namespace
