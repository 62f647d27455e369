// Test support: running the build machine's command-line tools (pdftotext,
// qpdf, unzip, python3 ...) on files a test wrote. A command is POSIX shell
// text; on Windows (under Wine) it runs in the build machine's own shell,
// with every Windows path in it ("C:\...") turned into its Unix path.
// shell_posix.cpp and shell_win32.cpp implement it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Runs a shell command and returns what it printed; status gets its exit
// status as std::system gives it (0 for success).
std::string Capture(const std::string& command, int* status = nullptr);
// Runs a shell command; its exit status as std::system gives it.
int RunShell(const std::string& command);
bool HaveTool(const std::string& name);
// A new empty folder below the temporary folder, its name starting with
// prefix, without a trailing separator; "" when none could be made.
std::string MakeTempFolder(const std::string& prefix);

// A piece of a test that runs in a process of its own, given an argument.
// Defined at namespace scope, it is known by its name before the tests
// start. POSIX systems fork for it; Windows starts the test program again,
// with the body's name and the argument in its environment, and there the
// body runs before any test does and its result ends the process.
class ChildBody {
public:
    ChildBody(std::string name, std::function<int(const std::string& argument)> body);
    ChildBody(const ChildBody&) = delete;
    ChildBody& operator=(const ChildBody&) = delete;
    // Runs the body in a child process and returns the child's exit code
    // (the body's result, 0 to 127); 128 and above when the child failed or
    // was killed (on Windows also when it did not end within a minute).
    int Run(const std::string& argument) const;
    const std::string& name() const { return name_; }
    int operator()(const std::string& argument) const { return body_(argument); }

private:
    std::string name_;
    std::function<int(const std::string&)> body_;
};
// The body of that name; nullptr when there is none.
const ChildBody* FindChildBody(const std::string& name);
// The environment variables that make a started test program a child.
inline constexpr const char* kChildBodyVariable = "VANTREL_TEST_CHILD";
inline constexpr const char* kChildArgumentVariable = "VANTREL_TEST_CHILD_ARGUMENT";

// A program of this system started with this process's environment, in
// which each "NAME=value" of setEnv replaces the variable of that name. It is
// killed when the object goes while it still runs.
class ChildProgram {
public:
    ChildProgram(const std::string& exe, const std::vector<std::string>& setEnv);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;
    bool started() const { return started_; }
    // True once the program has ended; does not wait.
    bool Ended();
    void Kill();

private:
    bool started_ = false;
    bool ended_ = false;
    intptr_t handle_ = 0;  // the process id, or the process handle on Windows
};
// The file name of a program of this system: "name", or "name.exe" on Windows.
std::string ProgramFileName(const std::string& name);

// While it lives, no file of this process grows past `bytes` (a disk that
// fills up at that point): a file size limit with its signal ignored (under
// Wine the limit of Wine's process, whose signal scripts/wine-run ignores).
// active() is false when the limit could not be set.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    bool active_ = false;
    long long before_ = 0;
    void (*previousSignal_)(int) = nullptr;
};
