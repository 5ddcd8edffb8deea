#include "ui/about/OpenAboutBox.h"

#include <QDate>
#include <QDesktopServices>
#include <QLocale>

#include "ProgramVersion.h"
#include "app/MainController.h"
#include "chipdb/ChipListDate.h"
#include "session/Language.h"
#include "ui/about/ProgramUpdateCheck.h"
#include "ui/about/TAboutBox.h"
#include "update/AboutFacts.h"
#include "update/UpdateAddresses.h"
#include "update/UpdateCheck.h"

namespace {

// The database version as the start-up log shows it: the date in the short form, ".", the serial.
QString chipListVersionText(const ChipCatalogue& catalogue)
{
    const auto ymd = chipdb::ymdFromChipListDate(catalogue.ChipListDate);
    const QString date =
        ymd ? QLocale().toString(QDate(int(ymd->year()), int(unsigned(ymd->month())), int(unsigned(ymd->day()))),
                                 QLocale::ShortFormat)
            : QStringLiteral("?");
    return date + QLatin1Char('.') + QString::number(catalogue.ChipListVersion);
}

} // namespace

void OpenAboutBox(QWidget* parent, MainController& controller, ProgramUpdateCheck& updates)
{
    AboutBoxContext context;
    context.programVersion = QLatin1String(kProgramVersion);
    context.information = QString::fromStdString(update::AboutInformation(
        {}, update::CurrentKernel(), chipListVersionText(controller.session().catalogue()).toStdString(),
        update::UsbLibraryVersion()));
    context.mail = MakerAddress("About", "Mail", update::kDefaultMail);
    context.mailSubject = QString::fromLatin1(update::kMailSubject);
    context.site = MakerAddress("About", "Site", update::kDefaultSite);
    context.downloadPage = MakerAddress("Update", "Page", update::kDefaultDownloadPage);
    context.checkForUpdates = [&updates] { updates.request(); };
    context.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    TAboutBox box(std::move(context), parent);
    QObject::connect(&updates.check(), &UpdateCheck::finished, &box,
                     [&box, &updates] { box.showUpdateAnswer(updates.check().outcome()); });
    box.exec();
}
