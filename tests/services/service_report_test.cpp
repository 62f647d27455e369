// The service report without windows: the system description, the report
// file, the archive, the desktop copy and the hand-off to the mail program.
#include <gtest/gtest.h>
#include <minizip/unzip.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>

#include "app/base/app_state.h"
#include "app/base/platform.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "data/query.h"
#include "services/backup.h"
#include "services/mail_handoff.h"
#include "services/system_report.h"
#include "support/seed.h"
#include "support/shell.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

// ---------------------------------------------------------------------------
// The system description
// ---------------------------------------------------------------------------

TEST(SystemReport, OperatingSystemLines) {
    const std::string debian =
        "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nNAME=\"Debian GNU/Linux\"\n"
        "VERSION_ID=\"12\"\nID=debian\n";
    const std::string build = "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)";
    struct Case {
        const char* what;
        SystemFacts facts;
        std::array<std::string, 4> lines;
    };
    const Case cases[] = {
        {"64-bit Debian",
         {debian, "Linux", "6.1.0-18-amd64", build, "x86_64"},
         {"Debian GNU/Linux 12 (bookworm) - 64 bit", "6.1.0-18-amd64", "Version 12",
          "Build " + build}},
        {"32-bit kernel",
         {debian, "Linux", "6.1.0-18-686", build, "i686"},
         {"Debian GNU/Linux 12 (bookworm) - 32 bit", "6.1.0-18-686", "Version 12",
          "Build " + build}},
        {"64-bit ARM",
         {debian, "Linux", "6.1.0-rpi7", "#1", "aarch64"},
         {"Debian GNU/Linux 12 (bookworm) - 64 bit", "6.1.0-rpi7", "Version 12", "Build #1"}},
        {"no VERSION_ID: the kernel's major.minor",
         {"NAME=\"Arch Linux\"\nPRETTY_NAME=\"Arch Linux\"\nBUILD_ID=rolling\n", "Linux",
          "6.7.4-arch1-1", "#1 SMP", "x86_64"},
         {"Arch Linux - 64 bit", "6.7.4-arch1-1", "Version 6.7", "Build #1 SMP"}},
        {"no kernel release, no os-release",
         {"", "Linux", "", "", "x86_64"},
         {"Linux - 64 bit", "No service pack", "Version ", "Build "}},
        {"kernel release of blanks and line ends",
         {"NAME=Plain\n", "Linux", " \r\n", "", "x86_64"},
         {"Plain - 64 bit", "No service pack", "Version ", "Build "}},
        {"escapes, a CR and a tab stay on one line",
         {"PRETTY_NAME=\"Foo \\\"Bar\\\"\tOS\r\"\r\nVERSION_ID='1.2'\r\n", "Linux", "5.4.0",
          "#7\r\n", "x86_64"},
         {"Foo \"Bar\" OS - 64 bit", "5.4.0", "Version 1.2", "Build #7"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OsDescriptionLines(c.facts), c.lines) << c.what;
    }
}

TEST(SystemReport, WindowsVersionRecords) {
    // The names at the edges of their build and version ranges.
    struct Name {
        uint32_t platform, major, minor, build;
        const char* name;
    };
    const Name names[] = {
        {1, 4, 0, 950, "Windows 95 (0)"},
        {1, 4, 0, 951, "Windows 95B (OSR2)"},
        {1, 4, 0, 0x04000438, "Windows 95C (OSR2)"},  // 1080 in the low 16 bits
        {1, 4, 10, 1998, "Windows 98"},
        {1, 4, 10, 2182, "Windows 98 OSR1"},
        {1, 4, 10, 2183, "Windows 98 SE (Second Edition)"},
        {1, 4, 90, 3000, "Windows Millenium (ME)"},
        {1, 4, 5, 0, ""},
        {2, 4, 0, 1381, "Windows NT4"},
        {2, 5, 1, 2600, "Windows XP"},
        {2, 5, 3, 0, ""},
        {2, 6, 3, 9600, "Windows 8.1"},
        {2, 6, 4, 0, "Window Nine or newer"},
        {2, 10, 0, 22631, "Windows 10"},
        {2, 11, 0, 0, "Windows Undetermined"},
    };
    for (const Name& n : names) {
        EXPECT_EQ(WindowsName(n.platform, n.major, n.minor, n.build), n.name)
            << n.platform << " " << n.major << "." << n.minor << " build " << n.build;
    }
    SystemFacts win10;
    win10.windows = true;
    win10.platformId = 2;
    win10.major = 10;
    win10.build = 19045;
    win10.system64 = true;
    EXPECT_EQ(OsDescriptionLines(win10),
              (std::array<std::string, 4>{"Windows 10 - 64 bit", "No service pack", "Version 10.0",
                                          "Build 19045"}));
    SystemFacts win98 = win10;
    win98.platformId = 1;
    win98.major = 4;
    win98.minor = 10;
    win98.build = 0x040A08AE;  // 2222 in the low 16 bits
    win98.servicePack = " A \r\n";
    win98.system64 = false;
    EXPECT_EQ(OsDescriptionLines(win98),
              (std::array<std::string, 4>{"Windows 98 SE (Second Edition) - 32 bit", "A",
                                          "Version 4.10", "Build 2222"}));
}

TEST(SystemReport, OsReleaseParsing) {
    auto v = ParseOsRelease(
        "# comment\n\nNAME=Plain Name  \nID='deb'\nBAD KEY=x\n=nothing\nNOEQUALS\n"
        "EMPTY=\nUNCLOSED=\"half\nESC=\"a\\$b\\\\c\\n\"\n");
    EXPECT_EQ(v["NAME"], "Plain Name");
    EXPECT_EQ(v["ID"], "deb");
    EXPECT_EQ(v.count("BAD KEY"), 0u);
    EXPECT_EQ(v.count(""), 0u);
    EXPECT_EQ(v.count("NOEQUALS"), 0u);
    EXPECT_EQ(v["EMPTY"], "");
    EXPECT_EQ(v["UNCLOSED"], "half");
    EXPECT_EQ(v["ESC"], "a$b\\c\\n");  // only \" \\ \$ \` are escapes
}

// Packs a 48-byte brand text into the twelve registers, as the processor does.
std::array<uint32_t, 12> BrandRegisters(const std::string& text) {
    std::array<uint32_t, 12> regs{};
    for (size_t i = 0; i < 48 && i < text.size(); ++i)
        regs[i / 4] |= static_cast<uint32_t>(static_cast<unsigned char>(text[i])) << (8 * (i % 4));
    return regs;
}

TEST(SystemReport, ProcessorBrand) {
    const std::string brand = "       Intel(R) Core(TM) i7-8650U CPU @ 1.90GHz";
    EXPECT_EQ(CpuBrandFromLeaves(0x80000008, BrandRegisters(brand)),
              "Intel(R) Core(TM) i7-8650U CPU @ 1.90GHz");
    // Cut at the terminating zero: what follows it is not part of the name.
    std::string cut = std::string("AMD Ryzen 7 5800X 8-Core Processor  ") + '\0' + "junk";
    EXPECT_EQ(CpuBrandFromLeaves(0x80000004, BrandRegisters(cut)),
              "AMD Ryzen 7 5800X 8-Core Processor");
    // Without the brand leaves the line is "CPU: 0".
    EXPECT_EQ(CpuBrandFromLeaves(0x80000001, BrandRegisters(brand)), "0");
    EXPECT_EQ(CpuBrandFromLeaves(0, {}), "0");
    EXPECT_FALSE(CpuName().empty());
}

TEST(SystemReport, MemoryInGigabytes) {
    const std::pair<uint64_t, const char*> cases[] = {
        {8589934592ull, "8.0"}, {0, "0.0"},
        {1610612736ull, "1.5"}, {2104533975ull, "2.0"},
        {1020054732ull, "0.9"}, {68719476736ull, "64.0"},
    };
    for (auto [bytes, text] : cases) EXPECT_EQ(MemoryGigabytes(bytes), text) << bytes;
}

TEST(SystemReport, ReportTextBytes) {
    std::string text = ServiceReportTextFor(
        "Debian GNU/Linux 12 (bookworm) - 64 bit\r\n6.1.0-18-amd64\r\nVersion 12\r\nBuild #1 SMP",
        "0", 8589934592ull);
    EXPECT_EQ(text,
              "Program: Vantrel 1.8.4.0\r\n"
              "Operating System:\r\n"
              "Debian GNU/Linux 12 (bookworm) - 64 bit\r\n"
              "6.1.0-18-amd64\r\n"
              "Version 12\r\n"
              "Build #1 SMP\r\n"
              "CPU: 0\r\n"
              "Physical memory: 8.0 GB\r\n");
}

TEST(SystemReport, ReportFileHoldsTheShownTextOrReportsTheFailure) {
    TempProgramFolder folder;
    WriteFileText(folder.path() + "ServiceReport.txt", "an older report, longer than this one");
    ReportTextResult r = WriteServiceReportText(folder.path());
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(ReadFileText(folder.path() + "ServiceReport.txt"), r.text);
    EXPECT_EQ(r.text.rfind("Program: Vantrel 1.8.4.0\r\nOperating System:\r\n", 0), 0u);
    EXPECT_EQ(r.text.substr(r.text.size() - 5), " GB\r\n");
    EXPECT_EQ(std::count(r.text.begin(), r.text.end(), '\n'), 8);
    EXPECT_EQ(std::count(r.text.begin(), r.text.end(), '\r'), 8);

    // A folder of that name cannot be replaced by the file: the failure is
    // returned, the text is still there, and nothing is left beside it.
    fs::remove(folder.path() + "ServiceReport.txt");
    fs::create_directories(folder.path() + "ServiceReport.txt/inside");
    ReportTextResult failed = WriteServiceReportText(folder.path());
    EXPECT_NE(failed.error, 0);
    EXPECT_EQ(failed.text, r.text);
    int entries = 0;
    for (auto& e : fs::directory_iterator(folder.path())) entries += e.exists() ? 1 : 0;
    EXPECT_EQ(entries, 1);
}

// ---------------------------------------------------------------------------
// The mail program
// ---------------------------------------------------------------------------

TEST(MailHandoff, DesktopEntryCommands) {
    struct Case {
        const char* entry;
        std::vector<std::string> command;
    };
    const Case cases[] = {
        {"[Desktop Entry]\nName=Thunderbird\nExec=/usr/lib/thunderbird/thunderbird %u\n",
         {"/usr/lib/thunderbird/thunderbird"}},
        {"[Desktop Entry]\r\nExec=\"/opt/Thunder Bird/thunderbird\" -P \"my profile\" %U\r\n",
         {"/opt/Thunder Bird/thunderbird", "-P", "my profile"}},
        {"[Desktop Action Compose]\nExec=wrong -compose\n[Desktop Entry]\nExec[de]=falsch\n"
         "Exec = thunderbird\\s--safe %u 100%% \"a\\\\\\\\b\"\n",
         {"thunderbird", "--safe", "100%", "a\\b"}},
        {"[Desktop Entry]\nExec=flatpak run org.mozilla.Thunderbird @@u %u @@\n",
         {"flatpak", "run", "org.mozilla.Thunderbird", "@@u", "@@"}},
        {"[Desktop Entry]\nName=No command\n", {}},
        {"Exec=outside any group\n", {}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(DesktopEntryCommand(c.entry), c.command) << c.entry;
}

// Installs a recording platform for the test and gives it back.
struct PlatformGuard {
    PlatformGuard() {
        auto p = std::make_unique<RecordingPlatform>();
        rec = p.get();
        old = SetPlatform(std::move(p));
    }
    ~PlatformGuard() { SetPlatform(std::move(old)); }
    RecordingPlatform* rec;
    std::unique_ptr<Platform> old;
};

TEST(MailHandoff, DefaultMailClientKinds) {
    PlatformGuard g;
    RecordingPlatform& p = *g.rec;

    // No handler: the message names both answers, "No value" for the missing ones.
    MailClient none = DefaultMailClient();
    EXPECT_FALSE(none.found);
    EXPECT_EQ(NoMailClientDetails(none),
              "|mailto handler = No value|xdg-email = /usr/bin/xdg-email{f6}");
    p.programs.clear();
    EXPECT_EQ(NoMailClientDetails(DefaultMailClient()),
              "|mailto handler = No value|xdg-email = No value{f6}");

    p.mailtoHandler = "org.gnome.Evolution.desktop\n";
    MailClient evolution = DefaultMailClient();
    EXPECT_TRUE(evolution.found);
    EXPECT_EQ(evolution.kind, "");
    EXPECT_EQ(evolution.handler, "org.gnome.Evolution.desktop");

    // Thunderbird: its program from the desktop entry, without the quotes.
    p.mailtoHandler = "Thunderbird.desktop";
    p.desktopEntries["Thunderbird.desktop"] =
        "[Desktop Entry]\nExec=\"/opt/thunderbird/thunderbird\" %u\n";
    MailClient tb = DefaultMailClient();
    EXPECT_EQ(tb.kind, "thunderbird");
    EXPECT_EQ(tb.command, std::vector<std::string>{"/opt/thunderbird/thunderbird"});
    // No entry: the program on the search path; neither: handed over by xdg-email.
    p.desktopEntries.clear();
    p.programs["thunderbird"] = "/usr/bin/thunderbird";
    EXPECT_EQ(DefaultMailClient().command, std::vector<std::string>{"/usr/bin/thunderbird"});
    p.programs.clear();
    MailClient bare = DefaultMailClient();
    EXPECT_TRUE(bare.found);
    EXPECT_EQ(bare.kind, "");
}

TEST(MailHandoff, HandOffArguments) {
    PlatformGuard g;
    RecordingPlatform& p = *g.rec;
    const std::string zip = "/home/ann/Vantrel/Vantrel_ServiceReport.zip";

    MailClient other;
    other.found = true;
    ASSERT_TRUE(SendMailWithAttachment(kSupportAddress, kSupportAddress, kReportSubject,
                                       kReportBody, zip, other));
    ASSERT_EQ(p.mails.size(), 1u);
    EXPECT_EQ(MailCommandArgs(p.mails[0]),
              (std::vector<std::string>{"--subject", "Vantrel Report", "--body",
                                        "Please describe the problem:", "--attach", zip,
                                        "support@kelvora.com"}));
    EXPECT_TRUE(p.started.empty());

    MailClient tb;
    tb.found = true;
    tb.kind = "thunderbird";
    tb.command = {"flatpak", "run", "org.mozilla.Thunderbird"};
    ASSERT_TRUE(SendMailWithAttachment(kSupportAddress, kSupportAddress, kReportSubject,
                                       kReportBody, zip, tb));
    ASSERT_EQ(p.started.size(), 1u);
    EXPECT_EQ(p.started[0].program, "flatpak");
    EXPECT_EQ(p.started[0].args,
              (std::vector<std::string>{"run", "org.mozilla.Thunderbird", "-compose",
                                        "to='support@kelvora.com',subject='Vantrel Report',"
                                        "body='Please describe the problem:',attachment='" +
                                            zip + "'"}));
    // A path that would end the quoted value early goes as an encoded file address.
    EXPECT_EQ(ThunderbirdComposeArgument("a@b.c", "S", "B", "/home/o'neil,x/r z.zip"),
              "to='a@b.c',subject='S',body='B',attachment='file:///home/o%27neil%2Cx/r%20z.zip'");

    p.programStarts = false;
    p.mailStarts = false;
    EXPECT_FALSE(SendMailWithAttachment(kSupportAddress, kSupportAddress, kReportSubject,
                                        kReportBody, zip, tb));
    EXPECT_FALSE(SendMailWithAttachment(kSupportAddress, kSupportAddress, kReportSubject,
                                        kReportBody, zip, other));
}

// ---------------------------------------------------------------------------
// Creating the report
// ---------------------------------------------------------------------------

struct ZipEntry {
    std::string name, content;
};

std::vector<ZipEntry> ReadZip(const std::string& path) {
    std::vector<ZipEntry> entries;
    unzFile z = unzOpen64(path.c_str());
    if (!z) return entries;
    for (int rc = unzGoToFirstFile(z); rc == UNZ_OK; rc = unzGoToNextFile(z)) {
        char name[1024];
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(z, &info, name, sizeof(name), nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        ZipEntry e{name, std::string(info.uncompressed_size, '\0')};
        if (unzOpenCurrentFile(z) == UNZ_OK) {
            int n =
                unzReadCurrentFile(z, e.content.data(), static_cast<unsigned>(e.content.size()));
            if (n != static_cast<int>(e.content.size())) e.content = "<short read>";
            unzCloseCurrentFile(z);
        }
        entries.push_back(e);
    }
    unzClose(z);
    return entries;
}

// The names `unzip -l` lists, in order.
std::vector<std::string> UnzipListing(const std::string& path) {
    std::vector<std::string> names;
    std::istringstream listing(Capture("unzip -l '" + path + "' 2>/dev/null"));
    // Entry lines are "length date time name"; the name is the rest of the
    // line (a Linux or a Windows path, blanks included).
    const std::regex entry(
        R"(^\s*[0-9]+\s+[0-9]{2,4}-[0-9]{2}-[0-9]{2,4}\s+[0-9]{2}:[0-9]{2}\s+(.+?)\r?$)");
    std::smatch m;
    for (std::string l; std::getline(listing, l);)
        if (std::regex_match(l, m, entry)) names.push_back(m[1]);
    return names;
}

class ReportFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.OpenFreshDatabase());
        ASSERT_EQ(SeedStation("WAAA-FM", "Springfield, IL", 20242, 0), 1);
        ASSERT_TRUE(IniWrite(Paths().settingsFile, "Options", "TipsOn", "1"));
        desktop = folder.path() + "Desktop/";
        fs::create_directories(desktop);
        g.rec->desktopFolder = desktop;
    }
    std::string Database() const { return Paths().dataFolder + "VantrelData.db3"; }

    TempProgramFolder folder;
    PlatformGuard g;
    std::string desktop;
};

TEST_F(ReportFixture, DesktopCopyHoldsDatabaseThenSettingsAndNoMailIsSent) {
    ReportResult r = CreateServiceReport(true);
    ASSERT_EQ(r.outcome, ReportOutcome::CopiedToDesktop);
    EXPECT_EQ(r.archive, folder.path() + "Vantrel_ServiceReport.zip");
    EXPECT_EQ(r.path, desktop + "Vantrel_ServiceReport.zip");
    EXPECT_TRUE(g.rec->mails.empty());
    EXPECT_TRUE(g.rec->started.empty());
    EXPECT_EQ(ReadFileText(r.path), ReadFileText(r.archive));

    // The database is open again afterwards and holds what it held.
    ASSERT_TRUE(slIsOpen());
    EXPECT_EQ(slSelStr("SELECT Calls FROM Stations"), "WAAA-FM");

    std::vector<ZipEntry> entries = ReadZip(r.path);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, Database());
    EXPECT_EQ(entries[0].content, ReadFileText(Database()));
    EXPECT_EQ(entries[0].content.rfind("SQLite format 3", 0), 0u);
    EXPECT_EQ(entries[1].name, Paths().settingsFile);
    EXPECT_EQ(entries[1].content, ReadFileText(Paths().settingsFile));
    EXPECT_EQ(UnzipListing(r.path), (std::vector<std::string>{Database(), Paths().settingsFile}));

    // A second report replaces the copy on the desktop.
    WriteFileText(r.path, "old");
    EXPECT_EQ(CreateServiceReport(true).outcome, ReportOutcome::CopiedToDesktop);
    EXPECT_EQ(ReadFileText(r.path), ReadFileText(r.archive));
}

