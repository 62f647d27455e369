// libharu page helpers shared by the Issues/Programs list and the analysis.
#include "reports/pdf_page.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/base/fs.h"
#include "app/base/text_util.h"
#include "ui/msgbox.h"
#include "ui/resources.h"

namespace {

bool IsUnicode(HPDF_Font font) {
    if (!font) return false;
    const char* encoding = HPDF_Font_GetEncodingName(font);
    return encoding && std::strcmp(encoding, "UTF-8") == 0;
}

void HPDF_STDCALL OnPdfError(HPDF_STATUS errorNo, HPDF_STATUS detailNo, void* userData) {
    auto* state = static_cast<PdfErrorState*>(userData);
    if (!state) return;
    const bool first = !state->failed;
    state->failed = true;
    state->errorNo = errorNo;
    state->detailNo = detailNo;
    ++state->count;
    // One failing call tends to make the following ones fail too; the first
    // error is the one worth reading, so only it is shown.
    if (first) DgMsgOk("PDF Error", PdfErrorText(errorNo, detailNo), "");
}

// Windows-1252 bytes 0x80..0x9F and the code points they stand for (0 = unused).
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char Cp1252Byte(char32_t cp) {
    if (cp == '\t' || cp == '\r' || cp == '\n') return static_cast<char>(cp);
    if (cp < 0x20 || cp == 0x7F) return '?';
    if (cp < 0x80) return static_cast<char>(cp);
    if (cp >= 0xA0 && cp <= 0xFF) return static_cast<char>(cp);
    for (int i = 0; i < 32; ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Length of the piece of bytes from pos that libharu takes in one call: at
// most HPDF_LIMIT_MAX_STRING_LEN bytes, and UTF-8 cut on a character boundary.
size_t PieceLength(const std::string& bytes, size_t pos, bool utf8) {
    size_t len = std::min(bytes.size() - pos, static_cast<size_t>(HPDF_LIMIT_MAX_STRING_LEN));
    if (utf8) {
        while (len > 0 && pos + len < bytes.size() &&
               (static_cast<unsigned char>(bytes[pos + len]) & 0xC0) == 0x80)
            --len;
    }
    return len;
}

// Width of encoded text in the page's current font, measured in pieces that
// libharu takes (it refuses a string over 65,535 bytes). Pieces of UTF-8 end
// on a character boundary.
double EncodedWidth(HPDF_Page page, const std::string& bytes) {
    if (bytes.size() <= HPDF_LIMIT_MAX_STRING_LEN) return HPDF_Page_TextWidth(page, bytes.c_str());
    const bool utf8 = IsUnicode(HPDF_Page_GetCurrentFont(page));
    double width = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t len = PieceLength(bytes, pos, utf8);
        if (len == 0) break;
        width += HPDF_Page_TextWidth(page, bytes.substr(pos, len).c_str());
        pos += len;
    }
    return width;
}

HPDF_REAL PdfY(double y) {
    return static_cast<HPDF_REAL>(kPdfPageHeight - y);
}

// Text operators are written straight into the page's content stream.
// libharu's own operator calls clear a scratch buffer byte by byte for every
// number and measure every shown text to advance a position nothing here
// reads; for a report of thousands of lines that bookkeeping costs more than
// the layout. The writers below put out the same operators and keep the
// page's state (font, size, leading, line start) the way libharu's calls do,
// so libharu calls made before or after see the page as they expect.
HPDF_PageAttr Attr(HPDF_Page page) {
    return static_cast<HPDF_PageAttr>(page->attr);
}

// A number as libharu writes one: at most five decimals, no trailing zeros.
void AppendNumber(std::string& out, double value) {
    long long scaled = std::llround(value * 100000);
    if (scaled < 0) {
        out += '-';
        scaled = -scaled;
    }
    char buf[32];
    char* end = std::to_chars(buf, buf + sizeof buf, scaled / 100000).ptr;
    long long fraction = scaled % 100000;
    if (fraction != 0) {
        *end++ = '.';
        char digits[5];
        for (int i = 4; i >= 0; --i) {
            digits[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        int used = 5;
        while (digits[used - 1] == '0') --used;
        end = std::copy(digits, digits + used, end);
    }
    out.append(buf, end);
}

// A literal string: parentheses and backslashes escaped, bytes outside
// printable ASCII as three octal digits.
void AppendString(std::string& out, std::string_view bytes) {
    out += '(';
    size_t i = 0;
    while (i < bytes.size()) {
        // Runs of characters that need no escape are copied at once.
        size_t run = i;
        while (run < bytes.size()) {
            const auto c = static_cast<unsigned char>(bytes[run]);
            if (c < 0x20 || c > 0x7E || c == '(' || c == ')' || c == '\\') break;
            ++run;
        }
        out.append(bytes.data() + i, run - i);
        if (run == bytes.size()) break;
        const auto c = static_cast<unsigned char>(bytes[run]);
        out += '\\';
        if (c == '(' || c == ')' || c == '\\') {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>('0' + (c >> 6));
            out += static_cast<char>('0' + ((c >> 3) & 7));
            out += static_cast<char>('0' + (c & 7));
        }
        i = run + 1;
    }
    out += ')';
}

// The string operand of a text shown in font: a literal of the bytes for the
// standard fonts; for an embedded Unicode font the characters' codes, two
// bytes each, in hexadecimal. Each character's width is asked of the font
// once, which also puts its glyph into the embedded subset.
void AppendShown(std::string& out, HPDF_Font font, std::string_view bytes) {
    if (!IsUnicode(font)) {
        AppendString(out, bytes);
        return;
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += '<';
    size_t i = 0;
    while (i < bytes.size()) {
        size_t len = 0;
        char32_t cp = DecodeUtf8(bytes, i, len);
        if (len == 0) {  // cleaned text holds none, but never loop on one
            cp = '?';
            len = 1;
        }
        HPDF_Font_GetUnicodeWidth(font, static_cast<HPDF_UNICODE>(cp));
        for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(cp >> shift) & 0xF];
        i += len;
    }
    out += '>';
}

// Appends operators to the page's content; a failure is reported through the
// document's error handler like any failing libharu call.
void Emit(HPDF_Page page, const std::string& ops) {
    if (HPDF_Stream_Write(Attr(page)->stream, reinterpret_cast<const HPDF_BYTE*>(ops.data()),
                          static_cast<HPDF_UINT>(ops.size())) != HPDF_OK)
        HPDF_CheckError(page->error);
}

// Moves the start of the line to (x, pdfY) in the current text object. The
// move is relative to the line start, which BeginText sets to the origin.
void MoveLineStart(HPDF_Page page, std::string& ops, double x, double pdfY) {
    HPDF_TransMatrix& m = Attr(page)->text_matrix;
    AppendNumber(ops, x - m.x);
    ops += ' ';
    AppendNumber(ops, pdfY - m.y);
    ops += " Td\n";
    m.x = static_cast<HPDF_REAL>(x);
    m.y = static_cast<HPDF_REAL>(pdfY);
    Attr(page)->text_pos = HPDF_Point{m.x, m.y};
}

}  // namespace

void PdfSetFont(HPDF_Page page, HPDF_Font font, double size) {
    if (!page || !font) return;
    const auto points = static_cast<HPDF_REAL>(size);
    HPDF_GState state = Attr(page)->gstate;
    if (state->font == font && state->font_size == points) return;
    // Asking for the name registers the font in the page's resources.
    const char* name = HPDF_Page_GetLocalFontName(page, font);
    if (!name) {
        HPDF_CheckError(page->error);
        return;
    }
    std::string ops = "/";
    ops += name;
    ops += ' ';
    AppendNumber(ops, points);
    ops += " Tf\n";
    Emit(page, ops);
    state->font = font;
    state->font_size = points;
}

std::string PdfErrorText(unsigned long errorNo, unsigned long detailNo) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "Error number = %lu [&H%lX]|Detail number = %lu [&H%lX]{f10}",
                  errorNo, errorNo, detailNo, detailNo);
    return buf;
}

PdfDocument NewPdfDocument(PdfErrorState& state) {
    state = PdfErrorState{};
    PdfDocument doc(HPDF_New(OnPdfError, &state));
    if (state.failed) return nullptr;
    if (!doc) {
        DgMsgOk("Error", "Unable to create PDF object.{f10}", "");
        return nullptr;
    }
    HPDF_SetCompressionMode(doc.get(), HPDF_COMP_ALL);
    return doc;
}

HPDF_Font PdfStandardFont(HPDF_Doc doc, const char* name) {
    return HPDF_GetFont(doc, name, "WinAnsiEncoding");
}

HPDF_Page PdfAddPage(HPDF_Doc doc) {
    HPDF_Page page = HPDF_AddPage(doc);
    if (!page) return nullptr;
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(kPdfPageHeight));
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(kPdfPageWidth));
    HPDF_Page_SetRGBFill(page, 0, 0, 0);
    return page;
}

