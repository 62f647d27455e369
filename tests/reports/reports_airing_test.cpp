// Airing texts: the narrative in its three forms, the paragraph, and the
// program list cells read from the database.
#include <gtest/gtest.h>

#include "data/dates.h"
#include "data/query.h"
#include "reports/airing.h"
#include "support/days.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

int32_t At(int h, int m) {
    return h * 60 + m;
}

Airings Make(std::initializer_list<std::pair<int32_t, int32_t>> items) {
    Airings a;
    for (auto [d, t] : items) a.push_back({d, t});
    return a;
}

class AiringText : public ::testing::Test {
protected:
    void SetUp() override { SetDateSettings(1, false, false); }
    void TearDown() override { SetDateSettings(1, false, false); }
};

struct NarrativeCase {
    const char* name;
    Airings airings;
    const char* freqCheck;
    const char* frequency;
    const char* duration;
    const char* expected;
};

TEST_F(AiringText, NarrativeForms) {
    const int32_t apr1 = Day(2019, 4, 1), apr8 = Day(2019, 4, 8), apr15 = Day(2019, 4, 15);
    const int32_t jun24 = Day(2019, 6, 24), jun30 = Day(2019, 6, 30);
    const NarrativeCase cases[] = {
        {"period", Make({{apr1, 0}, {jun30, 0}}), "1", "12", "60 seconds",
         "12 times during the period 04-01-2019 thru 06-30-2019 at various times of the day: "
         "Duration 60 seconds each.  "},
        {"period without a frequency", Make({{apr1, 0}, {jun30, 0}}), "1", "", "1 min",
         " times during the period 04-01-2019 thru 06-30-2019 at various times of the day: "
         "Duration 1 min each.  "},
        {"period keeps a trailing full stop", Make({{apr1, 0}, {jun30, 0}}), "1", "3", "60 sec.",
         "3 times during the period 04-01-2019 thru 06-30-2019 at various times of the day: "
         "Duration 60 sec. each.  "},
        {"single", Make({{jun24, At(9, 30)}}), "0", "0", "30 minutes",
         "on 06-24-2019 at 9:30AM; Duration: 30 minutes.  "},
        {"single after midnight", Make({{jun24, At(0, 15)}}), "0", "0", "30 minutes",
         "on 06-24-2019 at 0:15AM; Duration: 30 minutes.  "},
        {"single strips full stops at both ends", Make({{jun24, At(12, 0)}}), "0", "0",
         "..30 min..", "on 06-24-2019 at 12:00PM; Duration: 30 min.  "},
        {"single with period flag", Make({{jun24, At(13, 0)}}), "1", "5", "1 hour",
         "on 06-24-2019 at 1:00PM; Duration: 1 hour.  "},
        {"two on one day", Make({{apr1, At(8, 0)}, {apr1, At(12, 0)}}), "0", "0", "30 minutes",
         "on 04-01-2019 at 8:00AM and 12:00PM; Duration 30 minutes.  "},
        {"two on two days", Make({{apr1, At(8, 0)}, {apr8, At(17, 0)}}), "0", "0", "X",
         "on 04-01-2019 at 8:00AM; and on 04-08-2019 at 5:00PM; Duration X.  "},
        {"two with flag other than exactly 1", Make({{apr1, At(8, 0)}, {apr8, At(8, 0)}}), " 1",
         "2", "X", "on 04-01-2019 at 8:00AM; and on 04-08-2019 at 8:00AM; Duration X.  "},
        {"several, the documented example",
         Make({{apr1, At(8, 0)},
               {apr1, At(12, 0)},
               {apr1, At(17, 0)},
               {apr8, At(8, 0)},
               {apr15, At(8, 0)},
               {apr15, At(12, 0)}}),
         "0", "0", "30 minutes",
         "on 04-01-2019 at 8:00AM, 12:00PM and 5:00PM; on 04-08-2019 at 8:00AM; and on "
         "04-15-2019 at 8:00AM and 12:00PM; Duration 30 minutes.  "},
        {"three with period flag use the several form",
         Make({{apr1, At(8, 0)}, {apr8, At(8, 0)}, {apr15, At(8, 0)}}), "1", "40", "30 minutes",
         "on 04-01-2019 at 8:00AM; on 04-08-2019 at 8:00AM; and on 04-15-2019 at 8:00AM; "
         "Duration 30 minutes.  "},
        {"several keeps a trailing full stop", Make({{apr1, At(8, 0)}, {apr1, At(9, 0)}}), "0", "0",
         "30 minutes.", "on 04-01-2019 at 8:00AM and 9:00AM; Duration 30 minutes..  "},
        {"last day with three airings",
         Make({{apr1, At(6, 0)}, {apr8, At(6, 0)}, {apr8, At(7, 0)}, {apr8, At(23, 59)}}), "0", "0",
         "5 min",
         "on 04-01-2019 at 6:00AM; and on 04-08-2019 at 6:00AM, 7:00AM and 11:59PM; "
         "Duration 5 min.  "},
        {"no airing at all", Airings{}, "0", "0", "30 minutes",
         "on dates not recorded; Duration 30 minutes.  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AiringNarrative(c.airings, c.freqCheck, c.frequency, c.duration), c.expected)
            << c.name;
    }
}

TEST_F(AiringText, ParagraphTrimming) {
    const Airings one = Make({{Day(2019, 6, 24), At(9, 30)}});
    EXPECT_EQ(ProgramParagraph(one, "0", "0", "30 minutes", ""),
              "Broadcast on 06-24-2019 at 9:30AM; Duration: 30 minutes.");
    EXPECT_EQ(ProgramParagraph(one, "0", "0", "30 minutes", "Talk about roads.\r\n  \r\n"),
              "Broadcast on 06-24-2019 at 9:30AM; Duration: 30 minutes.  Talk about roads.");
    EXPECT_EQ(ProgramParagraph(Airings{}, "0", "0", "2 min", ""),
              "Broadcast on dates not recorded; Duration 2 min.");
}

TEST_F(AiringText, DatesFollowTheUserFormat) {
    SetDateSettings(2, true, false);
    const Airings a = Make({{Day(2019, 6, 24), At(14, 30)}, {Day(2019, 6, 25), At(8, 5)}});
    EXPECT_EQ(AiringNarrative(a, "0", "0", "1 hour"),
              "on 24/06/2019 at 2:30PM; and on 25/06/2019 at 8:05AM; Duration 1 hour.  ");
}

class AiringDatabase : public AiringText {
protected:
    void SetUp() override {
        AiringText::SetUp();
        ASSERT_TRUE(folder.OpenFreshDatabase());
    }
    TempProgramFolder folder;
};

TEST_F(AiringDatabase, LoadingOrdersByDayThenTime) {
    SeedAiring(7, Day(2019, 4, 8), At(8, 0));
    SeedAiring(7, Day(2019, 4, 1), At(17, 0));
    SeedAiring(7, Day(2019, 4, 1), At(8, 0));
    SeedAiring(8, Day(2019, 3, 1), At(1, 0));  // another program
    const Airings a = LoadAirings(7);
    std::vector<std::pair<int32_t, int32_t>> loaded;
    for (const Airing& airing : a) loaded.emplace_back(airing.day, airing.minutes);
    EXPECT_EQ(loaded, (std::vector<std::pair<int32_t, int32_t>>{{Day(2019, 4, 1), At(8, 0)},
                                                                {Day(2019, 4, 1), At(17, 0)},
                                                                {Day(2019, 4, 8), At(8, 0)}}));
    EXPECT_EQ(AiringList(7), std::string("04-01-2019 08:00") + kAiringSeparator +
                                 "04-01-2019 17:00" + kAiringSeparator + "04-08-2019 08:00");
    EXPECT_EQ(ListDateCell(7), "04-01-2019");
    EXPECT_EQ(ListTimeCell(7, "0", "0"), "08:00*");
    EXPECT_TRUE(LoadAirings(99).empty());
}

TEST_F(AiringDatabase, ListCells) {
    SeedAiring(1, Day(2019, 6, 24), At(14, 30));
    SeedAiring(2, Day(2019, 4, 1), 0);
    SeedAiring(2, Day(2019, 6, 30), 0);
    EXPECT_EQ(ListTimeCell(1, "0", "0"), "14:30");
    EXPECT_EQ(ListTimeCell(2, "1", "12"), "Various x 12");
    EXPECT_EQ(ListTimeCell(2, "1", "012"), "Various x 012");  // shown as stored
    EXPECT_EQ(ListTimeCell(2, "1", "0"), "00:00*");           // period without a count
    EXPECT_EQ(ListTimeCell(2, "1", ""), "00:00*");
    EXPECT_EQ(ListDateCell(2), "04-01-2019");
    // A program without airings shows empty cells rather than today's date.
    EXPECT_EQ(ListDateCell(3), "");
    EXPECT_EQ(ListTimeCell(3, "0", "0"), "");
    EXPECT_EQ(AiringList(3), "");
}

}  // namespace
