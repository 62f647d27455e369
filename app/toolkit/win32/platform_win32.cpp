// The desktop platform on Windows: the shell's file associations for what is
// handed to other programs, the default browser for help pages, Simple MAPI
// for the mail hand-off, a named mutex for the single running instance, and
// the seam's own detached start for programs.
#include "app/toolkit/win32/platform_win32.h"

// After windows.h:
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "app/base/fs.h"
#include "app/base/system.h"
#include "app/base/text_util.h"
#include "app/base/util_win32.h"
#include "app/toolkit/desktop_platform.h"

namespace {

constexpr const char* kBlanks = " \t\r\n";

// The command the shell runs for an association (a file type such as
// ".pdf", or with ASSOCF_IS_PROTOCOL an address scheme), "" when none.
std::wstring AssociatedString(ASSOCF flags, ASSOCSTR what, const wchar_t* assoc) {
    std::wstring out(MAX_PATH, L'\0');
    DWORD size = MAX_PATH;
    HRESULT rc = AssocQueryStringW(flags, what, assoc, L"open", out.data(), &size);
    if (rc == E_POINTER || rc == HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)) {
        out.assign(size, L'\0');  // a longer answer: asked again with its size
        rc = AssocQueryStringW(flags, what, assoc, L"open", out.data(), &size);
    }
    if (rc != S_OK) return {};
    out.resize(wcsnlen(out.c_str(), out.size()));
    return out;
}

// Starts a complete command line (an association's command) without waiting.
bool StartCommandLine(std::wstring line) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        nullptr, nullptr, &si, &pi))
        return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

class DesktopPlatform : public Platform {
public:
    ~DesktopPlatform() override {
        if (instance_) CloseHandle(instance_);
    }

    bool ShellOpen(const std::string& target) override {
        if (target.empty()) return false;
        const auto rc = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"open", Wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        return rc > 32;
    }

    // Some program is associated with ".pdf" files.
    bool PdfViewerPresent() override {
        return !AssociatedString(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L".pdf").empty();
    }

    // The page goes to the browser registered for web addresses, so that the
    // address keeps its "#" part (opening the .html file through its own
    // association drops it); without such a browser, the file's association.
    void ShowHelpTopic(const std::string& helpFolder, int topic) override {
        const std::string url = HelpTopicUrl(helpFolder, topic);
        const std::wstring browser =
            AssociatedString(ASSOCF_IS_PROTOCOL, ASSOCSTR_COMMAND, L"http");
        if (!browser.empty() && StartCommandLine(BrowserCommandLine(browser, Wide(url)))) return;
        ShellOpen(url);
    }

    bool SendMail(const MailRequest& mail) override {
        return SendMailWithMapi(mail, L"MAPI32.DLL");
    }

    // The named mutex "Vantrel_List" of this session; a second start finds it.
    bool AcquireSingleInstance(const std::string& name) override {
        if (instance_) return true;
        HANDLE h = CreateMutexW(nullptr, FALSE, Wide(name).c_str());
        if (!h) return false;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            return false;
        }
        instance_ = h;
        return true;
    }

    void SignalRunningInstance(const std::string&) override { RaiseRunningWindow(); }

    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        return StartDetachedProcess(program, args);
    }

    bool MayConnect(const std::string&) override { return true; }

    std::string MailtoHandler() override {
        return MailtoCommand(HKEY_CURRENT_USER, HKEY_CLASSES_ROOT);
    }

    // Windows has no desktop entries.
    std::string DesktopEntry(const std::string&) override { return {}; }

    std::string FindProgram(const std::string& name) override {
        if (name.empty()) return {};
        wchar_t found[MAX_PATH];
        const DWORD n = SearchPathW(nullptr, Wide(name).c_str(), L".exe", MAX_PATH, found, nullptr);
        return n > 0 && n < MAX_PATH ? Utf8(std::wstring_view(found, n)) : std::string();
    }

    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        return StartDetachedProcess(program, args);
    }

    std::string DesktopFolder() override {
        PWSTR path = nullptr;
        std::string folder;
        if (SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path) == S_OK) folder = Utf8(path);
        CoTaskMemFree(path);
        return WithSeparator(folder);
    }