TEST_F(ReportFixture, MailOutcomes) {
    const std::string zip = folder.path() + "Vantrel_ServiceReport.zip";
    // No handler: nothing is started and the archive stays in the program folder.
    ReportResult none = CreateServiceReport(false);
    EXPECT_EQ(none.outcome, ReportOutcome::NoMailClient);
    EXPECT_EQ(none.client.handler, "");
    EXPECT_TRUE(fs::exists(zip));
    EXPECT_TRUE(g.rec->mails.empty());
    EXPECT_FALSE(fs::exists(desktop + "Vantrel_ServiceReport.zip"));

    g.rec->mailtoHandler = "org.gnome.Evolution.desktop";
    EXPECT_EQ(CreateServiceReport(false).outcome, ReportOutcome::MailStarted);
    ASSERT_EQ(g.rec->mails.size(), 1u);
    EXPECT_EQ(g.rec->mails[0].to, "support@kelvora.com");
    EXPECT_EQ(g.rec->mails[0].attachments, std::vector<std::string>{zip});
    EXPECT_EQ(ReadZip(zip).size(), 2u);

    // A mail program that does not take the message: the report goes to the desktop.
    g.rec->mailStarts = false;
    ReportResult failed = CreateServiceReport(false);
    EXPECT_EQ(failed.outcome, ReportOutcome::MailFailed);
    EXPECT_EQ(failed.path, desktop + "Vantrel_ServiceReport.zip");
    EXPECT_EQ(ReadFileText(failed.path), ReadFileText(zip));
}

