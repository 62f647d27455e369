// Start-up sequence, program folder, fonts and colours, and help.
#include "app/startup.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/app_state.h"
#include "app/options.h"
#include "app/resources.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/platform.h"
#include "services/maintenance.h"
#include "ui/file_helpers.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kInstanceName = "Vantrel_List";
// The designed font face is mapped to the desktop's own sans-serif face.
constexpr const char* kSansFace = "sans-serif";
constexpr const char* kSymbolFace = "Wingdings";
// Designed size of the main window in character units.
constexpr double kMainWidth = 118;
constexpr double kMainHeight = 36;

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

bool IsWritableFolder(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(folder, ec) && access(folder.c_str(), W_OK) == 0;
}

// The per-user data folder used when the program's own folder is read-only.
std::string UserDataFolder() {
    std::string base;
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.local/share";
    }
    std::string folder = WithSlash(base) + "Vantrel/";
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

// Creates a folder whose path ends in "/" (the slash is left off for the call).
void MakeFolder(const std::string& folderWithSlash) {
    std::string f = folderWithSlash;
    if (!f.empty() && f.back() == '/') f.pop_back();
    EnsureFolder(f);
}

}  // namespace

void SetAppFolderOverride(const std::string& folder) {
    FolderOverride() = WithSlash(folder);
    // Images and other relative resources resolve against the program folder.
    if (!folder.empty()) EZ_SETAPPPATH(FolderOverride());
}

std::string AppFolder() {
    if (!FolderOverride().empty()) return FolderOverride();
    // An installed copy never writes beside its executable.
    if (IsInstalledCopy()) return UserDataFolder();
    std::string exe = WithSlash(EZ_APPPATH());
    if (IsWritableFolder(exe)) return exe;
    return UserDataFolder();
}

void DefineFontsAndColours() {
    EZ_DEFFONT(6, kSansFace, 9, "");
    EZ_DEFFONT(7, kSansFace, 9, "B");
    EZ_DEFFONT(8, kSansFace, 11, "B");
    EZ_DEFFONT(9, kSymbolFace, 16, "S");
    EZ_DEFFONT(10, kSansFace, 10, "B");
    for (int slot = 20; slot <= 26; ++slot) EZ_DEFFONT(slot, kSansFace, slot - 10, "");

    // Menu, window, button face and tooltip background of a light desktop theme.
    EZ_DEFCOLOR(32, 240, 240, 240);
    EZ_DEFCOLOR(33, 255, 255, 255);
    EZ_DEFCOLOR(34, 240, 240, 240);
    EZ_DEFCOLOR(35, 255, 255, 225);
    EZ_DEFCOLOR(36, 252, 252, 254);
    EZ_DEFCOLOR(37, 249, 249, 249);
    EZ_DEFCOLOR(38, 245, 244, 241);
    EZ_DEFCOLOR(39, 244, 243, 238);
    EZ_DEFCOLOR(40, 227, 213, 28);
    EZ_DEFCOLOR(41, 67, 137, 188);
    EZ_DEFCOLOR(42, 183, 106, 108);
    EZ_DEFCOLOR(43, 137, 68, 221);
}

void StartApplication() {
    EZ_SETIMAGEFOLDER(ResourceFolder() + "Images");
    // The desktop entry, the window class and the icon of every window.
    EZ_SETAPPIDENTITY(kProgramName, kDesktopId);
    EZ_SETAPPICON({ResourceFolder() + "Images/vantrel-48.png",
                   ResourceFolder() + "Images/vantrel-128.png",
                   ResourceFolder() + "Images/vantrel-256.png"});
    DefineFontsAndColours();

    // One instance per user: a second start wakes the first one and ends.
    if (!CurrentPlatform().AcquireSingleInstance(kInstanceName)) {
        CurrentPlatform().SignalRunningInstance(kInstanceName);
        return;
    }

    SetAppFolder(AppFolder());
    MakeFolder(Paths().dataFolder);
    MakeFolder(Paths().backupFolder);
    MakeFolder(Paths().pdfFolder);
    MakeFolder(Paths().analysisFolder);

    LoadOptions();
    Shell().pdfReaderPresent = CurrentPlatform().PdfViewerPresent();

    if (RecoverFailedUpdate() == 0) return;

    EZ_FORM("VL", "", kMainCaption, -1, -1, kMainWidth, kMainHeight, "R");
}

void ShowHelp(int topic) {
    // The help pages ship beside the executable; a program folder elsewhere
    // (read-only installation) still finds them there.
    std::string folder = Paths().helpFolder;
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) {
        std::string beside = ResourceFolder() + "Help/";
        if (fs::is_directory(beside, ec)) folder = beside;
    }
    CurrentPlatform().ShowHelpTopic(folder, topic);
}
