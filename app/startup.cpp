// Start-up sequence, program folder, fonts and colours, and help.
#include "app/startup.h"

#include <string>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/options.h"
#include "app/base/platform.h"
#include "app/data_folder.h"
#include "app/forms.h"
#include "app/main_window.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "services/maintenance.h"
#include "ui/file_helpers.h"
#include "ui/msgbox.h"
#include "ui/resources.h"

namespace {

constexpr const char* kInstanceName = "Vantrel_List";
// Designed size of the main window in character units.

std::string& FolderOverride() {
    static std::string folder;
    return folder;
}

// The per-user data folder used when the program's own folder is read-only:
// the twin of the program folder under the system's per-user data folder.
std::string UserDataFolder() {
    const std::string folder = UserDataHome() + "Vantrel" + PathSeparator();
    std::error_code ec;
    std::filesystem::create_directories(FsPath(folder), ec);
    return folder;
}

// Creates a folder whose path ends in a separator (left off for the call).
void MakeFolder(const std::string& folderWithSeparator) {
    std::string f = folderWithSeparator;
    if (!f.empty() && IsPathSeparator(f.back())) f.pop_back();
    EnsureFolder(f);
}

// Notes a data folder that holds data but cannot be written, takes the lock
// that keeps a second copy off the same data, and clears leftovers of writes
// that were cut short. False when another copy is working on the data.
bool GuardDataFolder() {
    DataFolderState& access = DataFolderAccess();
    access = DataFolderState{};
    for (const std::string& folder : {Paths().appFolder, Paths().dataFolder}) {
        if (IsFolder(folder) && !FolderWritable(folder)) {
            access.readOnly = true;
            access.folder = folder;
            break;
        }
    }
    if (!AcquireDataLock(Paths().dataFolder)) {
        DgMsgOk("Vantrel Is Already Running",
                "The data in " + Paths().appFolder + " is in use by another copy of Vantrel.{f10}",
                "Only one copy can work on the same data at a time, so this copy will close.{f6}");
        return false;
    }
    // Only now that the lock is held: no other copy is writing these.
    if (!access.readOnly) {
        RemoveLeftoverTempFiles(Paths().appFolder);
        RemoveLeftoverTempFiles(Paths().dataFolder);
        RemoveSafetyArchiveLeftovers(Paths().backupFolder);
    }
    return true;
}

}  // namespace

void SetAppFolderOverride(const std::string& folder) {
    FolderOverride() = WithSeparator(folder);
    // Images and other relative resources resolve against the program folder.
    if (!folder.empty()) EZ_SETAPPPATH(FolderOverride());
}

std::string AppFolder() {
    if (!FolderOverride().empty()) return FolderOverride();
    // An installed copy never writes beside its executable.
    if (IsInstalledCopy()) return UserDataFolder();
    std::string exe = WithSeparator(EZ_APPPATH());
    bool writable = FolderWritable(exe);
    bool holdsData = FolderHoldsData(exe);
    bool setupInstalled = InstalledBySetup(exe);
    if ((!writable || setupInstalled) && !holdsData) return UserDataFolder();
    return ChooseDataFolder(exe, writable, holdsData, "", setupInstalled);
}

void StartApplication() {
    EZ_SETIMAGEFOLDER(ResourceFolder() + "Images");
    // The desktop entry, the window class and the icon of every window.
    EZ_SETAPPIDENTITY(kProgramName, kDesktopId);
    EZ_SETAPPICON({ResourceFolder() + "Images/vantrel-48.png",
                   ResourceFolder() + "Images/vantrel-128.png",
                   ResourceFolder() + "Images/vantrel-256.png"});
    DefineFontsAndColours();
    InstallMessageBox();

    // One instance per user: a second start wakes the first one and ends.
    if (!CurrentPlatform().AcquireSingleInstance(kInstanceName)) {
        CurrentPlatform().SignalRunningInstance(kInstanceName);
        return;
    }

    SetProgramFolder(ResourceFolder());
    SetAppFolder(AppFolder());
    MakeFolder(Paths().dataFolder);
    MakeFolder(Paths().backupFolder);
    MakeFolder(Paths().pdfFolder);
    MakeFolder(Paths().analysisFolder);
    if (!GuardDataFolder()) return;

    LoadOptions();
    Shell().pdfReaderPresent = CurrentPlatform().PdfViewerPresent();

    if (RecoverFailedUpdate() == 0) return;

    OpenForm(kMainWindowForm, "");
}
