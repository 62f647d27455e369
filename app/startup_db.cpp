#include "app/startup_db.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "app/data_folder.h"
#include "data/db_check.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/maintenance.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kNothingSaved =
    "Your data is shown as it is, but nothing can be saved until this is put right.{f6}";

constexpr size_t kLayoutTables = 7;

std::string DatabasePath() {
    return Paths().dataFolder + "VantrelData.db3";
}

// Reopens the file read-only, so that nothing is written into it.
void ReopenReadOnly() {
    slOpen(DatabasePath(), "R");
}

// 1 to try again, anything else to quit.
bool AskRetryBusy() {
    int answer =
        DgMsgAsk("Database Busy", "The database is busy: another program is using it.{f10,t4}",
                 "Vantrel waited, but " + DatabasePath() +
                     " is still in use. Close the other program (or wait a moment) "
                     "and try again.{f6}",
                 "", "*{G,f7}|&Try Again|&Quit", 1);
    return answer == 1;
}

// 1 when a backup was restored.
bool OfferRestore(const std::string& report) {
    int answer =
        DgMsgAsk("Database Damaged", "The database file " + DatabasePath() + " is damaged.{f10,t4}",
                 "Nothing will be written to it. Restore your latest backup to go on "
                 "working." +
                     (report.empty() ? std::string() : "|(" + CutBytes(report, 200) + ")") + "{f6}",
                 "", "*{G,f7}|&Restore a Backup...|&Continue Read-Only", 1);
    return answer == 1 && RestoreDatabase();
}

void ShowMissingLayout(const std::vector<std::string>& missing) {
    std::vector<std::string> shown(missing.begin(),
                                   missing.begin() + std::min<size_t>(missing.size(), 10));
    if (missing.size() > shown.size()) shown.push_back("...");
    DgMsgOk("Unexpected Database Layout",
            "The database file " + DatabasePath() + " lacks what Vantrel needs:|" +
                Join(shown, ", ") + "{f10,t4}",
            "It may come from another version of Vantrel. Nothing will be written to it.{f6}");
}

void ShowReadOnly(const std::string& what) {
    DgMsgOk("Data Cannot Be Saved", what + "{f10,t4}", kNothingSaved);
}

}  // namespace

bool OpenDatabaseAtStartup() {
    const std::string path = DatabasePath();
    const DataFolderState& folder = DataFolderAccess();
    while (true) {
        std::error_code ec;
        if (!std::filesystem::exists(FsPath(path), ec)) {
            if (folder.readOnly) {
                ShowReadOnly("The folder " + folder.folder + " cannot be written.");
                return true;
            }
            OpenDatabase();  // a new file
            return true;
        }
        if (slOpen(path, folder.readOnly ? "R" : "") != 0) {
            // Reported as before by the ordinary open, which shows the error.
            OpenDatabase();
            return true;
        }
        std::string report;
        DbIntegrity integrity = QuickCheckDatabase(report);
        bool busy = integrity == DbIntegrity::Busy;
        if (!busy && integrity == DbIntegrity::Ok && !slIsReadOnly() && !DatabaseWritableNow())
            busy = slErrorIsBusy();
        if (busy) {
            slClose();
            if (AskRetryBusy()) continue;
            return false;
        }
        if (integrity == DbIntegrity::Damaged) {
            ReopenReadOnly();
            slMarkDamaged();  // every list and report made from it may be incomplete
            if (OfferRestore(report)) continue;  // check the restored file
            return true;
        }
        // What the upgrade adds to files of earlier versions is not missing;
        // anything else is, and such a file is never upgraded or written.
        bool failed = false;
        std::vector<std::string> missing = MissingSchemaItems(failed);
        const bool noTables =
            !failed && std::count_if(missing.begin(), missing.end(), [](const std::string& m) {
                           return m.find('.') == std::string::npos;
                       }) == static_cast<long>(kLayoutTables);
        if (!failed && !slIsReadOnly()) {
            std::vector<std::string> blocking = missing;
            std::erase_if(blocking, IsAddedByUpgrade);
            if (noTables || blocking.empty()) {
                slClose();
                if (!OpenDatabase()) return true;
                missing = MissingSchemaItems(failed);
            }
        } else if (noTables) {
            missing.clear();  // an empty file that cannot be set up: said below
        }
        if (!missing.empty()) {
            ReopenReadOnly();
            ShowMissingLayout(missing);
            return true;
        }
        if (folder.readOnly)
            ShowReadOnly("The folder " + folder.folder + " cannot be written.");
        else if (slIsReadOnly())
            ShowReadOnly("The database file " + path + " can only be read.");
        return true;
    }
}
