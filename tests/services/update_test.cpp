// The update check against a loopback server: which versions are offered,
// the download and its checksum, the messages, the hand-over to the installer
// and the restart through the settings keys, and a TLS server whose
// certificate must not be trusted.
#include "services/update.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_testing.h"
#include "data/dates.h"
#include "services/http_client.h"
#include "services/maintenance.h"
#include "services/update_check.h"
#include "support/installer_stand_in.h"
#include "support/loopback_http.h"
#include "support/loopback_tls.h"
#include "support/prompt_queue.h"
#include "support/shell.h"
#include "support/test_env.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

const std::string kInstaller = "#!/bin/sh\n# stands in for the installer\nexit 0\n";

// --- plain rules --------------------------------------------------------------

TEST(UpdateRules, VersionsAreComparedPartByPartAsNumbers) {
    struct Newer {
        const char* remote;
        bool newer;
        bool major;
    };
    // Against the running 1.8.4.0; what is not a version is never offered.
    for (const Newer& n :
         {Newer{"1.8.10.0", true, false}, Newer{"1.9", true, false}, Newer{"1.8.4.1", true, false},
          Newer{"2.0.0.0", true, true}, Newer{"10", true, true}, Newer{"1.8.4.0", false, false},
          Newer{"1.8.4", false, false}, Newer{"1.8.3.99", false, false},
          Newer{"0.9.9.9", false, false}, Newer{"", false, false}, Newer{"<html>", false, false},
          Newer{"1.8.5.0.1", false, false}, Newer{"1..5", false, false},
          Newer{"1.8.5.x", false, false}, Newer{"2.-1", false, false},
          Newer{"1.8.9999999999", false, false}}) {
        EXPECT_EQ(IsNewerVersion(n.remote, "1.8.4.0"), n.newer) << n.remote;
        EXPECT_EQ(IsMajorUpdate(n.remote, "1.8.4.0"), n.major) << n.remote;
    }
}

TEST(UpdateRules, VersionFileFieldsAndTheLastPiece) {
    VersionFile v = ParseVersionFile("dl.example.com /setup/x.sh x.sh ABCDEF\r\nnotes\r\n1.8.5.0");
    EXPECT_EQ(v.host, "dl.example.com");
    EXPECT_EQ(v.path, "/setup/x.sh");
    EXPECT_EQ(v.fileName, "x.sh");
    EXPECT_EQ(v.sha256, "ABCDEF");
    EXPECT_EQ(v.version, "1.8.5.0");

    v = ParseVersionFile("dl.example.com /x.sh x.sh\n1.8.10.0");
    EXPECT_EQ(v.fileName, "x.sh");
    EXPECT_EQ(v.sha256, "");
    EXPECT_EQ(v.version, "1.8.10.0");
    // A file that ends with a line break has no version.
    EXPECT_EQ(ParseVersionFile("dl.example.com /x.sh x.sh\n1.8.10.0\n").version, "");

    struct Target {
        std::string line;
        bool usable;
    };
    const std::string sha = " " + Sha256Hex("installer");
    const std::vector<Target> targets = {
        Target{"dl.example.com /x.sh x.sh", false},  // nothing to verify it with
        Target{"dl.example.com /x.sh x.sh 12345", false},
        Target{"dl.example.com /x.sh x.sh" + sha, true},
        Target{"127.0.0.1 /a/b/c.sh setup-1.sh" + sha, true},
        Target{"dl.example.com /x.sh ../x.sh", false},
        Target{"dl.example.com /x.sh sub/x.sh", false},
        Target{"dl.example.com /x.sh ..", false},
        Target{"dl.example.com /x.sh", false},
        Target{"dl.example.com x.sh x.sh", false},
        Target{"dl.exa_mple.com /x.sh x.sh", false},
        Target{" /x.sh x.sh", false}};
    for (const Target& t : targets) {
        std::string why;
        EXPECT_EQ(IsUsableDownload(ParseVersionFile(t.line), why), t.usable) << t.line;
        EXPECT_EQ(why.empty(), t.usable) << t.line;
    }
}

