// The overwrite warning, folder creation with its checks, and the question
// asked when a form with unsaved changes is closed.
#include "ui/file_helpers.h"

#include <cerrno>
#include <cstring>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "ui/msgbox.h"

namespace {

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
    size_t slash = LastSeparator(path);
    std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    if (last.find('.') != std::string::npos)
        path = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    while (path.size() > 1 && IsPathSeparator(path.back())) path.pop_back();

    // The drive (here the root and the first folder below it) must be there:
    // a relative path or an unreachable drive cannot be created from here.
    const size_t drive = DriveLength(path);
    std::string current = path.substr(0, drive);
    if (drive == 0 || !IsFolder(current)) {
        DgMsgOk("Drive Error", "The drive letter is not specified or doesn't exist.{f7}", "");
        return 0;
    }
    std::string part;
    for (size_t i = drive; i <= path.size(); ++i) {
        if (i < path.size() && !IsPathSeparator(path[i])) {
            part += path[i];
            continue;
        }
        if (part.empty()) continue;  // "//" inside a path
        current += PathSeparator() + part;
        part.clear();
        if (IsFolder(current)) continue;
        // Something that is not a folder is in the way: creating below it is impossible.
        if (PathExists(current)) {
            ReportCreateError(current, ENOTDIR);
            return 0;
        }
        if (const int err = MakeOneFolder(current)) {
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
