// Spell checker: word lists and the check of a text field.
//
// The word list is read once from "custom.dic" (when present) or "en_US.dic"
// in the program folder and written back to "en_US.dic". Lookups ignore letter
// case; additions keep the list in ascending byte order. The check of a field
// is a session that walks the unknown words of the field's text; the forms XS,
// XE and XD are a thin layer over the functions below.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

void LoadWordList();
// Takes the list from the text of a word-list file (one word a line).
void LoadWordListText(const std::string& data);
void SpellCheckControl(const std::string& form, int control);

// ---------------------------------------------------------------------------
// The word list
// ---------------------------------------------------------------------------
bool WordListLoaded();
// Entries in list order (file order until the first addition sorts them).
const std::vector<std::string>& WordList();
// Forgets the loaded list and its change flags (a later LoadWordList reads again).
void UnloadWordList();
// Whole-entry lookup ignoring (ASCII) letter case.
bool IsDictionaryWord(std::string_view word);
// Adds a word typed by the user: 1 when added, 0 when refused (with a message).
int AddDictionaryWord(const std::string& word);
// Deletes the word selected in the list box of XE or XD after confirmation.
void DeleteDictionaryWord(const std::string& form, int listBox);
// Removes the first entry equal to word (case-sensitive); false when absent.
bool RemoveDictionaryWord(const std::string& word);
// Fills the match list of XE or XD from the text of its word box.
void RefreshMatches(const std::string& form, int textBox);
// The entries listed for a typed prefix, in list order.
std::vector<std::string> MatchingWords(const std::string& text);
// Writes the list to "en_US.dic"; false (after a plain message) when it cannot.
bool SaveWordList();
// Change flags: "added" and "deleted" since the list was last written.
bool WordsAdded();
bool WordsDeleted();

// Up to 11 similar entries joined with "|" (always 11 places for a word of 2 to
// 20 bytes, empty places at the end); "" for shorter or longer words.
std::string SuggestWords(const std::string& word);
double WordSimilarity(std::string_view a, std::string_view b);

// "1,234"
std::string FormatThousands(int64_t n);

// ---------------------------------------------------------------------------
// The check of one text
// ---------------------------------------------------------------------------
// Words of a text as the checker splits it (separators and blanks removed).
std::vector<std::string> SplitCheckWords(std::string_view text);
// True for words that are never looked up: numbers, words starting with a
// number, words containing the digit 0.
bool SkippedWord(std::string_view word);

struct CheckStart {
    int wordCount = 0;
    std::vector<std::string> unknown;  // in text order, as they stand in the text
};
// Splits the text and collects the words the list does not know.
CheckStart CollectUnknownWords(std::string_view text);

// The running check (one at a time; exists while XS is open).
struct SpellSession {
    std::string form;  // form and text box being checked
    int control = 0;
    int wordCount = 0;
    std::vector<std::string> misspelled;
    size_t index = 0;      // current unknown word, counted from 1 (0: none yet)
    size_t searchPos = 0;  // byte offset in the text where the current word was found
    std::vector<std::string> ignore;
    bool dialogOpen = false;
};
SpellSession& CheckSession();

// Starts a walk over the given unknown words (the ignore list is emptied).
void BeginSession(SpellSession& s, const CheckStart& start);
// Moves to the next unknown word that is not ignored and finds it in the text
// from the search position on. False when the check is finished.
bool NextUnknownWord(SpellSession& s, std::string_view text);
// The current unknown word ("" before the first or after the last).
std::string CurrentUnknownWord(const SpellSession& s);
// Replaces the current word (and with all, every later occurrence, after which
// the word is ignored) by the trimmed replacement; returns the new text.
std::string ChangeCurrentWord(SpellSession& s, std::string text, std::string_view replacement,
                              bool all);
// Puts the current unknown word on the ignore list.
void IgnoreAllCurrent(SpellSession& s);
// Whole-word search used by the walk: the first occurrence of word at or after
// from that is bounded by separators or the ends of the text; npos when none.
size_t FindCheckedWord(std::string_view text, std::string_view word, size_t from);

// Control ids of the word box and match list of XE and XD (RefreshMatches
// fills the list that belongs to the box).
inline constexpr int kSpellWordBox = 105;
inline constexpr int kSpellMatchList = 115;
// Help context of the spell-check forms.
inline constexpr int kSpellHelpTopic = 490;
// Form sizes in character units.
inline constexpr double kSpellCheckWidth = 58, kSpellCheckHeight = 19.4;
inline constexpr double kSpellEditorWidth = 62, kSpellEditorHeight = 24;
inline constexpr double kSpellDeleteWidth = 52, kSpellDeleteHeight = 20;
