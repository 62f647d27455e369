// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/base/util_win32.h"
#include "support/installer_stand_in.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;

// Held by the running installer: its end (the mutex abandoned) is what
// WaitUntilEnded waits for.
constexpr const wchar_t* kRunning = L"Local\\VantrelStandInInstallerRunning";

std::wstring ThisProgram() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return self;
}

// The test program started as the installer.
const ChildBody kInstaller("stand-in installer", [](const std::string&) {
    CreateMutexW(nullptr, TRUE, kRunning);  // held until the process ends
    const fs::path folder = fs::path(ThisProgram()).parent_path();
    std::ofstream(folder / "Updater.ini", std::ios::binary) << "[Program]\nNewVersion=1.8.5.0\n";
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    {
        std::ofstream out(folder / "args.tmp", std::ios::binary);
        for (int i = 1; args && i < count; ++i) out << Utf8(args[i]) << "\n";
    }
    LocalFree(args);
    std::error_code ec;
    fs::rename(folder / "args.tmp", folder / "installer-args.txt", ec);
    return ec ? 1 : 0;
});

}  // namespace

StandInInstaller::StandInInstaller() : fileName_("vantrel-setup.exe") {
    std::ifstream in(fs::path(ThisProgram()), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    bytes_ = ss.str();
    SetEnvironmentVariableW(Wide(kChildBodyVariable).c_str(), Wide(kInstaller.name()).c_str());
}

StandInInstaller::~StandInInstaller() {
    SetEnvironmentVariableW(Wide(kChildBodyVariable).c_str(), nullptr);
}

void StandInInstaller::WaitUntilEnded() const {
    HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, kRunning);
    if (!running) return;  // already gone
    const DWORD waited = WaitForSingleObject(running, 30000);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) ReleaseMutex(running);
    CloseHandle(running);
}

// Windows starts a file by what it holds; there is no permission to set.
bool MayBeStarted(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(WidePath(path), ec);
}

int CannotConnectErrorNumber() {
    return 12029;  // ERROR_WINHTTP_CANNOT_CONNECT
}