private:
    HANDLE instance_ = nullptr;
};

}  // namespace

std::string RegistryDefaultValue(HKEY root, const wchar_t* subkey) {
    // Text values; one stored with environment variables comes back expanded
    // (asking for REG_EXPAND_SZ as well would make the call fail).
    const DWORD types = RRF_RT_REG_SZ;
    std::wstring value(MAX_PATH, L'\0');
    // An expanded value may need more room than the stored one: asked again
    // with the size the last answer gave.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
        const LSTATUS rc =
            RegGetValueW(root, subkey, nullptr, types, nullptr, value.data(), &bytes);
        if (rc == ERROR_SUCCESS) {
            value.resize(wcsnlen(value.c_str(), bytes / sizeof(wchar_t)));
            return Utf8(value);
        }
        if (rc != ERROR_MORE_DATA) return {};
        value.assign(bytes / sizeof(wchar_t) + MAX_PATH, L'\0');
    }
    return {};
}

std::string MailtoCommand(HKEY user, HKEY classes) {
    std::string command = TrimChars(
        RegistryDefaultValue(user, L"Software\\Classes\\mailto\\shell\\open\\command"), kBlanks);
    if (command.empty())
        command =
            TrimChars(RegistryDefaultValue(classes, L"mailto\\shell\\open\\command"), kBlanks);
    return command;
}

ULONG SendThroughMapi(const MailRequest& mail, MapiSendMailFn send) {
    // Every text lives until the call returns.
    std::wstring subject = Wide(mail.subject), body = Wide(mail.body);
    std::wstring name = Wide(mail.to), address = Wide("SMTP:" + mail.to);
    std::vector<std::wstring> paths, names;
    for (const std::string& a : mail.attachments) {
        paths.push_back(WidePath(a));
        const size_t cut = paths.back().find_last_of(L"\\/");
        names.push_back(cut == std::wstring::npos ? paths.back() : paths.back().substr(cut + 1));
    }
    MapiRecipDescWide recipient{};
    recipient.ulRecipClass = MAPI_TO;
    recipient.lpszName = name.data();
    recipient.lpszAddress = address.data();
    std::vector<MapiFileDescWide> files(paths.size());
    for (size_t i = 0; i < paths.size(); ++i) {
        files[i].nPosition = static_cast<ULONG>(-1);  // not placed in the text
        files[i].lpszPathName = paths[i].data();
        files[i].lpszFileName = names[i].data();
    }
    MapiMessageWide message{};
    message.lpszSubject = subject.data();
    message.lpszNoteText = body.data();
    if (!mail.to.empty()) {
        message.nRecipCount = 1;
        message.lpRecips = &recipient;
    }
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    return send(0, 0, &message, MAPI_DIALOG | MAPI_LOGON_UI, 0);
}

bool SendMailWithMapi(const MailRequest& mail, const wchar_t* library) {
    HMODULE mapi = LoadLibraryW(library);
    if (!mapi) return false;
    auto send = reinterpret_cast<MapiSendMailFn>(
        reinterpret_cast<void*>(GetProcAddress(mapi, "MAPISendMailW")));
    const ULONG rc = send ? SendThroughMapi(mail, send) : MAPI_E_FAILURE;
    FreeLibrary(mapi);
    // A message the user cancelled in the mail program was handed over.
    return rc == SUCCESS_SUCCESS || rc == MAPI_USER_ABORT;
}

std::wstring BrowserCommandLine(const std::wstring& command, const std::wstring& url) {
    std::wstring line = command;
    bool placed = false;
    for (size_t at = 0; (at = line.find(L'%', at)) != std::wstring::npos;) {
        if (at + 1 < line.size() && (line[at + 1] == L'1' || line[at + 1] == L'L')) {
            line.replace(at, 2, url);
            at += url.size();
            placed = true;
        } else {
            ++at;
        }
    }
    if (!placed) line += L" \"" + url + L"\"";
    return line;
}

std::unique_ptr<Platform> MakeDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

int DesktopRaiseRequests(Platform&) {
    return 0;
}
