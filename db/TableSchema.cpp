#include "db/TableSchema.h"

namespace kront
{

namespace
{
using T = FieldType;

// Fields 2 to 12 shared by EtalSens and Sensors.
#define KRONT_SENSOR_FIELDS                                                                        \
    {"ID", T::AutoInc}, {"SerialNum", T::Text, 8}, {"ProdYear", T::SmallInt},                      \
        {"TypeName", T::Text, 20}, {"NSHType", T::Text, 5}, {"SensKind", T::Text, 5},              \
        {"Producer", T::Text, 40}, {"Etalon", T::Boolean}, {"ClassDop", T::Text, 3},               \
        {"Owner", T::Text, 40}, {"WDTHighLim", T::Float},                                          \
    {                                                                                              \
        "WDTLowLim", T::Float                                                                      \
    }

const FieldDef poverkiFields[] = {
    {"ID", T::AutoInc},           {"PovNum", T::Text, 8},
    {"Started", T::DateTime},     {"Finished", T::DateTime},
    {"GOSTnum", T::Text, 20},     {"Methodic", T::SmallInt},
    {"Kind", T::SmallInt},        {"InstabilityCheckNeeded", T::Boolean},
    {"InstabLimit", T::Float},    {"TempPointsCount", T::SmallInt},
    {"EquipmentParams", T::Memo}, {"CurrPovState", T::Text, 20},
};

const FieldDef etalSensFields[] = {
    KRONT_SENSOR_FIELDS,  {"Temp1", T::Float},  {"EMF1", T::Float},
    {"Temp2", T::Float},  {"EMF2", T::Float},   {"Temp3", T::Float},
    {"EMF3", T::Float},   {"Temp4", T::Float},  {"EMF4", T::Float},
    {"Temp5", T::Float},  {"EMF5", T::Float},   {"Temp6", T::Float},
    {"EMF6", T::Float},   {"Temp7", T::Float},  {"EMF7", T::Float},
    {"Temp8", T::Float},  {"EMF8", T::Float},   {"Temp9", T::Float},
    {"EMF9", T::Float},   {"Temp10", T::Float}, {"EMF10", T::Float},
    {"Temp11", T::Float}, {"EMF11", T::Float},  {"Temp12", T::Float},
    {"EMF12", T::Float},  {"Temp13", T::Float}, {"EMF13", T::Float},
    {"Temp14", T::Float}, {"EMF14", T::Float},  {"Temp15", T::Float},
    {"EMF15", T::Float},  {"Temp16", T::Float}, {"EMF16", T::Float},
    {"Temp17", T::Float}, {"EMF17", T::Float},  {"RecordCreationDateTime", T::DateTime},
};

const FieldDef sensorsFields[] = {
    KRONT_SENSOR_FIELDS,
    {"Diameter", T::Float},
    {"Mass", T::Float},
    {"RecordCreationDateTime", T::DateTime},
};
#undef KRONT_SENSOR_FIELDS

const FieldDef bunchesFields[] = {
    {"ID", T::AutoInc},
    {"PoverkaID", T::Integer},
    {"ChannelNum", T::SmallInt},
    {"EtalSensorID", T::Integer},
    {"PovSensorID1", T::Integer},
    {"PovSensorID2", T::Integer},
    {"PovSensorID3", T::Integer},
    {"PovSensorID4", T::Integer},
    {"ResultInp1", T::Text, 3},
    {"ResultInp2", T::Text, 3},
    {"ResultInp3", T::Text, 3},
    {"ResultInp4", T::Text, 3},
    {"DocNumInp1", T::Text, 8},
    {"DocNumInp2", T::Text, 8},
    {"DocNumInp3", T::Text, 8},
    {"DocNumInp4", T::Text, 8},
    {"ExtSurveyNotesInp1", T::Text, 80},
    {"ExtSurveyNotesInp2", T::Text, 80},
    {"ExtSurveyNotesInp3", T::Text, 80},
    {"ExtSurveyNotesInp4", T::Text, 80},
    {"InsulationStrengthInp1", T::Text, 20},
    {"InsulationStrengthInp2", T::Text, 20},
    {"InsulationStrengthInp3", T::Text, 20},
    {"InsulationStrengthInp4", T::Text, 20},
    {"InsulationResistancePosInp1", T::Float},
    {"InsulationResistanceNegInp1", T::Float},
    {"InsulationResistancePosInp2", T::Float},
    {"InsulationResistanceNegInp2", T::Float},
    {"InsulationResistancePosInp3", T::Float},
    {"InsulationResistanceNegInp3", T::Float},
    {"InsulationResistancePosInp4", T::Float},
    {"InsulationResistanceNegInp4", T::Float},
    {"PovTerminated", T::Boolean},
    {"PovTermMeasPointNum", T::SmallInt},
    {"EmittedDocIDInp1", T::Integer},
    {"EmittedDocIDInp2", T::Integer},
    {"EmittedDocIDInp3", T::Integer},
    {"EmittedDocIDInp4", T::Integer},
    {"RecordCreationDateTime", T::DateTime},
};

const FieldDef resultsFields[] = {
    {"PoverkaID", T::Integer},
    {"BunchID", T::Integer},
    {"Methodic", T::SmallInt},
    {"Stage", T::Text, 20},
    {"MeasPointNum", T::SmallInt},
    {"MeasNum", T::SmallInt},
    {"E_Tsk", T::Float},
    {"Tsk", T::Float},
    {"E_et", T::Float},
    {"E_pret", T::Float},
    {"t_et", T::Float},
    {"t_pret", T::Float},
    {"TEDSe1Inp1", T::Float},
    {"TEDSe2Inp1", T::Float},
    {"TEDSe1Inp2", T::Float},
    {"TEDSe2Inp2", T::Float},
    {"TEDSe1Inp3", T::Float},
    {"TEDSe2Inp3", T::Float},
    {"TEDSe1Inp4", T::Float},
    {"TEDSe2Inp4", T::Float},
    {"Operation", T::Text, 10},
    {"EtalSensorType", T::SmallInt},
    {"RecordCreationDateTime", T::DateTime},
};

const FieldDef documentsFields[] = {
    {"ID", T::AutoInc},
    {"DocType", T::Boolean},
    {"DocNum", T::Text, 8},
    {"MetrologyOrganName", T::Text, 255},
    {"NameSI", T::Text, 120},
    {"SerNumPred", T::Text, 80},
    {"ZavNum", T::Text, 8},
    {"Owner", T::Text, 40},
    {"PovKind", T::Boolean},
    {"Class", T::Text, 3},
    {"Prichina", T::Text, 510},
    {"DolgRuk", T::Text, 80},
    {"NameRuk", T::Text, 60},
    {"NamePov", T::Text, 60},
    {"DateDoc", T::Text, 10},
    {"DateActing", T::Text, 10},
    {"Glubina", T::Text, 4},
    {"Diameter", T::Text, 4},
    {"Dlina", T::Text, 4},
    {"Massa", T::Text, 4},
    {"RecordCreationDateTime", T::DateTime},
};

// The reasons of unfitness stored with a notice, by its Documents row.
const FieldDef izvReasonsFields[] = {
    {"ID", T::AutoInc},
    {"DocID", T::Integer},
    {"Reasons", T::Text, 1024},
};

// The conditions of a verification (Poverki row PoverkaID) and its verifier.
const FieldDef conditionsFields[] = {
    {"ID", T::AutoInc},         {"PoverkaID", T::Integer}, {"Temperature", T::Float},
    {"Pressure", T::Float},     {"Humidity", T::Float},    {"OtherFactors", T::Text, 128},
    {"Verifier", T::Text, 128},
};

// The thermocouple types of the register of verified sensors by their TypeName, with the number
// of the type in the state register of measuring instruments, its modification and its
// verification interval in months.
const FieldDef sensorTypesFields[] = {
    {"ID", T::AutoInc},
    {"TypeName", T::Text, 20},
    {"TypeNumber", T::Text, 32},
    {"Modification", T::Text, 128},
    {"IntervalMonths", T::Integer},
};

// The means of verification of the installation: its auxiliary instruments (EtalSensID 0; kind,
// type number, serial number) and the registration number as a standard of each reference
// thermocouple (EtalSensID of its EtalSens row, RegNumber).
const FieldDef meansFields[] = {
    {"ID", T::AutoInc},          {"EtalSensID", T::Integer},  {"Kind", T::Text, 60},
    {"TypeNumber", T::Text, 32}, {"SerialNum", T::Text, 128}, {"RegNumber", T::Text, 32},
};

// One row per thermocouple written to a registry import file.
const FieldDef registryExportsFields[] = {
    {"ID", T::AutoInc},        {"SensorID", T::Integer},   {"PoverkaID", T::Integer},
    {"Exported", T::DateTime}, {"FileName", T::Text, 255},
};

// The installation where a verification (Poverki row PoverkaID) was started,
// when several installations share one server.
const FieldDef installationsFields[] = {
    {"ID", T::AutoInc},
    {"PoverkaID", T::Integer},
    {"Installation", T::Text, 64},
};

// The next number of each kind of document (Name) on a server shared by
// several installations.
const FieldDef docCountersFields[] = {
    {"ID", T::AutoInc},
    {"Name", T::Text, 32},
    {"Value", T::Integer},
};

const IndexDef poverkiIndexes[] = {{"PoverkaIDIndex", "ID"}};
const IndexDef etalSensIndexes[] = {{"EtalSensIDIndex", "ID"}};
const IndexDef sensorsIndexes[] = {{"SensorIDIndex", "ID"}};
const IndexDef bunchesIndexes[] = {{"BunchIDIndex", "ID"}};
const IndexDef resultsIndexes[] = {{"PoverkaIDIndex", "PoverkaID"}};
const IndexDef documentsIndexes[] = {{"DocIDIndex", "ID"}};
const IndexDef izvReasonsIndexes[] = {{"IzvReasonsIDIndex", "ID"}};
const IndexDef conditionsIndexes[] = {{"ConditionsIDIndex", "ID"}};
const IndexDef sensorTypesIndexes[] = {{"SensorTypesIDIndex", "ID"}};
const IndexDef meansIndexes[] = {{"MeansIDIndex", "ID"}};
const IndexDef registryExportsIndexes[] = {{"RegistryExportsIDIndex", "ID"}};
const IndexDef installationsIndexes[] = {{"InstallationsIDIndex", "ID"}};
const IndexDef docCountersIndexes[] = {{"DocCountersIDIndex", "ID"}};

// Indexes for the lookups the program makes: by number and date of a
// verification, unfinished and finished verifications, sensors by serial
// number, bunches and results of a verification, bunches by their sensors
// (the history of a thermocouple), documents by date.
const IndexDef poverkiQueryIndexes[] = {
    {"PoverkaPovNumIndex", "PovNum"},
    // unfinished and finished verifications, and the results search by kind
    // or by method: its grid order with both tested before the row is read
    {"PoverkaFinishedSearchIndex", "Finished,ID,Kind,Methodic"}};
const IndexDef etalSensQueryIndexes[] = {{"EtalSensSerialNumIndex", "SerialNum"}};
const IndexDef sensorsQueryIndexes[] = {{"SensorSerialNumIndex", "SerialNum"}};
// A reference's bunches come with their verifications from its index alone: a
// reference of twenty years served in thousands of bunches all over the file.
const IndexDef bunchesQueryIndexes[] = {{"BunchPoverkaIDIndex", "PoverkaID,ChannelNum"},
                                        {"BunchEtalSensorPoverkaIndex", "EtalSensorID,PoverkaID"},
                                        {"BunchPovSensorID1Index", "PovSensorID1"},
                                        {"BunchPovSensorID2Index", "PovSensorID2"},
                                        {"BunchPovSensorID3Index", "PovSensorID3"},
                                        {"BunchPovSensorID4Index", "PovSensorID4"}};
const IndexDef resultsQueryIndexes[] = {{"ResultsBunchIndex", "PoverkaID,BunchID,Stage"}};
const IndexDef documentsQueryIndexes[] = {{"DocDateDocIndex", "DateDoc"}};
const IndexDef izvReasonsQueryIndexes[] = {{"IzvReasonsDocIDIndex", "DocID"}};
const IndexDef conditionsQueryIndexes[] = {{"ConditionsPoverkaIDIndex", "PoverkaID"}};
const IndexDef registryExportsQueryIndexes[] = {{"RegistryExportsPoverkaIDIndex", "PoverkaID"}};
const IndexDef installationsQueryIndexes[] = {{"InstallationsPoverkaIDIndex", "PoverkaID"},
                                              {"InstallationsNameIndex", "Installation"}};
const IndexDef docCountersQueryIndexes[] = {{"DocCountersNameIndex", "Name"}};

} // namespace

namespace tables
{
const TableSchema Poverki{
    "Poverki",
    poverkiFields,
    poverkiIndexes,
    poverkiQueryIndexes,
    "Не удалось открыть базу данных поверок! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных поверок! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных поверок! Операция отменена."};
const TableSchema EtalSens{
    "EtalSens",
    etalSensFields,
    etalSensIndexes,
    etalSensQueryIndexes,
    "Не удалось открыть базу данных эталонных датчиков! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных эталонных датчиков! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных эталонных датчиков! Операция отменена."};
const TableSchema Sensors{
    "Sensors",
    sensorsFields,
    sensorsIndexes,
    sensorsQueryIndexes,
    "Не удалось открыть базу данных датчиков! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных датчиков! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных датчиков! Операция отменена."};
const TableSchema BunchesTP{
    "BunchesTP",
    bunchesFields,
    bunchesIndexes,
    bunchesQueryIndexes,
    "Не удалось открыть базу данных пучков ТП! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных пучков ТП! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных пучков ТП! Операция отменена."};
const TableSchema ResultsTP{
    "ResultsTP",
    resultsFields,
    resultsIndexes,
    resultsQueryIndexes,
    "Не удалось открыть базу данных результатов поверки ТП! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных результатов поверок ТП! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных результатов поверок ТП! Операция отменена."};
const TableSchema Documents{
    "Documents",
    documentsFields,
    documentsIndexes,
    documentsQueryIndexes,
    "Не удалось открыть базу данных выданных документов! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных выданных документов! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных выданных документов! Операция добавления документа "
    "отменена."};
const TableSchema IzvReasons{
    "IzvReasons",
    izvReasonsFields,
    izvReasonsIndexes,
    izvReasonsQueryIndexes,
    "Не удалось открыть базу данных причин непригодности! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных причин непригодности! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных причин непригодности! Операция добавления документа "
    "отменена."};
const TableSchema Conditions{
    "Conditions",
    conditionsFields,
    conditionsIndexes,
    conditionsQueryIndexes,
    "Не удалось открыть базу данных условий поверки! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных условий поверки! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных условий поверки! Операция отменена."};
const TableSchema SensorTypes{
    "SensorTypes",
    sensorTypesFields,
    sensorTypesIndexes,
    {},
    "Не удалось открыть базу данных типов датчиков! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных типов датчиков! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных типов датчиков! Операция отменена."};
const TableSchema Means{
    "Means",
    meansFields,
    meansIndexes,
    {},
    "Не удалось открыть базу данных средств поверки! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных средств поверки! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных средств поверки! Операция отменена."};
const TableSchema RegistryExports{
    "RegistryExports",
    registryExportsFields,
    registryExportsIndexes,
    registryExportsQueryIndexes,
    "Не удалось открыть базу данных выгрузок во ФГИС! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных выгрузок во ФГИС! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных выгрузок во ФГИС! Операция отменена."};
const TableSchema Installations{
    "Installations",
    installationsFields,
    installationsIndexes,
    installationsQueryIndexes,
    "Не удалось открыть базу данных установок! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных установок! Устаните причину и перезапустите программу.",
    "Не удалось открыть базу данных установок! Операция отменена."};
const TableSchema DocCounters{
    "DocCounters",
    docCountersFields,
    docCountersIndexes,
    docCountersQueryIndexes,
    "Не удалось открыть базу данных номеров документов! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных номеров документов! Устаните причину и перезапустите "
    "программу.",
    "Не удалось открыть базу данных номеров документов! Операция отменена."};
} // namespace tables

int TableSchema::fieldIndex(QStringView fieldName) const
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fieldName.compare(QLatin1String(fields[i].name), Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return -1;
}

const std::array<const TableSchema *, 6> &allTables()
{
    static const std::array<const TableSchema *, 6> list = {&tables::Poverki,   &tables::EtalSens,
                                                            &tables::Sensors,   &tables::BunchesTP,
                                                            &tables::ResultsTP, &tables::Documents};
    return list;
}

const AddedTables &addedTables()
{
    static const AddedTables list = {&tables::IzvReasons,      &tables::Conditions,
                                     &tables::SensorTypes,     &tables::Means,
                                     &tables::RegistryExports, &tables::Installations};
    return list;
}

const std::array<const TableSchema *, 1> &serverOnlyTables()
{
    static const std::array<const TableSchema *, 1> list = {&tables::DocCounters};
    return list;
}

const TableSchema *findTable(const QString &name)
{
    for (const TableSchema *t : allTables()) {
        if (name == QLatin1String(t->name))
            return t;
    }
    for (const TableSchema *t : addedTables()) {
        if (name == QLatin1String(t->name))
            return t;
    }
    for (const TableSchema *t : serverOnlyTables()) {
        if (name == QLatin1String(t->name))
            return t;
    }
    return nullptr;
}

QStringList retiredIndexes(const TableSchema &schema)
{
    // The finished verifications' own index: the search index begins with Finished.
    if (&schema == &tables::Poverki)
        return {QStringLiteral("PoverkaFinishedIndex")};
    return {};
}

} // namespace kront
