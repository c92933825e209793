#include "common/IniFile.h"

#include "common/AnsiTextFile.h"

#include <QFile>
#include <optional>

namespace kront
{

struct IniFile::Content {
    QStringList lines;
    bool utf8 = false;
    QString readError; // the file exists but could not be read
};

namespace
{

std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

struct Entry {
    QString key;
    QString value;
};

std::optional<Entry> entryOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';') || t.startsWith(u'#') || t.startsWith(u'['))
        return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return std::nullopt;
    return Entry{t.left(eq).trimmed(), t.mid(eq + 1).trimmed()};
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

int findSection(const QStringList &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (name && sameName(*name, section))
            return i;
    }
    return -1;
}

int sectionEnd(const QStringList &lines, int header)
{
    for (int i = header + 1; i < lines.size(); ++i) {
        if (sectionName(lines[i]))
            return i;
    }
    return int(lines.size());
}

int findKey(const QStringList &lines, const QString &section, const QString &key)
{
    const int header = findSection(lines, section);
    if (header < 0)
        return -1;
    const int end = sectionEnd(lines, header);
    for (int i = header + 1; i < end; ++i) {
        const auto e = entryOf(lines[i]);
        if (e && sameName(e->key, key))
            return i;
    }
    return -1;
}

// The value as one line: a line break would split the file's structure.
QString oneLine(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

std::optional<int> toInteger(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(v) : std::nullopt;
}

} // namespace

IniFile::IniFile(const QString &fileName) : path(fileName) {}

IniFile::Content IniFile::load() const
{
    Content c;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            c.readError = file.errorString();
        return c;
    }
    c.lines = AnsiTextFile::splitLines(AnsiTextFile::decodeBytes(file.readAll(), &c.utf8));
    return c;
}

bool IniFile::save(const Content &content)
{
    // A file that exists but could not be read is never replaced by the
    // few keys written now.
    if (!content.readError.isEmpty()) {
        error = content.readError;
        return false;
    }
    QString text;
    for (const QString &line : content.lines)
        text += line + QStringLiteral("\r\n");
    error.clear();
    return AnsiTextFile::writeBytes(path, AnsiTextFile::encodeText(text, content.utf8), &error);
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const Content c = load();
    const int i = findKey(c.lines, section, key);
    return i < 0 ? defaultValue : entryOf(c.lines[i])->value;
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    return toInteger(readString(section, key, QString())).value_or(defaultValue);
}

bool IniFile::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    const auto v = toInteger(readString(section, key, QString()));
    return v ? *v != 0 : defaultValue;
}

double IniFile::readFloat(const QString &section, const QString &key, double defaultValue) const
{
    QString text = readString(section, key, QString());
    text.replace(u',', u'.');
    bool ok = false;
    const double v = text.toDouble(&ok);
    return ok ? v : defaultValue;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Content c = load();
    const QString line = key + u'=' + oneLine(value);
    const int existing = findKey(c.lines, section, key);
    if (existing >= 0) {
        // Keep the key's spelling as the file has it.
        c.lines[existing] = entryOf(c.lines[existing])->key + u'=' + oneLine(value);
        return save(c);
    }
    const int header = findSection(c.lines, section);
    if (header < 0) {
        if (!c.lines.isEmpty() && !c.lines.last().trimmed().isEmpty())
            c.lines << QString();
        c.lines << u'[' + section + u']' << line;
        return save(c);
    }
    // After the last key of the section, before any blank lines that
    // separate it from the next one.
    int at = sectionEnd(c.lines, header);
    while (at > header + 1 && c.lines[at - 1].trimmed().isEmpty())
        --at;
    c.lines.insert(at, line);
    return save(c);
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    return writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool IniFile::writeFloat(const QString &section, const QString &key, double value)
{
    QString text = QString::number(value, 'g', 17);
    // The shortest text that reads back as the same double.
    for (int precision = 1; precision <= 17; ++precision) {
        const QString candidate = QString::number(value, 'g', precision);
        if (candidate.toDouble() == value) {
            text = candidate;
            break;
        }
    }
    return writeString(section, key, text.replace(u'.', u','));
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(load().lines, section) >= 0;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    return findKey(load().lines, section, key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const QString &line : load().lines) {
        if (const auto name = sectionName(line))
            out << *name;
    }
    return out;
}

QStringList IniFile::keys(const QString &section) const
{
    const Content c = load();
    QStringList out;
    const int header = findSection(c.lines, section);
    if (header < 0)
        return out;
    const int end = sectionEnd(c.lines, header);
    for (int i = header + 1; i < end; ++i) {
        if (const auto e = entryOf(c.lines[i]))
            out << e->key;
    }
    return out;
}

bool IniFile::deleteKey(const QString &section, const QString &key)
{
    Content c = load();
    const int i = findKey(c.lines, section, key);
    if (i < 0)
        return true;
    c.lines.removeAt(i);
    return save(c);
}

bool IniFile::eraseSection(const QString &section)
{
    Content c = load();
    const int header = findSection(c.lines, section);
    if (header < 0)
        return true;
    const int end = sectionEnd(c.lines, header);
    c.lines.erase(c.lines.begin() + header, c.lines.begin() + end);
    return save(c);
}

} // namespace kront
