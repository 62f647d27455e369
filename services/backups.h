// Backup and restore of the database file, and the backup reminder's
// schedule: the rules behind the backup dialog (BU), without any window.
// Failures come back as codes, reasons and the texts of the messages the
// dialog shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr const char* kDatabaseFileName = "VantrelData.db3";
// The settings the backup keeps in section "Backup" of the settings file.
inline constexpr const char* kBackupSection = "Backup";
inline constexpr const char* kLastBackupKey = "LastBackup";
inline constexpr const char* kLastDateKey = "LastDate";
// Temporary files beside the database: the copy a backup archives, and the
// restored file before it replaces the database (each + six random characters).
inline constexpr const char* kSnapshotSuffix = ".snapshot-";
inline constexpr const char* kRestoreSuffix = ".restore-";
// The database is damaged (or cannot be read): no backup is made of it.
inline constexpr int kDatabaseDamagedError = -20;

// The database file: the data folder + "VantrelData.db3".
std::string DatabasePath();

// A message for the dialog to show: title, text and second text with their
// format codes.
struct Notice {
    std::string title;
    std::string text;
    std::string text2;
};

// --- backup ---

struct BackupResult {
    int code = 0;        // 0, kArchiveOpenError or a file error number
    std::string reason;  // the system's words for a failure
};
// Adds the database file to a new archive (and the settings file after it
// when includeSettings is on) and closes the archive. What is archived is a copy of the
// database taken at one moment (even while another program writes) that has
// passed SQLite's integrity check, under the database's name and time. Code
// 53 (no reason) when the database file does not exist; 55 when another
// program kept writing for a few seconds; kDatabaseDamagedError when the
// database is damaged; otherwise the first failure. A failed archive never
// appears under archivePath (an earlier file there is left as it was).
BackupResult BuildBackupArchive(const std::string& archivePath, bool includeSettings);
// The "Backup Error" message for a failed backup, naming the reason.
Notice BackupErrorNotice(const BackupResult& failure);

// A path for a new backup: the folder of lastPath (defaultFolder when
// lastPath has none) + the date-time stamp + "-Backup.zip", e.g.
// 20130301-100000-Backup.zip. When that file exists a counter goes after
// the stamp (20130301-100000-2-Backup.zip, ...), so the result names no
// existing file.
std::string NewBackupName(const std::string& lastPath, const std::string& defaultFolder);
// Folder part of a path with its trailing "/" ("" when there is none), and the rest.
std::string FolderPart(const std::string& path);
std::string FilePart(const std::string& path);
// A path chosen for a new backup, with the last extension of its file name
// replaced by ".zip" ("my.backup" -> "my.zip", "WAAA 2024.07.02.zip" stays);
// a last part of digits alone is no extension ("WAAA 2024.07.02" ->
// "WAAA 2024.07.02.zip").
std::string ForceZipName(const std::string& chosen);

// --- restore ---

// Writes the archive's copy of the database into the data folder and returns
// the number of files written (1, or 0 with the reason in *failure). Only the
// first file entry whose file name is "VantrelData.db3" is read (entries made
// with "\" separators too); every other entry is ignored and nothing is
// written anywhere else. An entry that does not begin as an SQLite database
// of its declared size, or that does not fit on the disk, is refused before
// anything is written. The copy goes to a temporary file in the data
// folder, must be a working database with the tables and columns the
// program needs (or that its upgrade adds), and only then replaces the
// database with a rename, so a failed restore leaves the database as it
// was. Refused while another program writes to the database. Closes the
// database connection first; does not reopen it.
int ExtractArchive(const std::string& archivePath, std::string* failure = nullptr);

struct RestoreOutcome {
    // The number of files restored, or the error code of the safety backup
    // when that failed; greater than 0 asks the caller to refresh and close.
    int result = 0;
    std::vector<Notice> notices;  // to show, in order
    std::string keptSafety;       // the safety archive kept after a failed recovery
};
// The whole restore from the source archive, refused while another program
// writes to the database: a safety archive of the current database (in the
// backup folder), the restore, and the database reopened whatever happened.
// A restore that fails before the database is replaced leaves it as it was.
// Only when the replaced database does not open with the program's tables is
// it recovered from the safety archive. The safety archive is deleted at the
// end unless that recovery failed; then it is kept under a name of its own,
// named in the "Fatal Error" message.
RestoreOutcome RestoreFromArchive(const std::string& source);

// --- reminder ---

// Reminder schedule from the options.
struct ReminderSchedule {
    int sequence = 0;  // 0 daily, 1 weekly, 2 monthly, other values never remind
    int weekNum = 0;   // 0 to 3: first to fourth week of the month, 4 or more: last seven days
    int weekday = 0;   // 0 Monday to 6 Sunday
};
// True when the reminder is due today (a day number): the schedule selected
// a day after lastDate, the stored "LastDate" (MM-DD-YYYY), and on or before
// today, so a day the program was not started on is caught up at the next
// start. An empty lastDate is not due (the caller starts the schedule by
// writing today); one that is not a date counts as long ago.
bool BackupReminderDue(int32_t today, const std::string& lastDate, const ReminderSchedule& s);
