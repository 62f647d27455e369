#include "app/base/text_util.h"

#include <algorithm>
#include <cctype>

int64_t Val(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    int64_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (v < (INT64_MAX - 9) / 10) v = v * 10 + (text[i] - '0');
        ++i;
    }
    return neg ? -v : v;
}

double ValD(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        neg = text[i] == '-';
        ++i;
    }
    double v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') v = v * 10 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            v += (text[i++] - '0') * scale;
            scale /= 10;
        }
    }
    return neg ? -v : v;
}

std::string TrimChars(std::string_view text, std::string_view chars) {
    size_t b = text.find_first_not_of(chars);
    if (b == std::string_view::npos) return {};
    size_t e = text.find_last_not_of(chars);
    return std::string(text.substr(b, e - b + 1));
}

std::string Trim(std::string_view text) {
    return TrimChars(text, " \t");
}

std::vector<std::string> Split(std::string_view text, std::string_view sep) {
    std::vector<std::string> out;
    if (sep.empty()) {
        out.emplace_back(text);
        return out;
    }
    size_t start = 0;
    while (true) {
        size_t pos = text.find(sep, start);
        if (pos == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, pos - start));
        start = pos + sep.size();
    }
    return out;
}

std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) out += sep;
        out += parts[i];
    }
    return out;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    if (from.empty()) return text;
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::string::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

namespace {

// A run of code points first, first + step, ... last that all map to the
// code point `delta` away.
struct CaseRun {
    char32_t first, last;
    int step;
    int delta;
};
// A code point whose mapping is two or three code points (0 ends it early).
struct CaseExpansion {
    char32_t cp;
    char32_t to[3];
};

#include "app/base/case_tables.inc"

template <size_t E>
const CaseExpansion* FindExpansion(const CaseExpansion (&table)[E], char32_t cp) {
    auto it = std::lower_bound(std::begin(table), std::end(table), cp,
                               [](const CaseExpansion& e, char32_t c) { return e.cp < c; });
    return it != std::end(table) && it->cp == cp ? it : nullptr;
}

template <size_t N>
char32_t MapByRuns(const CaseRun (&runs)[N], char32_t cp) {
    // The last run that starts at or before cp.
    auto it = std::upper_bound(std::begin(runs), std::end(runs), cp,
                               [](char32_t c, const CaseRun& r) { return c < r.first; });
    if (it == std::begin(runs)) return cp;
    --it;
    if (cp > it->last || (cp - it->first) % static_cast<char32_t>(it->step) != 0) return cp;
    return static_cast<char32_t>(static_cast<int32_t>(cp) + it->delta);
}

// Maps every character of text: ASCII through `ascii`, malformed bytes are
// copied unchanged, and any other character is handed to `map` with its bytes.
template <typename Map>
std::string MapEachChar(std::string_view text, char (*ascii)(char), Map map) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += ascii(static_cast<char>(c));
            ++i;
            continue;
        }
        size_t len = 0;
        const char32_t cp = DecodeUtf8(text, i, len);
        if (len == 0) {  // not UTF-8: the byte stays
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        map(out, cp, text.substr(i, len));
        i += len;
    }
    return out;
}

// Appends the character `mapped`, or the original bytes when it is unchanged.
void AppendMapped(std::string& out, char32_t cp, char32_t mapped, std::string_view bytes) {
    if (mapped == cp)
        out.append(bytes);
    else
        AppendUtf8(out, mapped);
}