TEST(UpdateRules, ChecksumsMustBeSixtyFourHexDigits) {
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_EQ(Sha256Hex("abc"), abc);
    EXPECT_TRUE(
        ChecksumMatches("BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", abc));
    EXPECT_FALSE(ChecksumMatches("", ""));
    EXPECT_FALSE(ChecksumMatches(abc.substr(1), abc.substr(1)));
}

TEST(UpdateRules, AnAutomaticCheckIsDueOnceInElevenDays) {
    TempProgramFolder folder;
    SetClockOverride(ClockReading{2026, 3, 10, 9, 0, 0});
    const int32_t today = TodayJulian();
    struct Case {
        const char* lastCheck;  // nullptr: absent
        int due;
    };
    const std::string t = std::to_string(today);
    for (const Case& c : {Case{nullptr, 1}, Case{"0", 1}, Case{"x", 1}}) {
        fs::remove(Paths().settingsFile);
        if (c.lastCheck) IniWrite(Paths().settingsFile, "Update", "LastCheck", c.lastCheck);
        EXPECT_EQ(IsUpdateCheckDue(), c.due);
        EXPECT_EQ(UpdateSetting("LastCheck"), std::to_string(today + 10));
    }
    EXPECT_EQ(IsUpdateCheckDue(), 0) << "the day after a check is written";
    for (int offset : {0, 10}) {
        SetClockOverride(ClockReading{2026, 3, 10 + offset, 9, 0, 0});
        EXPECT_EQ(IsUpdateCheckDue(), 0) << offset;
    }
    SetClockOverride(ClockReading{2026, 3, 21, 9, 0, 0});
    EXPECT_EQ(IsUpdateCheckDue(), 1);
    EXPECT_EQ(UpdateSetting("LastCheck"), std::to_string(today + 21));
    SetClockOverride(std::nullopt);
}

// --- the check against a loopback server ----------------------------------------

class UpdateTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto rec = std::make_unique<RecordingPlatform>();
        platform = rec.get();
        previous = SetPlatform(std::move(rec));
        // The version file comes over https only, from a server whose
        // certificate the fetch trusts.
        ASSERT_TRUE(trust && trust->trusted());
        ASSERT_TRUE(server.UseTls(certificate));
        endpoints.versionFileUrl = server.HttpsUrl("/VLVersion.txt");
        endpoints.caFile = certificate.cert;
        endpoints.productPage = "https://www.vantrel.com/vantrel/";
        endpoints.downloadPort = server.port();
        endpoints.readTimeoutMs = 5000;
        // Room for a slow first fetch: Wine's first certificate check in a
        // process loads all the system's root certificates (1.5 s and more).
        endpoints.fetchTimeoutMs = 10000;
        SetUpdateEndpointsForTests(&endpoints);
        UpdateState() = UpdateSession{};
        ForgetHttpConnection();
        EZ_SETCOMMANDARGS({});
    }
    // One certificate for all the checks: a Windows process reads the
    // certificates it trusts once, so one added later would not count.
    static void SetUpTestSuite() {
        tlsFolder = MakeTempFolder("vantrel-tls-");
        if (tlsFolder.empty()) return;  // no certificate: every check fails
        certificate = MakeLoopbackCertificate(tlsFolder + "/tls");
        trust = std::make_unique<TrustedCertificate>(certificate.cert);
    }
    static void TearDownTestSuite() {
        trust.reset();
        std::error_code ec;
        if (!tlsFolder.empty()) fs::remove_all(tlsFolder, ec);
    }
    void TearDown() override {
        SetUpdateEndpointsForTests(nullptr);
        SetPlatform(std::move(previous));
        UpdateState() = UpdateSession{};
        EZ_SETCOMMANDARGS({});
    }

    // The version file names the installer on this server; sha "" leaves the
    // fourth field out, "*" uses the installer's own checksum.
    void Publish(const std::string& version, const std::string& installer = kInstaller,
                 const std::string& sha = "*", const std::string& fileName = "vantrel-setup.sh") {
        std::string first = "127.0.0.1 /files/vantrel-setup.sh " + fileName;
        if (!sha.empty()) first += " " + (sha == "*" ? Sha256Hex(installer) : sha);
        server.Serve("/VLVersion.txt", OkReply(first + "\n" + version));
        server.Serve("/files/vantrel-setup.sh", OkReply(installer));
    }
    int Check(int manual = 1) {
        return CheckForUpdate("", endpoints.versionFileUrl, kVersionFull, manual);
    }
    std::string Local() const { return folder.path() + "vantrel-setup.sh"; }
    size_t InstallerRequests() const {
        size_t n = 0;
        for (const auto& r : server.Requests())
            if (r.find("GET /files/") == 0) ++n;
        return n;
    }
    void ExpectNothingScheduled() {
        EXPECT_FALSE(fs::exists(Local()));
        EXPECT_FALSE(fs::exists(Local() + ".part"));
        EXPECT_EQ(UpdateSetting("Install"), "");
        EXPECT_NE(UpdateSetting("Failed"), "1");
        RunPendingInstaller();
        EXPECT_TRUE(platform->started.empty());
    }

    TempProgramFolder folder;
    LoopbackHttpServer server;
    UpdateEndpoints endpoints;
    RecordingPlatform* platform = nullptr;
    std::unique_ptr<Platform> previous;
    static inline std::string tlsFolder;
    static inline LoopbackCertificate certificate;
    static inline std::unique_ptr<TrustedCertificate> trust;
};

