#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryLimits.h"
#include "registry/RegistryRecord.h"

namespace kront
{

namespace
{

// The first reason of the candidate's refusal; empty when the record was filled.
QString fill(const ExportCandidate &c, const RegistryData &data, RegistryRecord &r)
{
    const RegistrySettings &s = data.settings;
    if (const QString e = signCipherError(s.signCipher); !e.isEmpty())
        return e;
    if (c.result.isEmpty())
        return QStringLiteral("нет результата поверки (поверка канала прервана)");
    const SensorTypeEntry *type = data.sensorType(c.typeName);
    if (!type || type->typeNumber.trimmed().isEmpty())
        return QStringLiteral("для типа \"%1\" не задан номер в ГРСИ").arg(c.typeName);
    if (!c.unfit() && type->intervalMonths <= 0)
        return QStringLiteral("для типа \"%1\" не задан межповерочный интервал").arg(c.typeName);
    if (c.serialNum.isEmpty())
        return QStringLiteral("не задан заводской номер");
    r.owner = c.owner.isEmpty() ? s.defaultOwner.trimmed() : c.owner;
    if (r.owner.isEmpty())
        return QStringLiteral("не задан владелец СИ");
    if (!c.conditions)
        return QStringLiteral("не заданы условия поверки");
    r.metrologist = c.conditions->verifier.trimmed();
    if (r.metrologist.isEmpty())
        r.metrologist = s.defaultVerifier.trimmed();
    if (r.metrologist.isEmpty())
        return QStringLiteral("не задан поверитель");
    if (c.gostNum.isEmpty())
        return QStringLiteral("не задан документ, по которому выполнена поверка");
    const QString reference = data.means.regNumberOf(c.etalSensID).trimmed();
    if (reference.isEmpty())
        return QStringLiteral("не задан регистрационный номер эталонного ТП");
    if (c.unfit() && c.reasons.isEmpty())
        return QStringLiteral("не известны причины непригодности");

    r.poverkaID = c.poverkaID;
    r.sensorID = c.sensorID;
    r.typeNumber = type->typeNumber.trimmed();
    r.serialNum = c.serialNum;
    r.prodYear = c.prodYear >= 1000 && c.prodYear <= 9999 ? c.prodYear : 0;
    r.modification =
        type->modification.trimmed().isEmpty() ? QStringLiteral("-") : type->modification.trimmed();
    r.signCipher = s.signCipher;
    r.vrfDate = c.finished.date();
    r.timeZone = timeZoneOffsetText(s.timeZoneOffsetMinutes);
    r.periodic = c.kind != 0;
    r.fit = !c.unfit();
    if (r.fit)
        r.validDate = r.vrfDate.addMonths(type->intervalMonths).addDays(-1);
    r.signPass = s.signPass;
    r.signMi = s.signMi;
    r.reasons = c.reasons;
    r.docTitle = c.gostNum;
    r.referenceNumbers = {reference};
    for (const AuxiliaryInstrument &i : data.means.instruments) {
        if (!i.typeNumber.trimmed().isEmpty())
            r.instruments.push_back({i.typeNumber.trimmed(), i.serialNum.trimmed()});
    }
    r.temperature = TemperatureText(*c.conditions);
    r.pressure = PressureText(*c.conditions);
    r.humidity = HumidityText(*c.conditions);
    r.otherFactors = c.conditions->otherFactors.trimmed();
    // What the file cannot hold is refused here, never cut on writing.
    return RegistryRecordError(r);
}

} // namespace

RegistryPlan PlanRegistryExport(const std::vector<ExportCandidate> &candidates,
                                const RegistryData &data)
{
    RegistryPlan plan;
    for (const ExportCandidate &c : candidates) {
        RegistryRecord r;
        const QString reason = fill(c, data, r);
        if (reason.isEmpty())
            plan.records.push_back(std::move(r));
        else
            plan.refusals.push_back({c.poverkaID, c.povNum, c.sensorID, c.serialNum, reason});
    }
    return plan;
}

} // namespace kront
