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

    QMenu *edit = menu(nullptr, "MmEdit");
    QAction *undo = action("MmUndo");
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo->setStatusTip(QStringLiteral("Reverts the last action"));
    edit->addAction(undo);
    edit->addAction(action("MmCopy"));
    edit->addAction(action("MmPaste"));
    edit->addAction(action("MmSearch"));

    QMenu *buffer = menu(nullptr, "MmBufer");
    buffer->addAction(action("MmFillBufer"));
    buffer->addAction(action("MmSwap"));
    buffer->addAction(action("MmCheckSum"));

    buildOperationMenu();

    QMenu *chipSelect = menu(nullptr, "MmChipSelect");
    chipSelect->addAction(action("MmChipSelect2"));
    chipSelect->addAction(action("MmAutoSel"));

    buildSettingsMenu();
    buildEmulatorMenu();
}

void TFMain::buildFileMenu()
{
    QMenu *file = menu(nullptr, "mFile");
    QAction *open = action("MmFopen");
    open->setShortcut(QKeySequence::Open);
    file->addAction(open);
    QAction *save = action("MmFsave");
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addAction(save);
    file->addAction(action("MmOpenDir"));

    // The recent files appear once the list has entries.
    QAction *separator = remember(file->addSeparator(), "MmSep1");
    separator->setVisible(false);
    QMenu *history = menu(file, "MmHistory");
    history->menuAction()->setVisible(false);
    for (int i = 1; i <= 10; ++i) {
        const QByteArray name = "Hist" + QByteArray::number(i);
        QAction *item = action(name.constData(), name);
        item->setVisible(false);
        history->addAction(item);
    }

    file->addSeparator();
    QAction *exit = action("MmExit");
    connect(exit, &QAction::triggered, this, [this] { control.ActExitExecute(); });
    file->addAction(exit);
}

void TFMain::buildOperationMenu()
{
    QMenu *operation = menu(nullptr, "MmOper");
    operation->addAction(action("MmRead"));
    operation->addAction(action("MmWrite"));
    operation->addAction(action("MmSmartWrite"));
    operation->addAction(action("MmCompare"));
    operation->addSeparator();
    operation->addAction(action("ScRun"));
    operation->addSeparator();

    QMenu *spi = menu(operation, "MmSpi");
    spi->addAction(action("MmSpiErase"));
    spi->addAction(action("MmCheckFF"));
    spi->addSeparator();
    spi->addAction(action("MmReadId"));
    spi->addSeparator();
    spi->addAction(action("MmRdStatReg"));
    spi->addAction(action("MmWrStatReg"));
    spi->addAction(action("MmUnprotect"));
}

void TFMain::buildSettingsMenu()
{
    QMenu *settings = menu(nullptr, "MmSettings");

    QMenu *i2c = menu(settings, "MmI2C");
    QMenu *speed = menu(i2c, "MmI2CFrec");
    auto *speeds = new QActionGroup(this);
    const char *speedItems[] = {"Mm_SPEED_LOW", "Mm_SPEED_NORMAL", "Mm_SPEED_FAST", "Mm_SPEED_HIGH"};
    for (int tag = 0; tag < 4; ++tag)
        radio(speed, speeds, speedItems[tag], tag);
    QAction *ack = action("MmAck");
    ack->setCheckable(true);
    i2c->addAction(ack);
    buildSlaveAddressMenu(i2c);

    QMenu *script = menu(settings, "MmScen");
    for (const char *name : {"ScErase", "ScCheckFF", "ScWrite", "ScCompare"}) {
        QAction *item = action(name);
        item->setCheckable(true);
        script->addAction(item);
    }

    QAction *verify = action("MmVerify");
    verify->setCheckable(true);
    settings->addAction(verify);

    QMenu *autosave = menu(settings, "MmAutoSave");
    autosave->addAction(action("MmDirectory"));
    QMenu *extension = menu(autosave, "MmExtention");
    auto *formats = new QActionGroup(this);
    radio(extension, formats, "MmBin", 0);
    radio(extension, formats, "MmBrg", 1);

    QMenu *language = menu(settings, "MmLang");
    auto *languages = new QActionGroup(this);
    for (QAction *item : {radio(language, languages, "MmRus", 0), radio(language, languages, "MmEng", 1)})
        connect(item, &QAction::triggered, this, [this, item] {
            control.MmRusClick(item->data().toInt());
            compareView->languageChanged(); // drawn texts follow the language at once, as messages do
        });
}

// 256 addresses in eight columns of 32, as one grid inside the submenu.
void TFMain::buildSlaveAddressMenu(QMenu *parent)
{
    QMenu *addresses = menu(parent, "MmI2CAdr");
    auto *group = new QActionGroup(this);
    auto *grid = new QWidget(addresses);
    auto *layout = new QGridLayout(grid);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(0);
    for (int address = 0; address < 256; ++address) {
        const QByteArray name = SlaveAddressItem(address);
        QAction *item = action(name.constData(), QString::fromLatin1(name.mid(1)));
        item->setCheckable(true);
        item->setActionGroup(group);
        item->setData(address);
        connect(item, &QAction::triggered, this, [this, address, addresses] {
            control.N0x001Click(address);
            for (QWidget *w = addresses; w; w = qobject_cast<QMenu *>(w->parentWidget()))
                w->close();
        });
        auto *button = new QToolButton(grid);
        button->setDefaultAction(item);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        layout->addWidget(button, address % 32, address / 32);
    }
    auto *holder = new QWidgetAction(addresses);
    holder->setDefaultWidget(grid);
    addresses->addAction(holder);
}
