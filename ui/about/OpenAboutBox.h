#pragma once
// The About box in the running program, filled from the controller and Vespera.ini.

#include <QWidget>

class MainController;
class ProgramUpdateCheck;

// Opens the About box modally; a new one for each showing. Its "Check for updates" button asks
// `updates`, and the box shows the answer.
void OpenAboutBox(QWidget* parent, MainController& controller, ProgramUpdateCheck& updates);
