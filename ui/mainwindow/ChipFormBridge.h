#pragma once
// What the device selection dialog needs from the main window: the chip table, the settings keys
// it reads and writes, message boxes and the two things it reports back.
#include "ui/chipform/ChipFormPorts.h"
#include "ui/chipform/MessageBoxPrompts.h"

class MainController;

class ChipFormBridge : public ChipFormSettings {
public:
    ChipFormBridge(MainController& controller, QWidget* dialogParent);

    ChipFormContext context();

    std::optional<QPoint> readPosition() override;
    void writePosition(QPoint topLeft) override;
    QString readChipName() override;

private:
    MainController& controller;
    MessageBoxPrompts prompts;
};
