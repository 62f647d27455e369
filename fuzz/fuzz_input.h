// Helpers shared by the fuzz targets: the input as text and split into fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/msgbox.h"

// The input split at NUL bytes into at least `count` fields (missing ones empty).
inline std::vector<std::string> FuzzFields(const uint8_t* data, size_t size, size_t count) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            fields.emplace_back();
        else
            fields.back() += static_cast<char>(data[i]);
    }
    if (fields.size() < count) fields.resize(count);
    return fields;
}

// Every message the parser would show is answered with its first button, so
// no dialog is ever shown while fuzzing.
inline void AnswerMessagesQuietly() {
    static bool done = false;
    if (done) return;
    done = true;
    SetMsgHook([](const MsgRequest&) { return 1; });
}
