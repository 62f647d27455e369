#include "support/editor_fixtures.h"

#include "app/base/options.h"
#include "app/startup.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/query.h"

int64_t InsertStation(const std::string& calls, const std::string& license, int32_t quarter,
                      int rank) {
    const std::string sql = "INSERT INTO Stations (Calls,License,QtrID,Rank) VALUES (" +
                            SqlQuoted(calls) + "," + SqlQuoted(license) + "," +
                            std::to_string(quarter) + "," + std::to_string(rank) + ")";
    EXPECT_EQ(0, slExe(sql)) << sql;
    return slGetInsertID();
}

int64_t InsertIssue(int32_t quarter, int64_t stationId, const std::string& title,
                    const std::string& description, int rank) {
    const std::string sql = "INSERT INTO Issues (IQtr,SID,IIssue,IDescription,IRank) VALUES (" +
                            std::to_string(quarter) + "," + std::to_string(stationId) + "," +
                            SqlQuoted(title) + "," + SqlQuoted(description) + "," +
                            std::to_string(rank) + ")";
    EXPECT_EQ(0, slExe(sql)) << sql;
    return slGetInsertID();
}

void InsertQuarterNumbers(std::initializer_list<int32_t> quarters) {
    for (int32_t q : quarters)
        EXPECT_EQ(0, slExe("INSERT INTO Quarter (StartDate,EndDate,QNumber) VALUES (0,0," +
                           std::to_string(q) + ")"));
}

std::vector<std::string> ItemTexts(const std::string& form, int id) {
    std::vector<std::string> items;
    for (int i = 0; i < EZ_ITEMCOUNT(form, id); ++i) items.push_back(EZ_ITEMTEXT(form, id, i));
    return items;
}

void EditorFormTest::SetUpTestSuite() {
    EzTestInit();
    DefineFontsAndColours();
}

void EditorFormTest::SetUp() {
    SetClockOverride(now_);
    ASSERT_TRUE(folder_.OpenFreshDatabase());
    Opts().tipsOn = true;
}

void EditorFormTest::TearDown() {
    SetClockOverride(std::nullopt);
}
