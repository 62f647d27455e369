// Backup archives and restores without windows: archives checked with other
// zip readers (unzip, Python's zipfile), restores from sound, foreign,
// damaged and hostile archives, the safety archive, backup names and the
// reminder's schedules. Prompts are answered through the message hook.
#include "services/backup.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "data/dates.h"
#include "data/db_check.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/archive.h"
#include "services/backups.h"
#include "services/maintenance.h"
#include "support/days.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/shell.h"
#include "support/test_env.h"

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Runs a shell command; its standard output.
std::string Shell(const std::string& command) {
    return Capture(command);
}

time_t LocalTime(int y, int mo, int d, int h, int mi, int s) {
    struct tm t {};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

void SetMtime(const std::string& path, time_t t) {
    std::error_code ec;
    fs::last_write_time(
        fs::path(std::u8string(path.begin(), path.end())),
        std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t)), ec);
    ASSERT_FALSE(ec) << path << ": " << ec.message();
}

struct Entry {
    std::string name;
    std::string content;
};

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetClockOverride(ClockReading{2013, 3, 1, 10, 0, 0});
        fs::create_directories(Paths().backupFolder);
        ASSERT_TRUE(folder.OpenFreshDatabase());
        AddProgram("Morning Talk");
    }
    void TearDown() override { SetClockOverride(std::nullopt); }

    static void OpenDatabaseAgain() { ASSERT_TRUE(OpenDatabase()); }

    static void AddProgram(const std::string& title) { SeedProgramRow(title, "30 minutes"); }
    static std::string Titles() {
        return slSelStr(
            "SELECT group_concat(Title, '|') FROM (SELECT Title FROM Programs ORDER BY PID)");
    }
    static std::string DatabaseBytes() { return ReadFileText(DatabasePath()); }
    std::string Archive(const std::string& name) const { return Paths().backupFolder + name; }

    // A zip written by Python's zipfile, entries deflated (or stored), in the order given.
    // With zip64 on, every entry carries zip64 size records, as entries of 4 GB do.
    std::string MakeZip(const std::string& name, const std::vector<Entry>& entries,
                        bool stored = false, bool zip64 = false) const {
        const std::string script = folder.path() + "mkzip.py";
        WriteFileText(script,
                      std::string("import sys, zipfile\n") +
                          (zip64 ? "zipfile.ZIP64_LIMIT = 0\n" : "") +
                          "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                          "    a = sys.argv[3:]\n"
                          "    for i in range(0, len(a), 2):\n"
                          "        data = open(a[i + 1], 'rb').read()\n"
                          "        info = zipfile.ZipInfo(a[i], (2013, 3, 1, 10, 0, 0))\n"
                          "        z.writestr(info, data, compress_type=int(sys.argv[2]))\n");
        std::string command =
            "python3 " + Quote(script) + " " + Quote(Archive(name)) + (stored ? " 0" : " 8");
        for (size_t i = 0; i < entries.size(); ++i) {
            const std::string part = folder.path() + "part" + std::to_string(i);
            WriteFileText(part, entries[i].content);
            command += " " + Quote(entries[i].name) + " " + Quote(part);
        }
        EXPECT_EQ(RunShell(command), 0) << command;
        return Archive(name);
    }
    // Files in the data folder besides the database (temporary files left over).
    static std::vector<std::string> DataFolderExtras() {
        std::vector<std::string> extra;
        for (const auto& e : fs::directory_iterator(Paths().dataFolder))
            if (e.path().filename() != kDatabaseFileName) extra.push_back(e.path().string());
        return extra;
    }
    // A database file made by statements of its own, its bytes.
    std::string DatabaseMadeBy(const std::string& statements) const {
        const std::string path = folder.path() + "made.db3";
        fs::remove(path);
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, statements.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        return ReadFileText(path);
    }

    TempProgramFolder folder;
};

// --- backup ---

