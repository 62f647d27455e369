#include "support/pdf_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

bool HaveTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Capture(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

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
