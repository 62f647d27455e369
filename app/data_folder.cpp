#include "app/data_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "services/backups.h"

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool ExistsFile(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

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
    std::string f = WithSlash(folder);
    return ExistsFile(f + "Data/VantrelData.db3") || ExistsFile(f + "Vantrel.ini");
}

bool FolderWritable(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    std::string probe = WithSlash(folder) + ".vantrel-write-test.XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

std::string ChooseDataFolder(const std::string& programFolder, bool writable, bool holdsData,
                             const std::string& userFolder) {
    return writable || holdsData ? programFolder : userFolder;
}

DataFolderState& DataFolderAccess() {
    static DataFolderState state;
    return state;
}

bool IsLeftoverTempName(const std::string& name) {
    static const std::string kSettings = ".Vantrel.ini.";
    static const std::string kWords = "en_US.dic.";
    if (name.compare(0, kSettings.size(), kSettings) == 0)
        return SixRandomChars(name, kSettings.size());
    if (name.compare(0, kWords.size(), kWords) == 0) return SixRandomChars(name, kWords.size());
    for (const char* suffix : {kSnapshotSuffix, kRestoreSuffix}) {
        const std::string prefix = std::string(kDatabaseFileName) + suffix;
        if (name.compare(0, prefix.size(), prefix) == 0) return SixRandomChars(name, prefix.size());
    }
    return false;
}

int RemoveSafetyArchiveLeftovers(const std::string& backupFolder) {
    int removed = 0;
    for (const char* name : {"temp.zip", "temp.zip.tmp", "temp-2.zip", "temp-2.zip.tmp"}) {
        std::error_code ec;
        const fs::path path = fs::path(WithSlash(backupFolder)) / name;
        if (fs::is_regular_file(path, ec) && fs::remove(path, ec)) ++removed;
    }
    return removed;
}

int RemoveLeftoverTempFiles(const std::string& folder) {
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        if (!IsLeftoverTempName(it->path().filename().string())) continue;
        std::error_code rmEc;
        if (fs::remove(it->path(), rmEc)) ++removed;
    }
    return removed;
}

DataLock::DataLock(const std::string& dataFolder) {
    std::string path = WithSlash(dataFolder) + "Vantrel.lock";
    fd_ = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A read-only folder: an existing lock file can still be locked for reading.
    if (fd_ < 0) fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        held_ = true;
        return;
    }
    int rc;
    do {
        rc = flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    held_ = rc == 0;
}

DataLock::~DataLock() {
    if (fd_ >= 0) close(fd_);  // closing the descriptor releases the lock
}

bool AcquireDataLock(const std::string& dataFolder) {
    HeldLock& h = Held();
    if (h.lock && h.folder == WithSlash(dataFolder)) return true;
    auto lock = std::make_unique<DataLock>(dataFolder);
    if (!lock->held()) return false;
    h.lock = std::move(lock);
    h.folder = WithSlash(dataFolder);
    return true;
}

void ReleaseDataLock() {
    Held() = HeldLock{};
}
