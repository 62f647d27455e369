// The system seam on Windows.
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include "app/base/fs.h"
#include "app/base/system.h"
#include "app/base/util_win32.h"

struct tm LocalTimeOf(time_t t) {
    struct tm local {};
    localtime_s(&local, &t);
    return local;
}

OsFacts ReadOsFacts() {
    OsFacts facts;
    facts.windows = true;
    // GetVersionEx reports the version the program was made for, not the
    // running one; RtlGetVersion tells the truth.
    RTL_OSVERSIONINFOEXW v{};
    v.dwOSVersionInfoSize = sizeof(v);
    using RtlGetVersionFn = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(
                                     GetProcAddress(ntdll, "RtlGetVersion")))
                               : nullptr;
    if (rtlGetVersion && rtlGetVersion(&v) == 0) {
        facts.platformId = v.dwPlatformId;
        facts.major = v.dwMajorVersion;
        facts.minor = v.dwMinorVersion;
        facts.build = v.dwBuildNumber;
        facts.servicePack = Utf8(v.szCSDVersion);
    }
    // A 32-bit program on a 64-bit system runs under WOW64.
    BOOL wow64 = FALSE;
    facts.system64 = sizeof(void*) == 8 || (IsWow64Process(GetCurrentProcess(), &wow64) && wow64);
    return facts;
}

uint64_t TotalPhysicalMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

// ERROR_ELEVATION_REQUIRED (missing from MinGW's headers): CreateProcess's
// answer for a program whose manifest asks for administrator rights.
constexpr DWORD kElevationRequired = 740;

bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& args) {
    if (program.empty()) return false;
    std::wstring path = WidePath(program);
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return false;
        if (n < full.size()) {
            full.resize(n);
            break;
        }
        full.resize(n);
    }
    const std::string fullUtf8 = Utf8(full);
    const std::wstring folder = WidePath(fullUtf8.substr(0, LastSeparator(fullUtf8) + 1));
    std::vector<std::string> argv = {fullUtf8};
    argv.insert(argv.end(), args.begin(), args.end());
    std::wstring line = Wide(WindowsCommandLine(argv));
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(full.c_str(), line.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT,
                        nullptr, folder.c_str(), &si, &pi)) {
        // A program that asks for administrator rights (the installer of an
        // update) is started by the shell, which asks the user for them.
        if (GetLastError() != kElevationRequired) return false;
        const std::wstring parameters = Wide(WindowsCommandLine(args));
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = full.c_str();
        info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
        info.lpDirectory = folder.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ShellExecuteExW(&info) != FALSE;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}