TEST_F(BackupTest, ArchiveHoldsOneEntryNamedByTheDatabasePathWithItsTime) {
    SetMtime(DatabasePath(), LocalTime(2012, 11, 23, 14, 35, 42));
    const std::string zip = Archive("one.zip");
    BackupResult r = BuildBackupArchive(zip, false);
    ASSERT_EQ(r.code, 0) << r.reason;
    EXPECT_TRUE(slIsOpen());  // reopened after the copy
    EXPECT_EQ(Titles(), "Morning Talk");

    std::string listing = Shell("unzip -l " + Quote(zip));
    EXPECT_NE(listing.find(DatabasePath()), std::string::npos) << listing;
    EXPECT_NE(listing.find("2012-11-23 14:35"), std::string::npos) << listing;
    EXPECT_NE(listing.find("1 file"), std::string::npos) << listing;

    std::string python = Shell(
        "python3 -c \"import sys, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "print(z.testzip())\n"
        "for i in z.infolist(): print(i.filename, i.date_time, i.compress_type, i.file_size)\" " +
        Quote(zip));
    EXPECT_EQ(python, "None\n" + DatabasePath() + " (2012, 11, 23, 14, 35, 42) 8 " +
                          std::to_string(fs::file_size(DatabasePath())) + "\n");
    EXPECT_FALSE(fs::exists(zip + ".tmp"));
}

TEST_F(BackupTest, ServiceReportArchiveAddsTheSettingsFileAfterTheDatabase) {
    ASSERT_TRUE(IniWrite(Paths().settingsFile, "Options", "TipsOn", "1"));
    const std::string zip = Archive("report.zip");
    ASSERT_EQ(CreateBackupArchive(zip, false, true), 0);
    std::string names = Shell(
        "python3 -c \"import sys, zipfile\n"
        "print('|'.join(zipfile.ZipFile(sys.argv[1]).namelist()))\" " +
        Quote(zip));
    EXPECT_EQ(names, DatabasePath() + "|" + Paths().settingsFile + "\n");
}

TEST_F(BackupTest, FailedBackupsLeaveNoArchiveAndAnEarlierFileUntouched) {
    const std::string earlier = Archive("earlier.zip");
    WriteFileText(earlier, "an earlier backup");
    fs::create_directories(Archive("a-folder.zip"));
    struct Case {
        const char* what;
        std::string path;
        bool includeSettings;
        int code;
    } cases[] = {
        {"folder missing", folder.path() + "no/such/folder/x.zip", false, kArchiveOpenError},
        {"path is a folder", Archive("a-folder.zip"), false, kArchiveOpenError},
        {"path ends in a slash", Paths().backupFolder, false, kArchiveOpenError},
        // The settings file does not exist: the database was added, then the
        // second file failed. The earlier archive stays as it was.
        {"second file missing", earlier, true, 53},
    };
    for (const Case& c : cases) {
        BackupResult r = BuildBackupArchive(c.path, c.includeSettings);
        EXPECT_EQ(r.code, c.code) << c.what;
        EXPECT_NE(r.reason, "") << c.what;
        EXPECT_FALSE(fs::exists(c.path + ".tmp")) << c.what;
        EXPECT_TRUE(slIsOpen()) << c.what;
    }
    EXPECT_EQ(ReadFileText(earlier), "an earlier backup");
    EXPECT_FALSE(fs::exists(folder.path() + "no"));
}

TEST_F(BackupTest, BackupErrorIsShownWithItsReasonAndAMissingDatabaseIsNot) {
    PromptQueue prompts;
    prompts.Expect("Backup Error");
    const std::string bad = folder.path() + "missing/x.zip";
    EXPECT_EQ(CreateBackupArchive(bad, true, false), kArchiveOpenError);
    ASSERT_EQ(prompts.Titles(), std::vector<std::string>{"Backup Error"});
    EXPECT_EQ(prompts.seen[0].text1, "Unable to open zip file.{f10,t4}");
    EXPECT_NE(prompts.seen[0].text2.find(bad), std::string::npos);
    EXPECT_NE(prompts.seen[0].text2.find("No such file or directory"), std::string::npos);

    EXPECT_EQ(BackupErrorNotice({61, "x: No space left on device"}).text, "Disk full{f10,t4}");

    slClose();
    fs::remove(DatabasePath());
    EXPECT_EQ(CreateBackupArchive(Archive("none.zip"), true, false), 53);
    EXPECT_EQ(prompts.seen.size(), 1u);
    EXPECT_FALSE(fs::exists(Archive("none.zip")));
}

