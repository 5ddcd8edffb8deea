#include "ui/mainwindow/TFMain.h"
#include "app/Captions.h"
#include "app/ControlStates.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "tests/support/RunUntil.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <climits>
#include <gtest/gtest.h>
#include <thread>

namespace {
class MainWindow : public ::testing::Test {
protected:
    QTemporaryDir folder;
    void SetUp() override { AppPaths::SetProgramFolder(folder.path()); }
    void writeIni(const QByteArray& text)
    {
        QFile f(folder.filePath("Vespera.ini"));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    }
};
} // namespace

// Every name the captions, the control states and the controller address is a component of the
// window, the items of the lists it builds included.
TEST_F(MainWindow, EveryNamedComponentExists)
{
    TFMain window{StartupOptions{}};
    std::vector<ComponentName> names(std::begin(component::All), std::end(component::All));
    for (int number = 1; number <= component::RecentFileCount; ++number) names.push_back(component::RecentFile(number));
    for (int address : {0x00, 0xA0, 0xFF}) names.push_back(component::SlaveAddressItem(address));
    for (ComponentName name : names) EXPECT_NE(window.component(name), nullptr) << name.text;
    EXPECT_STREQ(component::SlaveAddressItem(0xA0).text, "N0xA0");
}

TEST_F(MainWindow, CaptionsFollowTheLanguage)
{
    writeIni("[Lang]\nId=1\n");
    TFMain english{StartupOptions{}};
    EXPECT_EQ(qobject_cast<QAction*>(english.component("MmFopen"))->text(), "&Open");
    EXPECT_EQ(qobject_cast<QMenu*>(english.component("mFile"))->title(), "&File");
    EXPECT_EQ(qobject_cast<QAction*>(english.component("N0xA0"))->text(), "0xA0");

    writeIni("[Lang]\nId=0\n");
    TFMain russian{StartupOptions{}};
    EXPECT_EQ(qobject_cast<QAction*>(russian.component("MmFopen"))->text(), QString::fromUtf8("Открыть"));
    EXPECT_EQ(qobject_cast<QMenu*>(russian.component("mFile"))->title(), QString::fromUtf8("&Файл"));
    EXPECT_TRUE(qobject_cast<QAction*>(russian.component("MmRus"))->isChecked());
}

// Esc is seen by the window before any control, whichever has the focus, and stops the worker.
TEST_F(MainWindow, EscapeReleaseCancelsTheRunningWorker)
{
    TFMain window{StartupOptions{}};
    window.winId(); // the system window, without the first showing and its start-up steps
    Session& session = window.controller().session();
    session.ActivateControls(Busy);
    Job job;
    job.then("wait for the cancel", [](JobContext& context) {
        while (!context.cancelRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        context.log("Reading terminated by user");
        return Outcome::Cancelled;
    });
    ASSERT_TRUE(session.runner().start(std::move(job), [&session](Outcome) { session.ActivateControls(Ready); }));

    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window.windowHandle(), &release);
    EXPECT_TRUE(RunUntil([&] { return !window.controller().busy(); }, 5000));
    auto* log = qobject_cast<QPlainTextEdit*>(window.component("RELog"));
    EXPECT_TRUE(log->toPlainText().endsWith("Reading terminated by user"));
}

// A saved position from a screen that is gone, or a damaged settings file, still opens the window
// where it can be seen; a position on the screen is kept.
TEST_F(MainWindow, SavedPositionIsClampedToTheScreens)
{
    ASSERT_TRUE(QFile::copy(VESPERA_MAINWINDOW_TEST_DATA "/offscreen-window.ini", folder.filePath("Vespera.ini")));
    TFMain window{StartupOptions{}};
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(window.pos())) << window.x() << "," << window.y();

    const QPoint onScreen = area.topLeft() + QPoint(0, 10);
    window.moveWindow(onScreen.x(), onScreen.y());
    EXPECT_EQ(window.pos(), onScreen);
    const QPoint faraway[] = {{99999999, -99999999}, {-5000, 20}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}};
    for (const QPoint wanted : faraway) {
        window.moveWindow(wanted.x(), wanted.y());
        EXPECT_TRUE(area.contains(window.pos())) << wanted.x() << "," << wanted.y();
        EXPECT_TRUE(window.y() + window.height() <= area.bottom() + 1 || window.y() == area.top());
    }
}
