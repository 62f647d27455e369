// The program update: the check on the maker's server, the download with the
// progress dialog ZD, the hand-over to the installer when the program ends,
// and the report after the update (with the What's New form WN). The shell's
// calls (start-up, the Help menu, closing the main window) are declared in
// services/maintenance.h; the window-free rules are in services/update_check.h.
#pragma once

#include <string>

inline constexpr int kUpdateHelpTopic = 360;

// Checks for a newer version over form; 1 when an installer was downloaded
// and the program is to end so that it can run.
int CheckForUpdate(const std::string& form, const std::string& versionFileUrl,
                   const std::string& runningVersion, int manual);
// The version file's text, or "" (errors are shown only when manual).
std::string FetchVersionFile(const std::string& address, int manual);
// 0 on success, the answer's status for one other than 200, -2 when cancelled
// or the host cannot be reached, -1 for any other failure (already shown).
int DownloadFile(const std::string& host, const std::string& path, int keepAlive,
                 const std::string& user, const std::string& password,
                 const std::string& localFile);
// The report after an update; firstArgument is the first command-line argument.
void FinishUpdate(const std::string& firstArgument);

// Control ids of the progress dialog ZD and the What's New form WN.
enum : int {
    kZdFrame = 100,
    kZdProgress = 105,
    kZdCancel = 110,
    kWnHeading = 100,
    kWnProduct = 105,
    kWnNotes = 110,
    kWnHistoryNote = 115,
    kWnOk = 120,
};
