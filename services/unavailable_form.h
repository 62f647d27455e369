// A plain form for the maintenance services that this version does not offer
// yet: it says so and closes. Keeps the menu commands harmless.
#pragma once

#include <cstdint>
#include <string>

#include "app/toolkit/ez.h"

void UnavailableFormDesign(const std::string& form, const std::string& what);
void UnavailableFormEvent(const std::string& form, int id, EzEvent ev);
