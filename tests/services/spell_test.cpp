// The spell checker's logic without windows: word lists on disk, lookup,
// splitting, the walk over unknown words, suggestions and the dictionary
// changes. Prompts are answered through the message hook.
#include "services/spell.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/text_util.h"
#include "app/toolkit/ez_testing.h"
#include "support/prompt_queue.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

namespace {

namespace fs = std::filesystem;

class SpellTest : public ::testing::Test {
protected:
    void SetUp() override { UnloadWordList(); }
    void TearDown() override { UnloadWordList(); }

    std::string Dic() const { return folder.path() + "en_US.dic"; }
    std::string Custom() const { return folder.path() + "custom.dic"; }
    // Writes the words with CR LF line ends and loads them.
    void LoadWords(const std::vector<std::string>& words) {
        WriteFileText(Dic(), Join(words, "\r\n") + "\r\n");
        UnloadWordList();
        LoadWordList();
        ASSERT_TRUE(WordListLoaded());
    }

    TempProgramFolder folder;
};

// ---------------------------------------------------------------------------
// Splitting and the words that are never looked up
// ---------------------------------------------------------------------------

TEST(SpellSplit, SeparatorsApostrophesAndEnds) {
    struct Case {
        std::string text;
        std::vector<std::string> words;
    };
    const std::vector<Case> cases = {
        {"don't stop", {"don't", "stop"}},
        {"e-mail", {"e", "mail"}},
        {"(word)", {"word"}},
        {"  a,,b  ", {"a", "b"}},
        {"say \"hi\" now", {"say", "hi", "now"}},
        {"line\r\nnext\ttab", {"line", "next", "tab"}},
        {"news@wxyz.com/tips#1", {"news", "wxyz", "com", "tips", "1"}},
        {"a+b=c_d*e^f%g$h!i&j", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
        {"[x]{y}|z\\w:v;u<t>s?r", {"x", "y", "z", "w", "v", "u", "t", "s", "r"}},
        {"'tis the children's", {"'tis", "the", "children's"}},
        {"caf\xC3\xA9 na\xC3\xAFve", {"caf\xC3\xA9", "na\xC3\xAFve"}},
        {"", {}},
        {" -- ... ", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.words, SplitCheckWords(c.text)) << c.text;
}

TEST(SpellSplit, NumbersAndWordsWithZeroAreSkipped) {
    struct Case {
        std::string word;
        bool skipped;
    };
    const std::vector<Case> cases =
        {
            {"2019", true}, {"3rd", true}, {"10th", true},  {"b0b", true},
            {"0", true},    {"", true},    {"word", false}, {"don't", false},
            {"e5", false},  {"a1", false}, {"O", false},  // the letter, not the digit
        };
    for (const Case& c : cases) EXPECT_EQ(c.skipped, SkippedWord(c.word)) << c.word;
}

TEST(SpellFormat, ThousandsSeparators) {
    const std::vector<std::pair<int64_t, std::string>> cases = {
        {0, "0"},          {7, "7"},          {999, "999"},        {1000, "1,000"},
        {1234, "1,234"},   {99999, "99,999"}, {123456, "123,456"}, {1234567, "1,234,567"},
        {-4321, "-4,321"},
    };
    for (const auto& [n, text] : cases) EXPECT_EQ(text, FormatThousands(n));
}

// ---------------------------------------------------------------------------
// Similarity and suggestions
// ---------------------------------------------------------------------------

TEST(SpellSimilarity, HandComputedValues) {
    struct Case {
        std::string a, b;
        double expected;
    };
    // 200 * total / (len a + len b): 2 for a match at the first position, 1
    // for a later one, 0.99 when the longer string's next byte equals the
    // shorter one's byte; with equal lengths a is the longer one.
    const std::vector<Case> cases = {
        {"abc", "abc", 200.0 * 4 / 6},
        {"abc", "axc", 200.0 * 3 / 6},
        {"abc", "axb", 200.0 * 2 / 6},     // a longer: no shifted match
        {"axb", "abc", 200.0 * 2.99 / 6},  // a longer: b at 1 matches a's next byte
        {"teh", "the", 200.0 * 2.99 / 6},
        {"ab", "abcd", 200.0 * 3 / 6},
        {"abcd", "ab", 200.0 * 3 / 6},
        {"ab", "ba", 200.0 * 0.99 / 4},
        {"A", "a", 0},  // case-sensitive
        {"", "abc", 0},
        {"  ", "a", 0},
        {"abc", "", 0},
        {"xyz", "abc", 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(c.expected, WordSimilarity(c.a, c.b), 1e-9) << c.a << " / " << c.b;
}

TEST_F(SpellTest, SuggestionsRankByScoreThenListOrder) {
    LoadWords({"cat", "ten", "xyz", "the", "tea", "teh's"});
    // ten, tea and teh's score 100 (in list order), the 99.67; cat and xyz 0.
    EXPECT_EQ("ten|tea|teh's|the|||||||", SuggestWords("teh"));
    const std::string none = SuggestWords("qq");
    EXPECT_EQ(std::string(10, '|'), none);
}

TEST_F(SpellTest, NoSuggestionsForOneOrTwentyOneCharacters) {
    LoadWords({"a", "ab", "abcdefghijklmnopqrst", "abcdefghijklmnopqrstu"});
    EXPECT_EQ("", SuggestWords("a"));
    EXPECT_EQ("", SuggestWords("abcdefghijklmnopqrstu"));
    EXPECT_EQ("ab|a|abcdefghijklmnopqrst|abcdefghijklmnopqrstu|||||||", SuggestWords("ab"));
    EXPECT_EQ("abcdefghijklmnopqrst", Split(SuggestWords("abcdefghijklmnopqrst"), "|")[0]);
}

// The per-length pruning must give exactly what scoring every entry gives.
TEST_F(SpellTest, SuggestionsEqualAFullScanOfTheRealList) {
    const std::string built = BuiltProgramFolder() + "en_US.dic";
    ASSERT_TRUE(fs::exists(built)) << built;
    fs::copy_file(built, Dic());
    LoadWordList();
    ASSERT_TRUE(WordListLoaded());
    const std::vector<std::string>& words = WordList();
    ASSERT_GT(words.size(), 90000u);
    for (const std::string& w : {"recieve", "teh", "Missisippi", "xq", "comunity", "adress's",
                                 "abcdefghijklmnopqrst", "goverment"}) {
        std::vector<std::pair<double, size_t>> all;
        for (size_t i = 0; i < words.size(); ++i) {
            double s = WordSimilarity(w, words[i]);
            if (s >= 0.75) all.emplace_back(s, i);
        }
        std::stable_sort(all.begin(), all.end(),
                         [](const auto& x, const auto& y) { return x.first > y.first; });
        std::vector<std::string> expected;
        for (size_t k = 0; k < 11; ++k)
            expected.push_back(k < all.size() ? words[all[k].second] : "");
        EXPECT_EQ(Join(expected, "|"), SuggestWords(w)) << w;
    }
    EXPECT_NE(std::string::npos, ("|" + SuggestWords("recieve") + "|").find("|receive|"));
}

TEST_F(SpellTest, LookupAndIgnoreListFollowUnicodeLetterCase) {
    LoadWords({"éclair", "Łódź", "Straße", "apple"});
    for (const char* word : {"ÉCLAIR", "Éclair", "éclair", "ŁÓDŹ", "łódź", "STRASSE", "APPLE"})
        EXPECT_TRUE(IsDictionaryWord(word)) << word;
    EXPECT_FALSE(IsDictionaryWord("eclair"));
    const CheckStart r = CollectUnknownWords("ÉCLAIR ŁÓDŹ Zürich ZÜRICH");
    EXPECT_EQ((std::vector<std::string>{"Zürich", "ZÜRICH"}), r.unknown);
    // "Ignore All" on one case variant skips the others.
    SpellSession s;
    BeginSession(s, r);
    const std::string text = "Zürich ZÜRICH";
    ASSERT_TRUE(NextUnknownWord(s, text));
    IgnoreAllCurrent(s);
    EXPECT_FALSE(NextUnknownWord(s, text));
}

TEST_F(SpellTest, SuggestionLengthsCountCharacters) {
    // 20 letters, 30 bytes: still suggested; 21 letters are not.
    const std::string twenty = "ééééééééééabcdefghij";
    LoadWords({twenty, "éé"});
    EXPECT_EQ(twenty, Split(SuggestWords(twenty), "|")[0]);
    EXPECT_EQ("", SuggestWords(twenty + "k"));
    EXPECT_EQ("", SuggestWords("é"));
    EXPECT_EQ("éé", Split(SuggestWords("éé"), "|")[0]);
}

// The build writes the shipped list in byte order, which the editor's
// prefix scan relies on from the first start on.
TEST_F(SpellTest, TheShippedListIsInByteOrderAndEveryPrefixIsFound) {
    const std::string built = BuiltProgramFolder() + "en_US.dic";
    ASSERT_TRUE(fs::exists(built)) << built;
    fs::copy_file(built, Dic());
    LoadWordList();
    ASSERT_TRUE(WordListLoaded());
    const std::vector<std::string>& words = WordList();
    const auto disorder = std::is_sorted_until(words.begin(), words.end());
    EXPECT_EQ(disorder, words.end()) << "first out of order: " << *disorder;
    for (const char* prefix : {"zebra", "omega", "the", "e", "AA"}) {
        const std::vector<std::string> found = MatchingWords(prefix);
        const auto expected = static_cast<size_t>(
            std::count_if(words.begin(), words.end(),
                          [&](const std::string& w) { return StartsWith(w, prefix); }));
        EXPECT_GT(found.size(), 0u) << prefix;
        EXPECT_EQ(expected, found.size()) << prefix;
    }
    const std::vector<std::string> zebra = MatchingWords("zebra");
    EXPECT_NE(std::find(zebra.begin(), zebra.end(), "zebra"), zebra.end());
}

// ---------------------------------------------------------------------------
// Word lists on disk
// ---------------------------------------------------------------------------

TEST_F(SpellTest, ReadsCrLfAndLfLinesAndADroppedLastLineEnd) {
    WriteFileText(Dic(),
                  "\xEF\xBB\xBF"
                  "apple\r\nBanana\ncherry\r\n\r\ndate");
    LoadWordList();
    ASSERT_TRUE(WordListLoaded());
    EXPECT_EQ((std::vector<std::string>{"apple", "Banana", "cherry", "", "date"}), WordList());
    EXPECT_TRUE(IsDictionaryWord("APPLE"));
    EXPECT_TRUE(IsDictionaryWord("banana"));
    EXPECT_TRUE(IsDictionaryWord("Date"));
    EXPECT_FALSE(IsDictionaryWord("cherry\r"));
    EXPECT_FALSE(IsDictionaryWord("apples"));
}

TEST_F(SpellTest, LoadingIsOnceAndSilentWithoutAFile) {
    PromptQueue prompts;
    LoadWordList();
    EXPECT_FALSE(WordListLoaded());
    EXPECT_TRUE(prompts.seen.empty());
    WriteFileText(Dic(), "one\r\n");
    LoadWordList();
    ASSERT_TRUE(WordListLoaded());
    WriteFileText(Dic(), "two\r\n");
    LoadWordList();  // already loaded: not read again
    EXPECT_EQ(std::vector<std::string>{"one"}, WordList());
}

TEST_F(SpellTest, AnUnreadableFileDisablesChecking) {
    PromptQueue prompts;
    fs::create_directories(Dic());  // a folder where the file should be
    prompts.Expect("Spell Check Disabled");
    LoadWordList();
    EXPECT_FALSE(WordListLoaded());
    ASSERT_EQ(std::vector<std::string>{"Spell Check Disabled"}, prompts.Titles());
    EXPECT_EQ("Required dictionary file " + Dic() + " not present.{f6}", prompts.seen[0].text1);
    prompts.Expect("Spell Checking Disabled");
    SpellCheckControl("PD", 140);
    EXPECT_EQ("Spell Checking Disabled", prompts.seen.back().title);
}

TEST_F(SpellTest, CustomListIsReadButWritesGoToTheMainList) {
    WriteFileText(Dic(), "main\r\n");
    WriteFileText(Custom(), "zeta\nalpha\n");
    LoadWordList();
    EXPECT_EQ((std::vector<std::string>{"zeta", "alpha"}), WordList());
    EXPECT_FALSE(IsDictionaryWord("main"));
    EXPECT_EQ(1, AddDictionaryWord("beta"));
    EXPECT_TRUE(WordsAdded());
    ASSERT_TRUE(SaveWordList());
    EXPECT_FALSE(WordsAdded());
    EXPECT_EQ("alpha\r\nbeta\r\nzeta\r\n", ReadFileText(Dic()));
    EXPECT_EQ("zeta\nalpha\n", ReadFileText(Custom()));
}

TEST_F(SpellTest, AFailedWriteKeepsTheListAndTheOldFile) {
    LoadWords({"one", "two"});
    ASSERT_EQ(1, AddDictionaryWord("three"));
    // A non-empty folder in place of the file: the rename over it fails.
    fs::remove(Dic());
    fs::create_directories(Dic() + "/inside");
    EXPECT_FALSE(SaveWordList());
    // The failure is told ("Word file update error: ..."), not passed over.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"message box \"Vantrel\""});
    EXPECT_EQ((std::vector<std::string>{"one", "three", "two"}), WordList());
    EXPECT_TRUE(WordsAdded());  // still to be written
    int leftovers = 0;
    for (const auto& e : fs::directory_iterator(folder.path()))
        if (e.path().filename().string().rfind("en_US.dic.", 0) == 0) ++leftovers;
    EXPECT_EQ(0, leftovers);
    fs::remove_all(Dic());
    ASSERT_TRUE(SaveWordList());
    EXPECT_EQ("one\r\nthree\r\ntwo\r\n", ReadFileText(Dic()));
}

TEST_F(SpellTest, AWriteIntoAMissingFolderFails) {
    LoadWords({"one"});
    SetAppFolder(folder.path() + "gone/");
    EXPECT_FALSE(SaveWordList());
    EXPECT_EQ(EZ_TAKEUNSHOWN(), std::vector<std::string>{"message box \"Vantrel\""});
    SetAppFolder(folder.path());
    EXPECT_EQ(std::vector<std::string>{"one"}, WordList());
}

// ---------------------------------------------------------------------------
// Adding, deleting and matching
// ---------------------------------------------------------------------------

TEST_F(SpellTest, AdditionsRefusePunctuationAndExactDuplicates) {
    LoadWords({"cat", "dog"});
    PromptQueue prompts;
    for (const std::string& bad :
         {"e-mail", "two words", "semi;colon", "quote\"d", "dot.", "tab\there", "line\nend"}) {
        prompts.seen.clear();
        prompts.Expect("Invalid Word");
        EXPECT_EQ(0, AddDictionaryWord(bad)) << bad;
        ASSERT_EQ(std::vector<std::string>{"Invalid Word"}, prompts.Titles()) << bad;
    }
    EXPECT_EQ("Each word in the dictionary must consist of text only.{f6}", prompts.seen[0].text2);
    prompts.seen.clear();
    prompts.Expect("Duplicate Word");
    EXPECT_EQ(0, AddDictionaryWord(" cat "));
    ASSERT_EQ(std::vector<std::string>{"Duplicate Word"}, prompts.Titles());
    EXPECT_EQ("The word \"cat\" is already in the dictionary.{f6}", prompts.seen[0].text1);
    EXPECT_EQ(0, AddDictionaryWord("   "));
    EXPECT_FALSE(WordsAdded());
    EXPECT_EQ((std::vector<std::string>{"cat", "dog"}), WordList());

    // A capitalised form of a known word is a new entry; the list is sorted in
    // byte order (capitals first).
    prompts.seen.clear();
    EXPECT_EQ(1, AddDictionaryWord("Cat"));
    EXPECT_EQ(1, AddDictionaryWord("don't"));
    EXPECT_EQ(1, AddDictionaryWord("Zebra"));
    EXPECT_TRUE(prompts.seen.empty());
    EXPECT_EQ((std::vector<std::string>{"Cat", "Zebra", "cat", "dog", "don't"}), WordList());
    EXPECT_TRUE(IsDictionaryWord("ZEBRA"));
    EXPECT_TRUE(WordsAdded());
}

TEST_F(SpellTest, DeletionsTakeTheExactEntryIncludingTheFirst) {
    LoadWords({"apple", "Apple", "pear"});
    EXPECT_TRUE(RemoveDictionaryWord("apple"));
    EXPECT_TRUE(WordsDeleted());
    EXPECT_EQ((std::vector<std::string>{"Apple", "pear"}), WordList());
    EXPECT_TRUE(IsDictionaryWord("apple"));  // the capitalised entry still stands for it
    EXPECT_TRUE(RemoveDictionaryWord("Apple"));
    EXPECT_FALSE(IsDictionaryWord("apple"));
    EXPECT_FALSE(RemoveDictionaryWord("peaR"));
    ASSERT_TRUE(SaveWordList());
    EXPECT_FALSE(WordsDeleted());
    EXPECT_EQ("pear\r\n", ReadFileText(Dic()));
}

TEST_F(SpellTest, MatchesScanUntilAnEntrySortsAfterTheText) {
    // In file order the scan may stop early: "b" sorts after "ap".
    LoadWords({"b", "apple", "apricot", "ape"});
    EXPECT_TRUE(MatchingWords("ap").empty());
    EXPECT_TRUE(MatchingWords("").empty());
    EXPECT_TRUE(MatchingWords("  ").empty());
    EXPECT_EQ(std::vector<std::string>{"b"}, MatchingWords(" b "));
    // An addition sorts the list and every match is found.
    ASSERT_EQ(1, AddDictionaryWord("Apex"));
    EXPECT_EQ((std::vector<std::string>{"ape", "apple", "apricot"}), MatchingWords("ap"));
    EXPECT_EQ(std::vector<std::string>{"Apex"}, MatchingWords("A"));
    EXPECT_EQ(std::vector<std::string>{"apple"}, MatchingWords("apple"));
    EXPECT_TRUE(MatchingWords("apples").empty());
}

// ---------------------------------------------------------------------------
// The check of a text
// ---------------------------------------------------------------------------

TEST_F(SpellTest, UnknownWordsAreCollectedAsTheyStand) {
    LoadWords({"the", "cat", "don't", "e", "mail", "word", "in"});
    const CheckStart r = CollectUnknownWords(
        "The CAT don't e-mail (wrod) 2019 3rd 10th b0b 'catt' \"dgo\" ' in WORD's teh teh");
    EXPECT_EQ(17, r.wordCount);
    EXPECT_EQ((std::vector<std::string>{"wrod", "'catt'", "dgo", "WORD's", "teh", "teh"}),
              r.unknown);
    const CheckStart quoted = CollectUnknownWords("'word' ''the''");
    EXPECT_TRUE(quoted.unknown.empty());
    EXPECT_EQ(0, CollectUnknownWords(" -- (..) ").wordCount);
}

TEST_F(SpellTest, IgnoreLandsOnTheSamePlaceAndChangeOnTheNext) {
    LoadWords({"cat", "dog", "the"});
    std::string text = "teh cat teh dog";
    SpellSession s;
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_EQ(2u, s.misspelled.size());

    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ(0u, s.searchPos);
    // Ignore: the second report of the word is found at the same place.
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ(0u, s.searchPos);
    EXPECT_FALSE(NextUnknownWord(s, text));

    // Change: the second report lands on the next occurrence.
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_TRUE(NextUnknownWord(s, text));
    text = ChangeCurrentWord(s, text, "  the ", false);
    EXPECT_EQ("the cat teh dog", text);
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ(8u, s.searchPos);
    EXPECT_EQ("teh", CurrentUnknownWord(s));
    text = ChangeCurrentWord(s, text, "the", false);
    EXPECT_EQ("the cat the dog", text);
    EXPECT_FALSE(NextUnknownWord(s, text));
}

TEST_F(SpellTest, IgnoreAllAndChangeAllSkipLaterReports) {
    LoadWords({"a", "b"});
    const std::string text = "xx a yy xx b XX xx";
    SpellSession s;
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_EQ(5u, s.misspelled.size());  // xx yy xx XX xx
    ASSERT_TRUE(NextUnknownWord(s, text));
    IgnoreAllCurrent(s);
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ("yy", CurrentUnknownWord(s));
    // The ignore list ignores case: XX is skipped too.
    EXPECT_FALSE(NextUnknownWord(s, text));

    BeginSession(s, CollectUnknownWords(text));
    EXPECT_TRUE(s.ignore.empty());
    ASSERT_TRUE(NextUnknownWord(s, text));
    const std::string changed = ChangeCurrentWord(s, text, "zz", true);
    EXPECT_EQ("zz a yy zz b XX zz", changed);  // case-sensitive occurrences only
    ASSERT_TRUE(NextUnknownWord(s, changed));
    EXPECT_EQ("yy", CurrentUnknownWord(s));
    EXPECT_EQ(5u, s.searchPos);
    EXPECT_FALSE(NextUnknownWord(s, changed));
}

TEST_F(SpellTest, ChangesFindWholeWordsInTheCurrentText) {
    LoadWords({"a"});
    SpellSession s;
    // Change All continues after each replacement, also one holding the word.
    std::string text = "teh a teh";
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ("teh-x a teh-x", ChangeCurrentWord(s, text, "teh-x", true));

    // A word inside a longer one is not taken for it.
    text = "tehx teh";
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_TRUE(NextUnknownWord(s, text));
    ASSERT_TRUE(NextUnknownWord(s, text));  // ignored tehx
    EXPECT_EQ(5u, s.searchPos);
    EXPECT_EQ("tehx the", ChangeCurrentWord(s, text, "the", false));

    // Text typed in front of the word meanwhile: the word is found again.
    text = "a teh";
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ("a a a the", ChangeCurrentWord(s, "a a a teh", "the", false));
    // The word deleted meanwhile: nothing else is touched.
    BeginSession(s, CollectUnknownWords(text));
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ("a", ChangeCurrentWord(s, "a", "the", false));

    // Nothing typed, or no word current: no change.
    BeginSession(s, CollectUnknownWords(text));
    EXPECT_EQ("a teh", ChangeCurrentWord(s, text, "the", false));
    ASSERT_TRUE(NextUnknownWord(s, text));
    EXPECT_EQ("a teh", ChangeCurrentWord(s, text, "   ", false));

    // A replacement keeps at most 49 characters (not bytes).
    const std::string longer = std::string(48, 'x') + "\xC3\xA9" + "yyy";
    EXPECT_EQ("a " + std::string(48, 'x') + "\xC3\xA9", ChangeCurrentWord(s, text, longer, false));
}

TEST_F(SpellTest, TheWalkRereadsTheTextAndFinishesWhenTheWordIsGone) {
    LoadWords({"a"});
    SpellSession s;
    BeginSession(s, CollectUnknownWords("foo a bar"));
    ASSERT_TRUE(NextUnknownWord(s, "foo a bar"));
    // The user edits the text while the dialog is open.
    ASSERT_TRUE(NextUnknownWord(s, "fooo a a bar"));
    EXPECT_EQ(9u, s.searchPos);
    BeginSession(s, CollectUnknownWords("foo a bar"));
    ASSERT_TRUE(NextUnknownWord(s, "foo a bar"));
    EXPECT_FALSE(NextUnknownWord(s, "foo a"));
}

}  // namespace
