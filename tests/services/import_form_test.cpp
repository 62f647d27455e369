// The import dialog IM driven through the robot: a semicolon-separated
// Windows-1252 log with date and time in one column, imported as a new entry,
// and the message that reports it.
#include "services/import_form.h"

#include <gtest/gtest.h>

#include <string>

#include "app/base/text_util.h"
#include "app/toolkit/robot.h"
#include "data/query.h"
#include "support/form_fixture.h"
#include "support/prompt_queue.h"
#include "ui/layout.h"

namespace {

class ImportFormTest : public FormTest {
protected:
    ImportFormTest()
        : FormTest({.clock = ClockReading{2024, 5, 14, 9, 30, 0},
                    .freshDatabase = true,
                    .tipsOn = true}) {}
    void SetUp() override {
        FormTest::SetUp();
        if (HasFatalFailure()) return;
        SeedQuarters({20241, 20242});
        station_ = SeedStation("WAAA-FM", "", 20242, 0);
        SeedStation("WBBB-AM", "", 20242, 1);
    }
    int64_t station_ = 0;
};

TEST_F(ImportFormTest, DateTimeColumnWindows1252AndTheReport) {
    const std::string log = folder.path() + "asrun.txt";
    WriteFileText(log,
                  "Aired At;Programme;Len\r\n"
                  "2024-04-01 06:00;Caf\xE9 Talk;29:30\r\n"
                  "2024-04-08 06:00;caf\xE9 talk ;29:30\r\n"
                  "2024-04-08 06:03;Song;3:00\r\n");
    Robot r;
    PromptQueue prompts(r);
    ImportOutcome out;
    r.Do([&] {
        out = OpenImportAirings("", 20242, 0);  // no station shown: the quarter's first
        if (out.ok) ReportImport(out);
    });
    r.ExpectOpenDialog(log);
    r.Do([] {
        EXPECT_EQ(Robot::Text("IM", kImStation), "WAAA-FM");
        EXPECT_FALSE(Robot::Enabled("IM", kImImport));
    });
    r.Click("IM", kImBrowse);
    r.Do([] {
        EXPECT_EQ(Robot::Text("IM", kImLogInfo), "Semicolon-separated, Windows-1252, 3 rows");
        EXPECT_EQ(Robot::Text("IM", kImDateTime), "Column 1: Aired At");
        EXPECT_EQ(Robot::Text("IM", kImTitle), "Column 2: Programme");
        EXPECT_EQ(Robot::Text("IM", kImLength), "Column 3: Len");
        EXPECT_FALSE(Robot::Enabled("IM", kImDate));
        EXPECT_FALSE(Robot::Enabled("IM", kImTime));
        ASSERT_EQ(EZ_LVROWCOUNT("IM", kImTitles), 2);
        EXPECT_EQ(EZ_LVGETCELL("IM", kImTitles, 0, 1), "Caf\xC3\xA9 Talk");
        EXPECT_EQ(EZ_LVGETCELL("IM", kImTitles, 0, 2), "2");
    });
    r.ToggleCheckCell("IM", kImTitles, 0, 0);
    r.Do([] {
        EXPECT_EQ(EZ_LVGETCELL("IM", kImPreview, 0, 1), "New: 29 minutes 30 seconds");
        EXPECT_EQ(EZ_LVGETCELL("IM", kImPreview, 0, 2), "2");
        EXPECT_TRUE(Robot::Enabled("IM", kImImport));
    });
    r.Screenshot("IM", ScreenshotPath("/tmp/", "import_form_datetime.png"));
    r.Click("IM", kImImport);
    r.Do([] { EZ_SCREENSHOT("DGMSGBOX1", ScreenshotPath("/tmp/", "import_form_report.png")); });
    prompts.Expect("Import Complete", 1);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
    ASSERT_EQ(r.MessageTexts().size(), 1u);
    EXPECT_EQ(r.MessageTexts()[0], "2 airings were added, with 1 new program entry.");
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(out.station, station_);
    ASSERT_EQ(out.newEntries.size(), 1u);
    const std::string mid = std::to_string(out.newEntries[0]);
    EXPECT_EQ(
        slSelStr("SELECT Duration,Title FROM Programs,Master WHERE PID = Pgm AND MID = " + mid,
                 "Q124"),
        "29 minutes 30 seconds|Caf\xC3\xA9 Talk");
    EXPECT_EQ(
        slSelStr("SELECT AirDate,AirTime FROM DateTime WHERE MLink = " + mid + " ORDER BY AirDate",
                 "Q124"),
        "2460402|360\n2460409|360");
}

// Drawn whole: a drop-down's text, a list cell's text in its column's width.
bool Fits(int id, int row = -1, int col = 0) {
    double x = 0, y = 0, w = 0, h = 0;
    EZ_GETPLACE("IM", id, x, y, w, h);
    if (row < 0) return EZ_TEXTWIDTH(0, Robot::Text("IM", id)) + 4 <= w;
    std::string caption;
    int widthPx = 0, format = 0;
    EZ_LVGETCOLUMN("IM", id, col, caption, widthPx, format);
    return EZ_COLSTOPIXELS(EZ_TEXTWIDTH(0, EZ_LVGETCELL("IM", id, row, col))) + 12 <= widthPx;
}

// A workbook says what it is; a log whose lines mix two encodings, with a
// title of megabytes and differing lengths, is shown whole where it matters
// and the new entry's duration can be changed.
TEST_F(ImportFormTest, NoLogMixedLinesHugeTitleAndANewEntrysDuration) {
    const std::string zip = folder.path() + "asrun.xlsx", log = folder.path() + "asrun.csv";
    WriteFileText(zip, std::string("PK\x03\x04\x14\x00", 6) + "[Content_Types].xml");
    WriteFileText(log,
                  "Air Date,Scheduled Start Time,Program Title,Length\r\n"
                  "04/01/2024,06:00,Caf\xC3\xA9 Talk,28:30\r\n"
                  "04/08/2024,06:00,Caf\xE9 Talk,28:30\r\n"
                  "04/15/2024,06:00,Caf\xE9 Talk,29:00\r\n"
                  "04/02/2024,07:00," +
                      std::string(10u << 20, 'x') + ",0:30\r\n");
    Robot r;
    PromptQueue prompts(r);
    r.Do([&] { OpenImportAirings("", 20242, station_); });
    r.ExpectOpenDialog(zip);
    r.Click("IM", kImBrowse);
    r.Do([] {
        EXPECT_EQ(Robot::Text("IM", kImSummary),
                  "This file is not a text log: save it as CSV from your spreadsheet program.");
    });
    r.ExpectOpenDialog(log);
    r.Click("IM", kImBrowse);
    r.Do([] {
        EXPECT_EQ(Robot::Text("IM", kImLogInfo),
                  "Comma-separated, UTF-8 and Windows-1252 lines, 4 rows");
        EXPECT_TRUE(Fits(kImTime)) << Robot::Text("IM", kImTime);
        ASSERT_EQ(EZ_LVROWCOUNT("IM", kImTitles), 2);
        EXPECT_EQ(EZ_LVGETCELL("IM", kImTitles, 0, 2), "3");
        // The megabytes of the other title stay in the data, not in the cell.
        EXPECT_EQ(CharCount(EZ_LVGETCELL("IM", kImTitles, 1, 1)), kImShownChars + 1);
    });
    r.ToggleCheckCell("IM", kImTitles, 0, 0);
    r.SelectRow("IM", kImTitles, 0);
    r.Do([] {
        EXPECT_EQ(EZ_LVGETCELL("IM", kImPreview, 0, 1), "New: 28 minutes 30 seconds");
        EXPECT_TRUE(Fits(kImPreview, 0, 1));
        EXPECT_NE(Robot::Text("IM", kImNotes).find("2 different lengths"), std::string::npos);
        EXPECT_EQ(Robot::Text("IM", kImNewDuration), "28 minutes 30 seconds");
    });
    r.Screenshot("IM", ScreenshotPath("/tmp/", "import_form_lengths.png"));
    r.Type("IM", kImNewDuration, "29 minutes");
    r.Do([] { EXPECT_EQ(EZ_LVGETCELL("IM", kImPreview, 0, 1), "New: 29 minutes"); });
    r.Click("IM", kImCancel);
    r.Run();
    EXPECT_TRUE(r.Ok()) << r.Errors();
}

}  // namespace
