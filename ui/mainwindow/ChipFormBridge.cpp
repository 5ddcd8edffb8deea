#include "ui/mainwindow/ChipFormBridge.h"

#include "app/AppPaths.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "app/SettingsFile.h"

ChipFormBridge::ChipFormBridge(MainController &controller, QWidget *dialogParent)
    : controller(controller), prompts(dialogParent)
{
}

ChipFormContext ChipFormBridge::context()
{
    return ChipFormContext{
        controller.ClientDataSet,
        controller.ChipFilter,
        LanguageId,
        *this,
        prompts,
        MainController::ChipListPath().toStdString(),
        controller.ChipListDate,
        controller.ChipListVersion,
        [this] { controller.ChooseChip(); },
        [this](double date, std::int32_t version) {
            controller.ChipListDate = date;
            controller.ChipListVersion = version;
        },
        AppPaths::ProgramFolder().toStdString(),
    };
}

QPoint ChipFormBridge::readPosition()
{
    const SettingsFile file(MainController::SettingsPath());
    return {file.readInt("Window", "ChBaseLeft", 0), file.readInt("Window", "ChBaseTop", 0)};
}

void ChipFormBridge::writePosition(QPoint topLeft)
{
    SettingsFile file(MainController::SettingsPath());
    file.writeInt("Window", "ChBaseTop", topLeft.y());
    file.writeInt("Window", "ChBaseLeft", topLeft.x());
    QString error;
    if (!file.save(&error))
        controller.PrintLog(Lang("Settings could not be saved: ", "Не удалось сохранить настройки: ") + error,
                            LogColour::Red);
}

QString ChipFormBridge::readChipName()
{
    return SettingsFile(MainController::SettingsPath()).readText("Chip", "Type", QStringLiteral("24C01"));
}
