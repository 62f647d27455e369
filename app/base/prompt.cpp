#include "app/base/prompt.h"

#include <cstdio>
#include <cstdlib>

#include "app/base/text_util.h"

namespace {

MsgHook& Hook() {
    static MsgHook hook;
    return hook;
}

PromptProc& Proc() {
    static PromptProc proc;
    return proc;
}

// Number of buttons of a button list such as "*{G,f7}|&Yes|&No" or "&OK{G,f7}".
int ButtonCount(const std::string& buttons) {
    int n = 0;
    for (const std::string& item : Split(buttons, "|")) {
        std::string t = Trim(item);
        if (!t.empty() && t[0] != '*') ++n;
    }
    return n;
}

int PrintInstead(const MsgRequest& r) {
    std::fprintf(stderr, "[%s] %s\n", r.title.c_str(), r.text1.c_str());
    if (!Trim(r.text2).empty()) std::fprintf(stderr, "%s\n", r.text2.c_str());
    int n = std::abs(r.defaultButton);
    return n >= 1 && n <= ButtonCount(r.buttons) ? n : 99;
}

int Show(PromptKind kind, const MsgRequest& r) {
    if (Proc()) return Proc()(kind, r);
    if (kind != PromptKind::Simple && Hook()) return Hook()(r);
    return PrintInstead(r);
}

}  // namespace

MsgHook SetMsgHook(MsgHook hook) {
    MsgHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

const MsgHook& CurrentMsgHook() {
    return Hook();
}

void SetPromptProc(PromptProc proc) {
    Proc() = std::move(proc);
}

void PromptOk(const std::string& title, const std::string& text1, const std::string& text2) {
    Show(PromptKind::Ok, MsgRequest{"", title, text1, text2, "", "&OK{G,f7}", 1});
}

void PromptSimple(const std::string& text, const std::string& title) {
    Show(PromptKind::Simple, MsgRequest{"", title, text, "", "", "OK", 1});
}
