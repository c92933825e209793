#include "reports/ProtocolData.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "reports/PoverkaLoader.h"
#include "tests/reports/ReportsFixture.h"

namespace kront::test
{
namespace
{

class ProtocolDataTest : public ReportsFixture
{
protected:
    // Loads the stored verification and fills the protocol state of `slot`.
    bool fill(int poverkaID, int slot)
    {
        poverka = LoadPoverkaForProtocol(db, dialogs, poverkaID);
        if (!poverka)
            return false;
        state.poverka = poverka.get();
        state.ProtChannelSlot = slot;
        state.ProtBunchID = poverka->Bunches[slot]->ID;
        state.ProtPointsCount = ProtocolPointsCount(*poverka, *poverka->Bunches[slot]);
        const int slots = state.ProtPointsCount + (poverka->InstabilityCheckNeeded ? 2 : 0);
        if (poverka->Methodic != 0)
            state.ProtPointsElectrode.resize(slots);
        else
            state.ProtPointsDirect.resize(slots);
        return DBGetProtData(db, state, poverkaID, state.ProtBunchID);
    }
    std::unique_ptr<TPoverka> poverka;
    ProtocolState state;
};

TEST_F(ProtocolDataTest, DirectTableTakesEveryFieldIntoItsCell)
{
    const DirectFixture f = makeDirect();
    ASSERT_TRUE(fill(f.poverkaID, 1));
    EXPECT_EQ(poverka->PovNum, QStringLiteral("17"));
    EXPECT_EQ(poverka->EquipmentParams,
              QStringList({QStringLiteral("Печь КРОНТ-2М"), QStringLiteral("Вольтметр ТАВЕР-7")}));
    ASSERT_EQ(state.ProtPointsDirect.size(), 4u); // 2 points + before and after annealing
    EXPECT_TRUE(state.ProtPointsElectrode.empty());
    // {row, column}: stored or absent. Input 3 has no sensor; row 6 column 0
    // holds E_pret of the Average row; the dashes of the layout stay absent.
    struct Cell {
        int row, column;
        bool stored;
        int sourceRow;
    };
    const Cell cells[] = {
        {0, 0, true, 0},  {0, 1, true, 0},  {3, 5, true, 3},  {4, 0, true, 4},  {4, 1, true, 4},
        {4, 2, true, 4},  {5, 0, true, 5},  {5, 1, true, 5},  {5, 3, true, 5},  {6, 0, true, 6},
        {6, 2, true, 6},  {7, 2, true, 7},  {8, 5, true, 8},  {9, 2, true, 9},  {0, 4, false, 0},
        {9, 4, false, 0}, {6, 1, false, 0}, {7, 0, false, 0}, {7, 1, false, 0}, {9, 0, false, 0},
    };
    for (int slot = 0; slot < 4; ++slot) {
        for (const Cell &c : cells) {
            const double v = state.ProtPointsDirect[slot].cell[c.row][c.column];
            if (c.stored)
                EXPECT_DOUBLE_EQ(v, sampleValue(slot, c.sourceRow, c.column))
                    << slot << ':' << c.row << ',' << c.column;
            else
                EXPECT_DOUBLE_EQ(v, AbsentValue) << slot << ':' << c.row << ',' << c.column;
        }
    }
}

TEST_F(ProtocolDataTest, ReferenceValueOfRowSixPrefersEPretOverTPret)
{
    const int pov = insertPoverka("M", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 2);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"S1", "THA", "", ""}), 0, 0, 0};
    const int bunch = insertBunch(b);
    const std::array<bool, 5> in{false, true, false, false, false};
    insertDirectPoint(pov, bunch, 0, "MainCycle", "Calculation", 0, in);
    insertDirectPoint(pov, bunch, 1, "MainCycle", "Calculation", 1, in);
    // Point 0 stores t_pret too, point 1 only t_pret (a mercury reference).
    db.updateWhere(
        tables::ResultsTP,
        QStringLiteral("BunchID = %1 and Operation = 'Average' and MeasPointNum = 0").arg(bunch),
        {{"t_pret", 400.5}});
    db.updateWhere(
        tables::ResultsTP,
        QStringLiteral("BunchID = %1 and Operation = 'Average' and MeasPointNum = 1").arg(bunch),
        {{"t_pret", 401.5}, {"E_pret", QVariant()}});
    ASSERT_TRUE(fill(pov, 1));
    EXPECT_DOUBLE_EQ(state.ProtPointsDirect[0].cell[6][0], sampleValue(0, 6, 0));
    EXPECT_DOUBLE_EQ(state.ProtPointsDirect[1].cell[6][0], 401.5);
}

TEST_F(ProtocolDataTest, InterruptedBunchPrintsPointsUpToWhereItStopped)
{
    const int pov = insertPoverka("T", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 5);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"S1", "THA", "", ""}), 0, 0, 0};
    b.terminated = true;
    b.termPoint = 2;
    const int bunch = insertBunch(b);
    for (int p = 0; p < 3; ++p)
        insertDirectPoint(pov, bunch, p, "MainCycle", "Calculation", p,
                          {false, true, false, false, false});
    ASSERT_TRUE(fill(pov, 1));
    EXPECT_EQ(state.ProtPointsCount, 3);
    EXPECT_EQ(state.ProtPointsDirect.size(), 3u);
}

