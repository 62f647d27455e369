// Messages for the user from code that shows no window of its own (date
// parsing, quarter creation, the database upgrade). The message box of the
// user interface installs itself as the way they are shown; until it does
// (plain tests, command-line use), a message goes to stderr and its default
// button answers.
#pragma once

#include <functional>
#include <string>

// One message as the message box receives it.
struct MsgRequest {
    std::string parent, title, text1, text2, checkText, buttons;
    int defaultButton = 0;
};

// A test seam: while a hook is installed, every message box (and every
// prompt below) hands its message to the hook instead of showing it, and
// returns the hook's answer.
using MsgHook = std::function<int(const MsgRequest&)>;
// Installs a hook (an empty function removes it); returns the previous one.
MsgHook SetMsgHook(MsgHook hook);
const MsgHook& CurrentMsgHook();

// How a prompt is to be shown: the "OK" box or the toolkit's simple box.
// (Code below the user interface tells; it never asks.)
enum class PromptKind { Ok, Simple };
using PromptProc = std::function<int(PromptKind, const MsgRequest&)>;
// The user interface installs the procedure that shows prompts.
void SetPromptProc(PromptProc proc);

void PromptOk(const std::string& title, const std::string& text1, const std::string& text2);
void PromptSimple(const std::string& text, const std::string& title);
