// Folder creation with its checks, the overwrite warning and the save-changes
// question. Prompts are seen and answered through the message hook.
#include "ui/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace fs = std::filesystem;

namespace {

class EnsureFolderTest : public ::testing::Test {
protected:
    std::string Base() { return folder.path(); }  // trailing "/"
    TempProgramFolder folder;
};

TEST_F(EnsureFolderTest, CreatesEveryMissingLevel) {
    PromptQueue p;
    std::string target = Base() + "a/b/c";
    EXPECT_EQ(EnsureFolder(target + "/"), 1);
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_TRUE(p.seen.empty());
    // Existing folders: 1 without a word, with or without the trailing "/".
    EXPECT_EQ(EnsureFolder(target), 1);
    EXPECT_EQ(EnsureFolder(Base()), 1);
    EXPECT_EQ(EnsureFolder("/"), 1);
    EXPECT_EQ(EnsureFolder(Base() + "a//b///"), 1);
    EXPECT_TRUE(p.seen.empty());
}

TEST_F(EnsureFolderTest, FileNameAtTheEndIsCutOff) {
    PromptQueue p;
    EXPECT_EQ(EnsureFolder(Base() + "PDF/2019/report.pdf"), 1);
    EXPECT_TRUE(fs::is_directory(Base() + "PDF/2019"));
    EXPECT_FALSE(fs::exists(Base() + "PDF/2019/report.pdf"));
    // Only the last part is taken for a file name.
    EXPECT_EQ(EnsureFolder(Base() + "v1.2/notes"), 1);
    EXPECT_TRUE(fs::is_directory(Base() + "v1.2/notes"));
}

TEST_F(EnsureFolderTest, DriveErrors) {
    const char* paths[] = {"relative/folder", "", "report.pdf",
                           "/no-such-top-level-folder-xyz/a/b"};
    for (const char* path : paths) {
        PromptQueue p;
        p.Expect("Drive Error");
        EXPECT_EQ(EnsureFolder(path), 0) << path;
        ASSERT_EQ(p.seen.size(), 1u) << path;
        EXPECT_EQ(p.seen[0].title, "Drive Error");
        EXPECT_EQ(p.seen[0].text1, "The drive letter is not specified or doesn't exist.{f7}");
        EXPECT_EQ(p.seen[0].buttons, "&OK{G,f7}");
    }
    EXPECT_FALSE(fs::exists("/no-such-top-level-folder-xyz"));
}

TEST_F(EnsureFolderTest, FolderUnderAFileReportsTheSystemError) {
    WriteFileText(Base() + "plainfile", "x");
    PromptQueue p;
    p.Expect("Directory Error");
    EXPECT_EQ(EnsureFolder(Base() + "plainfile/sub/deeper"), 0);
    ASSERT_EQ(p.seen.size(), 1u);
    std::string num = std::to_string(ENOTDIR);
    EXPECT_EQ(p.seen[0].title, "Directory Error " + num);
    EXPECT_EQ(p.seen[0].text1, "Unable to create subdirectory.{f7,t4}");
    EXPECT_EQ(p.seen[0].text2, "|An error " + num + ", (" + std::strerror(ENOTDIR) +
                                   ") has occurred|attempting to create \"" + Base() +
                                   "plainfile\".|{f7}");
    EXPECT_FALSE(fs::exists(Base() + "plainfile/sub"));

    // A file where the last folder should be is not a folder either.
    PromptQueue q;
    q.Expect("Directory Error");
    EXPECT_EQ(EnsureFolder(Base() + "plainfile"), 0);
    EXPECT_EQ(q.seen.size(), 1u);
}

TEST_F(EnsureFolderTest, ReadOnlyParentStopsAtTheFirstFailure) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
    fs::create_directories(Base() + "locked");
    chmod((Base() + "locked").c_str(), 0555);
    PromptQueue p;
    p.Expect("Directory Error");
    EXPECT_EQ(EnsureFolder(Base() + "locked/a/b"), 0);
    chmod((Base() + "locked").c_str(), 0755);
    ASSERT_EQ(p.seen.size(), 1u);
    EXPECT_EQ(p.seen[0].title, "Directory Error " + std::to_string(EACCES));
    EXPECT_NE(p.seen[0].text2.find(std::strerror(EACCES)), std::string::npos);
}

TEST(ConfirmOverwriteTest, OnlyYesAgrees) {
    struct Case {
        int answer;
        int expected;
    } cases[] = {{1, 1}, {2, 0}, {99, 0}, {3, 0}, {-1, 0}};
    for (const Case& c : cases) {
        PromptQueue p;
        p.Expect("Warning!", c.answer);
        EXPECT_EQ(ConfirmOverwrite("/tmp/x.zip"), c.expected) << c.answer;
        ASSERT_EQ(p.seen.size(), 1u);
        EXPECT_EQ(p.seen[0].title, "Warning!");
        EXPECT_EQ(p.seen[0].text1, "You are about to overwrite the file|\"/tmp/x.zip\".{f10,t4}");
        EXPECT_EQ(p.seen[0].text2, "Are you SURE you want to proceed?{f6}");
        EXPECT_EQ(p.seen[0].buttons, "*{G,f7}|&Yes|&No");
        EXPECT_EQ(p.seen[0].defaultButton, 2);
    }
}

class AskSaveChangesTest : public FormTest {};

TEST_F(AskSaveChangesTest, TextsAndTheVanishedControl) {
    EZ_FORM("AB", "", "About Vantrel", -1, -1, 62, 21, "N");
    {
        PromptQueue p;
        p.Expect("Changes Not Saved", 2);
        p.Expect("Changes Not Saved", 2);
        EXPECT_EQ(AskSaveChanges("AB", 205, ""), 2);
        EXPECT_EQ(AskSaveChanges("AB", 205, "Station WAAA-FM"), 2);
        ASSERT_EQ(p.seen.size(), 2u);
        EXPECT_EQ(p.seen[0].title, "Changes Not Saved");
        EXPECT_EQ(p.seen[0].text1, "Save your changes before you exit?{f7}");
        EXPECT_EQ(p.seen[0].text2, "(Unsaved changes will be lost.){f6}");
        EXPECT_EQ(p.seen[0].buttons, "*{G,f7}|&Yes|&No|&Cancel");
        EXPECT_EQ(p.seen[0].defaultButton, 1);
        EXPECT_EQ(p.seen[0].parent, "AB");
        EXPECT_EQ(p.seen[1].text1, "Save changes to Station WAAA-FM before you exit?{f7}");
    }
    {
        // The form is being torn down: "do not save" without asking.
        PromptQueue p;
        EXPECT_EQ(AskSaveChanges("AB", 4242, ""), 2);
        EXPECT_EQ(AskSaveChanges("XX", 205, ""), 2);
        EXPECT_TRUE(p.seen.empty());
    }
    EZ_UNLOADFORM("AB");
}

}  // namespace