TEST_F(ProtocolDataTest, AMissingRowRefusesTheProtocol)
{
    const int pov = insertPoverka("X", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 2);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"S1", "THA", "", ""}), 0, 0, 0};
    const int bunch = insertBunch(b);
    // Point 1 never completed: its calculation rows are missing.
    insertDirectPoint(pov, bunch, 0, "MainCycle", "Calculation", 0,
                      {false, true, false, false, false});
    insertDirectPoint(pov, bunch, 1, "MainCycle", "Calculation", 1,
                      {false, true, false, false, false});
    db.DBDeleteResultsTPFilter(
        QStringLiteral("BunchID = %1 and MeasPointNum = 1 and Operation = 'Delta dop'").arg(bunch));
    EXPECT_FALSE(fill(pov, 1));
    // The cells filled before the missing row stay filled.
    EXPECT_DOUBLE_EQ(state.ProtPointsDirect[0].cell[9][2], sampleValue(0, 9, 2));
    EXPECT_DOUBLE_EQ(state.ProtPointsDirect[1].cell[8][2], sampleValue(1, 8, 2));
}

TEST_F(ProtocolDataTest, ElectrodeTableTakesBothElectrodesAndTheAverageRowReferences)
{
    const ElectrodeFixture f = makeElectrode();
    ASSERT_TRUE(fill(f.poverkaID, 1));
    ASSERT_EQ(state.ProtPointsElectrode.size(), 1u);
    const auto &c = state.ProtPointsElectrode[0].cell;
    EXPECT_DOUBLE_EQ(c[0][0], sampleValue(0, 0, 0));
    EXPECT_DOUBLE_EQ(c[1][2], sampleValue(0, 1, 2));
    EXPECT_DOUBLE_EQ(c[1][3], sampleValue(0, 1, 3));
    EXPECT_DOUBLE_EQ(c[2][7], sampleValue(0, 2, 7)); // input 3, electrode 2
    EXPECT_DOUBLE_EQ(c[3][0], sampleValue(0, 3, 0)); // Tsk of the Average row
    EXPECT_DOUBLE_EQ(c[3][1], sampleValue(0, 3, 1)); // E_Tsk of the Average row
    EXPECT_DOUBLE_EQ(c[4][0], sampleValue(0, 4, 0)); // E_pret of the Average row
    EXPECT_DOUBLE_EQ(c[7][4], sampleValue(0, 7, 4)); // Delta dop of input 3
    EXPECT_DOUBLE_EQ(c[0][1], AbsentValue);          // measurements carry no temperature
    EXPECT_DOUBLE_EQ(c[1][1], AbsentValue);
    EXPECT_DOUBLE_EQ(c[0][4], AbsentValue); // input 2 without a sensor
    EXPECT_DOUBLE_EQ(c[5][6], AbsentValue); // columns 6..9 unused from row 3
}

TEST_F(ProtocolDataTest, BunchDetailsGiveTextsAndConclusions)
{
    const int pov = insertPoverka("D", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 1);
    BunchRow b;
    b.poverkaID = pov;
    b.channel = 2;
    b.sensors = {0, 11, 12, 13, 14};
    b.results = {QString(), QStringLiteral("Бр."), QStringLiteral("Бр."), QStringLiteral("2"),
                 QString()};
    b.docNums = {QString(), QString(), QStringLiteral("12А"), QStringLiteral("0007"), QString()};
    b.resistPos = {0, 20, 1.5e-7, -300, 100};
    b.resistNeg = {0, 21, 2, 5, -299.5};
    const int bunch = insertBunch(b);
    const BunchTPDetails d = DBGetBunchTPDetails(db, bunch);
    EXPECT_EQ(d.ChannelNum, 2);
    EXPECT_EQ(d.result[1], QStringLiteral("Брак"));
    EXPECT_EQ(d.result[3], QStringLiteral("2"));
    EXPECT_EQ(d.conclusion[1], QStringLiteral("Не годен."));
    EXPECT_EQ(d.conclusion[2],
              QStringLiteral("Не годен. Выдано извещение о непригодности к применению № 12А"));
    EXPECT_EQ(d.conclusion[3], QStringLiteral("Годен. Выдано свидетельство о поверке № 0007"));
    EXPECT_EQ(d.conclusion[4], QString());
    EXPECT_EQ(d.resistPos[1], QStringLiteral("20"));
    EXPECT_EQ(d.resistMean[1], QStringLiteral("20,5"));
    EXPECT_EQ(d.resistPos[2], QStringLiteral("1,5E-7"));
    EXPECT_EQ(d.resistPos[3], QString());
    EXPECT_EQ(d.resistNeg[3], QStringLiteral("5"));
    EXPECT_EQ(d.resistMean[3], QString());
    EXPECT_EQ(d.resistNeg[4], QString());
    EXPECT_EQ(d.notes[1], QStringLiteral("Без замечаний 1"));
    EXPECT_EQ(d.strength[4], QStringLiteral("Выдержала"));

    EXPECT_EQ(DBGetBunchTPDetails(db, 9999).ChannelNum, 0);
}

TEST(ConclusionText, TerminatedVerificationsSayItFirst)
{
    EXPECT_EQ(ConclusionText(QStringLiteral("Бр."), QString(), true),
              QStringLiteral("Поверка прервана. Не годен."));
    EXPECT_EQ(ConclusionText(QString(), QString(), true), QString());
    EXPECT_EQ(ConclusionText(QStringLiteral("3"), QString(), false), QStringLiteral("Годен."));
}

TEST_F(ProtocolDataTest, SensorRowsThatHaveGoneStopTheLoadWithTheInputsMessage)
{
    const int pov = insertPoverka("G", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 1);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"S1", "THA", "", ""}), 777, 0, 0};
    insertBunch(b);
    EXPECT_EQ(LoadPoverkaForProtocol(db, dialogs, pov), nullptr);
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не удалось извлечь данные поверяемого ТП, подключенного ко 2-му "
                             "входу, из базы данных! Операция отменена."));
    EXPECT_EQ(LoadPoverkaForProtocol(db, dialogs, 4242), nullptr);
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не найдены данные в базе данных пучков ТП для указанной поверки!"));
}

} // namespace
} // namespace kront::test
