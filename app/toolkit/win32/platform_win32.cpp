// The desktop platform on Windows: the shell's file associations for what is
// handed to other programs, CreateProcess for programs started, a named mutex
// for the single running instance. Mail is not handed over yet (the program
// says that it could not be sent).
#include <windows.h>
// After windows.h:
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "app/base/fs.h"
#include "app/base/util_win32.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/win32/ez_win32.h"

namespace {

// One argument as CommandLineToArgvW reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

bool Start(const std::string& program, const std::vector<std::string>& args, bool detached) {
    if (program.empty()) return false;
    const std::wstring exe = Wide(program);
    std::wstring line = QuoteArgument(exe);
    for (const auto& a : args) line += L" " + QuoteArgument(Wide(a));
    // The program's own folder is its working folder, like the Linux platform.
    std::wstring folder = exe;
    const size_t cut = folder.find_last_of(L"\\/");
    folder = cut == std::wstring::npos ? std::wstring() : folder.substr(0, cut);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const DWORD flags = CREATE_UNICODE_ENVIRONMENT | (detached ? DETACHED_PROCESS : 0);
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi))
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

    bool PdfViewerPresent() override {
        wchar_t exe[MAX_PATH];
        DWORD size = MAX_PATH;
        return AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, L".pdf", L"open", exe, &size) ==
               S_OK;
    }

    void ShowHelpTopic(const std::string& helpFolder, int topic) override {
        ShellOpen(HelpTopicUrl(helpFolder, topic));
    }

    bool SendMail(const MailRequest&) override { return false; }

    bool AcquireSingleInstance(const std::string& name) override {
        if (instance_) return true;
        HANDLE h = CreateMutexW(nullptr, TRUE, Wide("Local\\" + name).c_str());
        if (!h) return false;
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            CloseHandle(h);
            return false;
        }
        instance_ = h;
        return true;
    }

    // There is no window yet to bring to the front.
    void SignalRunningInstance(const std::string&) override {}

    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override {
        return Start(program, args, true);
    }

    bool MayConnect(const std::string&) override { return true; }

    std::string MailtoHandler() override { return {}; }

    std::string DesktopEntry(const std::string&) override { return {}; }

    std::string FindProgram(const std::string& name) override {
        if (name.empty()) return {};
        wchar_t found[MAX_PATH];
        const DWORD n = SearchPathW(nullptr, Wide(name).c_str(), L".exe", MAX_PATH, found, nullptr);
        return n > 0 && n < MAX_PATH ? ez::Utf8(found, static_cast<int>(n)) : std::string();
    }

    bool StartProgram(const std::string& program, const std::vector<std::string>& args) override {
        return Start(program, args, false);
    }

    std::string DesktopFolder() override {
        PWSTR path = nullptr;
        std::string folder;
        if (SHGetKnownFolderPath(FOLDERID_Desktop, 0, nullptr, &path) == S_OK)
            folder = ez::Utf8(path, -1);
        CoTaskMemFree(path);
        return WithSeparator(folder);
    }

private:
    HANDLE instance_ = nullptr;
};

}  // namespace

std::unique_ptr<Platform> MakeDesktopPlatform() {
    return std::make_unique<DesktopPlatform>();
}

int DesktopRaiseRequests(Platform&) {
    return 0;
}
