// Test support: answers to the program's message boxes, queued by the test in
// the order the boxes are to come. A box that comes with no answer queued
// fails the test ("unexpected prompt", answered with Esc), and so does a box
// whose title does not contain the part its answer names, and an answer still
// queued when the queue ends ("answer never asked for").
//
// Plain tests: the queue answers through the message hook (app/base/prompt.h)
// and keeps every box in `seen`:
//
//   PromptQueue prompts;
//   prompts.Expect("Invalid Date");       // button 1
//   ParseDate("13-45-2019");
//   EXPECT_EQ(prompts.seen[0].text1, ...);
//
// Robot tests: built on the robot, the same Expect becomes the robot's
// message-box step at that point of its steps, so the real box is shown and
// its button pressed; a missing or unused answer is one of the robot's errors
// (Robot::Ok), and the box is in Robot::MessageTitles.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/base/prompt.h"

class Robot;

class PromptQueue {
public:
    PromptQueue();                   // answers through the message hook
    explicit PromptQueue(Robot& r);  // the robot answers the real box
    ~PromptQueue();
    PromptQueue(const PromptQueue&) = delete;
    PromptQueue& operator=(const PromptQueue&) = delete;

    // The next box: its title contains titlePart; it is answered with button
    // `answer` (99: Esc), after ticking its check box when checkBox is set.
    void Expect(const std::string& titlePart, int answer = 1, bool checkBox = false);
    // Plain tests: as Expect, and `whileShown` runs while the box is up (what
    // another program does meanwhile).
    void ExpectWhileShown(const std::string& titlePart, int answer,
                          std::function<void()> whileShown);
    // Fails the test for every answer still queued and forgets them; also
    // done when the queue ends.
    void CheckAllAsked();

    // Plain tests: the boxes that came, in order, and their titles.
    std::vector<MsgRequest> seen;
    std::vector<std::string> Titles() const;

private:
    struct Answer {
        std::string titlePart;
        int button = 1;
        bool checkBox = false;
        std::function<void()> whileShown;
    };
    int Reply(const MsgRequest& box);

    Robot* robot_ = nullptr;
    std::deque<Answer> answers_;
    MsgHook previous_;
};
