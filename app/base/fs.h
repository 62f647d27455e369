// Files and folders through the platform seam. Paths are UTF-8 inside the
// program; each system's file calls get them in their own form (the Windows
// twin converts to UTF-16 at the call). Failures are errno values on every
// system (the Windows twin maps its error codes onto them), so that callers
// report the same file error numbers and texts everywhere.
//
// fs_posix.cpp and fs_win32.cpp implement this header; the build compiles
// exactly one of them.
#pragma once

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Windows' C library has no number for an exceeded disk quota; its sockets'
// number stands in, so that code mapping errno values compiles everywhere.
#ifndef EDQUOT
#define EDQUOT 10069
#endif

// --- paths -----------------------------------------------------------------

// The system's folder separator: '/' or '\'.
char PathSeparator();
// True for a character that separates folders here ('/' everywhere, also '\'
// on Windows).
bool IsPathSeparator(char c);
// folder with a separator at its end ("" stays "").
std::string WithSeparator(std::string folder);
// path with every separator written as '/' (addresses, paths compared across systems).
std::string WithForwardSlashes(std::string path);
// Position of the last separator in path, or std::string::npos.
size_t LastSeparator(std::string_view path);
// Length of the part of an absolute path that plays the drive: the root and
// the first folder below it here ("/home"), the drive letter ("C:") or the
// server and share ("\\server\share") on Windows; 0 for a relative path.
size_t DriveLength(std::string_view path);
// True for a path that does not depend on the current folder ("/x" here;
// "C:\x", "\\server\share\x" and "\x" on Windows).
bool IsAbsolutePath(std::string_view path);
// The path of a UTF-8 path for std::filesystem (which otherwise reads narrow
// strings in the system's code page on Windows), and back.
std::filesystem::path FsPath(std::string_view utf8);
std::string Utf8Path(const std::filesystem::path& path);

// The executable's own folder, with a separator at its end ("" when unknown).
std::string ExecutableFolder();
// The per-user folder for program data: $XDG_DATA_HOME (or ~/.local/share)
// here, %LOCALAPPDATA% on Windows; with a separator at its end.
std::string UserDataHome();

// --- questions about paths ---------------------------------------------------

bool PathExists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);
// Size in bytes; -1 when the file cannot be asked.
int64_t FileSize(const std::string& path);
// Last-write time as seconds since 1970; -1 when the file cannot be asked.
int64_t ModifiedTimeOf(const std::string& path);
// The names (not paths) of the entries of a folder, without "." and "..".
std::vector<std::string> FolderEntries(const std::string& folder);
// True when a file can be created in the folder (checked by creating and
// removing one, so that a read-only medium is seen even by an administrator).
bool FolderAcceptsFiles(const std::string& folder);

// --- changes -----------------------------------------------------------------

// Each returns 0 or the errno of the failure.
int MakeOneFolder(const std::string& path);
int RemoveFile(const std::string& path);
// Renames from over to, replacing a file there.
int RenameReplacing(const std::string& from, const std::string& to);
// Makes a completed rename in the folder durable where the system needs it.
void SyncFolder(const std::string& folder);
// The whole content of a file; false when it cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::string& out);

// --- open files --------------------------------------------------------------

// An open file, closed when it goes. Each failing call leaves its errno in
// error().
class File {
public:
    enum class Mode {
        Read,       // an existing file, read only
        ReadWrite,  // an existing file, read and write
        Create,     // created or emptied, read and write
    };
    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const std::string& path, Mode mode);
    // Creates a new file (failing when one exists) for reading and writing,
    // with the permissions of the file `like` when that exists, else those
    // of an ordinary new file.
    bool CreateNew(const std::string& path, const std::string& like);
    bool IsOpen() const;
    int error() const { return error_; }

    // Bytes read (0 at the end), -1 on a failure.
    int64_t Read(void* into, size_t size);
    // Reads exactly size bytes at offset, without moving the position.
    bool ReadAt(uint64_t offset, void* into, size_t size);
    bool WriteAll(const void* data, size_t size);
    enum class From { Start, Current, End };
    bool Seek(int64_t offset, From from);
    int64_t Tell();
    int64_t Size();
    // Last-write time as seconds since 1970; -1 when unknown.
    int64_t ModifiedTime();
    // Sets the access and last-write times.
    bool SetModifiedTime(time_t when);
    // Flushes the file's data to the disk.
    bool Sync();
    // Closes; false with error() when the system reported a late failure.
    bool Close();

private:
    bool ReadAtOffset(uint64_t offset, void* into, size_t size);
    intptr_t handle_ = -1;
    int error_ = 0;
};

// A file written under a temporary name in the target's folder and put in
// place only by Commit: until then the target is untouched, and a file that
// is never committed is removed when the object goes. The new file keeps
// the target's permissions, or gets those of an ordinary new file.
class AtomicFile {
public:
    // Where a failure happened.
    enum class Stage { None, Create, Write, Replace };
    explicit AtomicFile(const std::string& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool ok() const { return stage_ == Stage::None; }
    Stage stage() const { return stage_; }
    int error() const { return error_; }
    const std::string& tempPath() const { return temp_; }
    const std::string& target() const { return target_; }

    bool Write(std::string_view bytes);
    bool SetModifiedTime(time_t when);
    // Flushes and closes the temporary file (so that another reader may open
    // it by tempPath()); Commit does it too.
    bool Finish();
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();

private:
    bool Fail(Stage stage, int err);
    std::string target_;
    std::string temp_;
    File file_;
    Stage stage_ = Stage::None;
    int error_ = 0;
    bool finished_ = false;
    bool committed_ = false;
};

// A new empty file named prefix + six random characters, for a copy that
// another library writes by its name; removed when the object goes. path()
// is "" (and error() says why) when none could be made.
class ScratchFile {
public:
    explicit ScratchFile(const std::string& prefix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    const std::string& path() const { return path_; }
    int error() const { return error_; }

private:
    std::string path_;
    int error_ = 0;
};

// The whole of bytes as the new content of path, through an AtomicFile.
struct AtomicWriteResult {
    AtomicFile::Stage stage = AtomicFile::Stage::None;
    int error = 0;  // errno of the failure; 0 when the file was replaced
};
AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);
// Why a write failed, in words that fit "... was not written: <reason>":
// "the disk is full" for a full disk or quota, "the folder cannot be written
// to" for missing permission, else the system's text.
std::string WriteErrorText(int err);

// Tests: the AtomicFile writes of this process fail with err once they reach
// byte `at` of a file (a full disk at a chosen point); at < 0 turns it off.
void FailAtomicWritesAtByte(int64_t at, int err);

// --- exclusive lock ----------------------------------------------------------

// An exclusive lock on a file, held while the object lives: flock here, a
// handle opened without sharing on Windows. held() is false when another
// process (or another FileLock) holds it. A lock file that cannot be made
// or opened at all counts as held (nothing can be written there anyway).
class FileLock {
public:
    explicit FileLock(const std::string& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return held_; }

private:
    intptr_t handle_ = -1;
    bool held_ = false;
};

// --- memory ------------------------------------------------------------------

// Private memory of a given size for one large read (its pages supplied at
// once where the system can), released when it goes; data() is null when
// none could be had.
class LargeBlock {
public:
    explicit LargeBlock(uint64_t size);
    ~LargeBlock();
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;
    char* data() const { return data_; }

private:
    size_t size_;
    char* data_ = nullptr;
};
