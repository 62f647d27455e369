// Writing a whole file so that a failure never destroys what was there.
#pragma once

#include <string>
#include <string_view>

// Writes bytes to a temporary file in the target's folder, flushes it to the
// disk and renames it over path only when every byte was written. Returns 0,
// or the errno of the first failure (then path is as it was and no temporary
// file is left behind).
int ReplaceFileContents(const std::string& path, std::string_view bytes);

// Why a write failed, in words that fit "... was not written: <reason>":
// "the disk is full" for a full disk or quota, "the folder cannot be written
// to" for missing permission, else the system's text.
std::string WriteErrorText(int err);
