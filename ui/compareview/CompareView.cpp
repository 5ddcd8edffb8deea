#include "ui/compareview/CompareView.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "buffer/DiffList.h"

namespace {

constexpr int kColumnWidths[CompareModel::ColumnCount] = {46, 108, 175, 175};
constexpr int kRowHeight = 20;
constexpr int kButtonSize = 25;
constexpr int kMinimumPanelHeight = 50;

} // namespace

CompareView::CompareView(QWidget* parent)
    : QWidget(parent), model_(new CompareModel(this)), grid_(new QTableView(this)), closeButton_(new QToolButton(this))
{
    setObjectName(QStringLiteral("ComparePanel"));
    setMinimumHeight(kMinimumPanelHeight);

    grid_->setObjectName(QStringLiteral("CompareGrid"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid_->setWordWrap(false);
    // Fixed row heights keep millions of rows cheap: no row is ever measured.
    QHeaderView* rows = grid_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(kRowHeight);
    rows->setDefaultSectionSize(kRowHeight);
    QHeaderView* columns = grid_->horizontalHeader();
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setHighlightSections(false);
    for (int column = 0; column < CompareModel::ColumnCount; ++column)
        columns->resizeSection(column, kColumnWidths[column]);

    closeButton_->setObjectName(QStringLiteral("BitBtn"));
    closeButton_->setFixedSize(kButtonSize, kButtonSize);
    closeButton_->setText(QStringLiteral("✕"));
    closeButton_->setAutoRaise(true);

    auto* buttonColumn = new QVBoxLayout;
    buttonColumn->addWidget(closeButton_);
    buttonColumn->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(grid_);
    layout->addLayout(buttonColumn);

    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && model_->diffList()) emit addressSelected(model_->address(index.row()));
    });
    connect(closeButton_, &QToolButton::clicked, this, &CompareView::BitBtnClick);
    hide();
}

void CompareView::setByteReaders(CompareModel::ByteReader buffer, CompareModel::ByteReader device)
{
    model_->setByteReaders(std::move(buffer), std::move(device));
}

void CompareView::languageChanged()
{
    model_->languageChanged();
}

void CompareView::HideCompareGrid()
{
    grid_->hide();
    model_->setDiffList(nullptr);
}

void CompareView::UpdateCompareGrid(const DiffList* list)
{
    model_->setDiffList(list);
    grid_->scrollToTop();
    grid_->show();
    show();
}

void CompareView::BitBtnClick()
{
    hide();
    model_->setDiffList(nullptr);
    emit closed();
}

void CompareView::refreshBufferColumn()
{
    model_->refreshBufferColumn();
}
