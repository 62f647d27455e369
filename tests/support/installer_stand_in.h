// Test support: what the update's tests expect of this system where it
// differs: the installer a test lets the program start, whether a
// downloaded installer may be started, and the fetch's error number when
// nothing listens. installer_stand_in_posix.cpp and
// installer_stand_in_win32.cpp implement it.
#pragma once

#include <string>

// An installer that tells how it ran: beside itself it writes Updater.ini
// with 1.8.5.0 as the version installed, then its arguments, one a line,
// into installer-args.txt (the last file it writes). A shell script on
// POSIX systems; on Windows a copy of the test program, which runs as this
// installer when it is started while the object lives (the programs a test
// starts inherit its environment).
class StandInInstaller {
public:
    StandInInstaller();
    ~StandInInstaller();
    StandInInstaller(const StandInInstaller&) = delete;
    StandInInstaller& operator=(const StandInInstaller&) = delete;
    const std::string& bytes() const { return bytes_; }
    // The file name the version file gives it.
    const std::string& fileName() const { return fileName_; }
    // Once installer-args.txt is there: waits until the installer has ended
    // (a running program's file cannot be deleted on Windows).
    void WaitUntilEnded() const;

private:
    std::string bytes_;
    std::string fileName_;
};

// Whether the downloaded file may be started as a program: its owner's
// execute permission on POSIX systems; on Windows any file may be.
bool MayBeStarted(const std::string& path);

// The fetch's error number when nothing listens at the address: libcurl's
// "couldn't connect" (7) on POSIX systems, WinHTTP's 12029 on Windows.
int CannotConnectErrorNumber();
