#include "metrology/StepCalculation.h"

#include "tests/metrology/MetrologyFixture.h"

#include <QFile>

namespace kront
{
namespace
{

using std::nullopt;
using test::expectColumn;
using Opt = std::optional<double>;

constexpr double N = -300; // "none"

struct ExpectedRow {
    int measNum;
    const char *operation;
    Opt E_Tsk, Tsk, E_et, E_pret, t_et, t_pret;
    std::array<double, 4> e1;
    std::optional<std::array<double, 4>> e2;
};

void expectRows(const std::vector<QVariantMap> &rows, const std::vector<ExpectedRow> &expected,
                int methodic, int etalSensorType, const QString &stage, int point)
{
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const QVariantMap &row = rows[r];
        const ExpectedRow &e = expected[r];
        SCOPED_TRACE(e.operation);
        EXPECT_EQ(row.value("Operation").toString(), QString::fromUtf8(e.operation));
        EXPECT_EQ(row.value("MeasNum").toInt(), e.measNum);
        EXPECT_EQ(row.value("PoverkaID").toInt(), 1);
        EXPECT_EQ(row.value("Methodic").toInt(), methodic);
        EXPECT_EQ(row.value("Stage").toString(), stage);
        EXPECT_EQ(row.value("MeasPointNum").toInt(), point);
        EXPECT_EQ(row.value("EtalSensorType").toInt(), etalSensorType);
        EXPECT_EQ(row.value("RecordCreationDateTime").toDateTime(),
                  QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
        expectColumn(row, "E_Tsk", e.E_Tsk);
        expectColumn(row, "Tsk", e.Tsk);
        expectColumn(row, "E_et", e.E_et);
        expectColumn(row, "E_pret", e.E_pret);
        expectColumn(row, "t_et", e.t_et);
        expectColumn(row, "t_pret", e.t_pret);
        const char *e1[] = {"TEDSe1Inp1", "TEDSe1Inp2", "TEDSe1Inp3", "TEDSe1Inp4"};
        const char *e2[] = {"TEDSe2Inp1", "TEDSe2Inp2", "TEDSe2Inp3", "TEDSe2Inp4"};
        for (int i = 0; i < 4; ++i) {
            expectColumn(row, e1[i], e.e1[i]);
            expectColumn(row, e2[i], e.e2 ? Opt((*e.e2)[i]) : nullopt);
        }
    }
}

// The graduation of the reference ППО of the worked steps: 3.259 mV at 400 °C,
// 4.233 mV at 500 °C, 5.239 mV at 600 °C.
int insertReference(Database &db)
{
    const TableRow v(tables::EtalSens, {{"SerialNum", "E-17"},
                                        {"ProdYear", 2020},
                                        {"TypeName", "ППО"},
                                        {"NSHType", "PPO"},
                                        {"SensKind", "TP_PPO"},
                                        {"Producer", ""},
                                        {"Etalon", true},
                                        {"ClassDop", "1"},
                                        {"Owner", ""},
                                        {"WDTHighLim", 1200.0},
                                        {"WDTLowLim", 300.0},
                                        {"Temp1", 400.0},
                                        {"EMF1", 3.259},
                                        {"Temp2", 500.0},
                                        {"EMF2", 4.233},
                                        {"Temp3", 600.0},
                                        {"EMF3", 5.239}});
    db.DBEtalSensInsert(v);
    return db.DBGetMaxID(tables::EtalSens, "");
}

class StepCalculationTest : public test::MetrologyFixture
{
protected:
    void useReference()
    {
        TThermometer *etalon = bunch.CreateEtalSensor(skTP_PPO);
        etalon->ID = insertReference(db);
        etalon->NSHType = nshPPO;
        step.EtalKind = skTP_PPO;
    }
};

// Mercury thermometer 400.1 .. 400.3 °C with a correction of 0.15 °C, cold
// junction at 20 °C. The expected digits were computed independently from
// the published coefficients in exact decimal arithmetic:
//   K(20) = 0.79812, K(400.35) = 16.41193, S(20) = 0.11292, S(400.35) = 3.26271 mV,
//   K slope at 400.35 °C x 3.002625 °C = 0.12684, S slope x 1 °C = 0.00957 mV.
TEST_F(StepCalculationTest, DirectStepWithMercuryThermometer)
{
    addSensor(bunch, 1, nshTHA, 1, "101");   // K, class 2
    addSensor(bunch, 2, nshTPP10, 0, "102"); // S, class 1
    addSensor(bunch, 4, nshTSS, 0, "104");   // no characteristic
    setReadings(0, {400.1, 400.2, 400.2, 400.3});
    setReadings(1, {15.64, 15.66, 15.65, 15.65});
    setReadings(2, {4.10, 4.11, 4.1, 4.1096}); // average 4.1049
    setReadings(4, {5.0, 5.0, 5.0, 5.0});
    dialogs.queueInput(QStringLiteral("0,15"));

    const QString failing = CalculateStepResults(poverka, step, db, dialogs).value();

    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "input");
    EXPECT_EQ(dialogs.shown[0].caption, "Программа автоматизации КРОНТ");
    EXPECT_EQ(dialogs.shown[0].text,
              "Укажите значение поправки из свидетельства о поверке эталонного ртутного "
              "стеклянного термометра, соответствующее температуре 400,20 °C:");
    EXPECT_EQ(failing, "№ 102, подключенный ко входу 2 канала 1\r\n"
                       "№ 104, подключенный ко входу 4 канала 1");
    // clang-format off
    expectRows(calculationRows(), {
        {1, "Average",   nullopt, nullopt, nullopt, nullopt, 400.2, 400.35, {15.65, 4.10, 0, 5.00}, nullopt},
        {2, "E_t_sk",    nullopt, 20.0,    nullopt, nullopt, nullopt, nullopt, {0.80, 0.11, 0, N}, nullopt},
        {3, "E_pr_pov",  nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {16.45, 4.21, 0, N}, nullopt},
        {4, "E nsh",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {16.41, 3.26, 0, N}, nullopt},
        {5, "Delta",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.04, 0.95, 0, N}, nullopt},
        {6, "Delta dop", nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.127, 0.010, 0, N}, nullopt},
    }, 0, 0, "Calculation", 2);
    // clang-format on
}

