#include "ui/mainwindow/StatusBar.h"

#include "session/Language.h"

#include <QPainter>
#include <QProgressBar>
#include <QStyleOption>

namespace {
constexpr int BarHeight = 20;
const QColor navy(0, 0, 128);
} // namespace

StatusBar::StatusBar(QWidget *parent) : QWidget(parent), progress(new QProgressBar(this))
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(BarHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    progress->setObjectName(QStringLiteral("PBar"));
    progress->setMinimum(0);
    progress->setMaximum(100);
    progress->setValue(0);
    progress->setTextVisible(true);
    progress->setGeometry(panelRect(0).adjusted(1, 2, -1, -2));
    QPalette p = progress->palette();
    p.setColor(QPalette::Highlight, QColor(0, 0, 255));
    progress->setPalette(p);
}

QRect StatusBar::panelRect(int panel) const
{
    int left = 0;
    for (int i = 0; i < panel; ++i)
        left += PanelWidths[i];
    return QRect(left, 0, PanelWidths[panel], BarHeight);
}

void StatusBar::show(const StatusBarState &newState)
{
    state = newState;
    update();
}

void StatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int panel = 1; panel < 5; ++panel) {
        const QRect r = panelRect(panel);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(r.topLeft(), r.bottomLeft());
        StatusBarDrawPanel(painter, panel, r.adjusted(3, 2, -1, -1));
    }
}

void StatusBar::StatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect)
{
    QFont font = painter.font();
    font.setPointSize(9);
    painter.setFont(font);
    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    switch (panel) {
    case 1:
        if (state.bufferModified) {
            painter.setPen(Qt::red);
            painter.drawText(rect, flags, Lang("Buffer modified!", "Буфер изменён!"));
        }
        break;
    case 2:
        painter.setPen(navy);
        painter.drawText(rect, flags, Lang("Offset ", "Смещение: ") + state.offsetText);
        break;
    case 3:
        painter.setPen(navy);
        painter.drawText(rect, flags, state.checkSumText);
        break;
    case 4:
        painter.fillRect(rect, state.adapterHandle == -1 ? QColor(255, 0, 0) : QColor(0, 255, 0));
        break;
    }
}
