// The spelling word list: any file text loaded as the list, then looked up,
// searched by prefix and asked for suggestions with words taken from it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_input.h"
#include "services/spell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnswerMessagesQuietly();
    auto f = FuzzFields(data, size, 2);
    LoadWordListText(f[0]);
    const auto& words = WordList();
    for (size_t i = 0; i < words.size() && i < 8; ++i) {
        if (!IsDictionaryWord(words[i])) std::abort();
        MatchingWords(words[i]);
        SuggestWords(words[i]);
    }
    IsDictionaryWord(f[1]);
    MatchingWords(f[1]);
    SuggestWords(f[1]);
    CollectUnknownWords(f[1]);
    UnloadWordList();
    return 0;
}
