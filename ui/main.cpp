// Vespera: entry point. One instance per user; a second start hands its file to the first.
#include "app/SingleInstance.h"
#include "app/StartupOptions.h"
#include "session/AppPaths.h"
#include "ui/about/ProgramUpdateCheck.h"
#include "ui/mainwindow/Icons.h"
#include "ui/mainwindow/TFMain.h"

#include <QApplication>

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
    ProgramUpdateCheck updates(&window, window.controller());
    QObject::connect(&instance, &SingleInstance::forwarded, &window,
                     [&window](const QString& file) { window.controller().LoadForwardedFile(file); });
    window.show();
    return app.exec();
}