// Maps every character of text through the run table and the expansions.
template <size_t R, size_t E>
std::string MapCase(std::string_view text, const CaseRun (&runs)[R],
                    const CaseExpansion (&expansions)[E], char (*ascii)(char)) {
    return MapEachChar(text, ascii, [&](std::string& out, char32_t cp, std::string_view bytes) {
        if (const CaseExpansion* e = FindExpansion(expansions, cp)) {
            for (char32_t to : e->to)
                if (to) AppendUtf8(out, to);
        } else {
            AppendMapped(out, cp, MapByRuns(runs, cp), bytes);
        }
    });
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAscii(std::string_view s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Continuation bytes a lead byte announces by its bit pattern (0 for a byte
// that starts no sequence), and the bits of the code point it carries.
size_t AnnouncedContinuations(unsigned char lead, char32_t& bits) {
    if ((lead & 0xE0) == 0xC0) {
        bits = lead & 0x1F;
        return 1;
    }
    if ((lead & 0xF0) == 0xE0) {
        bits = lead & 0x0F;
        return 2;
    }
    if ((lead & 0xF8) == 0xF0) {
        bits = lead & 0x07;
        return 3;
    }
    bits = 0;
    return 0;
}

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t pos, size_t& length) {
    length = 0;
    if (pos >= text.size()) return 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    if (s[pos] < 0x80) {
        length = 1;
        return s[pos];
    }
    char32_t cp = 0;
    const size_t extra = AnnouncedContinuations(s[pos], cp);
    if (extra == 0 || extra >= text.size() - pos) return 0;
    for (size_t j = 1; j <= extra; ++j) {
        if (!IsContinuationByte(text[pos + j])) return 0;
        cp = (cp << 6) | (s[pos + j] & 0x3F);
    }
    const bool overlong =
        (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
    if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    length = extra + 1;
    return cp;
}

size_t MalformedUtf8Length(std::string_view text, size_t pos) {
    if (pos >= text.size()) return 0;
    char32_t bits = 0;
    const size_t extra = AnnouncedContinuations(static_cast<unsigned char>(text[pos]), bits);
    size_t length = 1;
    while (length <= extra && pos + length < text.size() && IsContinuationByte(text[pos + length]))
        ++length;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        size_t length = 0;
        DecodeUtf8(text, i, length);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::string ToUpper(std::string_view text) {
    return MapCase(text, kUpperRuns, kUpperExpansions, AsciiUpper);
}

std::string ToLower(std::string_view text) {
    std::string s(text);
    for (char& c : s) c = AsciiLower(c);
    return s;
}

std::string FoldCase(std::string_view text) {
    return MapCase(text, kFoldRuns, kFoldExpansions, AsciiLower);
}

namespace {

// The one-character folding of a character whose full folding is longer:
// only capital sharp s and the Greek capitals with prosgegrammeni have one.
char32_t SimpleFoldOfExpanding(char32_t cp) {
    if (cp == 0x1E9E) return 0x00DF;
    if ((cp >= 0x1F88 && cp <= 0x1F8F) || (cp >= 0x1F98 && cp <= 0x1F9F) ||
        (cp >= 0x1FA8 && cp <= 0x1FAF))
        return cp - 8;
    if (cp == 0x1FBC || cp == 0x1FCC || cp == 0x1FFC) return cp - 9;
    return cp;
}

}  // namespace

std::string FoldCaseSimple(std::string_view text) {
    return MapEachChar(text, AsciiLower, [](std::string& out, char32_t cp, std::string_view bytes) {
        AppendMapped(out, cp,
                     FindExpansion(kFoldExpansions, cp) ? SimpleFoldOfExpanding(cp)
                                                        : MapByRuns(kFoldRuns, cp),
                     bytes);
    });
}

bool IEquals(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
        return true;
    }
    return FoldCase(a) == FoldCase(b);
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const char x = AsciiLower(a[i]), y = AsciiLower(b[i]);
            if (x != y)
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    const int c = FoldCase(a).compare(FoldCase(b));
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

std::string ZeroPad(int64_t value, int width) {
    bool neg = value < 0;
    std::string digits = std::to_string(neg ? -value : value);
    while (static_cast<int>(digits.size()) < width) digits.insert(digits.begin(), '0');
    return neg ? "-" + digits : digits;
}

size_t CharCount(std::string_view text) {
    size_t n = 0;
    for (char c : text)
        if (!IsContinuationByte(c)) ++n;
    return n;
}

std::string CutChars(std::string_view text, size_t maxChars) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!IsContinuationByte(text[i])) {
            if (chars == maxChars) return std::string(text.substr(0, i));
            ++chars;
        }
    }
    return std::string(text);
}

std::string CutBytes(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t cut = maxBytes;
    while (cut > 0 && IsContinuationByte(text[cut])) --cut;
    return std::string(text.substr(0, cut));
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
