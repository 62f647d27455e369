#include "app/base/settings.h"

#include <vector>

#include "app/base/fs.h"
#include "app/base/text_util.h"

namespace {

constexpr size_t kNameLimit = 299;
constexpr size_t kWriteLimit = 999;
constexpr size_t kReadLimit = 3999;

std::string CleanName(const std::string& name) {
    return CutBytes(Trim(name), kNameLimit);
}

// One line of the file: its text without the line end, and the line end as found.
struct Line {
    std::string text;
    std::string end;
};

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        Line line;
        if (nl == std::string::npos) {
            line.text = content.substr(pos);
            pos = content.size();
        } else {
            size_t textEnd = nl;
            if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
            line.text = content.substr(pos, textEnd - pos);
            line.end = content.substr(textEnd, nl + 1 - textEnd);
            pos = nl + 1;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

const std::string kBom = "\xEF\xBB\xBF";

// Section name of a "[name]" line, or nullopt-like false when the line is no header.
bool SectionOf(const std::string& text, std::string& name) {
    std::string t = Trim(text);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(std::string_view(t).substr(1, close - 1));
    return true;
}

// Key and value of a "key=value" line; false when the line has no "=".
bool KeyOf(const std::string& text, std::string& key, std::string& value) {
    size_t eq = text.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(std::string_view(text).substr(0, eq));
    value = Trim(std::string_view(text).substr(eq + 1));
    return true;
}

std::vector<Line> LoadLines(const std::string& content, bool& hadBom) {
    hadBom = StartsWith(content, kBom);
    return SplitLines(hadBom ? content.substr(kBom.size()) : content);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& out) {
    return ReadFileBytes(path, out);
}

std::string IniRead(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& def) {
    std::string content;
    if (!ReadWholeFile(CleanName(file), content)) return Trim(CutBytes(def, kReadLimit));
    return IniReadText(content, section, key, def);
}

std::string IniReadText(const std::string& content, const std::string& section,
                        const std::string& key, const std::string& def) {
    std::string sec = CleanName(section);
    std::string k = CleanName(key);
    std::string fallback = Trim(CutBytes(def, kReadLimit));
    if (sec.empty() || k.empty()) return fallback;

    bool hadBom = false;
    bool inSection = false;
    for (const Line& line : LoadLines(content, hadBom)) {
        std::string name;
        if (SectionOf(line.text, name)) {
            // The first section of that name is the one that counts.
            if (inSection) break;
            inSection = IEquals(name, sec);
            continue;
        }
        if (!inSection) continue;
        std::string lineKey, value;
        if (KeyOf(line.text, lineKey, value) && IEquals(lineKey, k)) {
            return Trim(CutBytes(value, kReadLimit));
        }
    }
    return fallback;
}

bool IniWrite(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value) {
    std::string path = CleanName(file);
    if (path.empty()) return false;
    std::string content;
    bool exists = ReadWholeFile(path, content);
    std::string out;
    if (!IniUpdateText(exists ? content : std::string(), section, key, value, out)) return false;
    return WriteFileAtomically(path, out).error == 0;
}

bool IniUpdateText(const std::string& content, const std::string& section, const std::string& key,
                   const std::string& value, std::string& out) {
    std::string sec = CleanName(section);
    std::string k = CleanName(key);
    // A line break inside a value would start a new line in the file and could
    // plant keys or sections; it is stored as a blank instead.
    std::string v = value;
    for (char& c : v) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    v = CutBytes(Trim(v), kWriteLimit);
    v = Trim(v);
    // Names that could not be read back as written are refused.
    if (sec.empty() || k.empty()) return false;
    if (sec.find_first_of("]\r\n") != std::string::npos) return false;
    if (k.find_first_of("=\r\n") != std::string::npos || k.front() == '[') return false;

    bool hadBom = false;
    std::vector<Line> lines = LoadLines(content, hadBom);

    // Keep the file's own line-end style; new files get CR LF.
    std::string eol = "\r\n";
    if (content.find('\n') != std::string::npos && content.find("\r\n") == std::string::npos) {
        eol = "\n";
    }
    std::string newLine = k + "=" + v;

    int sectionLine = -1;    // header of the first matching section
    int lastInSection = -1;  // last non-blank line of that section
    int keyLine = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionOf(lines[i].text, name)) {
            if (sectionLine >= 0) break;
            if (IEquals(name, sec)) {
                sectionLine = static_cast<int>(i);
                lastInSection = sectionLine;
            }
            continue;
        }
        if (sectionLine < 0) continue;
        if (!Trim(lines[i].text).empty()) lastInSection = static_cast<int>(i);
        std::string lineKey, lineValue;
        if (KeyOf(lines[i].text, lineKey, lineValue) && IEquals(lineKey, k)) {
            keyLine = static_cast<int>(i);
            break;
        }
    }

    if (keyLine >= 0) {
        lines[keyLine].text = newLine;
        if (lines[keyLine].end.empty()) lines[keyLine].end = eol;
    } else if (sectionLine >= 0) {
        if (lines[lastInSection].end.empty()) lines[lastInSection].end = eol;
        lines.insert(lines.begin() + lastInSection + 1, Line{newLine, eol});
    } else {
        if (!lines.empty() && lines.back().end.empty()) lines.back().end = eol;
        lines.push_back(Line{"[" + sec + "]", eol});
        lines.push_back(Line{newLine, eol});
    }

    out = hadBom ? kBom : std::string();
    for (const Line& line : lines) out += line.text + line.end;
    return true;
}
