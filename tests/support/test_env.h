// Test support: a temporary program folder with its own settings file and
// database, removed when the test ends.
#pragma once

#include <string>

class TempProgramFolder {
public:
    TempProgramFolder();  // creates the folder and points the program's paths at it
    ~TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;
    const std::string& path() const { return path_; }  // trailing "/"
    // Creates the Data folder and opens (creates) a fresh database in it.
    bool OpenFreshDatabase();

private:
    std::string path_;
};

std::string ReadFileText(const std::string& path);
void WriteFileText(const std::string& path, const std::string& text);
// The built program folder (with Images/, Help/, en_US.dic), from the test environment.
std::string BuiltProgramFolder();
// The source tree root.
std::string SourceFolder();
// Where a test's screenshot goes: into $VANTREL_SHOT_DIR when set, else into fallbackDir
// (which ends in "/").
std::string ScreenshotPath(const std::string& fallbackDir, const std::string& name);
