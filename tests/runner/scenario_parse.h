// Reading scenario lines: words, quoted texts, dates and key names.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "app/toolkit/ez.h"
#include "data/dates.h"
#include "ui/forms.h"

namespace scn {

// Splits a line into words; "..." groups a text with blanks (\" \\ \t inside).
inline bool Tokenize(const std::string& s, std::vector<std::string>& out, std::string& err) {
    out.clear();
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
        if (i >= s.size()) break;
        std::string word;
        if (s[i] == '"') {
            ++i;
            bool closed = false;
            while (i < s.size()) {
                char c = s[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < s.size()) {
                    char n = s[i++];
                    word += n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                err = "unclosed quote";
                return false;
            }
        } else {
            while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != '\r') word += s[i++];
        }
        out.push_back(word);
    }
    return true;
}

inline bool ToInt(const std::string& s, int& v) {
    if (s.empty()) return false;
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (*end) return false;
    v = static_cast<int>(n);
    return true;
}

// A control word of a form: its id as a number, or its name as the form
// declares it (names are matched exactly). form is nullptr for a form the
// program does not have. Returns "" and sets id, or why the word names no
// control.
inline std::string ControlId(const std::string& formName, const FormDecl* form,
                             const std::string& word, int& id) {
    if (ToInt(word, id)) return "";
    if (!form) return "no form named " + formName + " (for control '" + word + "')";
    id = ControlIdIn(*form, word);
    return id >= 0 ? "" : "form " + formName + " has no control named '" + word + "'";
}

// "YYYY-MM-DD" and optional "HH:MM".
inline bool ParseDate(const std::string& d, const std::string& t, ClockReading& out) {
    int y = 0, m = 0, day = 0, h = 0, mi = 0;
    int used = 0;
    if (std::sscanf(d.c_str(), "%d-%d-%d%n", &y, &m, &day, &used) != 3 ||
        used != static_cast<int>(d.size()))
        return false;
    if (!t.empty() && (std::sscanf(t.c_str(), "%d:%d%n", &h, &mi, &used) != 2 ||
                       used != static_cast<int>(t.size())))
        return false;
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || h < 0 || h > 23 || mi < 0 || mi > 59) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (day < 1 || day > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
    out = ClockReading{y, m, day, h, mi, 0};
    return true;
}

inline int KeyByName(const std::string& n) {
    static const std::map<std::string, int> keys = {
        {"Enter", kKeyEnter}, {"Esc", kKeyEsc}, {"Delete", kKeyDelete}, {"Space", kKeySpace},
        {"F1", kKeyF1},       {"F2", kKeyF2},   {"F7", kKeyF7},         {"Up", kKeyUp},
        {"Down", kKeyDown},   {"Tab", kKeyTab},
    };
    auto it = keys.find(n);
    return it == keys.end() ? 0 : it->second;
}

}  // namespace scn
