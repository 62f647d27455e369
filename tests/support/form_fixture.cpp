#include "support/form_fixture.h"

#include "app/base/app_state.h"
#include "app/base/options.h"
#include "app/base/settings.h"
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

void FormTest::SetUpTestSuite() {
    EzTestInit();
    DefineFontsAndColours();
}

void FormTest::SetUp() {
    if (setup_.clock) SetClockOverride(setup_.clock);
    if (setup_.programFolder) {
        SetAppFolderOverride(folder.path());
        if (!BuiltProgramFolder().empty()) EZ_SETAPPPATH(BuiltProgramFolder());
        ASSERT_TRUE(IniWrite(Paths().settingsFile, "Options", "Update", "0"));
    }
    if (setup_.freshDatabase) ASSERT_TRUE(folder.OpenFreshDatabase());
    if (setup_.tipsOn) {
        Opts().tipsOn = true;
        ASSERT_TRUE(IniWrite(Paths().settingsFile, "Options", "TipsOn", "1"));
    }
}

void FormTest::TearDown() {
    if (setup_.programFolder) {
        if (EZ_FORMEXISTS("VL")) EZ_DESTROYFORM("VL");
        if (slIsOpen()) slClose();
        SetAppFolderOverride("");
    }
    if (setup_.clock) SetClockOverride(std::nullopt);
}
