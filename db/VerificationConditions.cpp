#include "db/VerificationConditions.h"

#include "common/Dialogs.h"
#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"

namespace kront
{

namespace
{

std::optional<VerificationConditions> lastRow(Database &db, const QString &filter)
{
    const TableSchema &table = tables::Conditions;
    if (!db.hasTable(table))
        return std::nullopt;
    const auto rows = db.select(table, filter, QStringLiteral("ID DESC"), 1);
    if (!rows || rows->empty())
        return std::nullopt;
    const QVariantMap &r = rows->front();
    VerificationConditions c;
    c.temperature = r.value(QStringLiteral("Temperature")).toDouble();
    c.pressure = r.value(QStringLiteral("Pressure")).toDouble();
    c.humidity = r.value(QStringLiteral("Humidity")).toDouble();
    c.otherFactors = r.value(QStringLiteral("OtherFactors")).toString();
    c.verifier = r.value(QStringLiteral("Verifier")).toString();
    return c;
}

QString valueText(double value)
{
    return FloatToStrF(value, TFloatFormat::ffGeneral, 6, 0);
}

} // namespace

std::optional<VerificationConditions> StoredConditions(Database &db, int poverkaID)
{
    return lastRow(db, QStringLiteral("PoverkaID = %1").arg(poverkaID));
}

std::optional<VerificationConditions> LastStoredConditions(Database &db)
{
    return lastRow(db, QString());
}

bool StoreConditions(Database &db, Dialogs &, int poverkaID, const VerificationConditions &c)
{
    const TableSchema &table = tables::Conditions;
    if (!db.ensureTable(table))
        return false;
    return db.insertRows(table, {TableRow(table, {{"PoverkaID", poverkaID},
                                                  {"Temperature", c.temperature},
                                                  {"Pressure", c.pressure},
                                                  {"Humidity", c.humidity},
                                                  {"OtherFactors", c.otherFactors},
                                                  {"Verifier", c.verifier}})});
}

QString TemperatureText(const VerificationConditions &c)
{
    return valueText(c.temperature) + QStringLiteral(" °C");
}

QString PressureText(const VerificationConditions &c)
{
    return valueText(c.pressure) + QStringLiteral(" кПа");
}

QString HumidityText(const VerificationConditions &c)
{
    return valueText(c.humidity) + QStringLiteral(" %");
}

} // namespace kront
