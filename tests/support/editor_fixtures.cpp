#include "support/editor_fixtures.h"

#include "app/base/options.h"
#include "app/startup.h"
#include "app/test_init.h"
#include "app/toolkit/ez_forms.h"
#include "app/toolkit/robot.h"
#include "data/query.h"

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
