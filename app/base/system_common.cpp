// The parts of the system seam that are the same everywhere.
#include "app/base/system.h"

std::string WindowsCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& arg : args) {
        if (!line.empty()) line += ' ';
        if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) {
            line += arg;
            continue;
        }
        line += '"';
        size_t backslashes = 0;
        for (char c : arg) {
            if (c == '\\') {
                ++backslashes;
                continue;
            }
            // Backslashes before a quote are doubled, and the quote escaped.
            if (c == '"') backslashes = backslashes * 2 + 1;
            line.append(backslashes, '\\');
            backslashes = 0;
            line += c;
        }
        // Backslashes before the closing quote are doubled.
        line.append(backslashes * 2, '\\');
        line += '"';
    }
    return line;
}