TEST_F(UpdateTest, OffersOnlyANewerVersion) {
    struct Case {
        const char* versionText;
        int manual;
        const char* title;  // "" = no message
        const char* text1;
    };
    const std::vector<Case> cases = {
        {"1.8.10.0", 1, "New Version Available", "Version 1.8.10.0 of Vantrel is available.{f10}"},
        {"1.8.10.0", 0, "New Version Available", "Version 1.8.10.0 of Vantrel is available.{f10}"},
        {"1.8.4.0", 1, "You Are Up To Date!",
         "Version 1.8.4.0 of Vantrel is the latest version available.{f10}"},
        {"1.8.3.9", 0, "", ""},
        {"1.8.10.0\n", 1, "You Are Up To Date!",
         "Version 1.8.4.0 of Vantrel is the latest version available.{f10}"},
        {"1.8.10.0\n", 0, "", ""},
    };
    for (const Case& c : cases) {
        Publish(c.versionText);
        PromptQueue prompts;
        if (*c.title) prompts.Expect(c.title, 2);  // "No, Maybe Later"
        UpdateState().declined = false;
        EXPECT_EQ(Check(c.manual), 0) << c.versionText;
        if (*c.title == 0) {
            EXPECT_TRUE(prompts.seen.empty()) << c.versionText;
            continue;
        }
        ASSERT_EQ(prompts.seen.size(), 1u) << c.versionText;
        const MsgRequest& m = prompts.seen[0];
        EXPECT_EQ(m.title, c.title);
        EXPECT_EQ(m.text1, c.text1);
        if (std::string(c.title) == "New Version Available") {
            EXPECT_EQ(m.text2,
                      "This is an important update including bug fixes.|Would you like to "
                      "download it now?{f6}");
            EXPECT_EQ(m.buttons, "*{G,f7}|&Yes|&No, Maybe Later");
            EXPECT_EQ(m.defaultButton, 1);
            EXPECT_TRUE(UpdateState().declined);
        } else {
            EXPECT_EQ(m.text2, "Thank you for checking!{f6}");
            EXPECT_EQ(m.buttons, "&OK{G,f7}");
        }
    }
    EXPECT_EQ(InstallerRequests(), 0u) << "nothing is downloaded without a yes";
}

