// Spell checker: the word list with its lookup index, suggestions, the walk
// over the unknown words of a text, and the start of a check from an editor.
#include "services/spell.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/base/app_state.h"
#include "app/base/fs.h"
#include "app/base/settings.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez.h"
#include "services/forms.h"
#include "ui/msgbox.h"
#include "ui/resources.h"

namespace {

// The process-wide word list. Alongside the entries it keeps two indexes that
// are rebuilt after every change: an open-addressing hash table of entry
// numbers keyed by the case-folded entry (for lookups ignoring case), and the
// entry numbers grouped by length (for suggestions).
struct WordListState {
    std::vector<std::string> words;
    bool loaded = false;
    bool added = false;
    bool deleted = false;
    bool sorted = false;          // true once an addition has sorted the list
    std::vector<uint32_t> slots;  // entry number + 1, 0 = empty slot
    std::vector<std::vector<uint32_t>> byLength;
};

WordListState& State() {
    static WordListState state;
    return state;
}

uint64_t HashBytes(std::string_view s) {
    uint64_t h = 1469598103934665603ull;
    for (char c : s) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    return h;
}

// Hash of the case-folded word, so that every case variant IEquals accepts
// lands on the same chain. ASCII words (nearly all) are folded in place.
uint64_t FoldedHash(std::string_view s) {
    uint64_t h = 1469598103934665603ull;
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return HashBytes(FoldCase(s));
        h ^= static_cast<unsigned char>((c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c);
        h *= 1099511628211ull;
    }
    return h;
}

void BuildIndex(WordListState& st) {
    size_t size = 16;
    while (size < st.words.size() * 2) size <<= 1;
    st.slots.assign(size, 0);
    st.byLength.clear();
    const size_t mask = size - 1;
    for (size_t i = 0; i < st.words.size(); ++i) {
        const std::string& w = st.words[i];
        if (st.byLength.size() <= w.size()) st.byLength.resize(w.size() + 1);
        st.byLength[w.size()].push_back(static_cast<uint32_t>(i));
        size_t slot = FoldedHash(w) & mask;
        while (true) {
            uint32_t e = st.slots[slot];
            if (e == 0) {
                st.slots[slot] = static_cast<uint32_t>(i + 1);
                break;
            }
            if (IEquals(st.words[e - 1], w)) break;  // a case variant already stands for it
            slot = (slot + 1) & mask;
        }
    }
    st.slots.shrink_to_fit();
    for (auto& bucket : st.byLength) bucket.shrink_to_fit();
}

// Separators of the checker's word splitting (the apostrophe is not one, so
// contractions stay whole).
bool IsSeparator(char c) {
    switch (c) {
        case ' ':
        case '\t':
        case '\r':
        case '\n':
        case '"':
        case '-':
        case '+':
        case '.':
        case '@':
        case '/':
        case '#':
        case '&':
        case '!':
        case '$':
        case '%':
        case '^':
        case '*':
        case '(':
        case ')':
        case '_':
        case '=':
        case '[':
        case ']':
        case '{':
        case '}':
        case '|':
        case '\\':
        case ':':
        case ';':
        case '<':
        case '>':
        case '?':
        case ',':
            return true;
        default:
            return false;
    }
}

// Characters refused in a dictionary word. Tab, CR and LF are refused too: a
// word holding a line end would turn into two entries when the file is read.
bool IsInvalidWordChar(char c) {
    static constexpr std::string_view kInvalid = " !@#$%^&*()_-+=[]{}|\\:;<>?/.,\"\t\r\n";
    return kInvalid.find(c) != std::string_view::npos;
}

bool InIgnoreList(const SpellSession& s, std::string_view word) {
    return std::any_of(s.ignore.begin(), s.ignore.end(),
                       [&](const std::string& w) { return IEquals(w, word); });
}

// Lines of a word-list file: LF or CR LF ends, a UTF-8 byte-order mark at the
// start is dropped, the end of the last line needs no line end.
std::vector<std::string> SplitLines(const std::string& data) {
    std::vector<std::string> lines;
    size_t pos = data.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    lines.reserve(static_cast<size_t>(std::count(data.begin(), data.end(), '\n')) + 1);
    while (pos < data.size()) {
        size_t end = data.find('\n', pos);
        if (end == std::string::npos) end = data.size();
        size_t len = end - pos;
        if (len > 0 && data[pos + len - 1] == '\r') --len;
        lines.emplace_back(data, pos, len);
        pos = end + 1;
    }
    return lines;
}

void Message(const std::string& title, const std::string& text1, const std::string& text2 = "") {
    DgMsgOk(title, text1, text2);
}

// Whether a control is a text box (single- or multi-line).
bool IsTextBox(const std::string& form, int control) {
    EzKind kind{};
    if (control <= 0 || !EZ_CONTROLKIND(form, control, kind)) return false;
    return kind == EzKind::Text;
}

}  // namespace

