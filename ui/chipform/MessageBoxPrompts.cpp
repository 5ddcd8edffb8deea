#include "ui/chipform/MessageBoxPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

ChipFormPrompts::Answer MessageBoxPrompts::ask(const QString& text, const QString& caption)
{
    const auto b = QMessageBox::warning(parent_ ? parent_.data() : QApplication::activeWindow(), caption, text,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return b == QMessageBox::Yes ? Answer::Yes : b == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void MessageBoxPrompts::tell(const QString& text, const QString& caption)
{
    QMessageBox::information(parent_ ? parent_.data() : QApplication::activeWindow(),
                             caption.isEmpty() ? QApplication::applicationDisplayName() : caption, text);
}

QString MessageBoxPrompts::askFile(const FileQuestion& question)
{
    QFileDialog dialog(parent_ ? parent_.data() : QApplication::activeWindow(), question.title, question.proposal,
                       question.filter);
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(question.defaultSuffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
