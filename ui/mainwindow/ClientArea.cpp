// The client area of TFMain: tool bars on top, the log on the left, the hex panel on the right,
// the status bar at the bottom.
#include "app/Captions.h"
#include "session/Language.h"
#include "ui/compareview/CompareView.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/LogPanel.h"
#include "ui/mainwindow/StatusBar.h"
#include "ui/mainwindow/TFMain.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
constexpr int LogWidth = 330;
} // namespace

void TFMain::buildClientArea()
{
    auto* client = new QWidget(this);
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* tools = new QHBoxLayout;
    tools->setContentsMargins(2, 0, 2, 0);
    tools->addWidget(toolBar);
    tools->addStretch();
    tools->addWidget(toolBar2);
    column->addLayout(tools);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(2, 0, 2, 2);
    body->setSpacing(3);
    log = remember(new LogPanel(client), component::RELog);
    log->setFixedWidth(LogWidth);
    body->addWidget(log);

    // The hex panel takes all the height and width the log leaves (412 pixels high in the design's
    // window), so a larger window shows more rows.
    auto* hexPanel = remember(new QWidget(client), component::HexPanel);
    auto* hexColumn = new QVBoxLayout(hexPanel);
    hexColumn->setContentsMargins(0, 0, 0, 0);
    hexColumn->setSpacing(0);
    hexColumn->addWidget(toolBar1);
    hexView = remember(new HexView(hexPanel), component::HexEditor);
    hexView->setBuffer(&control.session().document().editor());
    hexColumn->addWidget(hexView, 1);
    compareView = remember(new CompareView(hexPanel), component::ComparePanel);
    compareView->hide();
    hexColumn->addWidget(compareView);
    body->addWidget(hexPanel, 1);
    column->addLayout(body, 1);

    status = remember(new StatusBar(client), component::StatusBar);
    column->addWidget(status);
    setCentralWidget(client);
}