TEST_F(BackupTest, BackupNamesNeverNameAnExistingFile) {
    const std::string folderB = folder.path() + "elsewhere/";
    EXPECT_EQ(NewBackupName("", Paths().backupFolder),
              Paths().backupFolder + "20130301-100000-Backup.zip");
    EXPECT_EQ(NewBackupName(folderB + "old.zip", Paths().backupFolder),
              folderB + "20130301-100000-Backup.zip");
    EXPECT_EQ(NewBackupName(Paths().backupFolder, "unused/"),
              Paths().backupFolder + "20130301-100000-Backup.zip");
    // The clock stands still: taken names get a counter.
    WriteFileText(Archive("20130301-100000-Backup.zip"), "x");
    WriteFileText(Archive("20130301-100000-2-Backup.zip"), "x");
    EXPECT_EQ(NewBackupName("", Paths().backupFolder),
              Paths().backupFolder + "20130301-100000-3-Backup.zip");
}

TEST(BackupNames, ChosenNamesGetTheZipExtension) {
    struct Case {
        const char* chosen;
        const char* expected;
    } cases[] = {
        {"/home/u/backup", "/home/u/backup.zip"},
        {"/home/u/my.backup.ZIP", "/home/u/my.backup.zip"},  // only the last extension goes
        {"/home/u/WAAA 2024.07.02.zip", "/home/u/WAAA 2024.07.02.zip"},
        {"/home/u/WAAA 2024.07.02", "/home/u/WAAA 2024.07.02.zip"},  // digits are no extension
        {"/home/u/old.", "/home/u/old.zip"},
        {"/home/u.dir/name", "/home/u.dir/name.zip"},  // a dot in a folder stays
        {"/home/u/.zip", "/home/u/.zip"},
    };
    for (const Case& c : cases) EXPECT_EQ(ForceZipName(c.chosen), c.expected) << c.chosen;
}

// --- restore ---

TEST_F(BackupTest, RestoreBringsBackTheDatabaseByteForByte) {
    // Folder names of 200 characters: the archive path is far beyond 259.
    std::string deep = Paths().backupFolder;
    for (char c : {'a', 'b'}) deep += std::string(200, c) + "/";
    fs::create_directories(deep);
    const std::string zip = deep + std::string(120, 'n') + ".zip";
    ASSERT_EQ(BuildBackupArchive(zip, false).code, 0);
    slClose();
    const std::string atBackup = DatabaseBytes();
    OpenDatabaseAgain();
    AddProgram("Added after the backup");
    ASSERT_EQ(Titles(), "Morning Talk|Added after the backup");

    std::string why;
    ASSERT_EQ(ExtractArchive(zip, &why), 1) << why;
    EXPECT_FALSE(slIsOpen());
    EXPECT_EQ(DatabaseBytes(), atBackup);
    EXPECT_TRUE(DataFolderExtras().empty());
    OpenDatabaseAgain();
    EXPECT_EQ(Titles(), "Morning Talk");
}

TEST_F(BackupTest, ArchivesFromTheWindowsVersionAreFoundByFileName) {
    slClose();
    const std::string bytes = DatabaseBytes();
    const std::string zip =
        MakeZip("windows.zip", {{"C:\\Program Files\\Vantrel\\Data\\VantrelData.db3", bytes}});
    OpenDatabaseAgain();
    AddProgram("Added");
    ASSERT_EQ(ExtractArchive(zip), 1);
    EXPECT_EQ(DatabaseBytes(), bytes);
}

TEST_F(BackupTest, FailedRestoresLeaveTheDatabaseUntouched) {
    slClose();
    const std::string good = DatabaseBytes();
    std::string damaged = good;
    damaged.replace(100, 200, std::string(200, '\x5a'));  // header kept, pages broken
    const std::string notZip = Archive("text.zip");
    WriteFileText(notZip, "just some text, not an archive");
    // A deflated entry whose stored checksum no longer matches its content.
    std::string crc = ReadFileText(MakeZip("crc.zip", {{"VantrelData.db3", good}}));
    crc[14] = static_cast<char>(crc[14] ^ 0x01);  // local header checksum
    const size_t central = crc.find(std::string("PK\x01\x02", 4));
    crc[central + 16] = static_cast<char>(crc[central + 16] ^ 0x01);
    WriteFileText(Archive("crc.zip"), crc);

    struct Case {
        const char* what;
        std::string archive;
        const char* reason;
    } cases[] = {
        {"missing file", Archive("nowhere.zip"), "cannot be opened"},
        {"not a zip", notZip, "not a zip archive"},
        {"no database entry", MakeZip("other.zip", {{"Data/Other.db3", good}}), "holds no"},
        {"folder entry only", MakeZip("folder.zip", {{"Data/VantrelData.db3/", ""}}), "holds no"},
        {"not a database", MakeZip("junk.zip", {{"VantrelData.db3", "hello"}}), "not a working"},
        {"empty file", MakeZip("empty.zip", {{"VantrelData.db3", ""}}), "not a working"},
        {"damaged database", MakeZip("damaged.zip", {{"VantrelData.db3", damaged}}),
         "not a working"},
        {"checksum", Archive("crc.zip"), "damaged"},
    };
    for (const Case& c : cases) {
        std::string why;
        EXPECT_EQ(ExtractArchive(c.archive, &why), 0) << c.what;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.what << ": " << why;
        EXPECT_EQ(DatabaseBytes(), good) << c.what;
        EXPECT_TRUE(DataFolderExtras().empty()) << c.what;
    }
}

