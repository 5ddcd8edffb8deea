#include "session/ChipCommands.h"

#include "chipdb/ChipKind.h"
#include "i2c/I2cTexts.h"
#include "session/CancelHints.h"
#include "session/Language.h"
#include "session/Session.h"
#include "spi/SpiIdentify.h"
#include "spi/SpiStatus.h"
#include "spi/SpiWorkers.h"

ChipCommands::ChipCommands(Session& session) : session_(session), i2c_(session), spi_(session) {}

void ChipCommands::StartCommand(Command which)
{
    OperationRunner& runner = session_.runner();
    const bool write = which == Command::Write || which == Command::SmartWrite;
    runner.CompareMode = which == Command::Compare;
    if (!write) runner.BlankCheckMode = false;
    runner.writeCommand = write;
    runner.work = OperationRunner::Work::Plain;
    const TextPair& start = which == Command::Read ? ReadingStartText : write ? WritingStartText : ComparingStartText;
    const QString startLine = Localized(start) + CancelHintA();
    session_.ActivateControls(Busy);
    session_.hideDifferences();
    if (which == Command::Compare) session_.differences().Clear();
    session_.events().operationStarted(which == Command::Read ? Operation::Read
                                       : write                ? Operation::Write
                                                              : Operation::Compare);

    if (write && session_.chip().ChipSize == 0 && (session_.isSpiChip() || session_.isI2cChip())) {
        // Nothing would be written, and nothing must say it was.
        session_.fail(Outcome::BadInput,
                      Localized("\nChip size = 0, nothing to write", "\nРазмер чипа = 0, записывать нечего"));
        session_.ActivateControls(Ready);
        return;
    }
    if (session_.isSpiChip()) {
        if (which == Command::Read)
            spi_.SPIReadCommand(startLine);
        else if (which == Command::Compare)
            spi_.SPICompareCommand(startLine);
        else
            spi_.SPIWriteCommand(startLine, which == Command::SmartWrite);
    } else if (session_.isI2cChip()) {
        if (session_.settings().ackCheck) session_.PrintLog(startLine);
        if (which == Command::SmartWrite)
            session_.PrintLog(Localized("Smart write: a 24xx chip is written whole.",
                                        "Умная запись: чип 24xx записывается целиком."));
        if (write)
            i2c_.IICWriteChip();
        else
            i2c_.IICReadChip();
    } else {
        // A kind that leads nowhere: nothing can start, so the controls come back at once.
        session_.fail(Outcome::BadInput, Localized("The selected chip's kind is unknown; nothing to do: ",
                                                   "Тип выбранного чипа неизвестен, операция не выполняется: ") +
                                             QString::fromStdString(session_.chip().ChipKind));
        session_.ActivateControls(Ready);
    }
}

void ChipCommands::MmReadClick()
{
    StartCommand(Command::Read);
}

void ChipCommands::MmWriteClick()
{
    StartCommand(Command::Write);
}

void ChipCommands::MmSmartWriteClick()
{
    StartCommand(Command::SmartWrite);
}

void ChipCommands::MmCompareClick()
{
    StartCommand(Command::Compare);
}

void ChipCommands::MmCheckFFClick()
{
    OperationRunner& runner = session_.runner();
    runner.BlankCheckMode = true;
    runner.writeCommand = false;
    runner.work = OperationRunner::Work::Plain;
    session_.ActivateControls(Busy);
    // An empty socket reads FF everywhere: it must not pass for a blank chip.
    if (!spi_.ChipPresentOrReady()) return;
    session_.events().operationStarted(Operation::BlankCheck);
    session_.PrintLog(Localized(spitext::CheckingForBlank) + CancelHintB());
    spi_.SPIReadChip();
}

void ChipCommands::StartVerify()
{
    OperationRunner& runner = session_.runner();
    runner.work = OperationRunner::Work::Verify;
    runner.CompareMode = true;
    runner.BlankCheckMode = false;
    runner.writeCommand = false;
    session_.events().operationStarted(Operation::Compare);
    session_.PrintLog(Localized("\nVerifying...\n", "\nПроверка записи...\n") + CancelHintA());
    if (session_.isSpiChip())
        spi_.SPIReadChip();
    else
        i2c_.IICReadChip();
}

void ChipCommands::StartEraseCheck()
{
    OperationRunner& runner = session_.runner();
    runner.work = OperationRunner::Work::EraseCheck;
    runner.CompareMode = false;
    runner.BlankCheckMode = true;
    runner.writeCommand = false;
    session_.events().operationStarted(Operation::BlankCheck);
    session_.PrintLog(Localized(spitext::CheckingForBlank) + CancelHintB());
    spi_.SPIReadChip();
}

