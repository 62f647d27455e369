// The data folder: which folder is used, leftovers of cut-short writes, the
// lock that keeps a second copy off the data, and the word list read from
// beside the program when the data lives elsewhere.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/base/app_state.h"
#include "app/toolkit/ez.h"
#include "services/spell.h"
#include "support/shell.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

TEST(DataFolder, AFolderHoldingDataIsNeverLeftForAnEmptyOne) {
    struct Case {
        bool writable, holdsData;
        const char* expected;
    } cases[] = {
        {true, false, "/opt/vantrel/"},
        {true, true, "/opt/vantrel/"},
        // Read-only with the user's data in it: used where it is (read-only).
        {false, true, "/opt/vantrel/"},
        // Read-only and empty (an installed copy): the per-user folder.
        {false, false, "/home/u/.local/share/Vantrel/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDataFolder("/opt/vantrel/", c.writable, c.holdsData,
                                   "/home/u/.local/share/Vantrel/"),
                  c.expected)
            << c.writable << c.holdsData;
}

// A copy put in place by the installer keeps its data per user even where
// its folder can be written, but never leaves data already beside it.
TEST(DataFolder, AnInstalledCopyKeepsItsDataPerUserUnlessItsFolderHoldsData) {
    struct Case {
        bool writable, holdsData;
        const char* expected;
    } cases[] = {
        {true, false, "C:/Users/u/AppData/Local/Vantrel/"},
        {false, false, "C:/Users/u/AppData/Local/Vantrel/"},
        {true, true, "C:/Program Files/Vantrel/"},
        {false, true, "C:/Program Files/Vantrel/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseDataFolder("C:/Program Files/Vantrel/", c.writable, c.holdsData,
                                   "C:/Users/u/AppData/Local/Vantrel/", true),
                  c.expected)
            << c.writable << c.holdsData;
    TempProgramFolder folder;
    EXPECT_FALSE(InstalledBySetup(folder.path()));
    WriteFileText(folder.path() + kUninstallerName, "MZ");
    EXPECT_TRUE(InstalledBySetup(folder.path()));
}

TEST(DataFolder, HoldsDataAndWritable) {
    TempProgramFolder folder;
    EXPECT_FALSE(FolderHoldsData(folder.path()));
    WriteFileText(folder.path() + "Vantrel.ini", "[Options]\n");
    EXPECT_TRUE(FolderHoldsData(folder.path()));
    fs::remove(folder.path() + "Vantrel.ini");
    WriteFileText(folder.path() + "Data/VantrelData.db3", "");
    EXPECT_TRUE(FolderHoldsData(folder.path()));

    EXPECT_TRUE(FolderWritable(folder.path()));
    EXPECT_FALSE(FolderWritable("/proc"));  // not writable even for an administrator
    EXPECT_FALSE(FolderWritable(folder.path() + "missing"));
    // The probe leaves nothing behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(DataFolder, LeftoversOfCutShortWritesAreRemoved) {
    struct Case {
        const char* name;
        bool leftover;
    } cases[] = {
        {".Vantrel.ini.a1B2c3", true},
        {"en_US.dic.Zz9yY8", true},
        {"Vantrel.ini", false},
        {".Vantrel.ini.", false},
        {".Vantrel.ini.a1B2c", false},
        {".Vantrel.ini.a1B2c3d", false},
        {".Vantrel.ini.a1-2c3", false},
        {"en_US.dic", false},
        {"custom.dic.abcdef", false},
        // A backup's copy and a restored file, left by a backup or restore cut short.
        {"VantrelData.db3.snapshot-Ab12Cd", true},
        {"VantrelData.db3.restore-x9Y8z7", true},
        {"VantrelData.db3", false},
        {"VantrelData.db3.restore-x9Y8z", false},
        {"VantrelData.db3-journal", false},
    };
    TempProgramFolder folder;
    for (const Case& c : cases) {
        EXPECT_EQ(IsLeftoverTempName(c.name), c.leftover) << c.name;
        WriteFileText(folder.path() + c.name, std::string(100, 'x'));
    }
    EXPECT_EQ(RemoveLeftoverTempFiles(folder.path()), 4);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(folder.path() + c.name), !c.leftover) << c.name;

    // The safety archive of a restore cut short, and nothing else of the backups.
    const std::string backups = folder.path() + "Backup/";
    for (const char* name : {"temp.zip", "temp.zip.tmp", "temp-2.zip", "mine.zip", "mine.zip.tmp"})
        WriteFileText(backups + name, "x");
    EXPECT_EQ(RemoveSafetyArchiveLeftovers(backups), 3);
    EXPECT_TRUE(fs::exists(backups + "mine.zip"));
    EXPECT_TRUE(fs::exists(backups + "mine.zip.tmp"));
    EXPECT_FALSE(fs::exists(backups + "temp.zip"));
}

// A second copy of the program, in a process of its own: 0 when it could
// take the data lock of the folder given, 3 when it was kept off.
const ChildBody kAnotherCopy("another copy takes the data lock",
                             [](const std::string& data) { return DataLock(data).held() ? 0 : 3; });

TEST(DataFolder, ASecondCopyCannotTakeTheDataLock) {
    TempProgramFolder folder;
    const std::string data = folder.path() + "Data/";
    fs::create_directories(data);
    {
        DataLock first(data);
        EXPECT_TRUE(first.held());
        DataLock second(data);
        EXPECT_FALSE(second.held());
    }
    EXPECT_TRUE(DataLock(data).held());  // released with its holder

    // Another process, whatever its per-user instance lock, is kept off
    // until the lock is given up.
    ASSERT_TRUE(AcquireDataLock(data));
    EXPECT_TRUE(AcquireDataLock(data));  // the same copy again
    const int child = kAnotherCopy.Run(data);
    ReleaseDataLock();
    EXPECT_EQ(child, 3);
    EXPECT_EQ(kAnotherCopy.Run(data), 0);
    EXPECT_TRUE(DataLock(data).held());
}

TEST(DataFolder, ShippedWordListIsReadFromBesideTheProgram) {
    TempProgramFolder data;
    TempProgramFolder program;
    WriteFileText(program.path() + "en_US.dic", "alpha\r\nbeta\r\n");
    SetAppFolder(data.path());
    EZ_SETAPPPATH(program.path());
    UnloadWordList();
    LoadWordList();
    EXPECT_TRUE(WordListLoaded());
    EXPECT_TRUE(IsDictionaryWord("beta"));
    // A list of the user's own in the data folder comes first.
    WriteFileText(data.path() + "custom.dic", "gamma\n");
    UnloadWordList();
    LoadWordList();
    EXPECT_TRUE(IsDictionaryWord("gamma"));
    EXPECT_FALSE(IsDictionaryWord("beta"));
    UnloadWordList();
    EZ_SETAPPPATH("");
}

}  // namespace
