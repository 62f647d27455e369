#include "app/base/app_state.h"

namespace {
AppPaths gPaths;
std::string gProgramFolder;
ShellState gShell;
}  // namespace

void SetAppFolder(const std::string& folder) {
    std::string f = folder;
    if (f.empty() || f.back() != '/') f += '/';
    gPaths.appFolder = f;
    gPaths.settingsFile = f + "Vantrel.ini";
    gPaths.helpFolder = f + "Help/";
    gPaths.helpFile = gPaths.helpFolder + "index.html";
    gPaths.dataFolder = f + "Data/";
    gPaths.backupFolder = f + "Backup/";
    gPaths.pdfFolder = f + "PDF/";
    gPaths.analysisFolder = f + "Analysis/";
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
    gProgramFolder = folder;
    if (!gProgramFolder.empty() && gProgramFolder.back() != '/') gProgramFolder += '/';
}
