// Update check and service report entry points. These services are not
// offered in this version: the start-up calls do nothing, and the commands a
// user chooses from the menu say so instead of doing nothing. (The backup
// reminder and the restore command are in services/backup.cpp.)
#include "services/maintenance.h"

#include "ui/msgbox.h"

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
