// Page-drawing helpers over libharu for the two reports. Layout positions use
// a US Letter portrait page (612 x 792 points) with y measured downward from
// the top edge; a position y is drawn at PDF height 792 - y.
//
// Every text given to these helpers is UTF-8. It is converted to the bytes of
// the font it is drawn in (PdfEncode: Windows-1252 for the standard fonts'
// WinAnsiEncoding, UTF-8 for an embedded Unicode font) before it is measured
// or drawn, so measurement and output always see the same bytes.
#pragma once

#include <hpdf.h>

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

inline constexpr double kPdfPageWidth = 612;
inline constexpr double kPdfPageHeight = 792;
inline constexpr double kPdfLineStep = 13;  // height of one line in text boxes

// Alignment codes of PdfText.
inline constexpr int kPdfAlignLeft = 4;
inline constexpr int kPdfAlignRight = 8;
inline constexpr int kPdfAlignCentre = 16;

// Owns a libharu document; HPDF_Free on destruction.
struct PdfDocFree {
    void operator()(HPDF_Doc doc) const noexcept {
        if (doc) HPDF_Free(doc);
    }
};
using PdfDocument = std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, PdfDocFree>;

// What libharu reported for one document. The error handler fills it; the
// first error of a document is also shown to the user ("PDF Error").
struct PdfErrorState {
    bool failed = false;
    unsigned long errorNo = 0;
    unsigned long detailNo = 0;
    int count = 0;
};

// The message text for a libharu error: numbers in decimal and hexadecimal.
std::string PdfErrorText(unsigned long errorNo, unsigned long detailNo);

// Creates a document that reports its errors into state, with all streams
// compressed. Returns null (after telling the user) when none could be made,
// and null when libharu reported an error while making it.
PdfDocument NewPdfDocument(PdfErrorState& state);

// A standard Type 1 font ("Times-Roman", "Helvetica-Bold" ...) in WinAnsiEncoding.
HPDF_Font PdfStandardFont(HPDF_Doc doc, const char* name);

// Adds a 612 x 792 page with black text fill.
HPDF_Page PdfAddPage(HPDF_Doc doc);

// UTF-8 to Windows-1252. Characters the code page cannot hold, control
// characters other than tab, CR and LF, and malformed bytes become "?".
std::string ToWinAnsi(std::string_view utf8);

// Whether every character of the text has a place in Windows-1252 (control
// characters and malformed bytes print as "?" either way and count as fitting).
bool FitsWinAnsi(std::string_view utf8);
// UTF-8 as an embedded Unicode font shows it: control characters other than
// tab, CR and LF, characters beyond the Basic Multilingual Plane and
// malformed bytes become "?".
std::string CleanUtf8(std::string_view utf8);

// Whether the font is an embedded TrueType font with libharu's UTF-8 encoding.
bool PdfIsUnicodeFont(HPDF_Font font);
// Text as the bytes measured and shown in font: Windows-1252 for the
// standard fonts, cleaned UTF-8 for an embedded Unicode font.
std::string PdfEncode(HPDF_Font font, std::string_view utf8);

// The TrueType fonts with the metrics of the standard ones, embedded for
// documents whose text WinAnsi cannot hold: Liberation from Debian's
// fonts-liberation2 (which also covers Vietnamese) or else fonts-liberation.
inline constexpr const char* kSerifFontFile = "LiberationSerif-Regular.ttf";
inline constexpr const char* kSerifBoldFontFile = "LiberationSerif-Bold.ttf";
inline constexpr const char* kSansFontFile = "LiberationSans-Regular.ttf";
inline constexpr const char* kSansBoldFontFile = "LiberationSans-Bold.ttf";
// The path of one of those font files: beside the program (FindResource) when
// it brings its own, else from either package; "" when none has it.
std::string PdfFontFile(const std::string& name);

