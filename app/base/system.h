// The running system through the platform seam: the local time, what the
// service report says about the computer, and starting a program that
// outlives this one. system_posix.cpp and system_win32.cpp implement it;
// the build compiles exactly one of them.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// The local calendar time of t.
struct tm LocalTimeOf(time_t t);

// What the operating-system lines of the service report are made of.
struct OsFacts {
    // POSIX systems: the os-release text ("" when unreadable) and uname.
    std::string osRelease;
    std::string sysname;        // "Linux"
    std::string kernelRelease;  // "6.1.0-18-amd64"
    std::string kernelVersion;  // "#1 SMP PREEMPT_DYNAMIC Debian 6.1.76-1 (2024-02-01)"
    std::string machine;        // "x86_64", "aarch64", "i686" ...
    // Windows: the version record.
    bool windows = false;
    uint32_t platformId = 0;  // 2 for every Windows NT
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    std::string servicePack;  // as the system gives it
    bool system64 = false;    // a 64-bit Windows (also under a 32-bit program)
};
OsFacts ReadOsFacts();

// Total physical memory in bytes (0 when unknown).
uint64_t TotalPhysicalMemory();

// Starts program with args as a process of its own, detached from this one
// (no console, not waited for), in its own folder. False when it could not
// be started.
bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& args);

// The command line Windows programs split back into exactly these arguments
// (the rules of CommandLineToArgvW and the C runtime): an argument with
// blanks, tabs or quotes, or an empty one, is quoted; a quote inside is
// escaped with a backslash, and backslashes before a quote are doubled.
std::string WindowsCommandLine(const std::vector<std::string>& args);
