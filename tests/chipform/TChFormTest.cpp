#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QWheelEvent>

#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>

#include "chipdb/ChipListFile.h"
#include "session/Language.h"
#include "sheets/ChipSheetFiles.h"
#include "tests/support/TempFolder.h"
#include "ui/chipform/ChipTableModel.h"
#include "ui/chipform/TChForm.h"

using namespace chipdb;
namespace fs = std::filesystem;

namespace {

struct FakeSettings : ChipFormSettings {
    std::optional<QPoint> position = QPoint{30, 40};
    QPoint written{-1, -1};
    QString chipName = "MX25L6406E";
    std::optional<QPoint> readPosition() override { return position; }
    void writePosition(QPoint p) override { written = p; }
    QString readChipName() override { return chipName; }
};

struct ScriptedPrompts : ChipFormPrompts {
    std::deque<Answer> answers;
    QStringList asked, told;
    Answer ask(const QString& text, const QString&) override
    {
        asked << text;
        Answer a = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
    void tell(const QString& text, const QString&) override { told << text; }
    std::deque<QString> files; // answers of the file dialogs
    std::vector<FileQuestion> fileQuestions;
    QString askFile(const FileQuestion& q) override
    {
        fileQuestions.push_back(q);
        QString f = files.empty() ? QString() : files.front();
        if (!files.empty()) files.pop_front();
        return f;
    }
};

class TChFormTest : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        table.assign({{"W25Q64JV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3, 2700, 3600},
                      {"AT24C02", "ID_24C02", 256, 8, 0, "ATMEL", "", 1},
                      {"MX25L6406E", "ID_SPI1", 8388608, 256, 0, "MACRONIX", "C22017", 1},
                      {"w25x40", "ID_SPI1", 524288, 256, 0, "WINBOND", "EF3013", 1}});
        table.setFilterTest([this](const ChipRecord& r) { return filter.accepts(r); });
    }
    void TearDown() override
    {
        SetCurrentLanguage(savedLanguage);
        TempFolder::TearDown();
    }

    std::unique_ptr<TChForm> open(Language language = Language::Russian, QWidget* owner = nullptr)
    {
        SetCurrentLanguage(language);
        ChipFormContext ctx{table,
                            filter,
                            settings,
                            prompts,
                            folder / "ChipList.dat",
                            43229.0,
                            7,
                            [this] { chosen = table.current()->CHIPTEXT; },
                            [this](double, std::int32_t v) { savedVersions.push_back(v); },
                            folder};
        auto form = std::make_unique<TChForm>(std::move(ctx), owner);
        form->show();
        return form;
    }
    template <class T>
    static T* child(TChForm& f, const char* name)
    {
        return f.findChild<T*>(name);
    }
    static QTableView* grid(TChForm& f) { return child<QTableView>(f, "DBGrid"); }
    void openEditor(TChForm& f)
    {
        QMetaObject::invokeMethod(f.findChild<QShortcut*>("EditorShortcut"), "activated");
        child<QToolButton>(f, "SpeedButton2")->setChecked(true);
    }

    ChipTable table;
    ChipListFilter filter;
    FakeSettings settings;
    ScriptedPrompts prompts;
    std::string chosen;
    std::vector<std::int32_t> savedVersions;
    const Language savedLanguage = CurrentLanguage();
};

} // namespace

