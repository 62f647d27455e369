// The database archive builder shared by the backup dialog and the service report.
#pragma once

#include <string>

int CreateBackupArchive(const std::string& archivePath, bool showErrors, bool includeSettings);
