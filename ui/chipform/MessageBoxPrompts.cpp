#include "ui/chipform/MessageBoxPrompts.h"

#include <QApplication>
#include <QMessageBox>

ChipFormPrompts::Answer MessageBoxPrompts::ask(const QString& text, const QString& caption) {
    const auto b = QMessageBox::warning(parent_ ? parent_.data() : QApplication::activeWindow(), caption, text,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void MessageBoxPrompts::tell(const QString& text, const QString& caption) {
    QMessageBox::information(parent_ ? parent_.data() : QApplication::activeWindow(),
                             caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text);
}
