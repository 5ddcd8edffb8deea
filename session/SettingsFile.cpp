#include "session/SettingsFile.h"

#define SI_CONVERT_ICU
#include <SimpleIni.h>

#include "fileio/AtomicFileWriter.h"

#include <QFile>
#include <QFileInfo>

struct SettingsFile::Impl {
    CSimpleIniA ini{true /*UTF-8*/, false /*multi-key*/, false /*multi-line*/};
};

SettingsFile::SettingsFile(const QString& filePath) : impl(std::make_unique<Impl>()), path(filePath)
{
    impl->ini.SetSpaces(false);
    // Only a regular file is read: a pipe or a device in its place would block the start.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    if (impl->ini.LoadData(bytes.constData(), size_t(bytes.size())) < 0) impl->ini.Reset();
}

SettingsFile::~SettingsFile() = default;

QString SettingsFile::readText(const char* section, const char* key, const QString& fallback) const
{
    const char* value = impl->ini.GetValue(section, key, nullptr);
    return value ? QString::fromUtf8(value) : fallback;
}

int SettingsFile::readInt(const char* section, const char* key, int fallback) const
{
    const char* value = impl->ini.GetValue(section, key, nullptr);
    if (!value) return fallback;
    bool ok = false;
    const int number = QByteArray(value).trimmed().toInt(&ok, 10);
    return ok ? number : fallback;
}

bool SettingsFile::readBool(const char* section, const char* key, bool fallback) const
{
    return readInt(section, key, fallback ? 1 : 0) != 0;
}

void SettingsFile::writeText(const char* section, const char* key, const QString& value)
{
    impl->ini.SetValue(section, key, value.toUtf8().constData());
}

void SettingsFile::writeInt(const char* section, const char* key, int value)
{
    impl->ini.SetValue(section, key, QByteArray::number(value).constData());
}

void SettingsFile::writeBool(const char* section, const char* key, bool value)
{
    impl->ini.SetValue(section, key, value ? "1" : "0");
}

void SettingsFile::eraseSection(const char* section)
{
    impl->ini.Delete(section, nullptr);
}

bool SettingsFile::save(QString* error)
{
    std::string text;
    if (impl->ini.Save(text) < 0) {
        *error = QStringLiteral("cannot format the settings");
        return false;
    }
    fileio::AtomicFileWriter file(QFile::encodeName(path).toStdString());
    file.Write(text);
    if (const std::error_code failure = file.Commit()) {
        *error = QString::fromStdString(failure.message());
        return false;
    }
    return true;
}
