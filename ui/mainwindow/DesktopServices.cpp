// The desktop services TFMain offers the controller: folder picker, file manager, calculator.
#include "ui/mainwindow/TFMain.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {
// The calculators of the common desktops, the first one installed is used.
const char* const calculators[] = {"gnome-calculator", "kcalc", "mate-calc", "galculator", "qalculate-gtk", "xcalc"};

QString InstalledCalculator()
{
    for (const char* name : calculators) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty()) return path;
    }
    return {};
}
} // namespace

QString TFMain::askFolder(const QString& title)
{
    return QFileDialog::getExistingDirectory(this, title,
                                             QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

bool TFMain::openFolder(const QString& folder)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

bool TFMain::startCalculator(bool onlyLookForIt)
{
    const QString calculator = InstalledCalculator();
    if (calculator.isEmpty()) return false;
    return onlyLookForIt || QProcess::startDetached(calculator, {});
}
