#include "sensors/SensorSetChecks.h"

#include "common/text/StringFunctions.h"
#include "model/CodeTables.h"

namespace kront
{

namespace
{

const QString kEntryMiddle = QStringLiteral(" для входа ");

bool isRequired(int kind, SensorColumn id)
{
    switch (id) {
    case SensorColumn::Serial:
    case SensorColumn::Name: return true;
    case SensorColumn::Rank: return kind == skTP_PPO;
    case SensorColumn::Class: return kind == skTP;
    case SensorColumn::TMin:
    case SensorColumn::TMax: return kind == skTP || kind == skTS;
    default: return false;
    }
}

bool rowHasOtherData(const SensorSet &set, int grid, int row)
{
    for (const SensorColumnInfo &c : set.layout().columns) {
        if (c.id != SensorColumn::Type && !set.trimmed(grid, row, c.id).isEmpty())
            return true;
    }
    return false;
}

// A block: its header and one line per entry, present only with entries.
QString block(const QString &header, const QStringList &entries, bool leadingBreak)
{
    if (entries.isEmpty())
        return QString();
    QString text = leadingBreak ? QStringLiteral("\n") + header : header;
    for (const QString &e : entries)
        text += QLatin1Char('\n') + e;
    return text;
}

QString channelText(const char16_t *pattern, int grid)
{
    return QString::fromUtf16(pattern).arg(grid);
}

} // namespace

bool ParseSensorNumber(const QString &cell, double &value)
{
    return TryStrToFloat(NormalizeNumberText(cell.trimmed()), value);
}

bool ParseSensorInteger(const QString &cell, int &value)
{
    return TryStrToInt(cell.trimmed(), value);
}

std::optional<QString> RequiredFieldCheck(const SensorSet &set)
{
    const SensorGridLayout &layout = set.layout();
    QString message;
    for (int g = 1; g <= layout.gridCount; ++g) {
        QStringList missing, incomplete;
        for (int r = 1; r < layout.rowCount(); ++r) {
            const QString label = layout.rowLabel(r);
            if (!set.rowHasType(g, r)) {
                if (rowHasOtherData(set, g, r))
                    incomplete << label;
                continue;
            }
            for (const SensorColumnInfo &c : layout.columns) {
                if (isRequired(set.kind(), c.id) && set.trimmed(g, r, c.id).isEmpty())
                    missing << c.header + kEntryMiddle + label;
            }
        }
        message +=
            block(channelText(
                      u"Для канала %1 не заполнены следующие обязательные для заполнения поля:", g),
                  missing, g > 1);
        message +=
            block(channelText(
                      u"Для канала %1 не заполнены обязательные для заполнения поля для входа:", g),
                  incomplete, true);
    }
    if (message.isEmpty())
        return std::nullopt;
    return message;
}

NumericCheckResult NumericCheck(const SensorSet &set)
{
    const SensorGridLayout &layout = set.layout();
    NumericCheckResult result;
    QString message;
    for (int g = 1; g <= layout.gridCount; ++g) {
        QStringList wrong;
        for (int r = 1; r < layout.rowCount(); ++r) {
            if (!set.rowHasType(g, r))
                continue;
            result.gridHasType[size_t(g)] = true;
            for (const SensorColumnInfo &c : layout.columns) {
                const QString text = set.trimmed(g, r, c.id);
                if (text.isEmpty())
                    continue;
                int year = 0;
                double number = 0;
                const bool bad = (c.id == SensorColumn::Year && !ParseSensorInteger(text, year)) ||
                                 (IsSensorFloatColumn(c.id) && !ParseSensorNumber(text, number));
                if (bad)
                    wrong << c.header + kEntryMiddle + layout.rowLabel(r);
            }
        }
        message += block(channelText(u"Для канала %1 обнаружены некорректные значения в "
                                     u"следующих числовых параметрах:",
                                     g),
                         wrong, g > 1);
    }
    if (!message.isEmpty())
        result.message = message;
    return result;
}

std::optional<QString> LengthCheck(const SensorSet &set)
{
    struct Field {
        SensorColumn id;
        int limit;
        const char16_t *prefix;
    };
    static const Field fields[] = {
        {SensorColumn::Serial, 8, u"Длина реквизита \"Серийный номер\" входа '"},
        {SensorColumn::Name, 20, u"Длина реквизита \"Наименование\" входа '"},
        {SensorColumn::Producer, 40, u"Длина реквизита \"Изготовитель\" входа '"},
        {SensorColumn::Owner, 40, u"Длина реквизита \"Владелец\" входа '"},
    };
    const SensorGridLayout &layout = set.layout();
    for (int r = 1; r < layout.rowCount(); ++r) {
        for (const Field &f : fields) {
            for (int g = 1; g <= layout.gridCount; ++g) {
                if (set.text(g, r, f.id).size() <= f.limit)
                    continue;
                return QString::fromUtf16(f.prefix) + QString::number(r - 1) +
                       (g == 1 ? QStringLiteral("' первого канала более ")
                               : QStringLiteral("' второго канала более ")) +
                       QString::number(f.limit) + QStringLiteral(" символов!");
            }
        }
    }
    return std::nullopt;
}

} // namespace kront
