// libFuzzer target for the as-run log reader: any bytes go through the whole
// reading path the import dialog uses (files that are no log, decoding line
// by line, separator and header detection, column guesses, date order, every
// row read with the guessed map and with each column taken as date, time,
// date-time and length).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "services/asrun_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    AsRunLog log = ReadAsRunLog(bytes);
    // A file that is no text, or one line of megabytes, is not split into rows.
    const LogTrouble trouble = TroubleOf(log);
    if ((trouble == LogTrouble::NotText || trouble == LogTrouble::NoLineBreaks) &&
        !log.rows.empty())
        __builtin_trap();
    (void)LogTroubleText(trouble);
    const ColumnMap guessed = GuessColumns(log);
    for (int format : {1, 2}) {
        const DateOrder order = GuessDateOrder(log, guessed, format);
        (void)ReadLogAirings(log, guessed, order);
    }
    (void)LogColumnNames(log);
    // Every column in every role, with and without the header row.
    const int columns = static_cast<int>(log.columnCount < 8 ? log.columnCount : 8);
    for (int header = 0; header < 2; ++header) {
        log.header = header == 1;
        for (int c = 0; c < columns; ++c) {
            ColumnMap separate{c, (c + 1) % columns, (c + 2) % columns, c, -1};
            ColumnMap together{-1, -1, (c + 1) % columns, (c + 2) % columns, c};
            (void)ReadLogAirings(log, separate, DateOrder::DayFirst);
            (void)ReadLogAirings(log, together, DateOrder::MonthFirst);
        }
    }
    return 0;
}
