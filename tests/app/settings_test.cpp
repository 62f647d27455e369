#include "app/base/settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    TempProgramFolder folder;
    std::string ini = folder.path() + "Vantrel.ini";
};

TEST_F(SettingsFile, MissingFileSectionOrKeyGivesTrimmedDefault) {
    EXPECT_EQ(IniRead(ini, "Filing", "Deadline", "0"), "0");
    WriteFileText(ini, "[Filing]\r\nOther=1\r\n");
    EXPECT_EQ(IniRead(ini, "Filing", "Deadline", "  0 "), "0");
    EXPECT_EQ(IniRead(ini, "Nope", "Other", "d"), "d");
    EXPECT_EQ(IniRead(ini, "", "Other", "d"), "d");
}

TEST_F(SettingsFile, NamesMatchIgnoringCaseAndBlanks) {
    ASSERT_TRUE(IniWrite(ini, "Options", "TipsOn", "1"));
    EXPECT_EQ(IniRead(ini, "OPTIONS", "tipson", ""), "1");
    EXPECT_EQ(IniRead("  " + ini + "  ", " options ", " TIPSON ", ""), "1");
    // A second write under other spelling replaces the key instead of adding one.
    ASSERT_TRUE(IniWrite(ini, "options", "TIPSON", "  0  "));
    EXPECT_EQ(ReadFileText(ini), "[Options]\r\nTIPSON=0\r\n");
}

TEST_F(SettingsFile, ValuesAreTrimmedWhenRead) {
    WriteFileText(ini, "  [ Dates ]  \n   Format   =   2   \nSlash=\t1\t\n");
    EXPECT_EQ(IniRead(ini, "Dates", "Format", ""), "2");
    EXPECT_EQ(IniRead(ini, "Dates", "Slash", ""), "1");
}

TEST_F(SettingsFile, LengthLimits) {
    std::string longValue(1200, 'v');
    ASSERT_TRUE(IniWrite(ini, "S", "K", longValue));
    EXPECT_EQ(IniRead(ini, "S", "K", ""), std::string(999, 'v'));

    WriteFileText(ini, "[S]\nK=" + std::string(5000, 'r') + "\n");
    EXPECT_EQ(IniRead(ini, "S", "K", ""), std::string(3999, 'r'));

    // Section and key names are cut to 299 characters on both sides.
    std::string longSection = std::string(299, 's') + "EXTRA";
    std::string longKey = std::string(299, 'k') + "MORE";
    ASSERT_TRUE(IniWrite(ini, longSection, longKey, "x"));
    EXPECT_EQ(IniRead(ini, std::string(299, 's'), std::string(299, 'k'), ""), "x");
    EXPECT_EQ(IniRead(ini, std::string(299, 's') + "other", std::string(299, 'k') + "zz", ""), "x");
}

TEST_F(SettingsFile, CutNeverSplitsAUtf8Character) {
    std::string value = std::string(998, 'a') + "\xC3\xA9";  // 1000 bytes, last char two bytes
    ASSERT_TRUE(IniWrite(ini, "S", "K", value));
    EXPECT_EQ(IniRead(ini, "S", "K", ""), std::string(998, 'a'));
}

TEST_F(SettingsFile, EveryOtherLineIsKeptAsItWas) {
    const std::string before =
        "; comment line\n"
        "junk without equals\n"
        "[First]\n"
        "A=1\n"
        "; note in section\n"
        "\n"
        "[Second]\n"
        "B = old value\n"
        "C=3\n";
    WriteFileText(ini, before);
    ASSERT_TRUE(IniWrite(ini, "second", "b", "new"));
    ASSERT_TRUE(IniWrite(ini, "First", "Z", "26"));
    ASSERT_TRUE(IniWrite(ini, "Third", "T", "3"));
    EXPECT_EQ(ReadFileText(ini),
              "; comment line\n"
              "junk without equals\n"
              "[First]\n"
              "A=1\n"
              "; note in section\n"
              "Z=26\n"
              "\n"
              "[Second]\n"
              "b=new\n"
              "C=3\n"
              "[Third]\n"
              "T=3\n");
}

