#include "ReferenceRegister.h"

#include "db/Database.h"
#include "sensors/SensorFilters.h"

#include <QRegularExpression>

namespace kront::e2e
{

std::vector<std::pair<int, EtalTPData>> scenarioReferences(const Scenario &sc)
{
    std::vector<std::pair<int, EtalTPData>> out;
    for (int c = 1; c <= 2; ++c) {
        const ScenarioChannel &ch = sc.channels[size_t(c)];
        if (ch.reference != u"ppo" && ch.reference != u"pro")
            continue;
        EtalTPData d;
        d.params[EtalTPData::Serial] = ch.referenceSerial;
        d.params[EtalTPData::Type] =
            ch.reference == u"ppo" ? QStringLiteral("ППО") : QStringLiteral("ПРО");
        d.params[EtalTPData::Name] = ch.referenceName;
        d.params[EtalTPData::Rank] = ch.referenceRank;
        const QStringList pairs =
            ch.graduation.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        for (int i = 0; i < pairs.size() && i < EtalTPData::kPointCount; ++i) {
            d.temp[size_t(i + 1)] = pairs[i].section(u':', 0, 0).replace(u'.', u',');
            d.emf[size_t(i + 1)] = pairs[i].section(u':', 1, 1).replace(u'.', u',');
        }
        out.emplace_back(c, d);
    }
    return out;
}

bool sameReference(const EtalTPData &a, const EtalTPData &b)
{
    for (const auto p : {EtalTPData::Serial, EtalTPData::Year, EtalTPData::Name, EtalTPData::Type})
        if (a.params[p].trimmed() != b.params[p].trimmed())
            return false;
    return true;
}

bool sameReferenceData(const EtalTPData &a, const EtalTPData &b)
{
    return a.params == b.params && a.temp == b.temp && a.emf == b.emf;
}

bool registerReference(EtalTPData data, Database &db, Dialogs &dialogs)
{
    return EtalTPRegister(db, dialogs).storeEntry(data, false, 0);
}

bool inRegister(const EtalTPData &d, Database &db)
{
    const QString filter = EtalSensIdentityFilter(
        d.params[EtalTPData::Serial].trimmed(), d.params[EtalTPData::Year].trimmed(),
        d.params[EtalTPData::Name].trimmed(), d.params[EtalTPData::Type].trimmed());
    return db.DBGetRecordsCount(tables::EtalSens, filter) > 0;
}

} // namespace kront::e2e