struct PdfFontPair {
    HPDF_Font regular = nullptr;
    HPDF_Font bold = nullptr;
};
// The two fonts of a report. With unicode false, the standard fonts regular
// and bold in WinAnsiEncoding (the document stays as it always was); with
// unicode true, the two TrueType files (names for PdfFontFile) embedded as
// subsets with UTF-8 encoding, or the standard fonts when a file is missing.
// Call it once per document.
PdfFontPair PdfReportFonts(HPDF_Doc doc, bool unicode, const char* regular, const char* bold,
                           const std::string& regularName, const std::string& boldName);

// Writes text at layout position (x, y): alignment 4 left, 16 centred on x,
// 8 right-aligned at x; any other alignment writes nothing. The caller
// brackets it with HPDF_Page_BeginText / HPDF_Page_EndText.
void PdfText(HPDF_Page page, const std::string& text, double x, double y, HPDF_Font font,
             double size, int alignment);
// PdfText inside its own text object.
void PdfTextLine(HPDF_Page page, const std::string& text, double x, double y, HPDF_Font font,
                 double size, int alignment);

// A horizontal line from x1 to x2 at layout y; the stroke colour returns to black.
void PdfRule(HPDF_Page page, double x1, double x2, double y, double red, double green, double blue,
             double width);

// Wraps text into the box from left to right whose top is at layout y top and
// which holds `lines` lines of 13 points. Returns top + 13 * lines.
double PdfTextBox(HPDF_Page page, double left, double top, double right, int lines,
                  const std::string& text, HPDF_Font font, double size, int alignment);

// The number of lines text needs at the given width in the page's current font.
int PdfLineCount(HPDF_Page page, const std::string& text, double width);

// The same wrapping, as the encoded bytes (PdfEncode) of each line (each line keeps
// the blanks and line break it ends with, so joining lines gives the text).
std::vector<std::string> PdfWrapLines(HPDF_Page page, const std::string& text, double width);

// PdfWrapLines that measures each text only once: the lines are kept by text,
// width and the page's current font, size and spacing (a program printed under
// several issues is wrapped once). For one document: fonts are told apart by
// their handles.
class PdfWrapCache {
public:
    const std::vector<std::string>& Wrap(HPDF_Page page, const std::string& text, double width);

private:
    struct Key {
        HPDF_Font font;
        HPDF_REAL size, charSpace, wordSpace;
        double width;
        std::string text;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const noexcept;
    };
    std::unordered_map<Key, std::vector<std::string>, KeyHash> wrapped_;
    std::vector<std::string> empty_;
};

// PdfTextBox for text that is already encoded (a run of PdfWrapLines lines).
double PdfTextBoxEncoded(HPDF_Page page, double left, double top, double right, int lines,
                         const std::string& encoded, HPDF_Font font, double size);

// Writes lines[first .. first + count) of PdfWrapLines output, the first with
// its baseline at layout y and each next one 13 points lower: the lines a
// text box shows, set out without measuring them again.
void PdfWriteLines(HPDF_Page page, double left, double y, const std::vector<std::string>& lines,
                   size_t first, size_t count, HPDF_Font font, double size);

// PdfWriteLines with a heading in front, in one text object: the heading is
// written at (left, layout y) in its own font and the lines follow 13 points
// apart below it. With no lines to write only the heading is written.
void PdfWriteHeadedLines(HPDF_Page page, double left, double y, const std::string& heading,
                         HPDF_Font headingFont, double headingSize,
                         const std::vector<std::string>& lines, size_t first, size_t count,
                         HPDF_Font font, double size);

// Sets font and size unless they are current already (every change is an
// operator in the page's content stream).
void PdfSetFont(HPDF_Page page, HPDF_Font font, double size);

// Width of UTF-8 text in a font and size, in points, without touching any
// page (no font operator is written).
double PdfFontTextWidth(HPDF_Font font, double size, std::string_view text);

// A one-line text such as a heading or a title, wrapped at blanks into lines
// no wider than width (a word wider than a line is cut between characters).
// The lines are UTF-8 for PdfText, without the blanks they were broken at.
// A text that fits comes back as one line, unchanged.
std::vector<std::string> PdfWrapTitle(HPDF_Font font, double size, const std::string& text,
                                      double width);

// Width of text in the given font and size, in points.
double PdfTextWidth(HPDF_Page page, const std::string& text, HPDF_Font font, double size);