// ---------------------------------------------------------------------------
// The word list
// ---------------------------------------------------------------------------

bool WordListLoaded() {
    return State().loaded;
}
const std::vector<std::string>& WordList() {
    return State().words;
}
bool WordsAdded() {
    return State().added;
}
bool WordsDeleted() {
    return State().deleted;
}

void UnloadWordList() {
    State() = WordListState{};
}

void LoadWordList() {
    WordListState& st = State();
    if (st.loaded) return;
    std::string path = Paths().appFolder + "custom.dic";
    if (!PathExists(path)) {
        path = Paths().appFolder + "en_US.dic";
        // The list as shipped, until the user's first change writes it here.
        if (!PathExists(path)) path = FindResource("en_US.dic");
        if (path.empty()) return;  // no list: checking stays off, silently
    }
    if (path.empty()) return;  // no list: checking stays off, silently
    std::string data;
    if (!ReadWholeFile(path, data)) {
        Message("Spell Check Disabled", "Required dictionary file " + path + " not present.{f6}");
        return;
    }
    LoadWordListText(data);
}

void LoadWordListText(const std::string& data) {
    WordListState& st = State();
    st.words = SplitLines(data);
    st.sorted = false;
    st.added = st.deleted = false;
    BuildIndex(st);
    st.loaded = true;
}

bool IsDictionaryWord(std::string_view word) {
    const WordListState& st = State();
    if (st.slots.empty()) return false;
    const size_t mask = st.slots.size() - 1;
    size_t slot = FoldedHash(word) & mask;
    while (uint32_t e = st.slots[slot]) {
        if (IEquals(st.words[e - 1], word)) return true;
        slot = (slot + 1) & mask;
    }
    return false;
}

int AddDictionaryWord(const std::string& typed) {
    const std::string word = Trim(typed);
    if (word.empty()) return 0;
    if (std::any_of(word.begin(), word.end(), IsInvalidWordChar)) {
        Message("Invalid Word",
                "Spaces or punctuation of any kind are not permitted in dictionary words.{f6}",
                "Each word in the dictionary must consist of text only.{f6}");
        return 0;
    }
    WordListState& st = State();
    if (std::find(st.words.begin(), st.words.end(), word) != st.words.end()) {
        Message("Duplicate Word", "The word \"" + word + "\" is already in the dictionary.{f6}");
        return 0;
    }
    // The list is sorted after every addition; once sorted, inserting at the
    // word's place gives the same order without sorting again.
    if (st.sorted) {
        st.words.insert(std::upper_bound(st.words.begin(), st.words.end(), word), word);
    } else {
        st.words.push_back(word);
        std::sort(st.words.begin(), st.words.end());
        st.sorted = true;
    }
    BuildIndex(st);
    st.added = true;
    return 1;
}

bool RemoveDictionaryWord(const std::string& word) {
    WordListState& st = State();
    auto it = std::find(st.words.begin(), st.words.end(), word);
    if (it == st.words.end()) return false;
    st.words.erase(it);
    BuildIndex(st);
    st.deleted = true;
    return true;
}

void DeleteDictionaryWord(const std::string& form, int listBox) {
    const int sel = EZ_SELECTEDITEM(form, listBox);
    if (sel < 0) return;
    const std::string word = EZ_ITEMTEXT(form, listBox, sel);
    if (word.empty()) return;
    int answer = DgMsgAsk(
        "Confirm Word Deletion", "Delete the word \"" + word + "\" from the dictionary?{f6}",
        "Are you SURE? This action cannot be reversed.{f10}", "", "*{G,f7}|&Yes|&No", 2);
    if (answer != 1) return;
    if (!RemoveDictionaryWord(word)) {
        Message("Deletion Error", "The selected word is not in the dictionary.{f6}");
        return;
    }
    RefreshMatches(form, kSpellWordBox);
}

std::vector<std::string> MatchingWords(const std::string& typed) {
    std::vector<std::string> out;
    const std::string text = Trim(typed);
    if (text.empty()) return out;
    const size_t n = text.size();
    // Entries are compared by their first n bytes; the scan ends at the first
    // entry that sorts after the text (in a list still in file order that may
    // end it early, as the list is only sorted by an addition).
    for (const std::string& w : State().words) {
        const int c = std::string_view(w).substr(0, n).compare(text);
        if (c == 0)
            out.push_back(w);
        else if (c > 0)
            break;
    }
    return out;
}

