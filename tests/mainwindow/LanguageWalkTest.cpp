// Every text of the main window and its dialogs, walked in each interface language: an English
// window shows no Cyrillic letter, a Russian one no English word. Proper names, technical terms,
// file names and the texts that exist in one language only by design are let through by name.
#include "ShownWindow.h"
#include "buffer/DiffList.h"
#include "session/Language.h"
#include "tests/support/RunUntil.h"
#include "ui/hexview/HexView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QTableView>
#include <QToolButton>
#include <set>

namespace {

// Latin words a Russian window may show: names of programs, formats, buses, registers and the
// chip database's fields, and the language menu's own name of English.
const std::set<QString> latinInRussian = {
    "Vespera",    "Intel", "Hex",    "PonyProg", "Excel",    "XLS",       "TXT",    "CSV",
    "ID",         "UID",   "ACK",    "SPI",      "NAK",      "USB",       "OK",     "English",
    "CHIPTEXT",   "MANUF", "CHIPID", "CHIPSIZE", "PAGESIZE", "SIGNATURE", "ERTIME", "FREQUENCY",
    "VMIN",       "VMAX",  "WEL",    "BUS",      "https",    "Url",       "Update", "hex",
    "Programmer", // the product's name in the About box, "Vespera Programmer"
    "Log",        // "Сохранение Log файла", the log's save dialog title as the window design has it
};
// Cyrillic an English window may show: the language menu's own name of Russian.
const std::set<QString> cyrillicInEnglish = {"Русский"};

// What is not a word of either language: file patterns and names, hexadecimal numbers, and
// words with digits in them (chip names, I2C, CRC32, S07).
// Mail and web addresses are names too.
const QRegularExpression notWords(QStringLiteral(R"(\S+@\S+|https?://\S*|\*\.\w+|\b[\w-]+(\.[\w-]+)+\b|)"
                                                 R"(\b0x[0-9A-Fa-f]+\b|\b\w*\d\w*\b)"),
                                  QRegularExpression::CaseInsensitiveOption);
const QRegularExpression latinWord(QStringLiteral(R"(\b[A-Za-z]+\b)"));
const QRegularExpression cyrillicWord(QStringLiteral(R"([А-Яа-яЁё]+)"));

// The texts of one language pass: where each was found, and what it says.
class TextWalk {
public:
    explicit TextWalk(Language language) : language_(language) {}

    void add(const QString& where, QString text)
    {
        text.remove(QLatin1Char('&'));
        if (text.trimmed().isEmpty()) return;
        const QString plain = QString(text).replace(notWords, QStringLiteral(" "));
        const QRegularExpression& foreign = language_ == Language::English ? cyrillicWord : latinWord;
        const std::set<QString>& allowed = language_ == Language::English ? cyrillicInEnglish : latinInRussian;
        for (auto match = foreign.globalMatch(plain); match.hasNext();) {
            const QString word = match.next().captured();
            if (!allowed.count(word)) failures_ << where + ": \"" + text + "\" (" + word + ")";
        }
        ++count_;
    }

    // Every text a widget tree shows: captions, titles, tool tips, placeholders, list items,
    // column titles.
    void addTree(const QString& where, QWidget* root)
    {
        add(where + " title", root->windowTitle());
        // A file dialog's own widgets are Qt's (translated with it) and show folder names: its
        // title and filters are the program's.
        if (auto* dialog = qobject_cast<QFileDialog*>(root)) {
            for (const QString& filter : dialog->nameFilters()) add(where + " filter", filter);
            return;
        }
        QList<QObject*> objects{root};
        objects += root->findChildren<QObject*>();
        for (QObject* object : objects) {
            const QString name = where + "/" + object->objectName() + " " + object->metaObject()->className();
            if (auto* action = qobject_cast<QAction*>(object)) {
                if (object->objectName().startsWith("Hist")) continue; // named after files once shown
                add(name, action->text());
                add(name + " tip", action->toolTip());
                add(name + " status tip", action->statusTip());
            }
            auto* widget = qobject_cast<QWidget*>(object);
            if (!widget) continue;
            add(name + " tip", widget->toolTip());
            if (auto* menu = qobject_cast<QMenu*>(widget)) add(name, menu->title());
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(name, button->text());
            if (auto* label = qobject_cast<QLabel*>(widget)) add(name, label->text());
            if (auto* group = qobject_cast<QGroupBox*>(widget)) add(name, group->title());
            if (auto* field = qobject_cast<QLineEdit*>(widget)) {
                add(name + " placeholder", field->placeholderText());
                if (field->objectName() == "EdFind") add(name, field->text()); // the invitation
            }
            if (auto* list = qobject_cast<QComboBox*>(widget))
                for (int i = 0; i < list->count(); ++i) add(name + " item", list->itemText(i));
            if (auto* table = qobject_cast<QTableView*>(widget); table && table->model())
                for (int c = 0; c < table->model()->columnCount(); ++c)
                    add(name + " column", table->model()->headerData(c, Qt::Horizontal).toString());
            if (auto* box = qobject_cast<QMessageBox*>(widget)) add(name + " text", box->text());
        }
    }

