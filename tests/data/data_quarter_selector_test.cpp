#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/dates.h"
#include "data/quarters.h"
#include "support/form_fixture.h"
#include "support/test_env.h"
#include "ui/data_controls.h"

namespace {

// A bare form holding one drop-down list, id 100.
void DesignSelectorForm(const std::string& form) {
    if (form == "TQ") EZ_CONTROL(form, 100, EzKind::Combo, "", 2, 1, 24, 1.5, "");
}
void IgnoreEvents(const std::string&, int, EzEvent, int64_t, int&) {}

std::vector<std::string> Items() {
    std::vector<std::string> items;
    for (int i = 0; i < EZ_ITEMCOUNT("TQ", 100); ++i) items.push_back(EZ_ITEMTEXT("TQ", 100, i));
    return items;
}

std::string Selected() {
    int i = EZ_SELECTEDITEM("TQ", 100);
    return i < 0 ? "" : EZ_ITEMTEXT("TQ", 100, i);
}

class QuarterSelector : public FormTest {
protected:
    QuarterSelector()
        : FormTest({.clock = ClockReading{2011, 5, 2, 9, 0, 0}, .freshDatabase = true}) {}
};

TEST_F(QuarterSelector, FillsNewestFirstAndKeepsOrPicksTheSelection) {
    for (int q : {20104, 20112, 20111}) EnsureQuarter(q, false);

    EZ_SETPROCS(IgnoreEvents, DesignSelectorForm);
    EZ_FORM("TQ", "", "Quarters", -1, -1, 30, 6, "N");
    ASSERT_TRUE(EZ_FORMEXISTS("TQ"));

    FillQuarterSelector("TQ", 100, 1);
    EXPECT_EQ(Items(),
              (std::vector<std::string>{"2011 - Apr-Jun", "2011 - Jan-Mar", "2010 - Oct-Dec"}));
    EXPECT_EQ(Selected(), "2011 - Apr-Jun");

    // Mode 0 keeps the entry the user had chosen, wherever it moves.
    EZ_SELECTITEM("TQ", 100, 1);
    EnsureQuarter(20113, false);
    FillQuarterSelector("TQ", 100, 0);
    EXPECT_EQ(Items().size(), 4u);
    EXPECT_EQ(Items().front(), "2011 - Jul-Sep");
    EXPECT_EQ(Selected(), "2011 - Jan-Mar");

    // Mode 1 when today's quarter is not on file selects nothing; refilling never doubles.
    SetClockOverride(ClockReading{2012, 1, 2, 9, 0, 0});
    FillQuarterSelector("TQ", 100, 1);
    EXPECT_EQ(Items().size(), 4u);
    EXPECT_EQ(Selected(), "");

    EZ_DESTROYFORM("TQ");
    SetClockOverride(std::nullopt);
}

}  // namespace
