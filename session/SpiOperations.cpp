#include "session/SpiOperations.h"

#include "chipdb/ChipKind.h"
#include "session/Language.h"
#include "session/Session.h"
#include "spi/SpiIdentify.h"
#include "spi25/SpiProtection.h"
#include "spi/SpiSmartWrite.h"
#include "spi/SpiStatus.h"
#include "spi/SpiUnprotect.h"
#include "spi/SpiWorkers.h"

#include <algorithm>

namespace {
QString RegistersText(const StatusReadResult& read, int count)
{
    return QString::fromStdString(StatusRegisterText(read.values, count));
}
} // namespace

void SpiOperations::PrintSpiLog(const SpiLog& log)
{
    for (const LogLine& line : log)
        if (line.error)
            session_.fail(Outcome::IoFailure, Localized(line.text));
        else
            session_.PrintLog(Localized(line.text));
}

bool SpiOperations::ChipPresentOrReady()
{
    SpiLog log;
    const bool present = ChipPresent(*session_.adapter().Library, session_.chip().ChipKind, log);
    if (present) {
        PrintSpiLog(log);
        return true;
    }
    session_.noteOutcome(Outcome::NoDevice);
    PrintSpiLog(log);
    session_.ActivateControls(Ready);
    return false;
}

bool SpiOperations::WakeAndCheckStatus()
{
    Ch341Library& library = *session_.adapter().Library;
    SpiLog log;
    GetSpiId(library, log); // wakes the chip; the answer is not looked at
    PrintSpiLog(log);
    SpiLog readLog;
    if (ReadStatusRegisters(library, 1, readLog).failed) {
        session_.fail(Outcome::IoFailure,
                      Localized("Status register reading error!", "Ошибка чтения регистра статуса!"));
        return false;
    }
    return true;
}

void SpiOperations::SPIReadCommand(const QString& startLine)
{
    if (!ChipPresentOrReady()) return;
    // A chip whose status cannot be read cannot be read either: the red line of the status read
    // says why, and nothing is started.
    if (session_.spi().ReadStatusIntoShadow().failed) {
        session_.ActivateControls(Ready);
        return;
    }
    const chipdb::SelectedChip& chip = session_.chip();
    if (const auto lines = StatusRegisterLines(session_.document().StatusShadow, chip.StatusRegCount))
        session_.PrintLog(Localized(lines->text));
    session_.PrintLog(startLine);
    SPIReadChip();
}

void SpiOperations::SPICompareCommand(const QString& startLine)
{
    if (!ChipPresentOrReady()) return;
    session_.PrintLog(startLine);
    SPIReadChip();
}

SpiOperations::Unprotection SpiOperations::OfferUnprotect()
{
    const chipdb::SelectedChip& chip = session_.chip();
    SpiLog log;
    const StatusReadResult before = ReadStatusRegisters(*session_.adapter().Library, chip.StatusRegCount, log);
    PrintSpiLog(log);
    if (before.failed) {
        session_.ActivateControls(Ready);
        return {false, false};
    }
    if (!BlockProtectionSet(chip.ChipName, chip.ChipKind, before.values, chip.StatusRegCount)) return {};
    const QString registers = RegistersText(before, chip.StatusRegCount);
    if (!session_.events().confirm(
            Localized("Block protection is set (status registers %1).\nUnprotect the chip first?",
                      "Установлена защита блоков (регистры статуса %1).\nСнять защиту с чипа?")
                .arg(registers),
            Localized("Protected chip", "Защищённый чип"))) {
        session_.PrintLog(
            Localized("The chip stays protected: status registers ", "Защита чипа не снята: регистры статуса ") +
            registers);
        return {};
    }
    return {true, UnprotectAndReport()};
}