TEST_F(TChFormTest, CaptionsFollowTheLanguage)
{
    struct Case {
        Language language;
        const char *title, *choose, *device, *capacity, *chipId;
    } const cases[] = {
        {Language::Russian, "Выбор микросхемы", "Выбрать", "Чип", "Ёмкость", "ID чипа"},
        // not chosen: the design's captions
        {Language::NotChosen, "Выбор микросхемы", "Выбрать", "Чип", "Ёмкость", "ID чипа"},
        {Language::English, "Device selection", "Choose", "Device", "Capacity", "Chip ID"},
    };
    for (const Case& c : cases) {
        auto f = open(c.language);
        auto* model = grid(*f)->model();
        EXPECT_EQ(f->windowTitle(), c.title);
        EXPECT_EQ(child<QPushButton>(*f, "SBChoose")->text(), c.choose);
        EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), c.device);
        EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), c.capacity);
        EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QString::fromUtf8(c.chipId));
        // Every title fits its column (the design's 90 pixels cut "Производитель"), every column
        // fits the list, and the list is never narrower than the design's.
        QHeaderView* titles = grid(*f)->horizontalHeader();
        const int margin = 2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
        for (int col = 0; col < 4; ++col)
            EXPECT_GE(grid(*f)->columnWidth(col),
                      titles->fontMetrics().horizontalAdvance(model->headerData(col, Qt::Horizontal).toString()) +
                          margin)
                << int(c.language) << " " << col;
        EXPECT_LE(titles->length(), grid(*f)->viewport()->width()) << int(c.language);
        EXPECT_GE(f->width(), TChForm::kListWidth);
        EXPECT_EQ(f->width(), f->listWidth());
    }
}

TEST_F(TChFormTest, LongChipNamesWidenTheirColumnAndTheList)
{
    const QString longName = "MX25U12835FZ2I-10G/IM_18";
    table.assign({{"W25Q64JV", "ID_SPI1", 8388608, 256, 20, "WINBOND", "EF4017", 3},
                  {longName.toStdString(), "ID_SPI1", 16777216, 256, 0, "MACRONIX", "C22538", 1}});
    auto f = open(Language::English);
    QTableView* list = grid(*f);
    EXPECT_GT(list->columnWidth(0), list->fontMetrics().horizontalAdvance(longName));
    EXPECT_GT(f->width(), TChForm::kListWidth);
    EXPECT_LE(list->horizontalHeader()->length(), list->viewport()->width()); // nothing cut at the right
    openEditor(*f);
    EXPECT_EQ(f->width(), f->editorWidth());
}

TEST_F(TChFormTest, ShowingPlacesTheWindowAndSelectsTheSavedChip)
{
    auto f = open();
    EXPECT_EQ(f->pos(), QPoint(30, 40));
    EXPECT_EQ(table.current()->CHIPTEXT, "MX25L6406E");
    EXPECT_EQ(grid(*f)->currentIndex().row(), 2);
    EXPECT_EQ(child<QSpinBox>(*f, "CSpinEdit")->value(), 7);
    f->move(50, 60);
    f->reject();
    EXPECT_EQ(settings.written, QPoint(50, 60));
    EXPECT_TRUE(chosen.empty()); // closing chooses nothing
}

// Never left at 0,0: with no place of its own yet, or one off every screen, the dialog opens over
// the middle of the main window.
TEST_F(TChFormTest, WithoutASavedPlaceItOpensOverTheMainWindow)
{
    QWidget owner;
    owner.setGeometry(200, 150, 900, 500);
    owner.show();
    for (const std::optional<QPoint> saved : {std::optional<QPoint>(), std::optional<QPoint>(QPoint(-30000, 5))}) {
        settings.position = saved;
        auto f = open(Language::Russian, &owner);
        const QPoint middle = f->frameGeometry().center(), ownerMiddle = owner.frameGeometry().center();
        EXPECT_LE((middle - ownerMiddle).manhattanLength(), 4) << middle.x() << "," << middle.y();
        f->reject();
    }
}

// The current chip's supply voltage shows under the list, in the interface language, and its
// millivolts stand in the editor beside the other fields.
TEST_F(TChFormTest, TheCurrentChipsSupplyVoltageIsShown)
{
    auto f = open(Language::English);
    auto* supply = child<QLabel>(*f, "LbSupply");
    ASSERT_TRUE(supply);
    EXPECT_EQ(supply->text(), "Supply: not known"); // MX25L6406E, the saved chip, has no range
    openEditor(*f);
    table.moveTo(0);
    EXPECT_EQ(supply->text(), "Supply: 2.7–3.6 V");
    EXPECT_EQ(child<QLineEdit>(*f, "LEVMin")->text(), "2700");
    EXPECT_EQ(child<QLineEdit>(*f, "LEVMax")->text(), "3600");
    EXPECT_TRUE(child<QLineEdit>(*f, "LEVMin")->isReadOnly());
    f.reset();
    settings.chipName = "W25Q64JV";
    auto russian = open(Language::Russian);
    EXPECT_EQ(child<QLabel>(*russian, "LbSupply")->text(), "Питание: 2,7–3,6 В");
}

