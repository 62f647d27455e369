#include "support/test_env.h"

#include <sys/mount.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/base/app_state.h"
#include "data/query.h"
#include "data/schema.h"

namespace fs = std::filesystem;

TempProgramFolder::TempProgramFolder() {
    std::string tmpl = (fs::temp_directory_path() / "vantrel-test-XXXXXX").string();
    char* made = mkdtemp(tmpl.data());
    path_ = std::string(made ? made : tmpl.c_str()) + "/";
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

SmallDisk::SmallDisk(const std::string& folder, size_t bytes) : path_(folder) {
    if (!path_.empty() && path_.back() != '/') path_ += '/';
    std::error_code ec;
    fs::create_directories(path_, ec);
    const std::string options = "size=" + std::to_string(bytes);
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
}

size_t SmallDisk::FreeBytes() const {
    struct statvfs st {};
    if (::statvfs(path_.c_str(), &st) != 0) return 0;
    return static_cast<size_t>(st.f_bavail) * st.f_frsize;
}

void SmallDisk::FillLeaving(size_t room) {
    std::FILE* f = std::fopen((path_ + "filler").c_str(), "ab");
    if (!f) return;
    const std::string block(4096, 'x');
    while (FreeBytes() > room) {
        const size_t n = std::min(block.size(), FreeBytes() - room);
        if (std::fwrite(block.data(), 1, n, f) != n || std::fflush(f) != 0) break;
    }
    std::fclose(f);
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
