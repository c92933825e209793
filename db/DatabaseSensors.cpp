#include "db/Database.h"

#include "common/Clock.h"
#include "db/FieldValue.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <cmath>

namespace kront
{

namespace
{

const QString kReadEtalFailure = QStringLiteral(
    "Не удалось открыть базу данных эталонных ТП! Устаните причину и перезапустите программу.");
const QString kReadPovFailure = QStringLiteral(
    "Не удалось открыть базу данных поверяемых ТП! Устаните причину и перезапустите программу.");

constexpr double kAbsent = -300.0; // value not given / outside the graduation
constexpr int kGraduationPoints = 17;

// Class index from the ClassDop text: "1" -> 0, "2" -> 1, "3" -> 2; any
// other text leaves the index as it is.
void setClassIndex(TThermometer &s, const QVariant &text)
{
    const QString c = text.toString();
    if (c == QLatin1String("1") || c == QLatin1String("2") || c == QLatin1String("3"))
        s.ClassDop = quint8(c.toInt() - 1);
}

// The columns both sensor tables share, up to WDTLowLim.
void fillCommon(TThermometer &s, const QVariantMap &row, quint8 kind)
{
    s.ID = row.value(QStringLiteral("ID")).toInt();
    s.SerialNum = row.value(QStringLiteral("SerialNum")).toString();
    s.ProdYear = quint32(qMax(0, row.value(QStringLiteral("ProdYear")).toInt()));
    s.TypeName = row.value(QStringLiteral("TypeName")).toString();
    s.NSHType = NSHTypeFromText(row.value(QStringLiteral("NSHType")).toString());
    s.SensKind = kind;
    s.Producer = row.value(QStringLiteral("Producer")).toString();
    s.Etalon = row.value(QStringLiteral("Etalon")).toBool();
    setClassIndex(s, row.value(QStringLiteral("ClassDop")));
    s.Owner = row.value(QStringLiteral("Owner")).toString();
    s.WDTHighLim = row.value(QStringLiteral("WDTHighLim")).toDouble();
    s.WDTLowLim = row.value(QStringLiteral("WDTLowLim")).toDouble();
}

} // namespace

std::optional<QVariantMap> Database::rowById(const TableSchema &schema, int id,
                                             const QString &failureText, bool &opened)
{
    opened = false;
    auto file = openTable(schema, TableStore::Mode::Read, failureText);
    if (!file)
        return std::nullopt;
    opened = true;
    QStringList columns;
    for (int i = 0; i < schema.fieldCount(); ++i)
        columns << sqlite::quoteIdentifier(schema.fieldName(i));
    sqlite::Statement st(file->connection(),
                         QStringLiteral("SELECT %1 FROM %2 WHERE \"ID\" = ?")
                             .arg(columns.join(u','), sqlite::quoteIdentifier(schema.tableName())));
    st.bind(1, qint64(id));
    if (!st.step())
        return std::nullopt;
    QVariantMap row;
    for (int i = 0; i < schema.fieldCount(); ++i)
        row.insert(schema.fieldName(i), fromStoredValue(schema.fields[i], st.value(i)));
    return row;
}

bool Database::DBReadEtalSensor(int etalID, TBunch &bunch)
{
    bool opened = false;
    const auto row = rowById(tables::EtalSens, etalID, kReadEtalFailure, opened);
    if (!row)
        return opened;
    const quint8 kind = SensorKindFromText(row->value(QStringLiteral("SensKind")).toString());
    TThermometer *s = bunch.CreateEtalSensor(kind);
    if (!s)
        return true; // a kind without a sensor object (mercury thermometer)
    fillCommon(*s, *row, kind);
    // The register keeps the reference's rank, 0 to 3, where sensors keep their class.
    s->ClassDop = RankIndexFromText(row->value(QStringLiteral("ClassDop")).toString(), s->ClassDop);
    s->Diameter = 0;
    s->Mass = 0;
    return true;
}

bool Database::DBReadPovSensor(int sensorID, int input, TBunch &bunch, TPoverka *current)
{
    bool opened = false;
    const auto row = rowById(tables::Sensors, sensorID, kReadPovFailure, opened);
    if (!row)
        return opened;
    const quint8 kind = SensorKindFromText(row->value(QStringLiteral("SensKind")).toString());
    TThermometer *s = bunch.CreateSensor(kind, input);
    if (current) {
        if (kind >= 1 && kind <= 3)
            current->ChannelCount = 2;
        else if (kind == 4 || kind == 5)
            current->ChannelCount = 1;
    }
    bunch.SensKind = kind;
    if (!s)
        return true; // no sensor object for this kind or input
    fillCommon(*s, *row, kind);
    s->Diameter = row->value(QStringLiteral("Diameter")).toDouble();
    s->Mass = row->value(QStringLiteral("Mass")).toDouble();
    return true;
}

bool Database::DBPoverkaSetFinished(int poverkaID, TPoverka *poverka)
{
    const QDateTime now = programClock().now();
    if (poverka)
        poverka->Finished = now;
    const int field = tables::Poverki.fieldIndex(u"Finished");
    return updateById(tables::Poverki, poverkaID, {{field, now}});
}

namespace
{

struct GraduationRow {
    double emf, temp;
};

// Graduation points whose EMF is below -299 (the -300 placeholder) or null
// are no part of the graduation, the first point included: a sensor whose
// first point is empty has no graduation at all.
std::vector<GraduationRow> graduationPoints(const QVariantMap &row)
{
    std::vector<GraduationRow> points;
    for (int k = 1; k <= kGraduationPoints; ++k) {
        const QVariant e = row.value(QStringLiteral("EMF%1").arg(k));
        if (!e.isValid() || e.toDouble() < -299.0)
            continue;
        const QVariant t = row.value(QStringLiteral("Temp%1").arg(k));
        points.push_back({e.toDouble(), t.isValid() ? t.toDouble() : kAbsent});
    }
    return points;
}

} // namespace

bool Database::DBGetEtalSvidData(int etalID, double &pointEMF, double &pointTemp, double emf)
{
    pointEMF = kAbsent;
    pointTemp = kAbsent;
    bool opened = false;
    const auto row = rowById(tables::EtalSens, etalID, QString(), opened);
    if (!row)
        return opened;
    const std::vector<GraduationRow> points = graduationPoints(*row);
    if (points.empty())
        return true;
    double low = points[0].emf, high = points[0].emf;
    for (const GraduationRow &p : points) {
        low = std::min(low, p.emf);
        high = std::max(high, p.emf);
    }
    if (emf < low || emf > high)
        return true;
    const GraduationRow *best = &points[0];
    for (const GraduationRow &p : points) {
        if (std::fabs(p.emf - emf) < std::fabs(best->emf - emf))
            best = &p; // a later point only when strictly closer
    }
    pointEMF = best->emf;
    pointTemp = best->temp;
    return true;
}

bool Database::DBGetEtalSvidSpan(int etalID, double &lowEMF, double &lowTemp, double &highEMF,
                                 double &highTemp)
{
    lowEMF = lowTemp = highEMF = highTemp = kAbsent;
    bool opened = false;
    const auto row = rowById(tables::EtalSens, etalID, QString(), opened);
    if (!row)
        return opened;
    const std::vector<GraduationRow> points = graduationPoints(*row);
    if (points.empty())
        return true;
    const auto [low, high] = std::minmax_element(
        points.begin(), points.end(),
        [](const GraduationRow &a, const GraduationRow &b) { return a.emf < b.emf; });
    lowEMF = low->emf;
    lowTemp = low->temp;
    highEMF = high->emf;
    highTemp = high->temp;
    return true;
}

} // namespace kront
