// Opening the help pages at a context number.
#pragma once

// Opens the help page of a context number through the platform seam
// (0 = contents, -1 = index).
void ShowHelp(int topic);
