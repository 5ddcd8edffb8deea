#pragma once
// A shown and active main window on the emulated adapter, with the database the build makes.
#include "session/AppPaths.h"
#include "tests/support/RunUntil.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

class ShownWindow : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::unique_ptr<TFMain> window;
    EmulationOptions emulation; // what start() adds to the emulated adapter

    void SetUp() override { start(); }

    // (Re)starts the window with `settings` as Vespera.ini and `chip` in the emulated socket.
    void start(const QByteArray& settings = {}, const QString& chip = {})
    {
        window.reset();
        AppPaths::SetProgramFolder(folder.path());
        QFile::copy(QStringLiteral(VESPERA_CHIPLIST_DAT), folder.filePath("ChipList.dat"));
        QFile ini(folder.filePath("Vespera.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(settings);
        ini.close();
        StartupOptions options;
        options.emulation = emulation;
        options.emulation.on = true;
        options.emulation.chip = chip;
        window = std::make_unique<TFMain>(options);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // The start-up steps run once the window is shown.
        ASSERT_TRUE(RunUntil(
            [this] {
                return log()->toPlainText().contains("Selected device") || log()->toPlainText().contains("Выбран чип");
            },
            5000));
    }

    QPlainTextEdit* log() const { return qobject_cast<QPlainTextEdit*>(window->component("RELog")); }
    QAction* item(const char* name) const { return qobject_cast<QAction*>(window->component(name)); }
};

// Answers the next modal dialog of type T once it is open, from within its own event loop; gives
// up after a while, so that a dialog that never comes leaves no answer behind for a later one.
template <class T>
void AnswerModal(std::function<void(T*)> answer)
{
    auto* poll = new QTimer;
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer, deadline] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog && !deadline.hasExpired()) return;
        poll->stop();
        poll->deleteLater();
        if (dialog) answer(dialog);
    });
    poll->start(5);
}