TEST_F(ReportFixture, NoStaleArchiveIsEverHandedOver) {
    const std::string zip = folder.path() + "Vantrel_ServiceReport.zip";
    WriteFileText(zip, "an archive of an earlier report");
    g.rec->mailtoHandler = "thunderbird.desktop";
    slClose();
    fs::remove(Database());
    ReportResult r = CreateServiceReport(false);
    EXPECT_EQ(r.outcome, ReportOutcome::ArchiveFailed);
    EXPECT_NE(r.error, 0);
    EXPECT_FALSE(fs::exists(zip));
    EXPECT_TRUE(g.rec->mails.empty());
    EXPECT_TRUE(g.rec->started.empty());
}

TEST_F(ReportFixture, NotBuiltWhileAWriteIsUnderWay) {
    const std::string zip = folder.path() + "Vantrel_ServiceReport.zip";
    {
        Transaction t;
        ASSERT_TRUE(t.ok());
        ASSERT_EQ(SeedStation("WBBB-AM", "Shelbyville, IL", 20242, 1), 2);
        EXPECT_EQ(CreateServiceReport(true).outcome, ReportOutcome::DatabaseBusy);
        EXPECT_FALSE(fs::exists(zip));
        // The write goes on undisturbed.
        EXPECT_TRUE(t.Commit());
    }
    EXPECT_EQ(slSelStr("SELECT COUNT(*) FROM Stations"), "2");
    EXPECT_EQ(CreateServiceReport(true).outcome, ReportOutcome::CopiedToDesktop);
}

TEST_F(ReportFixture, DesktopFailuresAreTold) {
    g.rec->desktopFolder = "";
    EXPECT_EQ(CreateServiceReport(true).outcome, ReportOutcome::NoDesktop);

    // A folder where the copy would go cannot be replaced.
    g.rec->desktopFolder = desktop;
    fs::create_directories(desktop + "Vantrel_ServiceReport.zip/inside");
    ReportResult r = CreateServiceReport(true);
    EXPECT_EQ(r.outcome, ReportOutcome::DesktopCopyFailed);
    EXPECT_NE(r.error, 0);
    EXPECT_TRUE(g.rec->mails.empty());
}

}  // namespace
