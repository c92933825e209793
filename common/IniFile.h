#pragma once

#include <QString>
#include <QStringList>

namespace kront
{

// An INI file as the operator sees it: Windows-1251 text with CR LF line
// ends, "[Section]" headers and "Key=Value" lines. Sections and keys keep
// the order they have in the file; new keys go to the end of their section,
// new sections to the end of the file. Names match without regard to letter
// case, as on the platform the files come from.
//
// Nothing is cached: every read looks at the file, and every write replaces
// the file at once and atomically (temporary file, then rename), so a kill
// at any moment leaves either the old or the new file. A missing file reads
// as empty and is created by the first write; its folder is never created.
// A file that starts with a UTF-8 byte order mark is read and written as
// UTF-8; so is a file that is given text the code page cannot hold, so
// that no typed character is lost.
class IniFile
{
public:
    explicit IniFile(const QString &fileName);

    const QString &fileName() const { return path; }

    // Reads return the default when the file, section or key is missing or
    // the value does not convert.
    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue) const;
    // Decimal, optionally signed, within 32 bits.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    // True for any non-zero integer, false for 0.
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    // Decimal comma or point.
    double readFloat(const QString &section, const QString &key, double defaultValue) const;

    // Writes return false when the file could not be replaced; lastError()
    // then tells why. A line break inside a value is written as a blank.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    bool writeBool(const QString &section, const QString &key, bool value); // "1" / "0"
    bool writeFloat(const QString &section, const QString &key, double value);

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;
    bool deleteKey(const QString &section, const QString &key);
    bool eraseSection(const QString &section);

    QString lastError() const { return error; }

private:
    struct Content;
    Content load() const;
    bool save(const Content &content);

    QString path;
    QString error;
};

} // namespace kront