TEST_F(UpdateTest, DownloadsVerifiesAndHandsTheInstallerOverWhenTheProgramEnds) {
    struct Case {
        const char* version;
        std::vector<std::string> args;
    };
    for (const Case& c : {Case{"1.8.5.0", {"/SP-", "/VERYSILENT"}}, Case{"2.0.0.0", {}}}) {
        platform->started.clear();
        WriteFileText(Local(), "an older download");
        Publish(c.version);
        PromptQueue prompts;
        prompts.Expect("New Version Available", 1);
        prompts.Expect("Installing Update");
        EXPECT_EQ(Check(), 1) << c.version;
        ASSERT_EQ(prompts.Titles(),
                  (std::vector<std::string>{"New Version Available", "Installing Update"}));
        EXPECT_EQ(prompts.seen[1].text1,
                  std::string("Vantrel will now close to install version ") + c.version + ".{f10}");
        EXPECT_EQ(ReadFileText(Local()), kInstaller);
        EXPECT_EQ(UpdateSetting("Install"), Local());
        EXPECT_EQ(UpdateSetting("NewVer"), c.version);
        EXPECT_EQ(UpdateSetting("Failed"), "1");
        EXPECT_TRUE(platform->started.empty()) << "the installer waits for the program to end";

        RunPendingInstaller();
        ASSERT_EQ(platform->started.size(), 1u);
        EXPECT_EQ(platform->started[0].program, Local());
        EXPECT_EQ(platform->started[0].args, c.args) << c.version;
        EXPECT_TRUE(MayBeStarted(Local())) << "made executable";
        RunPendingInstaller();
        EXPECT_EQ(platform->started.size(), 1u) << "started once";
    }
    // Each download asks for its progress form (not shown without a toolkit).
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>(2, "form ZD"));
}

TEST_F(UpdateTest, AnInstallerThatCannotBeVerifiedIsNeverScheduled) {
    struct Case {
        const char* name;
        std::string sha;
        bool downloaded;  // refused after the download, or before it
        const char* why;  // in the second text of the "Download Error"
    };
    const std::vector<Case> cases = {
        {"different checksum", Sha256Hex("something else"), true,
         "Its checksum does not match the one published"},
        {"no checksum (three fields)", "", false, "No checksum was published for the update file."},
        {"not a checksum", "12345", false,
         "The checksum published for the update file (\"12345\") is not valid."},
    };
    size_t downloads = 0;
    for (const Case& c : cases) {
        Publish("1.8.5.0", kInstaller, c.sha);
        PromptQueue prompts;
        prompts.Expect("New Version Available", 1);
        prompts.Expect("Download Error");
        EXPECT_EQ(Check(), 0) << c.name;
        ASSERT_EQ(prompts.seen.size(), 2u) << c.name;
        EXPECT_EQ(prompts.seen[1].title, "Download Error");
        EXPECT_EQ(prompts.seen[1].text1, c.downloaded
                                             ? "The update file could not be verified.{f10,t4}"
                                             : "The update's version file cannot be used:{f6}");
        EXPECT_NE(prompts.seen[1].text2.find(c.why), std::string::npos) << prompts.seen[1].text2;
        if (c.downloaded) ++downloads;
        EXPECT_EQ(InstallerRequests(), downloads) << c.name;
        ExpectNothingScheduled();
    }
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>(downloads, "form ZD"));
}

// A copy installed under a prefix (resources in share/vantrel/) belongs to its
// package: the check tells of the new version, and nothing is downloaded or run.
TEST_F(UpdateTest, AnInstalledCopyOnlyTellsOfTheNewVersion) {
    struct RestoreAppPath {
        std::string saved = EZ_APPPATH();
        ~RestoreAppPath() { EZ_SETAPPPATH(saved); }
    } restore;
    fs::create_directories(folder.path() + "prefix/bin");
    fs::create_directories(folder.path() + "prefix/share/vantrel/Help");
    EZ_SETAPPPATH(folder.path() + "prefix/bin/");
    Publish("1.8.5.0");
    PromptQueue prompts;
    prompts.Expect("New Version Available");
    EXPECT_EQ(Check(), 0);
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].text1, "Version 1.8.5.0 of Vantrel is available.{f10}");
    EXPECT_EQ(prompts.seen[0].text2,
              "This copy of Vantrel was installed as a package. It is updated by installing the "
              "new version's package.{f6}");
    EXPECT_EQ(prompts.seen[0].buttons, "&OK{G,f7}");
    EXPECT_EQ(InstallerRequests(), 0u);
    ExpectNothingScheduled();

    // Settings that name a scheduled installer never start it here either.
    WriteUpdateSetting("Failed", "1");
    WriteUpdateSetting("Install", Local());
    WriteFileText(Local(), kInstaller);
    EXPECT_EQ(RecoverFailedUpdate(), 1);
    EXPECT_TRUE(platform->started.empty());
}