std::string ToWinAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t i = 0;
    while (i < n) {
        // Printable ASCII (most of every text) is copied a run at a time.
        size_t run = i;
        while (run < n && s[run] >= 0x20 && s[run] < 0x7F) ++run;
        if (run > i) {
            out.append(utf8.data() + i, run - i);
            i = run;
            if (i == n) break;
        }
        const unsigned char c = s[i];
        if (c < 0x80) {
            out += Cp1252Byte(c);
            ++i;
            continue;
        }
        size_t len = 0;
        const char32_t cp = DecodeUtf8(utf8, i, len);
        if (len == 0) {
            // A malformed sequence (stray, truncated, overlong, surrogate or
            // beyond Unicode) prints as one "?".
            out += '?';
            i += MalformedUtf8Length(utf8, i);
            continue;
        }
        out += Cp1252Byte(cp);
        i += len;
    }
    return out;
}

bool FitsWinAnsi(std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        // ASCII (nearly all of every text) fits: skipped eight bytes at a
        // time while none has its high bit set, then a byte at a time.
        uint64_t eight;
        if (i + 8 <= utf8.size() &&
            (std::memcpy(&eight, utf8.data() + i, 8), (eight & 0x8080808080808080ull) == 0)) {
            i += 8;
            continue;
        }
        if (static_cast<unsigned char>(utf8[i]) < 0x80) {
            ++i;
            continue;
        }
        size_t len = 0;
        const char32_t cp = DecodeUtf8(utf8, i, len);
        if (len == 0) {  // malformed: "?" in either encoding
            ++i;
            continue;
        }
        // C1 controls print as "?" in either encoding.
        if (cp >= 0xA0 && Cp1252Byte(cp) == '?') return false;
        i += len;
    }
    return true;
}

