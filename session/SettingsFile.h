#pragma once
// The settings file "Vespera.ini": opened afresh by every reader and writer, loaded whole, changed in
// memory and saved whole. Sections and keys nobody touches keep their place and value. Names are
// matched without regard to case.
#include <QString>
#include <memory>

class SettingsFile {
public:
    explicit SettingsFile(const QString& path); // a missing or unreadable file reads as empty
    ~SettingsFile();
    SettingsFile(const SettingsFile&) = delete;
    SettingsFile& operator=(const SettingsFile&) = delete;

    QString readText(const char* section, const char* key, const QString& fallback) const;
    // A value that is not a decimal integer counts as missing.
    int readInt(const char* section, const char* key, int fallback) const;
    bool readBool(const char* section, const char* key, bool fallback) const; // non-zero is true

    void writeText(const char* section, const char* key, const QString& value);
    void writeInt(const char* section, const char* key, int value);
    void writeBool(const char* section, const char* key, bool value); // "1" or "0"
    void eraseSection(const char* section);

    // Writes a temporary file beside the target and renames it over; on failure (a read-only file
    // among them) the old file stays as it was and `error` gives the system's cause.
    bool save(QString* error);

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
    QString path;
};
