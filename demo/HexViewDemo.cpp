// Shows the hex view with a dump: the file named first, else a generated sample. With a second
// argument it saves a picture of the window there and quits.
#include "ui/hexview/HexView.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <vector>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::vector<std::uint8_t> data(256 * 1024);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i * 7 + i / 256);
    const char sample[] = "Vespera 24XX - 25XX programmer";
    std::copy(sample, sample + sizeof sample - 1, data.begin() + 0x40);
    if (argc > 1) {
        QFile file(QString::fromLocal8Bit(argv[1]));
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            data.assign(bytes.begin(), bytes.end());
        }
    }
    HexView view;
    view.setWindowTitle(QStringLiteral("HexEditor"));
    view.load(data);
    view.resize(view.sizeHint());
    view.show();
    view.activateWindow();
    view.setFocus();
    view.setSelection(0x44, 0x4A);
    view.setSelection(0x23, 0x23);
    for (const char* key : {"a", "b", "c"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QString::fromLatin1(key));
        QApplication::sendEvent(&view, &press);
    }
    view.setSelection(0x60, 0x87);
    if (argc > 2) {
        const QString shot = QString::fromLocal8Bit(argv[2]);
        QTimer::singleShot(300, [&app, &view, shot] {
            const QPixmap pixmap = view.grab();
            const bool saved = pixmap.save(shot, "PNG");
            app.exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
