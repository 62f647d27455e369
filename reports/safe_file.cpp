// Temporary file beside the target, renamed over it when complete.
#include "reports/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string Reason(int err) {
    return std::strerror(err);
}

}  // namespace

bool ReplaceFileWith(
    const std::string& path,
    const std::function<bool(const std::string& tempPath, std::string& error)>& write,
    std::string& error) {
    error.clear();
    const size_t slash = path.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    if (base.empty()) {
        error = "no file name was given";
        return false;
    }
    std::string temp = (folder.empty() ? std::string() : folder) + "/." + base + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "the folder " + (folder.empty() ? std::string("/") : folder) +
                " cannot be written to (" + Reason(errno) + ")";
        return false;
    }
    // The new file gets the permissions an ordinary new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);

    if (!write(temp, error)) {
        if (error.empty()) error = "the file could not be written";
        std::remove(temp.c_str());
        return false;
    }
    struct stat st {};
    if (::stat(temp.c_str(), &st) != 0) {
        error = "the file could not be written (" + Reason(errno) + ")";
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "the file could not be put in place (" + Reason(errno) + ")";
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool ReplaceFileWithBytes(const std::string& path, std::string_view bytes, std::string& error) {
    return ReplaceFileWith(
        path,
        [bytes](const std::string& temp, std::string& err) {
            const int fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            if (fd < 0) {
                err = "the file could not be opened (" + Reason(errno) + ")";
                return false;
            }
            size_t done = 0;
            bool ok = true;
            while (done < bytes.size()) {
                const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    err = "the file could not be written (" + Reason(errno) + ")";
                    ok = false;
                    break;
                }
                done += static_cast<size_t>(n);
            }
            if (ok && fsync(fd) != 0) {
                err = "the file could not be written (" + Reason(errno) + ")";
                ok = false;
            }
            if (::close(fd) != 0 && ok) {
                err = "the file could not be written (" + Reason(errno) + ")";
                ok = false;
            }
            return ok;
        },
        error);
}
