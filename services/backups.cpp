#include "services/backups.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "data/dates.h"
#include "data/db_check.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/archive.h"

namespace {

std::string SystemText(int err) {
    return std::strerror(err);
}

// folder + stamp + suffix, or with a counter after the stamp while that file exists.
std::string UniqueStampedName(const std::string& folder, const std::string& suffix) {
    const std::string stamp = DateTimeStamp();
    std::string name = folder + stamp + suffix;
    for (int n = 2; PathExists(name); ++n) name = folder + stamp + "-" + std::to_string(n) + suffix;
    return name;
}

// The local date and time of an entry as seconds since 1970; -1 when invalid.
time_t EntryTime(const EntryRead& entry) {
    struct tm local {};
    local.tm_year = entry.year - 1900;
    local.tm_mon = entry.month - 1;
    local.tm_mday = entry.day;
    local.tm_hour = entry.hour;
    local.tm_min = entry.minute;
    local.tm_sec = entry.second;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

std::string NotWorking(const std::string& problem) {
    return "the archive's " + std::string(kDatabaseFileName) + " is not a working database (" +
           problem + ")";
}

uint32_t BigEndian(const char* p, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | static_cast<uint8_t>(p[i]);
    return v;
}

std::string Megabytes(uint64_t bytes) {
    return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB";
}

// The entry's first bytes must be an SQLite header whose page size and page
// count give the entry's declared size (files of SQLite versions that did not
// keep the page count: a whole number of pages), and that size must fit on
// the data folder's disk. Refused at once otherwise, before anything is
// inflated or written.
std::string CheckDatabaseHead(const char* head, size_t n, uint64_t size) {
    if (n < kEntryHeadSize || std::memcmp(head, "SQLite format 3", 16) != 0)
        return NotWorking("not an SQLite database");
    uint64_t pageSize = BigEndian(head + 16, 2);
    if (pageSize == 1) pageSize = 65536;
    if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
        return NotWorking("not an SQLite database");
    const uint64_t pages = BigEndian(head + 28, 4);
    const bool countKept = pages != 0 && BigEndian(head + 92, 4) == BigEndian(head + 24, 4);
    if (countKept ? size != pages * pageSize : size % pageSize != 0) {
        return NotWorking("its size of " + std::to_string(size) +
                          " bytes disagrees with its header");
    }
    std::error_code ec;
    const std::filesystem::space_info space =
        std::filesystem::space(FsPath(Paths().dataFolder), ec);
    if (!ec && size > space.available) {
        return "there is not enough free space in " + Paths().dataFolder + " (" + Megabytes(size) +
               " needed, " + Megabytes(space.available) + " free)";
    }
    return "";
}

// The part of a restore that needs the archive read; the reason in words on failure.
bool CopyDatabaseOut(const std::string& archivePath, AtomicFile& temp, std::string& why) {
    using S = EntryRead::Status;
    EntryRead r = ReadArchiveEntry(
        archivePath, kDatabaseFileName,
        [&](const char* data, size_t size) { return temp.Write(std::string_view(data, size)); },
        kWholeEntryLimit, CheckDatabaseHead);
    switch (r.status) {
        case S::Copied:
            break;
        case S::NotAZip:
            why = r.reason.empty() ? "the file is not a zip archive"
                                   : "the file cannot be opened (" + r.reason + ")";
            return false;
        case S::NoEntry:
            why = std::string("the archive holds no ") + kDatabaseFileName;
            return false;
        case S::Damaged:
            why = "the archive's copy of " + std::string(kDatabaseFileName) + " is damaged";
            return false;
        case S::SinkFailed:
            why = "unable to write " + temp.tempPath() + " (" + SystemText(temp.error()) + ")";
            return false;
        case S::Refused:
            why = r.reason;
            return false;
    }
    const time_t t = EntryTime(r);
    if (t != static_cast<time_t>(-1)) temp.SetModifiedTime(t);
    if (!temp.Finish()) {
        why = "unable to write " + temp.tempPath() + " (" + SystemText(temp.error()) + ")";
        return false;
    }
    return true;
}

std::string SafetyArchivePath(const std::string& source) {
    const std::string safety = Paths().backupFolder + "temp.zip";
    // Restoring from a safety archive left behind must not delete it first.
    std::error_code ec;
    if (std::filesystem::equivalent(FsPath(source), FsPath(safety), ec))
        return Paths().backupFolder + "temp-2.zip";
    return safety;
}

bool ParseMdy(const std::string& text, int32_t& day) {
    std::vector<std::string> f = Split(ReplaceAll(Trim(text), "/", "-"), "-");
    if (f.size() != 3) return false;
    int v[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (f[i].empty() || f[i].size() > 4) return false;
        for (char c : f[i])
            if (c < '0' || c > '9') return false;
        v[i] = std::stoi(f[i]);
    }
    if (v[0] < 1 || v[0] > 12 || v[2] < 1 || v[1] < 1 || v[1] > DaysInMonth(v[0], v[2]))
        return false;
    day = Mdy2JulianDate(v[0], v[1], v[2]);
    return true;
}

}  // namespace

std::string DatabasePath() {
    return Paths().dataFolder + kDatabaseFileName;
}

// --- backup ---

namespace {

std::string InUseReason() {
    return DatabasePath() +
           " is in use by another program that is writing to it. Close that program (or wait "
           "a moment) and try again";
}

// Adds the database as it stands at one moment (read within one read
// transaction, or for a file in write-ahead-log mode copied through SQLite's
// online backup), named and dated as the database file. Unless for a safety
// archive, what is added must pass the integrity check; a safety archive
// takes a damaged file or one SQLite cannot read as it is: it is what the
// restore would replace.
int AddDatabase(const std::string& archivePath, bool safety, BackupResult& failure) {
    const std::string database = DatabasePath();
    if (!IsRegularFile(database)) return failure = {53, ""}, 53;
    const time_t modified = static_cast<time_t>(ModifiedTimeOf(database));
    auto refuse = [&](int code, const std::string& reason) {
        return failure = {code, reason}, code;
    };
    std::string problem;
    DatabaseFileReader reader(database, kDatabaseWaitMs);
    switch (reader.state()) {
        case DatabaseFileReader::State::Busy:
            return refuse(55, InUseReason());
        case DatabaseFileReader::State::Failed:
            if (!safety) return refuse(kDatabaseDamagedError, database + ": " + reader.problem());
            return AddFileToArchive(database, archivePath);
        case DatabaseFileReader::State::Ok:
            if (!reader.Check(problem) && !safety)
                return refuse(kDatabaseDamagedError, database + ": " + problem);
            return AddToArchive(
                [&reader](uint64_t at, char* into, size_t n) { return reader.Read(at, into, n); },
                reader.size(), database, modified, archivePath);
        case DatabaseFileReader::State::Wal:
            break;
    }
    ScratchFile copy(database + kSnapshotSuffix);
    if (copy.path().empty()) {
        const int err = copy.error();
        return refuse(FileErrorCode(err), Paths().dataFolder + ": " + SystemText(err));
    }
    // SQLite writes the copy through a connection of its own.
    switch (SnapshotDatabase(database, copy.path(), kDatabaseWaitMs, problem)) {
        case SnapshotStatus::Busy:
            return refuse(55, InUseReason());
        case SnapshotStatus::Failed:
            return refuse(kDatabaseDamagedError, database + ": " + problem);
        case SnapshotStatus::Ok:
            break;
    }
    if (!IsWorkingDatabase(copy.path(), problem) && !safety)
        return refuse(kDatabaseDamagedError, database + ": " + problem);
    DatabaseFileReader copyReader(copy.path(), kDatabaseWaitMs);
    if (copyReader.state() != DatabaseFileReader::State::Ok)
        return refuse(kDatabaseDamagedError, copy.path() + ": " + copyReader.problem());
    return AddToArchive(
        [&copyReader](uint64_t at, char* into, size_t n) { return copyReader.Read(at, into, n); },
        copyReader.size(), database, modified, archivePath);
}

// Writes the archive (the database, then the settings file when asked).
BackupResult WriteArchive(const std::string& archivePath, bool includeSettings, bool safety) {
    BackupResult result;
    int rc = AddDatabase(archivePath, safety, result);
    if (result.code != 0) {
        AddFileToArchive("", "");  // discards what was begun
        return result;
    }
    if (rc == 0 && includeSettings) rc = AddFileToArchive(Paths().settingsFile, archivePath);
    if (rc != 0) result = {rc, ArchiveFailureReason()};
    rc = AddFileToArchive("", "");
    if (result.code == 0 && rc != 0) result = {rc, ArchiveFailureReason()};
    return result;
}

}  // namespace

BackupResult BuildBackupArchive(const std::string& archivePath, bool includeSettings) {
    // The copy is read through a connection of its own: the program's stays
    // as it is (closing and reopening it while another program writes would
    // only fail).
    return WriteArchive(archivePath, includeSettings, false);
}

Notice BackupErrorNotice(const BackupResult& failure) {
    Notice n;
    n.title = "Backup Error";
    n.text = failure.code == kArchiveOpenError       ? std::string("Unable to open zip file.")
             : failure.code == kDatabaseDamagedError ? std::string("The database is damaged.")
                                                     : FileErrorText(failure.code);
    n.text += "{f10,t4}";
    if (!failure.reason.empty()) n.text2 = failure.reason + "{f6}";
    return n;
}

std::string FolderPart(const std::string& path) {
    size_t slash = LastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FilePart(const std::string& path) {
    return path.substr(FolderPart(path).size());
}

std::string NewBackupName(const std::string& lastPath, const std::string& defaultFolder) {
    std::string folder = FolderPart(lastPath);
    if (folder.empty()) folder = defaultFolder;
    return UniqueStampedName(folder, "-Backup.zip");
}

std::string ForceZipName(const std::string& chosen) {
    const std::string name = FilePart(chosen);
    std::string base = name;
    // Only the last extension goes; dots before it belong to the name
    // ("WAAA 2024.07.02.zip"), and so does a last part of digits alone.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos &&
        (dot + 1 == name.size() ||
         name.find_first_not_of("0123456789", dot + 1) != std::string::npos))
        base = name.substr(0, dot);
    if (base.empty()) return chosen;  // ".zip" alone: nothing to cut
    return FolderPart(chosen) + base + ".zip";
}

// --- restore ---

namespace {

// Writes the archive's database to a temporary file, checks it and renames
// it over the database; 1, or 0 with the reason (the database untouched).
// The guard keeps other programs from writing meanwhile; it lets go just
// before the rename, since a file that another handle holds open cannot be
// replaced everywhere (Windows refuses it, and there a program that opens the
// file in that moment makes the rename fail, leaving the database as it was).
int ReplaceDatabase(const std::string& archivePath, std::string& why, DatabaseWriteGuard& guard) {
    const std::string target = DatabasePath();
    AtomicFile temp(target);
    if (!temp.ok()) {
        why = "unable to write in " + Paths().dataFolder + " (" + SystemText(temp.error()) + ")";
        return 0;
    }

    if (!CopyDatabaseOut(archivePath, temp, why)) return 0;
    std::string problem;
    if (!IsWorkingDatabase(temp.tempPath(), problem)) {
        why = NotWorking(problem);
        return 0;
    }
    // A sound database of another program (or one with no tables at all)
    // must not replace ours; a layout the upgrade completes is fine.
    bool failed = false;
    std::vector<std::string> missing = MissingSchemaItemsOfFile(temp.tempPath(), failed);
    std::erase_if(missing, IsAddedByUpgrade);
    if (failed || !missing.empty()) {
        if (missing.size() > 5) missing.resize(5), missing.push_back("...");
        why = std::string("the archive holds no ") + kProgramName + " database (" +
              kDatabaseFileName + (failed ? " cannot be read" : " lacks " + Join(missing, ", ")) +
              ")";
        return 0;
    }
    guard.Release();
    // A journal left beside the old file would be played into the new one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) RemoveFile(target + suffix);
    if (!temp.Commit()) {
        why = "unable to replace " + target + " (" + SystemText(temp.error()) + ")";
        return 0;
    }
    SyncFolder(Paths().dataFolder);
    return 1;
}

// True when the database opened and holds every table and column the program needs.
bool ReopenedSound(std::string& why) {
    if (!OpenDatabase() || !slIsOpen()) {
        why = "the restored database cannot be opened";
        return false;
    }
    bool failed = false;
    if (!MissingSchemaItems(failed).empty() || failed) {
        why = "the restored database cannot be read (" + slGetError() + ")";
        return false;
    }
    return true;
}

}  // namespace

int ExtractArchive(const std::string& archivePath, std::string* failure) {
    if (slIsOpen()) slClose();
    std::string why;
    DatabaseWriteGuard guard(DatabasePath(), kDatabaseWaitMs);
    int n = guard.state() == DatabaseWriteGuard::State::Busy
                ? (why = InUseReason(), 0)
                : ReplaceDatabase(archivePath, why, guard);
    if (n == 0 && failure) *failure = why;
    return n;
}

RestoreOutcome RestoreFromArchive(const std::string& source) {
    RestoreOutcome out;
    auto failed = [&](const std::string& why) {
        out.notices.push_back({"Restoration Failed",
                               "Unable to restore files from the backup:|" + source + "{f10,t4}",
                               "Error: " + why + "{f6}"});
    };
    const Notice preserved{"Event Records Preserved",
                           std::string("Your ") + kProgramName +
                               " database has been successfully recovered|"
                               "from the emergency backup archive.{f10}",
                           "None of the data have been lost.{f6}"};
    const std::string safety = SafetyArchivePath(source);
    RemoveFile(safety);

    // No other program may write to the database from its safety copy to
    // its replacement: the copy would miss the write, the write would go to
    // the file replaced. Refused while one does, the program's own
    // connection untouched.
    DatabaseWriteGuard guard(DatabasePath(), kDatabaseWaitMs);
    if (guard.state() == DatabaseWriteGuard::State::Busy) {
        failed(InUseReason());
        return out;
    }
    slClose();
    BackupResult saved = WriteArchive(safety, false, true);
    if (saved.code != 0) {
        guard.Release();
        out.result = saved.code;
        out.notices.push_back({"Restoration Error", "Unable to create safety backup.{f10,t4}",
                               "Restoration of files terminated{f6}"});
        OpenDatabase();
        return out;
    }

    std::string why;
    int n = ReplaceDatabase(source, why, guard);
    guard.Release();
    if (n == 0) {
        // Nothing was replaced: the database is the one from before.
        failed(why);
        out.notices.push_back(preserved);
        OpenDatabase();
        RemoveFile(safety);
        out.result = 1;
        return out;
    }
    if (ReopenedSound(why)) {
        out.notices.push_back(
            {"Restoration Complete",
             std::string(kProgramName) + " records have been restored from the file:{f6}",
             source + "{f10}"});
        RemoveFile(safety);
        out.result = 1;
        return out;
    }
    failed(why);
    n = ExtractArchive(safety);
    if (n > 0) {
        out.notices.push_back(preserved);
        RemoveFile(safety);
    } else {
        // The safety archive may be the only copy left: keep it under a
        // name the next restore does not clear.
        out.keptSafety = UniqueStampedName(Paths().backupFolder, "-Safety.zip");
        if (RenameReplacing(safety, out.keptSafety) != 0) out.keptSafety = safety;
        out.notices.push_back({"Fatal Error",
                               "Unable to recover from safety backup archive.{f10,t4}",
                               std::string("All ") + kProgramName +
                                   " records may have been lost.|"
                                   "The safety backup of your database is kept in|" +
                                   out.keptSafety + "{f6}"});
    }
    OpenDatabase();
    out.result = n;
    return out;
}

// --- reminder ---

namespace {

// The day of the given month that the monthly schedule selects: the weekday
// in days 1-7, 8-14, 15-21 or 22-28, or in the month's last seven days.
int32_t MonthlyDay(int32_t month, int32_t year, const ReminderSchedule& s) {
    const int32_t start = s.weekNum <= 3
                              ? Mdy2JulianDate(month, 1, year) + 7 * s.weekNum
                              : Mdy2JulianDate(month, DaysInMonth(month, year), year) - 6;
    return start + ((s.weekday - start % 7) % 7 + 7) % 7;
}

// The latest day on or before today that the schedule selects; 0 when it
// selects none.
int32_t LastScheduledDay(int32_t today, const ReminderSchedule& s) {
    if (s.sequence == 0) return today;
    if (s.sequence != 1 && s.sequence != 2) return 0;
    if (s.weekday < 0 || s.weekday > 6) return 0;
    // Day numbers: day % 7 is 0 on a Monday.
    if (s.sequence == 1) return today - ((today % 7 - s.weekday) % 7 + 7) % 7;
    if (s.weekNum < 0) return 0;
    int32_t month = 0, day = 0, year = 0;
    JulianDate2Mdy(today, month, day, year);
    int32_t d = MonthlyDay(month, year, s);
    if (d > today) {
        if (--month == 0) {
            month = 12;
            --year;
        }
        d = MonthlyDay(month, year, s);
    }
    return d;
}

}  // namespace

bool BackupReminderDue(int32_t today, const std::string& lastDate, const ReminderSchedule& s) {
    if (Trim(lastDate).empty()) return false;  // the schedule has not started
    int32_t last = 0;                          // a text that is no date: long ago
    ParseMdy(lastDate, last);
    // A selected day missed (the program not started that day) still counts:
    // the reminder comes at the first start after it.
    const int32_t due = LastScheduledDay(today, s);
    return due > 0 && due > last;
}
