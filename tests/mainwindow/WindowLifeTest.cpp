// The window's questions, its layout, and the update check, as a user meets them.
#include "ShownWindow.h"
#include "ui/hexview/HexView.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>

namespace {
class WindowLife : public ShownWindow {
protected:
    void SetUp() override {}
    QString redLines() const
    {
        QStringList red;
        for (QTextBlock block = log()->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().foreground().color() == QColor(255, 0, 0)) red << it.fragment().text();
        return red.join('\n');
    }
};

struct BoxAnswer {
    explicit BoxAnswer(QMessageBox::StandardButton button) : press(button) {}
    QMessageBox::StandardButton press;
    QString text;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool asked = false;
};

void AnswerNextBox(BoxAnswer& answer)
{
    AnswerModal<QMessageBox>([&answer](QMessageBox* box) {
        answer.asked = true;
        answer.text = box->text();
        answer.defaultButton = box->standardButton(box->defaultButton());
        box->button(answer.press)->click();
    });
}
} // namespace

// Yes to a new language restarts the program, and the question says so; No keeps the window.
TEST_F(WindowLife, ALanguageChangeRestartsTheProgramOnYes)
{
    start("[Lang]\nId=0\n");
    BoxAnswer no(QMessageBox::No);
    AnswerNextBox(no);
    item("MmEng")->trigger();
    EXPECT_TRUE(no.asked);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->restartRequested());

    BoxAnswer yes(QMessageBox::Yes);
    AnswerNextBox(yes);
    item("MmEng")->trigger(); // the question now speaks English, the language of the moment
    EXPECT_EQ(yes.text, "Interface language was changed, the program must restart.\nClick Yes to restart it now.");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->restartRequested());
    QFile ini(folder.filePath("Vespera.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("Id=1")); // the program that starts next speaks English
}

// Enter on the erase question erases nothing: No is its default button.
TEST_F(WindowLife, EraseConfirmationDefaultsToNo)
{
    start({}, QStringLiteral("W25Q64FV"));
    BoxAnswer erase(QMessageBox::No);
    AnswerNextBox(erase);
    item("MmSpiErase")->trigger();
    ASSERT_TRUE(RunUntil([&] { return erase.asked; })); // asked from the erase's job
    EXPECT_EQ(erase.text, "All data will be destroyed, continue?");
    EXPECT_EQ(erase.defaultButton, QMessageBox::No);
    ASSERT_TRUE(RunUntil([this] { return !window->controller().busy(); }));
    EXPECT_FALSE(log()->toPlainText().contains("Erasing"));

    BoxAnswer other(QMessageBox::No); // other questions keep Yes as their default
    AnswerNextBox(other);
    window->askYesNo("Replace it?", "Saving data");
    EXPECT_EQ(other.defaultButton, QMessageBox::Yes);
}

// A larger window gives its room to the hex view and the log; nothing floats in the middle.
TEST_F(WindowLife, AnEnlargedWindowGivesTheHexViewTheRoom)
{
    start({}, QStringLiteral("24C02"));
    HexView* hex = window->hexEditor();
    const int designHeight = hex->height();
    window->resize(window->width() + 300, window->height() + 300);
    ASSERT_TRUE(RunUntil([&] { return hex->height() > designHeight + 250; }, 3000)) << hex->height();
    auto* status = qobject_cast<QWidget*>(window->component("StatusBar"));
    const int hexBottom = hex->mapTo(window.get(), QPoint(0, hex->height())).y();
    EXPECT_LE(status->mapTo(window.get(), QPoint(0, 0)).y() - hexBottom, 4); // down to the status bar
    EXPECT_GT(log()->height(), designHeight + 250);
    EXPECT_GE(hex->width(), window->width() - log()->width() - 20);
}

// The device list opens over the main window, not in the corner of the screen.
TEST_F(WindowLife, TheDeviceDialogOpensOverTheMainWindow)
{
    start({}, QStringLiteral("24C02"));
    window->move(300, 200);
    QPoint middle;
    AnswerModal<QDialog>([&middle](QDialog* dialog) {
        middle = dialog->frameGeometry().center();
        dialog->reject();
    });
    item("SBChip")->trigger();
    EXPECT_LE((middle - window->frameGeometry().center()).manhattanLength(), 4)
        << middle.x() << "," << middle.y() << " window " << window->frameGeometry().center().x();
}

// No check at start unless asked for; "Check for updates" answers in the About box itself, and a
// plain HTTP address is refused with a line that says why.
TEST_F(WindowLife, UpdateChecksRunOnDemandAndAnswerInTheBox)
{
    start({}, QStringLiteral("24C02"));
    RunUntil([] { return false; }, 300); // a start-up check would have answered by now
    EXPECT_TRUE(redLines().isEmpty()) << redLines().toStdString();

    QString answer;
    AnswerModal<QDialog>([&answer](QDialog* box) {
        box->findChild<QPushButton*>("ChUpdButton")->click();
        auto* label = box->findChild<QLabel*>("UpdateAnswer");
        if (label && label->isVisible()) answer = label->text();
        box->reject();
    });
    item("SBAbout")->trigger();
    EXPECT_TRUE(answer.startsWith("No update server is set")) << answer.toStdString();

    start("[Update]\nCheckUpdate=1\nUrl=http://vespera.example.org/vespera/update/Update.inf\n",
          QStringLiteral("24C02"));
    ASSERT_TRUE(RunUntil([this] { return !redLines().isEmpty(); }, 3000));
    EXPECT_TRUE(redLines().contains("is not HTTPS")) << redLines().toStdString();
}
