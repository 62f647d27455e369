#include "support/pdf_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

std::string Squash(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string PdfPlainText(const std::string& path) {
    return Capture("pdftotext -layout -enc UTF-8 '" + path + "' - 2>/dev/null");
}

std::vector<std::string> PdfPages(const std::string& path) {
    int status = 0;
    const std::string check = Capture("qpdf --check '" + path + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << check;
    const std::string text = PdfPlainText(path);
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff = text.find('\f'); ff != std::string::npos; ff = text.find('\f', start)) {
        pages.push_back(Squash(text.substr(start, ff - start)));
        start = ff + 1;
    }
    return pages;
}

bool Has(const std::string& page, const std::string& text) {
    return page.find(Squash(text)) != std::string::npos;
}

namespace {

double Attribute(const std::string& tag, const std::string& name) {
    const size_t at = tag.find(name + "=\"");
    return at == std::string::npos ? 0 : std::atof(tag.c_str() + at + name.size() + 2);
}

// The few entities pdftotext writes in its HTML.
std::string Unescape(std::string text) {
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [from, to] : entities) {
        for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + 1))
            text.replace(p, std::strlen(from), to);
    }
    return text;
}

}  // namespace

std::vector<PdfWord> PdfWordBoxes(const std::string& path) {
    const std::string html = Capture("pdftotext -bbox -enc UTF-8 '" + path + "' - 2>/dev/null");
    std::vector<PdfWord> words;
    int page = -1;
    size_t pos = 0;
    while (true) {
        const size_t tag = html.find('<', pos);
        if (tag == std::string::npos) break;
        const size_t close = html.find('>', tag);
        if (close == std::string::npos) break;
        const std::string head = html.substr(tag, close - tag + 1);
        pos = close + 1;
        if (head.rfind("<page", 0) == 0) {
            ++page;
        } else if (head.rfind("<word", 0) == 0) {
            const size_t end = html.find("</word>", pos);
            if (end == std::string::npos) break;
            words.push_back({page, Attribute(head, "xMin"), Attribute(head, "yMin"),
                             Attribute(head, "xMax"), Attribute(head, "yMax"),
                             Unescape(html.substr(pos, end - pos))});
            pos = end + 7;
        }
    }
    return words;
}

std::string PdfFontTable(const std::string& path) {
    return Capture("pdffonts '" + path + "' 2>/dev/null");
}
