#pragma once
// The status bar: progress, modified mark, offset, checksum and the adapter lamp.
#include "app/MainView.h"

#include <QWidget>
#include <array>

class QProgressBar;

class StatusBar : public QWidget {
    Q_OBJECT
public:
    // The design's widths. A text panel grows to hold its longest text in either language in the
    // font it is drawn with; the progress panel gives up what they gain.
    static constexpr std::array<int, 5> DesignWidths = {353, 100, 150, 330, 20};

    explicit StatusBar(QWidget* parent = nullptr);

    QProgressBar* progressBar() const { return progress; }
    void show(const StatusBarState& state);
    QRect panelRect(int panel) const;
    // Where a panel's text is drawn, and in which font.
    QRect textRect(int panel) const;
    QFont panelFont() const;

private:
    void paintEvent(QPaintEvent* event) override;
    void StatusBarDrawPanel(QPainter& painter, int panel, const QRect& rect);

    QProgressBar* progress;
    StatusBarState state;
    std::array<int, 5> widths = DesignWidths;
};
