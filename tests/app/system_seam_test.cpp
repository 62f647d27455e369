// The command line a detached program gets on Windows: each argument comes
// back whole when Windows programs split the line by their rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/base/system.h"

namespace {

TEST(WindowsCommandLine, ArgumentsSurviveTheSplittingRules) {
    struct Case {
        std::vector<std::string> args;
        const char* line;
    };
    const Case cases[] = {
        {{"C:\\Program Files\\Vantrel\\setup.exe", "/SP-", "/VERYSILENT"},
         "\"C:\\Program Files\\Vantrel\\setup.exe\" /SP- /VERYSILENT"},
        {{"plain", ""}, "plain \"\""},
        // Backslashes are plain unless a quote follows them.
        {{"C:\\dir\\file"}, "C:\\dir\\file"},
        {{"say \"hi\""}, "\"say \\\"hi\\\"\""},
        {{"a\\\"b"}, "\"a\\\\\\\"b\""},
        // Backslashes before the closing quote are doubled.
        {{"C:\\with space\\"}, "\"C:\\with space\\\\\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"Zażółć Ελληνικά"}, "\"Zażółć Ελληνικά\""},
    };
    for (const Case& c : cases) EXPECT_EQ(WindowsCommandLine(c.args), c.line) << c.line;
}

}  // namespace
