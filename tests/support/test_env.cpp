#include "support/test_env.h"

#include <cstdlib>
#include <filesystem>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "data/query.h"
#include "data/schema.h"
#include "support/shell.h"

namespace fs = std::filesystem;

TempProgramFolder::TempProgramFolder() {
    const std::string made = MakeTempFolder("vantrel-test-");
    path_ = WithSeparator(
        made.empty() ? WithSeparator(Utf8Path(fs::temp_directory_path())) + "vantrel-test" : made);
    SetAppFolder(path_);
}

TempProgramFolder::~TempProgramFolder() {
    if (slIsOpen()) slClose();
    std::error_code ec;
    fs::remove_all(FsPath(path_), ec);
}

bool TempProgramFolder::OpenFreshDatabase() {
    std::error_code ec;
    fs::create_directories(FsPath(Paths().dataFolder), ec);
    return OpenDatabase();
}

std::string ReadFileText(const std::string& path) {
    std::string text;
    ReadFileBytes(path, text);
    return text;
}

void WriteFileText(const std::string& path, const std::string& text) {
    std::error_code ec;
    fs::create_directories(FsPath(path).parent_path(), ec);
    File out;
    if (out.Open(path, File::Mode::Create)) out.WriteAll(text.data(), text.size());
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
