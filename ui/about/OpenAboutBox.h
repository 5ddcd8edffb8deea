#pragma once
// The About box in the running program, filled from the controller and Vespera.ini.

#include <QWidget>

class MainController;

// Opens the About box modally; a new one for each showing.
void OpenAboutBox(QWidget* parent, MainController& controller);
