// The spell checker against the full word list: loading the list (and the
// memory the list with its index holds), starting the check of a 2,000-word
// description with 100 unknown words, the suggestions for one unknown word,
// and the first addition (which sorts the list).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "services/spell.h"

namespace {

namespace fs = std::filesystem;

// A program folder holding the built word list (build/program/en_US.dic,
// found beside the benchmark's own build folder).
void PrepareFolder() {
    static bool done = false;
    if (done) return;
    done = true;
    fs::path source;
    if (const char* env = std::getenv("VANTREL_PROGRAM_DIR")) source = fs::path(env) / "en_US.dic";
    if (source.empty() || !fs::exists(source))
        source = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "program" /
                 "en_US.dic";
    std::string tmpl = (fs::temp_directory_path() / "vantrel-spell-bench-XXXXXX").string();
    static std::string folder;
    folder = std::string(mkdtemp(tmpl.data())) + "/";
    // The copied word list goes away when the benchmark ends.
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(folder, ec);
    });
    fs::copy_file(source, folder + "en_US.dic");
    SetAppFolder(folder);
}

void EnsureLoaded() {
    PrepareFolder();
    LoadWordList();
    if (!WordListLoaded()) std::abort();
}

// 2,000 words of plain lower-case entries with punctuation, every 20th word
// an unknown one.
const std::string& Description() {
    static std::string text;
    if (!text.empty()) return text;
    EnsureLoaded();
    const std::vector<std::string>& words = WordList();
    size_t pick = 7;
    for (int i = 0; i < 2000; ++i) {
        if (i % 20 == 19) {
            text += "qzv" + std::string(1, char('a' + i % 26)) +
                    std::string(1, char('a' + i / 26 % 26));
        } else {
            const std::string* w = nullptr;
            do {
                pick = (pick * 1103515245 + 12345) % words.size();
                w = &words[pick];
            } while (w->empty() || (*w)[0] < 'a' || (*w)[0] > 'z');
            text += *w;
        }
        text += i % 13 == 12 ? ". " : i % 7 == 6 ? ", " : " ";
    }
    return text;
}

void BM_LoadWordList(benchmark::State& state) {
    PrepareFolder();
    size_t bytes = 0;
    for (auto _ : state) {
        UnloadWordList();
        malloc_trim(0);
        const size_t before = mallinfo2().uordblks;
        LoadWordList();
        bytes = mallinfo2().uordblks - before;
        benchmark::DoNotOptimize(WordList().data());
    }
    state.counters["entries"] = static_cast<double>(WordList().size());
    state.counters["list_MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LoadWordList)->Unit(benchmark::kMillisecond);

void BM_StartCheck(benchmark::State& state) {
    const std::string& text = Description();
    CheckStart start;
    for (auto _ : state) {
        start = CollectUnknownWords(text);
        benchmark::DoNotOptimize(start.unknown.data());
    }
    state.counters["words"] = start.wordCount;
    state.counters["unknown"] = static_cast<double>(start.unknown.size());
}
BENCHMARK(BM_StartCheck)->Unit(benchmark::kMillisecond);

void BM_SuggestWords(benchmark::State& state) {
    EnsureLoaded();
    static const char* kWords[] = {"recieve", "comunity", "goverment", "teh"};
    const std::string word = kWords[state.range(0)];
    std::string result;
    for (auto _ : state) {
        result = SuggestWords(word);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetLabel(word);
}
BENCHMARK(BM_SuggestWords)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The first addition sorts the list (file order is not byte order) and
// rebuilds the index; later ones insert in place.
void BM_FirstAddition(benchmark::State& state) {
    PrepareFolder();
    for (auto _ : state) {
        state.PauseTiming();
        UnloadWordList();
        LoadWordList();
        state.ResumeTiming();
        benchmark::DoNotOptimize(AddDictionaryWord("Vantrelism"));
    }
}
BENCHMARK(BM_FirstAddition)->Unit(benchmark::kMillisecond);

}  // namespace
