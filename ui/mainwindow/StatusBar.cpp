#include "ui/mainwindow/StatusBar.h"

#include "buffer/CheckSum.h"
#include "session/Language.h"

#include <QPainter>
#include <QProgressBar>
#include <QStyleOption>
#include <algorithm>

namespace {
constexpr int BarHeight = 20;
constexpr int TextInset = 3, TextSpace = 8; // before the text, and after it to the next panel's edge
const QColor navy(0, 0, 128);

const TextPair modifiedText{"Buffer modified!", "Буфер изменён!"};
const TextPair offsetLabel{"Offset ", "Смещение: "};

// The longest texts a panel shows, hexadecimal digits drawn as the widest of them.
QStringList LongestTexts(int panel, const QFontMetrics& metrics)
{
    QChar widest = u'0';
    for (const QChar digit : QStringLiteral("0123456789ABCDEF"))
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest)) widest = digit;
    const QString offset = QStringLiteral("0x") + QString(8, widest);
    switch (panel) {
    case 1: return {QString::fromStdString(modifiedText.en), QString::fromStdString(modifiedText.ru)};
    case 2: return {QString::fromStdString(offsetLabel.en) + offset, QString::fromStdString(offsetLabel.ru) + offset};
    case 3: {
        const TextPair longest = CheckSumText(0xFFFF, 0xFFFFFFFF);
        return {QString::fromStdString(longest.en).replace(u'F', widest),
                QString::fromStdString(longest.ru).replace(u'F', widest)};
    }
    default: return {};
    }
}
} // namespace

StatusBar::StatusBar(QWidget* parent) : QWidget(parent), progress(new QProgressBar(this))
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(BarHeight);
    const QFontMetrics metrics(panelFont());
    for (int panel = 1; panel <= 3; ++panel) {
        for (const QString& text : LongestTexts(panel, metrics))
            widths[panel] = std::max(widths[panel], TextInset + metrics.horizontalAdvance(text) + TextSpace);
        widths[0] -= widths[panel] - DesignWidths[panel];
    }
    widths[0] = std::max(widths[0], DesignWidths[0] / 3);
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
    for (int i = 0; i < panel; ++i) left += widths[i];
    return QRect(left, 0, widths[panel], BarHeight);
}

QRect StatusBar::textRect(int panel) const
{
    return panelRect(panel).adjusted(TextInset, 2, -1, -1);
}

QFont StatusBar::panelFont() const
{
    QFont panel = font();
    panel.setPointSize(9);
    return panel;
}

void StatusBar::show(const StatusBarState& newState)
{
    state = newState;
    update();
}

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    for (int panel = 1; panel < 5; ++panel) {
        const QRect r = panelRect(panel);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(r.topLeft(), r.bottomLeft());
        StatusBarDrawPanel(painter, panel, textRect(panel));
    }
}

void StatusBar::StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect)
{
    painter.setFont(panelFont());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter;
    switch (panel) {
    case 1:
        if (state.bufferModified) {
            painter.setPen(Qt::red);
            painter.drawText(rect, flags, Localized(modifiedText));
        }
        break;
    case 2:
        painter.setPen(navy);
        painter.drawText(rect, flags, Localized(offsetLabel) + state.offsetText);
        break;
    case 3:
        painter.setPen(navy);
        painter.drawText(rect, flags, state.checkSumText);
        break;
    case 4: painter.fillRect(rect, state.adapterHandle == -1 ? QColor(255, 0, 0) : QColor(0, 255, 0)); break;
    }
}
