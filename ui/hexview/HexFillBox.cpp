#include "ui/hexview/HexFillBox.h"

#include "buffer/edit/EditCommands.h"
#include "ui/hexview/HexKeyFilter.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

HexFillBox::HexFillBox(QWidget* parent)
    : QGroupBox(parent), fill_(new QLineEdit(this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("GB1"));
    fill_->setObjectName(QStringLiteral("EFill"));
    ok_->setObjectName(QStringLiteral("FillBuf"));
    fill_->setMaxLength(2);
    fill_->setAlignment(Qt::AlignCenter);
    fill_->setFixedWidth(fill_->fontMetrics().horizontalAdvance(QStringLiteral("WWW")) + 12);
    fill_->installEventFilter(new HexKeyFilter(fill_));
    ok_->setAutoDefault(false);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 8, 8);
    row->addWidget(fill_);
    row->addWidget(ok_);
    setAutoFillBackground(true);
    hide();

    connect(ok_, &QPushButton::clicked, this, &HexFillBox::FillBufClick);
    connect(fill_, &QLineEdit::returnPressed, this, &HexFillBox::FillBufClick);
}

void HexFillBox::open(const QString& caption)
{
    setTitle(caption);
    fill_->clear();
    adjustSize();
    show();
    raise();
    fill_->setFocus();
}

void HexFillBox::FillBufClick()
{
    const std::optional<std::uint8_t> value = FillValue(fill_->text().toStdString());
    hide();
    emit fillRequested(value ? int(*value) : -1);
}

void HexFillBox::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QGroupBox::keyPressEvent(event);
}
