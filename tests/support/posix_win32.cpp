// The POSIX calls of posix_win32.h and posix_win32/sys/mount.h on Windows.
#include "support/posix_win32.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>

#include "app/base/util_win32.h"
#include "support/posix_win32/sys/mount.h"

int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

int setenv(const char* name, const wchar_t* value, int overwrite) {
    return setenv(name, Utf8(std::wstring_view(value)).c_str(), overwrite);
}

int unsetenv(const char* name) {
    return _putenv_s(name, "") == 0 ? 0 : -1;
}

char* mkdtemp(char* templ) {
    std::string t(templ);
    const size_t x = t.size() >= 6 ? t.size() - 6 : std::string::npos;
    if (x == std::string::npos || t.compare(x, 6, "XXXXXX") != 0) {
        errno = EINVAL;
        return nullptr;
    }
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937 pick{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = x; i < t.size(); ++i) t[i] = kChars[pick() % 36];
        if (CreateDirectoryW(WidePath(t).c_str(), nullptr)) {
            t.copy(templ, t.size());
            return templ;
        }
    }
    errno = EEXIST;
    return nullptr;
}

unsigned geteuid() {
    return 1000;
}

int mount(const char*, const char*, const char*, unsigned long, const void*) {
    errno = ENOSYS;
    return -1;
}

int umount(const char*) {
    errno = ENOSYS;
    return -1;
}
