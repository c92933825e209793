#include "reports/ReportVariables.h"
#include "db/VerificationConditions.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "reports/DocumentTypes.h"
#include "reports/ProtocolData.h"
#include "tests/reports/ReportsFixture.h"

namespace kront::test
{
namespace
{

// A verification object built in memory (no table is read except for the
// names served from the bunch row, which the fixture stores).
class ReportVariablesTest : public ReportsFixture
{
protected:
    TPoverka poverka;
    TBunch bunch1, bunch2;
    ProtocolState protocol;
    DocumentState document;
    int r1 = 0, r2 = 0;
    ReportVariables vars{db, protocol, document, [this](const QString &set) {
                             return set == QLatin1String("frxUserDataSet1") ? r1 : r2;
                         }};

    void addSensor(TBunch &b, int input, quint8 nsh, const QString &serial)
    {
        TThermometer *s = b.CreateSensor(skTP, input);
        s->NSHType = nsh;
        s->SerialNum = serial;
        s->TypeName = QStringLiteral("ТП-%1").arg(input);
        s->ProdYear = 2019;
        s->ClassDop = 1;
        s->Owner = QStringLiteral("ООО «Завод»");
        s->WDTLowLim = -40;
        s->WDTHighLim = 1100.5;
        s->Diameter = 0.5;
        s->Mass = 1.25;
    }

    void setUpDirect(bool instability)
    {
        poverka.PovNum = QStringLiteral("17");
        poverka.Methodic = 0;
        poverka.Kind = 1;
        poverka.InstabilityCheckNeeded = instability;
        poverka.TempPointsCount = 2;
        poverka.Finished = QDateTime(QDate(2026, 12, 9), QTime(15, 4, 5));
        poverka.EquipmentParams = {QStringLiteral("Печь"), QStringLiteral("Вольтметр")};
        addSensor(bunch1, 1, nshTHA, QStringLiteral("A1"));
        addSensor(bunch1, 2, nshTHK, QStringLiteral("B2"));
        addSensor(bunch1, 4, nshTHA, QStringLiteral("D4"));
        poverka.Bunches[1] = &bunch1;
        protocol.poverka = &poverka;
        protocol.ProtChannelSlot = 1;
        protocol.ProtPointsCount = 2;
        protocol.ProtPointsDirect.resize(instability ? 4 : 2);
        for (auto &p : protocol.ProtPointsDirect)
            for (auto &row : p.cell)
                row.fill(1.0);
    }