TEST_F(UpdateTest, DownloadAnswersAndTheirMessages) {
    const std::string alphabet = "abcdefghijklmnopqrstuvwxyz";
    server.Serve("/chunked", ChunkedReply({alphabet}));
    HttpReply shortBody = OkReply("0123456789");
    shortBody.head = "HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\n";
    server.Serve("/short", shortBody);

    struct Case {
        const char* host;
        const char* path;
        int port;  // 0: the server's
        int result;
        const char* text1;  // "" = no message
    };
    const int closed = UnusedLoopbackPort();
    const std::vector<Case> cases = {
        {"127.0.0.1", "/chunked", 0, 0, ""},
        {"127.0.0.1", "/missing", 0, 404, "Unable to access update file, response = 404.{f10}"},
        {"127.0.0.1", "/short", 0, -1, "The file request has generated an error:{f6}"},
        {"127.0.0.1", "/chunked", closed, -2, "Unable to find web host \"127.0.0.1\".{f10,t4}"},
        // Not on this machine: the test platform does not let it connect.
        {"dl.vantrel.com", "/chunked", 0, -2,
         "Unable to find web host \"dl.vantrel.com\".{f10,t4}"},
    };
    for (const Case& c : cases) {
        endpoints.downloadPort = c.port ? c.port : server.port();
        SetUpdateEndpointsForTests(&endpoints);
        PromptQueue prompts;
        if (*c.text1) prompts.Expect("Download Error");
        fs::remove(Local());
        EXPECT_EQ(DownloadFile(c.host, c.path, 1, "", "", Local()), c.result) << c.path;
        if (*c.text1 == 0) {
            EXPECT_TRUE(prompts.seen.empty());
            EXPECT_EQ(ReadFileText(Local()), alphabet);
            continue;
        }
        ASSERT_EQ(prompts.seen.size(), 1u) << c.path;
        EXPECT_EQ(prompts.seen[0].title, "Download Error");
        EXPECT_EQ(prompts.seen[0].text1, c.text1);
        EXPECT_FALSE(fs::exists(Local())) << c.path;
    }
    EXPECT_EQ(platform->connections.back(), "dl.vantrel.com");
}

TEST_F(UpdateTest, AVersionFileThatNamesAFileOutsideTheProgramFolderIsRefused) {
    Publish("1.8.5.0", kInstaller, "*", "../vantrel-setup.sh");
    PromptQueue prompts;
    prompts.Expect("New Version Available", 1);
    prompts.Expect("Download Error");
    EXPECT_EQ(Check(), 0);
    ASSERT_EQ(prompts.seen.size(), 2u);
    EXPECT_EQ(prompts.seen[1].title, "Download Error");
    EXPECT_NE(prompts.seen[1].text2.find("../vantrel-setup.sh"), std::string::npos);
    EXPECT_EQ(InstallerRequests(), 0u);
    EXPECT_FALSE(fs::exists(folder.path() + "../vantrel-setup.sh"));
    ExpectNothingScheduled();
}

