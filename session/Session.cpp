#include "session/Session.h"

#include "buffer/CheckSum.h"
#include "session/ChipAutoSelect.h"
#include "session/ChipDrivers.h"
#include "session/Language.h"
#include "session/operations/ChipChecks.h"
#include "session/operations/StatusSteps.h"
#include "spi25/SpiFrames.h"
#include "spi25/SpiIdentify.h"

Session::Session(SessionEvents& events)
    : events_(events), catalogue_(*this), adapter_(*this), files_(*this), emulator_(*this),
      runner_({[this](const QString& text, LogColour colour) { events_.logAppended(text, colour); },
               [this](const Prompt& prompt) { return events_.ask(prompt); },
               [this](const QString& text, const QString& caption) { events_.warn(text, caption); },
               [this](Operation operation) { events_.operationStarted(operation); },
               [this](int position, int maximum) { events_.progressChanged(position, maximum); }})
{
}

Session::~Session() = default;

void Session::PrintLog(const QString& text, LogColour colour, int64_t number)
{
    events_.logAppended(text + LogNumberSuffix(number), colour);
}

void Session::fail(Outcome outcome, const QString& text, int64_t number)
{
    knownChip_.forget();
    noteOutcome(outcome);
    PrintLog(text, LogColour::Red, number);
}

void Session::noteOutcome(Outcome outcome)
{
    if (outcome_ == Outcome::Completed) outcome_ = outcome;
}

void Session::ActivateControls(ControlState state)
{
    state_ = state;
    if (state != Busy && adapter_.ApplyHeldEvents()) return;
    events_.controlsChanged(state);
}

void Session::showDifferences()
{
    events_.differencesChanged(&diffs_);
}

void Session::hideDifferences()
{
    events_.differencesChanged(nullptr);
}

void Session::showCheckSum()
{
    checkSumText.clear();
    statusChanged();
    const std::span<const uint8_t> bytes = document_.bytes();
    const CheckSumResult result = CheckSum(bytes.first(std::min<std::size_t>(chip().size, bytes.size())), false, false);
    if (!result.text.en.empty()) {
        checkSumText = Localized(result.text);
        PrintLog(checkSumText);
    }
    statusChanged();
}

void Session::loadEditorFromTransfer()
{
    document_.fitTransferToChip(chip().size);
    const std::span<const uint8_t> image = document_.transfer();
    document_.showInEditor(image.first(std::min<std::size_t>(chip().size, image.size())),
                           settings_.autosaveFormat == 1 && isSpiChip());
}

ops::Workbench& Session::bench()
{
    if (!bench_)
        bench_ = std::make_unique<ops::Workbench>(ops::Workbench{document_,
                                                                 diffs_,
                                                                 knownChip_,
                                                                 [this](bool shown) {
                                                                     if (shown)
                                                                         showDifferences();
                                                                     else
                                                                         hideDifferences();
                                                                 },
                                                                 [this](const QString& text) {
                                                                     checkSumText = text;
                                                                     statusChanged();
                                                                 },
                                                                 {}});
    return *bench_;
}

ops::Inputs Session::inputs()
{
    const std::shared_ptr<bus::Adapter> adapter = adapter_.bus();
    if (!adapter || !adapter_.present()) {
        fail(Outcome::NoDevice, Localized("CH341 programmer not found!", "Устройство CH341 не обнаружено!"));
        return nullptr;
    }
    auto in = std::make_shared<ops::OperationInputs>();
    in->chip = chip();
    in->adapter = adapter;
    in->driver = MakeChipDriver(in->chip, *adapter, uint8_t(adapter_.slaveAddress()), settings_.ackCheck);
    if (!in->driver) {
        // A kind that leads nowhere: nothing can start, so the controls come back at once.
        fail(Outcome::BadInput, Localized("The selected chip's kind is unknown; nothing to do: ",
                                          "Тип выбранного чипа неизвестен, операция не выполняется: ") +
                                    QString::fromStdString(in->chip.kind));
        return nullptr;
    }
    document_.fitTransferToChip(in->chip.size);
    in->imageHold = document_.transferBlock();
    in->image = document_.transfer();
    in->settings = {settings_.verify, settings_.ackCheck, settings_.autosaveFormat, settings_.dumpDir, automaticDumps};
    in->bench = &bench();
    return in;
}

ops::UseDetectedChip Session::detectedChip()
{
    return
        [this](const std::string& signature, ops::OperationInputs&) { return catalogue_.chooseBySignature(signature); };
}

void Session::start(Job job)
{
    bench().writeReport = {};
    // The steps that change the chip forget what was known of it; a job that fails forgets it too.
    const bool started = runner_.start(std::move(job), [this](Outcome outcome) {
        noteOutcome(outcome);
        if (outcome != Outcome::Completed) knownChip_.forget();
        statusChanged();
        ActivateControls(Ready);
    });
    if (started) return;
    // Without a worker nothing would ever end the busy state.
    fail(Outcome::IoFailure, QStringLiteral("Ошибка CreateThread"));
    ActivateControls(Ready);
}

