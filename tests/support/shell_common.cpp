#include <filesystem>
#include <random>

#include "support/shell.h"

bool HaveTool(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null 2>&1") == 0;
}

std::string MakeTempFolder(const std::string& prefix) {
    namespace fs = std::filesystem;
    std::random_device seed;
    std::mt19937_64 random(seed());
    const char* letters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 8; ++i) name += letters[random() % 36];
        // create_directory is false (and no error) when the name is taken.
        if (fs::create_directory(base / name, ec)) return (base / name).string();
        if (ec) return "";
    }
    return "";
}
