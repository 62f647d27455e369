// RTF to styled runs: groups, paragraphs, bold/italic/underline, font size,
// escaped Windows-1252 bytes and Unicode characters.
#include "ui/rtf.h"

#include <cctype>
#include <cstdint>
#include <set>

#include "app/base/text_util.h"

namespace {

// Windows-1252 byte to Unicode; the five unassigned bytes give U+FFFD.
uint32_t Cp1252ToUnicode(unsigned char b) {
    static const uint16_t k80[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    if (b >= 0x80 && b < 0xA0) return k80[b - 0x80];
    return b;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Groups whose content is never shown.
bool IsSkippedDestination(const std::string& word) {
    static const std::set<std::string> kSkip = {"fonttbl",    "colortbl",
                                                "stylesheet", "info",
                                                "pict",       "header",
                                                "headerl",    "headerr",
                                                "headerf",    "footer",
                                                "footerl",    "footerr",
                                                "footerf",    "footnote",
                                                "listtable",  "listoverridetable",
                                                "rsidtbl",    "generator",
                                                "fldinst",    "object",
                                                "filetbl",    "revtbl",
                                                "themedata",  "latentstyles",
                                                "datastore",  "colorschememapping",
                                                "xmlnstbl",   "pgdsctbl",
                                                "template",   "nonshppict",
                                                "bkmkstart",  "bkmkend",
                                                "annotation"};
    return kSkip.count(word) > 0;
}

struct Style {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    double points = 0;
    bool skip = false;
    int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
};

class RtfReader {
public:
    explicit RtfReader(const std::string& src) : s_(src) {}

    std::vector<EzTextRun> Read() {
        while (i_ < s_.size()) {
            char c = s_[i_];
            if (c == '{') {
                ++i_;
                stack_.push_back(style_);
                pendingSkip_ = 0;
            } else if (c == '}') {
                ++i_;
                if (!stack_.empty()) {
                    style_ = stack_.back();
                    stack_.pop_back();
                }
                pendingSkip_ = 0;
            } else if (c == '\\') {
                ++i_;
                ControlSequence();
            } else if (c == '\r' || c == '\n') {
                ++i_;
            } else {
                ++i_;
                if (ConsumeFallback()) continue;
                uint32_t cp = static_cast<unsigned char>(c);
                Emit(Cp1252ToUnicode(static_cast<unsigned char>(cp)));
            }
        }
        return std::move(runs_);
    }

private:
    // True when the character just read is the fallback of a \uN and is dropped.
    bool ConsumeFallback() {
        if (pendingSkip_ <= 0) return false;
        --pendingSkip_;
        return true;
    }

    void ControlSequence() {
        if (i_ >= s_.size()) return;
        char c = s_[i_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++i_;
            ControlSymbol(c);
            return;
        }
        std::string word;
        while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) word += s_[i_++];
        bool hasParam = false;
        bool negative = false;
        int64_t param = 0;
        if (i_ < s_.size() && s_[i_] == '-') {
            negative = true;
            ++i_;
        }
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
            hasParam = true;
            if (param < 1000000000) param = param * 10 + (s_[i_] - '0');
            ++i_;
        }
        if (negative) param = -param;
        if (i_ < s_.size() && s_[i_] == ' ') ++i_;  // the delimiting blank belongs to the word
        ControlWord(word, hasParam, param);
    }

    void ControlSymbol(char c) {
        switch (c) {
            case '\\':
            case '{':
            case '}':
                if (!ConsumeFallback()) Emit(static_cast<unsigned char>(c));
                break;
            case '\'': {
                int hi = i_ < s_.size() ? HexDigit(s_[i_]) : -1;
                int lo = i_ + 1 < s_.size() ? HexDigit(s_[i_ + 1]) : -1;
                if (hi < 0 || lo < 0) {  // a broken escape shows nothing
                    if (hi >= 0) ++i_;
                    break;
                }
                i_ += 2;
                if (ConsumeFallback()) break;
                Emit(Cp1252ToUnicode(static_cast<unsigned char>(hi * 16 + lo)));
                break;
            }
            case '*':
                style_.skip = true;
                break;
            case '~':
                Emit(0x00A0);
                break;
            case '_':
                Emit(0x2011);
                break;
            case '\n':
            case '\r':
                Paragraph();
                break;
            default:
                break;  // "\-" optional hyphen and unknown symbols show nothing
        }
    }

    void ControlWord(const std::string& w, bool hasParam, int64_t p) {
        bool on = !hasParam || p != 0;
        if (IsSkippedDestination(w)) {
            style_.skip = true;
        } else if (w == "par" || w == "line" || w == "sect" || w == "page") {
            Paragraph();
        } else if (w == "tab") {
            Emit('\t');
        } else if (w == "b") {
            style_.bold = on;
        } else if (w == "i") {
            style_.italic = on;
        } else if (w == "ul") {
            style_.underline = on;
        } else if (w == "ulnone") {
            style_.underline = false;
        } else if (w == "plain") {
            style_.bold = style_.italic = style_.underline = false;
            style_.points = 0;
        } else if (w == "fs") {
            style_.points = hasParam && p > 0 ? static_cast<double>(p) / 2 : 0;
        } else if (w == "uc") {
            style_.unicodeSkip = hasParam && p >= 0 ? static_cast<int>(p) : 1;
        } else if (w == "u" && hasParam) {
            int64_t cp = p < 0 ? p + 65536 : p;
            EmitUnicode(static_cast<uint32_t>(cp));
            pendingSkip_ = style_.unicodeSkip;
        } else if (w == "emdash") {
            Emit(0x2014);
        } else if (w == "endash") {
            Emit(0x2013);
        } else if (w == "bullet") {
            Emit(0x2022);
        } else if (w == "lquote") {
            Emit(0x2018);
        } else if (w == "rquote") {
            Emit(0x2019);
        } else if (w == "ldblquote") {
            Emit(0x201C);
        } else if (w == "rdblquote") {
            Emit(0x201D);
        }
        // Every other control word changes nothing that the runs can show.
    }

    // \uN with UTF-16 surrogate pairs joined into one character.
    void EmitUnicode(uint32_t unit) {
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            highSurrogate_ = unit;
            return;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (highSurrogate_) Emit(0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
            highSurrogate_ = 0;
            return;
        }
        highSurrogate_ = 0;
        Emit(unit);
    }

    bool Visible() const { return !style_.skip && !stack_.empty(); }

    void Emit(uint32_t cp) {
        if (!Visible()) return;
        std::string text;
        AppendUtf8(text, cp);
        if (atParaStart_ || runs_.empty() || !SameStyle(runs_.back())) {
            EzTextRun r;
            r.bold = style_.bold;
            r.italic = style_.italic;
            r.underline = style_.underline;
            r.points = style_.points;
            r.newPara = atParaStart_ && !firstPara_;
            if (atParaStart_) firstPara_ = false;
            atParaStart_ = false;
            runs_.push_back(r);
        }
        runs_.back().text += text;
    }

    void Paragraph() {
        if (!Visible()) return;
        if (atParaStart_) {
            // An empty paragraph still takes its line.
            EzTextRun r;
            r.newPara = !firstPara_;
            firstPara_ = false;
            runs_.push_back(r);
        }
        atParaStart_ = true;
    }

    bool SameStyle(const EzTextRun& r) const {
        return r.bold == style_.bold && r.italic == style_.italic &&
               r.underline == style_.underline && r.points == style_.points;
    }

    const std::string& s_;
    size_t i_ = 0;
    Style style_;
    std::vector<Style> stack_;
    std::vector<EzTextRun> runs_;
    int pendingSkip_ = 0;
    uint32_t highSurrogate_ = 0;
    bool atParaStart_ = true;
    bool firstPara_ = true;
};

// A file that is not RTF is shown as plain text, one paragraph per line.
std::vector<EzTextRun> PlainRuns(const std::string& text) {
    std::vector<EzTextRun> runs;
    bool first = true;
    for (std::string line : Split(text, "\n")) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        EzTextRun r;
        r.text = line;
        r.newPara = !first;
        first = false;
        runs.push_back(r);
    }
    while (!runs.empty() && runs.back().text.empty()) runs.pop_back();
    return runs;
}

}  // namespace

std::vector<EzTextRun> ParseRtf(const std::string& rtf) {
    size_t start = rtf.find_first_not_of(" \t\r\n");
    if (start == std::string::npos) return {};
    if (rtf.compare(start, 5, "{\\rtf") != 0) return PlainRuns(rtf);
    return RtfReader(rtf).Read();
}

std::string RunsToPlainText(const std::vector<EzTextRun>& runs) {
    std::string out;
    for (const EzTextRun& r : runs) {
        if (r.newPara) out += '\n';
        out += r.text;
    }
    return out;
}
