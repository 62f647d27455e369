// Test support for the report tests: the start shared by the tests that read
// generated PDF files (the rows come from support/seed.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/base/platform.h"
#include "data/dates.h"
#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"
#include "ui/msgbox.h"

// Skipped without pdftotext and qpdf; else a fresh program folder and
// database, dates as month-day-year with dashes, the clock fixed, and message
// boxes answered from `prompts` (a box the test did not expect fails it).
// Fixtures that add to SetUp return when IsSkipped() after calling it.
class PdfReportTest : public ::testing::Test {
protected:
    explicit PdfReportTest(const ClockReading& clock) : clock_(clock) {}
    void SetUp() override;
    void TearDown() override;
    // Puts a platform in place that records the files opened (until TearDown).
    void RecordOpenedFiles();

    // Every message box that came, as "title: text1".
    std::vector<std::string> Messages() const;

    TempProgramFolder folder;
    PromptQueue prompts;
    RecordingPlatform* recording = nullptr;

private:
    ClockReading clock_;
    std::unique_ptr<Platform> previousPlatform_;
};
