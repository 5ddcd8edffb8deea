#pragma once

#include <QObject>

// Puts the hexadecimal key filter (SetDig) in front of a line edit: letters a-f arrive as A-F,
// digits, Backspace, Enter and Esc pass, every other character key (Ctrl+V included) is
// swallowed. Keys without a character (arrows, Delete, Home ...) are left alone.
class HexKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    void setActive(bool active) { active_ = active; }
    bool isActive() const { return active_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool active_ = true;
};
