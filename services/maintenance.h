// Backup reminder, update check and service report: the calls the shell makes.
#pragma once

#include <string>

// The backup reminder at start-up (services/backup_form.cpp).
void BackupReminder();
// Starts the reminder's schedule when the reminder is switched on: with no
// backup recorded yet, today becomes the day the schedule counts from.
void StartBackupSchedule();
// The backup dialog in backup / restore mode over the current form: true when
// a backup or restore succeeded (the main window refreshes).
bool BackupDatabase();
bool RestoreDatabase();
int RecoverFailedUpdate();  // 0 when an installer was started and start-up must end
int IsUpdateCheckDue();
int CheckForUpdate(const std::string& runningVersion, int manual);
void FinishUpdate();
void RunPendingInstaller();
