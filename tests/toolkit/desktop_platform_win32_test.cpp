// The Windows desktop platform: the mail program read from the registry, the
// message handed to Simple MAPI, the browser command for help pages, the
// update's installer started when the main window closes, and the single
// running instance against the real vantrel.exe (under Wine).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/base/app_state.h"
#include "app/base/util_win32.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/win32/platform_win32.h"
#include "services/maintenance.h"
#include "services/update_check.h"
#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

// Sets the default value of a key below root (made when missing).
void SetDefault(HKEY root, const wchar_t* sub, const wchar_t* value, DWORD type = REG_SZ) {
    RegSetKeyValueW(root, sub, nullptr, type, value,
                    static_cast<DWORD>((wcslen(value) + 1) * sizeof(wchar_t)));
}

TEST(WindowsPlatform, TheMailProgramIsTheUsersMailtoCommandElseTheClassesRoots) {
    const std::wstring scratch =
        L"Software\\VantrelTest\\" + std::to_wstring(GetCurrentProcessId());
    const std::wstring userKey = scratch + L"\\user", classesKey = scratch + L"\\classes";
    const std::wstring userCommand = userKey + L"\\Software\\Classes\\mailto\\shell\\open\\command";
    const std::wstring classesCommand = classesKey + L"\\mailto\\shell\\open\\command";
    struct Case {
        const wchar_t *user, *classes;  // nullptr: no key
        DWORD type;
        std::string expected;
    } cases[] = {
        {L"\"C:\\Mail\\thunderbird.exe\" -compose \"%1\"", L"C:\\Other\\mail.exe", REG_SZ,
         "\"C:\\Mail\\thunderbird.exe\" -compose \"%1\""},
        {nullptr, L"\"C:\\Program Files\\Mail\\OUTLOOK.EXE\" /m \"%1\"", REG_SZ,
         "\"C:\\Program Files\\Mail\\OUTLOOK.EXE\" /m \"%1\""},
        // An empty or blank value of the user's counts as none.
        {L"", L"C:\\Mail\\mail.exe", REG_SZ, "C:\\Mail\\mail.exe"},
        {L"  \r\n", L"C:\\Mail\\mail.exe", REG_SZ, "C:\\Mail\\mail.exe"},
        {nullptr, nullptr, REG_SZ, ""},
        // Stored with an environment variable: expanded.
        {nullptr, L"%SystemDrive%\\mail.exe %1", REG_EXPAND_SZ, "C:\\mail.exe %1"},
    };
    for (const Case& c : cases) {
        RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
        HKEY user = nullptr, classes = nullptr;
        RegCreateKeyW(HKEY_CURRENT_USER, userKey.c_str(), &user);
        RegCreateKeyW(HKEY_CURRENT_USER, classesKey.c_str(), &classes);
        if (c.user) SetDefault(HKEY_CURRENT_USER, userCommand.c_str(), c.user, c.type);
        if (c.classes) SetDefault(HKEY_CURRENT_USER, classesCommand.c_str(), c.classes, c.type);
        EXPECT_EQ(MailtoCommand(user, classes), c.expected) << c.expected;
        RegCloseKey(user);
        RegCloseKey(classes);
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, scratch.c_str());
}

// What a stand-in MAPISendMailW received, as one text.
std::wstring& Seen() {
    static std::wstring seen;
    return seen;
}

ULONG WINAPI StandInSendMail(LHANDLE, ULONG_PTR, MapiMessageWide* m, FLAGS flags, ULONG) {
    std::wstring& s = Seen();
    s = std::to_wstring(flags) + L"|" + m->lpszSubject + L"|" + m->lpszNoteText;
    for (ULONG i = 0; i < m->nRecipCount; ++i)
        s += L"|to " + std::to_wstring(m->lpRecips[i].ulRecipClass) + L" " +
             m->lpRecips[i].lpszName + L" <" + m->lpRecips[i].lpszAddress + L">";
    for (ULONG i = 0; i < m->nFileCount; ++i)
        s += L"|file " + std::to_wstring(static_cast<LONG>(m->lpFiles[i].nPosition)) + L" " +
             m->lpFiles[i].lpszPathName + L" as " + m->lpFiles[i].lpszFileName;
    return MAPI_USER_ABORT;
}

