#include "support/test_env.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/base/app_state.h"
#include "data/query.h"
#include "data/schema.h"
#include "support/shell.h"

namespace fs = std::filesystem;

TempProgramFolder::TempProgramFolder() {
    path_ = MakeTempFolder("vantrel-test-") + "/";
    SetAppFolder(path_);
}

TempProgramFolder::~TempProgramFolder() {
    if (slIsOpen()) slClose();
    std::error_code ec;
    fs::remove_all(path_, ec);
}

bool TempProgramFolder::OpenFreshDatabase() {
    fs::create_directories(Paths().dataFolder);
    return OpenDatabase();
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFileText(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string BuiltProgramFolder() {
    const char* p = std::getenv("VANTREL_PROGRAM_DIR");
    return p ? std::string(p) + "/" : std::string();
}

std::string SourceFolder() {
    const char* p = std::getenv("VANTREL_SOURCE_DIR");
    return p ? std::string(p) + "/" : std::string();
}

std::string ScreenshotPath(const std::string& fallbackDir, const std::string& name) {
    const char* dir = std::getenv("VANTREL_SHOT_DIR");
    return dir ? std::string(dir) + "/" + name : fallbackDir + name;
}
