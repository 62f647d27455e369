#include "data/db_check.h"

#include "app/text_util.h"
#include "data/query.h"

namespace {

struct TableColumns {
    const char* table;
    std::vector<const char*> columns;
};

// Every table and column the program uses.
const std::vector<TableColumns>& RequiredLayout() {
    static const std::vector<TableColumns> layout = {
        {"Quarter", {"QID", "StartDate", "EndDate", "QNumber"}},
        {"Stations", {"StnID", "Calls", "License", "QtrID", "Rank"}},
        {"Issues", {"IID", "IQtr", "SID", "IIssue", "IDescription", "IRank"}},
        {"Programs", {"PID", "Duration", "Title", "PDescription"}},
        {"Master", {"MID", "AirDates", "Qtr", "Issue", "Pgm", "Station", "FreqCheck", "Frequency"}},
        {"DateTime", {"AID", "MLink", "AirDate", "AirTime"}},
        {"Methods", {"DID", "MQtrID", "StnID", "Method"}},
    };
    return layout;
}

}  // namespace

DbIntegrity QuickCheckDatabase(std::string& report) {
    report.clear();
    ResultSet rs("PRAGMA quick_check(5)");
    if (!rs.ok()) {
        if (slErrorIsBusy()) return DbIntegrity::Busy;
        report = slGetError();
        return DbIntegrity::Damaged;
    }
    std::vector<std::string> lines;
    while (rs.next()) lines.push_back(std::string(rs.text(0)));
    if (lines.size() == 1 && lines[0] == "ok") return DbIntegrity::Ok;
    report = Join(lines, "|");
    if (report.empty()) report = slGetError();
    return DbIntegrity::Damaged;
}

std::vector<std::string> MissingSchemaItems(bool& failed) {
    failed = false;
    std::vector<std::string> missing;
    for (const TableColumns& t : RequiredLayout()) {
        ResultSet rs(std::string("PRAGMA table_info(\"") + t.table + "\")");
        if (!rs.ok()) {
            failed = true;
            return missing;
        }
        std::vector<std::string> present;
        while (rs.next()) present.push_back(rs["name"]);
        if (present.empty()) {
            missing.push_back(t.table);
            continue;
        }
        for (const char* column : t.columns) {
            bool found = false;
            for (const std::string& name : present) found = found || IEquals(name, column);
            if (!found) missing.push_back(std::string(t.table) + "." + column);
        }
    }
    return missing;
}

bool DatabaseWritableNow() {
    if (slExe("BEGIN IMMEDIATE") != 0) return false;
    slExe("ROLLBACK");
    return true;
}
