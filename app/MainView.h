#pragma once
// What the main window's controller asks of the window. The widgets implement it; tests record it.
#include "app/LogText.h"

#include <QString>

struct StatusBarState {
    bool bufferModified = false; // panel 1
    QString offsetText;          // panel 2, "0x…"
    QString checkSumText;        // panel 3
    int adapterHandle = 0;       // panel 4: red lamp at -1, green otherwise
};

class MainView {
public:
    virtual ~MainView() = default;

    // Components are addressed by their names (menus, items, tool bars, buttons, panels).
    virtual void setEnabled(const char *component, bool enabled) = 0;
    virtual void setVisible(const char *component, bool visible) = 0;
    virtual void setChecked(const char *component, bool checked) = 0;
    virtual bool isChecked(const char *component) const = 0;
    virtual void setCaption(const char *component, const QString &caption) = 0;

    virtual void appendLog(const QString &text, LogColour colour) = 0;
    virtual void focusLog() = 0;
    virtual void repaintStatusBar(const StatusBarState &state) = 0;

    virtual void moveWindow(int left, int top) = 0;
    virtual int windowLeft() const = 0;
    virtual int windowTop() const = 0;
    virtual bool isShowing() const = 0;
    virtual void raiseWindow() = 0;
    virtual void closeWindow() = 0;

    // Message boxes.
    virtual void showMessage(const QString &text) = 0;
    virtual bool askYesNo(const QString &text, const QString &caption) = 0; // warning icon
};