TEST_F(SettingsFile, LineEndStyleOfTheFileIsKept) {
    struct Case {
        std::string start, expected;
    } cases[] = {
        {"", "[S]\r\nK=v\r\n"},                                  // new file: CR LF
        {"[S]\r\nA=1\r\n", "[S]\r\nA=1\r\nK=v\r\n"},             // CR LF stays CR LF
        {"[S]\nA=1\n", "[S]\nA=1\nK=v\n"},                       // LF stays LF
        {"[S]\nA=1", "[S]\nA=1\nK=v\n"},                         // no final line end
        {"[Other]\r\nX=1", "[Other]\r\nX=1\r\n[S]\r\nK=v\r\n"},  // new section after last line
    };
    for (const Case& c : cases) {
        fs::remove(ini);
        if (!c.start.empty()) WriteFileText(ini, c.start);
        ASSERT_TRUE(IniWrite(ini, "S", "K", "v"));
        EXPECT_EQ(ReadFileText(ini), c.expected) << "start: " << c.start;
    }
}

TEST_F(SettingsFile, ByteOrderMarkIsReadAndKept) {
    WriteFileText(ini, "\xEF\xBB\xBF[Filing]\r\nDeadline=2455000\r\n");
    EXPECT_EQ(IniRead(ini, "Filing", "Deadline", "0"), "2455000");
    ASSERT_TRUE(IniWrite(ini, "Filing", "Deadline", "0"));
    EXPECT_EQ(ReadFileText(ini), "\xEF\xBB\xBF[Filing]\r\nDeadline=0\r\n");
}

TEST_F(SettingsFile, GarbledFilesReadAsDefaults) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) % 256);
    const std::string garbled[] = {
        binary,
        std::string("Deadline=5\nno sections at all\n"),
        std::string(2'000'000, 'x') + "\n[Filing\nDeadline=7\n",
        std::string("[Filing]\0Deadline=9\n", 20),
        std::string("[]\n=\n[=]\n==\n"),
    };
    for (const std::string& content : garbled) {
        WriteFileText(ini, content);
        EXPECT_EQ(IniRead(ini, "Filing", "Deadline", "0"), "0");
        // Writing still works and the junk stays in place.
        ASSERT_TRUE(IniWrite(ini, "Filing", "Deadline", "1"));
        EXPECT_EQ(IniRead(ini, "Filing", "Deadline", "0"), "1");
    }
}

TEST_F(SettingsFile, FirstOfTwoSectionsWithTheSameNameCounts) {
    WriteFileText(ini, "[S]\nK=first\n[T]\nK=t\n[s]\nK=second\n");
    EXPECT_EQ(IniRead(ini, "S", "K", ""), "first");
    ASSERT_TRUE(IniWrite(ini, "S", "K", "changed"));
    EXPECT_EQ(ReadFileText(ini), "[S]\nK=changed\n[T]\nK=t\n[s]\nK=second\n");
}

TEST_F(SettingsFile, WriteCannotPlantLinesOrBadNames) {
    ASSERT_TRUE(IniWrite(ini, "S", "K", "a\r\n[Evil]\r\nX=1"));
    EXPECT_EQ(IniRead(ini, "Evil", "X", "none"), "none");
    EXPECT_EQ(IniRead(ini, "S", "K", ""), "a  [Evil]  X=1");
    EXPECT_FALSE(IniWrite(ini, "S", "", "v"));
    EXPECT_FALSE(IniWrite(ini, "  ", "K", "v"));
    EXPECT_FALSE(IniWrite(ini, "S", "A=B", "v"));
    EXPECT_FALSE(IniWrite(ini, "Bad]Name", "K", "v"));
}

TEST_F(SettingsFile, ReplacementLeavesNoTemporaryFile) {
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(IniWrite(ini, "Loop", "N", std::to_string(i)));
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Vantrel.ini"});
    EXPECT_EQ(IniRead(ini, "Loop", "N", ""), "19");
}

TEST_F(SettingsFile, WriteIntoMissingFolderFailsCleanly) {
    std::string nowhere = folder.path() + "no/such/folder/Vantrel.ini";
    EXPECT_FALSE(IniWrite(nowhere, "S", "K", "v"));
    EXPECT_FALSE(fs::exists(nowhere));
}

}  // namespace
