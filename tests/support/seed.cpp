#include "support/seed.h"

#include <gtest/gtest.h>

namespace {

std::string N(long long v) {
    return std::to_string(v);
}

}  // namespace

void ExecSql(const std::string& sql) {
    if (slExe(sql) != 0) ADD_FAILURE() << "statement failed: " << slGetError() << "\n" << sql;
}

RowId SeedRow(const std::string& insertSql) {
    if (slExe(insertSql) != 0) {
        ADD_FAILURE() << "seeding failed: " << slGetError() << "\n" << insertSql;
        return 0;
    }
    return slGetInsertID();
}

RowId SeedQuarter(int32_t quarter, int32_t firstDay, int32_t lastDay) {
    return SeedRow("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (" + N(firstDay) + "," +
                   N(lastDay) + "," + N(quarter) + ")");
}

void SeedQuarters(std::initializer_list<int32_t> quarters) {
    for (int32_t q : quarters) SeedQuarter(q);
}

RowId SeedStation(const std::string& calls, const std::string& license, int32_t quarter, int rank) {
    return SeedRow("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES (" + SqlQuoted(calls) +
                   "," + SqlQuoted(license) + "," + N(quarter) + "," + N(rank) + ")");
}

RowId SeedIssue(RowId station, int32_t quarter, const std::string& title,
                const std::string& description, int rank) {
    return SeedRow("INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (" + N(quarter) +
                   "," + N(station) + "," + SqlQuoted(title) + "," + SqlQuoted(description) + "," +
                   N(rank) + ")");
}

std::string IssueList(std::initializer_list<RowId> issues) {
    std::string out;
    for (RowId id : issues) out += (out.empty() ? "" : "|") + N(id);
    return out;
}

RowId SeedProgramRow(const std::string& title, const std::string& duration,
                     const std::string& description) {
    return SeedRow("INSERT INTO Programs (Duration,Title,PDescription) VALUES (" +
                   SqlQuoted(duration) + "," + SqlQuoted(title) + "," + SqlQuoted(description) +
                   ")");
}

RowId SeedProgram(const ProgramSeed& p) {
    const RowId program = SeedProgramRow(p.title, p.duration, p.description);
    const RowId entry = SeedRow(
        "INSERT INTO Master (AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) VALUES (''," +
        N(p.quarter) + "," + SqlQuoted(p.issues) + "," + N(program) + "," + N(p.station) + "," +
        SqlQuoted(p.freqCheck) + "," + SqlQuoted(p.frequency) + ")");
    for (auto [day, minutes] : p.airings) SeedAiring(entry, day, minutes);
    return entry;
}

RowId SeedEntry(RowId station, int32_t quarter, const std::string& issues, RowId program) {
    return SeedRow("INSERT INTO Master (Qtr,Issue,Pgm,Station) VALUES (" + N(quarter) + "," +
                   SqlQuoted(issues) + "," + N(program) + "," + N(station) + ")");
}

RowId SeedAiring(RowId entry, int32_t day, int32_t minutes) {
    return SeedRow("INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (" + N(entry) + "," +
                   N(day) + "," + N(minutes) + ")");
}
