#pragma once
#include <QString>

// Names the program to Qt once the application object exists: the name picks
// the per-user data folder. No display name is set: window managers would add
// it to every caption, and the title bar shows the caption exactly.
void NameApplication();

// The application's title, the caption of every message box.
QString ApplicationTitle();
