// The folder that holds the user's data: whether it can be written, leftovers
// of interrupted writes, and the lock that keeps a second copy of the program
// off the same data.
#pragma once

#include <memory>
#include <string>

class FileLock;

// True when the folder holds data of an earlier run: the database
// "Data/VantrelData.db3" or the settings file "Vantrel.ini".
bool FolderHoldsData(const std::string& folder);
// True when a file can be created in the folder (checked by creating and
// removing one, so a read-only mount is seen even by an administrator).
bool FolderWritable(const std::string& folder);

// The uninstaller the Windows installer puts beside the program it installs.
inline constexpr const char* kUninstallerName = "Uninstall.exe";
// True when the folder holds that uninstaller: the program was installed by
// its installer rather than copied.
bool InstalledBySetup(const std::string& folder);

// Where the data lives. The program's own folder is used when it can be
// written or when it already holds data (which is never left behind for an
// empty folder elsewhere); only a read-only folder without data falls back to
// the per-user folder. A copy the installer put in place (setupInstalled)
// keeps its data in the per-user folder even where its own folder can be
// written (an administrator's run), unless that folder already holds data
// (an installation over a copy that keeps its data beside itself).
std::string ChooseDataFolder(const std::string& programFolder, bool writable, bool holdsData,
                             const std::string& userFolder, bool setupInstalled = false);

// Set at start-up when the data folder holds data but cannot be written: the
// database is opened read-only and every save is refused.
struct DataFolderState {
    bool readOnly = false;
    std::string folder;  // the folder, for messages
};
DataFolderState& DataFolderAccess();

// Names of temporary files an interrupted write leaves beside the settings
// file or the word list: "." + "Vantrel.ini" + ".XXXXXX" and ".en_US.dic.XXXXXX"
// (also "en_US.dic.XXXXXX", as earlier versions named it); and beside the
// database, by a backup or restore cut short: ".VantrelData.db3.XXXXXX",
// "VantrelData.db3.snapshot-XXXXXX" and (by earlier versions)
// "VantrelData.db3.restore-XXXXXX".
bool IsLeftoverTempName(const std::string& name);
// Removes such leftovers from the folder; returns how many were removed.
int RemoveLeftoverTempFiles(const std::string& folder);
// Removes the safety archive of a restore cut short from the backup folder
// ("temp.zip", "temp-2.zip" and their ".tmp" files); returns how many.
int RemoveSafetyArchiveLeftovers(const std::string& backupFolder);

// An exclusive lock on "Vantrel.lock" in the data folder, held while the
// object lives. held() is false when another process (or another DataLock)
// holds it. A folder in which the lock file cannot be made is not locked
// (nothing can be written there anyway) and counts as held.
class DataLock {
public:
    explicit DataLock(const std::string& dataFolder);
    ~DataLock();
    DataLock(const DataLock&) = delete;
    DataLock& operator=(const DataLock&) = delete;
    bool held() const;

private:
    std::unique_ptr<FileLock> lock_;
};
// Takes the data lock for the life of the program (kept until ReleaseDataLock
// or the process ends); false when another copy holds it. Taking it again for
// the same folder succeeds.
bool AcquireDataLock(const std::string& dataFolder);
void ReleaseDataLock();
