// Small text helpers shared by every module. All text is UTF-8 std::string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Numeric value of a text: its leading number after leading blanks, 0 when
// there is none ("12abc" -> 12, "abc" -> 0, "-7" -> -7).
int64_t Val(std::string_view text);
// As Val, but a decimal fraction is read too ("12.5x" -> 12.5).
double ValD(std::string_view text);
std::string Trim(std::string_view text);  // blanks (space, tab) at both ends
std::string TrimChars(std::string_view text, std::string_view chars);
std::vector<std::string> Split(std::string_view text, std::string_view sep);  // "" -> {""}
std::string Join(const std::vector<std::string>& parts, std::string_view sep);
std::string ReplaceAll(std::string text, std::string_view from, std::string_view to);
// Upper case by Unicode's rules ("cjé-fm" -> "CJÉ-FM", "straße" -> "STRASSE").
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);  // ASCII letters only (SQL names, settings keys)
// Unicode full case folding: the form two texts are compared in when letter
// case does not matter ("ÉDUCATION" and "éducation" fold alike, "ß" folds
// to "ss"). Bytes that are not valid UTF-8 are kept as they are.
std::string FoldCase(std::string_view text);
// Unicode simple case folding: every character folds to one character, so
// "ß" and "İ" stay as they are ("ẞ" folds to "ß"). The form list views sort
// in, which has always put "Straße" after "Strasse".
std::string FoldCaseSimple(std::string_view text);
// Equal ignoring letter case by Unicode's rules (compares the folded forms).
bool IEquals(std::string_view a, std::string_view b);
// <0, 0, >0 as the folded forms compare byte by byte: a total order that
// ignores letter case, used as the database's case-blind collation.
int CompareIgnoringCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view text, std::string_view prefix);
bool EndsWith(std::string_view text, std::string_view suffix);
std::string ZeroPad(int64_t value, int width);
// UTF-8 aware lengths and cuts: a multi-byte character is never split.
size_t CharCount(std::string_view text);                       // characters, not bytes
std::string CutChars(std::string_view text, size_t maxChars);  // the first maxChars characters
std::string CutBytes(std::string_view text, size_t maxBytes);  // at most maxBytes bytes
// The one UTF-8 decoder: the character starting at byte pos and its length in
// bytes. Length 0 (and 0 returned) when the bytes there are not well-formed
// UTF-8: a stray continuation byte, a lead byte that starts nothing (0xF8 and
// above), a sequence cut short by the end or by a byte that does not continue
// it, an overlong form (0xC0 0xAF for "/"), a surrogate (U+D800 to U+DFFF) or
// a code point above U+10FFFF. A NUL byte is a character like any other.
char32_t DecodeUtf8(std::string_view text, size_t pos, size_t& length);
// How many bytes at pos a reader replacing malformed UTF-8 takes as one bad
// character: the byte there with as many continuation bytes after it as its
// bit pattern announces, or fewer where one is missing (1 for a stray byte).
size_t MalformedUtf8Length(std::string_view text, size_t pos);
// True when the whole of text is well-formed UTF-8 by DecodeUtf8's rule.
bool IsValidUtf8(std::string_view text);
// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
