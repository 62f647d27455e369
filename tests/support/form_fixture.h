// Test support: the fixture of the tests that drive the program's forms
// through the robot (the rows come from support/seed.h).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "data/dates.h"
#include "support/seed.h"
#include "support/test_env.h"

// The item texts of a list box or combo box, in list order.
std::vector<std::string> ItemTexts(const std::string& form, int id);

// What a form test sets up before each test in its temporary program folder,
// and takes back after it.
struct FormTestSetup {
    std::optional<ClockReading> clock;  // the clock stopped here; else it runs
    bool freshDatabase = false;         // a new database in Data/, open
    bool tipsOn = false;                // tooltips on: the options and the settings file
    // The program as start-up sees it: the temporary folder is its program
    // folder, the images and help pages are the built program's, and no
    // update check runs; after each test the main window is closed, the
    // database too, and the program folder given back.
    bool programFolder = false;
};

// The toolkit is started once per suite, with the program's fonts and
// colours; each test gets a temporary program folder and what `setup` asks.
class FormTest : public ::testing::Test {
protected:
    explicit FormTest(FormTestSetup setup = {}) : setup_(setup) {}
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    TempProgramFolder folder;

private:
    FormTestSetup setup_;
};