    QString value(const QString &name) const
    {
        const QVariant v = vars.frxReport1GetValue(name);
        return v.isValid() ? v.toString() : QStringLiteral("<unanswered>");
    }
    auto &D(int p) { return protocol.ProtPointsDirect[p].cell; }
    auto &E(int p) { return protocol.ProtPointsElectrode[p].cell; }
};

TEST_F(ReportVariablesTest, DirectMethodNamesAndFormats)
{
    setUpDirect(true);
    D(0)[0][0] = 45.6789;
    D(0)[0][2] = 45.6789;
    D(0)[1][0] = -300;
    D(0)[1][1] = -299.5;
    D(0)[2][0] = -298;
    D(0)[2][2] = -298;
    D(0)[0][4] = 7.5; // input 3: no sensor
    D(1)[5][0] = 21.456;
    D(1)[6][0] = 12.3456;
    D(1)[9][5] = 0.5;
    D(2)[8][2] = 0.25; // before annealing
    D(3)[8][2] = 0.73; // after annealing
    D(2)[8][3] = -0.105;
    D(3)[8][3] = 0.0;
    D(2)[8][5] = 0.1;
    D(3)[8][5] = -300;
    D(3)[0][0] = 9.87654;

    struct Case {
        int r1, r2;
        const char *name;
        const char *expected;
    };
    const Case cases[] = {
        {0, 0, "E_ET_1", "45,679"},
        {0, 0, "e_et_1", "45,679"},
        {0, 0, "POV_TP1_VAL_1", "45,68"},
        {0, 0, "pov_tp1_val_1", "45,68"},
        {0, 0, "E_ET_2", ""},
        {0, 0, "T_ET_2", ""},
        {0, 0, "E_ET_3", "-298,000"},
        {0, 0, "POV_TP1_VAL_3", "-298,00"},
        {0, 0, "POV_TP3_VAL_1", ""},
        {0, 0, "POV_TP3_TYPE", ""},
        {0, 0, "POV_TP3_OWNER", ""},
        {0, 0, "E_ET_4", "1,000"},
        {1, 0, "T_SK", "21,46"},
        {1, 0, "PR_ET", "12,346"},
        {1, 0, "POV_TP4_DELTA_DOP", "0,500"},
        {1, 0, "POV_TP4_VAL_DELTA", "1,00"},
        {1, 0, "E_TSK", "1,000"},
        {0, 1, "I_E_ET_1", "9,877"},
        {0, 0, "I_E_ET_1", "1,000"},
        {0, 0, "I_POV_TP1_DELTA_N", "0,48"},
        {1, 1, "I_POV_TP1_DELTA_N", "0,48"},
        {0, 0, "I_POV_TP2_DELTA_N", "0,10"}, // 0.105 to two decimals, half to even
        {0, 0, "I_POV_TP4_DELTA_N", ""},
        {0, 0, "I_POV_TP3_DELTA_N", ""},
        {0, 0, "BURN_STAGE", "ДО"},
        {0, 1, "BURN_STAGE", "ПОСЛЕ"},
        {0, 1, "BURN_STAGE_NUM", "2"},
        {0, 0, "POV_TP1_VALE1_1", "<unanswered>"},
        {0, 0, "POV_TP1_VAL_DE", "<unanswered>"},
        {0, 0, "E_ET_5", "<unanswered>"},
        {0, 0, "NUM_SVID", "<unanswered>"},
        {0, 0, "POV_KIND", "<unanswered>"},
        {0, 0, "POV_TYPE", "периодической"},
        {0, 0, "POV_DATE", "09.12.2026 15:04:05"},
        {0, 0, "POV_NUM", "17"},
        {0, 0, "POV_TP_TYPES", "ТХА, ТХК"},
        {0, 0, "EquipParamsTP", "Печь\r\nВольтметр\r\n"},
        {0, 0, "POV_TP1_TYPE", "ТХА, ТП-1"},
        {0, 0, "POV_TP1_NUM", "A1"},
        {0, 0, "POV_TP1_GOD", ", 2019"},
        {0, 0, "POV_TP1_CLS", "2"},
        {0, 0, "POV_TP1_WDT", "От -40 до 1100,5"},
        {0, 0, "POV_TP1_DIAM", "0,5"},
        {0, 0, "POV_TP1_MASS", "1,25"},
        {0, 0, "POV_TP1_OWNER", "ООО «Завод»"},
    };
    for (const Case &c : cases) {
        r1 = c.r1;
        r2 = c.r2;
        EXPECT_EQ(value(QLatin1String(c.name)), QString::fromUtf8(c.expected))
            << c.name << " at " << c.r1 << '/' << c.r2;
    }
}

TEST_F(ReportVariablesTest, AYearDiameterOrMassNotGivenPrintsNothing)
{
    setUpDirect(false);
    // The sensor tables hold 0 for a value the operator left empty.
    TThermometer &unknown = *bunch1.Sensor(2);
    unknown.ProdYear = 0;
    unknown.Diameter = 0;
    unknown.Mass = 0;
    const std::pair<const char *, const char *> cases[] = {
        {"POV_TP2_NUM", "B2"},    {"POV_TP2_GOD", ""},       {"POV_TP2_DIAM", ""},
        {"POV_TP2_MASS", ""},     {"POV_TP1_GOD", ", 2019"}, {"POV_TP1_DIAM", "0,5"},
        {"POV_TP1_MASS", "1,25"},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(value(QLatin1String(name)), QString::fromUtf8(expected)) << name;
}

TEST_F(ReportVariablesTest, InstabilityNamesWithoutTheCheck)
{
    setUpDirect(false);
    EXPECT_EQ(value("BURN_STAGE"), "<unanswered>");
    EXPECT_EQ(value("I_E_ET_1"), "<unanswered>");
    EXPECT_EQ(value("I_POV_TP1_DELTA_N"), "<unanswered>");

    poverka.Methodic = 1;
    protocol.ProtPointsDirect.clear();
    protocol.ProtPointsElectrode.resize(2);
    EXPECT_EQ(value("BURN_STAGE"), "");
    EXPECT_EQ(value("BURN_STAGE_NUM"), "");
    EXPECT_EQ(value("I_POV_TP1_VALe1_1"), "");
    EXPECT_EQ(value("I_POV_TP1_DELTA_N"), "");
    EXPECT_EQ(value("I_E_ET_3"), "<unanswered>"); // not an electrode name at all
}

TEST_F(ReportVariablesTest, ElectrodeMethodNamesAndFormats)
{
    setUpDirect(true);
    poverka.Methodic = 1;
    protocol.ProtPointsDirect.clear();
    protocol.ProtPointsElectrode.resize(4);
    E(0)[0][0] = 1.23456;
    E(0)[0][1] = 5; // measurement rows carry no temperature; a stray value shows as stored
    E(0)[1][2] = 2.0004;
    E(0)[1][3] = 2.0006;
    E(0)[2][9] = 4.4444;
    E(0)[3][0] = 22.555;
    E(0)[3][5] = -0.0125;
    E(0)[7][2] = 0.75;
    E(2)[6][2] = 0.25;
    E(3)[6][2] = -0.2345;
    const std::pair<const char *, const char *> cases[] = {
        {"E_ET_1", "1,235"},
        {"T_ET_2", ""},
        {"E_ET_3", "<unanswered>"},
        {"POV_TP1_VAL_1", "<unanswered>"},
        {"POV_TP1_VALe1_2", "2,000"},
        {"POV_TP1_VALe2_2", "2,001"},
        {"pov_tp4_vale2_avg", "4,444"},
        {"T_SK", "22,56"},
        {"POV_TP4_VAL_DE", "-0,013"},
        {"POV_TP1_DELTA_DOP", "0,750"},
        {"I_POV_TP1_DELTA_N", "0,484"}, // |0.25 + 0.2345| = 0.4845 to three decimals, half to even
        {"BURN_STAGE", "ДО"},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(value(QLatin1String(name)), QString::fromUtf8(expected)) << name;
}

TEST_F(ReportVariablesTest, NumberOfATwoBunchVerificationNamesTheChannel)
{
    const DirectFixture f = makeDirect();
    setUpDirect(false);
    bunch1.ID = f.bunch1;
    bunch2.ID = f.bunch2;
    protocol.ProtBunchID = f.bunch2;
    poverka.Bunches[2] = &bunch2;
    protocol.ProtChannelSlot = 2;
    EXPECT_EQ(value("POV_NUM"), "17/2");
    EXPECT_EQ(value("POV_TP_TYPES"), ""); // bunch 2 of the object has no sensor
    EXPECT_EQ(value("POV_TP1_RES_CLS"), "1");
    EXPECT_EQ(value("POV_TP1_ZAKL"), "Годен.");
}

// The header prints the conditions of the verification; one stored before
// they were kept prints nothing there.
TEST_F(ReportVariablesTest, ConditionsArePrintedWhenStored)
{
    const DirectFixture f = makeDirect();
    setUpDirect(false);
    poverka.ID = f.poverkaID;
    protocol.ProtBunchID = f.bunch1;
    for (const char *name : {"POV_CONDITIONS", "POV_COND_TEMPERATURE", "POV_COND_OTHER"})
        EXPECT_EQ(value(name), "") << name;
    VerificationConditions c;
    c.temperature = 21.5;
    c.pressure = 100.25;
    c.humidity = 48;
    c.otherFactors = QStringLiteral("напряжение сети 220 В");
    ASSERT_TRUE(StoreConditions(db, dialogs, poverka.ID, c));
    ASSERT_TRUE(StoreConditions(db, dialogs, poverka.ID + 1, {}));
    EXPECT_EQ(value("POV_CONDITIONS"),
              "температура окружающего воздуха 21,5 °C, атмосферное давление 100,25 кПа, "
              "относительная влажность 48 %; напряжение сети 220 В");
    EXPECT_EQ(value("pov_cond_pressure"), "100,25 кПа");
    EXPECT_EQ(value("POV_COND_HUMIDITY"), "48 %");
}

TEST_F(ReportVariablesTest, DateAtMidnightShowsTheDateAlone)
{
    setUpDirect(false);
    poverka.Finished = QDateTime(QDate(2026, 12, 9), QTime(0, 0));
    EXPECT_EQ(value("POV_DATE"), "09.12.2026");
}

TEST_F(ReportVariablesTest, DocumentModeAnswersOnlyTheDocumentNames)
{
    setUpDirect(false);
    document.DocPrintMode = true;
    TSensOpts s;
    s.SerialNum = QStringLiteral("A1");
    s.ProdYear = QStringLiteral("2019");
    s.NSHType = QStringLiteral("THA");
    s.Owner = QStringLiteral("ООО «Завод»");
    document.ChosenSensors = {s};
    TEmittedDoc &d = document.EmittedDoc;
    d.PovKind = QStringLiteral("первичной");
    d.Class = QStringLiteral("2");
    d.DolgRuk = QStringLiteral("Начальник");
    d.Diameter = QStringLiteral("0,5");
    d.Massa = QStringLiteral("1,2");
    d.MetrologyOrganName = QStringLiteral("'ФБУ «ЦСМ»|Отдел термометрии|'");
    d.DateDoc = QStringLiteral("10.12.2026");
    const std::pair<const char *, QString> cases[] = {
        {"POV_KIND", "первичной"},
        {"naim_si", "Преобразователь термоэлектрический " + NSHFullName("THA")},
        {"ZAV_NUM", "A1"},
        {"GOD_V", ", 2019"},
        {"NAIM_VLAD", "ООО «Завод»"},
        {"CLASS", "2"},
        {"DOLG_RUK", "Начальник"},
        {"DIAM", "0,5"},
        {"MASSA", "1,2"},
        {"NAIM_POVERITEL", "ФБУ «ЦСМ»\nОтдел термометрии"},
        {"DATE_SVID", "10.12.2026"},
        {"DATE_IZV", "10.12.2026"},
        {"E_ET_1", "<unanswered>"},
        {"POV_NUM", "<unanswered>"},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(value(QLatin1String(name)), expected) << name;
    document.ChosenSensors[0].ProdYear.clear();
    EXPECT_EQ(value("GOD_V"), "");
}

} // namespace
} // namespace kront::test
