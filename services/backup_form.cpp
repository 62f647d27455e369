// Form BU, "Backup Vantrel Database": one dialog with a backup layer and a
// restore layer, of which only the one of the current mode is shown; the
// backup reminder shown at start-up. The work is done by services/backups.h.
#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/options.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_forms.h"
#include "data/dates.h"
#include "services/backup.h"
#include "services/backups.h"
#include "services/forms.h"
#include "services/maintenance.h"
#include "ui/file_helpers.h"
#include "ui/msgbox.h"

namespace {

constexpr const char* kForm = "BU";
constexpr double kFormWidth = 74, kFormHeight = 10.5;
constexpr const char* kFilter = "Backup files (*.zip)|*.zip";

struct DialogState {
    int mode = kBackupMode;
    bool refresh = false;  // a backup or restore succeeded
};
DialogState& State() {
    static DialogState state;
    return state;
}

bool Restoring() {
    return State().mode == kRestoreMode;
}

int HelpTopic() {
    return Restoring() ? kRestoreHelpTopic : kBackupHelpTopic;
}

bool IsFile(const std::string& path) {
    return !path.empty() && IsRegularFile(path);
}

// A path that names a folder and no file ("Backup/", or a folder chosen as such).
bool NamesFolder(const std::string& path) {
    return FilePart(path).empty() || IsFolder(path);
}

std::string LastBackup(const std::string& def) {
    return IniRead(Paths().settingsFile, kBackupSection, kLastBackupKey, def);
}

void ShowLayer() {
    const bool restore = Restoring();
    for (int id : {kBuBackupPicture, kBuBackupHeading, kBuBackupLabel, kBuBackupPath,
                   kBuBackupChoose, kBuBackup})
        EZ_SHOW(kForm, id, !restore);
    for (int id : {kBuRestoreHeading, kBuRestoreLabel, kBuRestorePath, kBuRestoreChoose, kBuRestore,
                   kBuRestorePicture})
        EZ_SHOW(kForm, id, restore);
}

void OnLoaded() {
    State().refresh = false;
    ShowLayer();
    EZ_ACCEL(kForm, "F1", kHelpKeyId);
    Shell().helpTopic = HelpTopic();
    if (Restoring()) {
        EZ_SETTEXT(kForm, 0, "Restore Database");
        const std::string last = LastBackup(Paths().backupFolder);
        if (IsFile(last)) {
            EZ_SETTEXT(kForm, kBuRestorePath, last);
        } else {
            EZ_ENABLE(kForm, kBuRestore, false);
        }
        EZ_SETFOCUS(kForm, kBuRestorePath);
        return;
    }
    std::string path = LastBackup(Paths().backupFolder);
    if (Opts().autoName) {
        path = NewBackupName(path, Paths().backupFolder);
    } else if (NamesFolder(path)) {
        // No earlier backup: a file name in that folder, not the folder alone.
        if (!FilePart(path).empty()) path += "/";
        path = NewBackupName(path, Paths().backupFolder);
    }
    EZ_SETTEXT(kForm, kBuBackupPath, path);
    EZ_ENABLE(kForm, kBuBackup, !path.empty());
    EZ_SETFOCUS(kForm, kBuBackupPath);
}

void ChooseBackupFile() {
    // The toolkit's dialogs take no option letters: the starting point is
    // what matters.
    const std::string start = Opts().autoName ? EZ_GETTEXT(kForm, kBuBackupPath) : LastBackup("");
    std::string folder = Paths().backupFolder, name;
    if (!start.empty()) {
        folder = FolderPart(start);
        name = FilePart(start);
    }
    const std::string chosen =
        EZ_SAVEFILEDLG(kForm, "Select a file and folder for the backup", folder, name, kFilter);
    if (chosen.empty()) return;
    EZ_SETTEXT(kForm, kBuBackupPath, ForceZipName(chosen));
    EZ_ENABLE(kForm, kBuBackup, true);
}

void ChooseRestoreFile() {
    const std::string last = LastBackup("");
    const std::string folder = last.empty() ? Paths().appFolder : FolderPart(last);
    const std::string chosen = EZ_OPENFILEDLG(
        kForm, "Select a file and folder containing the backup to be restored", folder, kFilter);
    if (chosen.empty()) return;
    // The file chosen is taken as it is: it exists under exactly that name.
    EZ_SETTEXT(kForm, kBuRestorePath, chosen);
    EZ_ENABLE(kForm, kBuRestore, true);
}

void BackupClicked() {
    const std::string path = EZ_GETTEXT(kForm, kBuBackupPath);
    if (path.empty()) return;
    if (NamesFolder(path)) {
        DgMsgOk("Backup Error", "Please add a file name for the backup to the folder:{f10,t4}",
                path + "{f6}");
        return;
    }
    // A drive that is not plugged in: say so rather than that the archive
    // cannot be opened.
    const std::string folder = FolderPart(path);
    if (!folder.empty() && !IsFolder(folder)) {
        DgMsgOk("Backup Error", "The backup folder does not exist:{f10,t4}",
                folder + "|Connect the drive that holds it, or choose another folder.{f6}");
        return;
    }
    if (IsFile(path) && ConfirmOverwrite(path) != 1) return;
    if (CreateBackupArchive(path, true, false) != 0) return;
    IniWrite(Paths().settingsFile, kBackupSection, kLastBackupKey, path);
    IniWrite(Paths().settingsFile, kBackupSection, kLastDateKey, TodayDateText());
    DgMsgOk("Backup Complete", "All data have been backed up to the file:{f6}", path + "{f10}");
    State().refresh = true;
    EZ_UNLOADFORM(kForm);
}

void RestoreClicked() {
    int answer = DgMsgAsk("Restore Database", "Restore the selected backup files?{f10}",
                          "Warning! Current database will be replaced!{f7,t4}", "",
                          "*{G,f7}|&Yes, Restore Database|&No, Don't Proceed", 2);
    if (answer != 1) return;
    RestoreOutcome outcome = RestoreFromArchive(EZ_GETTEXT(kForm, kBuRestorePath));
    for (const Notice& n : outcome.notices) DgMsgOk(n.title, n.text, n.text2);
    if (outcome.result > 0) {
        State().refresh = true;
        EZ_UNLOADFORM(kForm);
    }
}

void KeyPressed(int id, int64_t key, int& cancel) {
    if (id != kBuBackupPath && id != kBuRestorePath) return;
    if (key == kKeyEnter) {
        cancel = 1;
        EZ_SETFOCUS(kForm, id == kBuBackupPath ? kBuBackupChoose : kBuRestoreChoose);
    } else if (key == kKeyEsc) {
        cancel = 1;
        EZ_UNLOADFORM(kForm);
    }
}

}  // namespace

