// Test support for the editors: a fixture for driving the editor forms through
// the robot (the rows come from support/seed.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "data/dates.h"
#include "support/seed.h"
#include "support/test_env.h"

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
