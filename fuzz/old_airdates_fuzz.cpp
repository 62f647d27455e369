// The old air-date text of Master.AirDates that the upgrade converts into
// DateTime rows: every airing it yields must be a real day and minute.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "data/dates.h"
#include "data/schema.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnswerMessagesQuietly();
    std::string text(reinterpret_cast<const char*>(data), size);
    int skipped = 0;
    for (const OldAiring& a : ParseOldAirDates(text, skipped)) {
        if (a.day <= 0 || a.minutes < 0 || a.minutes > 1439) std::abort();
        int32_t m = 0, d = 0, y = 0;
        JulianDate2Mdy(a.day, m, d, y);
        if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(m, y)) std::abort();
    }
    if (skipped < 0) std::abort();
    return 0;
}