TEST_F(UpdateTest, VersionFileErrorsAreShownOnlyForAManualCheck) {
    // 404 for the version file: an error page is not a version file.
    for (int manual : {0, 1}) {
        PromptQueue prompts;
        if (manual) prompts.Expect("Unable to Complete Update Check", 1);  // visit the site
        EXPECT_EQ(Check(manual), 0);
        if (!manual) {
            EXPECT_TRUE(prompts.seen.empty());
            continue;
        }
        ASSERT_EQ(prompts.seen.size(), 1u);
        const MsgRequest& m = prompts.seen[0];
        EXPECT_EQ(m.title, "Unable to Complete Update Check");
        EXPECT_EQ(m.text1,
                  "The server answered with status 404 (Error 404) has occurred accessing the "
                  "network.{f10}");
        EXPECT_EQ(m.text2,
                  "|You can visit our web site to download the latest version of Vantrel.{f6}");
        EXPECT_EQ(m.buttons, "*{G,f7}|&Visit Web Site|&No, Thanks, I'm Good");
        EXPECT_EQ(platform->opened, std::vector<std::string>{"https://www.vantrel.com/vantrel/"});
    }

    // A plain http address is never asked, even when it would offer an update.
    Publish("1.8.5.0");
    endpoints.versionFileUrl = server.Url("/VLVersion.txt");
    SetUpdateEndpointsForTests(&endpoints);
    {
        const size_t asked = server.Requests().size();
        PromptQueue prompts;
        prompts.Expect("Unable to Complete Update Check", 2);
        EXPECT_EQ(Check(1), 0);
        ASSERT_EQ(prompts.seen.size(), 1u);
        EXPECT_EQ(prompts.seen[0].text1, "The update address \"" + endpoints.versionFileUrl +
                                             "\" is not a secure (https) address (Error 1) has "
                                             "occurred accessing the network.{f10}");
        EXPECT_EQ(server.Requests().size(), asked);
    }

    // Nobody listening: the system's connect error, again only when manual.
    endpoints.versionFileUrl = "https://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/v";
    SetUpdateEndpointsForTests(&endpoints);
    {
        PromptQueue prompts;
        EXPECT_EQ(Check(0), 0);
        EXPECT_TRUE(prompts.seen.empty());
        prompts.Expect("Unable to Complete Update Check", 2);
        EXPECT_EQ(Check(1), 0);
        ASSERT_EQ(prompts.seen.size(), 1u);
        const std::string error = "(Error " + std::to_string(CannotConnectErrorNumber()) + ")";
        EXPECT_NE(prompts.seen[0].text1.find(error), std::string::npos) << prompts.seen[0].text1;
    }

    // A server that does not answer in time is passed over in silence.
    HttpReply stall = OkReply("x");
    stall.stallAfter = 0;
    server.Serve("/VLVersion.txt", stall);
    endpoints.versionFileUrl = server.HttpsUrl("/VLVersion.txt");
    endpoints.fetchTimeoutMs = 300;
    SetUpdateEndpointsForTests(&endpoints);
    {
        PromptQueue prompts;
        auto t0 = std::chrono::steady_clock::now();
        EXPECT_EQ(Check(1), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(3));
        EXPECT_TRUE(prompts.seen.empty());
    }
}

TEST_F(UpdateTest, TheProgramsOwnAddressIsNeverReachedFromATest) {
    SetUpdateEndpointsForTests(nullptr);
    EXPECT_EQ(UpdateAddresses().versionFileUrl, "https://www.vantrel.com/VLVersion.txt");
    PromptQueue prompts;
    prompts.Expect("Unable to Complete Update Check", 2);
    EXPECT_EQ(CheckForUpdate(kVersionFull, 1), 0);
    EXPECT_EQ(platform->connections, std::vector<std::string>{"www.vantrel.com"});
    ASSERT_EQ(prompts.seen.size(), 1u);
    EXPECT_EQ(prompts.seen[0].title, "Unable to Complete Update Check");
}

// --- the restart ----------------------------------------------------------------