TEST_F(TChFormTest, SearchBoxFiltersByNameInAnyCase)
{
    auto f = open();
    auto* edit = child<QLineEdit>(*f, "Edit1");
    edit->setText("w25");
    EXPECT_EQ(grid(*f)->model()->rowCount(), 2);
    edit->setText("W25Q");
    EXPECT_EQ(grid(*f)->model()->rowCount(), 1);
    edit->clear();
    EXPECT_EQ(grid(*f)->model()->rowCount(), 4);
    EXPECT_FALSE(table.filtered());
}

TEST_F(TChFormTest, TitleClicksOrderAndColourTheColumn)
{
    auto f = open(Language::English);
    auto* header = grid(*f)->horizontalHeader();
    auto* model = grid(*f)->model();
    auto colour = [&](int c) {
        return model->headerData(c, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color();
    };
    emit header->sectionClicked(1);
    EXPECT_EQ(table.order(), ChipField::MANUF);
    EXPECT_EQ(model->index(0, 1).data().toString(), "ATMEL");
    EXPECT_EQ(colour(1), QColor(166, 202, 240));
    EXPECT_NE(colour(0), QColor(166, 202, 240));
    emit header->sectionClicked(1); // the sorted column again: natural order
    EXPECT_EQ(table.order(), std::nullopt);
    EXPECT_EQ(model->index(0, 0).data().toString(), "W25Q64JV");
    emit header->sectionClicked(0);
    emit header->sectionClicked(2); // Capacity always restores the natural order
    EXPECT_EQ(table.order(), std::nullopt);
    EXPECT_NE(colour(2), QColor(166, 202, 240));
}

TEST_F(TChFormTest, EachWheelMessageMovesOneRow)
{
    auto f = open();
    auto* viewport = grid(*f)->viewport();
    for (const auto& [delta, row] : {std::pair{-360, 3}, {120, 2}, {480, 1}, {0, 1}}) {
        QWheelEvent wheel(QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)), {}, {0, delta}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
        EXPECT_EQ(table.currentIndex(), row) << delta;
        EXPECT_EQ(grid(*f)->currentIndex().row(), row);
    }
}

TEST_F(TChFormTest, EditorIsHiddenUntilCtrlAltEAndOnlyForOneOpening)
{
    {
        auto f = open();
        EXPECT_TRUE(child<QToolButton>(*f, "SpeedButton2")->isHidden());
        openEditor(*f);
        EXPECT_FALSE(child<QToolButton>(*f, "SpeedButton2")->isHidden());
        EXPECT_EQ(f->width(), f->editorWidth());
        child<QToolButton>(*f, "SpeedButton2")->setChecked(false);
        EXPECT_EQ(f->width(), f->listWidth());
    }
    auto again = open();
    EXPECT_TRUE(child<QToolButton>(*again, "SpeedButton2")->isHidden());
}

