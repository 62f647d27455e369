#include "ui/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    // The temporary name is short, so that a target whose name is as long as
    // the file system allows still gets one beside it.
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::string tmp = (parent.empty() ? std::string(".") : parent.string()) + "/.vantrel-XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return errno;
    int err = 0;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (!err && fsync(fd) != 0) err = errno;
    // mkstemp makes the file private; a report is an ordinary file.
    if (!err && fchmod(fd, 0644) != 0) err = errno;
    if (close(fd) != 0 && !err) err = errno;
    if (!err && std::rename(tmp.c_str(), path.c_str()) != 0) err = errno;
    if (err) std::remove(tmp.c_str());
    return err;
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
