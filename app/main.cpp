// The program: hands the three entry procedures to the toolkit.
#include "app/startup.h"
#include "app/toolkit/ez.h"

int main(int argc, char** argv) {
    return EZ_GUIRUN(argc, argv, StartApplication, DispatchEvent, DesignForm);
}