std::string CleanUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = 0;
        const char32_t cp = DecodeUtf8(utf8, i, len);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        const bool control = cp < 0x20 && cp != '\t' && cp != '\r' && cp != '\n';
        if (control || cp == 0x7F || cp > 0xFFFF || (cp >= 0x80 && cp < 0xA0))
            out += '?';
        else
            out.append(utf8.substr(i, len));
        i += len;
    }
    return out;
}

bool PdfIsUnicodeFont(HPDF_Font font) {
    return IsUnicode(font);
}

std::string PdfEncode(HPDF_Font font, std::string_view utf8) {
    return IsUnicode(font) ? CleanUtf8(utf8) : ToWinAnsi(utf8);
}

std::string PdfFontFile(const std::string& name) {
    // A program folder may bring its own (the Windows build does).
    if (std::string beside = FindResource(name); !beside.empty()) return beside;
    for (const char* folder :
         {"/usr/share/fonts/truetype/liberation2/", "/usr/share/fonts/truetype/liberation/"}) {
        std::error_code ec;
        const std::string path = folder + name;
        if (std::filesystem::is_regular_file(FsPath(path), ec)) return path;
    }
    return "";
}

PdfFontPair PdfReportFonts(HPDF_Doc doc, bool unicode, const char* regular, const char* bold,
                           const std::string& regularName, const std::string& boldName) {
    PdfFontPair fonts;
    const std::string regularFile = unicode ? PdfFontFile(regularName) : "";
    const std::string boldFile = unicode ? PdfFontFile(boldName) : "";
    if (unicode && doc && !regularFile.empty() && !boldFile.empty() &&
        HPDF_UseUTFEncodings(doc) == HPDF_OK) {
        const char* regularFont = HPDF_LoadTTFontFromFile(doc, regularFile.c_str(), HPDF_TRUE);
        const char* boldFont = HPDF_LoadTTFontFromFile(doc, boldFile.c_str(), HPDF_TRUE);
        if (regularFont && boldFont) {
            fonts.regular = HPDF_GetFont(doc, regularFont, "UTF-8");
            fonts.bold = HPDF_GetFont(doc, boldFont, "UTF-8");
            if (fonts.regular && fonts.bold) return fonts;
        }
    }
    // Without the font files the standard fonts print what WinAnsi holds.
    fonts.regular = PdfStandardFont(doc, regular);
    fonts.bold = PdfStandardFont(doc, bold);
    return fonts;
}

