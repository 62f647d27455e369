#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "support/shell.h"

extern char** environ;

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

ChildProgram::ChildProgram(const std::string& exe, const std::vector<std::string>& setEnv) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        bool replaced = false;
        for (const auto& s : setEnv) {
            const size_t name = s.find('=');
            if (name != std::string::npos && entry.compare(0, name + 1, s, 0, name + 1) == 0)
                replaced = true;
        }
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), setEnv.begin(), setEnv.end());
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = exe;
    char* argv[] = {arg0.data(), nullptr};
    pid_t pid = 0;
    started_ = posix_spawn(&pid, exe.c_str(), nullptr, nullptr, argv, envp.data()) == 0;
    handle_ = pid;
}

ChildProgram::~ChildProgram() {
    Kill();
}

bool ChildProgram::Ended() {
    int status = 0;
    if (started_ && !ended_ && waitpid(static_cast<pid_t>(handle_), &status, WNOHANG) == handle_)
        ended_ = true;
    return ended_;
}

void ChildProgram::Kill() {
    if (!started_ || Ended()) return;
    kill(static_cast<pid_t>(handle_), SIGKILL);
    int status = 0;
    waitpid(static_cast<pid_t>(handle_), &status, 0);
    ended_ = true;
}

std::string ProgramFileName(const std::string& name) {
    return name;
}
