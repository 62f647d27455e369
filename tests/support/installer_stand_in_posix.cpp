#include <sys/stat.h>

#include "support/installer_stand_in.h"

StandInInstaller::StandInInstaller()
    : bytes_(
          "#!/bin/sh\n"
          "d=$(dirname \"$0\")\n"
          "printf '[Program]\\nNewVersion=1.8.5.0\\n' > \"$d/Updater.ini\"\n"
          "printf '%s\\n' \"$@\" > \"$d/args.tmp\" && mv \"$d/args.tmp\" "
          "\"$d/installer-args.txt\"\n"),
      fileName_("vantrel-setup.sh") {}

StandInInstaller::~StandInInstaller() = default;

// The script may be removed while its shell ends.
void StandInInstaller::WaitUntilEnded() const {}

bool MayBeStarted(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && (st.st_mode & S_IXUSR);
}

int CannotConnectErrorNumber() {
    return 7;  // CURLE_COULDNT_CONNECT
}
