// The overwrite warning, folder creation with its checks, and the question
// asked when a form with unsaved changes is closed.
#include "ui/file_helpers.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "ui/msgbox.h"

namespace {

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

void ReportCreateError(const std::string& path, int err) {
    std::string num = std::to_string(err);
    DgMsgOk("Directory Error " + num, "Unable to create subdirectory.{f7,t4}",
            "|An error " + num + ", (" + std::strerror(err) +
                ") has occurred|attempting to create " + "\"" + path + "\".|{f7}");
}

}  // namespace

int ConfirmOverwrite(const std::string& path) {
    int r = DgMsgAsk("Warning!", "You are about to overwrite the file|\"" + path + "\".{f10,t4}",
                     "Are you SURE you want to proceed?{f6}", "", "*{G,f7}|&Yes|&No", 2);
    return r == 1 ? 1 : 0;
}

int EnsureFolder(const std::string& pathIn) {
    std::string path = pathIn;
    // A last part with a "." is a file name: only the folders above it are made.
    size_t slash = path.rfind('/');
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.find('.') != std::string::npos)
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    while (path.size() > 1 && path.back() == '/') path.pop_back();

    // The root and the first folder below it play the drive: a relative path
    // or an unreachable first folder cannot be created from here.
    std::vector<std::string> parts = Split(path, "/");
    bool absolute = !path.empty() && path[0] == '/';
    std::string current(absolute ? 1 : 0, '/');
    if (parts.size() > 1) current += parts[1];
    if (!absolute || !IsFolder(current)) {
        DgMsgOk("Drive Error", "The drive letter is not specified or doesn't exist.{f7}", "");
        return 0;
    }
    for (size_t i = 2; i < parts.size(); ++i) {
        if (parts[i].empty()) continue;  // "//" inside a path
        current += "/" + parts[i];
        if (IsFolder(current)) continue;
        // Something that is not a folder is in the way: creating below it is impossible.
        if (Exists(current)) {
            ReportCreateError(current, ENOTDIR);
            return 0;
        }
        if (::mkdir(current.c_str(), 0777) != 0) {
            int err = errno;
            if (err == EEXIST && IsFolder(current)) continue;
            ReportCreateError(current, err);
            return 0;
        }
    }
    return 1;
}

int AskSaveChanges(const std::string& form, int control, const std::string& itemName) {
    std::string text = itemName.empty() ? "Save your changes before you exit?{f7}"
                                        : "Save changes to " + itemName + " before you exit?{f7}";
    // The form is already being torn down: nothing to ask any more.
    if (!EZ_CONTROLEXISTS(form, control)) return 2;
    return DgMsgAsk("Changes Not Saved", text, "(Unsaved changes will be lost.){f6}", "",
                    "*{G,f7}|&Yes|&No|&Cancel", 1);
}
