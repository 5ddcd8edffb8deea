#include "ui/regs/TFRegs.h"

#include "spi25/SpiText.h"

#include "session/Language.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

struct RowDesign {
    const char* group;
    const char* caption;
    const char* valueLabel;
    char bitPrefix; // Bit17 ... Bit10 for row 1
};

constexpr std::array<RowDesign, 3> Rows{{
    {"GroupBox4", "S07 S06 S05 S04 S03 S02 WEL BUS", "LbStatReg", '1'},
    {"GroupBox2", "S15 S14 S13 S12 S11 S10 S09 S08", "LbStatReg2", '2'},
    {"GroupBox3", "S23 S22 S21 S20 S19 S18 S17 S16", "LbStatReg3", '3'},
}};

QString ValueText(uint8_t value)
{
    return QString::fromStdString("0x" + HexText(value, 2));
}

} // namespace

TFRegs::TFRegs(StatusShadow& shadow, int statusRegCount, RegsPorts ports, QWidget* parent)
    : QDialog(parent), shadow_(shadow), statusRegCount_(statusRegCount), ports_(std::move(ports))
{
    setObjectName("FRegs");
    setWindowTitle(LocalizedCaption("Registers", "Регистры"));
    auto* frame = new QGroupBox(LocalizedCaption("STATUS REGISTERS", "РЕГИСТРЫ СТАТУСА"), this);
    frame->setObjectName("GBStatReg");
    auto* frameLayout = new QVBoxLayout(frame);

    for (int row = 0; row < 3; ++row) {
        const RowDesign& design = Rows[row];
        rows_[row] = new QGroupBox(design.caption, frame);
        rows_[row]->setObjectName(design.group);
        auto* line = new QHBoxLayout(rows_[row]);
        for (int bit = 7; bit >= 0; --bit) {
            auto* box = new QCheckBox(rows_[row]);
            box->setObjectName(QStringLiteral("Bit%1%2").arg(design.bitPrefix).arg(bit));
            const auto tag = static_cast<uint8_t>(1u << bit);
            connect(box, &QCheckBox::toggled, this, [this, row, tag](bool checked) { bitClick(row, tag, checked); });
            line->addWidget(box);
            bits_[row][bit] = box;
        }
        values_[row] = new QLabel(rows_[row]);
        values_[row]->setObjectName(design.valueLabel);
        line->addWidget(values_[row]);
        frameLayout->addWidget(rows_[row]);
        showRow(row);
    }
    // Write-enable latch and busy are the chip's own: shown, never edited.
    bits_[0][1]->setEnabled(false);
    bits_[0][0]->setEnabled(false);
    rows_[1]->setEnabled(false);
    rows_[2]->setEnabled(false);

    SBReadRegs = new QPushButton(LocalizedCaption("Read", "Считать"), this);
    SBReadRegs->setObjectName("SBReadRegs");
    SBWriteRegs = new QPushButton(LocalizedCaption("Write", "Записать"), this);
    SBWriteRegs->setObjectName("SBWriteRegs");
    BBClose = new QPushButton(LocalizedCaption("Close", "Закрыть"), this);
    BBClose->setObjectName("BBClose");
    connect(SBReadRegs, &QPushButton::clicked, this, &TFRegs::SBReadRegsClick);
    connect(SBWriteRegs, &QPushButton::clicked, this, &TFRegs::SBWriteRegsClick);
    connect(BBClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SBReadRegs);
    buttons->addWidget(SBWriteRegs);
    buttons->addStretch();
    buttons->addWidget(BBClose);
    auto* root = new QVBoxLayout(this);
    root->addWidget(frame);
    root->addLayout(buttons);
}

void TFRegs::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    rows_[1]->setEnabled(statusRegCount_ > 1);
    rows_[2]->setEnabled(statusRegCount_ == 3);
    SBReadRegsClick();
}

void TFRegs::SBReadRegsClick()
{
    if (!ports_.read) return;
    const int read = ports_.read();
    for (int row = 0; row < read; ++row) showRow(row);
}

void TFRegs::SBWriteRegsClick()
{
    if (ports_.write) ports_.write();
}

void TFRegs::bitClick(int row, uint8_t tag, bool checked)
{
    uint8_t& value = shadow_.SR[row];
    value = checked ? static_cast<uint8_t>(value | tag) : static_cast<uint8_t>(value & ~tag);
    values_[row]->setText(ValueText(value));
}

void TFRegs::showRow(int row)
{
    const uint8_t value = shadow_.SR[row];
    for (int bit = 0; bit < 8; ++bit) {
        const QSignalBlocker quiet(bits_[row][bit]);
        bits_[row][bit]->setChecked((value >> bit) & 1);
    }
    values_[row]->setText(ValueText(value));
}
