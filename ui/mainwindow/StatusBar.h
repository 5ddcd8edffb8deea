#pragma once
// The status bar: progress, modified mark, offset, checksum and the adapter lamp.
#include "app/MainView.h"

#include <QWidget>

class QProgressBar;

class StatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int PanelWidths[5] = {353, 100, 150, 330, 20};

    explicit StatusBar(QWidget *parent = nullptr);

    QProgressBar *progressBar() const { return progress; }
    void show(const StatusBarState &state);
    QRect panelRect(int panel) const;

private:
    void paintEvent(QPaintEvent *event) override;
    void StatusBarDrawPanel(QPainter &painter, int panel, const QRect &rect);

    QProgressBar *progress;
    StatusBarState state;
};
