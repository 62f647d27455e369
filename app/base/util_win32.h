// Helpers shared by the Windows twins of the platform seam (only *_win32.cpp
// files include this): UTF-8 to UTF-16 at the API boundary, and the errno
// value of a Windows error code.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// UTF-16 of UTF-8 text (invalid bytes become U+FFFD).
std::wstring Wide(std::string_view utf8);
// UTF-8 of UTF-16 text.
std::string Utf8(std::wstring_view wide);
// A path for the wide file calls: UTF-16 with "\" separators.
std::wstring WidePath(std::string_view utf8);
// The errno value closest to a Windows error code (GetLastError()).
int ErrnoFromWin32(DWORD code);