TEST_F(UpdateTest, RecoveryRunsTheInstallerAgainOnlyForAnUnfinishedUpdate) {
    struct Case {
        const char* name;
        const char* failed;
        bool installerExists;
        const char* argument;
        const char* updaterVersion;  // nullptr: no Updater.ini
        int result;
    };
    const std::vector<Case> cases = {
        {"no update", "0", true, "", nullptr, 1},
        {"update pending", "1", true, "", nullptr, 0},
        {"pending, Updater.ini already read", "1", true, "", "", 0},
        {"the updated program", "1", true, "/update", nullptr, 1},
        {"installed, started by hand", "1", true, "", "1.8.5.0", 1},
        {"installer gone", "1", false, "", nullptr, 1},
    };
    for (const Case& c : cases) {
        platform->started.clear();
        fs::remove(Local());
        fs::remove(folder.path() + "Updater.ini");
        WriteUpdateSetting("Failed", c.failed);
        WriteUpdateSetting("Install", Local());
        if (c.installerExists) WriteFileText(Local(), kInstaller);
        if (c.updaterVersion)
            IniWrite(folder.path() + "Updater.ini", "Program", "NewVersion", c.updaterVersion);
        EZ_SETCOMMANDARGS(*c.argument ? std::vector<std::string>{c.argument}
                                      : std::vector<std::string>{});
        EXPECT_EQ(RecoverFailedUpdate(), c.result) << c.name;
        if (c.result == 0) {
            ASSERT_EQ(platform->started.size(), 1u) << c.name;
            EXPECT_EQ(platform->started[0].program, Local());
            EXPECT_TRUE(platform->started[0].args.empty());
        } else {
            EXPECT_TRUE(platform->started.empty()) << c.name;
        }
    }
    // "Executing Recover" is told each time the installer runs again.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>(2, "message box \"Vantrel\""));
}

TEST_F(UpdateTest, FinishReportsTheOutcomeAndClearsTheKeys) {
    struct Case {
        const char* name;
        const char* argument;
        const char* newVer;
        const char* updaterVersion;  // nullptr: no Updater.ini
        const char* failed;
        bool notes;
        bool declined;
        const char* title;  // "" = no message
        const char* version;
    };
    const std::vector<Case> cases = {
        {"restart with /update", "/update", "1.8.5.0", nullptr, "1", false, false,
         "Update Process Complete", "1.8.5.0"},
        {"/update, version from Updater.ini", "/update", "", "1.8.6.0", "1", true, false,
         "Update Process Complete", "1.8.6.0"},
        {"no argument: Updater.ini only", "", "1.8.5.0", "1.8.7.0", "1", false, false,
         "Update Process Complete", "1.8.7.0"},
        {"no version anywhere", "", "1.8.5.0", "", "1", false, false, "Update Process Failed", ""},
        {"declined in this session", "", "", nullptr, "1", false, true, "", ""},
        {"nothing happened", "", "", nullptr, "0", false, false, "", ""},
    };
    for (const Case& c : cases) {
        platform->opened.clear();
        fs::remove(folder.path() + "Updater.ini");
        fs::remove(folder.path() + "Release Notes.rtf");
        WriteUpdateSetting("NewVer", c.newVer);
        WriteUpdateSetting("Failed", c.failed);
        WriteUpdateSetting("Install", Local());
        WriteFileText(Local(), kInstaller);
        WriteFileText(folder.path() + "pgmud.exe", "left over");
        if (c.updaterVersion)
            IniWrite(folder.path() + "Updater.ini", "Program", "NewVersion", c.updaterVersion);
        if (c.notes) WriteFileText(folder.path() + "Release Notes.rtf", "{\\rtf1 Notes}");
        UpdateState().declined = c.declined;

        PromptQueue prompts;
        if (*c.title) prompts.Expect(c.title, 1);
        FinishUpdate(c.argument);
        if (*c.title == 0) {
            EXPECT_TRUE(prompts.seen.empty()) << c.name;
            EXPECT_EQ(UpdateSetting("Failed"), c.failed) << c.name;
        } else {
            ASSERT_EQ(prompts.seen.size(), 1u) << c.name;
            const MsgRequest& m = prompts.seen[0];
            EXPECT_EQ(m.title, c.title) << c.name;
            EXPECT_EQ(UpdateSetting("Failed"), "0") << c.name;
            if (*c.version) {
                EXPECT_EQ(m.text1, std::string("Congratulations! Vantrel has been updated to "
                                               "version ") +
                                       c.version + "!{f10}");
                EXPECT_EQ(m.buttons, c.notes ? "*{G,f7}|&See What's New|&Don't Care" : "&OK{G,f7}");
                EXPECT_EQ(UpdateState().newVersion, c.version);
            } else {
                EXPECT_EQ(m.text1, "The program update failed to install correctly.{f10}");
                EXPECT_EQ(m.buttons, "*{G,f7}|&Go To Website|&Continue Without Updating");
                EXPECT_EQ(platform->opened,
                          std::vector<std::string>{"https://www.vantrel.com/vantrel/"});
            }
        }
        if (std::string(c.argument) == "/update" && *c.newVer)
            EXPECT_EQ(UpdateSetting("NewVer"), "") << c.name;
        if (c.updaterVersion)
            EXPECT_EQ(IniRead(folder.path() + "Updater.ini", "Program", "NewVersion", "?"), "")
                << c.name;
        // In every case the installer and the left-over file go.
        EXPECT_FALSE(fs::exists(Local())) << c.name;
        EXPECT_EQ(UpdateSetting("Install"), "") << c.name;
        EXPECT_FALSE(fs::exists(folder.path() + "pgmud.exe")) << c.name;
    }
    // The release notes are shown once, for the case that has them.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"form WN"});
}