TEST_F(TChFormTest, ExecuteWritesTheDatabaseWithTheVersionField)
{
    auto f = open();
    openEditor(*f);
    auto* ok = child<QPushButton>(*f, "SpButtonOk");
    EXPECT_FALSE(ok->isEnabled());

    // New: the question about clearing the fields, answered Yes.
    prompts.answers = {ChipFormPrompts::Answer::Yes};
    child<QToolButton>(*f, "SpButtonNew")->click();
    EXPECT_EQ(child<QLineEdit>(*f, "LEChipText")->text(), "");
    child<QLineEdit>(*f, "LEChipText")->setText("GD25Q32C");
    child<QLineEdit>(*f, "LEChipId")->setText("ID_SPI1");
    child<QLineEdit>(*f, "LEChipSize")->setText("4194304");
    ok->click();
    EXPECT_EQ(table.rows().size(), 5u);
    EXPECT_EQ(savedVersions, std::vector<std::int32_t>{7});
    EXPECT_EQ(child<QSpinBox>(*f, "CSpinEdit")->value(), 8);
    ChipTable onDisk;
    ChipListLoad load = LoadChipList(folder / "ChipList.dat", onDisk);
    EXPECT_EQ(load.version, 7);
    ASSERT_TRUE(onDisk.locate(ChipField::CHIPTEXT, "GD25Q32C"));
    EXPECT_EQ(onDisk.fieldNumber(ChipField::CHIPSIZE), 4194304);
    EXPECT_EQ(onDisk.fieldText(ChipField::PAGESIZE), ""); // an empty text leaves the field empty

    // Delete answered No still rewrites the file with the next version.
    child<QToolButton>(*f, "SpButtonDelete")->click();
    EXPECT_FALSE(child<QToolButton>(*f, "SpButtonNew")->isChecked());
    prompts.answers = {ChipFormPrompts::Answer::No};
    ok->click();
    EXPECT_EQ(prompts.asked.back(), "Удалить запись?");
    EXPECT_EQ(table.rows().size(), 5u);
    EXPECT_EQ(LoadChipList(folder / "ChipList.dat", onDisk).version, 8);

    // Change with a field that is no number: a message, and neither table nor file changes.
    const auto before = table.rows();
    child<QToolButton>(*f, "SpButtonEdit")->click();
    child<QLineEdit>(*f, "LEPageSize")->setText("abc");
    ok->click();
    EXPECT_EQ(prompts.told.back(), "'abc' не является числом");
    EXPECT_EQ(table.rows(), before);
    EXPECT_EQ(LoadChipList(folder / "ChipList.dat", onDisk).version, 8);
}

TEST_F(TChFormTest, ExecuteThatCannotWriteLeavesTheTableAlone)
{
    SetCurrentLanguage(Language::English);
    ChipFormContext ctx{table, filter, settings, prompts, folder / "missing" / "ChipList.dat", 0, 1, {}, {}, folder};
    TChForm f(std::move(ctx));
    f.show();
    openEditor(f);
    child<QToolButton>(f, "SpButtonDelete")->click();
    prompts.answers = {ChipFormPrompts::Answer::Yes};
    child<QPushButton>(f, "SpButtonOk")->click();
    EXPECT_EQ(prompts.told, QStringList{"Unable to open file ChipList.dat"});
    EXPECT_TRUE(prompts.asked.isEmpty()); // stopped before asking
    EXPECT_EQ(table.rows().size(), 4u);
}

TEST_F(TChFormTest, ChooseRunsTheCallbackAndEndsTheSignatureSearch)
{
    filter.signatureMode = true;
    filter.signatureText = "ef40";
    table.setFiltered(true);
    auto f = open();
    EXPECT_FALSE(child<QLineEdit>(*f, "Edit1")->isEnabled());
    EXPECT_EQ(grid(*f)->model()->rowCount(), 1);
    child<QPushButton>(*f, "SBChoose")->click();
    EXPECT_EQ(chosen, "W25Q64JV");
    EXPECT_FALSE(filter.signatureMode);
    EXPECT_EQ(f->result(), QDialog::Accepted);
}