void PdfText(HPDF_Page page, const std::string& text, double x, double y, HPDF_Font font,
             double size, int alignment) {
    if (!page) return;
    const std::string bytes = PdfEncode(font, text);
    PdfSetFont(page, font, size);
    double left;
    switch (alignment) {
        case kPdfAlignLeft:
            left = x;  // no need to measure
            break;
        case kPdfAlignCentre:
            left = x - EncodedWidth(page, bytes) / 2;
            break;
        case kPdfAlignRight:
            left = x - EncodedWidth(page, bytes);
            break;
        default:
            return;
    }
    std::string ops;
    MoveLineStart(page, ops, left, std::round(kPdfPageHeight - y));
    AppendShown(ops, font, bytes);
    ops += " Tj\n";
    Emit(page, ops);
}

void PdfTextLine(HPDF_Page page, const std::string& text, double x, double y, HPDF_Font font,
                 double size, int alignment) {
    if (!page) return;
    HPDF_Page_BeginText(page);
    PdfText(page, text, x, y, font, size, alignment);
    HPDF_Page_EndText(page);
}

void PdfRule(HPDF_Page page, double x1, double x2, double y, double red, double green, double blue,
             double width) {
    if (!page) return;
    HPDF_Page_SetRGBStroke(page, static_cast<HPDF_REAL>(red), static_cast<HPDF_REAL>(green),
                           static_cast<HPDF_REAL>(blue));
    HPDF_Page_SetLineWidth(page, static_cast<HPDF_REAL>(width));
    HPDF_Page_MoveTo(page, static_cast<HPDF_REAL>(x1), PdfY(y));
    HPDF_Page_LineTo(page, static_cast<HPDF_REAL>(x2), PdfY(y));
    HPDF_Page_Stroke(page);
    HPDF_Page_SetRGBStroke(page, 0, 0, 0);
}

double PdfTextBoxEncoded(HPDF_Page page, double left, double top, double right, int lines,
                         const std::string& encoded, HPDF_Font font, double size) {
    const double bottom = top + kPdfLineStep * lines;
    if (!page || encoded.empty()) return bottom;
    HPDF_Page_BeginText(page);
    PdfSetFont(page, font, size);
    // Lines are set 13 points apart, the height the layout reserves for each.
    HPDF_Page_SetTextLeading(page, static_cast<HPDF_REAL>(kPdfLineStep));
    // The box is filled as far as it reaches; text beyond it is the caller's
    // to place (libharu answers "insufficient space" without an error).
    HPDF_Page_TextRect(page, static_cast<HPDF_REAL>(left), PdfY(top), static_cast<HPDF_REAL>(right),
                       PdfY(bottom), encoded.c_str(), HPDF_TALIGN_LEFT, nullptr);
    HPDF_Page_EndText(page);
    return bottom;
}

namespace {

// Shows lines[first .. first + count) one below the other, each moved down by
// the leading from the start of the line before (the compact "next line and
// show" operator, as text boxes use). The caller has begun the text object
// and placed the line start one line above the first.
void ShowLines(HPDF_Page page, const std::vector<std::string>& lines, size_t first, size_t count,
               HPDF_Font font, double size) {
    PdfSetFont(page, font, size);
    std::string ops;
    HPDF_GState state = Attr(page)->gstate;
    const auto leading = static_cast<HPDF_REAL>(kPdfLineStep);
    if (state->text_leading != leading) {
        AppendNumber(ops, leading);
        ops += " TL\n";
        state->text_leading = leading;
    }
    HPDF_TransMatrix& m = Attr(page)->text_matrix;
    for (size_t k = 0; k < count && first + k < lines.size(); ++k) {
        const std::string& line = lines[first + k];
        // Blanks and the line break at the end of a line are not drawn.
        size_t end = line.size();
        while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r' ||
                           line[end - 1] == '\n' || line[end - 1] == '\f'))
            --end;
        AppendShown(ops, font, std::string_view(line.data(), end));
        ops += " '\n";
        m.y -= leading;
    }
    Attr(page)->text_pos = HPDF_Point{m.x, m.y};
    Emit(page, ops);
}

}  // namespace

