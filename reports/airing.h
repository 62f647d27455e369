// The sentence printed in the Issues/Programs list about a program's airings.
#pragma once

#include <string>

#include "data/airings.h"

std::string AiringNarrative(const Airings& a, const std::string& freqCheck,
                            const std::string& frequency, const std::string& duration);
std::string ProgramParagraph(const Airings& a, const std::string& freqCheck,
                             const std::string& frequency, const std::string& duration,
                             const std::string& description);
