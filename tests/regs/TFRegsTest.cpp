#include "ui/regs/TFRegs.h"

#include "session/Language.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

struct Dialog {
    explicit Dialog(int count, StatusShadow initial = {})
        : shadow(initial), dialog(shadow, count,
                                  {[this] {
                                       ++reads;
                                       // The session reads into the shadow the dialog shows.
                                       std::copy_n(nextRead.values.begin(), nextRead.registersRead, shadow.SR.begin());
                                       return nextRead.registersRead;
                                   },
                                   [this] { written.push_back(shadow); }})
    {
    }
    template <class T>
    T* find(const char* name)
    {
        return dialog.findChild<T*>(name);
    }
    QCheckBox* bit(const char* name) { return find<QCheckBox>(name); }
    QString label(const char* name) { return find<QLabel>(name)->text(); }

    StatusShadow shadow;
    // What the next read finds: how many registers it read before a failure, and their values.
    struct Read {
        int registersRead = 0;
        std::array<uint8_t, 3> values{};
        bool failed = false;
    } nextRead;
    int reads = 0;
    std::vector<StatusShadow> written;
    TFRegs dialog;
};

} // namespace

TEST(TFRegs, OneRegisterRowEditsAndWritesTheShadow)
{
    Dialog d(1);
    d.nextRead = {1, {0x00, 0, 0}, false};
    d.dialog.show();
    EXPECT_EQ(d.reads, 1);
    EXPECT_TRUE(d.find<QGroupBox>("GroupBox4")->isEnabled());
    EXPECT_FALSE(d.find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_FALSE(d.find<QGroupBox>("GroupBox3")->isEnabled());
    EXPECT_FALSE(d.bit("Bit10")->isEnabled());
    EXPECT_FALSE(d.bit("Bit11")->isEnabled());

    d.bit("Bit12")->click();
    d.bit("Bit13")->click();
    EXPECT_EQ(d.label("LbStatReg"), "0x0C");
    EXPECT_EQ(d.shadow.SR[0], 0x0C);
    d.find<QPushButton>("SBWriteRegs")->click();
    ASSERT_EQ(d.written.size(), 1u);
    EXPECT_EQ(d.written[0].SR[0], 0x0C);

    // Read sets every box from the chip, the busy and latch bits included.
    d.nextRead = {1, {0x83, 0, 0}, false};
    d.find<QPushButton>("SBReadRegs")->click();
    EXPECT_EQ(d.shadow.SR[0], 0x83);
    EXPECT_EQ(d.label("LbStatReg"), "0x83");
    EXPECT_TRUE(d.bit("Bit17")->isChecked());
    EXPECT_TRUE(d.bit("Bit11")->isChecked());
    EXPECT_TRUE(d.bit("Bit10")->isChecked());
    EXPECT_FALSE(d.bit("Bit13")->isChecked());
}

TEST(TFRegs, ThreeRowsAndAReadThatStopsEarly)
{
    Dialog d(3, {{0x00, 0x40, 0x05}});
    d.nextRead = {1, {0x1C, 0, 0}, true}; // register 2 could not be read
    d.dialog.show();
    EXPECT_TRUE(d.find<QGroupBox>("GroupBox2")->isEnabled());
    EXPECT_TRUE(d.find<QGroupBox>("GroupBox3")->isEnabled());
    EXPECT_EQ(d.label("LbStatReg"), "0x1C");
    EXPECT_EQ(d.label("LbStatReg2"), "0x40");
    EXPECT_EQ(d.label("LbStatReg3"), "0x05");
    EXPECT_EQ(d.shadow.SR, (std::array<uint8_t, 3>{0x1C, 0x40, 0x05}));
    d.bit("Bit37")->click();
    EXPECT_EQ(d.label("LbStatReg3"), "0x85");
    d.bit("Bit30")->click();
    EXPECT_EQ(d.shadow.SR[2], 0x84);
}

TEST(TFRegs, CaptionsByLanguage)
{
    const Language saved = CurrentLanguage();
    for (Language language : {Language::Russian, Language::English, Language::NotChosen}) {
        SetCurrentLanguage(language);
        Dialog d(2);
        d.dialog.show();
        const bool english = language == Language::English;
        EXPECT_EQ(d.find<QPushButton>("SBReadRegs")->text(), english ? "Read" : "Считать");
        EXPECT_EQ(d.find<QPushButton>("SBWriteRegs")->text(), english ? "Write" : "Записать");
        EXPECT_EQ(d.find<QPushButton>("BBClose")->text(), english ? "Close" : "Закрыть");
        EXPECT_EQ(d.dialog.windowTitle(), english ? "Registers" : "Регистры");
        EXPECT_TRUE(d.find<QGroupBox>("GroupBox2")->isEnabled());
        EXPECT_FALSE(d.find<QGroupBox>("GroupBox3")->isEnabled());
        d.find<QPushButton>("BBClose")->click();
        EXPECT_EQ(d.dialog.result(), QDialog::Rejected);
    }
    SetCurrentLanguage(saved);
}
