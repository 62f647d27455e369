// Spell checker (placeholder until the word list and dialogs land).
#include "services/spell.h"

void LoadWordList() {}
void SpellCheckControl(const std::string&, int) {}
