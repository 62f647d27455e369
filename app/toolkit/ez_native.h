// Translations between the toolkit's own conventions and those of a native
// control library (the Win32 backend uses them; they need no system header,
// so they are written and tested once here): text positions, key chords,
// date-picker formats and file-dialog filters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ez {

// Positions in a control that holds text as UTF-16 from byte offsets into the
// UTF-8 text EZ_GETTEXT gives, and back. A "\n" counts lineEnd code units in
// the control (2 where it holds "\r\n"). Offsets past the end clamp to it; an
// offset inside a character counts from that character's start.
int Utf16Position(std::string_view utf8, int byteOffset, int lineEnd);
int Utf8Offset(std::string_view utf8, int utf16Position, int lineEnd);

// An accelerator such as "F1", "Ctrl+S" or "Ctrl+Shift+Del". key is "F1" to
// "F24", one upper-case letter or digit, "+", or one of "Delete", "Insert",
// "Enter", "Esc", "Tab", "Space", "Home", "End", "PageUp", "PageDown", "Up",
// "Down", "Left", "Right", "Backspace". Letter case does not matter.
struct KeyChord {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    std::string key;
};
// False when the text names no such key (then chord is left as it was).
bool ParseKeyChord(std::string_view text, KeyChord& chord);

// A date format as the program writes it ("MM-dd-yyyy HH:mm", "AP" for the
// AM/PM marker) in a date picker's format language: the same letters, "tt"
// for the marker, every other character quoted ('-', ':' ...).
std::string PickerDateFormat(std::string_view format);

// "PDF Files (*.pdf)|*.pdf|All Files (*.*)|*.*" as description and pattern
// pairs; a filter without "|" is one pair of itself.
struct FileFilter {
    std::string description;
    std::string patterns;
};
std::vector<FileFilter> ParseFileFilter(std::string_view filter);
// The extension a saved file gets when its name has none: the first
// pattern's ("pdf" of "*.pdf"); "" when the first pattern names none ("*.*").
std::string DefaultExtension(const std::vector<FileFilter>& filters);

}  // namespace ez
