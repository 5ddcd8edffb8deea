#include "session/EmulatedChips.h"

#include <QDir>
#include <QFileInfo>

std::optional<EmulatedChipConfig> EmulatedChipOf(const chipdb::ChipRecord& row)
{
    return MakeEmulatedChipConfig({row.CHIPTEXT, row.CHIPID, uint32_t(row.CHIPSIZE.value_or(0)),
                                   uint32_t(row.PAGESIZE.value_or(0)), row.SIGNATURE, row.ERTIME.value_or(0),
                                   row.MANUF});
}

EmulatedChipConfig EmptySocket()
{
    EmulatedChipConfig config;
    config.emptySocket = true;
    config.size = 0;
    return config;
}

QString EmulatedImageOf(const QString& startImage, const QString& startChip, const QString& chip)
{
    if (startImage.isEmpty() || chip == startChip) return startImage;
    // Only letters, digits, '-' and '_' of the name reach the file name: no folder, no hidden file.
    QString name = chip;
    for (QChar& c : name)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'_') c = u'_';
    const QFileInfo image(startImage);
    const QString suffix = image.suffix();
    const QString base = suffix.isEmpty() ? image.fileName() : image.completeBaseName();
    return image.dir().filePath(base + u'.' + name + (suffix.isEmpty() ? QString() : u'.' + suffix));
}
