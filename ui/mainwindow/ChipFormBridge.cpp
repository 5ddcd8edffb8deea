#include "ui/mainwindow/ChipFormBridge.h"

#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "session/SettingsFile.h"

#include <climits>

ChipFormBridge::ChipFormBridge(MainController& mainController, QWidget* dialogParent)
    : controller(mainController), prompts(dialogParent)
{
}

ChipFormContext ChipFormBridge::context()
{
    ChipCatalogue& catalogue = controller.session().catalogue();
    return ChipFormContext{
        catalogue.ClientDataSet,
        catalogue.ChipFilter,
        *this,
        prompts,
        ChipListWritePath().toStdString(),
        catalogue.ChipListDate,
        catalogue.ChipListVersion,
        [this] { controller.ChooseChip(); },
        [&catalogue](double date, std::int32_t version) { catalogue.databaseSaved(date, version); },
        AppPaths::ProgramFolder().toStdString(),
    };
}

std::optional<QPoint> ChipFormBridge::readPosition()
{
    const SettingsFile file(SettingsPath());
    const int left = file.readInt("Window", "ChBaseLeft", INT_MIN), top = file.readInt("Window", "ChBaseTop", INT_MIN);
    if (left == INT_MIN || top == INT_MIN) return std::nullopt;
    return QPoint(left, top);
}

void ChipFormBridge::writePosition(QPoint topLeft)
{
    SettingsFile file(SettingsPath());
    file.writeInt("Window", "ChBaseTop", topLeft.y());
    file.writeInt("Window", "ChBaseLeft", topLeft.x());
    QString error;
    if (!file.save(&error))
        controller.PrintLog(Localized("Settings could not be saved: ", "Не удалось сохранить настройки: ") + error,
                            LogColour::Red);
}

QString ChipFormBridge::readChipName()
{
    return SettingsFile(SettingsPath()).readText("Chip", "Type", QStringLiteral("24C01"));
}
