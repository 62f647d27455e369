// The settings file: a Windows-style profile file ("[Section]" lines followed
// by "key=value" lines). Sections and keys match ignoring letter case, blanks
// around names and values are trimmed, every other line is kept as it was.
#pragma once

#include <string>

// Value of key in section, or def when absent. At most 3999 characters; blanks trimmed.
std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def);
// Stores value (cut to 999 characters) under key in section, creating the file,
// section or key as needed. The file is replaced atomically. Returns false on an I/O error.
bool IniWrite(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);
// Whole content of a file, read as bytes into out; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);
