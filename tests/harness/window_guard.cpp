// Linked into every test program: a test fails when the code it runs asked for
// a window (a form, a message box, a file dialog) while no toolkit was running.
// Without a toolkit such calls do nothing, so a form opened by mistake from
// window-free code, or a message a plain test never answers, would otherwise
// pass unseen. Tests that mean to call the toolkit without one take the list
// themselves (EZ_TAKEUNSHOWN).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/toolkit/ez_testing.h"

namespace {

class WindowGuard : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { EZ_TAKEUNSHOWN(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (const std::string& what : EZ_TAKEUNSHOWN())
            ADD_FAILURE() << "asked for a " << what << " while no toolkit was running";
    }
};

// Appended before the test program starts; the listener list owns it.
const bool kInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(
        std::make_unique<WindowGuard>().release());
    return true;
}();

}  // namespace
