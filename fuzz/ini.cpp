// libFuzzer target: the INI reader and writer (common/IniFile) over any file
// bytes, Windows-1251 or UTF-8 with a byte order mark. IniFile reads the file
// on every call, so the input is written to one file per process first.
//
// Aborts when a key listed by keys() cannot be read, when a value written
// does not read back (string, integer, float) or when a write changes the
// value of any other key.
#include "common/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

using namespace kront;

namespace
{

QString iniPath;

// No value reads back as this: values are trimmed.
const QString kMissing = QStringLiteral(" missing ");

struct Value {
    QString section, key, value;
};

// Keys looked at per input: each read parses the whole file again.
constexpr size_t kMaxValues = 24;

// The keys of the sections as the program reads them; the first section and
// the first key of a name win, as in the file's readers.
std::vector<Value> allValues(const IniFile &ini)
{
    std::vector<Value> out;
    for (const QString &section : ini.sections()) {
        for (const QString &key : ini.keys(section)) {
            if (out.size() == kMaxValues)
                return out;
            if (!ini.valueExists(section, key))
                std::abort(); // listed but not found
            const QString value = ini.readString(section, key, kMissing);
            if (value == kMissing)
                std::abort();
            if (out.size() < 4) {
                ini.readInteger(section, key, 0);
                ini.readFloat(section, key, 0);
                ini.readBool(section, key, false);
            }
            out.push_back({section, key, value});
        }
    }
    return out;
}

const QString kSection = QStringLiteral("Fuzz");
const QStringList kWrittenKeys = {QStringLiteral("Value"), QStringLiteral("Float"),
                                  QStringLiteral("Integer")};

void expectUnchanged(const IniFile &ini, const std::vector<Value> &before)
{
    for (const Value &v : before) {
        if (v.section.compare(kSection, Qt::CaseInsensitive) == 0 &&
            kWrittenKeys.contains(v.key, Qt::CaseInsensitive))
            continue;
        if (ini.readString(v.section, v.key, kMissing) != v.value)
            std::abort(); // a write changed another key
    }
}

// The value as the file keeps it: one line, trimmed.
QString asStored(QString value)
{
    value.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value.trimmed();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // A RAM folder where there is one: every write replaces the file.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/kront-fuzz-ini-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/kront-fuzz-ini-XXXXXX"));
    if (!dir.isValid())
        std::abort();
    iniPath = dir.filePath(QStringLiteral("fuzz.ini"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    {
        QFile file(iniPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    IniFile ini(iniPath);
    const std::vector<Value> before = allValues(ini);

    // The value written is taken from the input itself: any text the file
    // can hold, with line breaks and blanks around it.
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data),
                                           qsizetype(std::min<size_t>(size, 40)));
    if (!ini.writeString(kSection, kWrittenKeys[0], text))
        std::abort();
    if (ini.readString(kSection, kWrittenKeys[0], kMissing) != asStored(text))
        std::abort(); // the written text does not read back
    expectUnchanged(ini, before);

    double number = 0;
    std::memcpy(&number, data, std::min(size, sizeof number));
    if (std::isfinite(number)) {
        if (!ini.writeFloat(kSection, kWrittenKeys[1], number))
            std::abort();
        // A default of NaN never compares equal: it shows a value that did not read.
        if (ini.readFloat(kSection, kWrittenKeys[1], std::nan("")) != number)
            std::abort(); // the number read back is another one
    }
    int whole = 0;
    std::memcpy(&whole, data, std::min(size, sizeof whole));
    if (!ini.writeInteger(kSection, kWrittenKeys[2], whole) ||
        ini.readInteger(kSection, kWrittenKeys[2], whole ^ 1) != whole)
        std::abort();
    expectUnchanged(ini, before);
    return 0;
}
