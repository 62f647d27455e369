// The program update as the user meets it: the check and its messages, the
// progress dialog ZD during the download, the installer started when the
// program ends, and after the update the report and the What's New form WN.
#include "services/update.h"

#include <climits>
#include <filesystem>
#include <system_error>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "services/forms.h"
#include "services/http_client.h"
#include "services/maintenance.h"
#include "services/update_check.h"
#include "ui/msgbox.h"
#include "ui/resources.h"
#include "ui/rtf.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kZd = "ZD";
constexpr const char* kWn = "WN";
constexpr double kZdWidth = 52;
constexpr double kZdHeight = 8.5;
constexpr double kWnWidth = 64;
constexpr double kWnHeight = 27;

constexpr const char* kReleaseNotes = "Release Notes.rtf";
constexpr const char* kSilentArgs[] = {"/SP-", "/VERYSILENT"};

void RemoveQuietly(const std::string& path) {
    RemoveFile(path);
}

bool FileExists(const std::string& path) {
    return !path.empty() && IsRegularFile(path);
}

// The version the installer wrote into Updater.ini, cleared once read.
std::string TakeUpdaterVersion() {
    const std::string file = Paths().appFolder + "Updater.ini";
    if (!FileExists(file)) return "";
    std::string v = IniRead(file, "Program", "NewVersion", "");
    if (!v.empty()) IniWrite(file, "Program", "NewVersion", "");
    return v;
}

std::string FirstArgument() {
    std::vector<std::string> args = EZ_COMMANDARGS();
    return args.empty() ? std::string() : args[0];
}

// Makes the downloaded installer executable for its owner.
void MakeExecutable(const std::string& path) {
    std::error_code ec;
    fs::permissions(FsPath(path), fs::perms::owner_exec | fs::perms::owner_read,
                    fs::perm_options::add, ec);
}

// The progress bar of ZD: the range is the content length (scaled to fit the
// bar), an unknown length shows a busy bar.
struct ZdProgress {
    int64_t total = -1;
    int64_t unit = 1;
};
ZdProgress& Progress() {
    static ZdProgress p;
    return p;
}

void ShowProgress(int64_t received, int64_t total) {
    if (!EZ_FORMEXISTS(kZd)) return;
    ZdProgress& p = Progress();
    if (total != p.total) {
        p.total = total;
        p.unit = 1;
        while (total / p.unit > INT_MAX) p.unit *= 1024;
        EZ_SETRANGE(kZd, kZdProgress, 0, static_cast<int>(total / p.unit));
    }
    if (total > 0) EZ_SETVALUE(kZd, kZdProgress, static_cast<int>(received / p.unit));
}

void FillProgressBar() {
    if (!EZ_FORMEXISTS(kZd)) return;
    EZ_SETRANGE(kZd, kZdProgress, 0, 1);
    EZ_SETVALUE(kZd, kZdProgress, 1);
}

void DownloadError(const std::string& text1, const std::string& text2) {
    DgMsgOk("Download Error", text1, text2);
}

// Records the downloaded installer for the restart; false (after a message)
// when the settings file cannot take it.
bool ScheduleInstaller(const std::string& localFile, const std::string& version) {
    if (WriteUpdateSetting("Install", localFile) && WriteUpdateSetting("NewVer", version) &&
        WriteUpdateSetting("Failed", "1"))
        return true;
    DownloadError("The update could not be recorded in the settings file.{f10,t4}",
                  Paths().settingsFile + "|The update is unable to continue.{f7}");
    WriteUpdateSetting("Failed", "0");
    return false;
}

}  // namespace

// ---------------------------------------------------------------------------
// The check
// ---------------------------------------------------------------------------
std::string FetchVersionFile(const std::string& address, int manual) {
    const UpdateEndpoints& e = UpdateAddresses();
    FetchOutcome f;
    const std::string host = UrlHost(address);
    if (!IsHttpsAddress(address)) {
        // What the version file names is downloaded and run: it is read only
        // from a server that proves who it is.
        f.errorNumber = 1;  // libcurl's "unsupported protocol"
        f.description =
            "The update address \"" + CutBytes(address, 120) + "\" is not a secure (https) address";
    } else if (CurrentPlatform().MayConnect(host)) {
        f = FetchVersionText(address, e.fetchTimeoutMs, e.caFile);
    } else {
        f.errorNumber = 7;  // libcurl's "could not connect"
        f.description = "Connecting to \"" + host + "\" is not allowed";
    }
    if (f.ok) return f.text;
    // A server that does not answer in time is passed over in silence.
    if (f.timedOut || !manual) return "";
    int answer =
        DgMsgAsk("Unable to Complete Update Check",
                 f.description + " (Error " + std::to_string(f.errorNumber) +
                     ") has occurred accessing the network.{f10}",
                 std::string("|You can visit our web site to download the latest version of ") +
                     kProgramName + ".{f6}",
                 "", "*{G,f7}|&Visit Web Site|&No, Thanks, I'm Good", 1);
    if (answer == 1) CurrentPlatform().ShellOpen(e.productPage);
    return "";
}

