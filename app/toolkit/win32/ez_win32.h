// Inside of the Windows toolkit: what its source files and the testing
// library share. Only app/toolkit/win32/ includes this.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"

namespace ez {

// Pixels of one column of the base font (the Qt toolkit's value when no
// toolkit runs).
inline constexpr double kColPx = 7.0;

struct State {
    EzEventProc event = nullptr;
    EzDesignProc design = nullptr;
    std::string appPath;
    std::string imageFolder = "Images";
    std::optional<std::vector<std::string>> commandArgs;
    // The windows asked for while none can be shown (EZ_TAKEUNSHOWN).
    std::vector<std::string> unshown;
    // Inside EZ_GUIRUN: forms run their events (see ez_win32.cpp).
    bool running = false;
    // The forms open now, oldest first.
    std::vector<std::string> live;
};
State& S();

// UTF-16 to UTF-8; length -1 reads up to the terminating zero.
std::string Utf8(const wchar_t* text, int length);

}  // namespace ez
