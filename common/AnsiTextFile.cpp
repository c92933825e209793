#include "common/AnsiTextFile.h"

#include "common/Cp1251.h"

#include <QFile>
#include <QSaveFile>

namespace kront::AnsiTextFile
{

namespace
{
const QByteArray kUtf8Bom("\xEF\xBB\xBF", 3);
}

QString decodeBytes(const QByteArray &bytes, bool *wasUtf8)
{
    const bool utf8 = bytes.startsWith(kUtf8Bom);
    if (wasUtf8)
        *wasUtf8 = utf8;
    return utf8 ? QString::fromUtf8(bytes.mid(kUtf8Bom.size())) : Cp1251::decode(bytes);
}

QByteArray encodeText(const QString &text, bool utf8)
{
    if (utf8 || !Cp1251::canEncode(text))
        return kUtf8Bom + text.toUtf8();
    return Cp1251::encode(text);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

std::optional<QStringList> readLines(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return splitLines(decodeBytes(file.readAll()));
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QString text;
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    return writeBytes(path, encodeText(text, false), error);
}

} // namespace kront::AnsiTextFile