int CreateBackupArchive(const std::string& archivePath, bool showErrors, bool includeSettings) {
    BackupResult result = BuildBackupArchive(archivePath, includeSettings);
    if (showErrors && result.code != 0 && result.code != 53) {
        Notice n = BackupErrorNotice(result);
        DgMsgOk(n.title, n.text, n.text2);
    }
    return result.code;
}

extern const FormDecl kBackupForm;

bool OpenBackupDialog(int mode, const std::string& parent) {
    State().mode = mode;
    State().refresh = false;
    OpenForm(kBackupForm, parent);
    return State().refresh;
}

bool BackupDatabase() {
    return OpenBackupDialog(kBackupMode, EZ_CURRENTFORM());
}

bool RestoreDatabase() {
    return OpenBackupDialog(kRestoreMode, EZ_CURRENTFORM());
}

void StartBackupSchedule() {
    if (Trim(IniRead(Paths().settingsFile, kBackupSection, kLastDateKey, "")).empty())
        IniWrite(Paths().settingsFile, kBackupSection, kLastDateKey, TodayDateText());
}

void BackupReminder() {
    const Options& o = Opts();
    const std::string last = IniRead(Paths().settingsFile, kBackupSection, kLastDateKey, "");
    if (Trim(last).empty()) {
        // Switched on without a backup (or by an older version that did not
        // record the day): the schedule starts today.
        StartBackupSchedule();
        return;
    }
    if (!BackupReminderDue(TodayJulian(), last, {o.backupSeq, o.weekNum, o.backupDow})) return;
    int answer = DgMsgAsk("Backup Reminder!", "This is a reminder to back up your work!{f10,t4}",
                          "Making a backup protects you against data loss.{f6}", "",
                          "*{G,f7}|&Backup Now|&Remind Me Later|&Stop Reminding Me", 1);
    if (answer == 1) {
        OpenBackupDialog(kBackupMode, EZ_CURRENTFORM());
    } else if (answer == 3) {
        IniWrite(Paths().settingsFile, kBackupSection, kLastDateKey, TodayDateText());
    }
}

