#include "sensors/SensorSetFile.h"

#include "common/AnsiTextFile.h"
#include "model/CodeTables.h"

namespace kront::SensorSetFile
{

QString keyword(int kind)
{
    const SensorGridLayout *layout = SensorLayoutForKind(kind);
    return layout ? layout->keyword : QString();
}

int kindOfKeyword(const QString &text)
{
    for (int kind : {skTP_PPO, skTP_PRO, skTP, skTS}) {
        if (text == keyword(kind))
            return kind;
    }
    return -1;
}

QStringList lines(const SensorSet &set)
{
    const SensorGridLayout &layout = set.layout();
    QStringList out{layout.keyword};
    for (int g = 1; g <= layout.gridCount; ++g) {
        for (int r = 1; r < layout.rowCount(); ++r)
            out << CopyRowText(set.grid(g).row(r));
    }
    out << QString();
    return out;
}

ParseResult parse(const QStringList &fileLines, SensorSet &set)
{
    const int kind = kindOfKeyword(fileLines.value(0));
    if (kind < 0)
        return ParseResult::UnknownKind;
    if (kind != set.kind())
        return ParseResult::WrongKind;
    const SensorGridLayout &layout = set.layout();
    int next = 1;
    for (int g = 1; g <= layout.gridCount; ++g) {
        for (int r = 1; r < layout.rowCount(); ++r) {
            QString rest = fileLines.value(next++);
            for (int c = 1; c < layout.columnCount(); ++c) {
                const qsizetype bar = rest.indexOf(QLatin1Char('|'));
                set.grid(g).setCell(r, c, bar < 0 ? rest : rest.left(bar));
                rest = bar < 0 ? QString() : rest.mid(bar + 1);
            }
        }
    }
    return ParseResult::Loaded;
}

bool write(const QString &path, const SensorSet &set, QString *error)
{
    return AnsiTextFile::writeLines(path, lines(set), error);
}

bool read(const QString &path, QStringList &fileLines, QString *error)
{
    std::optional<QStringList> read = AnsiTextFile::readLines(path, error);
    if (!read)
        return false;
    fileLines = *read;
    return true;
}

} // namespace kront::SensorSetFile
