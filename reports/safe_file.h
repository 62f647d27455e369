// Writing a file so that it is either the old one or the complete new one:
// the content goes into a temporary file beside the target, which is renamed
// over the target only when everything was written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Creates a temporary file beside path, lets write fill it (write gets the
// temporary file's path and returns false with a reason in error when it
// failed), then renames it over path. On any failure the temporary file is
// removed, path is left as it was, error says why and false is returned.
bool ReplaceFileWith(
    const std::string& path,
    const std::function<bool(const std::string& tempPath, std::string& error)>& write,
    std::string& error);

// ReplaceFileWith for bytes in memory.
bool ReplaceFileWithBytes(const std::string& path, std::string_view bytes, std::string& error);