void ChipCommands::MmSpiEraseClick()
{
    session_.ActivateControls(Busy);
    session_.hideDifferences();
    if (!spi_.ChipPresentOrReady()) return;
    SessionEvents& events = session_.events();
    if (!events.confirm(Localized(spitext::EraseConfirm), Localized(spitext::EraseConfirmCaption))) {
        session_.noteOutcome(Outcome::Cancelled);
        session_.ActivateControls(Ready);
        return;
    }
    const SpiOperations::Unprotection unprotection = spi_.OfferUnprotect();
    if (!unprotection.goOn) return;
    if (unprotection.eraseFollows) { // the unprotect sequence itself ends with the chip erase
        StartErase();
        return;
    }
    SpiLog log;
    const chipdb::SelectedChip& chip = session_.chip();
    const EraseStatusCheck check =
        CheckStatusBeforeErase(*session_.adapter().Library, chip.ChipName, chip.StatusRegCount, log);
    spi_.PrintSpiLog(log);
    if (!check.readOk) {
        session_.noteOutcome(Outcome::IoFailure);
        session_.ActivateControls(Ready);
        return;
    }
    if (check.warn &&
        !events.confirm(Localized(spitext::EraseStatusWarning), Localized(spitext::EraseStatusWarningCaption))) {
        session_.noteOutcome(Outcome::Cancelled);
        session_.ActivateControls(Ready);
        return;
    }
    StartErase();
}

void ChipCommands::StartErase()
{
    session_.ActivateControls(Busy);
    OperationRunner& runner = session_.runner();
    runner.writeCommand = false;
    runner.work = OperationRunner::Work::Plain;
    if (!chipdb::hasChipErase(session_.chip().ChipKind)) {
        // A 25xx EEPROM has no chip erase: it is erased by writing FF into every page.
        runner.work = OperationRunner::Work::EraseByWriting;
        session_.events().operationStarted(Operation::Erase);
        session_.PrintLog(Localized(spitext::Erasing) + CancelHintB());
        spi_.WriteBlankPages();
        return;
    }
    if (!spi_.StartEraseWorker()) return;
    session_.events().operationStarted(Operation::Erase);
    runner.setProgressMaximum(SpiEraseSteps);
    session_.PrintLog(Localized(spitext::Erasing) + CancelHintB());
}

bool ChipCommands::ScRunClick(bool erase, bool blankCheck, bool write, bool compare)
{
    Script& script = session_.script();
    script.begin(erase, blankCheck, write, compare);
    session_.ActivateControls(Busy);
    session_.hideDifferences();
    if (!script.anyPending()) {
        session_.events().inform(Localized("The script is not defined!", "Сценарий не определён!"));
        session_.ActivateControls(Ready);
        return false;
    }
    session_.PrintLog(Localized("\nScript executing:", "\nВыполняется сценарий:"));
    const bool spi = session_.isSpiChip();
    if (spi && !spi_.WakeAndCheckStatus()) {
        session_.ActivateControls(Ready);
        return true;
    }
    const Script::Step first = script.next(spi);
    if (first == Script::Step::None)
        session_.ActivateControls(Ready);
    else
        startStep(first);
    return true;
}

void ChipCommands::stopScript()
{
    Script& script = session_.script();
    if (!script.anyPending()) return;
    static const TextPair steps[] = {{"", ""},
                                     {"Erase", "Стирание"},
                                     {"Blank check", "Проверка на чистоту"},
                                     {"Write", "Программирование"},
                                     {"Compare", "Сравнение"}};
    const int step = int(script.running);
    session_.PrintLog(
        Localized("The script stopped: the step \"%1\" failed.", "Сценарий остановлен: не выполнен шаг «%1».")
            .arg(Localized(steps[step])),
        LogColour::Red);
    script.clear();
}

void ChipCommands::startStep(Script::Step step)
{
    if (step == Script::Step::None) return;
    // A script goes no further than its first failed step.
    if (session_.outcome() != Outcome::Completed) {
        stopScript();
        session_.ActivateControls(Ready);
        return;
    }
    session_.script().running = step;
    switch (step) {
    case Script::Step::Erase: MmSpiEraseClick(); break;
    case Script::Step::BlankCheck: MmCheckFFClick(); break;
    case Script::Step::Write: MmWriteClick(); break;
    case Script::Step::Compare: MmCompareClick(); break;
    case Script::Step::None: break;
    }
}
