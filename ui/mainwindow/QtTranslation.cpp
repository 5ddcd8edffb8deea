#include "ui/mainwindow/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

void UseQtTranslation(Language language)
{
    static QPointer<QTranslator> russian;
    if (russian) QCoreApplication::removeTranslator(russian);
    if (language != Language::Russian) return;
    if (!russian) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        // Without the translation installed Qt's texts stay English; nothing else is missing.
        if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete translator;
            return;
        }
        russian = translator;
    }
    QCoreApplication::installTranslator(russian);
}
