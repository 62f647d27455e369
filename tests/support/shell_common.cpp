#include <filesystem>
#include <map>
#include <random>

#include "app/base/fs.h"
#include "support/shell.h"

bool HaveTool(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null 2>&1") == 0;
}

std::string MakeTempFolder(const std::string& prefix) {
    const std::string temp = WithSeparator(Utf8Path(std::filesystem::temp_directory_path()));
    std::mt19937 pick{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temp + prefix + std::to_string(pick() % 100000000);
        if (MakeOneFolder(name) == 0) return name;
    }
    return "";
}

namespace {

std::map<std::string, const ChildBody*>& ChildBodies() {
    static std::map<std::string, const ChildBody*> bodies;
    return bodies;
}

}  // namespace

ChildBody::ChildBody(std::string name, std::function<int(const std::string&)> body)
    : name_(std::move(name)), body_(std::move(body)) {
    ChildBodies()[name_] = this;
}

const ChildBody* FindChildBody(const std::string& name) {
    const auto it = ChildBodies().find(name);
    return it == ChildBodies().end() ? nullptr : it->second;
}
