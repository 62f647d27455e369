#include "support/shell_prompts.h"

Prompts::Prompts(int answer) : answer(answer) {
    previous_ = SetMsgHook([this](const MsgRequest& r) {
        seen.push_back(r);
        return this->answer;
    });
}

Prompts::~Prompts() {
    SetMsgHook(previous_);
}

std::vector<std::string> Prompts::Titles() const {
    std::vector<std::string> titles;
    for (const MsgRequest& r : seen) titles.push_back(r.title);
    return titles;
}
