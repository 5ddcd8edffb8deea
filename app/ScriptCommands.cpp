// Scripts: erase, blank check, write and compare one after the other. Starting is done here; the
// completion of each step starts the next (OperationRunner.cpp).
#include "adapter/Uch_spi.h"
#include "app/Language.h"
#include "app/MainController.h"
#include "spi/SpiIdentify.h"

#include <cstring>

void MainController::ScEraseClick(const char *item)
{
    const bool ticked = view.isChecked(item);
    if (std::strcmp(item, "ScErase") == 0)
        PendingErase = ticked;
    else if (std::strcmp(item, "ScCheckFF") == 0)
        PendingBlankCheck = ticked;
    else if (std::strcmp(item, "ScWrite") == 0)
        PendingWrite = ticked;
    else if (std::strcmp(item, "ScCompare") == 0)
        PendingCompare = ticked;
}

void MainController::ScRunClick()
{
    PendingErase = view.isChecked("ScErase");
    PendingBlankCheck = view.isChecked("ScCheckFF");
    PendingWrite = view.isChecked("ScWrite");
    PendingCompare = view.isChecked("ScCompare");
    ActivateControls(Busy);
    view.hideDifferences();
    if (!PendingErase && !PendingBlankCheck && !PendingWrite && !PendingCompare) {
        view.showMessage(Lang("The script is not defined!", "Сценарий не определён!"));
        ActivateControls(Ready);
        return;
    }
    PrintLog(Lang("\nScript executing:", "\nВыполняется сценарий:"));
    const bool spi = KindContains("ID_SPI");
    if (spi) {
        SpiLog log;
        GetSpiId(*Library, log); // wakes the chip; the answer is not looked at
        PrintSpiLog(log);
        uint8_t status1 = 0;
        if (!SPIReadRegister(*Library, 0x05, status1)) {
            PrintLog(Lang("Status register reading error!", "Ошибка чтения регистра статуса!"), LogColour::Red);
            ActivateControls(Ready);
            return;
        }
    }
    if (PendingErase && spi)
        MmSpiEraseClick();
    else if (PendingBlankCheck && spi)
        MmCheckFFClick();
    else if (PendingWrite)
        MmWriteClick();
    else if (PendingCompare)
        MmCompareClick();
    else
        ActivateControls(Ready);
}