TEST(WindowsPlatform, TheReportGoesToSimpleMapiWithItsArchiveAttached) {
    MailRequest mail{"support@kelvora.com",
                     "Vantrel Report",
                     "Please describe the problem:",
                     {"C:\\Users\\Zo\xC3\xAB\\AppData\\Local\\Vantrel/Vantrel_ServiceReport.zip"}};
    EXPECT_EQ(SendThroughMapi(mail, StandInSendMail), static_cast<ULONG>(MAPI_USER_ABORT));
    // Flags 9: the mail program's dialog, log-on allowed; recipient class 1: To.
    EXPECT_EQ(Seen(),
              L"9|Vantrel Report|Please describe the problem:"
              L"|to 1 support@kelvora.com <SMTP:support@kelvora.com>"
              L"|file -1 C:\\Users\\Zo\u00EB\\AppData\\Local\\Vantrel\\Vantrel_ServiceReport.zip"
              L" as Vantrel_ServiceReport.zip");
    // Without Simple MAPI (no library, or one without the function) nothing
    // is sent and the caller is told, so that it can put the report on the desktop.
    EXPECT_FALSE(SendMailWithMapi(mail, L"no-such-mapi-library.dll"));
    EXPECT_FALSE(SendMailWithMapi(mail, L"kernel32.dll"));
}

TEST(WindowsPlatform, HelpPagesOpenInTheBrowserWithTheWholeAddress) {
    const std::wstring url = L"file:///C:/Vantrel/Help/index.html#index";
    const std::wstring odd = L"file:///C:/a%1Fb/index.html";  // holds "%1" itself
    EXPECT_EQ(BrowserCommandLine(L"\"C:\\B\\b.exe\" -url \"%1\"", url),
              L"\"C:\\B\\b.exe\" -url \"" + url + L"\"");
    EXPECT_EQ(BrowserCommandLine(L"\"C:\\B\\b.exe\"", url), L"\"C:\\B\\b.exe\" \"" + url + L"\"");
    EXPECT_EQ(BrowserCommandLine(L"b.exe %1 %2", odd), L"b.exe " + odd + L" %2");
}

// The main window closes with an update pending: the desktop platform starts
// the downloaded installer as a process of its own, silently for an ordinary
// update, with its own dialogs (no arguments) for a major one.
TEST(WindowsUpdate, TheInstallerStartsSilentlyUnlessTheUpdateIsMajor) {
    const char* standin = std::getenv("VANTREL_INSTALLER_STANDIN");
    ASSERT_NE(standin, nullptr);
    for (bool major : {false, true}) {
        TempProgramFolder folder;
        const fs::path dir = fs::path(folder.path()) / "Update Files";
        fs::create_directories(dir);
        const fs::path installer = dir / "vantrel-setup-1.8.5.0.exe";
        fs::copy_file(standin, installer);
        WriteUpdateSetting("Install", installer.string());
        UpdateState() = UpdateSession{};
        UpdateState().installerPending = true;
        UpdateState().major = major;
        std::unique_ptr<Platform> previous = SetPlatform(MakeDesktopPlatform());
        RunPendingInstaller();
        SetPlatform(std::move(previous));
        const fs::path args = dir / "installer-args.txt";
        for (int i = 0; i < 500 && !fs::exists(args); ++i) Sleep(20);
        ASSERT_TRUE(fs::exists(args)) << "the installer did not start (major " << major << ")";
        EXPECT_EQ(ReadFileText(args.string()), major ? "" : "/SP-\n/VERYSILENT\n");
    }
}

// Runs program in folder; true when it ended within the time, pumping this
// thread's messages meanwhile (the program may show our window).
bool RunToEnd(const std::wstring& program, const std::wstring& folder, DWORD ms) {
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    bool ended = false;
    for (const ULONGLONG end = GetTickCount64() + ms; !ended && GetTickCount64() < end;) {
        ended =
            MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0;
        for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
    }
    if (!ended) TerminateProcess(pi.hProcess, 1);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hProcess);
    return ended;
}

TEST(WindowsProgram, ASecondStartBringsTheRunningWindowBackAndEnds) {
    const fs::path built = fs::path(BuiltProgramFolder()) / "vantrel.exe";
    ASSERT_TRUE(fs::exists(built)) << built;
    const fs::path work =
        fs::temp_directory_path() / ("vantrel-instance-" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(work);
    fs::create_directories(work);
    fs::copy_file(built, work / "vantrel.exe");
    // No update check on the internet.
    WriteFileText((work / "Vantrel.ini").string(), "[Options]\r\nUpdate=0\r\n");
    const std::wstring program = (work / "vantrel.exe").wstring(), folder = work.wstring();

    // The running instance: its mutex and its main window, minimised.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Vantrel_List");
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "Vantrel runs already";
    WNDCLASSW wc{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr)};
    wc.lpszClassName = L"VantrelForm";
    RegisterClassW(&wc);
    HWND window = CreateWindowW(L"VantrelForm", Wide(kMainCaption).c_str(), WS_OVERLAPPEDWINDOW, 0,
                                0, 400, 300, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);

    EXPECT_TRUE(RunToEnd(program, folder, 60000)) << "the second start did not end";
    EXPECT_FALSE(fs::exists(work / "Data")) << "the second start made its data folder";
    EXPECT_FALSE(IsIconic(window)) << "the running window was not restored";
    DestroyWindow(window);
    CloseHandle(mutex);
    std::error_code ec;
    fs::remove_all(work, ec);
}

}  // namespace
