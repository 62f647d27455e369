#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "support/shell.h"

std::string Capture(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

int RunShell(const std::string& command) {
    return std::system(command.c_str());
}

int ChildBody::Run(const std::string& argument) const {
    // A child that cannot be made, or that does not end by itself, reports
    // an exit code no body returns.
    const pid_t child = fork();
    if (child < 0) return 255;
    if (child == 0) _exit(body_(argument));
    int status = 0;
    if (waitpid(child, &status, 0) != child) return 255;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

FileSizeLimit::FileSizeLimit(long long bytes) {
    struct rlimit limit {};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
    before_ = static_cast<long long>(limit.rlim_cur);
    previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    struct rlimit limit {};
    if (active_ && getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = static_cast<rlim_t>(before_);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (previousSignal_) std::signal(SIGXFSZ, previousSignal_);
}
