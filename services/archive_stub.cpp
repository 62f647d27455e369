// A minimal archive builder: the database file, then (when asked) the settings
// file, each stored as one deflated entry named by its full path. The database
// connection is closed while its file is read and opened again afterwards.
#include <minizip/zip.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "app/app_state.h"
#include "data/query.h"
#include "services/backup.h"

namespace {

constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kDeviceIoError = 57;
constexpr int kCannotOpenArchive = -18;

struct ZipCloser {
    void operator()(void* z) const { zipClose(z, nullptr); }
};
using ZipPtr = std::unique_ptr<void, ZipCloser>;

int AddFile(zipFile zip, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::filesystem::exists(path) ? kPermissionDenied : kFileNotFound;
    zip_fileinfo info{};
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        std::tm local{};
        localtime_r(&st.st_mtime, &local);
        info.tmz_date = {static_cast<uInt>(local.tm_sec),  static_cast<uInt>(local.tm_min),
                         static_cast<uInt>(local.tm_hour), static_cast<uInt>(local.tm_mday),
                         static_cast<uInt>(local.tm_mon),  static_cast<uInt>(local.tm_year + 1900)};
    }
    if (zipOpenNewFileInZip64(zip, path.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                              Z_DEFAULT_COMPRESSION, 1) != ZIP_OK)
        return kDeviceIoError;
    std::vector<char> block(32768);
    int err = 0;
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        std::streamsize n = in.gcount();
        if (n > 0 && zipWriteInFileInZip(zip, block.data(), static_cast<unsigned>(n)) != ZIP_OK) {
            err = kDeviceIoError;
            break;
        }
    }
    if (!err && in.bad()) err = kDeviceIoError;
    if (zipCloseFileInZip(zip) != ZIP_OK && !err) err = kDeviceIoError;
    return err;
}

}  // namespace

int CreateBackupArchive(const std::string& archivePath, bool /*showErrors*/, bool includeSettings) {
    const std::string database = Paths().dataFolder + "VantrelData.db3";
    const bool wasOpen = slIsOpen();
    slClose();
    int err = 0;
    const std::string temp = archivePath + ".tmp";
    if (!std::filesystem::exists(database)) {
        err = kFileNotFound;
    } else {
        ZipPtr zip(zipOpen64(temp.c_str(), APPEND_STATUS_CREATE));
        if (!zip) {
            err = kCannotOpenArchive;
        } else {
            err = AddFile(zip.get(), database);
            if (!err && includeSettings) err = AddFile(zip.get(), Paths().settingsFile);
            if (zipClose(zip.release(), nullptr) != ZIP_OK && !err) err = kDeviceIoError;
        }
    }
    std::error_code ec;
    if (!err) {
        std::filesystem::rename(temp, archivePath, ec);
        if (ec) err = kPermissionDenied;
    }
    if (err) std::filesystem::remove(temp, ec);
    if (wasOpen) slOpen(database, "");
    return err;
}
