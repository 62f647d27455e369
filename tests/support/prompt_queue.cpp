#include "support/prompt_queue.h"

#include <gtest/gtest.h>

#include "app/toolkit/robot.h"

PromptQueue::PromptQueue() {
    previous_ = SetMsgHook([this](const MsgRequest& box) { return Reply(box); });
}

PromptQueue::PromptQueue(Robot& r) : robot_(&r) {}

PromptQueue::~PromptQueue() {
    CheckAllAsked();
    if (!robot_) SetMsgHook(previous_);
}

void PromptQueue::Expect(const std::string& titlePart, int answer, bool checkBox) {
    if (robot_)
        robot_->ExpectMsg(titlePart, answer, checkBox);
    else
        answers_.push_back({titlePart, answer, checkBox, nullptr});
}

void PromptQueue::ExpectWhileShown(const std::string& titlePart, int answer,
                                   std::function<void()> whileShown) {
    if (robot_) {
        ADD_FAILURE() << "ExpectWhileShown is for plain tests";
        return;
    }
    answers_.push_back({titlePart, answer, false, std::move(whileShown)});
}

void PromptQueue::CheckAllAsked() {
    for (const Answer& a : answers_)
        ADD_FAILURE() << "answer never asked for: \"" << a.titlePart << "\" " << a.button;
    answers_.clear();
}

std::vector<std::string> PromptQueue::Titles() const {
    std::vector<std::string> titles;
    for (const MsgRequest& r : seen) titles.push_back(r.title);
    return titles;
}

// The message box's answer: the button, negated while its check box is on;
// 99 is Esc.
int PromptQueue::Reply(const MsgRequest& box) {
    seen.push_back(box);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << box.title << " / " << box.text1;
        return 99;
    }
    const Answer a = answers_.front();
    answers_.pop_front();
    if (a.whileShown) a.whileShown();
    if (box.title.find(a.titlePart) == std::string::npos)
        ADD_FAILURE() << "got prompt: " << box.title << " / " << box.text1 << " (expected \""
                      << a.titlePart << "\")";
    if (a.checkBox && box.checkText.empty()) {
        ADD_FAILURE() << "the prompt has no check box: " << box.title;
        return a.button;
    }
    return a.checkBox ? -a.button : a.button;
}
