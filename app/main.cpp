// The program: installs the desktop platform and hands the three entry
// procedures to the toolkit.
#include "app/forms.h"
#include "app/startup.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/ez.h"

int main(int argc, char** argv) {
    SetPlatform(MakeDesktopPlatform());
    return EZ_GUIRUN(argc, argv, StartApplication, DispatchEvent, DesignForm);
}