bool SpiOperations::UnprotectAndReport()
{
    const chipdb::SelectedChip& chip = session_.chip();
    Ch341Library& library = *session_.adapter().Library;
    SpiLog log;
    session_.knownChip().forget();
    const StatusReadResult before = ReadStatusRegisters(library, chip.StatusRegCount, log);
    const bool eraseFollows = Unprotect(library, chip.ChipName, log);
    const StatusReadResult after = ReadStatusRegisters(library, chip.StatusRegCount, log);
    PrintSpiLog(log);
    if (before.failed || after.failed) return eraseFollows;
    ApplyStatusRead(session_.document().StatusShadow, after);
    const QString change =
        RegistersText(before, chip.StatusRegCount) + QStringLiteral(" -> ") + RegistersText(after, chip.StatusRegCount);
    if (BlockProtectionSet(chip.ChipName, chip.ChipKind, after.values, chip.StatusRegCount))
        session_.fail(Outcome::IoFailure, Localized("The chip is still protected: status registers ",
                                                    "Защита чипа не снята: регистры статуса ") +
                                              change);
    else
        session_.PrintLog(Localized("Unprotect: status registers ", "Снятие защиты: регистры статуса ") + change);
    return eraseFollows;
}

void SpiOperations::WriteBlankPages()
{
    const chipdb::SelectedChip& chip = session_.chip();
    const std::span<uint8_t> image = session_.document().transfer();
    std::fill_n(image.begin(), std::min<std::size_t>(chip.ChipSize, image.size()), 0xFF);
    session_.runner().setProgressMaximum(int(SpiPageSteps(chip.ChipSize, uint32_t(std::max(chip.PageSize, 1)))));
    session_.runner().setProgressPosition(0);
    session_.startWorker(SpiWriteWorker(*session_.adapter().Library), SpiWriteParams(chip, image));
}

void SpiOperations::SPIWriteCommand(const QString& startLine, bool smart)
{
    if (!ChipPresentOrReady()) return;
    const Unprotection unprotection = OfferUnprotect();
    if (!unprotection.goOn) return;
    if (unprotection.eraseFollows) {
        // The chip's unprotect ends with its erase; the write follows once the chip is blank.
        session_.script().PendingWrite = true;
        session_.commands().StartErase();
        return;
    }
    const chipdb::SelectedChip& chip = session_.chip();
    const chipdb::SpiProgramming programming = chipdb::spiProgrammingOf(chip.ChipKind);
    if (programming == chipdb::SpiProgramming::None) {
        // Without a programming method nothing would start and the controls would stay busy.
        session_.fail(Outcome::BadInput, Localized("This SPI chip kind has no programming method: ",
                                                   "Для этого типа SPI чипа нет способа записи: ") +
                                             QString::fromStdString(chip.ChipKind));
        session_.ActivateControls(Ready);
        return;
    }
    if (programming == chipdb::SpiProgramming::Page && !SpiPageSizeUsable(chip.PageSize)) {
        session_.noteOutcome(Outcome::BadInput);
        session_.events().warn(Localized(spitext::PageSizeZero), Localized(spitext::PageSizeZeroCaption));
        session_.ActivateControls(Ready);
        return;
    }
    session_.PrintLog(startLine);
    if (smart)
        SPISmartWrite();
    else if (programming == chipdb::SpiProgramming::Page)
        SPIWriteChip();
    else
        SPIWriteSST();
}

void SpiOperations::SPIReadChip()
{
    const chipdb::SelectedChip& chip = session_.chip();
    if (!SpiChipReadable(chip.ChipSize)) {
        session_.fail(Outcome::BadInput, Localized(spitext::ChipSizeZero));
        session_.ActivateControls(Ready);
        return;
    }
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiReadSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    session_.checkSumText.clear();
    session_.statusChanged();
    Ch341Library& library = *session_.adapter().Library;
    session_.startWorker(SpiReadWorker(library), SpiReadParams(chip, session_.document().transfer()));
}

void SpiOperations::SPIWriteChip()
{
    const chipdb::SelectedChip& chip = session_.chip();
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiPageSteps(chip.ChipSize, uint32_t(chip.PageSize))));
    session_.runner().setProgressPosition(0);
    if (!session_.files().CopyEditorToTransferBuffer()) return;
    Ch341Library& library = *session_.adapter().Library;
    session_.startWorker(SpiWriteWorker(library), SpiWriteParams(chip, session_.document().transfer()));
}