    const QStringList& failures() const { return failures_; }
    int count() const { return count_; }

private:
    Language language_;
    QStringList failures_;
    int count_ = 0;
};

class LanguageWalk : public ShownWindow {
protected:
    void SetUp() override {}

    // Opens a dialog by `open`, walks it (after `prepare`) and closes it.
    void walkDialog(TextWalk& walk, const QString& where, const std::function<void()>& open,
                    const std::function<void(QDialog*)>& prepare = {})
    {
        bool seen = false;
        AnswerModal<QDialog>([&](QDialog* dialog) {
            seen = true;
            if (prepare) prepare(dialog);
            walk.addTree(where, dialog);
            if (auto* box = qobject_cast<QMessageBox*>(dialog); box && box->button(QMessageBox::Cancel))
                box->button(QMessageBox::Cancel)->click();
            else if (box && box->button(QMessageBox::No))
                box->button(QMessageBox::No)->click();
            else
                dialog->reject();
        });
        open();
        // A chip command asks from its job: the box comes once the job gets there.
        EXPECT_TRUE(RunUntil([&] { return seen; }, 5000)) << where.toStdString();
        RunUntil([this] { return !window->controller().busy(); }, 5000);
    }
};

} // namespace

TEST_F(LanguageWalk, EveryTextSpeaksTheInterfaceLanguage)
{
    for (const Language language : {Language::English, Language::Russian}) {
        SCOPED_TRACE(language == Language::English ? "English" : "Russian");
        start(language == Language::English ? "[Lang]\nId=1\n" : "[Lang]\nId=0\n", QStringLiteral("W25Q64FV"));
        TextWalk walk(language);

        // The window with its fill box and compare grid shown, and the checksum of the status bar.
        item("MmFillBufer")->trigger();
        DiffList differences;
        const std::vector<uint8_t> a{1, 2}, b{1, 3};
        differences.Build(a, b);
        window->showDifferences(differences);
        walk.addTree("main window", window.get());
        walk.add("checksum panel", window->controller().statusBar().checkSumText);

        walkDialog(
            walk, "device selection", [this] { item("SBChip")->trigger(); },
            [](QDialog* dialog) {
                QMetaObject::invokeMethod(dialog->findChild<QShortcut*>("EditorShortcut"), "activated");
                dialog->findChild<QToolButton*>("SpeedButton2")->setChecked(true); // the database editor
            });
        walkDialog(walk, "status registers", [this] { item("MmRdStatReg")->trigger(); });
        walkDialog(
            walk, "about", [this] { item("SBAbout")->trigger(); },
            [](QDialog* dialog) {
                dialog->findChild<QPushButton*>("ChUpdButton")->click(); // its answer shows in the box
            });
        walkDialog(walk, "open dialog", [this] { item("SBOpen")->trigger(); });
        walkDialog(walk, "save dialog", [this] { item("SBSave")->trigger(); });
        walkDialog(walk, "log save dialog", [this] { log()->findChild<QAction*>("SavToFl")->trigger(); });
        walkDialog(walk, "emulated chip", [this] { item("MmEmuChip")->trigger(); });
        walkDialog(walk, "erase question", [this] { item("MmSpiErase")->trigger(); });
        ASSERT_TRUE(RunUntil([this] { return !window->controller().busy(); }));

        auto* kinds = qobject_cast<QComboBox*>(window->component("CBSearch"));
        kinds->setCurrentIndex(1);
        qobject_cast<QLineEdit*>(window->component("EdFind"))->setText("12345"); // not in an erased buffer
        walkDialog(walk, "search", [this] { item("SBFind")->trigger(); });

        window->hexEditor()->setFocus();
        QTest::keyClicks(window->hexEditor(), "5A");
        walkDialog(walk, "exit question", [this] { item("MmExit")->trigger(); });
        // Last: the question comes in the language of the moment, which then changes.
        walkDialog(walk, "language question",
                   [this, language] { item(language == Language::English ? "MmEng" : "MmRus")->trigger(); });

        EXPECT_GT(walk.count(), 200);
        EXPECT_TRUE(walk.failures().isEmpty()) << walk.failures().join("\n").toStdString();
    }
}
