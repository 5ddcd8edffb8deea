#include "ui/mainwindow/LogPanel.h"

#include "buffer/DumpTexts.h"
#include "fileio/AtomicFileWriter.h"
#include "session/AppPaths.h"
#include "session/Language.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextBlock>

namespace {
const QColor navy(0, 0, 128);
const QColor red(255, 0, 0);

struct MenuItem {
    const char* name;
    TextPair caption;
};
const MenuItem menuItems[] = {
    {"SelAll", {"Select All", "Выделить все"}},
    {"Cpy", {"Copy", "Копировать"}},
    {"Clr", {"Clear", "Очистить"}},
    {"SavToFl", {"Save to File", "Сохранить в файл"}},
};
} // namespace

LogPanel::LogPanel(QWidget* parent) : QPlainTextEdit(parent), menu(new QMenu(this))
{
    setObjectName(QStringLiteral("RELog"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("DejaVu Sans Mono"), font.family()});
    font.setPointSize(9);
    setFont(font);
    // The selection stays visible when the panel loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    p.setColor(QPalette::Text, navy);
    setPalette(p);

    menu->setObjectName(QStringLiteral("PMLog"));
    auto addItem = [this](const char* name, const QKeySequence& keys) {
        QAction* action = menu->addAction(QString());
        action->setObjectName(QLatin1String(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WidgetShortcut);
        addAction(action); // the shortcuts work while the log has the focus
        return action;
    };
    connect(addItem("SelAll", QKeySequence(Qt::CTRL | Qt::Key_A)), &QAction::triggered, this,
            &QPlainTextEdit::selectAll);
    cpy = addItem("Cpy", QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(cpy, &QAction::triggered, this, &QPlainTextEdit::copy);
    menu->addSeparator()->setObjectName(QStringLiteral("N8"));
    connect(addItem("Clr", QKeySequence(Qt::Key_Delete)), &QAction::triggered, this, &QPlainTextEdit::clear);
    connect(addItem("SavToFl", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S)), &QAction::triggered, this,
            &LogPanel::SavToFlClick);
    connect(menu, &QMenu::aboutToShow, this, &LogPanel::PMLogPopup);
    languageChanged();
}

void LogPanel::languageChanged()
{
    for (const MenuItem& item : menuItems)
        if (auto* action = menu->findChild<QAction*>(QLatin1String(item.name)))
            action->setText(LocalizedCaption(item.caption));
}

void LogPanel::appendEntry(const QString& text, LogColour colour)
{
    QTextCharFormat format;
    format.setForeground(colour == LogColour::Red ? red : navy);
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty()) cursor.insertBlock();
    cursor.insertText(text, format); // "\n" starts a new line of the same entry
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogPanel::contextMenuEvent(QContextMenuEvent* event)
{
    menu->exec(event->globalPos());
}

void LogPanel::PMLogPopup()
{
    cpy->setEnabled(textCursor().hasSelection());
}

void LogPanel::SavToFlClick()
{
    const QString path = QFileDialog::getSaveFileName(
        this, LocalizedCaption("Saving the log file", "Сохранение Log файла"),
        AppPaths::DataFolder() + QStringLiteral("/Vespera_Log.txt"),
        LocalizedCaption("Text file (*.txt)", "Текстовый файл (*.txt)"), nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) return;
    QString message;
    if (!saveToFile(path, &message)) QMessageBox::warning(this, QStringLiteral("Vespera"), message);
}

bool LogPanel::saveToFile(const QString& path, QString* message) const
{
    const std::filesystem::path target = QFile::encodeName(path).toStdString();
    fileio::AtomicFileWriter file(target);
    file.Write((toPlainText() + QLatin1Char('\n')).toStdString());
    const std::error_code failure = file.Commit();
    if (failure) *message = Localized(SaveErrorText(target, failure));
    return !failure;
}