// Reference ППО, 3.271/3.272 mV averaging 3.2715 -> 3.272 (half to even),
// cold junction 20 °C: E' = 3.272 + S(20) = 3.384919 mV, nearest point 400 °C
// at 3.259 mV, 9.6 µV/°C, t = 413.11657 -> 413.117 °C. S(413.117) = 3.38518,
// K(413.117) = 16.95171 mV; Δdop S class 1 = 0.00962, K class 2 = 0.13111 mV.
TEST_F(StepCalculationTest, ElectrodeStepWithReferenceThermocouple)
{
    poverka.Methodic = 1;
    poverka.StepIndex = 0;
    bunch.ChannelNum = 2;
    useReference();
    addSensor(bunch, 1, nshTPP10, 0, "201"); // S, class 1
    addSensor(bunch, 2, nshTHA, 1, "202");   // K, class 2: |Δ| equal to Δdop
    addSensor(bunch, 3, nshTHA, 1, "203");   // K, class 2: |Δ| 0.001 above
    step.Readings[1] = {3.271, 4.1048, 13.799, 13.801, 0, 4.100, 0.101, 0.102, 0};
    step.Readings[2] = {3.272, 4.1050, 13.801, 13.801, 0, 4.102, 0.103, 0.102, 0};

    const QString failing = CalculateStepResults(poverka, step, db, dialogs).value();

    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(failing, "№ 203, подключенный ко входу 3 канала 2");
    // clang-format off
    expectRows(calculationRows(), {
        {1, "Average",   0.113,   20.0,    3.272,   3.385,   413.117, nullopt, {4.105, 13.8, 13.801, 0}, {{4.101, 0.102, 0.102, 0}}},
        {2, "DeltaE",    nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.004, 13.698, 13.699, 0}, nullopt},
        {3, "E pov j",   nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {3.389, 17.083, 17.084, 0}, nullopt},
        {4, "E nsh",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {3.385, 16.952, 16.952, 0}, nullopt},
        {5, "Delta",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.004, 0.131, 0.132, 0}, nullopt},
        {6, "Delta dop", nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0.010, 0.131, 0.131, 0}, nullopt},
    }, 1, 1, "Calculation", 0);
    // clang-format on
}

TEST_F(StepCalculationTest, DirectStepWithReferenceThermocouple)
{
    useReference();
    addSensor(bunch, 3, nshTHA, 1, "303");
    setReadings(0, {3.271, 3.272, 3.272, 3.271});
    setReadings(3, {16.15, 16.15, 16.15, 16.15});

    EXPECT_EQ(CalculateStepResults(poverka, step, db, dialogs).value(), "");
    EXPECT_TRUE(dialogs.shown.empty());
    // clang-format off
    expectRows(calculationRows(), {
        {1, "Average",   nullopt, nullopt, 3.272,   3.385,   413.117, nullopt, {0, 0, 16.15, 0}, nullopt},
        {2, "E_t_sk",    0.113,   20.0,    nullopt, nullopt, nullopt, nullopt, {0, 0, 0.80, 0}, nullopt},
        {3, "E_pr_pov",  nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0, 0, 16.95, 0}, nullopt},
        {4, "E nsh",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0, 0, 16.95, 0}, nullopt},
        {5, "Delta",     nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0, 0, 0, 0}, nullopt},
        {6, "Delta dop", nullopt, nullopt, nullopt, nullopt, nullopt, nullopt, {0, 0, 0.131, 0}, nullopt},
    }, 0, 1, "Calculation", 2);
    // clang-format on
}

