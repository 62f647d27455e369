// Checking generated PDF files with the command-line tools qpdf and pdftotext.
#pragma once

#include <string>
#include <vector>

#include "support/shell.h"

// Runs of blanks and line breaks become one blank, so wrapped text compares as written.
std::string Squash(const std::string& text);
// The text pdftotext reads from the file, laid out as on its pages (form feeds
// between them).
std::string PdfPlainText(const std::string& path);
// Checks the file with qpdf (a failure is a test failure) and returns the squashed text
// of each page.
std::vector<std::string> PdfPages(const std::string& path);
// True when the page holds the text, ignoring how blanks and line breaks fall.
bool Has(const std::string& page, const std::string& text);

// One word as pdftotext -bbox places it: page (from 0) and box in points,
// y measured from the top of the page.
struct PdfWord {
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    std::string text;
};
std::vector<PdfWord> PdfWordBoxes(const std::string& path);
// The font table pdffonts prints for the file.
std::string PdfFontTable(const std::string& path);
