// The Windows test programs run under Wine on the build machine: a command
// is handed to its /bin/sh (Wine starts Unix programs), with the Windows
// paths in it turned into Unix paths. Wine gives a Unix program neither the
// pipes nor the exit status of a Windows child, so the command's output and
// status come back through files, the status file written last.
#include <windows.h>

#include <chrono>
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

int ExitCodeOfChild(const std::function<int()>&) {
    return -1;
}

FileSizeLimit::FileSizeLimit(long long) {}

FileSizeLimit::~FileSizeLimit() = default;

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
