// Stands in for the update's installer in the Windows tests: writes the
// arguments it was started with, one a line, into "installer-args.txt"
// beside itself (under a temporary name renamed when complete) and ends.
// Started with "/hold-instance <seconds>" it stands in for a running Vantrel
// instead: it holds the "Vantrel_List" mutex that long (and makes the file
// "instance-held" beside itself once it holds it).
#include <windows.h>
// After windows.h:
#include <shellapi.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 1;
    std::wstring self(MAX_PATH, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
    const std::wstring folder = self.substr(0, self.find_last_of(L'\\') + 1);
    if (argc == 3 && std::wstring(argv[1]) == L"/hold-instance") {
        HANDLE running = CreateMutexW(nullptr, FALSE, L"Vantrel_List");
        // Tells the test that the mutex is held.
        CloseHandle(CreateFileW((folder + L"instance-held").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, 0, nullptr));
        Sleep(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
        CloseHandle(running);
        return 0;
    }
    std::string text;
    for (int i = 1; i < argc; ++i) {
        char line[1024];
        const int n =
            WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, line, sizeof line, nullptr, nullptr);
        text += std::string(line, n > 0 ? n - 1 : 0) + "\n";
    }
    LocalFree(argv);
    const std::wstring partial = folder + L"installer-args.tmp";
    HANDLE f = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    return MoveFileExW(partial.c_str(), (folder + L"installer-args.txt").c_str(),
                       MOVEFILE_REPLACE_EXISTING)
               ? 0
               : 1;
}
