// The file seam as the program's writers use it: a write that fails at a
// chosen byte (a disk filling up there) leaves the old file, no temporary
// file, and is reported by each writer in its own words; and a program folder
// whose names go beyond ASCII opens, saves, backs up and restores.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/settings.h"
#include "data/query.h"
#include "data/schema.h"
#include "reports/safe_file.h"
#include "services/archive.h"
#include "services/backups.h"
#include "services/mail_handoff.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

// The AtomicFile writes of this test fail at a chosen byte until it ends.
struct DiskFullAt {
    DiskFullAt(int64_t at) { FailAtomicWritesAtByte(at, ENOSPC); }
    ~DiskFullAt() { FailAtomicWritesAtByte(-1, 0); }
};

TEST(AtomicWrite, AWriteCutShortKeepsTheOldFileAndEachWriterReportsIt) {
    TempProgramFolder folder;
    const std::string disk = std::strerror(ENOSPC);
    // The new content of each file is 20,000 bytes or more, so that a cut
    // inside it lands in the middle of a write.
    const std::string big(20000, 'n');
    struct Writer {
        const char* what;
        std::string file;
        // Writes the new content; what the writer reported ("" = success).
        std::function<std::string(const std::string& path)> write;
        std::string failure;  // the report of a failed write
    };
    const Writer writers[] = {
        {"the seam itself", "plain.txt",
         [&](const std::string& path) {
             const AtomicWriteResult r = WriteFileAtomically(path, big);
             return r.error
                        ? std::to_string(static_cast<int>(r.stage)) + " " + std::strerror(r.error)
                        : std::string();
         },
         "2 " + disk},
        {"the settings file", "Vantrel.ini",
         [&](const std::string& path) {
             return IniWrite(path, "Options", "Long", std::string(900, 'v'))
                        ? std::string()
                        : std::string("refused");
         },
         "refused"},
        {"a list export", "list.csv",
         [&](const std::string& path) {
             std::string error;
             return ReplaceFileWithBytes(path, big, error) ? std::string() : error;
         },
         "the file could not be written (" + disk + ")"},
        {"the service report's text", "ServiceReport.txt",
         [&](const std::string&) {
             const ReportTextResult r = WriteServiceReportText(folder.path());
             return r.error ? std::string(std::strerror(r.error)) : std::string();
         },
         disk},
    };
    const std::string old = "old content\r\n";
    for (const Writer& w : writers) {
        const std::string path = folder.path() + w.file;
        // At the first byte, inside the first block, and one byte short.
        for (int64_t at : {0, 1, 9}) {
            SCOPED_TRACE(std::string(w.what) + ", full at byte " + std::to_string(at));
            WriteFileText(path, old);
            {
                DiskFullAt full(at);
                EXPECT_EQ(w.write(path), w.failure);
            }
            EXPECT_EQ(ReadFileText(path), old);
            EXPECT_EQ(FolderEntries(folder.path()), std::vector<std::string>{w.file});
        }
        // A disk with just enough room takes the whole file.
        EXPECT_EQ(w.write(path), "") << w.what;
        EXPECT_NE(ReadFileText(path), old) << w.what;
        RemoveFile(path);
    }
}

TEST(NonAsciiNames, AProgramFolderBeyondAsciiOpensSavesBacksUpAndRestores) {
    TempProgramFolder base;
    const std::string program = base.path() + "Stacja é ł Ραδιόφωνο Радио" + PathSeparator();
    ASSERT_EQ(MakeOneFolder(program), 0);
    SetAppFolder(program);
    for (const std::string& f : {Paths().dataFolder, Paths().backupFolder})
        ASSERT_EQ(MakeOneFolder(f), 0) << f;
    ASSERT_TRUE(OpenDatabase());
    EXPECT_TRUE(IsRegularFile(DatabasePath()));
    SeedProgramRow("Rozmowa łąka Συζήτηση Беседа", "30 minutes");

    ASSERT_TRUE(IniWrite(Paths().settingsFile, "Stations", "Ostatnia", "Λίστα Список"));
    EXPECT_EQ(IniRead(Paths().settingsFile, "Stations", "Ostatnia", ""), "Λίστα Список");

    const std::string zip = Paths().backupFolder + "Kopia żółw Αντίγραφο Копия.zip";
    ASSERT_EQ(BuildBackupArchive(zip, false).code, 0) << ArchiveFailureReason();
    ASSERT_TRUE(IsRegularFile(zip));
    SeedProgramRow("Added after the backup", "5 minutes");
    ASSERT_EQ(slSelStr("SELECT count(*) FROM Programs"), "2");

    const RestoreOutcome restored = RestoreFromArchive(zip);
    ASSERT_EQ(restored.result, 1) << restored.notices.back().text2;
    EXPECT_EQ(slSelStr("SELECT group_concat(Title, '|') FROM Programs"),
              "Rozmowa łąka Συζήτηση Беседа");
    slClose();
    SetAppFolder(base.path());
}

}  // namespace
