#include <vector>

#include <QApplication>
#include <QBrush>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include "buffer/DiffList.h"
#include "session/Language.h"
#include "ui/compareview/CompareView.h"

namespace {

// Buffer and chip differing at 0x10, 0x20 and 0x30, shown in a view.
class CompareViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        buffer.assign(64, 0x11);
        device.assign(64, 0x11);
        device[0x10] = 0xA0;
        device[0x20] = 0xB0;
        device[0x30] = 0xC0;
        list.Build(buffer, device);
        view.setByteReaders(Reader(buffer), Reader(device));
        view.resize(600, 200);
        view.UpdateCompareGrid(&list);
    }

    static CompareModel::ByteReader Reader(const std::vector<std::uint8_t>& bytes)
    {
        return [&bytes](std::uint32_t address) -> std::optional<std::uint8_t> {
            if (address >= bytes.size()) return std::nullopt;
            return bytes[address];
        };
    }

    QString Cell(int row, int column) const { return view.model()->index(row, column).data().toString(); }

    std::vector<std::uint8_t> buffer, device;
    DiffList list;
    CompareView view;
};

TEST_F(CompareViewTest, RowsShowOrdinalAddressAndBothBytes)
{
    ASSERT_TRUE(view.isVisible());
    ASSERT_EQ(view.model()->rowCount(), 3);
    const QStringList first = {Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3)};
    EXPECT_EQ(first, (QStringList{"1", "0x00000010", "0x11", "0xA0"}));
    EXPECT_EQ(Cell(2, 0), "3");
    EXPECT_EQ(Cell(2, 1), "0x00000030");

    // Bytes are read when drawn: a later edit of the buffer shows, the list stays.
    buffer[0x20] = 0xEE;
    EXPECT_EQ(Cell(1, 2), "0xEE");

    const auto background = [this](int row, int column) {
        return view.model()->index(row, column).data(Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(background(0, 1), QColor(Qt::white));
    EXPECT_EQ(background(1, 3), QGuiApplication::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(view.model()->index(0, 1).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 128));

    const QHeaderView* header = view.CompareGrid()->horizontalHeader();
    EXPECT_EQ(
        (QList<int>{header->sectionSize(0), header->sectionSize(1), header->sectionSize(2), header->sectionSize(3)}),
        (QList<int>{46, 108, 175, 175}));
}

TEST_F(CompareViewTest, HeaderFollowsTheLanguage)
{
    const auto title = [this](int column) {
        return view.model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    };
    const Language saved = CurrentLanguage();
    SetCurrentLanguage(Language::English);
    view.languageChanged();
    EXPECT_EQ((QStringList{title(0), title(1), title(2), title(3)}),
              (QStringList{"", "Address", "Buffer data", "Device data"}));
    SetCurrentLanguage(Language::Russian);
    view.languageChanged();
    EXPECT_EQ((QStringList{title(1), title(2), title(3)}), (QStringList{"Адрес", "Данные буфера", "Данные чипа"}));
    SetCurrentLanguage(saved);
}

TEST_F(CompareViewTest, ClickingARowSelectsItsAddressAndCloseLetsGoOfTheList)
{
    view.show();
    QSignalSpy selected(&view, &CompareView::addressSelected);
    QSignalSpy closed(&view, &CompareView::closed);
    QTableView* grid = view.CompareGrid();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(view.model()->index(2, 1)).center());
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<std::uint32_t>(), 0x30u);

    QTest::mouseClick(view.BitBtn(), Qt::LeftButton);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.model()->rowCount(), 0);
    list.Clear(); // safe now: the view no longer reads it
}

} // namespace

TEST(CompareViewBeforeFirstCompare, ShowsThirtyEmptyRowsThatSelectNothing)
{
    CompareView fresh;
    fresh.resize(600, 400);
    QAbstractItemModel* model = fresh.CompareGrid()->model();
    ASSERT_EQ(model->rowCount(), 30);
    EXPECT_EQ(model->index(0, 1).data().toString(), "");
    EXPECT_EQ(model->index(1, 2).data(Qt::BackgroundRole).value<QBrush>().color(),
              QGuiApplication::palette().color(QPalette::ToolTipBase)); // striped like data rows
    QSignalSpy selected(&fresh, &CompareView::addressSelected);
    fresh.show();
    QTest::mouseClick(fresh.CompareGrid()->viewport(), Qt::LeftButton, {},
                      fresh.CompareGrid()->visualRect(model->index(2, 1)).center());
    EXPECT_TRUE(selected.isEmpty());

    // After a compare the rows follow the lists, and none are left once it has been let go.
    DiffList list;
    const std::vector<std::uint8_t> a{1, 2, 3}, b{1, 9, 3};
    list.Build(a, b);
    fresh.UpdateCompareGrid(&list);
    EXPECT_EQ(model->rowCount(), 1);
    fresh.BitBtnClick();
    EXPECT_EQ(model->rowCount(), 0);
}
