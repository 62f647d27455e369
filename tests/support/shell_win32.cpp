// The Windows test programs run under Wine on the build machine: a command
// is handed to its /bin/sh (Wine starts Unix programs), with the Windows
// paths in it turned into Unix paths. Wine gives a Unix program neither the
// pipes nor the exit status of a Windows child, so the command's output and
// status come back through files, the status file written last. A child
// process of a test is the test program started again; a file size limit is
// set on Wine's process from outside.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/base/util_win32.h"
#include "support/shell.h"

namespace {

// The Unix path of a Windows path (Wine's own conversion); "" outside Wine.
std::string UnixPath(const std::string& windowsPath) {
    using Convert = char*(CDECL*)(LPCWSTR);
    static const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!convert) return "";
    char* unix = convert(Wide(windowsPath).c_str());
    if (!unix) return "";
    std::string out = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return out;
}

bool StartsWindowsPath(const std::string& s, size_t at) {
    return at + 2 < s.size() && std::isalpha(static_cast<unsigned char>(s[at])) &&
           s[at + 1] == ':' && (s[at + 2] == '\\' || s[at + 2] == '/') &&
           (at == 0 || std::string(" '\"=").find(s[at - 1]) != std::string::npos);
}

// Every "X:\..." in the command, up to its closing quote (or the next blank
// when it is not quoted), as its Unix path.
std::string UnixCommand(const std::string& command) {
    std::string out;
    for (size_t i = 0; i < command.size();) {
        if (!StartsWindowsPath(command, i)) {
            out += command[i++];
            continue;
        }
        const char quote = i > 0 ? command[i - 1] : ' ';
        const char* ends = quote == '\'' ? "'" : quote == '"' ? "\"" : " \t";
        size_t end = command.find_first_of(ends, i);
        if (end == std::string::npos) end = command.size();
        const std::string path = command.substr(i, end - i);
        const std::string unix = UnixPath(path);
        out += unix.empty() ? path : unix;
        i = end;
    }
    return out;
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

}  // namespace

