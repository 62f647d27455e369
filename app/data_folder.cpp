#include "app/data_folder.h"

#include <memory>

#include "app/base/fs.h"
#include "services/backups.h"

namespace {

bool SixRandomChars(const std::string& s, size_t from) {
    if (s.size() != from + 6) return false;
    for (size_t i = from; i < s.size(); ++i) {
        char c = s[i];
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    return true;
}

struct HeldLock {
    std::string folder;
    std::unique_ptr<DataLock> lock;
};
HeldLock& Held() {
    static HeldLock held;
    return held;
}

}  // namespace

bool FolderHoldsData(const std::string& folder) {
    const std::string f = WithSeparator(folder);
    return PathExists(f + "Data" + PathSeparator() + "VantrelData.db3") ||
           PathExists(f + "Vantrel.ini");
}

bool FolderWritable(const std::string& folder) {
    return FolderAcceptsFiles(folder);
}

bool InstalledBySetup(const std::string& folder) {
    return IsRegularFile(WithSeparator(folder) + kUninstallerName);
}

std::string ChooseDataFolder(const std::string& programFolder, bool writable, bool holdsData,
                             const std::string& userFolder, bool setupInstalled) {
    return (writable && !setupInstalled) || holdsData ? programFolder : userFolder;
}

DataFolderState& DataFolderAccess() {
    static DataFolderState state;
    return state;
}

bool IsLeftoverTempName(const std::string& name) {
    static const std::string kSettings = ".Vantrel.ini.";
    // The word list's, by this version (".en_US.dic.") and earlier ones.
    static const std::string kWords = ".en_US.dic.";
    // The database's: a restore's copy (by this version "." + name + ".", by
    // earlier ones name + ".restore-") and a backup's snapshot.
    const std::string kDatabase = std::string(".") + kDatabaseFileName + ".";
    const std::string kSnapshot = std::string(kDatabaseFileName) + kSnapshotSuffix;
    const std::string kRestore = std::string(kDatabaseFileName) + kRestoreSuffix;
    for (const std::string& prefix :
         {kSettings, kWords, kWords.substr(1), kDatabase, kSnapshot, kRestore}) {
        if (name.compare(0, prefix.size(), prefix) == 0) return SixRandomChars(name, prefix.size());
    }
    return false;
}

int RemoveSafetyArchiveLeftovers(const std::string& backupFolder) {
    int removed = 0;
    for (const char* name : {"temp.zip", "temp.zip.tmp", "temp-2.zip", "temp-2.zip.tmp"}) {
        const std::string path = WithSeparator(backupFolder) + name;
        if (IsRegularFile(path) && RemoveFile(path) == 0) ++removed;
    }
    return removed;
}

int RemoveLeftoverTempFiles(const std::string& folder) {
    int removed = 0;
    const std::string f = WithSeparator(folder);
    for (const std::string& name : FolderEntries(folder)) {
        if (!IsLeftoverTempName(name) || !IsRegularFile(f + name)) continue;
        if (RemoveFile(f + name) == 0) ++removed;
    }
    return removed;
}

DataLock::DataLock(const std::string& dataFolder)
    : lock_(std::make_unique<FileLock>(WithSeparator(dataFolder) + "Vantrel.lock")) {}

DataLock::~DataLock() = default;

bool DataLock::held() const {
    return lock_->held();
}

bool AcquireDataLock(const std::string& dataFolder) {
    HeldLock& h = Held();
    if (h.lock && h.folder == WithSeparator(dataFolder)) return true;
    auto lock = std::make_unique<DataLock>(dataFolder);
    if (!lock->held()) return false;
    h.lock = std::move(lock);
    h.folder = WithSeparator(dataFolder);
    return true;
}

void ReleaseDataLock() {
    Held() = HeldLock{};
}
