// The file seam on POSIX systems: UTF-8 paths go to the system as they are.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "app/base/fs.h"

namespace {

int Fd(intptr_t h) {
    return static_cast<int>(h);
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

char PathSeparator() {
    return '/';
}

bool IsPathSeparator(char c) {
    return c == '/';
}

size_t DriveLength(std::string_view path) {
    if (path.empty() || path[0] != '/') return 0;
    const size_t next = path.find('/', 1);
    return next == std::string_view::npos ? path.size() : next;
}

bool IsAbsolutePath(std::string_view path) {
    return !path.empty() && path[0] == '/';
}

std::string ExecutableFolder() {
    char buf[PATH_MAX + 1];
    const ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
    if (n <= 0) return {};
    std::string exe(buf, static_cast<size_t>(n));
    const size_t cut = exe.rfind('/');
    return cut == std::string::npos ? std::string() : exe.substr(0, cut + 1);
}

std::string UserDataHome() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) return WithSeparator(xdg);
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share/";
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

int64_t FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

bool FolderAcceptsFiles(const std::string& folder) {
    if (folder.empty() || !IsFolder(folder)) return false;
    std::string probe = WithSeparator(folder) + ".vantrel-write-test.XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

int MakeOneFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? 0 : errno;
}

int RemoveFile(const std::string& path) {
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int RenameReplacing(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void SyncFolder(const std::string& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// --- File ------------------------------------------------------------------

bool File::Open(const std::string& path, Mode mode) {
    Close();
    int flags = O_RDONLY;
    if (mode == Mode::ReadWrite) flags = O_RDWR;
    if (mode == Mode::Create) flags = O_RDWR | O_CREAT | O_TRUNC;
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    handle_ = fd;
    return true;
}

bool File::CreateNew(const std::string& path, const std::string& like) {
    Close();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    handle_ = fd;
    struct stat st {};
    const mode_t mode =
        ::stat(like.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
    ::fchmod(fd, mode);
    return true;
}

bool File::IsOpen() const {
    return handle_ >= 0;
}

int64_t File::Read(void* into, size_t size) {
    for (;;) {
        const ssize_t n = ::read(Fd(handle_), into, size);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        error_ = errno;
        return -1;
    }
}

bool File::ReadAt(uint64_t offset, void* into, size_t size) {
    char* at = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t n = ::pread(Fd(handle_), at, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            return false;
        }
        at += n;
        offset += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool File::WriteAll(const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(Fd(handle_), at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            return false;
        }
        at += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool File::Seek(int64_t offset, From from) {
    const int whence = from == From::Start ? SEEK_SET : from == From::Current ? SEEK_CUR : SEEK_END;
    if (::lseek(Fd(handle_), static_cast<off_t>(offset), whence) < 0) {
        error_ = errno;
        return false;
    }
    return true;
}

int64_t File::Tell() {
    const off_t at = ::lseek(Fd(handle_), 0, SEEK_CUR);
    if (at < 0) error_ = errno;
    return at;
}

int64_t File::Size() {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) {
        error_ = errno;
        return -1;
    }
    return st.st_size;
}

int64_t File::ModifiedTime() {
    struct stat st {};
    if (::fstat(Fd(handle_), &st) != 0) {
        error_ = errno;
        return -1;
    }
    return st.st_mtime;
}

bool File::SetModifiedTime(time_t when) {
    const struct timespec times[2] = {{when, 0}, {when, 0}};
    if (::futimens(Fd(handle_), times) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool File::Sync() {
    if (::fsync(Fd(handle_)) != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

bool File::Close() {
    if (handle_ < 0) return true;
    const int rc = ::close(Fd(handle_));
    handle_ = -1;
    if (rc != 0) {
        error_ = errno;
        return false;
    }
    return true;
}

// --- FileLock --------------------------------------------------------------

FileLock::FileLock(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A read-only folder: an existing lock file can still be locked for reading.
    if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        held_ = true;
        return;
    }
    handle_ = fd;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    held_ = rc == 0;
}

FileLock::~FileLock() {
    if (handle_ >= 0) ::close(Fd(handle_));  // closing the descriptor releases the lock
}

// --- LargeBlock --------------------------------------------------------------

LargeBlock::LargeBlock(uint64_t size) : size_(static_cast<size_t>(size)) {
    // The kernel supplies the pages at once: one call instead of a fault per page.
    void* p = ::mmap(nullptr, size_, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (p != MAP_FAILED) data_ = static_cast<char*>(p);
}

LargeBlock::~LargeBlock() {
    if (data_) ::munmap(data_, size_);
}
