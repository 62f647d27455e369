// Opening the database when the main window loads: the checks of a file that
// is damaged, of another layout, read-only or held by another program, and
// the messages that tell the user so.
#pragma once

// Opens (or creates) and upgrades the database after checking it. A damaged
// file or one that lacks tables or columns is opened read-only, so nothing is
// written into it. False when the user chose to quit while another program
// held the database.
bool OpenDatabaseAtStartup();
