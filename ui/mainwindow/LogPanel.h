#pragma once
// The log panel: read-only plain text in two colours, with its context menu.
#include "session/LogText.h"

#include <QPlainTextEdit>

class QAction;
class QMenu;

class LogPanel : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogPanel(QWidget* parent = nullptr);

    void appendEntry(const QString& text, LogColour colour);

    QMenu* PMLog() const { return menu; }
    // The menu's captions in the interface language.
    void languageChanged();

    // Writes the log as plain text through a temporary file; on failure `message` says which file
    // and why, in the interface language.
    bool saveToFile(const QString& path, QString* message) const;

private:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void PMLogPopup();
    void SavToFlClick();

    QMenu* menu;
    QAction* cpy;
};