// An entry is read whole in memory or streamed (stored entries, large ones);
// both ways must agree on every archive, and the whole read hands over
// nothing before the entry has passed its checks.
TEST_F(BackupTest, EntriesReadWholeOrStreamedAgree) {
    std::string content;
    for (int i = 0; content.size() < 300000; ++i)
        content += "Entry " + std::to_string(i * 7919 % 100003) + " of the quarter; ";
    const std::string sound = ReadFileText(MakeZip("sound.zip", {{"VantrelData.db3", content}}));
    // Adds delta to the 32-bit field at the given place of the local header
    // and of the central directory entry, so both still agree.
    auto patched = [&](const char* name, size_t local, size_t central, int64_t delta) {
        std::string bytes = sound;
        const size_t dir = bytes.find(std::string("PK\x01\x02", 4));
        for (size_t at : {local, dir + central}) {
            uint32_t v = 0;
            for (int b = 3; b >= 0; --b) v = v << 8 | static_cast<uint8_t>(bytes[at + b]);
            v = static_cast<uint32_t>(v + delta);
            for (int b = 0; b < 4; ++b) bytes[at + b] = static_cast<char>(v >> (8 * b));
        }
        WriteFileText(Archive(name), bytes);
        return Archive(name);
    };
    using S = EntryRead::Status;
    struct Case {
        const char* what;
        std::string archive;
        S status;
    } cases[] = {
        {"deflated", Archive("sound.zip"), S::Copied},
        {"stored", MakeZip("stored.zip", {{"VantrelData.db3", content}}, true), S::Copied},
        {"checksum", patched("crc.zip", 14, 16, 1), S::Damaged},
        {"claims a byte more", patched("longer.zip", 22, 24, 1), S::Damaged},
        {"claims a byte less", patched("shorter.zip", 22, 24, -1), S::Damaged},
        {"compressed bytes beyond the end", patched("beyond.zip", 18, 20, 1 << 20), S::Damaged},
    };
    for (uint64_t limit : {kWholeEntryLimit, uint64_t{0}}) {
        for (const Case& c : cases) {
            std::string got;
            int blocks = 0;
            EntryRead r = ReadArchiveEntry(
                c.archive, kDatabaseFileName,
                [&](const char* d, size_t n) {
                    got.append(d, n);
                    ++blocks;
                    return true;
                },
                limit);
            const std::string what = std::string(c.what) + (limit ? " (whole)" : " (streamed)");
            EXPECT_EQ(r.status, c.status) << what;
            if (c.status == S::Copied) {
                EXPECT_EQ(got, content) << what;
                EXPECT_EQ(r.size, content.size()) << what;
            } else if (limit != 0) {
                EXPECT_EQ(blocks, 0) << what;
            }
        }
    }
    // A sink that refuses its block ends either read.
    for (uint64_t limit : {kWholeEntryLimit, uint64_t{0}}) {
        EntryRead r = ReadArchiveEntry(
            Archive("sound.zip"), kDatabaseFileName, [](const char*, size_t) { return false; },
            limit);
        EXPECT_EQ(r.status, S::SinkFailed) << limit;
    }
}

