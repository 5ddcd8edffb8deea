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
#include <algorithm>

namespace {
constexpr QSize IconSize(22, 22);
constexpr int NarrowButtonWidth = 13;

QToolBar* NewToolBar(QWidget* parent)
{
    auto* bar = new QToolBar(parent);
    bar->setIconSize(IconSize);
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
}

// Tool buttons that give a command the menus have: one action serves both, so they are enabled,
// disabled and triggered as one. (The pop-up items keep captions of their own.)
constexpr std::pair<ComponentName, ComponentName> MenuItemOfTool[] = {
    {component::SBOpen, component::MmFopen},        {component::SBSave, component::MmFsave},
    {component::SBChip, component::MmChipSelect2},  {component::SBId, component::MmReadId},
    {component::SBRead, component::MmRead},         {component::SBWrite, component::MmWrite},
    {component::SBCompare, component::MmCompare},   {component::SBScen, component::ScRun},
    {component::SBFill, component::MmFillBufer},    {component::SBSwap, component::MmSwap},
    {component::SBCheckSum, component::MmCheckSum}, {component::SBUndo, component::MmUndo},
    {component::SBErase, component::MmSpiErase},
};
} // namespace

// Tool bars are built before the settings name the language: their hints follow it once known.
void TFMain::applyToolHints()
{
    for (const ComponentName name : HintedComponents()) {
        QObject* object = component(name);
        if (auto* a = qobject_cast<QAction*>(object)) {
            const bool menuItem = std::any_of(std::begin(MenuItemOfTool), std::end(MenuItemOfTool),
                                              [name](const auto& pair) { return pair.first == name; });
            if (!menuItem) a->setText(ToolHint(name));
            a->setToolTip(ToolHint(name));
            a->setStatusTip(ToolStatusTip(name));
        } else if (auto* w = qobject_cast<QWidget*>(object)) {
            w->setToolTip(ToolHint(name));
        }
    }
}

QAction* TFMain::sharedAction(ComponentName name, const QString& caption)
{
    for (const auto& [tool, item] : MenuItemOfTool)
        if (tool == name) {
            auto* menuItem = qobject_cast<QAction*>(component(item));
            components.insert(QByteArray(name.text), menuItem); // reachable by either name
            return menuItem;
        }
    return action(name, caption);
}

QAction* TFMain::toolAction(QToolBar* bar, ComponentName name)
{
    QAction* a = sharedAction(name, ToolHint(name));
    a->setIcon(ComponentIcon(name));
    a->setIconVisibleInMenu(false);
    a->setToolTip(ToolHint(name));
    bar->addAction(a);
    return a;
}

// A narrow arrow button that opens a pop-up menu just below its neighbour on the left.
QToolButton* TFMain::popupButton(QToolBar* bar, ComponentName name, QMenu* popup)
{
    auto* button = remember(new QToolButton(bar), name);
    button->setArrowType(Qt::DownArrow);
    button->setAutoRaise(true);
    button->setFixedWidth(NarrowButtonWidth);
    button->setToolTip(ToolHint(name));
    bar->addWidget(button);
    QWidget* anchor = bar->widgetForAction(bar->actions().at(bar->actions().size() - 2));
    connect(button, &QToolButton::clicked, this,
            [popup, anchor] { popup->exec(anchor->mapToGlobal(QPoint(0, anchor->height()))); });
    return button;
}

void TFMain::buildToolBars()
{
    toolBar = remember(NewToolBar(this), component::ToolBar);
    toolAction(toolBar, component::SBOpen);
    auto* openDir = remember(new QMenu(this), component::PMOpenDir);
    openDir->addAction(action(component::OpenDir));
    popupButton(toolBar, component::SBOpenDir, openDir);
    toolAction(toolBar, component::SBSave);
    toolBar->addSeparator();
    toolAction(toolBar, component::SBChip);
    auto* autoSelect = remember(new QMenu(this), component::PMAutoSel);
    autoSelect->addAction(action(component::SPI1));
    QAction* i2cAutoSelect = action(component::I2C1);
    i2cAutoSelect->setEnabled(false);
    autoSelect->addAction(i2cAutoSelect);
    popupButton(toolBar, component::SBAutoSel, autoSelect);
    toolAction(toolBar, component::SBId);
    auto* readPopup = remember(new QMenu(this), component::PMRead);
    readPopup->addAction(action(component::UID1));
    popupButton(toolBar, component::SBReadPopup, readPopup);
    toolBar->addSeparator();
    toolAction(toolBar, component::SBRead);
    toolAction(toolBar, component::SBWrite);
    toolAction(toolBar, component::SBCompare);
    toolAction(toolBar, component::SBScen);

    toolBar1 = remember(NewToolBar(this), component::ToolBar1);
    toolBar1->setIconSize(QSize(18, 18));
    toolAction(toolBar1, component::SBFill);
    toolAction(toolBar1, component::SBSwap);
    toolAction(toolBar1, component::SBCheckSum);
    toolAction(toolBar1, component::SBUndo);
    toolAction(toolBar1, component::SBCalc);
    toolBar1->addSeparator();
    searchKind = remember(new QComboBox(toolBar1), component::CBSearch);
    searchKind->addItems({SearchKindCaption(0, Language::Russian), SearchKindCaption(1, Language::Russian)});
    toolBar1->addWidget(searchKind);
    findField = remember(new QLineEdit(toolBar1), component::EdFind); // its text and width: connectSearch()
    toolBar1->addWidget(findField);
    QAction* find = action(component::SBFind);
    find->setIcon(ComponentIcon(component::SBFind));
    find->setEnabled(false);
    toolBar1->addAction(find);
    if (auto* findButton = qobject_cast<QToolButton*>(toolBar1->widgetForAction(find)))
        findButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    toolBar2 = remember(NewToolBar(this), component::ToolBar2);
    toolAction(toolBar2, component::SBStop);
    toolAction(toolBar2, component::SBAbout);
    auto* spiPanel = remember(new QWidget(toolBar2), component::SpiPanel);
    auto* spiLayout = new QHBoxLayout(spiPanel);
    spiLayout->setContentsMargins(0, 0, 0, 0);
    spiLayout->setSpacing(0);
    for (ComponentName name : {component::SBErase, component::SBStatRegs}) {
        auto* button = new QToolButton(spiPanel);
        QAction* a = sharedAction(name, ToolHint(name));
        a->setIcon(ComponentIcon(name));
        a->setIconVisibleInMenu(false);
        a->setToolTip(ToolHint(name));
        button->setDefaultAction(a);
        button->setIconSize(IconSize);
        button->setAutoRaise(true);
        spiLayout->addWidget(button);
    }
    toolBar2->addWidget(spiPanel);
    QAction* exit = toolAction(toolBar2, component::SBExit);
    connect(exit, &QAction::triggered, this, [this] { control.ActExitExecute(); });
}
