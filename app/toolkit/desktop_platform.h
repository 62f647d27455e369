// The desktop platform: xdg-open and xdg-email for what is handed to other
// programs, a per-user lock file plus a local socket for the single running
// instance. The program installs it with SetPlatform at start.
#pragma once

#include <memory>

#include "app/base/platform.h"

// A new desktop platform (tests of the single-instance lock use two of them).
std::unique_ptr<Platform> MakeDesktopPlatform();
// How many "raise" requests a desktop platform's instance listener has received.
int DesktopRaiseRequests(Platform& p);