void RefreshMatches(const std::string& form, int textBox) {
    const int list = textBox - kSpellWordBox + kSpellMatchList;
    const std::vector<std::string> matches = MatchingWords(EZ_GETTEXT(form, textBox));
    EZ_REDRAW(form, list, false);
    EZ_CLEARITEMS(form, list);
    for (const std::string& w : matches) EZ_ADDITEM(form, list, w);
    EZ_REDRAW(form, list, true);
}

bool SaveWordList() {
    WordListState& st = State();
    const std::string path = Paths().appFolder + "en_US.dic";
    // Written to a temporary file beside it and renamed over it, so that a
    // failed write never leaves a half-written list behind.
    AtomicFile file(path);
    std::string buf;
    buf.reserve(1 << 16);
    for (const std::string& w : st.words) {
        buf += w;
        buf += "\r\n";
        if (buf.size() >= (1 << 16) - 64) {
            if (!file.Write(buf)) break;
            buf.clear();
        }
    }
    file.Write(buf);
    file.Commit();
    const int err = file.error();
    if (err) {
        EZ_MSGBOX(EZ_CURRENTFORM(), "Word file update error: " + std::to_string(err), kProgramName);
        return false;
    }
    st.added = false;
    st.deleted = false;
    return true;
}

// ---------------------------------------------------------------------------
// Suggestions
// ---------------------------------------------------------------------------

double WordSimilarity(std::string_view a, std::string_view b) {
    if (Trim(a).empty()) return 0;
    // S is the shorter string and L the longer; with equal lengths L is a.
    const std::string_view shorter = b.size() <= a.size() ? b : a;
    const std::string_view longer = b.size() <= a.size() ? a : b;
    double total = 0;
    for (size_t i = 0; i < shorter.size(); ++i) {
        if (shorter[i] == longer[i])
            total += i == 0 ? 2 : 1;
        else if (i + 1 < longer.size() && longer[i + 1] == shorter[i])
            total += 0.99;
    }
    return 100.0 * 2.0 * total / static_cast<double>(a.size() + b.size());
}

std::string SuggestWords(const std::string& word) {
    const size_t chars = CharCount(word);  // "é" is one letter, not two bytes
    if (chars < 2 || chars > 20) return "";
    const WordListState& st = State();
    struct Candidate {
        double score;
        uint32_t index;
    };
    // Best first; equal scores in list order.
    auto better = [](const Candidate& x, const Candidate& y) {
        return x.score != y.score ? x.score > y.score : x.index < y.index;
    };
    constexpr size_t kPlaces = 11;
    constexpr double kThreshold = 0.75;
    // An entry of length n can score at most 200 * (min(len, n) + 1) / (len + n):
    // 2 for the first position and 1 for each further aligned one. Lengths are
    // visited from the highest bound down, and a length whose bound is below the
    // 11th score found so far cannot place an entry.
    const size_t len = word.size();
    std::vector<std::pair<double, size_t>> lengths;
    for (size_t n = 0; n < st.byLength.size(); ++n) {
        if (st.byLength[n].empty()) continue;
        const size_t m = std::min(len, n);
        const double bound = m == 0 ? 0 : 200.0 * static_cast<double>(m + 1) / double(len + n);
        lengths.emplace_back(bound, n);
    }
    std::sort(lengths.begin(), lengths.end(),
              [](const auto& x, const auto& y) { return x.first > y.first; });
    std::vector<Candidate> best;  // at most 11, kept sorted
    best.reserve(kPlaces + 1);
    for (const auto& [bound, n] : lengths) {
        if (bound < kThreshold) break;
        if (best.size() == kPlaces && bound + 1e-9 < best.back().score) break;
        for (uint32_t i : st.byLength[n]) {
            const double score = WordSimilarity(word, st.words[i]);
            if (score < kThreshold) continue;
            Candidate c{score, i};
            if (best.size() == kPlaces && !better(c, best.back())) continue;
            best.insert(std::upper_bound(best.begin(), best.end(), c, better), c);
            if (best.size() > kPlaces) best.pop_back();
        }
    }
    std::string out;
    for (size_t k = 0; k < kPlaces; ++k) {
        if (k > 0) out += '|';
        if (k < best.size()) out += st.words[best[k].index];
    }
    return out;
}

std::string FormatThousands(int64_t n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    std::string out;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return n < 0 ? "-" + out : out;
}

// ---------------------------------------------------------------------------
// The check of one text
// ---------------------------------------------------------------------------

