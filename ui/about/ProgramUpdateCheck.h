#pragma once
// The update check in the running program. It and the About box take the maker's addresses from
// Vespera.ini ([Update] Url and Page, [About] Mail and Site, defaults in update/UpdateAddresses.h)
// and the chip database version from the main window's controller.

#include <QPointer>
#include <QWidget>

#include "update/UpdateCheck.h"

class MainController;

// One of the maker's addresses: Vespera.ini's [section] key, or `fallback` where it is empty.
QString MakerAddress(const char* section, const char* key, const char* fallback);

// The program's one update check: red lines go to the log, questions to message boxes owned by
// the window, a Yes opens the download page in the browser. It offers itself to the controller
// (RequestUpdateCheck) for the start-up check and the About box's button.
class ProgramUpdateCheck : public UpdateHost {
public:
    ProgramUpdateCheck(QWidget* window, MainController& controller);
    ~ProgramUpdateCheck() override;

    void request();
    // The check itself: its finished() signal and the outcome() of the last check.
    UpdateCheck& check() { return check_; }

    void logError(const QString& line) override;
    bool askYesNo(const QString& text, const QString& caption) override;
    void openPage(const QString& url) override;

private:
    QPointer<QWidget> window_;
    MainController& controller_;
    UpdateCheck check_;
};
