// The main menu of TFMain: File, Edit, Buffer, Operation, Chip select, Settings (and Emulator,
// EmulatorItems.cpp).
#include "app/Captions.h"
#include "session/Language.h"
#include "ui/compareview/CompareView.h"
#include "ui/mainwindow/TFMain.h"

#include <QActionGroup>
#include <QGridLayout>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWidgetAction>

void TFMain::buildMenus()
{
    buildFileMenu();

    QMenu* edit = menu(nullptr, component::MmEdit);
    QAction* undo = action(component::MmUndo);
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addAction(undo);
    edit->addAction(action(component::MmCopy));
    edit->addAction(action(component::MmPaste));
    edit->addAction(action(component::MmSearch));

    QMenu* buffer = menu(nullptr, component::MmBufer);
    buffer->addAction(action(component::MmFillBufer));
    buffer->addAction(action(component::MmSwap));
    buffer->addAction(action(component::MmCheckSum));

    buildOperationMenu();

    QMenu* chipSelect = menu(nullptr, component::MmChipSelect);
    chipSelect->addAction(action(component::MmChipSelect2));
    chipSelect->addAction(action(component::MmAutoSel));

    buildSettingsMenu();
    buildEmulatorMenu();
}

void TFMain::buildFileMenu()
{
    QMenu* file = menu(nullptr, component::mFile);
    QAction* open = action(component::MmFopen);
    open->setShortcut(QKeySequence::Open);
    file->addAction(open);
    QAction* save = action(component::MmFsave);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addAction(save);
    file->addAction(action(component::MmOpenDir));

    // The recent files appear once the list has entries.
    QAction* separator = remember(file->addSeparator(), component::MmSep1);
    separator->setVisible(false);
    QMenu* history = menu(file, component::MmHistory);
    history->menuAction()->setVisible(false);
    for (int i = 1; i <= component::RecentFileCount; ++i) {
        const ComponentName name = component::RecentFile(i);
        QAction* item = action(name, QString::fromLatin1(name.text));
        item->setVisible(false);
        history->addAction(item);
    }

    file->addSeparator();
    QAction* exit = action(component::MmExit);
    connect(exit, &QAction::triggered, this, [this] { control.ActExitExecute(); });
    file->addAction(exit);
}

void TFMain::buildOperationMenu()
{
    QMenu* operation = menu(nullptr, component::MmOper);
    operation->addAction(action(component::MmRead));
    operation->addAction(action(component::MmWrite));
    operation->addAction(action(component::MmSmartWrite));
    operation->addAction(action(component::MmCompare));
    operation->addSeparator();
    operation->addAction(action(component::ScRun));
    operation->addSeparator();

    QMenu* spi = menu(operation, component::MmSpi);
    spi->addAction(action(component::MmSpiErase));
    spi->addAction(action(component::MmCheckFF));
    spi->addSeparator();
    spi->addAction(action(component::MmReadId));
    spi->addSeparator();
    spi->addAction(action(component::MmRdStatReg));
    spi->addAction(action(component::MmWrStatReg));
    spi->addAction(action(component::MmUnprotect));
}

void TFMain::buildSettingsMenu()
{
    QMenu* settings = menu(nullptr, component::MmSettings);

    QMenu* i2c = menu(settings, component::MmI2C);
    QMenu* speed = menu(i2c, component::MmI2CFrec);
    auto* speeds = new QActionGroup(this);
    for (int tag = 0; tag < 4; ++tag) radio(speed, speeds, component::SpeedItems[tag], tag);
    QAction* ack = action(component::MmAck);
    ack->setCheckable(true);
    i2c->addAction(ack);
    buildSlaveAddressMenu(i2c);

    QMenu* script = menu(settings, component::MmScen);
    for (ComponentName name : {component::ScErase, component::ScCheckFF, component::ScWrite, component::ScCompare}) {
        QAction* item = action(name);
        item->setCheckable(true);
        script->addAction(item);
    }

    QAction* verify = action(component::MmVerify);
    verify->setCheckable(true);
    settings->addAction(verify);

    QMenu* autosave = menu(settings, component::MmAutoSave);
    autosave->addAction(action(component::MmDirectory));
    QMenu* extension = menu(autosave, component::MmExtention);
    auto* formats = new QActionGroup(this);
    radio(extension, formats, component::MmBin, 0);
    radio(extension, formats, component::MmBrg, 1);

    QMenu* language = menu(settings, component::MmLang);
    auto* languages = new QActionGroup(this);
    for (QAction* item :
         {radio(language, languages, component::MmRus, 0), radio(language, languages, component::MmEng, 1)})
        connect(item, &QAction::triggered, this, [this, item] {
            control.MmRusClick(item->data().toInt());
            compareView->languageChanged(); // drawn texts follow the language at once, as messages do
        });
}

// 256 addresses in eight columns of 32, as one grid inside the submenu.
void TFMain::buildSlaveAddressMenu(QMenu* parent)
{
    QMenu* addresses = menu(parent, component::MmI2CAdr);
    auto* group = new QActionGroup(this);
    auto* grid = new QWidget(addresses);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(0);
    for (int address = 0; address < 256; ++address) {
        const ComponentName name = component::SlaveAddressItem(address);
        QAction* item = action(name, QString::fromLatin1(name.text + 1));
        item->setCheckable(true);
        item->setActionGroup(group);
        item->setData(address);
        connect(item, &QAction::triggered, this, [this, address, addresses] {
            control.N0x001Click(address);
            for (QWidget* w = addresses; w; w = qobject_cast<QMenu*>(w->parentWidget())) w->close();
        });
        auto* button = new QToolButton(grid);
        button->setDefaultAction(item);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        layout->addWidget(button, address % 32, address / 32);
    }
    auto* holder = new QWidgetAction(addresses);
    holder->setDefaultWidget(grid);
    addresses->addAction(holder);
}
