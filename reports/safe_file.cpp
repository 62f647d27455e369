// Temporary file beside the target, renamed over it when complete.
#include "reports/safe_file.h"

#include <cstring>

#include "app/base/fs.h"

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

// The words for a failed temporary-file write, by where it failed.
std::string Failure(const AtomicFile& file, const std::string& folder) {
    switch (file.stage()) {
        case AtomicFile::Stage::Create:
            return "the folder " + folder + " cannot be written to (" + Reason(file.error()) + ")";
        case AtomicFile::Stage::Replace:
            return "the file could not be put in place (" + Reason(file.error()) + ")";
        default:
            return "the file could not be written (" + Reason(file.error()) + ")";
    }
}

std::string FolderOf(const std::string& path) {
    const size_t cut = LastSeparator(path);
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

bool HasFileName(const std::string& path, std::string& error) {
    const size_t cut = LastSeparator(path);
    if (!path.substr(cut == std::string::npos ? 0 : cut + 1).empty()) return true;
    error = "no file name was given";
    return false;
}

}  // namespace

bool ReplaceFileWith(
    const std::string& path,
    const std::function<bool(const std::string& tempPath, std::string& error)>& write,
    std::string& error) {
    error.clear();
    if (!HasFileName(path, error)) return false;
    AtomicFile file(path);
    // Closed, so that the writer can open it by its name.
    if (!file.Finish()) {
        error = Failure(file, FolderOf(path));
        return false;
    }
    if (!write(file.tempPath(), error)) {
        if (error.empty()) error = "the file could not be written";
        return false;
    }
    // What the writer wrote goes to the disk before the rename.
    File written;
    if (!written.Open(file.tempPath(), File::Mode::ReadWrite) || !written.Sync() ||
        !written.Close()) {
        error = "the file could not be written (" + Reason(written.error()) + ")";
        return false;
    }
    if (!file.Commit()) {
        error = Failure(file, FolderOf(path));
        return false;
    }
    return true;
}

bool ReplaceFileWithBytes(const std::string& path, std::string_view bytes, std::string& error) {
    error.clear();
    if (!HasFileName(path, error)) return false;
    AtomicFile file(path);
    file.Write(bytes);
    if (!file.Commit()) {
        error = Failure(file, FolderOf(path));
        return false;
    }
    return true;
}