namespace {
// The commands that begin an operation close the compare view and disable the controls first.
struct Begin {
    explicit Begin(Session& session)
    {
        session.ActivateControls(Busy);
        session.hideDifferences();
    }
};
} // namespace

void Session::read()
{
    Begin begin(*this);
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::ReadJob(in, detectedChip()));
}

void Session::compare()
{
    Begin begin(*this);
    diffs_.Clear();
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::CompareJob(in, detectedChip()));
}

void Session::blankCheck()
{
    Begin begin(*this);
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::BlankCheckJob(in, detectedChip()));
}

void Session::write(ops::WriteMode mode)
{
    Begin begin(*this);
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::WriteJob(in, mode, detectedChip()));
}

void Session::smartWrite()
{
    Begin begin(*this);
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::SmartWriteJob(in, detectedChip()));
}

void Session::erase()
{
    Begin begin(*this);
    const ops::Inputs in = inputs();
    if (!in) return ActivateControls(Ready);
    start(ops::EraseJob(in, detectedChip()));
}

bool Session::runScript(ops::ScriptSteps steps)
{
    Begin begin(*this);
    if (!steps.any()) {
        events_.inform(Localized("The script is not defined!", "Сценарий не определён!"));
        ActivateControls(Ready);
        return false;
    }
    const ops::Inputs in = inputs();
    if (!in) {
        ActivateControls(Ready);
        return true;
    }
    start(ops::ScriptJob(in, steps, detectedChip()));
    return true;
}

bool Session::spiChip(const QString& command)
{
    if (isSpiChip()) return true;
    fail(Outcome::BadInput,
         Localized("%1 works on SPI chips; %2 is not one.", "%1 работает с SPI чипами; %2 не SPI чип.")
             .arg(command, QString::fromStdString(chip().name)));
    return false;
}

void Session::identify()
{
    const ops::Inputs in = inputs();
    if (!in || !spiChip(Localized("Read ID", "Чтение ID"))) return;
    runner_.runHere(ops::IdentifyJob(in));
}

Session::Detection Session::detect()
{
    Detection found;
    const std::shared_ptr<bus::Adapter> adapter = adapter_.bus();
    if (!adapter || !adapter_.present() || !adapter->spi()) return found;
    found.adapter = QString::fromStdString(adapter->name());
    bus::SpiMaster& spi = *adapter->spi();
    spi25::ReadJedecId(spi, found.jedec);
    spi25::ReadResId(spi, found.res);
    spi25::ReadRemsId(spi, found.rems);
    const uint32_t jedec = uint32_t(found.jedec[0]) << 16 | uint32_t(found.jedec[1]) << 8 | found.jedec[2];
    const uint32_t res = uint32_t(found.res[0]) << 8 | found.res[1];
    if (!spi25::EmptySocketId(jedec))
        found.signature = QString::fromStdString(HexText(jedec, 6));
    else if (!spi25::EmptySocketId(res))
        found.signature = QString::fromStdString(HexText(res, 4));
    found.answered = !found.signature.isEmpty();
    if (found.answered)
        for (const chipdb::ChipRecord& row : catalogue_.ClientDataSet.rows())
            if (QString::fromStdString(row.SIGNATURE).contains(found.signature, Qt::CaseInsensitive))
                found.matches << QString::fromStdString(row.CHIPTEXT);
    return found;
}

void Session::readUniqueId()
{
    const ops::Inputs in = inputs();
    if (!in || !spiChip(Localized("Read UID", "Чтение UID"))) return;
    runner_.runHere(ops::UniqueIdJob(in));
}

void Session::autoSelect()
{
    const std::shared_ptr<bus::Adapter> adapter = adapter_.bus();
    if (!adapter || !adapter->spi()) return;
    AutoSelectChip(*this, *adapter->spi());
}

int Session::readStatus()
{
    const ops::Inputs in = inputs();
    if (!in || !spiChip(Localized("Status registers", "Регистры статуса"))) return 0;
    int registersRead = 0;
    noteOutcome(runner_.runHere(ops::ReadStatusJob(in, registersRead)));
    return registersRead;
}

void Session::writeStatus()
{
    const ops::Inputs in = inputs();
    if (!in || !spiChip(Localized("Status registers", "Регистры статуса"))) return;
    knownChip_.forget();
    noteOutcome(runner_.runHere(ops::WriteStatusJob(in, document_.StatusShadow.SR)));
}

void Session::unprotect()
{
    const ops::Inputs in = inputs();
    if (!in || !spiChip(Localized("Unprotect", "Снятие защиты"))) return;
    bool eraseFollows = false;
    noteOutcome(runner_.runHere(ops::UnprotectJob(in, eraseFollows)));
    if (!eraseFollows) return;
    ActivateControls(Busy);
    start(ops::EraseAfterUnprotectJob(in));
}
