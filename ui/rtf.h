// A small RTF reader for the program's own history and release notes: plain
// paragraphs with bold, italic and underlined runs. Font tables, colour
// tables, pictures and other destinations are skipped.
#pragma once

#include <string>
#include <vector>

#include "app/toolkit/ez.h"

// Turns RTF text into styled runs (UTF-8). Text outside any group, unknown
// control words and skipped destinations produce nothing.
std::vector<EzTextRun> ParseRtf(const std::string& rtf);

// Plain text of runs, paragraphs separated by "\n" (for logs and tests).
std::string RunsToPlainText(const std::vector<EzTextRun>& runs);
