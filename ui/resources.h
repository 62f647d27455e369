// Where the program's own read-only files are: the images, the help pages,
// the program history and the shipped spelling word list.
#pragma once

#include <string>

// The folder the resources are read from, with a trailing "/": the
// executable's folder when they lie beside it (a build's program folder or a
// copied program folder), else <prefix>/share/vantrel/ when the executable
// is an installed <prefix>/bin/vantrel.
std::string ResourceFolder();
// True when the program runs from an installation (resources under
// <prefix>/share/vantrel/): it then keeps the user's data in
// $XDG_DATA_HOME/Vantrel and never writes beside the executable.
bool IsInstalledCopy();
// A resource file by its name below the resource folder ("History.rtf",
// "Images/x.png"); when it is not there, the same name in the program
// folder (Paths().appFolder). Empty when neither exists.
std::string FindResource(const std::string& name);

// The name of the installed resource folder below the prefix.
inline constexpr const char* kInstalledResourceDir = "share/vantrel/";
