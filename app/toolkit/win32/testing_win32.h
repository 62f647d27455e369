// What the robot and the test-only toolkit functions on Windows share.
#pragma once

#include <windows.h>

#include <string>

namespace ez {

// Saves a PNG of a window as it draws itself (frame, client area and child
// windows, each asked to print into one bitmap), whether or not it is covered.
bool WindowScreenshot(HWND hwnd, const std::string& pngPath);

}  // namespace ez
