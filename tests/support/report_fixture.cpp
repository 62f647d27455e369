#include "support/report_fixture.h"

#include "data/query.h"
#include "support/pdf_check.h"

namespace {

std::string LastId() {
    return std::to_string(slGetInsertID());
}

}  // namespace

namespace {

// Runs one seeding insert; a refused insert fails the test at once instead of
// handing back the id of an earlier row.
std::string Insert(const std::string& sql) {
    if (slExe(sql) != 0) {
        ADD_FAILURE() << "seeding failed: " << slGetError() << "\n" << sql;
        return "0";
    }
    return LastId();
}

}  // namespace

std::string SeedStation(const std::string& calls, const std::string& license, int32_t quarter) {
    return Insert("INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES (" + SqlQuoted(calls) +
                  "," + SqlQuoted(license) + "," + std::to_string(quarter) + ",0)");
}

std::string SeedIssue(const std::string& sid, int32_t quarter, const std::string& title,
                      const std::string& description, int rank) {
    return Insert("INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (" +
                  std::to_string(quarter) + "," + sid + "," + SqlQuoted(title) + "," +
                  SqlQuoted(description) + "," + std::to_string(rank) + ")");
}

std::string SeedProgram(const std::string& sid, int32_t quarter, const std::string& issues,
                        const std::string& title, const std::string& duration,
                        const std::string& description,
                        const std::vector<std::pair<int32_t, int32_t>>& airings,
                        const std::string& freqCheck, const std::string& frequency) {
    const std::string pid =
        Insert("INSERT INTO Programs (Duration,Title,PDescription) VALUES (" + SqlQuoted(duration) +
               "," + SqlQuoted(title) + "," + SqlQuoted(description) + ")");
    const std::string mid = Insert(
        "INSERT INTO Master (AirDates,Qtr,Issue,Pgm,Station,FreqCheck,Frequency) VALUES (''," +
        std::to_string(quarter) + "," + SqlQuoted(issues) + "," + pid + "," + sid + "," +
        SqlQuoted(freqCheck) + "," + SqlQuoted(frequency) + ")");
    for (auto [day, minutes] : airings)
        Insert("INSERT INTO DateTime (MLink,AirDate,AirTime) VALUES (" + mid + "," +
               std::to_string(day) + "," + std::to_string(minutes) + ")");
    return mid;
}

void PdfReportTest::SetUp() {
    if (!HaveTool("pdftotext") || !HaveTool("qpdf"))
        GTEST_SKIP() << "pdftotext and qpdf (poppler-utils, qpdf) are needed: "
                        "run scripts/install-deps";
    ASSERT_TRUE(folder.OpenFreshDatabase());
    slExe("PRAGMA synchronous = OFF");  // the seeding inserts need no disk flushes
    SetDateSettings(1, false, false);
    SetClockOverride(clock_);
    previousHook_ = SetMsgHook([this](const MsgRequest& m) {
        messages.push_back(m.title + ": " + m.text1);
        return 1;
    });
}

void PdfReportTest::TearDown() {
    if (previousPlatform_) SetPlatform(std::move(previousPlatform_));
    SetMsgHook(previousHook_);
    SetClockOverride(std::nullopt);
    SetDateSettings(1, false, false);
}

void PdfReportTest::RecordOpenedFiles() {
    auto rec = std::make_unique<RecordingPlatform>();
    recording = rec.get();
    previousPlatform_ = SetPlatform(std::move(rec));
}
