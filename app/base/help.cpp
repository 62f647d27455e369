#include "app/base/help.h"

#include <filesystem>
#include <system_error>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/platform.h"

void ShowHelp(int topic) {
    // The help pages ship with the program's own files; a program folder
    // elsewhere (read-only installation) still finds them there.
    std::string folder = Paths().helpFolder;
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(FsPath(folder), ec)) {
        std::string beside = ProgramFolder() + "Help/";
        if (std::filesystem::is_directory(FsPath(beside), ec)) folder = beside;
    }
    CurrentPlatform().ShowHelpTopic(folder, topic);
}