void SpiOperations::SPIWriteSST()
{
    const chipdb::SelectedChip& chip = session_.chip();
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiSstSteps(chip.ChipSize)));
    session_.runner().setProgressPosition(0);
    if (!session_.files().CopyEditorToTransferBuffer()) return;
    Ch341Library& library = *session_.adapter().Library;
    session_.startWorker(SpiSstWorker(library), SpiSstParams(chip, session_.document().transfer()));
}

void SpiOperations::SPISmartWrite()
{
    const chipdb::SelectedChip& chip = session_.chip();
    Ch341Library& library = *session_.adapter().Library;
    auto job = std::make_shared<SpiSmartWriteJob>();
    job->chip = session_.knownChip().take(chip, session_.adapter().Library);
    job->readFirst = job->chip == nullptr;
    job->readBack = session_.settings().verify;
    if (job->readFirst) {
        job->chip = std::make_shared<std::vector<uint8_t>>(chip.ChipSize);
        session_.PrintLog(Localized("Smart write: the chip is read first to find what differs.",
                                    "Умная запись: сначала чип считывается, чтобы найти отличия."));
    } else {
        session_.PrintLog(Localized("Smart write: the chip's contents are known from the last read or check, "
                                    "nothing is read first.",
                                    "Умная запись: содержимое чипа известно по последнему чтению или проверке, "
                                    "чип не считывается."));
    }
    session_.ActivateControls(Busy);
    session_.runner().setProgressMaximum(int(SpiSmartWriteSteps(chip.ChipSize, job->readFirst, job->readBack)));
    session_.runner().setProgressPosition(0);
    if (!session_.files().CopyEditorToTransferBuffer()) return;
    session_.runner().work = OperationRunner::Work::SmartWrite;
    smartWrite_ = job;
    session_.startWorker(SpiSmartWriteWorker(library, job), SpiWriteParams(chip, session_.document().transfer()));
}

bool SpiOperations::SmartWriteReading() const
{
    using Phase = SpiSmartWriteJob::Phase;
    return smartWrite_ && (smartWrite_->phase == Phase::Read || smartWrite_->phase == Phase::ReadBack);
}

bool SpiOperations::SmartWriteReadingBack() const
{
    return smartWrite_ && smartWrite_->phase == SpiSmartWriteJob::Phase::ReadBack;
}

void SpiOperations::SmartWriteFinished(float seconds)
{
    const std::shared_ptr<SpiSmartWriteJob> job = std::exchange(smartWrite_, nullptr);
    const SmartWritePlan& plan = job->plan;
    if (job->sectorEraseRefused)
        session_.PrintLog(Localized("The chip did not erase a 4 KiB sector: it was erased whole and written again.",
                                    "Чип не стёр сектор 4 КиБ: он стёрт целиком и записан заново."));
    QString erased;
    if (job->sectorEraseRefused || (job->blocks == 1 && plan.erases == 1))
        erased = Localized("the whole chip erased", "чип стёрт целиком");
    else if (job->blocks > 1)
        erased = Localized("%1 of %2 sectors erased", "стёрто секторов: %1 из %2").arg(plan.erases).arg(job->blocks);
    else if (job->blocks == 1)
        erased = Localized("nothing erased", "ничего не стёрто");
    const QString programmed =
        Localized("%1 of %2 pages programmed", "записано страниц: %1 из %2").arg(plan.programs).arg(job->units);
    session_.PrintLog(Localized("Smart write: ", "Умная запись: ") +
                      (erased.isEmpty() ? programmed : erased + ", " + programmed));
    if (job->readBack) {
        if (!session_.completion().VerifyAgainstEditor(*job->chip)) {
            session_.commands().startStep(session_.script().next(true));
            return;
        }
        // Every byte it touched was read back and the rest was known: the chip holds the editor's bytes.
        session_.knownChip().remember(session_.chip(), session_.adapter().Library, job->chip);
    }
    session_.completion().WriteCompleted(seconds);
}

bool SpiOperations::StartEraseWorker()
{
    return session_.startWorker(SpiEraseWorker(*session_.adapter().Library), SpiEraseParams(session_.chip()));
}