TEST_F(TChFormTest, NewShowsAnEmptyPlaceholderRowUntilTheRowChanges)
{
    auto f = open();
    openEditor(*f);
    auto* model = grid(*f)->model();
    prompts.answers = {ChipFormPrompts::Answer::No};
    child<QToolButton>(*f, "SpButtonNew")->click();
    ASSERT_EQ(model->rowCount(), 5); // at the current row, MX25L6406E (grid row 2)
    EXPECT_EQ(model->index(2, 0).data().toString(), "");
    EXPECT_EQ(model->index(3, 0).data().toString(), "MX25L6406E");
    EXPECT_EQ(grid(*f)->currentIndex().row(), 2);
    EXPECT_EQ(table.rows().size(), 4u); // never stored

    grid(*f)->setCurrentIndex(model->index(0, 0)); // another row: the placeholder goes
    EXPECT_EQ(model->rowCount(), 4);
    EXPECT_EQ(table.current()->CHIPTEXT, "W25Q64JV");

    // Leaving New mode and Execute take it away as well.
    child<QToolButton>(*f, "SpButtonNew")->click();
    child<QToolButton>(*f, "SpButtonNew")->click();
    EXPECT_EQ(model->rowCount(), 5);
    child<QToolButton>(*f, "SpButtonEdit")->click();
    EXPECT_EQ(model->rowCount(), 4);
    child<QToolButton>(*f, "SpButtonNew")->click();
    child<QLineEdit>(*f, "LEChipText")->setText("GD25Q16");
    child<QPushButton>(*f, "SpButtonOk")->click();
    EXPECT_EQ(table.rows().size(), 5u);
    EXPECT_EQ(model->rowCount(), 5);
    for (int r = 0; r < 5; ++r) EXPECT_NE(model->index(r, 0).data().toString(), "") << r;
}

TEST_F(TChFormTest, LoadXlsReplacesTheTableOnlyWithAWholeGoodSheet)
{
    const std::vector<ChipRecord> imported{{"A1", "ID_24C01", 128, 8, 0, "X", "", 1},
                                           {"B2", "ID_24C02", 256, 8, 0, "X", "", 1},
                                           {"C3", "ID_SPI1", 4096, 256, 0, "Y", "EF4012", 2}};
    ASSERT_FALSE(sheets::SaveChipSheet(folder / "new.xlsx", imported));
    std::ofstream(folder / "bad.csv") << "CHIPTEXT,MANUF,CHIPID,CHIPSIZE,PAGESIZE,SIGNATURE,ERTIME,FREQUENCY\n"
                                         "A,B,C,1,2,3,4,5\nA,B,C,x,2,3,4,5\n";
    auto f = open(Language::English);
    openEditor(*f);
    auto* load = child<QPushButton>(*f, "Button1");
    EXPECT_EQ(load->text(), "Load XLS");
    const auto before = table.rows();

    prompts.files = {QString::fromStdString((folder / "bad.csv").string())};
    load->click();
    EXPECT_EQ(prompts.told.back(), "Line 3: CHIPSIZE is not a number");
    EXPECT_EQ(table.rows(), before);
    EXPECT_FALSE(fs::exists(folder / "ChipList.dat"));
    ASSERT_EQ(prompts.fileQuestions.size(), 1u);
    EXPECT_FALSE(prompts.fileQuestions[0].save);
    EXPECT_EQ(prompts.fileQuestions[0].proposal.toStdString(), folder.string());
    EXPECT_TRUE(prompts.fileQuestions[0].filter.contains("*.xlsx *.xls *.csv"));

    prompts.files = {QString()}; // cancelled
    load->click();
    EXPECT_EQ(table.rows(), before);

    // The question names how many rows replace how many; No changes nothing.
    prompts.files = {QString::fromStdString((folder / "new.xlsx").string())};
    prompts.answers = {ChipFormPrompts::Answer::No};
    load->click();
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0], "The 3 rows of new.xlsx will replace the 4 rows of the chip list, and ChipList.dat "
                                "will be rewritten. Go on?");
    EXPECT_EQ(table.rows(), before);
    EXPECT_FALSE(fs::exists(folder / "ChipList.dat"));

    prompts.files = {QString::fromStdString((folder / "new.xlsx").string())};
    prompts.answers = {ChipFormPrompts::Answer::Yes};
    load->click();
    EXPECT_EQ(table.rows(), imported);
    EXPECT_EQ(load->text(), "Load XLS"); // a caption, not a count
    ChipTable onDisk;
    EXPECT_EQ(LoadChipList(folder / "ChipList.dat", onDisk).version, 7);
    EXPECT_EQ(onDisk.rows().size(), 3u);
    EXPECT_EQ(savedVersions, std::vector<std::int32_t>{7});
    EXPECT_EQ(child<QSpinBox>(*f, "CSpinEdit")->value(), 8);
}

