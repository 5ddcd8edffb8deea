// The main window as a user meets it: what shows, what it says in which language, and what a
// keyboard user can reach.
#include "ShownWindow.h"
#include "buffer/DiffList.h"
#include "session/Language.h"
#include "ui/compareview/CompareView.h"
#include "ui/hexview/HexView.h"
#include "ui/mainwindow/Icons.h"
#include "ui/mainwindow/StatusBar.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QTableView>
#include <QToolButton>

namespace {
QToolButton* ButtonOf(QWidget* window, QAction* action)
{
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->defaultAction() == action) return button;
    return nullptr;
}

QImage Picture(const QIcon& icon)
{
    return icon.pixmap(32).toImage();
}

// A window each test starts with the settings and the chip it needs.
class FreshWindow : public ShownWindow {
protected:
    void SetUp() override {}
};
} // namespace

// A widget in a tool bar is shown and hidden through the bar's action for it, not by itself.
TEST_F(FreshWindow, SpiButtonsShowAndWorkOnlyWithAnSpiChip)
{
    start({}, QStringLiteral("W25Q64FV"));
    ChipCatalogue& catalogue = window->controller().session().catalogue();
    const struct {
        const char* chip;
        bool spi;
    } cases[] = {{"W25Q64FV", true}, {"24C02", false}, {"W25Q64FV", true}};
    for (const auto& c : cases) {
        ASSERT_TRUE(catalogue.ClientDataSet.locate(chipdb::ChipField::CHIPTEXT, c.chip));
        window->controller().SetParams();
        window->controller().ActivateControls(Ready); // the ready state keeps them off for an I2C chip
        QApplication::processEvents();                // the tool bar lays itself out anew
        for (const char* name : {"SBErase", "SBStatRegs"}) {
            QToolButton* button = ButtonOf(window.get(), item(name));
            ASSERT_NE(button, nullptr) << name;
            EXPECT_EQ(button->isVisible(), c.spi) << c.chip << " " << name;
            EXPECT_EQ(button->isEnabled(), c.spi) << c.chip << " " << name;
        }
        EXPECT_EQ(qobject_cast<QMenu*>(window->component("MmSpi"))->menuAction()->isEnabled(), c.spi) << c.chip;
    }
}

TEST_F(FreshWindow, ClosingTheCompareViewLeavesNoButtonBehind)
{
    start({}, QStringLiteral("24C02"));
    DiffList differences;
    const std::vector<uint8_t> a{1, 2}, b{1, 3};
    differences.Build(a, b);
    window->showDifferences(differences);
    auto* compare = window->findChild<CompareView*>();
    ASSERT_TRUE(compare->BitBtn()->isVisible());

    item("SBRead")->trigger(); // a read closes the view first
    ASSERT_TRUE(RunUntil([this] { return !window->controller().busy(); }));
    EXPECT_FALSE(compare->isVisible());
    EXPECT_FALSE(compare->BitBtn()->isVisible());
}

TEST_F(FreshWindow, OffsetPanelShowsTheCursorFromTheStart)
{
    start({}, QStringLiteral("24C02"));
    EXPECT_EQ(window->controller().statusBar().offsetText, "0x0000");
    window->hexEditor()->setSelection(0x42, 0x42);
    EXPECT_EQ(window->controller().statusBar().offsetText, "0x0042");
}

TEST_F(ShownWindow, TheProgramIconIsOnTheWindowAndItsDialogs)
{
    const QImage icon = Picture(ProgramIcon());
    ASSERT_FALSE(icon.isNull()) << "the icon resource or Qt's SVG icon engine is missing";
    EXPECT_EQ(Picture(window->windowIcon()), icon);

    QImage dialogIcon;
    AnswerModal<QDialog>([&dialogIcon](QDialog* dialog) {
        dialogIcon = Picture(dialog->windowIcon());
        dialog->reject();
    });
    item("SBChip")->trigger();
    EXPECT_EQ(dialogIcon, icon);

    QImage boxIcon;
    AnswerModal<QMessageBox>([&boxIcon](QMessageBox* box) {
        boxIcon = Picture(box->windowIcon());
        box->reject();
    });
    window->askYesNo("?", "?");
    EXPECT_EQ(boxIcon, icon);
}

