// Test support for the report tests: rows written straight into the open
// database, and the start shared by the tests that read generated PDF files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/base/platform.h"
#include "data/dates.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

// Each returns the id of the row it made.
std::string SeedStation(const std::string& calls, const std::string& license, int32_t quarter);
std::string SeedIssue(const std::string& sid, int32_t quarter, const std::string& title,
                      const std::string& description, int rank);
// A program and its record (the MID returned) for the station and quarter,
// addressing `issues` ("iid|iid"), with one airing per (day number, minutes).
std::string SeedProgram(const std::string& sid, int32_t quarter, const std::string& issues,
                        const std::string& title, const std::string& duration,
                        const std::string& description,
                        const std::vector<std::pair<int32_t, int32_t>>& airings,
                        const std::string& freqCheck = "0", const std::string& frequency = "0");

// Skipped without pdftotext and qpdf; else a fresh program folder and
// database, dates as month-day-year with dashes, the clock fixed and every
// message recorded as "title: text1" (answered with the first button).
// Fixtures that add to SetUp return when IsSkipped() after calling it.
class PdfReportTest : public ::testing::Test {
protected:
    explicit PdfReportTest(const ClockReading& clock) : clock_(clock) {}
    void SetUp() override;
    void TearDown() override;
    // Puts a platform in place that records the files opened (until TearDown).
    void RecordOpenedFiles();

    TempProgramFolder folder;
    std::vector<std::string> messages;
    RecordingPlatform* recording = nullptr;

private:
    ClockReading clock_;
    MsgHook previousHook_;
    std::unique_ptr<Platform> previousPlatform_;
};
