#include "metrology/CalculationRows.h"

#include "db/TableRow.h"

namespace kront
{

namespace
{

QVariant orNull(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant();
}

} // namespace

TableRow CalculationRow::values(const StepKey &key, const QDateTime &created) const
{
    TableRow row(tables::ResultsTP);
    const auto put = [&row](const char *field, const QVariant &value) { row.set(field, value); };
    put("PoverkaID", key.poverkaID);
    put("BunchID", key.bunchID);
    put("Methodic", key.methodic);
    put("Stage", key.stage);
    put("MeasPointNum", key.point);
    put("MeasNum", MeasNum);
    put("E_Tsk", orNull(E_Tsk));
    put("Tsk", orNull(Tsk));
    put("E_et", orNull(E_et));
    put("E_pret", orNull(E_pret));
    put("t_et", orNull(t_et));
    put("t_pret", orNull(t_pret));
    static const char *const e1Fields[5] = {nullptr, "TEDSe1Inp1", "TEDSe1Inp2", "TEDSe1Inp3",
                                            "TEDSe1Inp4"};
    static const char *const e2Fields[5] = {nullptr, "TEDSe2Inp1", "TEDSe2Inp2", "TEDSe2Inp3",
                                            "TEDSe2Inp4"};
    for (int input = 1; input <= 4; ++input) {
        put(e1Fields[input], orNull(e1[input]));
        put(e2Fields[input], orNull(e2[input]));
    }
    put("Operation", Operation);
    put("EtalSensorType", key.etalSensorType);
    put("RecordCreationDateTime", created);
    return row;
}

double InputValue(const QVariantMap &row, int input)
{
    const QVariant v = row.value(QStringLiteral("TEDSe1Inp%1").arg(input));
    return v.isNull() ? 0.0 : v.toDouble();
}

} // namespace kront
