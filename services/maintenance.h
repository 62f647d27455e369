// Backup reminder, update check and service report: the calls the shell makes.
#pragma once

#include <string>

void BackupReminder();
// Restore: true when a database was restored (the main window refreshes).
bool RestoreDatabase();
int RecoverFailedUpdate();  // 0 when an installer was started and start-up must end
int IsUpdateCheckDue();
int CheckForUpdate(const std::string& runningVersion, int manual);
void FinishUpdate();
void RunPendingInstaller();
