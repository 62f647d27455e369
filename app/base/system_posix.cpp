// The system seam on POSIX systems.
#include <spawn.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <system_error>

#include "app/base/fs.h"
#include "app/base/system.h"

extern char** environ;

namespace {

// The first bytes of a small system file; "" when it cannot be read.
std::string ReadSmallFile(const char* path) {
    File f;
    if (!f.Open(path, File::Mode::Read)) return {};
    std::string text(64 * 1024, '\0');
    size_t got = 0;
    while (got < text.size()) {
        const int64_t n = f.Read(text.data() + got, text.size() - got);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
    }
    text.resize(got);
    return text;
}

}  // namespace

struct tm LocalTimeOf(time_t t) {
    struct tm local {};
    localtime_r(&t, &local);
    return local;
}

OsFacts ReadOsFacts() {
    OsFacts facts;
    facts.osRelease = ReadSmallFile("/etc/os-release");
    if (facts.osRelease.empty()) facts.osRelease = ReadSmallFile("/usr/lib/os-release");
    struct utsname u {};
    if (uname(&u) == 0) {
        facts.sysname = u.sysname;
        facts.kernelRelease = u.release;
        facts.kernelVersion = u.version;
        facts.machine = u.machine;
    }
    return facts;
}

uint64_t TotalPhysicalMemory() {
    struct sysinfo info {};
    if (sysinfo(&info) != 0) return 0;
    return static_cast<uint64_t>(info.totalram) * (info.mem_unit ? info.mem_unit : 1);
}

bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& args) {
    if (program.empty()) return false;
    std::error_code ec;
    const std::string path = Utf8Path(std::filesystem::absolute(FsPath(program), ec));
    if (ec) return false;
    const std::string folder = path.substr(0, LastSeparator(path) + 1);
    std::vector<std::string> argv = {path};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> ptrs;
    for (std::string& a : argv) ptrs.push_back(a.data());
    ptrs.push_back(nullptr);
    // A session of its own, in the program's folder: it outlives this
    // process and is not ended with its terminal.
    posix_spawnattr_t attr;
    posix_spawn_file_actions_t actions;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, ptrs[0], &actions, &attr, ptrs.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc == 0;
}
