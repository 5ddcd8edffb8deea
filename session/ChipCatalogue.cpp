#include "session/ChipCatalogue.h"

#include "chipdb/ChipListDate.h"
#include "chipdb/ChipListFile.h"
#include "chipdb/SetParams.h"
#include "session/Language.h"
#include "session/Session.h"

#include <QDate>
#include <QLocale>

namespace {
QString ChipListDateText(double date)
{
    const auto ymd = chipdb::ymdFromChipListDate(date);
    if (!ymd) return QStringLiteral("?");
    const QDate day(int(ymd->year()), int(unsigned(ymd->month())), int(unsigned(ymd->day())));
    return QLocale().toString(day, QLocale::ShortFormat);
}

QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}
} // namespace

ChipCatalogue::ChipCatalogue(Session& session) : session_(session)
{
    ClientDataSet.setFilterTest([this](const chipdb::ChipRecord& row) { return ChipFilter.accepts(row); });
}

ChipCatalogue::DatabaseLoad ChipCatalogue::LoadChipDatabase(const QString& path)
{
    SessionEvents& events = session_.events();
    const chipdb::ChipListLoad load = chipdb::LoadChipList(path.toStdString(), ClientDataSet);
    switch (load.status) {
    case chipdb::ChipListStatus::CannotOpen:
        session_.noteOutcome(Outcome::BadInput);
        events.inform(QStringLiteral("Файл ChipList.dat не удается открыть"));
        return DatabaseLoad::Missing;
    case chipdb::ChipListStatus::ZlibError:
        session_.noteOutcome(Outcome::BadInput);
        events.inform(QStringLiteral("Z_ERROR ") + QString::number(load.zlibCode));
        return DatabaseLoad::Missing;
    case chipdb::ChipListStatus::DamagedHeader:
        session_.noteOutcome(Outcome::BadInput);
        events.inform(Localized("ChipList.dat is damaged: its header is incomplete.",
                                "Файл ChipList.dat повреждён: неполный заголовок."));
        return DatabaseLoad::Damaged;
    case chipdb::ChipListStatus::DamagedImage:
    case chipdb::ChipListStatus::Ok: break;
    }
    ChipListDate = load.date;
    ChipListVersion = load.version;
    session_.PrintLog(QStringLiteral("ChipList.dat version: ") + ChipListDateText(load.date) + QLatin1Char('.') +
                      QString::number(load.version));
    if (load.status == chipdb::ChipListStatus::DamagedImage) {
        session_.noteOutcome(Outcome::BadInput);
        events.inform(Localized("The chip table in ChipList.dat is damaged; the chip list is empty.",
                                "Таблица чипов в ChipList.dat повреждена; список чипов пуст."));
        return DatabaseLoad::Damaged;
    }
    if (!locate(chip.name)) ClientDataSet.moveTo(0);
    return DatabaseLoad::Loaded;
}

const chipdb::ChipRecord* ChipCatalogue::find(const std::string& chipName) const
{
    for (const chipdb::ChipRecord& row : ClientDataSet.rows())
        if (row.CHIPTEXT == chipName) return &row;
    return nullptr;
}

bool ChipCatalogue::locate(const std::string& chipName)
{
    return ClientDataSet.locate(chipdb::ChipField::CHIPTEXT, chipName);
}

void ChipCatalogue::SetParams(bool fromDialog)
{
    const chipdb::ChipRecord* row = ClientDataSet.current();
    if (!row) return;
    const chipdb::ChipSelection selection = chipdb::SetParams(*row, session_.settings().ackCheck, fromDialog);
    chip = chipdb::ChipFromRecord(*row);
    if (selection.lowVoltageWarning)
        session_.events().warn(Utf8(chipdb::kLowVoltageText), Utf8(chipdb::kLowVoltageCaption));
    session_.PrintLog(Localized(selection.logLine));
    session_.loadEditorFromTransfer();
    session_.events().chipSelected(selection.spiControls);
}

void ChipCatalogue::ChooseChip(bool fromDialog)
{
    ChipFilter.signatureMode = false;
    SetParams(fromDialog);
    session_.events().chipChosen(QString::fromStdString(chip.name));
}

bool ChipCatalogue::chooseBySignature(const std::string& signature)
{
    if (signature.empty()) return false;
    const QString wanted = QString::fromStdString(signature);
    const auto& rows = ClientDataSet.rows();
    for (const chipdb::ChipRecord& row : rows)
        if (QString::fromStdString(row.SIGNATURE).contains(wanted, Qt::CaseInsensitive) && locate(row.CHIPTEXT)) {
            ChooseChip(false);
            return true;
        }
    return false;
}

chipdb::Chip ChipCatalogue::InitialChip()
{
    chipdb::Chip initial;
    const chipdb::SelectedChip before;
    initial.name = before.ChipName;
    initial.size = before.ChipSize;
    initial.statusRegisters = before.StatusRegCount;
    return initial;
}

void ChipCatalogue::databaseSaved(double date, int32_t version)
{
    ChipListDate = date;
    ChipListVersion = version;
}