TEST_F(StepCalculationTest, ReferenceOutsideItsGraduationGivesNoDeviation)
{
    useReference();
    addSensor(bunch, 1, nshTHA, 1, "401");
    setReadings(0, {6.0, 6.0, 6.0, 6.0}); // above the graduated 5.239 mV
    setReadings(1, {16.15, 16.15, 16.15, 16.15});

    EXPECT_EQ(CalculateStepResults(poverka, step, db, dialogs).value(),
              "№ 401, подключенный ко входу 1 канала 1");
    const auto stored = calculationRows();
    ASSERT_EQ(stored.size(), 6u);
    expectColumn(stored[0], "t_et", -300);
    for (int r : {3, 4, 5})
        expectColumn(stored[r], "TEDSe1Inp1", -300);
}

TEST_F(StepCalculationTest, CancelledCorrectionIsZero)
{
    addSensor(bunch, 1, nshTHA, 1, "101");
    setReadings(0, {400.1, 400.2, 400.2, 400.3});
    dialogs.queueInput(nullopt);
    CalculateStepResults(poverka, step, db, dialogs);
    expectColumn(calculationRows().at(0), "t_pret", 400.2);
}

// A dialogs double that counts the step's stored calculation rows whenever
// the operator is asked for the correction.
class CountingDialogs : public test::ScriptedDialogs
{
public:
    std::function<int()> countRows;
    std::vector<int> countsAtPrompt;
    std::optional<QString> input(const QString &c, const QString &p, const QString &pre) override
    {
        countsAtPrompt.push_back(countRows());
        return ScriptedDialogs::input(c, p, pre);
    }
};

TEST_F(StepCalculationTest, RepeatedCalculationReplacesItsRowsOnlyAfterTheCorrectionIsKnown)
{
    poverka.Stage = stInstability;
    poverka.StepIndex = 1;
    addSensor(bunch, 1, nshTHA, 1, "101");
    setReadings(0, {400.1, 400.2, 400.2, 400.3});
    // A measurement row of the same step, stage and point, which must survive.
    test::ScriptedDialogs quiet;
    Database other(quiet);
    TableRow measure(tables::ResultsTP, {{"PoverkaID", 1},
                                         {"BunchID", 7},
                                         {"Methodic", 0},
                                         {"Stage", "Instability"},
                                         {"MeasPointNum", 1},
                                         {"MeasNum", 1},
                                         {"Operation", "Measure"},
                                         {"EtalSensorType", 0},
                                         {"RecordCreationDateTime", QDateTime::currentDateTime()}});
    for (const char *field : {"E_Tsk", "Tsk", "E_et", "E_pret", "t_et", "t_pret"})
        measure.set(field, 0.0);
    for (int input = 1; input <= 4; ++input) {
        measure.set(QStringLiteral("TEDSe1Inp%1").arg(input), 0.0);
        measure.set(QStringLiteral("TEDSe2Inp%1").arg(input), 0.0);
    }
    other.DBResultsTPInsert(measure);

    CountingDialogs asking;
    asking.countRows = [&] { return int(calculationRows().size()); };
    asking.queueInput(QStringLiteral("0"));
    CalculateStepResults(poverka, step, db, asking);
    asking.queueInput(QStringLiteral("ноль"));
    asking.queueInput(QStringLiteral(""));     // empty is no number either
    asking.queueInput(QStringLiteral("1е-1")); // Cyrillic е as the exponent letter
    CalculateStepResults(poverka, step, db, asking);

    EXPECT_EQ(asking.countsAtPrompt, (std::vector<int>{0, 6, 6, 6}));
    EXPECT_EQ(asking.texts().filter("недопустимое значение поправки").size(), 2);
    const auto stored = calculationRows();
    ASSERT_EQ(stored.size(), 6u);
    EXPECT_EQ(stored[0].value("Stage").toString(), "Instability");
    expectColumn(stored[0], "t_pret", 400.3);
    EXPECT_EQ(rows("Operation = 'Measure'").size(), 1u);
}

TEST_F(StepCalculationTest, UnreadableResultsTableIsReportedAndTheStepNotStored)
{
    addSensor(bunch, 1, nshTPP10, 0, "102");
    setReadings(0, {400.1, 400.2, 400.2, 400.3});
    setReadings(1, {4.10, 4.11, 4.1, 4.1096});
    QFile file(home.data("ResultsTP.cds"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a table file at all, just some bytes of rubbish ...........");
    file.close();

    EXPECT_EQ(CalculateStepResults(poverka, step, db, dialogs), std::nullopt);
    ASSERT_EQ(dialogs.shown.size(), 2u); // the correction prompt, then the failure
    EXPECT_EQ(dialogs.last().text, "Не удалось открыть базу данных результатов поверок ТП! "
                                   "Устаните причину и перезапустите программу.");
}

TEST_F(StepCalculationTest, UnknownMethodWritesNothing)
{
    poverka.Methodic = 2;
    addSensor(bunch, 1, nshTHA, 1, "101");
    EXPECT_EQ(CalculateStepResults(poverka, step, db, dialogs).value(), "");
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_TRUE(calculationRows().empty());
}

} // namespace
} // namespace kront
