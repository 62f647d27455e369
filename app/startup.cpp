// Start-up sequence, program folder and help.
#include "app/startup.h"

void StartApplication() {}
void ShowHelp(int) {}
