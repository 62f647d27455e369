// The file seam on Windows: UTF-8 paths become UTF-16 at each call, the
// error codes become errno values, and a rename replaces its target with
// MoveFileExW (written through to the disk).
#include <shlobj.h>
#include <windows.h>

#include <cerrno>

#include "app/base/fs.h"
#include "app/base/util_win32.h"

namespace {

HANDLE H(intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

int LastErrno() {
    return ErrnoFromWin32(GetLastError());
}

// 100-ns intervals since 1601 <-> seconds since 1970.
constexpr int64_t kEpochDiff = 116444736000000000LL;

int64_t FromFileTime(const FILETIME& ft) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return (static_cast<int64_t>(u.QuadPart) - kEpochDiff) / 10000000LL;
}

FILETIME ToFileTime(int64_t seconds) {
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(seconds * 10000000LL + kEpochDiff);
    FILETIME ft;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    return ft;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(WidePath(path).c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

// --- text --------------------------------------------------------------------

std::wstring Wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring WidePath(std::string_view utf8) {
    std::wstring w = Wide(utf8);
    for (wchar_t& c : w) {
        if (c == L'/') c = L'\\';
    }
    return w;
}

int ErrnoFromWin32(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS:
            return 0;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_MOD_NOT_FOUND:
            return ENOENT;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return ENOENT;
        case ERROR_INVALID_DRIVE:
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
            return ENODEV;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
            return EACCES;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_BUSY:
            return EBUSY;
        case ERROR_INVALID_HANDLE:
            return EBADF;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_HANDLE_DISK_FULL:
        case ERROR_DISK_FULL:
            return ENOSPC;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_DIR_NOT_EMPTY:
            return ENOTEMPTY;
        case ERROR_BROKEN_PIPE:
            return EPIPE;
        default:
            return EIO;
    }
}

// --- paths -------------------------------------------------------------------

char PathSeparator() {
    return '\\';
}

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

size_t DriveLength(std::string_view path) {
    auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (path.size() >= 2 && isLetter(path[0]) && path[1] == ':' &&
        (path.size() == 2 || IsPathSeparator(path[2])))
        return 2;
    // \\server\share
    if (path.size() > 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
        size_t at = 2;
        while (at < path.size() && !IsPathSeparator(path[at])) ++at;
        if (at == 2 || at >= path.size()) return 0;
        ++at;
        const size_t shareStart = at;
        while (at < path.size() && !IsPathSeparator(path[at])) ++at;
        return at == shareStart ? 0 : at;
    }
    return 0;
}

bool IsAbsolutePath(std::string_view path) {
    return DriveLength(path) > 0 || (!path.empty() && IsPathSeparator(path[0]));
}

std::string ExecutableFolder() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    const std::string exe = Utf8(buf);
    const size_t cut = LastSeparator(exe);
    return cut == std::string::npos ? std::string() : exe.substr(0, cut + 1);
}

std::string UserDataHome() {
    PWSTR folder = nullptr;
    std::string out;
    if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder) == S_OK)
        out = WithSeparator(Utf8(folder));
    CoTaskMemFree(folder);
    return out;
}

// --- questions ---------------------------------------------------------------

bool PathExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    return Attributes(path, d);
}

