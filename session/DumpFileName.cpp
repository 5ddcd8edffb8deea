#include "session/DumpFileName.h"

#include <QFileInfo>

QString AutoDumpPath(const QString& folder, const QString& chipName, const QString& extension)
{
    QString name = chipName;
    name.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) name = QStringLiteral("dump");
    const QString base = folder + QLatin1Char('/') + name;
    QString path = base + extension;
    for (int n = 1; QFileInfo::exists(path); ++n) path = base + QStringLiteral(" (%1)").arg(n) + extension;
    return path;
}
