#include "services/backups.h"

#include <cerrno>
#include <cstring>
#include <ctime>
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

// The part of a restore that needs the archive read; the reason in words on failure.
bool CopyDatabaseOut(const std::string& archivePath, AtomicFile& temp, std::string& why) {
    using S = EntryRead::Status;
    EntryRead r = ReadArchiveEntry(
        archivePath, kDatabaseFileName,
        [&](const char* data, size_t size) { return temp.Write(std::string_view(data, size)); });
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

BackupResult BuildBackupArchive(const std::string& archivePath, bool includeSettings) {
    slClose();
    BackupResult result;
    const std::string database = DatabasePath();
    if (!PathExists(database)) {
        result.code = 53;
    } else {
        int rc = AddFileToArchive(database, archivePath);
        if (rc == 0 && includeSettings) rc = AddFileToArchive(Paths().settingsFile, archivePath);
        if (rc != 0) result = {rc, ArchiveFailureReason()};
        rc = AddFileToArchive("", "");
        if (result.code == 0 && rc != 0) result = {rc, ArchiveFailureReason()};
    }
    OpenDatabase();
    return result;
}

Notice BackupErrorNotice(const BackupResult& failure) {
    Notice n;
    n.title = "Backup Error";
    n.text = failure.code == kArchiveOpenError ? std::string("Unable to open zip file.")
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
    const std::string base = name.substr(0, name.find('.'));
    if (base.empty()) return chosen;  // ".zip" alone: nothing to cut
    return FolderPart(chosen) + base + ".zip";
}

// --- restore ---

int ExtractArchive(const std::string& archivePath, std::string* failure) {
    std::string why;
    auto fail = [&](const std::string& reason) {
        if (failure) *failure = reason;
        return 0;
    };
    if (slIsOpen()) slClose();
    const std::string target = DatabasePath();
    AtomicFile temp(target);
    if (!temp.ok())
        return fail("unable to write in " + Paths().dataFolder + " (" + SystemText(temp.error()) +
                    ")");

    if (!CopyDatabaseOut(archivePath, temp, why)) return fail(why);
    std::string problem;
    if (!IsWorkingDatabase(temp.tempPath(), problem)) {
        return fail("the archive's " + std::string(kDatabaseFileName) +
                    " is not a working database (" + problem + ")");
    }
    // A journal left beside the old file would be played into the new one.
    for (const char* suffix : {"-journal", "-wal", "-shm"}) RemoveFile(target + suffix);
    if (!temp.Commit())
        return fail("unable to replace " + target + " (" + SystemText(temp.error()) + ")");
    return 1;
}

RestoreOutcome RestoreFromArchive(const std::string& source) {
    RestoreOutcome out;
    const std::string safety = SafetyArchivePath(source);
    RemoveFile(safety);

    BackupResult saved = BuildBackupArchive(safety, false);
    if (saved.code != 0) {
        out.result = saved.code;
        out.notices.push_back({"Restoration Error", "Unable to create safety backup.{f10,t4}",
                               "Restoration of files terminated{f6}"});
        if (!slIsOpen()) OpenDatabase();
        return out;
    }

    std::string why;
    int n = ExtractArchive(source, &why);
    if (n > 0) {
        out.notices.push_back(
            {"Restoration Complete",
             std::string(kProgramName) + " records have been restored from the file:{f6}",
             source + "{f10}"});
    } else {
        out.notices.push_back({"Restoration Failed",
                               "Unable to restore files from the backup:|" + source + "{f10,t4}",
                               "Error: " + why + "{f6}"});
        n = ExtractArchive(safety);
        if (n > 0) {
            out.notices.push_back({"Event Records Preserved",
                                   std::string("Your ") + kProgramName +
                                       " database has been successfully recovered|"
                                       "from the emergency backup archive.{f10}",
                                   "None of the data have been lost.{f6}"});
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
    }
    OpenDatabase();
    if (out.keptSafety.empty()) RemoveFile(safety);
    out.result = n;
    return out;
}

// --- reminder ---

bool BackupReminderDue(int32_t today, const std::string& lastDate, const ReminderSchedule& s) {
    if (Trim(lastDate).empty()) return false;  // counts as today
    int32_t last = 0;                          // a text that is no date: long ago
    ParseMdy(lastDate, last);
    if (today <= last) return false;
    switch (s.sequence) {
        case 0:
            return true;
        case 1:
            return DayOfWeek(today) == s.weekday + 1;
        case 2: {
            if (today % 7 != s.weekday) return false;
            int32_t month = 0, day = 0, year = 0;
            JulianDate2Mdy(today, month, day, year);
            const int32_t first = Mdy2JulianDate(month, 1, year);
            if (s.weekNum <= 3) return (today - first) / 7 == s.weekNum;
            const int32_t lastDay = Mdy2JulianDate(month, DaysInMonth(month, year), year);
            return today > lastDay - 7;
        }
        default:
            return false;
    }
}