// The whole round: download, the real desktop platform starts the installer
// (a program of the test's that records its arguments and writes Updater.ini,
// as an installer does), and the updated program is started with "/update".
TEST_F(UpdateTest, TheRestartPathWithARealInstallerProcess) {
    const StandInInstaller installer;
    const std::string local = folder.path() + installer.fileName();
    Publish("1.8.5.0", installer.bytes(), "*", installer.fileName());
    {
        PromptQueue prompts;
        prompts.Expect("New Version Available", 1);
        prompts.Expect("Installing Update");
        ASSERT_EQ(Check(), 1);
    }
    // The main window closes: the desktop platform starts the installer.
    std::unique_ptr<Platform> recording = SetPlatform(MakeDesktopPlatform());
    RunPendingInstaller();
    const std::string argsFile = folder.path() + "installer-args.txt";
    for (int i = 0; i < 750 && !fs::exists(argsFile); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetPlatform(std::move(recording));
    ASSERT_TRUE(fs::exists(argsFile)) << "the installer did not run";
    installer.WaitUntilEnded();
    EXPECT_EQ(ReadFileText(argsFile), "/SP-\n/VERYSILENT\n");
    EXPECT_EQ(UpdateSetting("Failed"), "1");

    // The updated program starts.
    UpdateState() = UpdateSession{};
    EZ_SETCOMMANDARGS({"/update"});
    EXPECT_EQ(RecoverFailedUpdate(), 1);
    PromptQueue prompts;
    prompts.Expect("Update Process Complete", 2);
    FinishUpdate();
    ASSERT_EQ(prompts.Titles(), std::vector<std::string>{"Update Process Complete"});
    EXPECT_EQ(prompts.seen[0].text1,
              "Congratulations! Vantrel has been updated to version 1.8.5.0!{f10}");
    EXPECT_EQ(UpdateSetting("Failed"), "0");
    EXPECT_EQ(UpdateSetting("NewVer"), "");
    EXPECT_EQ(UpdateSetting("Install"), "");
    EXPECT_FALSE(fs::exists(local));
    EXPECT_EQ(IniRead(folder.path() + "Updater.ini", "Program", "NewVersion", "?"), "");

    // A later start: nothing more to say (the update is reported once).
    EZ_SETCOMMANDARGS({});
    prompts.seen.clear();
    EXPECT_EQ(RecoverFailedUpdate(), 1);
    FinishUpdate();
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>(1, "form ZD"));
}

}  // namespace
