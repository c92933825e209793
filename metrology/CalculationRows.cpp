#include "metrology/CalculationRows.h"

#include "db/TableSchema.h"

namespace kront
{

namespace
{

void put(QVariantList &row, const char *field, const QVariant &value)
{
    const int index = tables::ResultsTP.fieldIndex(QString::fromLatin1(field));
    Q_ASSERT(index >= 0);
    if (index >= 0)
        row[index] = value;
}

QVariant orNull(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant();
}

} // namespace

QVariantList CalculationRow::values(const StepKey &key, const QDateTime &created) const
{
    QVariantList row;
    for (int i = 0; i < tables::ResultsTP.fieldCount(); ++i)
        row << QVariant();
    put(row, "PoverkaID", key.poverkaID);
    put(row, "BunchID", key.bunchID);
    put(row, "Methodic", key.methodic);
    put(row, "Stage", key.stage);
    put(row, "MeasPointNum", key.point);
    put(row, "MeasNum", MeasNum);
    put(row, "E_Tsk", orNull(E_Tsk));
    put(row, "Tsk", orNull(Tsk));
    put(row, "E_et", orNull(E_et));
    put(row, "E_pret", orNull(E_pret));
    put(row, "t_et", orNull(t_et));
    put(row, "t_pret", orNull(t_pret));
    static const char *const e1Fields[5] = {nullptr, "TEDSe1Inp1", "TEDSe1Inp2", "TEDSe1Inp3",
                                            "TEDSe1Inp4"};
    static const char *const e2Fields[5] = {nullptr, "TEDSe2Inp1", "TEDSe2Inp2", "TEDSe2Inp3",
                                            "TEDSe2Inp4"};
    for (int input = 1; input <= 4; ++input) {
        put(row, e1Fields[input], orNull(e1[input]));
        put(row, e2Fields[input], orNull(e2[input]));
    }
    put(row, "Operation", Operation);
    put(row, "EtalSensorType", key.etalSensorType);
    put(row, "RecordCreationDateTime", created);
    return row;
}

double InputValue(const QVariantMap &row, int input)
{
    const QVariant v = row.value(QStringLiteral("TEDSe1Inp%1").arg(input));
    return v.isNull() ? 0.0 : v.toDouble();
}

} // namespace kront
