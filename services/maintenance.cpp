// Backup reminder, update check and service report entry points. These
// services are not offered in this version: the start-up calls do nothing, and
// the commands a user chooses from the menu say so instead of doing nothing.
#include "services/maintenance.h"

#include "ui/msgbox.h"

void BackupReminder() {}

bool RestoreDatabase() {
    DgMsgOk("Restore Database", "Restoring the database is not available in this version.{f10}",
            "Your data has not been changed.{f6}");
    return false;
}

int RecoverFailedUpdate() {
    return 1;
}
int IsUpdateCheckDue() {
    return 0;
}

int CheckForUpdate(const std::string&, int manual) {
    if (manual) {
        DgMsgOk("Check for Program Update",
                "Checking for program updates is not available in this version.{f10}", "");
    }
    return 0;
}

void FinishUpdate() {}
void RunPendingInstaller() {}