static void BU_Design() {
    EZ_DEFFONT(kFontBackupHeading, "Segoe UI", 12, "B");
    const double pictureW = EZ_PIXELSTOCOLS(48), pictureH = 3.2;
    // Backup layer: the picture on the left, the text beside it.
    EZ_CONTROL(kForm, kBuBackupPicture, EzKind::Picture, "backup.png", 2, 0.8, pictureW, pictureH);
    EZ_CONTROL(kForm, kBuBackupHeading, EzKind::Label, "Vantrel Backup", 11, 0.8, 60, 1.6);
    EZ_SETFONT(kForm, kBuBackupHeading, kFontBackupHeading);
    EZ_CONTROL(kForm, kBuBackupLabel, EzKind::Label,
               "Backup the Vantrel database to the following folder and file:", 11, 2.7, 61, 1.2);
    EZ_CONTROL(kForm, kBuBackupPath, EzKind::Text, "", 2, 4.8, 63, 1.4);
    EZ_CONTROL(kForm, kBuBackupChoose, EzKind::Button, ". . .", 66, 4.7, 6, 1.6);
    EZ_CONTROL(kForm, kBuBackup, EzKind::Button, "&Backup", 38, 7.8, 10, 1.7);
    // Restore layer: the text on the left, the picture on the right.
    EZ_CONTROL(kForm, kBuRestoreHeading, EzKind::Label, "Restore Vantrel Backup", 2, 0.8, 50, 1.6);
    EZ_SETFONT(kForm, kBuRestoreHeading, kFontBackupHeading);
    EZ_CONTROL(kForm, kBuRestoreLabel, EzKind::Label,
               "Replace your Vantrel database with this backup file:", 2, 2.7, 52, 1.2);
    EZ_CONTROL(kForm, kBuRestorePath, EzKind::Text, "", 2, 4.8, 63, 1.4);
    EZ_CONTROL(kForm, kBuRestoreChoose, EzKind::Button, ". . .", 66, 4.7, 6, 1.6);
    EZ_CONTROL(kForm, kBuRestore, EzKind::Button, "&Restore", 38, 7.8, 10, 1.7);
    EZ_CONTROL(kForm, kBuRestorePicture, EzKind::Picture, "restore.png", 72 - pictureW, 0.8,
               pictureW, pictureH);
    // Both layers.
    EZ_CONTROL(kForm, kBuCancel, EzKind::Button, "&Cancel", 50, 7.8, 10, 1.7);
    EZ_CONTROL(kForm, kBuHelp, EzKind::Button, "&Help", 62, 7.8, 10, 1.7);
}

static void BU_Event(int id, EzEvent ev, int64_t value, int& cancel) {
    if (CommonFormEvent(kForm, id, ev, {kBuHelp, kBuCancel, HelpTopic()}, HelpTopic())) return;
    if (id == 0) {
        if (ev == EzEvent::Loaded) OnLoaded();
        return;
    }
    switch (ev) {
        case EzEvent::Key:
            KeyPressed(id, value, cancel);
            return;
        case EzEvent::Change:
            if (id == kBuBackupPath)
                EZ_ENABLE(kForm, kBuBackup, !EZ_GETTEXT(kForm, kBuBackupPath).empty());
            if (id == kBuRestorePath)
                EZ_ENABLE(kForm, kBuRestore, !EZ_GETTEXT(kForm, kBuRestorePath).empty());
            return;
        case EzEvent::Click:
            break;
        default:
            return;
    }
    switch (id) {
        case kBuBackupChoose:
            ChooseBackupFile();
            break;
        case kBuRestoreChoose:
            ChooseRestoreFile();
            break;
        case kBuBackup:
            BackupClicked();
            break;
        case kBuRestore:
            RestoreClicked();
            break;
        default:
            break;
    }
}

namespace {
constexpr ControlName kControls[] = {
    {"BackupPicture", kBuBackupPicture},
    {"BackupHeading", kBuBackupHeading},
    {"BackupLabel", kBuBackupLabel},
    {"BackupPath", kBuBackupPath},
    {"BackupChoose", kBuBackupChoose},
    {"Backup", kBuBackup},
    {"RestoreHeading", kBuRestoreHeading},
    {"RestoreLabel", kBuRestoreLabel},
    {"RestorePath", kBuRestorePath},
    {"RestoreChoose", kBuRestoreChoose},
    {"Restore", kBuRestore},
    {"RestorePicture", kBuRestorePicture},
    {"Cancel", kBuCancel},
    {"Help", kBuHelp},
};
}  // namespace

// The help topic is that of a backup; opened to restore, it shows the restore's.
constinit const FormDecl kBackupForm = {
    .name = "BU",
    .caption = "Backup Vantrel Database",
    .width = kFormWidth,
    .height = kFormHeight,
    .style = "",
    .helpTopic = kBackupHelpTopic,
    .design = BU_Design,
    .event = BU_Event,
    .controls = kControls,
};