std::string Capture(const std::string& command, int* status) {
    namespace fs = std::filesystem;
    if (status) *status = -1;
    const std::string work = MakeTempFolder("vantrel-sh-");
    const std::string unixWork = work.empty() ? "" : UnixPath(work);
    if (unixWork.empty()) return "";
    const fs::path folder(work);
    std::ofstream(folder / "command.sh", std::ios::binary)
        << "export PATH=/usr/local/bin:/usr/bin:/bin LC_ALL=C.UTF-8\n"
        << UnixCommand(command) << "\n";
    std::ofstream(folder / "run.sh", std::ios::binary)
        << "cd '" << unixWork << "'\n"
        << "/bin/sh ./command.sh > output\n"
        << "echo $? > status.part && mv status.part status\n";
    std::wstring line = L"/bin/sh \"" + Wide(unixWork) + L"/run.sh\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string out;
    if (CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &si, &pi)) {
        if (pi.hThread) CloseHandle(pi.hThread);
        if (pi.hProcess) CloseHandle(pi.hProcess);
        const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        std::error_code ec;
        while (!fs::exists(folder / "status", ec) && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (fs::exists(folder / "status", ec)) {
            out = ReadAll(folder / "output");
            if (status) *status = std::atoi(ReadAll(folder / "status").c_str());
        }
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return out;
}

int RunShell(const std::string& command) {
    int status = -1;
    Capture(command, &status);
    return status;
}

namespace {

// The Unix process id of this program (Wine's own process); "" outside
// Wine. /proc/self would be the Wine server's, which opens files for its
// programs, so the process is found by a file it holds open itself: the one
// process besides the server with a descriptor of a marker file.
std::string UnixProcessId() {
    static const std::string pid = [] {
        const std::string folder = MakeTempFolder("vantrel-pid-");
        if (folder.empty()) return std::string();
        const std::string name = folder.substr(folder.find_last_of("\\/") + 1);
        HANDLE marker = CreateFileW(Wide(folder + "\\marker").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        std::string found;
        DWORD written = 0;
        // A write makes Wine hand the program its own descriptor.
        if (marker != INVALID_HANDLE_VALUE && WriteFile(marker, "x", 1, &written, nullptr)) {
            const std::string find =
                "for p in /proc/[0-9]*; do ls -l $p/fd 2>/dev/null | grep -q '" + name +
                "/marker' && case $(cat $p/comm) in wineserver*) ;;"
                " *) echo ${p#/proc/} ;; esac; done; exit 0";
            int status = -1;
            found = Capture(find, &status);
            while (!found.empty() && found.back() == '\n') found.pop_back();
            if (status != 0 || found.empty() ||
                found.find_first_not_of("0123456789") != std::string::npos)
                found.clear();
        }
        if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
        return found;
    }();
    return pid;
}

}  // namespace

// Under Wine the limit is the Wine process's own, set from outside by the
// build machine's prlimit; scripts/wine-run has SIGXFSZ ignored, so a write
// past it fails (EFBIG) instead of ending the program.
FileSizeLimit::FileSizeLimit(long long bytes) {
    const std::string pid = UnixProcessId();
    if (pid.empty()) return;
    int status = -1;
    const std::string soft =
        Capture("prlimit --pid " + pid + " --fsize --output=SOFT --noheadings", &status);
    if (status != 0) return;
    before_ = soft.find("unlimited") != std::string::npos ? -1 : std::atoll(soft.c_str());
    active_ = RunShell("prlimit --pid " + pid + " --fsize=" + std::to_string(bytes) + ":") == 0;
}

FileSizeLimit::~FileSizeLimit() {
    if (!active_) return;
    RunShell("prlimit --pid " + UnixProcessId() + " --fsize=" +
             (before_ < 0 ? std::string("unlimited") : std::to_string(before_)) + ":");
}

namespace {

std::string EnvironmentValue(const char* name) {
    const std::wstring wide = Wide(name);
    const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (n == 0) return "";
    std::wstring value(n, L'\0');
    value.resize(GetEnvironmentVariableW(wide.c_str(), value.data(), n));
    return Utf8(value);
}

// In a test program started as a child: the body its environment names runs
// before any test, and its result ends the process (126: no such body).
class ChildEnvironment : public ::testing::Environment {
    void SetUp() override {
        const std::string name = EnvironmentValue(kChildBodyVariable);
        if (name.empty()) return;
        const ChildBody* body = FindChildBody(name);
        const int code = body ? (*body)(EnvironmentValue(kChildArgumentVariable)) : 126;
        std::fflush(nullptr);
        ExitProcess(static_cast<UINT>(code));
    }
};

const bool kChildEnvironment = [] {
    ::testing::AddGlobalTestEnvironment(new ChildEnvironment);
    return true;
}();

}  // namespace

int ChildBody::Run(const std::string& argument) const {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    if (self.empty()) return 255;
    // The child inherits the environment, which names its body.
    const std::wstring bodyVariable = Wide(kChildBodyVariable);
    const std::wstring argumentVariable = Wide(kChildArgumentVariable);
    SetEnvironmentVariableW(bodyVariable.c_str(), Wide(name_).c_str());
    SetEnvironmentVariableW(argumentVariable.c_str(), Wide(argument).c_str());
    // The child's own account of the tests it would have run goes nowhere.
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE nul =
        CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = nul;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + self + L"\"";
    const bool started = CreateProcessW(self.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(bodyVariable.c_str(), nullptr);
    SetEnvironmentVariableW(argumentVariable.c_str(), nullptr);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) return 255;
    CloseHandle(pi.hThread);
    DWORD code = 255;
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 255);
        WaitForSingleObject(pi.hProcess, 5000);
    } else if (!GetExitCodeProcess(pi.hProcess, &code)) {
        code = 255;
    }
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

ChildProgram::ChildProgram(const std::string& exe, const std::vector<std::string>& setEnv) {
    // The environment block: this process's variables less those replaced,
    // then the replacements, each ending in a zero, the block in another.
    std::wstring block;
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* e = own; *e; e += wcslen(e) + 1) {
            const std::string entry = Utf8(std::wstring_view(e));
            bool replaced = false;
            for (const auto& s : setEnv) {
                const size_t name = s.find('=');
                if (name != std::string::npos && entry.compare(0, name + 1, s, 0, name + 1) == 0)
                    replaced = true;
            }
            if (!replaced) block += std::wstring(e) + L'\0';
        }
        FreeEnvironmentStringsW(own);
    }
    for (const auto& s : setEnv) block += Wide(s) + L'\0';
    block += L'\0';
    std::wstring line = L"\"" + WidePath(exe) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    started_ = CreateProcessW(WidePath(exe).c_str(), line.data(), nullptr, nullptr, FALSE,
                              CREATE_UNICODE_ENVIRONMENT, block.data(), nullptr, &si, &pi);
    if (!started_) return;
    CloseHandle(pi.hThread);
    handle_ = reinterpret_cast<intptr_t>(pi.hProcess);
}

ChildProgram::~ChildProgram() {
    Kill();
    if (started_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

bool ChildProgram::Ended() {
    if (started_ && !ended_ &&
        WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), 0) == WAIT_OBJECT_0)
        ended_ = true;
    return ended_;
}

void ChildProgram::Kill() {
    if (!started_ || Ended()) return;
    TerminateProcess(reinterpret_cast<HANDLE>(handle_), 1);
    WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), 5000);
    ended_ = true;
}

std::string ProgramFileName(const std::string& name) {
    return name + ".exe";
}
