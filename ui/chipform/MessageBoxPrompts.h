#pragma once
// The editor's questions and messages as real message boxes, its file dialogs as real ones.

#include <QPointer>
#include <QWidget>

#include "ui/chipform/ChipFormPorts.h"

class MessageBoxPrompts : public ChipFormPrompts {
public:
    explicit MessageBoxPrompts(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    Answer ask(const QString& text, const QString& caption) override;
    void tell(const QString& text, const QString& caption) override;
    QString askFile(const FileQuestion& question) override;

private:
    QPointer<QWidget> parent_;
};