int CheckForUpdate(const std::string& form, const std::string& versionFileUrl,
                   const std::string& runningVersion, int manual) {
    UpdateSession& s = UpdateState();
    s.cancelled = false;
    s.declined = false;
    const std::string text = FetchVersionFile(versionFileUrl, manual);
    if (text.empty()) return 0;

    const VersionFile vf = ParseVersionFile(text);
    if (!IsNewerVersion(vf.version, runningVersion)) {
        if (manual)
            DgMsgOk("You Are Up To Date!",
                    "Version " + runningVersion + " of " + kProgramName +
                        " is the latest version available.{f10}",
                    "Thank you for checking!{f6}");
        return 0;
    }
    if (IsInstalledCopy()) {
        // A copy installed under a system prefix belongs to its package: it
        // is updated by the new package, never by an installer of its own.
        DgMsgOk("New Version Available",
                "Version " + vf.version + " of " + kProgramName + " is available.{f10}",
                std::string("This copy of ") + kProgramName +
                    " was installed as a package. It is updated by installing the new "
                    "version's package.{f6}");
        return 0;
    }
    int answer = DgMsgAsk("New Version Available",
                          "Version " + vf.version + " of " + kProgramName + " is available.{f10}",
                          "This is an important update including bug fixes.|"
                          "Would you like to download it now?{f6}",
                          "", "*{G,f7}|&Yes|&No, Maybe Later", 1);
    if (answer != 1) {
        s.declined = true;
        return 0;
    }

    s.major = IsMajorUpdate(vf.version, runningVersion);
    std::string why;
    if (!IsUsableDownload(vf, why)) {
        DownloadError("The update's version file cannot be used:{f6}",
                      why + "|The update is unable to continue.{f10}");
        return 0;
    }
    const std::string localFile = Paths().appFolder + vf.fileName;
    RemoveQuietly(localFile);

    const bool hidden = !form.empty() && EZ_FORMEXISTS(form);
    if (hidden) EZ_HIDEFORM(form);
    Progress() = ZdProgress{};
    OpenForm(kUpdatingForm, hidden ? form : "");
    int rc = DownloadFile(vf.host, vf.path, 1, "", "", localFile);

    int result = 0;
    if (rc == 0 && s.cancelled) {
        // Cancelled after the last block: nothing is kept.
        RemoveQuietly(localFile);
    } else if (rc == 0) {
        if (!ChecksumMatches(vf.sha256, Sha256FileHex(localFile))) {
            // Only an installer that is exactly the one published is run.
            RemoveQuietly(localFile);
            DownloadError("The update file could not be verified.{f10,t4}",
                          "Its checksum does not match the one published with the update, "
                          "so it has been deleted.|The update is unable to continue.{f7}");
        } else if (ScheduleInstaller(localFile, vf.version)) {
            s.installerPending = true;
            result = 1;
        } else {
            RemoveQuietly(localFile);
        }
    }
    EZ_DESTROYFORM(kZd);
    if (hidden && EZ_FORMEXISTS(form)) EZ_SHOWFORM(form);
    // The program is about to end so that the installer can run: say so.
    if (result == 1)
        DgMsgOk("Installing Update",
                std::string(kProgramName) + " will now close to install version " + vf.version +
                    ".{f10}",
                "");
    return result;
}

int CheckForUpdate(const std::string& runningVersion, int manual) {
    const std::string form = EZ_ISRUNNING() ? EZ_CURRENTFORM() : std::string();
    return CheckForUpdate(form, UpdateAddresses().versionFileUrl, runningVersion, manual);
}