void PdfWriteLines(HPDF_Page page, double left, double y, const std::vector<std::string>& lines,
                   size_t first, size_t count, HPDF_Font font, double size) {
    if (!page || count == 0) return;
    HPDF_Page_BeginText(page);
    PdfSetFont(page, font, size);
    // Start one line above the first.
    std::string ops;
    MoveLineStart(page, ops, left, std::round(kPdfPageHeight - y) + kPdfLineStep);
    Emit(page, ops);
    ShowLines(page, lines, first, count, font, size);
    HPDF_Page_EndText(page);
}

void PdfWriteHeadedLines(HPDF_Page page, double left, double y, const std::string& heading,
                         HPDF_Font headingFont, double headingSize,
                         const std::vector<std::string>& lines, size_t first, size_t count,
                         HPDF_Font font, double size) {
    if (!page) return;
    HPDF_Page_BeginText(page);
    // The heading's line start is where the first line moves down from.
    PdfText(page, heading, left, y, headingFont, headingSize, kPdfAlignLeft);
    if (count > 0) ShowLines(page, lines, first, count, font, size);
    HPDF_Page_EndText(page);
}

double PdfTextBox(HPDF_Page page, double left, double top, double right, int lines,
                  const std::string& text, HPDF_Font font, double size, int alignment) {
    (void)alignment;  // left alignment is the only one the reports use
    if (!page) return top + kPdfLineStep * lines;
    PdfSetFont(page, font, size);
    const std::vector<std::string> wrapped = PdfWrapLines(page, text, right - left);
    std::string encoded;
    for (const std::string& line : wrapped) encoded += line;
    if (encoded.size() > HPDF_LIMIT_MAX_STRING_LEN) {
        // More than libharu's text box takes in one string: the same lines,
        // set out one by one (the first baseline 9 points below the top).
        PdfWriteLines(page, left, top + 9, wrapped, 0, static_cast<size_t>(lines), font, size);
        return top + kPdfLineStep * lines;
    }
    return PdfTextBoxEncoded(page, left, top, right, lines, encoded, font, size);
}

std::vector<std::string> PdfWrapLines(HPDF_Page page, const std::string& text, double width) {
    std::vector<std::string> lines;
    if (!page) return lines;
    HPDF_Font font = HPDF_Page_GetCurrentFont(page);
    const std::string bytes = PdfEncode(font, text);
    const HPDF_REAL size = HPDF_Page_GetCurrentFontSize(page);
    const HPDF_REAL charSpace = HPDF_Page_GetCharSpace(page);
    const HPDF_REAL wordSpace = HPDF_Page_GetWordSpace(page);
    // What HPDF_Page_MeasureText measures, without its strlen of all the rest
    // of the text for every line, and in pieces of at most
    // HPDF_LIMIT_MAX_STRING_LEN bytes (libharu refuses a longer string; a
    // piece is far longer than any line). Without a font the page's own call
    // reports the error.
    const auto measure = [&](size_t pos, HPDF_BOOL wordwrap) -> HPDF_UINT {
        if (!font)
            return HPDF_Page_MeasureText(page, bytes.c_str() + pos, static_cast<HPDF_REAL>(width),
                                         wordwrap, nullptr);
        const size_t len =
            std::min<size_t>(bytes.size() - pos, static_cast<size_t>(HPDF_LIMIT_MAX_STRING_LEN));
        return HPDF_Font_MeasureText(font, reinterpret_cast<const HPDF_BYTE*>(bytes.data() + pos),
                                     static_cast<HPDF_UINT>(len), static_cast<HPDF_REAL>(width),
                                     size, charSpace, wordSpace, wordwrap, nullptr);
    };
    // The whole text is measured: a long description must not lose its end.
    size_t pos = 0;
    while (pos < bytes.size()) {
        const HPDF_UINT n = measure(pos, HPDF_TRUE);
        if (n > 0) {
            lines.emplace_back(bytes, pos, n);
            pos += n;
            continue;
        }
        // A word wider than the box: cut it where the width ends and close
        // the piece with a line break, so libharu's own wrapping of the
        // joined lines breaks at the same place instead of stopping there.
        HPDF_UINT fit = measure(pos, HPDF_FALSE);
        if (fit == 0) fit = 1;
        lines.push_back(bytes.substr(pos, fit) + "\n");
        pos += fit;
    }
    return lines;
}

