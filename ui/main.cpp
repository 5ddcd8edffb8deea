// Vespera: entry point. One instance per user; a second start hands its file to the first.
#include "app/SingleInstance.h"
#include "app/StartupOptions.h"
#include "session/AppPaths.h"
#include "ui/mainwindow/Icons.h"
#include "ui/mainwindow/TFMain.h"

#include <QApplication>
#include <QProcess>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vespera"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vespera.Vespera")); // the menu entry's id
    AppPaths::SetProgramFolder(QApplication::applicationDirPath());
    const StartupOptions options = ParseStartupOptions(QApplication::arguments().mid(1));

    SingleInstance instance;
    if (instance.forwardToRunningInstance(options.file)) return 0;
    instance.listen();

    UseIconTheme();
    TFMain window(options);
    QObject::connect(&instance, &SingleInstance::forwarded, &window,
                     [&window](const QString& file) { window.controller().LoadForwardedFile(file); });
    window.show();
    const int result = app.exec();
    if (window.restartRequested()) {
        // The new program must find no running instance to hand itself to.
        instance.stopListening();
        QProcess::startDetached(QApplication::applicationFilePath(), QApplication::arguments().mid(1));
    }
    return result;
}
