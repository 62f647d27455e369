// Placeholder until the Qt implementation lands.
#include "app/toolkit/ez.h"

int EZ_GUIRUN(int, char**, EzStartProc start, EzEventProc, EzDesignProc) {
    if (start) start();
    return 0;
}
void EZ_FORM(const std::string&, const std::string&, const std::string&, double, double, double,
             double, const std::string&) {}
