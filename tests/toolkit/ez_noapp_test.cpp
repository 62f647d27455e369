// Without a running toolkit every call is a harmless no-op, and the windows it
// could not show are listed so that a test can fail on them.
#include <gtest/gtest.h>

#include "app/base/fs.h"
#include "app/toolkit/ez.h"
#include "app/toolkit/ez_testing.h"

TEST(ToolkitWithoutApplication, CallsAreSafeNoOps) {
    ASSERT_FALSE(EZ_ISRUNNING());
    EZ_FORM("VL", "", "Main", -1, -1, 80, 30);
    EXPECT_FALSE(EZ_FORMEXISTS("VL"));
    EZ_CONTROL("VL", 100, EzKind::Text, "x", 1, 1, 10, 1);
    EZ_SETTEXT("VL", 100, "y");
    EXPECT_EQ(EZ_GETTEXT("VL", 100), "");
    EXPECT_EQ(EZ_GETTEXT("VL", 0), "");
    EXPECT_FALSE(EZ_GETCHECK("VL", 100));
    EXPECT_FALSE(EZ_ISENABLED("VL", 100));
    EXPECT_EQ(EZ_LVADDROW("VL", 110, {"a"}, 1), -1);
    EXPECT_EQ(EZ_LVROWCOUNT("VL", 110), 0);
    EXPECT_EQ(EZ_LVNEXTSELECTED("VL", 110, -1), -1);
    EXPECT_EQ(EZ_ADDITEM("VL", 105, "a", 1), -1);
    EXPECT_EQ(EZ_SELECTEDITEM("VL", 105), -1);
    EXPECT_EQ(EZ_CURRENTFORM(), "");
    EXPECT_EQ(EZ_GETFOCUS("VL"), 0);
    EXPECT_EQ(EZ_OPENFILEDLG("VL", "Open", "/tmp", "All (*.*)|*.*"), "");
    EXPECT_FALSE(EZ_SCREENSHOT("VL", "/tmp/never.png"));
    EZ_POSTEVENT("VL", 0, 1);
    EZ_DOEVENTS();
    EZ_UNLOADFORM("VL");
    EZ_DESTROYFORM("VL");
    EZ_MSGBOX("", "Cannot create the database", "DB Error");  // to stderr
    int y = 1, m = 1, d = 1, h = 1, mi = 1;
    EZ_DTGET("VL", 120, y, m, d, h, mi);
    EXPECT_EQ(y + m + d + h + mi, 0);
    // Measurement still gives usable estimates (one column a character, one row a line).
    EXPECT_DOUBLE_EQ(EZ_TEXTWIDTH(6, "caf\xc3\xa9"), 4.0);
    EXPECT_DOUBLE_EQ(EZ_TEXTHEIGHT(6, "a\nb"), 2.0);
    EXPECT_GT(EZ_COLSTOPIXELS(10), 0);
    EXPECT_FALSE(EZ_APPPATH().empty());
    EXPECT_TRUE(IsPathSeparator(EZ_APPPATH().back())) << EZ_APPPATH();
    // The windows that could not be shown are listed, for the test guard.
    EXPECT_EQ(EZ_TAKEUNSHOWN(), (std::vector<std::string>{"form VL", "file dialog \"Open\"",
                                                          "message box \"DB Error\""}));
    EXPECT_TRUE(EZ_TAKEUNSHOWN().empty());
}
