#pragma once
// The controller with a recording view, an emulated adapter and the real event loop, for tests
// that press a button and wait until the operation has ended.
#include "EditorAccess.h"
#include "RecordingView.h"
#include "adapter/AdapterFactory.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "tests/support/RunUntil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

class Flow : public ::testing::Test {
protected:
    QTemporaryDir folder;
    RecordingView view;
    MainController controller{view, StartupOptions{}};
    std::shared_ptr<EmulatedCh341> emulator;

    void SetUp() override
    {
        AppPaths::SetProgramFolder(folder.path());
        QFile ini(folder.filePath("Vespera.ini"));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Lang]\nId=1\n"); // English throughout
        ini.close();
        controller.FormCreate();
    }

    // Selects `row` and puts a chip built from it into the emulated adapter, which is opened.
    void insertChip(const chipdb::ChipRecord& row, std::function<void(AdapterOptions&)> adjust = {},
                    std::function<std::shared_ptr<bus::Adapter>(std::shared_ptr<bus::Adapter>)> wrap = {})
    {
        controller.session().catalogue().ClientDataSet.assign({row});
        controller.session().catalogue().ClientDataSet.moveTo(0);
        controller.SetParams();
        AdapterOptions options;
        options.emulate = true;
        options.chip = *MakeEmulatedChipConfig(
            {row.CHIPTEXT, row.CHIPID, uint32_t(*row.CHIPSIZE), uint32_t(*row.PAGESIZE), row.SIGNATURE, 0, row.MANUF});
        options.timeScale = 1000; // write cycles and erases in a blink
        if (adjust) adjust(options);
        Adapter adapter = CreateAdapter(options);
        emulator = adapter.emulator;
        std::shared_ptr<bus::Adapter> device = std::move(adapter.device);
        AdapterSession& session = controller.session().adapter();
        session.useAdapter(wrap ? wrap(device) : device, emulator);
        session.bus()->open();
        session.bus()->i2c()->setSpeed(0);
        controller.session().adapterHandle = 1;
        controller.ActivateControls(Ready);
        view.log.clear();
    }

    bool finish()
    {
        return RunUntil([this] { return !controller.busy(); });
    }

    // The emulated chip holds what the editor holds, from address 0.
    bool chipHoldsTheEditor()
    {
        const std::vector<uint8_t> bytes = EditorBytes(controller);
        return std::equal(bytes.begin(), bytes.end(), emulator->memory().begin());
    }

    // The log entries of the last operation, from its first line on.
    QStringList logTexts() const
    {
        QStringList texts;
        for (const auto& entry : view.log) texts << entry.first;
        return texts;
    }
};

inline chipdb::ChipRecord Chip(const char* name, const char* kind, double size, double page, const char* signature = "")
{
    chipdb::ChipRecord row;
    row.CHIPTEXT = name;
    row.CHIPID = kind;
    row.CHIPSIZE = size;
    row.PAGESIZE = page;
    row.MANUF = "TEST";
    row.SIGNATURE = signature;
    row.FREQUENCY = 1;
    return row;
}
