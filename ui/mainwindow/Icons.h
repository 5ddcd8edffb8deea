#pragma once
// One icon set for the whole window: the desktop's icon theme (Breeze where installed), with the
// style's standard icons where the theme has nothing.
#include "app/ComponentNames.h"

#include <QIcon>

void UseIconTheme();
QIcon ComponentIcon(ComponentName component);

// The program's own icon, the file the desktop entry names, carried in the program.
QIcon ProgramIcon();
