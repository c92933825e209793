// Pages 1..3 of the verification window: parameters, verification means, external inspection
// and insulation; accepting page 3 stores the verification, its sensors and its bunches.
#include "procedure/VerificationSetup.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "db/FilterText.h"
#include "db/VerificationConditions.h"
#include "model/CodeTables.h"
#include "model/StageProgression.h"
#include "model/TPoverka.h"
#include "procedure/ProcedureContext.h"
#include "procedure/StepSequencer.h"
#include "settings/EquipParamsFile.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingsFile.h"

#include <variant>

namespace kront
{

bool InspectionAcceptsChar(InspectionGrid grid, const QString &cellText, QChar typed)
{
    const ushort code = typed.unicode();
    if (code == 8 || code == 9 || code == 13 || code == 27)
        return true;
    switch (grid) {
    case InspectionGrid::Remarks: return cellText.size() < kRemarkMaxLength;
    case InspectionGrid::Strength: return cellText.size() < kStrengthMaxLength;
    case InspectionGrid::Resistance:
        return (typed >= u'0' && typed <= u'9') || typed == u',' || typed == u'.' || typed == u'-';
    }
    return false;
}

namespace
{

// A bunch whose sensors are shown on page 3: no reference sensor, or working thermocouples.
bool showsSerials(const TBunch *bunch)
{
    return bunch && (!bunch->EtalSensor || bunch->SensKind == skTP);
}

QString lengthMessage(const QString &prefix, int position, int limit)
{
    const int input = position % 4 == 0 ? 4 : position % 4;
    const int channel = position <= 4 ? 1 : 2;
    return prefix + QString::number(input) + QStringLiteral(" канала ") + QString::number(channel) +
           QStringLiteral(" больше максимальной (") + QString::number(limit) +
           QStringLiteral(" символов)!");
}

// A resistance cell as stored: the number, or -300 for an empty cell.
QVariant resistanceValue(const QString &text)
{
    if (text.trimmed().isEmpty())
        return -300.0;
    double v = -300;
    TryStrToFloat(text.trimmed(), v);
    return v;
}

QVariant nullable(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

// The verifications of today stored under a number.
QString sameNumberFilter(const QString &number)
{
    return QStringLiteral("PovNum = '") + quoteFilterText(number) +
           QStringLiteral("' and Date(Started) = Date(GetDate())");
}

// One value of "Условия поверки": a number within [low, high], else the message naming it.
struct ConditionField {
    const QString ConditionsTexts::*text;
    double VerificationConditions::*value;
    double low, high;
    const char *message;
};

const ConditionField conditionFields[] = {
    {&ConditionsTexts::temperature, &VerificationConditions::temperature, 10, 35,
     "Укажите температуру окружающего воздуха числом от 10 до 35 °C!"},
    {&ConditionsTexts::pressure, &VerificationConditions::pressure, 80, 110,
     "Укажите атмосферное давление числом от 80 до 110 кПа!"},
    {&ConditionsTexts::humidity, &VerificationConditions::humidity, 10, 95,
     "Укажите относительную влажность воздуха числом от 10 до 95 %!"},
};

// The checked conditions of page 3, or the message of the first field that is wrong.
std::variant<VerificationConditions, QString> checkConditions(const ConditionsTexts &texts)
{
    VerificationConditions out;
    for (const ConditionField &f : conditionFields) {
        double v = 0;
        const QString text = NormalizeNumberText((texts.*f.text).trimmed());
        if (!IsSignedDecimal(text) || !TryStrToFloat(text, v) || v < f.low || v > f.high)
            return QString::fromUtf8(f.message);
        out.*f.value = v;
    }
    out.otherFactors = texts.otherFactors.trimmed();
    if (out.otherFactors.size() > kOtherFactorsMaxLength)
        return QStringLiteral("Длина строки реквизита \"Другие влияющие факторы\" больше "
                              "максимальной (128 символов)!");
    return out;
}

// The verifiers page 1 offers: the lab's default, then the one stored last when another.
QStringList offeredVerifiers(const QString &defaultVerifier,
                             const std::optional<VerificationConditions> &last)
{
    QStringList names;
    if (!defaultVerifier.trimmed().isEmpty())
        names << defaultVerifier.trimmed();
    if (last && !last->verifier.isEmpty() && !names.contains(last->verifier))
        names << last->verifier;
    return names;
}

} // namespace

VerificationSetup::VerificationSetup(ProcedureContext &context, StepSequencer &steps)
    : ctx(context), pov(context.pov), db(context.db), dialogs(context.dialogs), sequencer(steps)
{
}

SetupPrepared VerificationSetup::prepare()
{
    SetupPrepared out;
    out.pointsCount = qBound(1, SettingsFile().temperaturePointsCount(), 8);
    for (int channel = 1; channel <= 2; ++channel) {
        const TBunch *bunch = pov.Bunches[channel];
        if (!showsSerials(bunch))
            continue;
        for (int input = 1; input <= 4; ++input)
            if (bunch->Sensors[input])
                out.serials[input + (channel - 1) * 4] = bunch->Sensors[input]->SerialNum;
    }
    const std::optional<VerificationConditions> last = LastStoredConditions(db);
    if (last) {
        out.conditions.temperature = FloatToStr(last->temperature);
        out.conditions.pressure = FloatToStr(last->pressure);
        out.conditions.humidity = FloatToStr(last->humidity);
        out.conditions.otherFactors = last->otherFactors;
    }
    out.verifiers = offeredVerifiers(loadRegistrySettings().defaultVerifier, last);
    return out;
}

bool VerificationSetup::acceptParametersPage(const ParametersPage &page,
                                             std::optional<QStringList> &equipLines)
{
    replacesSameNumber = false;
    const QString number = page.number.trimmed().left(kPovNumMaxLength);
    if (number.isEmpty()) {
        dialogs.warning(QStringLiteral("Укажите номер поверки!"));
        return false;
    }
    // The earlier verification is deleted only when page 3 stores this one: until then
    // leaving the wizard keeps it.
    const bool replaces = db.DBGetRecordsCount(tables::Poverki, sameNumberFilter(number)) > 0;
    if (replaces && !dialogs.askYesNo(QStringLiteral(
                        "Внимание! Поверка с таким номером и датой уже есть в базе данных."
                        "\r\nУдалить существующую поверку со всеми её результатами из "
                        "базы данных?")))
        return false;
    pov.PovNum = number;
    pov.TempPointsCount = quint32(qBound(1, page.pointsCount, 8));
    if (page.kindIndex != 0 && page.kindIndex != 1) {
        dialogs.warning(QStringLiteral("Выберите вид поверки!"));
        return false;
    }
    pov.Kind = quint8(page.kindIndex);
    pov.InstabilityCheckNeeded = page.kindIndex == 0 && page.instabilityCheck;
    if (page.methodIndex != 0 && page.methodIndex != 1) {
        dialogs.warning(QStringLiteral("Выберите метод поверки!"));
        return false;
    }
    if (page.methodIndex == 1) {
        for (int channel = 1; channel <= 2; ++channel) {
            const TBunch *bunch = pov.Bunches[channel];
            if (bunch && !bunch->EtalSensor) {
                dialogs.warning(QStringLiteral(
                    "В пучке должен быть указан эталонный ТП при поверке методом поэлектродного "
                    "сличения!"));
                return false;
            }
        }
    }
    pov.Methodic = quint8(page.methodIndex);
    const QString name = page.verifier.trimmed();
    if (name.size() > kVerifierMaxLength) {
        dialogs.warning(QStringLiteral("Длина строки реквизита \"Поверитель\" больше максимальной "
                                       "(128 символов)!"));
        return false;
    }
    verifier = name;
    SettingsFile settings;
    if (!settings.setTemperaturePointsCount(int(pov.TempPointsCount)))
        dialogs.error(QStringLiteral("Не удалось записать файл настроек ") + settings.path() +
                      QStringLiteral(": ") + settings.lastError());
    EquipParamsFile equip;
    if (equip.exists()) {
        if (auto lines = equip.readLines())
            equipLines = *lines;
    }
    replacesSameNumber = replaces;
    return true;
}

bool VerificationSetup::acceptMeansPage(const QStringList &lines)
{
    pov.EquipmentParams = lines;
    EquipParamsFile equip;
    if (!equip.writeLines(lines))
        dialogs.error(QStringLiteral("Не удалось записать файл ") + equip.path() +
                      QStringLiteral(": ") + equip.lastError());
    return true;
}

bool VerificationSetup::acceptInspectionPage(InspectionPage &page)
{
    static const QString remarkPrefix =
        QStringLiteral("Длина строки реквизита \"Замечания по внешнему осмотру\" для входа № ");
    static const QString strengthPrefix =
        QStringLiteral("Длина строки реквизита \"Электрическая прочность изоляции\" для входа № ");
    for (int p = 1; p <= kInspectionPositions; ++p) {
        if (page.remarks[p].trimmed().size() > kRemarkMaxLength) {
            dialogs.warning(lengthMessage(remarkPrefix, p, kRemarkMaxLength));
            return false;
        }
        if (page.strengths[p].trimmed().size() > kStrengthMaxLength) {
            dialogs.warning(lengthMessage(strengthPrefix, p, kStrengthMaxLength));
            return false;
        }
    }
    for (int p = 1; p <= kInspectionPositions; ++p) {
        for (QString *cell : {&page.resistancePos[p], &page.resistanceNeg[p]}) {
            if (cell->trimmed().isEmpty())
                continue;
            *cell = NormalizeNumberText(cell->trimmed());
            if (!IsSignedNumber(*cell)) {
                dialogs.warning(
                    QStringLiteral("Указаны недопустимые числовые значения для сопротивления!"));
                return false;
            }
        }
    }
    auto checked = checkConditions(page.conditions);
    if (const QString *message = std::get_if<QString>(&checked)) {
        dialogs.warning(*message);
        return false;
    }
    conditions = std::get<VerificationConditions>(checked);
    conditions.verifier = verifier;
    return storeVerification(page);
}

bool VerificationSetup::storeVerification(const InspectionPage &page)
{
    storedSensorIDs.clear();
    if (replacesSameNumber) {
        if (!db.DBDeletePoverka(sameNumberFilter(pov.PovNum)))
            return false; // the table store has shown why
        replacesSameNumber = false;
    }
    pov.Started = programClock().now();
    const TableRow row(tables::Poverki,
                       {{"PovNum", pov.PovNum},
                        {"Started", pov.Started},
                        {"GOSTnum", pov.GOSTnum},
                        {"Methodic", int(pov.Methodic)},
                        {"Kind", int(pov.Kind)},
                        {"InstabilityCheckNeeded", pov.InstabilityCheckNeeded},
                        {"TempPointsCount", int(pov.TempPointsCount)},
                        {"EquipmentParams", pov.EquipmentParams.join(QStringLiteral("\r\n"))},
                        {"CurrPovState", EncodeState(pov)}});
    // A failed insert must not be taken for the row of an earlier verification.
    const bool inserted = db.DBPoverkaInsert(row);
    pov.ID = inserted ? db.lastInsertedID() : 0;
    if (pov.ID <= 0) {
        pov.ID = 0;
        dialogs.error(
            QStringLiteral("Внутренняя ошибка: не удалось добавить запись поверки в базу данных!"));
        return false;
    }
    for (int channel = 1; channel <= 2; ++channel) {
        if (pov.Bunches[channel] && !storeSensors(channel))
            return false;
    }
    for (int channel = 1; channel <= 2; ++channel) {
        if (pov.Bunches[channel] && !storeBunch(channel, page))
            return false;
    }
    if (!storeConditions())
        return false;
    if (!sequencer.prepareStep()) {
        ctx.step.dropSteps();
        deletePartialData();
        // The verification is not stored: a new "Next" starts it afresh.
        sequencer.restartAtInitiation();
        return false;
    }
    return true;
}

// Removes what page 3 stored of this verification. The sensors of a channel whose bunch row
// was not yet written are not reached through the bunches, so they are removed by ID.
void VerificationSetup::deletePartialData()
{
    db.DBDeletePartialData(pov.ID);
    for (int id : storedSensorIDs)
        if (db.DBGetRecordsCount(tables::Sensors, QStringLiteral("ID = %1").arg(id)) > 0)
            db.DBDeleteSensor(id);
    storedSensorIDs.clear();
}

bool VerificationSetup::storeSensors(int channel)
{
    TBunch &bunch = *pov.Bunches[channel];
    if (bunch.EtalSensor) {
        const int id = bunch.EtalSensor->ID;
        if (id < 0 || db.DBGetRecordsCount(tables::EtalSens,
                                           QStringLiteral("ID = ") + QString::number(id)) != 1) {
            dialogs.error(
                QStringLiteral("Не найдена запись эталонного датчика в базе данных эталонных ТП!"));
            deletePartialData();
            return false;
        }
    }
    for (int input = 1; input <= 4; ++input) {
        TThermometer *s = bunch.Sensors[input].get();
        if (!s)
            continue;
        const QString nsh = s->NSHType <= nshPRO ? NSHLatinCode(s->NSHType) : QString();
        const bool inserted = db.DBSensorsInsert(
            TableRow(tables::Sensors, {{"SerialNum", s->SerialNum},
                                       {"ProdYear", int(s->ProdYear)},
                                       {"TypeName", s->TypeName},
                                       {"NSHType", nullable(nsh)},
                                       {"SensKind", SensorKindColumnText(s->SensKind)},
                                       {"Producer", s->Producer},
                                       {"Etalon", s->Etalon},
                                       {"ClassDop", ClassIndexText(s->ClassDop)},
                                       {"Owner", s->Owner},
                                       {"WDTHighLim", s->WDTHighLim},
                                       {"WDTLowLim", s->WDTLowLim},
                                       {"Diameter", s->Diameter},
                                       {"Mass", s->Mass},
                                       {"RecordCreationDateTime", programClock().now()}}));
        s->ID = 0;
        if (inserted)
            s->ID = db.lastInsertedID();
        if (s->ID <= 0) {
            // 0 cannot name a stored row either: a failed insert must not pass as stored.
            s->ID = 0;
            dialogs.error(QStringLiteral("Внутренняя ошибка: не удалось добавить запись "
                                         "поверяемого датчика в базу данных!"));
            deletePartialData();
            return false;
        }
        storedSensorIDs.push_back(s->ID);
    }
    return true;
}

bool VerificationSetup::storeBunch(int channel, const InspectionPage &page)
{
    TBunch &bunch = *pov.Bunches[channel];
    const int c = channel;
    TableRow row(tables::BunchesTP, {{"PoverkaID", pov.ID},
                                     {"ChannelNum", int(bunch.ChannelNum)},
                                     {"EtalSensorID", bunch.EtalSensor ? bunch.EtalSensor->ID : 0},
                                     {"PovTerminated", bunch.PovTerminated},
                                     {"PovTermMeasPointNum", int(bunch.PovTermMeasPointNum)},
                                     {"RecordCreationDateTime", programClock().now()}});
    for (int input = 1; input <= 4; ++input) {
        const int i = 4 * c - 4 + input;
        const QString n = QString::number(input);
        row.set(QStringLiteral("PovSensorID") + n,
                bunch.Sensors[input] ? bunch.Sensors[input]->ID : 0);
        row.set(QStringLiteral("ResultInp") + n, QString());
        row.set(QStringLiteral("DocNumInp") + n, QString());
        row.set(QStringLiteral("ExtSurveyNotesInp") + n, page.remarks[i].trimmed());
        row.set(QStringLiteral("InsulationStrengthInp") + n, page.strengths[i].trimmed());
        row.set(QStringLiteral("InsulationResistancePosInp") + n,
                resistanceValue(page.resistancePos[i]));
        row.set(QStringLiteral("InsulationResistanceNegInp") + n,
                resistanceValue(page.resistanceNeg[i]));
    }
    const bool inserted = db.DBBunchesTPInsert(row);
    bunch.ID = 0;
    if (inserted)
        bunch.ID = db.lastInsertedID();
    if (bunch.ID < 1) {
        bunch.ID = 0;
        dialogs.error(QStringLiteral(
            "Внутренняя ошибка: не удалось добавить запись пучка датчиков в базу данных!"));
        deletePartialData();
        return false;
    }
    return true;
}

bool VerificationSetup::storeConditions()
{
    if (StoreConditions(db, dialogs, pov.ID, conditions))
        return true;
    deletePartialData();
    return false;
}

} // namespace kront
