// libFuzzer target: the sensor set file loader (*.sst) over any file bytes,
// read the way "Загрузить из файла" reads them (AnsiTextFile, then
// SensorSetFile::parse) into a set of each sensor kind, followed by the
// checks "Принять" runs over what was loaded.
//
// Aborts when a file not of the set's kind changes the set, when a cell holds
// a field separator or a line break, or when a loaded set written as a file
// and read again is not the same set.
#include "common/AnsiTextFile.h"
#include "model/CodeTables.h"
#include "sensors/SensorSetChecks.h"
#include "sensors/SensorSetFile.h"

#include <cstdint>
#include <cstdlib>

using namespace kront;

namespace
{

bool sameCells(const SensorSet &a, const SensorSet &b)
{
    for (int g = 1; g <= 2; ++g) {
        for (int r = 0; r < a.layout().rowCount(); ++r) {
            if (a.grid(g).row(r) != b.grid(g).row(r))
                return false;
        }
    }
    return true;
}

QStringList linesOf(const QByteArray &bytes)
{
    return AnsiTextFile::splitLines(AnsiTextFile::decodeBytes(bytes));
}

// The bytes SensorSetFile::write puts into the file.
QByteArray fileBytes(const SensorSet &set)
{
    QString text;
    for (const QString &line : SensorSetFile::lines(set))
        text += line + QStringLiteral("\r\n");
    return AnsiTextFile::encodeText(text, false);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines =
        linesOf(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    for (int kind : {skTP_PPO, skTP_PRO, skTP, skTS}) {
        const SensorSet empty(kind);
        SensorSet set(kind);
        const auto result = SensorSetFile::parse(lines, set);
        if (result != SensorSetFile::ParseResult::Loaded) {
            if (!sameCells(set, empty))
                std::abort(); // a refused file changed the set
            continue;
        }
        for (int g = 1; g <= 2; ++g) {
            for (int r = 0; r < set.layout().rowCount(); ++r) {
                for (const QString &cell : set.grid(g).row(r)) {
                    if (cell.contains(u'|') || cell.contains(u'\r') || cell.contains(u'\n'))
                        std::abort();
                }
            }
        }
        SensorSet again(kind);
        if (SensorSetFile::parse(linesOf(fileBytes(set)), again) !=
                SensorSetFile::ParseResult::Loaded ||
            !sameCells(set, again))
            std::abort(); // saved and loaded again, the set differs

        RequiredFieldCheck(set);
        NumericCheck(set);
        LengthCheck(set);
    }
    return 0;
}