int DownloadFile(const std::string& host, const std::string& path, int keepAlive,
                 const std::string& user, const std::string& password,
                 const std::string& localFile) {
    const UpdateEndpoints& e = UpdateAddresses();
    HttpDownloadRequest req;
    req.host = host;
    req.path = path;
    req.keepAlive = keepAlive == 1;
    req.user = user;
    req.password = password;
    req.localFile = localFile;
    req.port = e.downloadPort;
    req.connectTimeoutMs = e.connectTimeoutMs;
    req.readTimeoutMs = e.readTimeoutMs;

    HttpDownloadHooks hooks;
    hooks.progress = ShowProgress;
    hooks.pump = [] { EZ_PROGRESSEVENTS(); };
    hooks.cancelled = [] { return UpdateState().cancelled; };

    HttpDownloadOutcome o;
    if (CurrentPlatform().MayConnect(host))
        o = HttpDownload(req, hooks);
    else
        o.result = HttpDownloadResult::NoHost;
    switch (o.result) {
        case HttpDownloadResult::Ok:
            FillProgressBar();
            return 0;
        case HttpDownloadResult::Cancelled:
            return -2;
        case HttpDownloadResult::NoHost:
            DownloadError("Unable to find web host \"" + host + "\".{f10,t4}",
                          "The update is unable to continue.{f7}");
            return -2;
        case HttpDownloadResult::Status:
            DownloadError("Unable to access update file, response = " + o.statusText + ".{f10}",
                          "");
            return o.status;
        case HttpDownloadResult::Failed:
            break;
    }
    DownloadError("The file request has generated an error:{f6}",
                  o.errorText + " (Error " + std::to_string(o.errorNumber) + "){f10}");
    return -1;
}

// ---------------------------------------------------------------------------
// Hand-over to the installer and the restart
// ---------------------------------------------------------------------------
void RunPendingInstaller() {
    UpdateSession& s = UpdateState();
    if (!s.installerPending) return;
    s.installerPending = false;
    const std::string installer = UpdateSetting("Install");
    if (installer.empty()) return;
    MakeExecutable(installer);
    std::vector<std::string> args;
    // A major update shows the installer's own dialogs; others install silently.
    if (!s.major) args.assign(std::begin(kSilentArgs), std::end(kSilentArgs));
    CurrentPlatform().StartDetached(installer, args);
}

int RecoverFailedUpdate() {
    // An installed copy never runs an installer, whatever its settings say.
    if (UpdateSetting("Failed") != "1" || IsInstalledCopy()) return 1;
    // The updated program (started with "/update", or after its installer
    // recorded the new version) confirms the update itself.
    if (FirstArgument() == "/update") return 1;
    const std::string updaterIni = Paths().appFolder + "Updater.ini";
    if (FileExists(updaterIni) && !IniRead(updaterIni, "Program", "NewVersion", "").empty())
        return 1;
    // Without its installer there is nothing to run again: start-up goes on
    // and reports the failed update.
    const std::string installer = UpdateSetting("Install");
    if (!FileExists(installer)) return 1;
    EZ_MSGBOX("", "Executing Recover", kProgramName);
    MakeExecutable(installer);
    CurrentPlatform().StartDetached(installer, {});
    return 0;
}

void FinishUpdate() {
    FinishUpdate(FirstArgument());
}

void FinishUpdate(const std::string& firstArgument) {
    UpdateSession& s = UpdateState();
    std::string v;
    if (firstArgument == "/update") {
        v = UpdateSetting("NewVer");
        // Updater.ini names the same installation: it is reported once.
        std::string installed = TakeUpdaterVersion();
        if (!v.empty())
            WriteUpdateSetting("NewVer", "");
        else
            v = installed;
    } else {
        v = TakeUpdaterVersion();
    }

    const std::string parent = EZ_ISRUNNING() ? EZ_CURRENTFORM() : std::string();
    if (!v.empty()) {
        WriteUpdateSetting("Failed", "0");
        s.newVersion = v;
        const bool notes = FileExists(Paths().appFolder + kReleaseNotes);
        int answer =
            DgMsgAsk("Update Process Complete",
                     std::string("Congratulations! ") + kProgramName +
                         " has been updated to version " + v + "!{f10}",
                     "", "", notes ? "*{G,f7}|&See What's New|&Don't Care" : "&OK{G,f7}", 1);
        if (notes && answer == 1) OpenForm(kUpdateNewsForm, parent);
    } else if (Val(IniRead(Paths().settingsFile, kUpdateSection, "Failed", "0")) != 0 &&
               !s.declined) {
        WriteUpdateSetting("Failed", "0");
        int answer = DgMsgAsk("Update Process Failed",
                              "The program update failed to install correctly.{f10}",
                              "This failure could be due to system settings or your anti-virus "
                              "program.|The update can be downloaded directly from our web "
                              "site.{f6}",
                              "", "*{G,f7}|&Go To Website|&Continue Without Updating", 1);
        if (answer == 1) CurrentPlatform().ShellOpen(UpdateAddresses().productPage);
    }

    const std::string installer = UpdateSetting("Install");
    if (FileExists(installer)) {
        RemoveQuietly(installer);
        if (!FileExists(installer)) WriteUpdateSetting("Install", "");
    }
    RemoveQuietly(Paths().appFolder + "pgmud.exe");
}