TEST_F(TChFormTest, LoadXlsThatCannotSaveTheDatabaseKeepsTheTable)
{
    ASSERT_FALSE(sheets::SaveChipSheet(folder / "new.xlsx", {{"A1", "ID_24C01", 128, 8, 0, "X", "", 1}}));
    SetCurrentLanguage(Language::English);
    ChipFormContext ctx{table, filter, settings, prompts, folder / "missing" / "ChipList.dat", 0, 1, {}, {}, folder};
    TChForm f(std::move(ctx));
    f.show();
    openEditor(f);
    const auto before = table.rows();
    prompts.files = {QString::fromStdString((folder / "new.xlsx").string())};
    prompts.answers = {ChipFormPrompts::Answer::Yes};
    child<QPushButton>(f, "Button1")->click();
    EXPECT_EQ(prompts.told, QStringList{"Unable to open file ChipList.dat"});
    EXPECT_EQ(table.rows(), before);
}

TEST_F(TChFormTest, SaveXlsAndSaveTxtWriteEveryRowWhateverTheSearch)
{
    auto f = open(Language::English);
    openEditor(*f);
    child<QLineEdit>(*f, "Edit1")->setText("w25"); // two rows shown, four exported
    prompts.files = {QString::fromStdString((folder / "out.xlsx").string()),
                     QString::fromStdString((folder / "list.txt").string())};
    child<QPushButton>(*f, "Button2")->click();
    child<QPushButton>(*f, "Button3")->click();

    ASSERT_EQ(prompts.fileQuestions.size(), 2u);
    const FileQuestion& xls = prompts.fileQuestions[0];
    EXPECT_TRUE(xls.save);
    EXPECT_EQ(xls.proposal.toStdString(), (folder / "Chip_List.xlsx").string());
    EXPECT_EQ(xls.defaultSuffix, "xlsx");
    EXPECT_TRUE(xls.filter.contains("(*.csv)"));
    EXPECT_EQ(prompts.fileQuestions[1].proposal.toStdString(), (folder / "Chip.txt").string());
    EXPECT_EQ(child<QPushButton>(*f, "Button1")->text(), "Load XLS");

    const sheets::ChipRows back = sheets::LoadChipSheet(folder / "out.xlsx");
    ASSERT_FALSE(back.error);
    EXPECT_EQ(back.rows, table.rows());
    std::ifstream txt(folder / "list.txt", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(txt), {}};
    EXPECT_EQ(text, "\r\n<br /><br />[b]ATMEL[/b]<br />\r\nAT24C02, "
                    "\r\n<br /><br />[b]MACRONIX[/b]<br />\r\nMX25L6406E, "
                    "\r\n<br /><br />[b]WINBOND[/b]<br />\r\nW25Q64JV, w25x40, ");
    EXPECT_TRUE(prompts.told.isEmpty());

    // The same rows as CSV, which the import reads back.
    prompts.files = {QString::fromStdString((folder / "out.csv").string())};
    child<QPushButton>(*f, "Button2")->click();
    EXPECT_TRUE(prompts.told.isEmpty());
    const sheets::ChipRows csv = sheets::LoadChipSheet(folder / "out.csv");
    ASSERT_FALSE(csv.error);
    EXPECT_EQ(csv.rows, table.rows());

    // A name with a comma cannot be a CSV cell: refused, naming the chip, and nothing written.
    table.assign({{"A,B", "ID_24C01", 128, 8, 0, "X", "", 1}});
    prompts.files = {QString::fromStdString((folder / "comma.csv").string())};
    child<QPushButton>(*f, "Button2")->click();
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told[0].startsWith("The chip A,B has a comma")) << prompts.told[0].toStdString();
    EXPECT_FALSE(fs::exists(folder / "comma.csv"));
}
