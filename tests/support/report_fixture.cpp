#include "support/report_fixture.h"

#include "data/query.h"
#include "support/pdf_check.h"

void PdfReportTest::SetUp() {
    if (!HaveTool("pdftotext") || !HaveTool("qpdf"))
        GTEST_SKIP() << "pdftotext and qpdf (poppler-utils, qpdf) are needed: "
                        "run scripts/install-deps";
    ASSERT_TRUE(folder.OpenFreshDatabase());
    slExe("PRAGMA synchronous = OFF");  // the seeding inserts need no disk flushes
    SetDateSettings(1, false, false);
    SetClockOverride(clock_);
}

void PdfReportTest::TearDown() {
    if (previousPlatform_) SetPlatform(std::move(previousPlatform_));
    SetClockOverride(std::nullopt);
    SetDateSettings(1, false, false);
}

std::vector<std::string> PdfReportTest::Messages() const {
    std::vector<std::string> out;
    for (const MsgRequest& m : prompts.seen) out.push_back(m.title + ": " + m.text1);
    return out;
}

void PdfReportTest::RecordOpenedFiles() {
    auto rec = std::make_unique<RecordingPlatform>();
    recording = rec.get();
    previousPlatform_ = SetPlatform(std::move(rec));
}
