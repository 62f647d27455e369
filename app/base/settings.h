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
// The same two operations on the text of a settings file (no file is touched):
// the value read, and the whole new text after a write (false when the section
// or key name is refused). IniRead and IniWrite are these over the file.
std::string IniReadText(const std::string& content, const std::string& section,
                        const std::string& key, const std::string& def);
bool IniUpdateText(const std::string& content, const std::string& section, const std::string& key,
                   const std::string& value, std::string& out);
// Whole content of a file, read as bytes into out; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string& out);