TEST_F(BackupTest, HostileArchiveWritesNothingOutsideTheDatabase) {
    slClose();
    const std::string good = DatabaseBytes();
    const std::string victim = folder.path() + "victim.txt";
    WriteFileText(victim, "original");
    WriteFileText(Paths().settingsFile, "[Options]\nTipsOn=1\n");
    const std::string zip =
        MakeZip("hostile.zip", {
                                   {"../../escaped.txt", "escaped"},
                                   {"Data/../../escaped2.txt", "escaped"},
                                   {victim, "overwritten"},
                                   {"Vantrel.ini", "[Options]\nTipsOn=0\n"},
                                   {"Data/VantrelData.db3/", ""},
                                   {"C:\\Vantrel\\Data\\VantrelData.db3", "SQLite format 3"},
                                   {"later/VantrelData.db3", good},
                               });
    const fs::path cwd = fs::current_path();
    std::string why;
    EXPECT_EQ(ExtractArchive(zip, &why), 0);
    EXPECT_NE(why.find("not a working database"), std::string::npos) << why;
    EXPECT_EQ(ReadFileText(victim), "original");
    EXPECT_EQ(ReadFileText(Paths().settingsFile), "[Options]\nTipsOn=1\n");
    EXPECT_EQ(DatabaseBytes(), good);
    EXPECT_TRUE(DataFolderExtras().empty());
    for (const fs::path& base : {fs::path(folder.path()), fs::path(Paths().dataFolder), cwd,
                                 cwd.parent_path(), fs::path(folder.path()).parent_path()}) {
        EXPECT_FALSE(fs::exists(base / "escaped.txt")) << base;
        EXPECT_FALSE(fs::exists(base / "escaped2.txt")) << base;
    }
}

