// The About box: version line in the user's date format, the two pages and
// the history read from History.rtf.
#include <gtest/gtest.h>

#include "app/base/app_state.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "support/form_fixture.h"
#include "support/test_env.h"

namespace {

struct PageState {
    bool info = false, history = false;
    std::string caption;
};

class AboutBox : public FormTest {};

TEST_F(AboutBox, PagesToggleAndHistoryShows) {
    WriteFileText(Paths().appFolder + "History.rtf",
                  ReadFileText(SourceFolder() + "resources/History.rtf"));
    SetDateSettings(2, true, false);
    Robot r;
    std::vector<PageState> states;
    auto look = [&] {
        states.push_back({Robot::Visible("AB", "InfoPage"), Robot::Visible("AB", "HistoryPage"),
                          Robot::Text("AB", "Toggle")});
    };
    std::string version, history;
    r.OpenForm("AB", "", "About Vantrel", 64, 24);
    r.Do([&] {
        version = Robot::Text("AB", "Version");
        look();
    });
    r.Screenshot("AB", ScreenshotPath(folder.path(), "about_info.png"));
    r.Click("AB", "Toggle");
    r.Do([&] {
        look();
        history = Robot::Text("AB", "History");
    });
    r.Screenshot("AB", ScreenshotPath(folder.path(), "about_history.png"));
    r.Click("AB", "Toggle");
    r.Do(look);
    r.Click("AB", "Close");
    r.WaitGone("AB");
    r.Run();
    SetDateSettings(1, false, false);
    EXPECT_TRUE(r.Ok()) << r.Errors();

    EXPECT_EQ(version, "Version 1.8.4.0 \xE2\x80\x94 Released 24/06/2019");
    ASSERT_EQ(states.size(), 3u);
    EXPECT_TRUE(states[0].info && !states[0].history);
    EXPECT_EQ(states[0].caption, "&View Program History");
    EXPECT_TRUE(!states[1].info && states[1].history);
    EXPECT_EQ(states[1].caption, "&View Program Info");
    EXPECT_TRUE(states[2].info && !states[2].history);
    EXPECT_EQ(states[2].caption, "&View Program History");
    EXPECT_NE(history.find("Version 1.8.4.0"), std::string::npos);
    EXPECT_EQ(history.find("\\par"), std::string::npos);
}

TEST_F(AboutBox, MissingHistoryLeavesThePageEmpty) {
    Robot r;
    std::string history = "unset";
    r.OpenForm("AB", "", "About Vantrel", 64, 24);
    r.Click("AB", "Toggle");
    r.Do([&] { history = Robot::Text("AB", "History"); });
    r.Close("AB");
    r.WaitGone("AB");
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    EXPECT_EQ(history, "");

    // A name the form does not declare is the test's error, not a wait.
    Robot wrong;
    wrong.OpenForm("AB", "", "About Vantrel", 64, 24);
    wrong.Click("AB", "Togle");
    wrong.Close("AB");
    wrong.Run();
    EXPECT_NE(wrong.Errors().find("form AB has no control named 'Togle'"), std::string::npos)
        << wrong.Errors();
}

}  // namespace
