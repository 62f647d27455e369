// Where the program finds its resources and keeps its data: beside the
// executable in a program folder, under <prefix>/share/vantrel/ and
// $XDG_DATA_HOME/Vantrel when installed; and the window icon.
#include "ui/resources.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/robot.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

class ResourceFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        EzTestInit();
        root_ = fs::temp_directory_path() / fs::path("vantrel-res-" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        savedAppPath_ = EZ_APPPATH();
        const char* xdg = std::getenv("XDG_DATA_HOME");
        savedXdg_ = xdg ? xdg : "";
        hadXdg_ = xdg != nullptr;
        setenv("XDG_DATA_HOME", (root_ / "xdg").c_str(), 1);
    }
    void TearDown() override {
        EZ_SETAPPPATH(savedAppPath_);
        if (hadXdg_)
            setenv("XDG_DATA_HOME", savedXdg_.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        fs::remove_all(root_);
    }
    std::string Make(const std::string& rel) {
        fs::create_directories(root_ / rel);
        return (root_ / rel).string() + "/";
    }
    void Touch(const std::string& rel, const std::string& text = "x") {
        fs::create_directories((root_ / rel).parent_path());
        WriteFileText((root_ / rel).string(), text);
    }
    std::string Dir(const std::string& rel) { return (root_ / rel).string() + "/"; }

    fs::path root_;
    std::string savedAppPath_, savedXdg_;
    bool hadXdg_ = false;
};

TEST_F(ResourceFolderTest, LayoutsDecideWhereResourcesAndDataAre) {
    struct Case {
        const char* what;
        std::vector<const char*> folders;  // created below the scratch root
        const char* exe;                   // the executable's folder
        const char* resources;             // expected resource folder
        bool installed;
    };
    const Case cases[] = {
        {"a program folder with Images beside the executable",
         {"prog/Images", "prog/Help"},
         "prog",
         "prog",
         false},
        {"an installed prefix",
         {"usr/bin", "usr/share/vantrel/Help", "usr/share/vantrel/Images"},
         "usr/bin",
         "usr/share/vantrel",
         true},
        {"an installed prefix with only the help",
         {"opt/v/bin", "opt/v/share/vantrel/Help"},
         "opt/v/bin",
         "opt/v/share/vantrel",
         true},
        {"resources beside the executable win over share/",
         {"both/bin/Images", "both/share/vantrel/Help"},
         "both/bin",
         "both/bin",
         false},
        {"a bin folder without share/vantrel", {"lone/bin"}, "lone/bin", "lone/bin", false},
        {"share/vantrel beside a folder not named bin",
         {"x/tools", "x/share/vantrel/Help"},
         "x/tools",
         "x/tools",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* f : c.folders) Make(f);
        EZ_SETAPPPATH(Dir(c.exe));
        EXPECT_EQ(ResourceFolder(), Dir(c.resources));
        EXPECT_EQ(IsInstalledCopy(), c.installed);
    }
}

TEST_F(ResourceFolderTest, AnInstalledCopyKeepsItsDataUnderXdgDataHome) {
    Make("usr/bin");
    Make("usr/share/vantrel/Help");
    EZ_SETAPPPATH(Dir("usr/bin"));
    // The bin folder is writable here (and always for root), yet never used for data.
    EXPECT_EQ(AppFolder(), Dir("xdg/Vantrel"));
    EXPECT_TRUE(fs::is_directory(root_ / "xdg/Vantrel"));
}

TEST_F(ResourceFolderTest, FindResourcePrefersTheResourceFolderThenTheDataFolder) {
    Make("usr/bin");
    Touch("usr/share/vantrel/Help/index.html");
    Touch("usr/share/vantrel/History.rtf", "shipped");
    Touch("data/History.rtf", "copied");
    Touch("data/Images/extra.png");
    EZ_SETAPPPATH(Dir("usr/bin"));
    const std::string savedFolder = Paths().appFolder;
    SetAppFolder(Dir("data"));
    EXPECT_EQ(FindResource("History.rtf"), Dir("usr/share/vantrel") + "History.rtf");
    EXPECT_EQ(FindResource("Images/extra.png"), Dir("data") + "Images/extra.png");
    EXPECT_EQ(FindResource("en_US.dic"), "");
    SetAppFolder(savedFolder);
}

TEST(WindowIcon, EveryGivenSizeIsInTheIconAndMissingFilesAreSkipped) {
    EzTestInit();
    const std::string images = SourceFolder() + "resources/Images/";
    EZ_SETAPPICON({images + "vantrel-48.png", images + "vantrel-128.png",
                   images + "vantrel-256.png", images + "no-such-icon.png"});
    EXPECT_EQ(EZ_APPICONSIZES(), (std::vector<int>{48, 128, 256}));
}

}  // namespace
