#include "ui/mainwindow/LogPanel.h"
#include "session/Language.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Saving the log: the text as shown; a read-only target is refused and the message names the file
// and the system's cause.
TEST(LogPanel, SavesItsTextAndRefusesAReadOnlyFile)
{
    QTemporaryDir folder;
    LogPanel panel;
    panel.appendEntry(QStringLiteral("Reading..."), LogColour::Navy);
    panel.appendEntry(QString::fromUtf8("Ошибка"), LogColour::Red);

    const QString path = folder.filePath("Vespera_Log.txt");
    QString message;
    ASSERT_TRUE(panel.saveToFile(path, &message));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), QString::fromUtf8("Reading...\nОшибка\n"));
    saved.close();

    QFile::setPermissions(path, QFileDevice::ReadOwner);
    SetCurrentLanguage(Language::English);
    EXPECT_FALSE(panel.saveToFile(path, &message));
    EXPECT_EQ(message, "Cannot save the file " + path + ": Permission denied");
    SetCurrentLanguage(Language::Russian);
    EXPECT_FALSE(panel.saveToFile(path, &message));
    EXPECT_EQ(message, QString::fromUtf8("Не удалось сохранить файл ") + path + ": Permission denied");
    SetCurrentLanguage(Language::NotChosen);
}
