// The Edit menu's clipboard items and the About button, through the real main window.
#include "ShownWindow.h"
#include "buffer/DiffList.h"
#include "ui/compareview/CompareView.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/TFMain.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST_F(ShownWindow, CtrlCAndCtrlVServeTheFocusedPanel)
{
    HexView* hex = window->hexEditor();
    hex->load(std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78});
    auto* edit = qobject_cast<QMenu*>(window->component("MmEdit"));
    EXPECT_TRUE(edit->actions().contains(item("MmCopy")));
    EXPECT_TRUE(edit->actions().contains(item("MmPaste")));
    EXPECT_EQ(item("MmCopy")->shortcut(), QKeySequence(QKeySequence::Copy));

    hex->setFocus();
    hex->setSelection(1, 2);
    QTest::keyClick(hex, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "34 56");
    hex->setSelection(3, 3);
    QTest::keyClick(hex, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(hex->bytes()[3], 0x34); // cut at the end of the buffer

    // The log keeps its own Ctrl+C while it has the focus.
    log()->setFocus();
    log()->selectAll();
    QTest::keyClick(log(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), log()->toPlainText());

    // The menu items act on the hex view.
    QApplication::clipboard()->setText("AA");
    hex->setSelection(0, 0);
    item("MmPaste")->trigger();
    EXPECT_EQ(hex->bytes()[0], 0xAA);
}

TEST_F(ShownWindow, AboutClosesTheCompareViewAndOpensTheBox)
{
    DiffList differences;
    const std::vector<std::uint8_t> a{1, 2}, b{1, 3};
    differences.Build(a, b);
    window->showDifferences(differences);
    auto* compare = window->findChild<CompareView*>();
    ASSERT_TRUE(compare->isVisible());

    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            box->close();
        }
    });
    item("SBAbout")->trigger();
    EXPECT_EQ(title, "About Vespera");
    EXPECT_FALSE(compare->isVisible());
}