const std::vector<std::string>& PdfWrapCache::Wrap(HPDF_Page page, const std::string& text,
                                                   double width) {
    Key key{page ? HPDF_Page_GetCurrentFont(page) : nullptr,
            page ? HPDF_Page_GetCurrentFontSize(page) : 0,
            page ? HPDF_Page_GetCharSpace(page) : 0,
            page ? HPDF_Page_GetWordSpace(page) : 0,
            width,
            text};
    auto it = wrapped_.find(key);
    if (it != wrapped_.end()) return it->second;
    // Without a page nothing is measured, and nothing is remembered.
    if (!page) {
        empty_.clear();
        return empty_;
    }
    return wrapped_.emplace(std::move(key), PdfWrapLines(page, text, width)).first->second;
}

size_t PdfWrapCache::KeyHash::operator()(const Key& k) const noexcept {
    size_t h = std::hash<std::string>()(k.text);
    const auto mix = [&h](size_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
    mix(std::hash<const void*>()(k.font));
    mix(std::hash<float>()(k.size));
    mix(std::hash<float>()(k.charSpace));
    mix(std::hash<float>()(k.wordSpace));
    mix(std::hash<double>()(k.width));
    return h;
}

int PdfLineCount(HPDF_Page page, const std::string& text, double width) {
    return static_cast<int>(PdfWrapLines(page, text, width).size());
}

double PdfTextWidth(HPDF_Page page, const std::string& text, HPDF_Font font, double size) {
    if (!page) return 0;
    PdfSetFont(page, font, size);
    return EncodedWidth(page, PdfEncode(font, text));
}

double PdfFontTextWidth(HPDF_Font font, double size, std::string_view text) {
    if (!font) return 0;
    const std::string bytes = PdfEncode(font, text);
    const bool utf8 = PdfIsUnicodeFont(font);
    double units = 0;
    size_t pos = 0;
    while (pos < bytes.size()) {
        const size_t len = PieceLength(bytes, pos, utf8);
        if (len == 0) break;
        units += HPDF_Font_TextWidth(font, reinterpret_cast<const HPDF_BYTE*>(bytes.data() + pos),
                                     static_cast<HPDF_UINT>(len))
                     .width;
        pos += len;
    }
    return units * size / 1000;
}

std::vector<std::string> PdfWrapTitle(HPDF_Font font, double size, const std::string& text,
                                      double width) {
    if (PdfFontTextWidth(font, size, text) <= width) return {text};
    const auto fits = [&](const std::string& line) {
        return PdfFontTextWidth(font, size, line) <= width;
    };
    std::vector<std::string> lines;
    std::string line;
    const auto flush = [&] {
        if (!line.empty()) lines.push_back(line);
        line.clear();
    };
    for (const std::string& word : Split(text, " ")) {
        if (word.empty()) continue;
        if (line.empty() ? fits(word) : fits(line + " " + word)) {
            line += line.empty() ? word : " " + word;
            continue;
        }
        flush();
        if (fits(word)) {
            line = word;
            continue;
        }
        // A word wider than a line: as many whole characters as fit, then on.
        size_t i = 0;
        while (i < word.size()) {
            size_t len = 0;
            DecodeUtf8(word, i, len);
            if (len == 0) len = 1;
            const std::string next = line + word.substr(i, len);
            if (!line.empty() && !fits(next)) flush();
            line += word.substr(i, len);
            i += len;
        }
    }
    flush();
    if (lines.empty()) lines.push_back(text);
    return lines;
}
