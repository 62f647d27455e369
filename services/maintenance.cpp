// Backup reminder, update check and service report entry points. These
// services are not built yet: each entry point does nothing and reports
// "nothing happened" so that start-up and the main window work without them.
#include "services/maintenance.h"

void BackupReminder() {}
bool RestoreDatabase() {
    return false;
}
int RecoverFailedUpdate() {
    return 1;
}
int IsUpdateCheckDue() {
    return 0;
}
int CheckForUpdate(const std::string&, int) {
    return 0;
}
void FinishUpdate() {}
void RunPendingInstaller() {}
