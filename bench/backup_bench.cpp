// Backing up and restoring a 100 MB database (200,000 program entries with
// descriptions of ordinary English words and two airings each). The floors
// run in the same program on the same bytes: zlib's deflate of the database
// at the default level (what any zip backup must at least do), and zlib's
// plain inflate of the result (the yardstick for a restore, which inflates
// with the faster libdeflate).
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/base/app_state.h"
#include "app/base/settings.h"
#include "data/db_check.h"
#include "data/query.h"
#include "data/schema.h"
#include "services/archive.h"
#include "services/backups.h"

namespace {

namespace fs = std::filesystem;

constexpr int kEntries = 200000;

const char* const kWords[] = {
    "the",       "station",   "community",   "issue",      "program",   "listeners",    "local",
    "public",    "safety",    "education",   "housing",    "traffic",   "health",       "county",
    "council",   "meeting",   "discussed",   "residents",  "school",    "board",        "budget",
    "mayor",     "interview", "with",        "about",      "and",       "of",           "to",
    "in",        "for",       "on",          "new",        "plans",     "water",        "roads",
    "services",  "families",  "children",    "seniors",    "jobs",      "economy",      "weather",
    "emergency", "police",    "fire",        "department", "volunteer", "program's",    "guests",
    "answered",  "questions", "from",        "callers",    "during",    "hour",         "segment",
    "covered",   "report",    "update",      "news",       "support",   "funding",      "state",
    "federal",   "election",  "candidates",  "forum",      "library",   "park",         "youth",
    "sports",    "arts",      "festival",    "drug",       "abuse",     "prevention",   "veterans",
    "hospital",  "clinic",    "insurance",   "taxes",      "property",  "development",  "zoning",
    "transit",   "bus",       "rail",        "bridge",     "repair",    "construction", "crime",
    "court",     "justice",   "environment", "recycling",  "energy",    "prices",       "farmers",
    "market",    "small",     "business",    "owners",     "workers",   "training",     "college",
};

struct Fixture {
    std::string folder;
    std::string archive;
    std::string databaseBytes;
    std::string deflated;  // zlib's deflate of the database at the default level
};

std::string Description(std::mt19937& rng, size_t length) {
    std::uniform_int_distribution<size_t> pick(0, std::size(kWords) - 1);
    std::string text;
    while (text.size() < length) {
        if (!text.empty()) text += ' ';
        text += kWords[pick(rng)];
    }
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
    return text + ".";
}

void Fill(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *program = nullptr, *master = nullptr, *airing = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Programs (PID,Duration,Title,PDescription) VALUES (?,?,?,?)",
                       -1, &program, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO Master (MID,AirDates,Qtr,Issue,Pgm,Station,FreqCheck,"
                       "Frequency) VALUES (?,'',20191,?,?,?,0,0)",
                       -1, &master, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (?,?,?)", -1,
                       &airing, nullptr);
    std::mt19937 rng(20191);
    for (int m = 1; m <= kEntries; ++m) {
        const std::string title = Description(rng, 24);
        const std::string text = Description(rng, 380);
        sqlite3_bind_int(program, 1, m);
        sqlite3_bind_text(program, 2, m % 3 ? "30 minutes" : "60 seconds", -1, SQLITE_STATIC);
        sqlite3_bind_text(program, 3, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(program, 4, text.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(program);
        sqlite3_reset(program);
        const std::string issues = std::to_string(m % 40 + 1) + "|" + std::to_string(m % 7 + 41);
        sqlite3_bind_int(master, 1, m);
        sqlite3_bind_text(master, 2, issues.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(master, 3, m);
        sqlite3_bind_int(master, 4, m % 50 + 1);
        sqlite3_step(master);
        sqlite3_reset(master);
        for (int a = 0; a < 2; ++a) {
            sqlite3_bind_int(airing, 1, m);
            sqlite3_bind_int(airing, 2, 2458485 + (m + a * 3) % 90);
            sqlite3_bind_int(airing, 3, (m * 7 + a * 300) % 1440);
            sqlite3_step(airing);
            sqlite3_reset(airing);
        }
    }
    sqlite3_finalize(program);
    sqlite3_finalize(master);
    sqlite3_finalize(airing);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

std::string Deflate(const std::string& in) {
    z_stream z{};
    deflateInit(&z, Z_DEFAULT_COMPRESSION);
    std::string out(deflateBound(&z, in.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// The folder to remove at exit, once the fixture has been made.
std::string gFolder;

Fixture& Data() {
    static Fixture f = [] {
        Fixture x;
        std::string tmpl = (fs::temp_directory_path() / "vantrel-backup-bench-XXXXXX").string();
        x.folder = std::string(mkdtemp(tmpl.data())) + "/";
        gFolder = x.folder;
        SetAppFolder(x.folder);
        fs::create_directories(Paths().dataFolder);
        fs::create_directories(Paths().backupFolder);
        OpenDatabase();
        slClose();
        Fill(DatabasePath());
        OpenDatabase();
        ReadWholeFile(DatabasePath(), x.databaseBytes);
        x.deflated = Deflate(x.databaseBytes);
        x.archive = Paths().backupFolder + "bench.zip";
        BuildBackupArchive(x.archive, false);
        std::fprintf(stderr, "database %.1f MB, archive %.1f MB\n", x.databaseBytes.size() / 1e6,
                     fs::file_size(x.archive) / 1e6);
        return x;
    }();
    return f;
}

struct Cleanup {
    ~Cleanup() {
        if (slIsOpen()) slClose();
        std::error_code ec;
        if (!gFolder.empty()) fs::remove_all(gFolder, ec);
    }
};

void BM_Backup(benchmark::State& state) {
    Fixture& f = Data();
    const std::string path = Paths().backupFolder + "timed.zip";
    for (auto _ : state) {
        BackupResult r = BuildBackupArchive(path, false);
        if (r.code != 0) state.SkipWithError(r.reason.c_str());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.databaseBytes.size()));
}

void BM_DeflateFloor(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) benchmark::DoNotOptimize(Deflate(f.databaseBytes));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.databaseBytes.size()));
}

void BM_Restore(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        std::string why;
        if (ExtractArchive(f.archive, &why) != 1) state.SkipWithError(why.c_str());
    }
    OpenDatabase();
}

void BM_InflateFloor(benchmark::State& state) {
    Fixture& f = Data();
    std::string out(f.databaseBytes.size(), '\0');
    for (auto _ : state) {
        z_stream z{};
        inflateInit(&z);
        z.next_in = reinterpret_cast<Bytef*>(f.deflated.data());
        z.avail_in = static_cast<uInt>(f.deflated.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        inflate(&z, Z_FINISH);
        inflateEnd(&z);
        benchmark::DoNotOptimize(out.data());
    }
}

// The parts of a restore: reading the entry into a file (with its checksum
// and the file flushed to the disk), and checking the database.
void BM_RestoreCopyOnly(benchmark::State& state) {
    Fixture& f = Data();
    const std::string out = Paths().dataFolder + "copy.db3";
    for (auto _ : state) {
        FILE* file = std::fopen(out.c_str(), "wb");
        EntryRead r = ReadArchiveEntry(f.archive, kDatabaseFileName, [&](const char* d, size_t n) {
            return std::fwrite(d, 1, n, file) == n;
        });
        std::fflush(file);
        fsync(fileno(file));
        std::fclose(file);
        if (r.status != EntryRead::Status::Copied) state.SkipWithError("copy failed");
    }
    std::remove(out.c_str());
}

void BM_RestoreCheckOnly(benchmark::State& state) {
    Data();
    slClose();
    for (auto _ : state) {
        std::string problem;
        if (!IsWorkingDatabase(DatabasePath(), problem)) state.SkipWithError(problem.c_str());
    }
    OpenDatabase();
}

// The whole restore command: safety archive, restore, reopening.
void BM_RestoreWithSafetyArchive(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        RestoreOutcome o = RestoreFromArchive(f.archive);
        if (o.result != 1) state.SkipWithError("restore failed");
    }
}

BENCHMARK(BM_Backup)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeflateFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Restore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_InflateFloor)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RestoreCopyOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RestoreCheckOnly)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RestoreWithSafetyArchive)->Unit(benchmark::kMillisecond)->Iterations(2);

Cleanup cleanup;

}  // namespace
