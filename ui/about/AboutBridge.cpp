#include "ui/about/AboutBridge.h"

#include <QDate>
#include <QDesktopServices>
#include <QLocale>
#include <QMessageBox>

#include "ProgramVersion.h"
#include "app/MainController.h"
#include "session/AppPaths.h"
#include "session/Language.h"
#include "session/SettingsFile.h"
#include "chipdb/ChipListDate.h"
#include "ui/about/TAboutBox.h"
#include "update/AboutFacts.h"
#include "update/UpdateAddresses.h"

namespace {

QString setting(const char* section, const char* key, const char* fallback)
{
    const QString value = SettingsFile(SettingsPath()).readText(section, key, QString()).trimmed();
    return value.isEmpty() ? QString::fromLatin1(fallback) : value;
}

// The database version as the start-up log shows it: the date in the short form, ".", the serial.
QString chipListVersionText(const ChipCatalogue& catalogue)
{
    const auto ymd = chipdb::ymdFromChipListDate(catalogue.ChipListDate);
    const QString date = ymd ? QLocale().toString(QDate(int(ymd->year()), int(unsigned(ymd->month())),
                                                        int(unsigned(ymd->day()))),
                                                  QLocale::ShortFormat)
                             : QStringLiteral("?");
    return date + QLatin1Char('.') + QString::number(catalogue.ChipListVersion);
}

} // namespace

void OpenAboutBox(QWidget* parent, MainController& controller)
{
    AboutBoxContext context;
    context.programVersion = QLatin1String(kProgramVersion);
    context.information = QString::fromStdString(update::AboutInformation(
        {}, update::CurrentKernel(), chipListVersionText(controller.session().catalogue()).toStdString(), update::UsbLibraryVersion()));
    context.mail = setting("About", "Mail", update::kDefaultMail);
    context.mailSubject = QString::fromLatin1(update::kMailSubject);
    context.site = setting("About", "Site", update::kDefaultSite);
    context.downloadPage = setting("Update", "Page", update::kDefaultDownloadPage);
    context.checkForUpdates = [&controller] {
        if (controller.RequestUpdateCheck)
            controller.RequestUpdateCheck();
    };
    context.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    TAboutBox box(std::move(context), parent);
    box.exec();
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
    check_.request({QUrl(setting("Update", "Url", update::kDefaultInfoUrl)),
                    setting("Update", "Page", update::kDefaultDownloadPage), local, CurrentLanguage()});
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