std::vector<std::string> SplitCheckWords(std::string_view text) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsSeparator(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !IsSeparator(text[i])) ++i;
        if (i > start) words.emplace_back(text.substr(start, i - start));
    }
    return words;
}

bool SkippedWord(std::string_view word) {
    return Val(word) != 0 || word.find('0') != std::string_view::npos || Trim(word).empty();
}

CheckStart CollectUnknownWords(std::string_view text) {
    CheckStart out;
    const std::vector<std::string> words = SplitCheckWords(text);
    out.wordCount = static_cast<int>(words.size());
    for (const std::string& w : words) {
        if (SkippedWord(w)) continue;
        // Quotes and apostrophes around a word are not part of it; a word made
        // of nothing else is not looked up at all.
        const std::string bare = TrimChars(w, "\"'");
        if (bare.empty() || IsDictionaryWord(bare)) continue;
        out.unknown.push_back(w);
    }
    return out;
}

SpellSession& CheckSession() {
    static SpellSession session;
    return session;
}

void BeginSession(SpellSession& s, const CheckStart& start) {
    s.wordCount = start.wordCount;
    s.misspelled = start.unknown;
    s.index = 0;
    s.searchPos = 0;
    s.ignore.clear();
}

size_t FindCheckedWord(std::string_view text, std::string_view word, size_t from) {
    if (word.empty()) return std::string_view::npos;
    size_t pos = text.find(word, from);
    while (pos != std::string_view::npos) {
        const size_t end = pos + word.size();
        const bool startOk = pos == 0 || IsSeparator(text[pos - 1]);
        const bool endOk = end == text.size() || IsSeparator(text[end]);
        if (startOk && endOk) return pos;
        pos = text.find(word, pos + 1);
    }
    return pos;
}

bool NextUnknownWord(SpellSession& s, std::string_view text) {
    if (s.index >= s.misspelled.size()) return false;
    ++s.index;
    while (InIgnoreList(s, s.misspelled[s.index - 1])) {
        if (s.index >= s.misspelled.size()) return false;
        ++s.index;
    }
    const size_t pos = FindCheckedWord(text, s.misspelled[s.index - 1], s.searchPos);
    if (pos == std::string_view::npos) return false;
    s.searchPos = pos;
    return true;
}

std::string CurrentUnknownWord(const SpellSession& s) {
    if (s.index == 0 || s.index > s.misspelled.size()) return "";
    return s.misspelled[s.index - 1];
}

std::string ChangeCurrentWord(SpellSession& s, std::string text, std::string_view replacement,
                              bool all) {
    const std::string word = CurrentUnknownWord(s);
    const std::string rep = CutChars(Trim(replacement), 49);
    if (rep.empty() || word.empty()) return text;
    // The text may have been edited since the word was found: it is replaced
    // only where it still stands.
    size_t pos = s.searchPos;
    if (text.compare(pos < text.size() ? pos : text.size(), word.size(), word) != 0)
        pos = FindCheckedWord(text, word, s.searchPos);
    if (pos != std::string::npos) {
        text.replace(pos, word.size(), rep);
        s.searchPos = pos;
        if (all) {
            size_t from = pos + rep.size();
            while ((pos = FindCheckedWord(text, word, from)) != std::string::npos) {
                text.replace(pos, word.size(), rep);
                from = pos + rep.size();
            }
        }
    }
    if (all) s.ignore.push_back(word);
    return text;
}

void IgnoreAllCurrent(SpellSession& s) {
    const std::string word = CurrentUnknownWord(s);
    if (!word.empty()) s.ignore.push_back(word);
}

// ---------------------------------------------------------------------------
// Starting a check from an editor (F7)
// ---------------------------------------------------------------------------

void SpellCheckControl(const std::string& form, int control) {
    if (!State().loaded) {
        Message("Spell Checking Disabled",
                "Spell check not initialized due to missing dictionary file.{f6}");
        return;
    }
    if (!IsTextBox(form, control)) return;
    SpellSession& s = CheckSession();
    // A check already running ends first (its additions are written).
    if (s.dialogOpen) EZ_UNLOADFORM("XS");
    s.form = form;
    s.control = control;
    s.misspelled.clear();
    const CheckStart start = CollectUnknownWords(EZ_GETTEXT(form, control));
    if (start.wordCount == 0) {
        Message("No Text Found", "There's nothing to spell check here.{f6}");
        return;
    }
    if (start.unknown.empty()) {
        Message("Spell Check Complete", "No spelling errors found.{f6}",
                FormatThousands(start.wordCount) + " words checked.{f6}");
        return;
    }
    BeginSession(s, start);
    s.dialogOpen = true;
    OpenForm(kSpellCheckForm, form);
}
