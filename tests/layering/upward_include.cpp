// Compiled by the layering checks with the include root of one layer: the
// message box belongs to the user-interface layer, above the data layer.
#include "ui/msgbox.h"

int main() {
    return 0;
}
