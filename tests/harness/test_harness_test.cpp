// The shared test helpers fail the test that uses them wrongly: a refused
// seeding insert, a message box nobody expected, an answer never asked for.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "support/prompt_queue.h"
#include "support/seed.h"
#include "support/test_env.h"

namespace {

TEST(Seeding, ARefusedInsertFailsTheTestAndGivesNoEarlierId) {
    TempProgramFolder folder;
    ASSERT_TRUE(folder.OpenFreshDatabase());
    const RowId first = SeedStation("WAAA-FM", "Town", 20191);
    EXPECT_GT(first, 0);
    ExecSql("CREATE TRIGGER refuse BEFORE INSERT ON Stations BEGIN SELECT RAISE(ABORT, 'no'); END");
    RowId refused = -1;
    EXPECT_NONFATAL_FAILURE(refused = SeedStation("WBBB-AM", "City", 20191), "seeding failed");
    EXPECT_EQ(refused, 0);
    EXPECT_NONFATAL_FAILURE(ExecSql("DROP TABLE NoSuchTable"), "statement failed");
}

// What the queue answers, and whether it fails the test, for the answers
// queued and the boxes that come.
TEST(PromptQueueAnswers, MissingLeftoverAndMismatchedAnswersFail) {
    const MsgRequest ask{"", "Delete This Issue", "Sure?", "", "Never ask again", "&Yes|&No", 2};
    struct Case {
        const char* name;
        std::vector<int> buttons;  // queued answers for "Delete"; -1: with the check box
        int boxes;                 // boxes shown
        std::vector<int> replies;  // what the boxes get
        const char* failure;       // "" when the test passes
    } cases[] = {
        {"answered in order", {2, 1}, 2, {2, 1}, ""},
        {"check box ticked", {-1}, 1, {-1}, ""},
        {"a box nobody expected is Esc", {}, 1, {99}, "unexpected prompt: Delete This Issue"},
        {"an answer never asked for", {1, 2}, 1, {1}, "answer never asked for"},
    };
    for (const Case& c : cases) {
        std::vector<int> replies;
        auto play = [&] {
            PromptQueue prompts;
            for (int b : c.buttons) prompts.Expect("Delete", b < 0 ? -b : b, b < 0);
            for (int i = 0; i < c.boxes; ++i) replies.push_back(CurrentMsgHook()(ask));
        };
        if (*c.failure)
            EXPECT_NONFATAL_FAILURE(play(), c.failure);
        else
            play();
        EXPECT_EQ(replies, c.replies) << c.name;
    }
    EXPECT_FALSE(CurrentMsgHook()) << "the hook is put back";

    PromptQueue prompts;
    prompts.Expect("Changes Not Saved");
    EXPECT_NONFATAL_FAILURE(CurrentMsgHook()(ask), "got prompt: Delete This Issue");
}

}  // namespace
