// Test support: message boxes recorded instead of shown.
#pragma once

#include <string>
#include <vector>

#include "ui/msgbox.h"

// While it lives, every message box is recorded in `seen` and answered with
// `answer` (which a test may change); the previous hook is put back at the end.
class Prompts {
public:
    explicit Prompts(int answer = 1);
    ~Prompts();
    Prompts(const Prompts&) = delete;
    Prompts& operator=(const Prompts&) = delete;
    // The titles of the boxes seen, in order.
    std::vector<std::string> Titles() const;

    std::vector<MsgRequest> seen;
    int answer;

private:
    MsgHook previous_;
};
