#include "sensors/EtalTPRegister.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "sensors/FoundSensors.h"
#include "sensors/SensorFilters.h"

#include <cmath>

namespace kront
{

namespace
{

constexpr double kMissing = -300.0; // a graduation point that was not given

QString rowText(int row)
{
    return QString::number(row);
}

// A graduation cell as a number; -300 for an empty cell.
double pointValue(const QString &cell)
{
    double value = kMissing;
    if (!cell.isEmpty() && !TryStrToFloat(cell, value))
        value = kMissing;
    return value;
}

QString pointText(const QVariant &value)
{
    if (!value.isValid() || value.isNull() || std::round(value.toDouble()) < -299)
        return QString();
    return FoundSensorsCellText(value);
}

} // namespace

QStringList EtalTPData::paramLabels()
{
    return {QStringLiteral("Зав. №"),   QStringLiteral("Тип"),    QStringLiteral("Наименование"),
            QStringLiteral("Год вып."), QStringLiteral("Разряд"), QStringLiteral("Изготовитель"),
            QStringLiteral("Владелец")};
}

EtalTPRegister::EtalTPRegister(Database &database, Dialogs &dialogSet)
    : db(database), dialogs(dialogSet)
{
}

std::optional<QString> EtalTPRegister::Validate(EtalTPData &d) const
{
    const std::pair<int, const char16_t *> required[] = {
        {EtalTPData::Serial, u"Не заполнен параметр \"Зав. №\"!"},
        {EtalTPData::Type, u"Не заполнен параметр \"Тип\"!"},
        {EtalTPData::Name, u"Не заполнен параметр \"Наименование\"!"},
        {EtalTPData::Rank, u"Не заполнен параметр \"Разряд\"!"},
    };
    for (const auto &[param, message] : required) {
        if (d.params[size_t(param)].trimmed().isEmpty())
            return QString::fromUtf16(message);
    }
    const QString year = d.params[EtalTPData::Year].trimmed();
    if (!year.isEmpty() && !IsValidYear(year))
        return QStringLiteral("Указано недопустимое значение параметра \"Год вып.\"!");

    std::array<bool, EtalTPData::kPointCount + 1> filled{};
    int last = 0;
    for (int i = 1; i <= EtalTPData::kPointCount; ++i) {
        QString &t = d.temp[size_t(i)];
        QString &e = d.emf[size_t(i)];
        if (t.trimmed().isEmpty())
            t.clear();
        if (e.trimmed().isEmpty())
            e.clear();
        if (t.isEmpty()) {
            if (!e.isEmpty())
                return QStringLiteral("Не указан параметр \"Температура\" в строке ") + rowText(i) +
                       QLatin1Char('!');
            continue;
        }
        if (e.isEmpty())
            return QStringLiteral("Не указан параметр \"Термо-ЭДС\" в строке ") + rowText(i) +
                   QLatin1Char('!');
        const QString tempMessage =
            QStringLiteral("Указано недопустимое значение параметра \"Температура\" в строке ") +
            rowText(i) + QLatin1Char('!');
        const QString emfMessage =
            QStringLiteral("Указано недопустимое значение параметра \"Термо-ЭДС\" в строке ") +
            rowText(i) + QLatin1Char('!');
        // The tests see the texts as typed, so a Cyrillic exponent letter is refused.
        if (!IsSignedNumber(t))
            return tempMessage;
        if (!IsSignedNumber(e))
            return emfMessage;
        t = NormalizeNumberText(t.trimmed());
        e = NormalizeNumberText(e.trimmed());
        double value = 0;
        if (!TryStrToFloat(t, value))
            return tempMessage;
        if (!TryStrToFloat(e, value))
            return emfMessage;
        filled[size_t(i)] = true;
        last = i;
    }
    if (last <= 2)
        return QStringLiteral(
            "Должны быть указаны значения термо-ЭДС хотя бы для трёх температур!");
    for (int i = 1; i < last; ++i) {
        if (!filled[size_t(i)])
            return QStringLiteral("Пропущена строка ") + rowText(i) + QLatin1Char('!');
    }
    return std::nullopt;
}

TableRow EtalTPRegister::FieldValues(const EtalTPData &d, const QDateTime &created)
{
    auto param = [&](EtalTPData::Param p) { return d.params[size_t(p)].trimmed(); };
    int year = 0;
    const QVariant prodYear =
        TryStrToInt(param(EtalTPData::Year), year) ? QVariant(year) : QVariant();
    TableRow row(tables::EtalSens, {{"SerialNum", param(EtalTPData::Serial)},
                                    {"ProdYear", prodYear},
                                    {"TypeName", param(EtalTPData::Name)},
                                    {"NSHType", param(EtalTPData::Type)},
                                    {"SensKind", param(EtalTPData::Type)},
                                    {"Producer", param(EtalTPData::Producer)},
                                    {"Etalon", true},
                                    {"ClassDop", param(EtalTPData::Rank)},
                                    {"Owner", param(EtalTPData::Owner)},
                                    {"RecordCreationDateTime", created}});
    double low = 9000.0, high = -300.0;
    for (int i = 1; i <= EtalTPData::kPointCount; ++i) {
        const double t = pointValue(d.temp[size_t(i)]);
        if (!d.temp[size_t(i)].isEmpty()) {
            low = std::min(low, t);
            high = std::max(high, t);
        }
        row.set(QStringLiteral("Temp%1").arg(i), t);
        row.set(QStringLiteral("EMF%1").arg(i), pointValue(d.emf[size_t(i)]));
    }
    row.set("WDTHighLim", high);
    row.set("WDTLowLim", low);
    return row;
}

bool EtalTPRegister::storeEntry(EtalTPData &data, bool editing, int id)
{
    if (std::optional<QString> message = Validate(data)) {
        dialogs.warning(*message);
        return false;
    }
    const TableRow values = FieldValues(data, programClock().now());
    if (editing && id >= 0)
        return db.DBEtalSensUpdateAllByID(id, values);
    return storeNew(data, values);
}

bool EtalTPRegister::storeNew(const EtalTPData &d, const TableRow &values)
{
    const QString filter = EtalSensIdentityFilter(
        d.params[EtalTPData::Serial].trimmed(), d.params[EtalTPData::Year].trimmed(),
        d.params[EtalTPData::Name].trimmed(), d.params[EtalTPData::Type].trimmed());
    const int count = db.DBGetRecordsCount(tables::EtalSens, filter);
    if (count < 0)
        return false;
    if (count == 0)
        return db.DBEtalSensInsert(values);
    if (!dialogs.askYesNo(QStringLiteral("Внимание! ТП с такими реквизитами (зав. №, год вып., "
                                         "наименование) уже есть в базе данных!\r\n"
                                         "Перезаписать данные существующего ТП?")))
        return false;
    // Overwrite in place: the entry keeps its ID, so verifications that name it
    // as their reference keep it. Further unused duplicates are removed.
    const auto rows = db.select(tables::EtalSens, filter, QStringLiteral("ID"));
    if (!rows || rows->empty())
        return false;
    bool ok = true;
    for (size_t i = 0; i < rows->size(); ++i) {
        const int id = (*rows)[i].value(QStringLiteral("ID")).toInt();
        const bool used =
            db.DBGetRecordsCount(tables::BunchesTP,
                                 QStringLiteral("EtalSensorID = ") + QString::number(id)) != 0;
        if (i > 0 && !used)
            ok = db.DBDeleteEtalSens(id) && ok;
        else
            ok = db.DBEtalSensUpdateAllByID(id, values) && ok;
    }
    return ok;
}

bool EtalTPRegister::RowHasType(const QStringList &gridRow)
{
    return !gridRow.value(1).trimmed().isEmpty();
}

int EtalTPRegister::FindGridRowID(const QStringList &gridRow)
{
    const QString filter = EtalSensIdentityFilter(gridRow.value(0), gridRow.value(3),
                                                  gridRow.value(2), gridRow.value(1));
    const int id = db.DBGetID(tables::EtalSens, filter);
    if (id < 0)
        dialogs.error(
            QStringLiteral("Эталонный ТП с указанными параметрами в базе данных не найден!"));
    return id;
}

std::optional<EtalTPData> EtalTPRegister::ReadByID(int id)
{
    const auto rows = db.select(tables::EtalSens, QStringLiteral("ID = ") + QString::number(id));
    if (!rows)
        return std::nullopt;
    if (rows->empty()) {
        dialogs.error(
            QStringLiteral("Эталонный ТП с указанными параметрами в базе данных не найден!"));
        return std::nullopt;
    }
    const QVariantMap &row = rows->front();
    EtalTPData d;
    const char *fields[] = {"SerialNum", "NSHType",  "TypeName", "ProdYear",
                            "ClassDop",  "Producer", "Owner"};
    for (int p = 0; p < EtalTPData::kParamCount; ++p)
        d.params[size_t(p)] = FoundSensorsCellText(row.value(QLatin1String(fields[p])));
    for (int i = 1; i <= EtalTPData::kPointCount; ++i) {
        d.temp[size_t(i)] = pointText(row.value(QStringLiteral("Temp%1").arg(i)));
        d.emf[size_t(i)] = pointText(row.value(QStringLiteral("EMF%1").arg(i)));
    }
    return d;
}

bool EtalTPRegister::DeleteGridRow(const QStringList &gridRow)
{
    const int id = FindGridRowID(gridRow);
    if (id < 0)
        return false;
    const int uses = db.DBGetRecordsCount(tables::BunchesTP,
                                          QStringLiteral("EtalSensorID = ") + QString::number(id));
    if (uses < 0)
        return false;
    if (uses > 0) {
        dialogs.warning(QStringLiteral("Не допускается удаление указанного эталонного ТП, так как "
                                       "есть поверки с его использованием!"));
        return false;
    }
    if (!dialogs.askYesNo(QStringLiteral("Удалить выделенный эталонный ТП?")))
        return false;
    return db.DBDeleteEtalSens(id);
}

} // namespace kront
