// Spell checker: word lists and the check of a text field.
#pragma once

#include <string>
#include <vector>

void LoadWordList();
void SpellCheckControl(const std::string& form, int control);
