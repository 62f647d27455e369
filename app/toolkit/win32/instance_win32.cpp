// The second start's half of the single running instance on Windows: the
// running program's main window is found by the class of the toolkit's form
// windows and the main window's caption, restored and brought to the front.
// (A file of its own: the shell's headers declare a name the program's state uses.)
#include <windows.h>

#include "app/base/app_state.h"
#include "app/base/util_win32.h"
#include "app/toolkit/win32/platform_win32.h"

namespace {

// The class of every form window of the Win32 toolkit.
constexpr wchar_t kFormClass[] = L"VantrelForm";
// The running instance may still be opening its main window: it is looked
// for this many times, 100 ms apart.
constexpr int kRaiseAttempts = 20;

}  // namespace

bool RaiseRunningWindow() {
    const std::wstring caption = Wide(kMainCaption);
    for (int i = 0; i < kRaiseAttempts; ++i) {
        if (HWND w = FindWindowW(kFormClass, caption.c_str())) {
            ShowWindow(w, SW_RESTORE);
            SetForegroundWindow(w);
            return true;
        }
        Sleep(100);
    }
    return false;
}
