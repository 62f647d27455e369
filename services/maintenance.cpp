// Backup reminder and service report entry points. These services are not
// offered in this version: the start-up calls do nothing, and the commands a
// user chooses from the menu say so instead of doing nothing. (The update
// calls are in services/update.cpp.)
#include "services/maintenance.h"

#include "ui/msgbox.h"

void BackupReminder() {}

bool RestoreDatabase() {
    DgMsgOk("Restore Database", "Restoring the database is not available in this version.{f10}",
            "Your data has not been changed.{f6}");
    return false;
}
