#include "app/base/app_state.h"

#include "app/base/fs.h"

namespace {
AppPaths gPaths;
std::string gProgramFolder;
ShellState gShell;
}  // namespace

void SetAppFolder(const std::string& folder) {
    const std::string f = folder.empty() ? std::string(1, PathSeparator()) : WithSeparator(folder);
    const char sep = PathSeparator();
    gPaths.appFolder = f;
    gPaths.settingsFile = f + "Vantrel.ini";
    gPaths.helpFolder = f + "Help" + sep;
    gPaths.helpFile = gPaths.helpFolder + "index.html";
    gPaths.dataFolder = f + "Data" + sep;
    gPaths.backupFolder = f + "Backup" + sep;
    gPaths.pdfFolder = f + "PDF" + sep;
    gPaths.analysisFolder = f + "Analysis" + sep;
}

const AppPaths& Paths() {
    return gPaths;
}
ShellState& Shell() {
    return gShell;
}

const std::string& ProgramFolder() {
    return gProgramFolder;
}

void SetProgramFolder(const std::string& folder) {
    gProgramFolder = WithSeparator(folder);
}
