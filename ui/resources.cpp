#include "ui/resources.h"

#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/toolkit/ez.h"

namespace fs = std::filesystem;

namespace {

// <exe folder>/../share/vantrel/ as a clean absolute path, or "" when the
// executable does not sit in a <prefix>/bin folder with such a sibling.
std::string InstalledFolder(const std::string& exeFolder) {
    fs::path exe = FsPath(exeFolder);
    if (!exe.has_filename()) exe = exe.parent_path();  // drop the trailing separator
    if (exe.filename() != "bin") return {};
    std::string shared =
        WithSeparator(Utf8Path((exe.parent_path() / kInstalledResourceDir).lexically_normal()));
    return IsFolder(shared + "Help") || IsFolder(shared + "Images") ? shared : std::string();
}

}  // namespace

std::string ResourceFolder() {
    const std::string exe = WithSeparator(EZ_APPPATH());
    if (IsFolder(exe + "Images") || IsFolder(exe + "Help")) return exe;
    std::string installed = InstalledFolder(exe);
    return installed.empty() ? exe : installed;
}

bool IsInstalledCopy() {
    const std::string exe = WithSeparator(EZ_APPPATH());
    if (IsFolder(exe + "Images") || IsFolder(exe + "Help")) return false;
    return !InstalledFolder(exe).empty();
}

std::string FindResource(const std::string& name) {
    std::string path = ResourceFolder() + name;
    if (PathExists(path)) return path;
    path = Paths().appFolder + name;
    if (!Paths().appFolder.empty() && PathExists(path)) return path;
    return {};
}
