#include "ui/resources.h"

#include <filesystem>
#include <system_error>

#include "app/base/app_state.h"
#include "app/toolkit/ez.h"

namespace fs = std::filesystem;

namespace {

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// <exe folder>/../share/vantrel/ as a clean absolute path, or "" when the
// executable does not sit in a <prefix>/bin folder with such a sibling.
std::string InstalledFolder(const std::string& exeFolder) {
    fs::path exe(exeFolder);
    if (!exe.has_filename()) exe = exe.parent_path();  // drop the trailing "/"
    if (exe.filename() != "bin") return {};
    std::string shared =
        WithSlash((exe.parent_path() / kInstalledResourceDir).lexically_normal().string());
    return IsFolder(shared + "Help") || IsFolder(shared + "Images") ? shared : std::string();
}

}  // namespace

std::string ResourceFolder() {
    const std::string exe = WithSlash(EZ_APPPATH());
    if (IsFolder(exe + "Images") || IsFolder(exe + "Help")) return exe;
    std::string installed = InstalledFolder(exe);
    return installed.empty() ? exe : installed;
}

bool IsInstalledCopy() {
    const std::string exe = WithSlash(EZ_APPPATH());
    if (IsFolder(exe + "Images") || IsFolder(exe + "Help")) return false;
    return !InstalledFolder(exe).empty();
}

std::string FindResource(const std::string& name) {
    std::error_code ec;
    std::string path = ResourceFolder() + name;
    if (fs::exists(path, ec)) return path;
    path = Paths().appFolder + name;
    if (!Paths().appFolder.empty() && fs::exists(path, ec)) return path;
    return {};
}
