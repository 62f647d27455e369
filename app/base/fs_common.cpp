// The parts of the file seam that are the same on every system: path text,
// and the temporary-file-and-rename write built on the system's File.
#include <atomic>
#include <cerrno>
#include <cstring>
#include <random>

#include "app/base/fs.h"

namespace {

std::atomic<int64_t> gFailAt{-1};
std::atomic<int> gFailErr{0};

// Six letters or digits for a temporary name.
std::string RandomTag() {
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 gen{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, sizeof(kChars) - 2);
    std::string tag(6, 'x');
    for (char& c : tag) c = kChars[pick(gen)];
    return tag;
}

// The longest file name the file systems we write to allow, in bytes.
constexpr size_t kMaxNameBytes = 255;

}  // namespace

std::string WithForwardSlashes(std::string path) {
    for (char& c : path) {
        if (IsPathSeparator(c)) c = '/';
    }
    return path;
}

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && !IsPathSeparator(folder.back())) folder += PathSeparator();
    return folder;
}

size_t LastSeparator(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i) {
        if (IsPathSeparator(path[i - 1])) return i - 1;
    }
    return std::string::npos;
}

std::filesystem::path FsPath(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

void FailAtomicWritesAtByte(int64_t at, int err) {
    gFailErr = err;
    gFailAt = at;
}

bool ReadFileBytes(const std::string& path, std::string& out) {
    File f;
    if (!f.Open(path, File::Mode::Read)) return false;
    std::string data;
    char buf[1 << 16];
    for (;;) {
        const int64_t n = f.Read(buf, sizeof buf);
        if (n < 0) return false;
        if (n == 0) break;
        data.append(buf, static_cast<size_t>(n));
    }
    out = std::move(data);
    return true;
}

// The system-neutral part of File; opening, reading and writing are each
// system's own (fs_posix.cpp, fs_win32.cpp).
File::~File() {
    Close();
}

File::File(File&& other) noexcept : handle_(other.handle_), error_(other.error_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.handle_;
        error_ = other.error_;
        other.handle_ = -1;
    }
    return *this;
}

AtomicFile::AtomicFile(const std::string& target) : target_(target) {
    const size_t cut = LastSeparator(target);
    const std::string folder = cut == std::string::npos ? std::string() : target.substr(0, cut + 1);
    const std::string base = cut == std::string::npos ? target : target.substr(cut + 1);
    if (base.empty()) {
        Fail(Stage::Create, EISDIR);
        return;
    }
    // "." + name + ".XXXXXX" beside the target; a short name when the
    // target's own name is as long as the file system allows.
    const bool fits = base.size() + 8 <= kMaxNameBytes;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = folder + (fits ? "." + base + "." : std::string(".vantrel-")) + RandomTag();
        if (file_.CreateNew(temp_, target)) return;
        if (file_.error() != EEXIST) break;
    }
    const int err = file_.error();
    temp_.clear();
    Fail(Stage::Create, err);
}

AtomicFile::~AtomicFile() {
    file_.Close();
    if (!committed_ && !temp_.empty()) RemoveFile(temp_);
}

bool AtomicFile::Fail(Stage stage, int err) {
    if (stage_ == Stage::None) {
        stage_ = stage;
        error_ = err ? err : EIO;
    }
    return false;
}

bool AtomicFile::Write(std::string_view bytes) {
    if (!ok()) return false;
    if (finished_) return Fail(Stage::Write, EBADF);
    const int64_t failAt = gFailAt;
    if (failAt >= 0) {
        const int64_t at = file_.Tell();
        if (at >= 0 && at + static_cast<int64_t>(bytes.size()) > failAt) {
            // Everything up to the chosen byte reaches the file, as on a disk
            // that fills up there.
            const int64_t room = failAt > at ? failAt - at : 0;
            file_.WriteAll(bytes.data(), static_cast<size_t>(room));
            return Fail(Stage::Write, gFailErr);
        }
    }
    if (!file_.WriteAll(bytes.data(), bytes.size())) return Fail(Stage::Write, file_.error());
    return true;
}

bool AtomicFile::SetModifiedTime(time_t when) {
    return ok() && !finished_ && file_.SetModifiedTime(when);
}

bool AtomicFile::Finish() {
    if (!ok()) return false;
    if (finished_) return true;
    finished_ = true;
    if (!file_.Sync()) {
        const int err = file_.error();
        file_.Close();
        return Fail(Stage::Write, err);
    }
    if (!file_.Close()) return Fail(Stage::Write, file_.error());
    return true;
}

bool AtomicFile::Commit() {
    if (!Finish()) return false;
    if (const int err = RenameReplacing(temp_, target_)) return Fail(Stage::Replace, err);
    committed_ = true;
    const size_t cut = LastSeparator(target_);
    SyncFolder(cut == std::string::npos ? std::string(".") : target_.substr(0, cut + 1));
    return true;
}

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFile file(path);
    file.Write(bytes);
    file.Commit();
    return {file.stage(), file.error()};
}

std::string WriteErrorText(int err) {
    switch (err) {
        case ENOSPC:
        case EDQUOT:
            return "the disk is full";
        case EACCES:
        case EPERM:
            return "the folder cannot be written to";
        case EROFS:
            return "the disk can only be read";
        default:
            return std::strerror(err);
    }
}

int64_t ModifiedTimeOf(const std::string& path) {
    File f;
    return f.Open(path, File::Mode::Read) ? f.ModifiedTime() : -1;
}

ScratchFile::ScratchFile(const std::string& prefix) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        File f;
        const std::string candidate = prefix + RandomTag();
        if (f.CreateNew(candidate, "")) {
            path_ = candidate;
            return;
        }
        error_ = f.error();
        if (error_ != EEXIST) return;
    }
}

ScratchFile::~ScratchFile() {
    if (!path_.empty()) RemoveFile(path_);
}
