// The three tool bars of TFMain: operations, buffer commands above the hex view, and Stop/Exit.
#include "app/Captions.h"
#include "ui/mainwindow/Icons.h"
#include "ui/mainwindow/TFMain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace {
constexpr QSize IconSize(22, 22);
constexpr int NarrowButtonWidth = 13;

QToolBar *NewToolBar(QWidget *parent)
{
    auto *bar = new QToolBar(parent);
    bar->setIconSize(IconSize);
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}
} // namespace

QAction *TFMain::toolAction(QToolBar *bar, const char *name)
{
    QAction *a = action(name, ToolHint(name));
    a->setIcon(ComponentIcon(name));
    a->setToolTip(ToolHint(name));
    bar->addAction(a);
    return a;
}

// A narrow arrow button that opens a pop-up menu just below its neighbour on the left.
QToolButton *TFMain::popupButton(QToolBar *bar, const char *name, QMenu *popup)
{
    auto *button = remember(new QToolButton(bar), name);
    button->setArrowType(Qt::DownArrow);
    button->setAutoRaise(true);
    button->setFixedWidth(NarrowButtonWidth);
    button->setToolTip(ToolHint(name));
    bar->addWidget(button);
    QWidget *anchor = bar->widgetForAction(bar->actions().at(bar->actions().size() - 2));
    connect(button, &QToolButton::clicked, this, [popup, anchor] {
        popup->exec(anchor->mapToGlobal(QPoint(0, anchor->height())));
    });
    return button;
}

void TFMain::buildToolBars()
{
    toolBar = remember(NewToolBar(this), "ToolBar");
    toolAction(toolBar, "SBOpen");
    auto *openDir = remember(new QMenu(this), "PMOpenDir");
    openDir->addAction(action("OpenDir"));
    popupButton(toolBar, "SBOpenDir", openDir);
    toolAction(toolBar, "SBSave");
    toolBar->addSeparator();
    toolAction(toolBar, "SBChip");
    auto *autoSelect = remember(new QMenu(this), "PMAutoSel");
    autoSelect->addAction(action("SPI1"));
    QAction *i2cAutoSelect = action("I2C1");
    i2cAutoSelect->setEnabled(false);
    autoSelect->addAction(i2cAutoSelect);
    popupButton(toolBar, "SBAutoSel", autoSelect);
    toolAction(toolBar, "SBId");
    auto *readPopup = remember(new QMenu(this), "PMRead");
    readPopup->addAction(action("UID1"));
    popupButton(toolBar, "SBReadPopup", readPopup);
    toolBar->addSeparator();
    toolAction(toolBar, "SBRead");
    toolAction(toolBar, "SBWrite");
    toolAction(toolBar, "SBCompare");
    toolAction(toolBar, "SBScen");

    toolBar1 = remember(NewToolBar(this), "ToolBar1");
    toolBar1->setIconSize(QSize(18, 18));
    toolAction(toolBar1, "SBFill");
    toolAction(toolBar1, "SBSwap");
    toolAction(toolBar1, "SBCheckSum");
    toolAction(toolBar1, "SBUndo");
    toolAction(toolBar1, "SBCalc");
    toolBar1->addSeparator();
    searchKind = remember(new QComboBox(toolBar1), "CBSearch");
    searchKind->addItems({SearchKindCaption(0, Language::Russian), SearchKindCaption(1, Language::Russian)});
    toolBar1->addWidget(searchKind);
    findField = remember(new QLineEdit(toolBar1), "EdFind"); // its text and width: connectSearch()
    toolBar1->addWidget(findField);
    QAction *find = action("SBFind");
    find->setIcon(ComponentIcon("SBFind"));
    find->setEnabled(false);
    toolBar1->addAction(find);
    if (auto *findButton = qobject_cast<QToolButton *>(toolBar1->widgetForAction(find)))
        findButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    toolBar2 = remember(NewToolBar(this), "ToolBar2");
    toolAction(toolBar2, "SBStop");
    toolAction(toolBar2, "SBAbout");
    auto *spiPanel = remember(new QWidget(toolBar2), "SpiPanel");
    auto *spiLayout = new QHBoxLayout(spiPanel);
    spiLayout->setContentsMargins(0, 0, 0, 0);
    spiLayout->setSpacing(0);
    for (const char *name : {"SBErase", "SBStatRegs"}) {
        auto *button = new QToolButton(spiPanel);
        button->setDefaultAction(action(name, ToolHint(name)));
        button->defaultAction()->setIcon(ComponentIcon(name));
        button->setIconSize(IconSize);
        button->setAutoRaise(true);
        spiLayout->addWidget(button);
    }
    toolBar2->addWidget(spiPanel);
    QAction *exit = toolAction(toolBar2, "SBExit");
    connect(exit, &QAction::triggered, this, [this] { control.ActExitExecute(); });
}
