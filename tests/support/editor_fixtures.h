// Test support for the editors: rows for the Stations and Issues tables, and a
// fixture for driving the editor forms through the robot.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/dates.h"
#include "support/test_env.h"

// Inserts a station and returns its StnID.
int64_t InsertStation(const std::string& calls, const std::string& license, int32_t quarter,
                      int rank);
// Inserts an issue and returns its IID.
int64_t InsertIssue(int32_t quarter, int64_t stationId, const std::string& title,
                    const std::string& description, int rank);
// Inserts a Quarter row without dates for each quarter number.
void InsertQuarterNumbers(std::initializer_list<int32_t> quarters);
// The item texts of a list box or combo box, in list order.
std::vector<std::string> ItemTexts(const std::string& form, int id);

// A fixture for the editor forms: the toolkit is started once per suite; each
// test gets a fresh database, the clock stopped at `now` and tooltips on.
class EditorFormTest : public ::testing::Test {
protected:
    explicit EditorFormTest(const ClockReading& now) : now_(now) {}
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    TempProgramFolder folder_;

private:
    ClockReading now_;
};
