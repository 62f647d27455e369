// The program's own message box (form "DGMSGBOX1") with format codes.
#pragma once

#include <functional>
#include <string>

#include "app/base/prompt.h"

// Control ids of the message box form (the robot relies on them).
inline constexpr const char* kMsgBoxForm = "DGMSGBOX1";
inline constexpr int kMsgText1Id = 90;
inline constexpr int kMsgText2Id = 91;
inline constexpr int kMsgCheckId = 95;
inline constexpr int kMsgPictureId = 96;
inline constexpr int kMsgFirstButtonId = 101;  // button n has id 100 + n

int DgMsgBox(const std::string& parent, const std::string& title, const std::string& text1,
             const std::string& text2, const std::string& checkText, const std::string& buttons,
             const std::string& picture, int defaultButton, const std::string& options);
int DgMsgAsk(const std::string& title, const std::string& text1, const std::string& text2,
             const std::string& checkText, const std::string& buttons, int defaultButton);
void DgMsgOk(const std::string& title, const std::string& text1, const std::string& text2);

// Shows the prompts of window-free code (app/base/prompt.h) with this box;
// start-up and the GUI test set-up call it.
void InstallMessageBox();

// A second seam for GUI tests: called once each time the real dialog has been
// shown (it is still open), e.g. to take a screenshot or press a key through
// DispatchEvent. Returns the previous hook.
using MsgShownHook = std::function<void()>;
MsgShownHook SetMsgShownHook(MsgShownHook hook);