// Alt and a letter opens one menu only, in either language.
TEST_F(FreshWindow, EveryTopMenuHasAMnemonicOfItsOwn)
{
    for (const QByteArray language : {"0", "1"}) {
        start("[Lang]\nId=" + language + "\n");
        QList<QKeySequence> keys;
        for (QAction* menu : window->menuBar()->actions()) {
            const QKeySequence key = QKeySequence::mnemonic(menu->text());
            EXPECT_FALSE(key.isEmpty()) << menu->text().toStdString();
            EXPECT_FALSE(keys.contains(key)) << menu->text().toStdString();
            keys << key;
        }
    }
}

TEST_F(FreshWindow, TextsSpeakTheInterfaceLanguage)
{
    const struct {
        QByteArray id;
        QString hexSearch, textSearch, yes;
    } cases[] = {
        {"1", "Search Hex-values", "Search text", "&Yes"},
        {"0", "Поиск Hex-значений", "Поиск текста", "&Да"}, // Qt's own buttons through qtbase_ru
    };
    for (const auto& c : cases) {
        start("[Lang]\nId=" + c.id + "\n");
        auto* kinds = qobject_cast<QComboBox*>(window->component("CBSearch"));
        ASSERT_EQ(kinds->count(), 2);
        EXPECT_EQ(kinds->itemText(0), c.hexSearch);
        EXPECT_EQ(kinds->itemText(1), c.textSearch);
        EXPECT_EQ(kinds->currentIndex(), 0);
        QMessageBox box(QMessageBox::Warning, "", "", QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(box.button(QMessageBox::Yes)->text(), c.yes) << c.id.constData();
    }
}

// Messages follow a language change at once; so do the compare grid's titles, which are drawn
// like messages, while the menus wait for the restart.
TEST_F(FreshWindow, CompareTitlesFollowALanguageChange)
{
    start("[Lang]\nId=0\n");
    auto* titles = window->findChild<CompareView*>()->CompareGrid()->model();
    EXPECT_EQ(titles->headerData(1, Qt::Horizontal).toString(), "Адрес");
    AnswerModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    item("MmEng")->trigger();
    EXPECT_EQ(CurrentLanguage(), Language::English);
    EXPECT_EQ(titles->headerData(1, Qt::Horizontal).toString(), "Address");
    EXPECT_EQ(titles->headerData(2, Qt::Horizontal).toString(), "Buffer data");
}

TEST_F(ShownWindow, StatusBarPanelsHoldTheirLongestTexts)
{
    auto* bar = qobject_cast<StatusBar*>(window->component("StatusBar"));
    const QFontMetrics metrics(bar->panelFont());
    const struct {
        int panel;
        QString text;
    } cases[] = {
        {1, "Buffer modified!"},
        {1, "Буфер изменён!"},
        {2, "Offset 0x1FFFFFF"},
        {2, "Смещение: 0x1FFFFFF"},
        {3, "Check Sum: CRC16 = 0xFFFF, CRC32 = 0xFFFFFFFF"},
    };
    for (const auto& c : cases)
        EXPECT_LE(metrics.horizontalAdvance(c.text), bar->textRect(c.panel).width()) << c.text.toStdString();
    EXPECT_LE(bar->panelRect(4).right(), bar->width());
    EXPECT_GE(bar->panelRect(0).width(), StatusBar::DesignWidths[0] / 3);
}

// An installed program lives in a system folder: the log is offered for saving among the user's files.
TEST_F(FreshWindow, LogIsSavedAmongTheUsersFiles)
{
    QDir(folder.path()).mkpath("usr/bin");
    QDir(folder.path()).mkpath("usr/share/vespera");
    qputenv("XDG_DATA_HOME", folder.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toUtf8());
    AppPaths::SetProgramFolder(folder.filePath("usr/bin"));
    TFMain installed{StartupOptions{}};
    QString offered;
    AnswerModal<QFileDialog>([&offered](QFileDialog* dialog) {
        offered = dialog->selectedFiles().value(0);
        dialog->reject();
    });
    installed.findChild<QAction*>("SavToFl")->trigger();
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(offered, folder.filePath("data/vespera/Vespera_Log.txt"));
}
