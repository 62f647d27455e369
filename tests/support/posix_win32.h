// The few POSIX calls the tests make, for the Windows test programs (the
// Windows build includes this header in every test file): the environment,
// a temporary folder, the user id (never root), and no mounting.
#pragma once

extern "C" {
int setenv(const char* name, const char* value, int overwrite);
int unsetenv(const char* name);
char* mkdtemp(char* templ);
unsigned geteuid();
}
// A path's own characters are UTF-16 on Windows (std::filesystem::path::c_str).
int setenv(const char* name, const wchar_t* value, int overwrite);
