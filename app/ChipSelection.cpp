// The chip database in the main window: loading ChipList.dat at the first showing, selecting the
// saved chip, and applying a chosen row as the chip every operation works on.
#include "app/AppPaths.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "app/SettingsFile.h"
#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"
#include "chipdb/SetParams.h"
#include "worker/TransferBuffer.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>

namespace {
QString ChipListDateText(double date)
{
    const auto ymd = chipdb::ymdFromChipListDate(date);
    if (!ymd)
        return QStringLiteral("?");
    const QDate day(int(ymd->year()), int(unsigned(ymd->month())), int(unsigned(ymd->day())));
    return QLocale().toString(day, QLocale::ShortFormat);
}
} // namespace

QString MainController::ChipListPath()
{
    const QString written = FilePath(QString(), QString::fromLatin1(chipdb::kChipListFileName));
    if (QFileInfo::exists(written))
        return written;
    return AppPaths::ProgramFolder() + QLatin1Char('/') + QString::fromLatin1(chipdb::kChipListFileName);
}

MainController::DatabaseLoad MainController::LoadChipDatabase()
{
    const chipdb::ChipListLoad load = chipdb::LoadChipList(ChipListPath().toStdString(), ClientDataSet);
    switch (load.status) {
    case chipdb::ChipListStatus::CannotOpen:
        view.showMessage(QStringLiteral("Файл ChipList.dat не удается открыть"));
        return DatabaseLoad::Missing;
    case chipdb::ChipListStatus::ZlibError:
        view.showMessage(QStringLiteral("Z_ERROR ") + QString::number(load.zlibCode));
        return DatabaseLoad::Missing;
    case chipdb::ChipListStatus::DamagedHeader:
        view.showMessage(Lang("ChipList.dat is damaged: its header is incomplete.",
                              "Файл ChipList.dat повреждён: неполный заголовок."));
        return DatabaseLoad::Damaged;
    case chipdb::ChipListStatus::DamagedImage:
    case chipdb::ChipListStatus::Ok:
        break;
    }
    ChipListDate = load.date;
    ChipListVersion = load.version;
    PrintLog(QStringLiteral("ChipList.dat version: ") + ChipListDateText(load.date) + QLatin1Char('.')
             + QString::number(load.version));
    if (load.status == chipdb::ChipListStatus::DamagedImage) {
        view.showMessage(Lang("The chip table in ChipList.dat is damaged; the chip list is empty.",
                              "Таблица чипов в ChipList.dat повреждена; список чипов пуст."));
        return DatabaseLoad::Damaged;
    }
    if (!ClientDataSet.locate(chipdb::ChipField::CHIPTEXT, chip.ChipName))
        ClientDataSet.moveTo(0);
    return DatabaseLoad::Loaded;
}

void MainController::SetParams(bool fromDialog)
{
    const chipdb::ChipRecord *row = ClientDataSet.current();
    if (!row)
        return;
    const chipdb::ChipSelection selection = chipdb::SetParams(*row, view.isChecked("MmAck"), fromDialog);
    chip = selection.chip;
    if (selection.lowVoltageWarning)
        view.showWarning(QString::fromUtf8(chipdb::kLowVoltageText.data(), qsizetype(chipdb::kLowVoltageText.size())),
                         QString::fromUtf8(chipdb::kLowVoltageCaption.data(),
                                           qsizetype(chipdb::kLowVoltageCaption.size())));
    PrintLog(Lang(selection.logLine));
    HexEditorUpdate(TransferBuffer(), chip.ChipSize, false, false);
    view.setEnabled("MmSpi", selection.spiControls);
    view.setVisible("SpiPanel", selection.spiControls);
}

void MainController::ChooseChip(bool fromDialog)
{
    ChipFilter.signatureMode = false;
    SetParams(fromDialog);
    SettingsFile file(SettingsPath());
    file.writeText("Chip", "Type", QString::fromStdString(chip.ChipName));
    SaveSettingsFile(file);
}
