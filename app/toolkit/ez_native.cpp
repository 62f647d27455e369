// Translations between the toolkit's conventions and a native control
// library's (see ez_native.h).
#include "app/toolkit/ez_native.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace ez {

namespace {

// The length of the UTF-8 sequence a lead byte starts (1 for a stray byte).
size_t SequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 6) return 2;
    if ((c >> 4) == 14) return 3;
    if ((c >> 3) == 30) return 4;
    return 1;
}

// UTF-16 code units of the character at i (a "\n" counts lineEnd).
int Units(std::string_view s, size_t i, size_t len, int lineEnd) {
    if (s[i] == '\n') return lineEnd;
    return len == 4 ? 2 : 1;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

int Utf16Position(std::string_view utf8, int byteOffset, int lineEnd) {
    int pos = 0;
    size_t i = 0;
    while (i < utf8.size() && static_cast<int>(i) < byteOffset) {
        const size_t len =
            std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        // An offset inside this character stops at its start.
        if (static_cast<int>(i + len) > byteOffset) break;
        pos += Units(utf8, i, len, lineEnd);
        i += len;
    }
    return pos;
}

int Utf8Offset(std::string_view utf8, int utf16Position, int lineEnd) {
    int pos = 0;
    size_t i = 0;
    while (i < utf8.size() && pos < utf16Position) {
        const size_t len =
            std::min(SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        pos += Units(utf8, i, len, lineEnd);
        i += len;
    }
    return static_cast<int>(i);
}

bool ParseKeyChord(std::string_view text, KeyChord& chord) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        size_t plus = text.find('+', start);
        // "Ctrl++": the last part is the plus key itself.
        if (plus == start && plus + 1 == text.size()) plus = std::string_view::npos;
        parts.push_back(
            Lower(text.substr(start, plus == std::string_view::npos ? plus : plus - start)));
        if (plus == std::string_view::npos) break;
        start = plus + 1;
    }
    if (parts.empty() || parts.back().empty()) return false;
    KeyChord out;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == "ctrl" || parts[i] == "control")
            out.ctrl = true;
        else if (parts[i] == "shift")
            out.shift = true;
        else if (parts[i] == "alt")
            out.alt = true;
        else
            return false;
    }
    const std::string& k = parts.back();
    static const std::pair<const char*, const char*> kNames[] = {
        {"del", "Delete"},        {"delete", "Delete"}, {"ins", "Insert"},
        {"insert", "Insert"},     {"enter", "Enter"},   {"return", "Enter"},
        {"esc", "Esc"},           {"escape", "Esc"},    {"tab", "Tab"},
        {"space", "Space"},       {"home", "Home"},     {"end", "End"},
        {"pgup", "PageUp"},       {"pageup", "PageUp"}, {"pgdown", "PageDown"},
        {"pagedown", "PageDown"}, {"up", "Up"},         {"down", "Down"},
        {"left", "Left"},         {"right", "Right"},   {"backspace", "Backspace"}};
    for (const auto& [name, key] : kNames)
        if (k == name) {
            out.key = key;
            chord = out;
            return true;
        }
    if (k.size() >= 2 && k.size() <= 3 && k[0] == 'f' &&
        std::all_of(k.begin() + 1, k.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        const int n = std::atoi(k.c_str() + 1);
        if (n < 1 || n > 24) return false;
        out.key = "F" + std::to_string(n);
        chord = out;
        return true;
    }
    if (k.size() == 1 && (std::isalnum(static_cast<unsigned char>(k[0])) || k[0] == '+')) {
        out.key = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(k[0]))));
        chord = out;
        return true;
    }
    return false;
}

std::string PickerDateFormat(std::string_view format) {
    std::string out, literal;
    auto flush = [&]() {
        if (literal.empty()) return;
        out += '\'';
        for (char c : literal) out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
        literal.clear();
    };
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if ((c == 'A' || c == 'a') && i + 1 < format.size() &&
            (format[i + 1] == 'P' || format[i + 1] == 'p')) {
            flush();
            out += "tt";
            ++i;
        } else if (std::string_view("yMdHhmst").find(c) != std::string_view::npos) {
            flush();
            out += c;
        } else {
            literal += c;
        }
    }
    flush();
    return out;
}

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = filter.find('|', start);
        parts.emplace_back(filter.substr(start, bar == std::string_view::npos ? bar : bar - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<FileFilter> out;
    if (parts.size() == 1) {
        if (!parts[0].empty()) out.push_back({parts[0], parts[0]});
        return out;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i + 1].empty()) out.push_back({parts[i], parts[i + 1]});
    return out;
}

std::string DefaultExtension(const std::vector<FileFilter>& filters) {
    if (filters.empty()) return "";
    const std::string& pat = filters.front().patterns;
    const size_t dot = pat.find("*.");
    if (dot == std::string::npos) return "";
    std::string ext = pat.substr(dot + 2);
    ext = ext.substr(0, ext.find_first_of(";, "));
    return ext == "*" ? "" : ext;
}

}  // namespace ez