// ---------------------------------------------------------------------------
// Form ZD: "Updating..."
// ---------------------------------------------------------------------------
static void ZD_Design() {
    EZ_CONTROL(kZd, kZdFrame, EzKind::Frame, "Downloading Program Update", 1.5, 0.6, kZdWidth - 3,
               4.2);
    EZ_CONTROL(kZd, kZdProgress, EzKind::Progress, "", 3.5, 2.4, kZdWidth - 7, 1.3);
    EZ_CONTROL(kZd, kZdCancel, EzKind::Button, "&Cancel", (kZdWidth - 12) / 2, 5.6, 12, 1.7);
    EZ_ACCEL(kZd, "F1", kHelpKeyId);
}

static void ZD_Event(int id, EzEvent ev, int64_t, int& cancel) {
    // Cancel does not close the form: the download closes it once it has stopped.
    if (CommonFormEvent(kZd, id, ev, {}, kUpdateHelpTopic)) return;
    switch (ev) {
        case EzEvent::Click:
            if (id == kZdCancel) {
                // The download loop sees the flag after its current block.
                UpdateState().cancelled = true;
                EZ_ENABLE(kZd, kZdCancel, false);
            }
            break;
        case EzEvent::Close:
            // The window's close control cancels too; the download closes the form.
            cancel = 1;
            UpdateState().cancelled = true;
            EZ_ENABLE(kZd, kZdCancel, false);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Form WN: "Update Information"
// ---------------------------------------------------------------------------
static void WN_Design() {
    EZ_DEFFONT(kFontNewsHeading, "Segoe UI", 14, "B");
    EZ_DEFFONT(kFontNewsProduct, "Segoe UI", 16, "B");
    const std::string& v = UpdateState().newVersion;
    EZ_CONTROL(kWn, kWnHeading, EzKind::Label, "Here's What's New in", 2, 0.8, kWnWidth - 4, 2);
    EZ_SETFONT(kWn, kWnHeading, kFontNewsHeading);
    EZ_CONTROL(kWn, kWnProduct, EzKind::Label,
               std::string(kProgramName) + (v.empty() ? "" : " " + v) + ":", 2, 2.8, kWnWidth - 4,
               2.4);
    EZ_SETFONT(kWn, kWnProduct, kFontNewsProduct);
    EZ_CONTROL(kWn, kWnNotes, EzKind::RichText, "", 2, 5.6, kWnWidth - 4, kWnHeight - 11.2);
    std::string rtf;
    if (ReadWholeFile(Paths().appFolder + kReleaseNotes, rtf))
        EZ_SETRICHTEXT(kWn, kWnNotes, ParseRtf(rtf));
    else
        EZ_SETTEXT(kWn, kWnNotes, "No information available.");
    EZ_CONTROL(kWn, kWnHistoryNote, EzKind::Label,
               std::string("For the complete history of ") + kProgramName + "'s updates\n" +
                   "go to Help > About " + kProgramName + " on the main menu.",
               2, kWnHeight - 5.3, kWnWidth - 18, 2.6);
    EZ_CONTROL(kWn, kWnOk, EzKind::Button, "&OK", kWnWidth - 14, kWnHeight - 4.6, 12, 1.7);
    EZ_ACCEL(kWn, "F1", kHelpKeyId);
}

static void WN_Event(int id, EzEvent ev, int64_t, int&) {
    if (CommonFormEvent(kWn, id, ev, {.exit = kWnOk}, kUpdateHelpTopic)) return;
    if (ev == EzEvent::Loaded && id == 0) EZ_SETFOCUS(kWn, kWnOk);
}

namespace {
constexpr ControlName kUpdatingControls[] = {
    {"Frame", kZdFrame},
    {"Progress", kZdProgress},
    {"Cancel", kZdCancel},
};
constexpr ControlName kNewsControls[] = {
    {"Heading", kWnHeading}, {"Product", kWnProduct},         {"Notes", kWnNotes},
    {"Ok", kWnOk},           {"HistoryNote", kWnHistoryNote},
};
}  // namespace

// Modeless: the download runs while it shows its progress.
constinit const FormDecl kUpdatingForm = {
    .name = "ZD",
    .caption = "Updating...",
    .width = kZdWidth,
    .height = kZdHeight,
    .style = "N",
    .helpTopic = kUpdateHelpTopic,
    .design = ZD_Design,
    .event = ZD_Event,
    .controls = kUpdatingControls,
};
constinit const FormDecl kUpdateNewsForm = {
    .name = "WN",
    .caption = "Update Information",
    .width = kWnWidth,
    .height = kWnHeight,
    .style = "",
    .helpTopic = kUpdateHelpTopic,
    .design = WN_Design,
    .event = WN_Event,
    .controls = kNewsControls,
};
