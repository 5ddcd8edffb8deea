#include "ui/about/ProgramUpdateCheck.h"

#include <QDesktopServices>
#include <QMessageBox>

#include "ProgramVersion.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "session/SettingsFile.h"
#include "update/UpdateAddresses.h"

QString MakerAddress(const char* section, const char* key, const char* fallback)
{
    const QString value = SettingsFile(SettingsPath()).readText(section, key, QString()).trimmed();
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

ProgramUpdateCheck::ProgramUpdateCheck(QWidget* window, MainController& controller)
    : window_(window), controller_(controller), check_(*this)
{
    controller_.RequestUpdateCheck = [this] { request(); };
}

ProgramUpdateCheck::~ProgramUpdateCheck()
{
    controller_.RequestUpdateCheck = {};
}

void ProgramUpdateCheck::request()
{
    const ChipCatalogue& catalogue = controller_.session().catalogue();
    const update::LocalVersions local{kProgramVersion, catalogue.ChipListDate, catalogue.ChipListVersion};
    check_.request({QUrl(MakerAddress("Update", "Url", update::kDefaultInfoUrl)),
                    MakerAddress("Update", "Page", update::kDefaultDownloadPage), local, CurrentLanguage()});
}

void ProgramUpdateCheck::logError(const QString& line)
{
    controller_.PrintLog(line, LogColour::Red);
}

bool ProgramUpdateCheck::askYesNo(const QString& text, const QString& caption)
{
    return QMessageBox::information(window_, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void ProgramUpdateCheck::openPage(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}
