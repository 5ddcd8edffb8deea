#include "ui/chipform/MessageBoxPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

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
    // A name typed without an extension takes the one of the filter chosen ("*.csv": csv).
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &question](const QString& filter) {
        const qsizetype star = filter.indexOf(QLatin1String("*."));
        const qsizetype end = filter.indexOf(QRegularExpression(QStringLiteral("[ )]")), star);
        if (question.save && star >= 0 && end > star) dialog.setDefaultSuffix(filter.mid(star + 2, end - star - 2));
    });
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}