// Another program writing to the database: with its changes spilled into
// the file (an exclusive lock) nothing can be copied consistently, so the
// backup and the restore are refused and nothing is written or lost; with
// its changes still in its memory (a reserved lock) the backup holds the
// last committed state and passes the integrity check, and the restore
// still waits for the writer to finish.
TEST_F(BackupTest, AnotherProgramWritingMeansConsistentCopiesOrNone) {
    const std::string good = Archive("good.zip");
    ASSERT_EQ(BuildBackupArchive(good, false).code, 0);
    slClose();
    const std::string before = DatabaseBytes();
    OpenDatabaseAgain();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(DatabasePath().c_str(), &other), SQLITE_OK);
    const std::string bulk =
        "PRAGMA cache_size=1; BEGIN; WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
        "WHERE i < 3000) INSERT INTO Programs (Title) SELECT printf('%0400d', i) FROM n;";
    for (const std::string& write : {bulk, std::string("BEGIN IMMEDIATE; INSERT INTO Programs "
                                                       "(Title) VALUES ('Uncommitted');")}) {
        ASSERT_EQ(sqlite3_exec(other, write.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        const bool spilled = write == bulk;
        const std::string zip = Archive(spilled ? "spilled.zip" : "reserved.zip");
        BackupResult b = BuildBackupArchive(zip, false);
        if (spilled) {
            EXPECT_EQ(b.code, 55);
            EXPECT_NE(b.reason.find("in use by another program"), std::string::npos) << b.reason;
            EXPECT_FALSE(fs::exists(zip));
        } else {
            ASSERT_EQ(b.code, 0) << b.reason;
            const std::string copy = folder.path() + "copy.db3";
            Shell("unzip -p " + Quote(zip) + " > " + Quote(copy));
            std::string problem;
            EXPECT_TRUE(IsWorkingDatabase(copy, problem)) << problem;
            EXPECT_EQ(
                Shell("python3 -c \"import sqlite3, sys; print(sqlite3.connect(sys.argv[1])"
                      ".execute('SELECT group_concat(Title) FROM Programs').fetchone()[0])\" " +
                      Quote(copy)),
                "Morning Talk\n");
        }
        RestoreOutcome o = RestoreFromArchive(good);
        ASSERT_EQ(o.notices.size(), 1u);
        EXPECT_EQ(o.notices[0].title, "Restoration Failed");
        EXPECT_NE(o.notices[0].text2.find("in use by another program"), std::string::npos);
        EXPECT_EQ(o.result, 0);
        EXPECT_FALSE(fs::exists(Archive("temp.zip")));
        EXPECT_TRUE(DataFolderExtras().size() <= 1u);  // the other program's journal at most
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        EXPECT_EQ(Titles(), "Morning Talk");
    }
    sqlite3_close(other);
    slClose();
    EXPECT_EQ(DatabaseBytes(), before);
    // In write-ahead-log mode the file alone misses what its log holds.
    OpenDatabaseAgain();
    ASSERT_EQ(slExe("PRAGMA journal_mode=WAL"), 0);
    AddProgram("Logged");
    ASSERT_EQ(BuildBackupArchive(Archive("wal.zip"), false).code, 0);
    EXPECT_NE(Shell("unzip -p " + Quote(Archive("wal.zip"))).find("Logged"), std::string::npos);
    EXPECT_TRUE(DataFolderExtras().size() <= 2u);  // the log and its index, no copy left
}

// A sound SQLite file that is not ours never replaces the database; a file
// of an earlier layout, which the upgrade completes, does.
TEST_F(BackupTest, RestoreTakesOnlyAVantrelDatabase) {
    slClose();
    const std::string before = DatabaseBytes();
    OpenDatabaseAgain();
    struct Case {
        const char* what;
        std::string statements;
        bool restored;
    } cases[] = {
        {"another program's tables",
         "CREATE TABLE Contacts (Name, Phone); INSERT INTO "
         "Contacts VALUES ('A', '1');",
         false},
        {"no tables, only a version", "PRAGMA user_version = 7;", false},
        {"stations without License, no DateTime",
         "CREATE TABLE Quarter (QID INTEGER PRIMARY KEY NOT NULL, StartDate,EndDate,QNumber);"
         "CREATE TABLE Stations (StnID INTEGER PRIMARY KEY NOT NULL, Calls,QtrID,Rank);"
         "CREATE TABLE Issues (IID INTEGER PRIMARY KEY NOT NULL, IQtr,SID,IIssue,IDescription,"
         "IRank); CREATE TABLE Programs (PID INTEGER PRIMARY KEY NOT NULL, Duration,Title,"
         "PDescription); CREATE TABLE Master (MID INTEGER PRIMARY KEY NOT NULL, AirDates,Qtr,"
         "Issue,Pgm,Station,FreqCheck,Frequency); CREATE TABLE Methods (DID INTEGER PRIMARY KEY "
         "NOT NULL, MQtrID,StnID,Method); INSERT INTO Programs (Title) VALUES ('Old Talk');",
         true},
    };
    for (const Case& c : cases) {
        const std::string zip =
            MakeZip("made.zip", {{"VantrelData.db3", DatabaseMadeBy(c.statements)}});
        RestoreOutcome o = RestoreFromArchive(zip);
        ASSERT_FALSE(o.notices.empty()) << c.what;
        EXPECT_EQ(o.notices[0].title, c.restored ? "Restoration Complete" : "Restoration Failed")
            << c.what;
        EXPECT_TRUE(slIsOpen()) << c.what;
        EXPECT_FALSE(fs::exists(Archive("temp.zip"))) << c.what;
        if (c.restored) {
            EXPECT_EQ(Titles(), "Old Talk") << c.what;
            EXPECT_EQ(slGetTableColumnNames("DateTime"), "AID,MLink,AirDate,AirTime") << c.what;
            continue;
        }
        EXPECT_NE(o.notices[0].text2.find("holds no Vantrel database"), std::string::npos)
            << c.what << ": " << o.notices[0].text2;
        slClose();
        EXPECT_EQ(DatabaseBytes(), before) << c.what;
        OpenDatabaseAgain();
    }
}

// An entry is refused from its head and declared size before it is
// inflated, and a stream never delivers more than the entry declares.
TEST_F(BackupTest, OversizedEntriesAreRefusedWithoutBeingInflated) {
    slClose();
    const std::string db = DatabaseBytes();
    const std::string zeros(64 << 20, '\0');
    const std::string bomb = MakeZip("bomb.zip", {{"VantrelData.db3", db + zeros}});
    const std::string headless = MakeZip("headless.zip", {{"VantrelData.db3", zeros}});
    // A header of 2^31 - 1 pages of 64 KB, and its zip64 sizes claiming as
    // much: 140 TB, more than any disk here has free.
    std::string head = db.substr(0, 100);
    head.replace(16, 2, std::string("\0\1", 2));
    head.replace(28, 4, "\x7f\xff\xff\xff");
    std::string huge = ReadFileText(MakeZip("huge.zip", {{"VantrelData.db3", head}}, false, true));
    for (size_t at = 0; (at = huge.find(std::string("\x01\0\x10\0", 4), at)) != huge.npos;)
        huge.replace(at += 4, 8, std::string("\0\0\xff\xff\xff\x7f\0\0", 8));
    WriteFileText(Archive("huge.zip"), huge);
    for (const auto& [archive, reason] : {std::pair{bomb, "disagrees with its header"},
                                          {headless, "not an SQLite database"},
                                          {Archive("huge.zip"), "not enough free space"}}) {
        const auto start = std::chrono::steady_clock::now();
        std::string why;
        EXPECT_EQ(ExtractArchive(archive, &why), 0);
        EXPECT_NE(why.find(reason), std::string::npos) << why;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_TRUE(DataFolderExtras().empty());
        EXPECT_EQ(DatabaseBytes(), db);
    }
    // The 64 MB entry claiming 1 MB: the stream stops at the claim.
    std::string lying = ReadFileText(headless);
    for (size_t at : {size_t{22}, lying.find(std::string("PK\x01\x02", 4)) + 24})
        lying.replace(at, 4, std::string("\0\0\x10\0", 4));
    WriteFileText(Archive("lying.zip"), lying);
    uint64_t delivered = 0;
    EntryRead r = ReadArchiveEntry(
        Archive("lying.zip"), kDatabaseFileName,
        [&](const char*, size_t n) {
            delivered += n;
            return true;
        },
        0);
    EXPECT_EQ(r.status, EntryRead::Status::Damaged);
    EXPECT_LE(delivered, uint64_t{1} << 20);
}

// Entries with zip64 size records (every entry of 4 GB or more) restore,
// deflated (read whole) or stored (streamed).
TEST_F(BackupTest, Zip64EntriesRestore) {
    slClose();
    const std::string db = DatabaseBytes();
    for (bool stored : {false, true}) {
        const std::string zip = MakeZip("zip64.zip", {{"VantrelData.db3", db}}, stored, true);
        ASSERT_NE(ReadFileText(zip).find(std::string("\x01\x00\x10\x00", 4)), std::string::npos);
        WriteFileText(DatabasePath(), "replaced by the restore");
        std::string why;
        EXPECT_EQ(ExtractArchive(zip, &why), 1) << why;
        EXPECT_EQ(DatabaseBytes(), db) << stored;
    }
}

TEST_F(BackupTest, RestoreFromAFileThatIsNoZipRecoversFromTheSafetyArchive) {
    slClose();
    const std::string before = DatabaseBytes();
    OpenDatabaseAgain();
    const std::string notZip = Archive("text.zip");
    WriteFileText(notZip, "not an archive");
    RestoreOutcome o = RestoreFromArchive(notZip);
    ASSERT_EQ(o.notices.size(), 2u);
    EXPECT_EQ(o.notices[0].title, "Restoration Failed");
    EXPECT_EQ(o.notices[0].text, "Unable to restore files from the backup:|" + notZip + "{f10,t4}");
    EXPECT_EQ(o.notices[0].text2, "Error: the file is not a zip archive{f6}");
    EXPECT_EQ(o.notices[1].title, "Event Records Preserved");
    EXPECT_EQ(o.result, 1);
    EXPECT_TRUE(slIsOpen());
    slClose();
    EXPECT_EQ(DatabaseBytes(), before);
    EXPECT_FALSE(fs::exists(Archive("temp.zip")));
}

TEST_F(BackupTest, ALeftoverSafetyArchiveCanItselfBeRestored) {
    const std::string safety = Archive("temp.zip");
    ASSERT_EQ(BuildBackupArchive(safety, false).code, 0);
    AddProgram("Added");
    RestoreOutcome o = RestoreFromArchive(safety);
    EXPECT_EQ(o.result, 1);
    EXPECT_EQ(Titles(), "Morning Talk");
    EXPECT_TRUE(fs::exists(safety));
    EXPECT_FALSE(fs::exists(Archive("temp-2.zip")));
}

TEST_F(BackupTest, AFailedRestoreOverADamagedDatabaseLeavesItAndSaysNoFatalError) {
    // The current database is itself damaged: its safety copy could not
    // bring it back, but nothing was replaced, so nothing needs recovering.
    slClose();
    WriteFileText(DatabasePath(), "damaged beyond use");
    const std::string notZip = Archive("text.zip");
    WriteFileText(notZip, "not an archive");
    RestoreOutcome o = RestoreFromArchive(notZip);
    ASSERT_EQ(o.notices.size(), 2u);
    EXPECT_EQ(o.notices[0].title, "Restoration Failed");
    EXPECT_EQ(o.notices[1].title, "Event Records Preserved");
    EXPECT_EQ(o.keptSafety, "");
    EXPECT_FALSE(fs::exists(Archive("temp.zip")));
    EXPECT_EQ(ReadFileText(DatabasePath()), "damaged beyond use");
}

TEST_F(BackupTest, SafetyBackupFailureEndsTheRestore) {
    slClose();
    fs::remove(DatabasePath());
    RestoreOutcome o = RestoreFromArchive(Archive("whatever.zip"));
    ASSERT_EQ(o.notices.size(), 1u);
    EXPECT_EQ(o.notices[0].title, "Restoration Error");
    EXPECT_EQ(o.notices[0].text, "Unable to create safety backup.{f10,t4}");
    EXPECT_EQ(o.result, 53);
    EXPECT_TRUE(slIsOpen());
}

// --- reminder ---

// Switched on before any backup: the first start records the day, and the
// schedule reminds from there.
TEST_F(BackupTest, ReminderScheduleStartsWithoutABackup) {
    PromptQueue prompts;  // daily: no box on the first day, one on the next
    BackupReminder();
    EXPECT_EQ(IniRead(Paths().settingsFile, kBackupSection, kLastDateKey, ""), "03-01-2013");
    SetClockOverride(ClockReading{2013, 3, 2, 9, 0, 0});
    prompts.Expect("Backup Reminder!", 2);
    BackupReminder();
}

TEST(BackupReminderSchedule, WeeklyRemindsFromTheChosenWeekdayUntilItIsRecorded) {
    const ReminderSchedule monday{1, 0, 0};
    // 2024-05-06 and 2024-05-13 are Mondays: a Monday without a start is
    // caught up at the first start after it.
    for (int d = 7; d <= 19; ++d)
        EXPECT_EQ(BackupReminderDue(Day(2024, 5, d), "05-06-2024", monday), d >= 13) << d;
    EXPECT_TRUE(BackupReminderDue(Day(2024, 5, 14), "05-10-2024", monday));
    for (int d = 13; d <= 19; ++d)
        EXPECT_FALSE(BackupReminderDue(Day(2024, 5, d), "05-13-2024", monday)) << d;
    EXPECT_TRUE(BackupReminderDue(Day(2024, 5, 20), "05-13-2024", monday));
    const ReminderSchedule sunday{1, 0, 6};
    EXPECT_TRUE(BackupReminderDue(Day(2024, 5, 19), "05-06-2024", sunday));
}

TEST(BackupReminderSchedule, MonthlyRemindsInTheChosenWeek) {
    struct Case {
        int weekNum;
        int y, m, d;
        const char* lastDate;
        bool due;
    } cases[] = {
        // Fridays of March 2024: 1, 8, 15, 22, 29.
        {4, 2024, 3, 29, "03-01-2024", true},
        {4, 2024, 3, 22, "03-01-2024", false},
        {0, 2024, 3, 1, "02-29-2024", true},
        {3, 2024, 3, 22, "03-01-2024", true},
        {3, 2024, 3, 29, "03-22-2024", false},
        // February 2024 ends on Thursday the 29th: its last Friday is the 23rd.
        {4, 2024, 2, 23, "02-01-2024", true},
        {4, 2024, 2, 16, "02-01-2024", false},
        {4, 2024, 3, 28, "03-01-2024", false},  // the last seven days, but a Thursday
        // The day passed without a start: the next start reminds, also
        // when that is in the next month or year.
        {4, 2024, 4, 2, "03-01-2024", true},
        {4, 2024, 4, 2, "03-29-2024", false},
        {0, 2024, 1, 3, "11-30-2023", true},
        {0, 2024, 1, 3, "12-01-2023", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BackupReminderDue(Day(c.y, c.m, c.d), c.lastDate, {2, c.weekNum, 4}), c.due)
            << c.weekNum << " " << c.m << "-" << c.d << " after " << c.lastDate;
    }
}

TEST(BackupReminderSchedule, LastDateDecides) {
    const int32_t today = Day(2024, 5, 14);
    struct Case {
        const char* lastDate;
        int sequence;
        bool due;
    } cases[] = {
        {"", 0, false},            // the schedule has not started
        {"05-14-2024", 0, false},  // already today
        {"05-20-2024", 0, false},  // a later date
        {"05-13-2024", 0, true},   //
        {"5/13/2024", 0, true},    // slashes and no leading zeros
        {"not a date", 0, true},   // unreadable: long ago
        {"13-45-2024", 0, true},   //
        {"05-13-2024", 3, false},  // unknown sequence
    };
    for (const Case& c : cases)
        EXPECT_EQ(BackupReminderDue(today, c.lastDate, {c.sequence, 0, 0}), c.due) << c.lastDate;
}

}  // namespace