bool IsFolder(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    return Attributes(path, d) && (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsRegularFile(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    return Attributes(path, d) && (d.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int64_t FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA d;
    if (!Attributes(path, d)) return -1;
    return (static_cast<int64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW fd;
    const std::wstring pattern = WidePath(WithSeparator(folder.empty() ? "." : folder)) + L"*";
    HANDLE h = FindFirstFileW(pattern.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = Utf8(fd.cFileName);
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

bool FolderAcceptsFiles(const std::string& folder) {
    if (folder.empty() || !IsFolder(folder)) return false;
    const std::string probe =
        WithSeparator(folder) + ".vantrel-write-test." + std::to_string(GetCurrentProcessId());
    HANDLE h = CreateFileW(WidePath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(h);
    return true;
}

// --- changes -----------------------------------------------------------------

int MakeOneFolder(const std::string& path) {
    return CreateDirectoryW(WidePath(path).c_str(), nullptr) ? 0 : LastErrno();
}

int RemoveFile(const std::string& path) {
    return DeleteFileW(WidePath(path).c_str()) ? 0 : LastErrno();
}

int RenameReplacing(const std::string& from, const std::string& to) {
    return MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 0
               : LastErrno();
}

void SyncFolder(const std::string&) {
    // MoveFileExW with MOVEFILE_WRITE_THROUGH returns once the rename is on the disk.
}

// --- File ----------------------------------------------------------------------

bool File::Open(const std::string& path, Mode mode) {
    Close();
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    if (mode != Mode::Read) access |= GENERIC_WRITE;
    if (mode == Mode::Create) disposition = CREATE_ALWAYS;
    // Others may read, write and rename while it is open, as on POSIX systems.
    HANDLE h = CreateFileW(WidePath(path).c_str(), access,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = LastErrno();
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool File::CreateNew(const std::string& path, const std::string&) {
    // A new file inherits the folder's permissions, which is what an
    // ordinary new file gets; the rename keeps them.
    Close();
    HANDLE h = CreateFileW(WidePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = LastErrno();
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    return true;
}

bool File::IsOpen() const {
    return handle_ != -1;
}

int64_t File::Read(void* into, size_t size) {
    DWORD got = 0;
    const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    if (!ReadFile(H(handle_), into, want, &got, nullptr)) {
        if (GetLastError() == ERROR_HANDLE_EOF || GetLastError() == ERROR_BROKEN_PIPE) return 0;
        error_ = LastErrno();
        return -1;
    }
    return got;
}

bool File::ReadAt(uint64_t offset, void* into, size_t size) {
    // A read at an offset moves the position of a synchronous handle: it is
    // put back, so that reads at offsets and streamed reads can be mixed.
    const int64_t position = Tell();
    if (position < 0) return false;
    const bool ok = ReadAtOffset(offset, into, size);
    return Seek(position, From::Start) && ok;
}

bool File::ReadAtOffset(uint64_t offset, void* into, size_t size) {
    char* at = static_cast<char*>(into);
    while (size > 0) {
        OVERLAPPED ov{};
        ov.Offset = static_cast<DWORD>(offset);
        ov.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(H(handle_), at, want, &got, &ov) || got == 0) {
            error_ = got == 0 && GetLastError() == ERROR_HANDLE_EOF ? EIO : LastErrno();
            return false;
        }
        at += got;
        offset += got;
        size -= got;
    }
    return true;
}

bool File::WriteAll(const void* data, size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD want = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD done = 0;
        if (!WriteFile(H(handle_), at, want, &done, nullptr) || done == 0) {
            error_ = done == 0 && GetLastError() == ERROR_SUCCESS ? ENOSPC : LastErrno();
            return false;
        }
        at += done;
        size -= done;
    }
    return true;
}

bool File::Seek(int64_t offset, From from) {
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    const DWORD method = from == From::Start     ? FILE_BEGIN
                         : from == From::Current ? FILE_CURRENT
                                                 : FILE_END;
    if (!SetFilePointerEx(H(handle_), distance, nullptr, method)) {
        error_ = LastErrno();
        return false;
    }
    return true;
}

int64_t File::Tell() {
    LARGE_INTEGER zero{};
    LARGE_INTEGER at{};
    if (!SetFilePointerEx(H(handle_), zero, &at, FILE_CURRENT)) {
        error_ = LastErrno();
        return -1;
    }
    return at.QuadPart;
}

int64_t File::Size() {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(H(handle_), &size)) {
        error_ = LastErrno();
        return -1;
    }
    return size.QuadPart;
}

int64_t File::ModifiedTime() {
    FILETIME written;
    if (!GetFileTime(H(handle_), nullptr, nullptr, &written)) {
        error_ = LastErrno();
        return -1;
    }
    return FromFileTime(written);
}

bool File::SetModifiedTime(time_t when) {
    const FILETIME ft = ToFileTime(static_cast<int64_t>(when));
    if (!SetFileTime(H(handle_), nullptr, &ft, &ft)) {
        error_ = LastErrno();
        return false;
    }
    return true;
}

bool File::Sync() {
    if (!FlushFileBuffers(H(handle_))) {
        error_ = LastErrno();
        return false;
    }
    return true;
}

bool File::Close() {
    if (handle_ == -1) return true;
    const BOOL ok = CloseHandle(H(handle_));
    handle_ = -1;
    if (!ok) {
        error_ = LastErrno();
        return false;
    }
    return true;
}

// --- FileLock ------------------------------------------------------------------

FileLock::FileLock(const std::string& path) {
    // No sharing at all: a second open, by this process or another, fails
    // with a sharing violation until this handle is closed.
    const std::wstring wide = WidePath(path);
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    // A read-only folder: an existing lock file can still be held for reading.
    if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED)
        h = CreateFileW(wide.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        held_ = GetLastError() != ERROR_SHARING_VIOLATION;
        return;
    }
    handle_ = reinterpret_cast<intptr_t>(h);
    held_ = true;
}

FileLock::~FileLock() {
    if (handle_ != -1) CloseHandle(H(handle_));
}

// --- LargeBlock ------------------------------------------------------------------

LargeBlock::LargeBlock(uint64_t size) : size_(static_cast<size_t>(size)) {
    // Memory backed by the paging file, the twin of an anonymous mapping.
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE,
                                        static_cast<DWORD>(size >> 32),
                                        static_cast<DWORD>(size & 0xffffffffu), nullptr);
    if (!mapping) return;
    void* p = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, size_);
    // The view keeps the mapping alive.
    CloseHandle(mapping);
    data_ = static_cast<char*>(p);
}

LargeBlock::~LargeBlock() {
    if (data_) UnmapViewOfFile(data_);
}
