#pragma once
// The status register dialog: one row of eight bits per status register (bit 7 on the left),
// each row with its value, and Read, Write and Close. The dialog edits the StatusShadow; the
// program does the adapter work and the logging behind the two ports, so the dialog depends on
// nothing above the SPI layer. A new instance serves each opening.

#include "session/Document.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;

struct RegsPorts {
    // Reads the registers the chip has into the shadow and logs a failure; how many were read
    // (the later ones keep their values).
    std::function<int()> read;
    // Writes the shadow (WriteStatusRegisters) and logs failures.
    std::function<void()> write;
};

class TFRegs : public QDialog {
    Q_OBJECT
public:
    // The captions are English when English is chosen, the Russian design otherwise.
    TFRegs(StatusShadow& shadow, int statusRegCount, RegsPorts ports, QWidget* parent = nullptr);

    // Read: the registers read replace the shadow's values and the rows; after a failure the
    // later registers keep theirs.
    void SBReadRegsClick();
    void SBWriteRegsClick();

protected:
    // FormShow: rows enabled by the register count, then Read.
    void showEvent(QShowEvent* event) override;

private:
    void bitClick(int row, uint8_t tag, bool checked);
    void showRow(int row);

    StatusShadow& shadow_;
    int statusRegCount_;
    RegsPorts ports_;
    std::array<QGroupBox*, 3> rows_{};
    std::array<std::array<QCheckBox*, 8>, 3> bits_{}; // [row][bit], bit 0 = tag 1
    std::array<QLabel*, 3> values_{};
    QPushButton* SBReadRegs = nullptr;
    QPushButton* SBWriteRegs = nullptr;
    QPushButton* BBClose = nullptr;
};
