#include "ProcedureFixture.h"

#include "db/OpenTables.h"
#include "settings/EquipParamsFile.h"
#include "settings/RegistrySettings.h"
#include "settings/SettingsFile.h"
#include "tests/support/FileBytes.h"

namespace kront::test
{
namespace
{

class SetupPages : public ProcedureFixture
{
protected:
    ParametersPage page1(int method = 0, int kind = 1)
    {
        ParametersPage p;
        p.number = QStringLiteral("17");
        p.pointsCount = 3;
        p.kindIndex = kind;
        p.methodIndex = method;
        return p;
    }
    bool next1(const ParametersPage &p)
    {
        std::optional<QStringList> lines;
        return engine->acceptParametersPage(p, lines);
    }
    int count(const TableSchema &table, const QString &filter = QString())
    {
        return db.DBGetRecordsCount(table, filter);
    }
};

TEST_F(SetupPages, PageOneRefusesWhatIsMissing)
{
    makeBunch(1, {1});
    auto *b2 = &makeBunch(2, {1}, true); // no reference thermocouple on channel 2
    (void)b2;
    makeEngine();
    struct Case {
        QString number;
        int kind, method;
        const char *message;
    };
    const Case cases[] = {
        {QStringLiteral("        "), 1, 0, "Укажите номер поверки!"},
        {QStringLiteral("5"), -1, 0, "Выберите вид поверки!"},
        {QStringLiteral("5"), 0, -1, "Выберите метод поверки!"},
        {QStringLiteral("5"), 1, 1,
         "В пучке должен быть указан эталонный ТП при поверке методом поэлектродного сличения!"},
    };
    for (const Case &c : cases) {
        dialogs.clear();
        ParametersPage p = page1(c.method, c.kind);
        p.number = c.number;
        EXPECT_FALSE(next1(p)) << c.message;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.message;
        EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.message));
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    }
}

TEST_F(SetupPages, PeriodicNeverStoresTheInstabilityCheck)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 2, /*kind*/ 1, /*instability*/ true));
    EXPECT_FALSE(poverka.InstabilityCheckNeeded);
    const auto rows = select(tables::Poverki, QString());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_FALSE(rows[0].value("InstabilityCheckNeeded").toBool());
    EXPECT_EQ(rows[0].value("Kind").toInt(), 1);
    EXPECT_EQ(rows[0].value("Methodic").toInt(), 0);
    EXPECT_EQ(rows[0].value("TempPointsCount").toInt(), 2);
    EXPECT_EQ(rows[0].value("PovNum").toString(), QStringLiteral("17"));
    EXPECT_EQ(rows[0].value("GOSTnum").toString(), QStringLiteral("ГОСТ 8.338-2002"));
    EXPECT_EQ(rows[0].value("Started").toDateTime(), clock.now());
    EXPECT_TRUE(rows[0].value("Finished").isNull());
    EXPECT_EQ(rows[0].value("EquipmentParams").toString(),
              QStringLiteral("Установка типа КРОНТ-2М, № 5"));
    EXPECT_EQ(rows[0].value("CurrPovState").toString(), QStringLiteral("MainCycle;0;0;2;"));
}

TEST_F(SetupPages, SameNumberOnTheSameDayIsDeletedOnlyWhenTheNewOneIsStored)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    const int firstID = poverka.ID;
    const QString question =
        QStringLiteral("Внимание! Поверка с таким номером и датой уже есть в базе данных.\r\n"
                       "Удалить существующую поверку со всеми её результатами из базы данных?");
    const QString ofFirst = QStringLiteral("PoverkaID = %1").arg(firstID);
    const auto firstKept = [&] {
        return count(tables::Poverki, QStringLiteral("ID = %1").arg(firstID)) == 1 &&
               count(tables::BunchesTP, ofFirst) == 1;
    };

    dialogs.clear();
    makeEngine();
    EXPECT_FALSE(next1(page1())); // No keeps the page and the earlier verification
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, question);
    EXPECT_TRUE(firstKept());

    // Yes, but page 1 is refused further on: nothing is deleted
    dialogs.on(QStringLiteral("Поверка с таким номером"), {Dialogs::Answer::Yes});
    EXPECT_FALSE(next1(page1(0, -1)));
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Выберите вид поверки!"));
    EXPECT_TRUE(firstKept());
    EXPECT_FALSE(next1(page1(-1, 1)));
    EXPECT_TRUE(firstKept());

    // Yes and pages 1 and 2 accepted, then the wizard is left: nothing is deleted
    ASSERT_TRUE(next1(page1()));
    ASSERT_TRUE(engine->acceptMeansPage({}));
    EXPECT_TRUE(firstKept());
    makeEngine();
    EXPECT_TRUE(firstKept());

    // page 3 refused, then accepted: the earlier one gives way to the new one only then
    ASSERT_TRUE(next1(page1()));
    InspectionPage p3 = inspectionPage();
    p3.remarks[1] = QString(kRemarkMaxLength + 1, u'x');
    EXPECT_FALSE(engine->acceptInspectionPage(p3));
    EXPECT_TRUE(firstKept());
    p3.remarks[1].clear();
    ASSERT_TRUE(engine->acceptInspectionPage(p3));
    EXPECT_NE(poverka.ID, firstID);
    EXPECT_EQ(count(tables::Poverki), 1);
    EXPECT_EQ(count(tables::Poverki, QStringLiteral("ID = %1").arg(poverka.ID)), 1);
    EXPECT_EQ(count(tables::BunchesTP, ofFirst), 0);

    // the next day the same number is a new verification without a question
    dialogs.rules.clear();
    clock.advanceSeconds(24 * 3600);
    dialogs.clear();
    makeEngine();
    EXPECT_TRUE(next1(page1()));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SetupPages, QuotesInTypedTextsStayHarmless)
{
    TBunch &b = makeBunch(1, {1});
    b.Sensors[1]->SerialNum = QStringLiteral("7'1");
    b.Sensors[1]->TypeName = QStringLiteral("ТХА 'Н'");
    ASSERT_TRUE(setUp(0, 1, 1, false, QStringLiteral("O'1")));
    EXPECT_GT(poverka.ID, 0);
    EXPECT_GT(b.Sensors[1]->ID, 0);
    EXPECT_EQ(count(tables::Poverki, QStringLiteral("PovNum = 'O''1'")), 1);
    // the same number again finds the stored one
    makeEngine();
    ParametersPage p = page1();
    p.number = QStringLiteral("O'1");
    EXPECT_FALSE(next1(p));
    EXPECT_EQ(dialogs.count(QStringLiteral("Поверка с таким номером")), 1);
}

TEST_F(SetupPages, PageThreeChecksLengthsAndNumbers)
{
    makeBunch(1, {1});
    makeBunch(2, {2});
    makeEngine();
    ASSERT_TRUE(next1(page1()));
    InspectionPage p = inspectionPage();
    p.remarks[6] = QString(80, u'а');
    p.strengths[6] = QString(20, u'б');
    p.resistancePos[1] = QStringLiteral("1.5");
    p.resistanceNeg[1] = QStringLiteral("1,5");
    p.resistancePos[6] = QStringLiteral("2e3");

    InspectionPage tooLong = p;
    tooLong.remarks[6] += u'а';
    EXPECT_FALSE(engine->acceptInspectionPage(tooLong));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Длина строки реквизита \"Замечания по внешнему осмотру\" для входа "
                             "№ 2 канала 2 больше максимальной (80 символов)!"));
    tooLong = p;
    tooLong.strengths[4] = QString(21, u'x');
    EXPECT_FALSE(engine->acceptInspectionPage(tooLong));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Длина строки реквизита \"Электрическая прочность изоляции\" для "
                             "входа № 4 канала 1 больше максимальной (20 символов)!"));
    InspectionPage notANumber = p;
    notANumber.resistanceNeg[5] = QStringLiteral("1,5 МОм");
    EXPECT_FALSE(engine->acceptInspectionPage(notANumber));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Указаны недопустимые числовые значения для сопротивления!"));
    EXPECT_EQ(count(tables::Poverki), 0); // nothing stored before the checks pass

    ASSERT_TRUE(engine->acceptInspectionPage(p));
    EXPECT_EQ(p.resistancePos[1], QStringLiteral("1,5")); // written back normalised
    EXPECT_EQ(p.resistancePos[6], QStringLiteral("2e3"));
    const auto b1 = select(tables::BunchesTP, QStringLiteral("ChannelNum = 1"));
    const auto b2 = select(tables::BunchesTP, QStringLiteral("ChannelNum = 2"));
    ASSERT_EQ(b1.size(), 1u);
    ASSERT_EQ(b2.size(), 1u);
    EXPECT_DOUBLE_EQ(b1[0].value("InsulationResistancePosInp1").toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(b1[0].value("InsulationResistanceNegInp1").toDouble(), 1.5);
    EXPECT_DOUBLE_EQ(b1[0].value("InsulationResistanceNegInp2").toDouble(), -300);
    EXPECT_EQ(b2[0].value("ExtSurveyNotesInp2").toString(), p.remarks[6]);
    EXPECT_EQ(b2[0].value("InsulationStrengthInp2").toString(), p.strengths[6]);
    EXPECT_DOUBLE_EQ(b2[0].value("InsulationResistancePosInp2").toDouble(), 2000);
    EXPECT_EQ(b1[0].value("EtalSensorID").toInt(), bunches[1]->EtalSensor->ID);
    EXPECT_EQ(b2[0].value("PovSensorID2").toInt(), bunches[2]->Sensors[2]->ID);
    EXPECT_EQ(b2[0].value("PovSensorID1").toInt(), 0);
    EXPECT_EQ(b1[0].value("ResultInp1").toString(), QString());
    EXPECT_EQ(bunches[1]->ID, b1[0].value("ID").toInt());
    const auto sensors = select(tables::Sensors, QStringLiteral("SerialNum = '22'"));
    ASSERT_EQ(sensors.size(), 1u);
    EXPECT_EQ(sensors[0].value("NSHType").toString(), QStringLiteral("THA"));
    EXPECT_EQ(sensors[0].value("SensKind").toString(), QStringLiteral("TP"));
    EXPECT_EQ(sensors[0].value("ClassDop").toString(), QStringLiteral("2"));
}

// Another installation working on the same tables started a verification of the
// same number today: this one is stored beside it, marked with its own installation,
// with bunches and sensors of its own IDs, and nothing of the other is touched.
TEST_F(SetupPages, AnotherInstallationsVerificationOfTheSameNumberStaysBesideThisOne)
{
    db.setInstallation(QStringLiteral("Стенд-1"));
    ScriptedDialogs otherDialogs;
    Database other(otherDialogs, std::make_unique<OpenTables>());
    other.setInstallation(QStringLiteral("Стенд-2"));
    const int theirs = other.startVerification(TableRow(
        tables::Poverki,
        {{"PovNum", "17"}, {"Started", clock.now()}, {"CurrPovState", "MainCycle;0;1;3;"}}));
    ASSERT_GT(theirs, 0);
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 1));
    EXPECT_TRUE(dialogs.shown.empty()); // no question of replacing the other's
    ASSERT_GT(poverka.ID, theirs);
    EXPECT_EQ(count(tables::Poverki, QStringLiteral("PovNum = '17'")), 2);
    const auto owners = db.installationsOf({theirs, poverka.ID});
    ASSERT_TRUE(owners.has_value());
    EXPECT_EQ(*owners, (std::map<int, QString>{{theirs, QStringLiteral("Стенд-2")},
                                               {poverka.ID, QStringLiteral("Стенд-1")}}));
    const TBunch &bunch = *poverka.Bunches[1];
    EXPECT_EQ(count(tables::BunchesTP,
                    QStringLiteral("ID = %1 and PoverkaID = %2").arg(bunch.ID).arg(poverka.ID)),
              1);
    for (int input : {1, 2})
        EXPECT_EQ(count(tables::Sensors, QStringLiteral("ID = %1 and SerialNum = '%2'")
                                             .arg(bunch.Sensors[input]->ID)
                                             .arg(bunch.Sensors[input]->SerialNum)),
                  1);
}

TEST_F(SetupPages, AMissingReferenceRowUndoesEverythingStored)
{
    makeBunch(1, {1, 2});
    TBunch &b2 = makeBunch(2, {1});
    b2.EtalSensor->ID = 999; // not in the register
    ASSERT_FALSE(setUp(0, 1));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не найдена запись эталонного датчика в базе данных эталонных ТП!"));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(count(tables::Poverki), 0);
    EXPECT_EQ(count(tables::Sensors), 0);
    EXPECT_EQ(count(tables::BunchesTP), 0);

    // corrected, "Next" inserts anew
    b2.EtalSensor->ID = storeReference();
    InspectionPage p3 = inspectionPage();
    EXPECT_TRUE(engine->acceptInspectionPage(p3));
    EXPECT_EQ(count(tables::Poverki), 1);
    EXPECT_EQ(count(tables::Sensors), 3);
}

TEST_F(SetupPages, ACancelledChooserUndoesEverythingStored)
{
    makeBunch(1, {1});
    view.choices.push_back(std::nullopt);
    EXPECT_FALSE(setUp(0, 1));
    EXPECT_EQ(count(tables::Poverki), 0);
    EXPECT_EQ(count(tables::BunchesTP), 0);
    // "Next" again stores the verification from its beginning
    InspectionPage p3 = inspectionPage();
    EXPECT_TRUE(engine->acceptInspectionPage(p3));
    const auto rows = select(tables::Poverki, QString());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value("CurrPovState").toString(), QStringLiteral("MainCycle;0;0;1;"));
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 1-й температуре"));
}

TEST_F(SetupPages, MeansAndPointCountCarryOverToTheNextVerification)
{
    makeBunch(1, {3});
    makeEngine();
    EXPECT_EQ(engine->Prepare().pointsCount, 1);
    const SetupPrepared prepared = engine->Prepare();
    EXPECT_EQ(prepared.serials[3], QStringLiteral("13"));
    EXPECT_TRUE(prepared.serials[1].isEmpty());

    std::optional<QStringList> lines;
    ParametersPage p = page1();
    p.pointsCount = 5;
    ASSERT_TRUE(engine->acceptParametersPage(p, lines));
    EXPECT_FALSE(lines.has_value()); // no file yet: the built-in lines stay
    const QStringList means{QStringLiteral("Термопреобразователь 1 разряда, тип ППО № 3"),
                            QStringLiteral("Установка типа КРОНТ-2М, № 12"),
                            QStringLiteral("Мегаомметр, R ≤ 10 ГΩ")}; // beyond Windows-1251
    ASSERT_TRUE(engine->acceptMeansPage(means));
    EXPECT_EQ(poverka.EquipmentParams, means);
    EXPECT_EQ(EquipParamsFile().readLines(), std::optional<QStringList>(means));
    EXPECT_TRUE(readBytes(EquipParamsFile().path()).startsWith("\xEF\xBB\xBF"));

    makeEngine();
    EXPECT_EQ(engine->Prepare().pointsCount, 5);
    ASSERT_TRUE(engine->acceptParametersPage(page1(), lines));
    EXPECT_EQ(lines, std::optional<QStringList>(means));
}

TEST(InspectionFilters, TypedCharacters)
{
    struct Case {
        InspectionGrid grid;
        int cellLength;
        QChar typed;
        bool accepted;
    };
    const Case cases[] = {
        {InspectionGrid::Remarks, 79, u'я', true},
        {InspectionGrid::Remarks, 80, u'я', false},
        {InspectionGrid::Remarks, 80, QChar(8), true},
        {InspectionGrid::Strength, 20, u'1', false},
        {InspectionGrid::Strength, 19, u'1', true},
        {InspectionGrid::Resistance, 0, u'5', true},
        {InspectionGrid::Resistance, 0, u',', true},
        {InspectionGrid::Resistance, 0, u'.', true},
        {InspectionGrid::Resistance, 0, u'-', true},
        {InspectionGrid::Resistance, 0, u'e', false},
        {InspectionGrid::Resistance, 0, u' ', false},
        {InspectionGrid::Resistance, 0, QChar(27), true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(InspectionAcceptsChar(c.grid, QString(c.cellLength, u'x'), c.typed), c.accepted)
            << int(c.grid) << " " << c.cellLength << " " << int(c.typed.unicode());
}

TEST_F(SetupPages, PageThreeChecksTheConditionsAndNamesTheField)
{
    makeBunch(1, {1});
    makeEngine();
    ASSERT_TRUE(next1(page1()));
    const char *temperature = "Укажите температуру окружающего воздуха числом от 10 до 35 °C!";
    const char *pressure = "Укажите атмосферное давление числом от 80 до 110 кПа!";
    const char *humidity = "Укажите относительную влажность воздуха числом от 10 до 95 %!";
    struct Case {
        ConditionsTexts texts;
        const char *message; // nullptr: accepted
    };
    const Case cases[] = {
        {{"", "100", "50", ""}, temperature},
        {{"9,99", "100", "50", ""}, temperature},
        {{"35.01", "100", "50", ""}, temperature},
        {{"20 °C", "100", "50", ""}, temperature},
        {{"1e1", "100", "50", ""}, temperature},
        {{"20", "79,9", "50", ""}, pressure},
        {{"20", "110,5", "50", ""}, pressure},
        {{"20", "100", "9", ""}, humidity},
        {{"20", "100", "95,1", ""}, humidity},
        {{"20", "100", "-", ""}, humidity},
        {{"20", "100", "50", QString(129, u'ф')},
         "Длина строки реквизита \"Другие влияющие факторы\" больше максимальной (128 "
         "символов)!"},
        {{"10", "80", "10", QString(128, u'ф')}, nullptr},
        {{" 35 ", "110.0", "95", ""}, nullptr},
    };
    for (const Case &c : cases) {
        dialogs.clear();
        InspectionPage p = inspectionPage();
        p.conditions = c.texts;
        const bool accepted = engine->acceptInspectionPage(p);
        EXPECT_EQ(accepted, c.message == nullptr) << c.texts.temperature.toStdString();
        if (c.message) {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.message));
            EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
        } else {
            db.DBDeletePoverka(QStringLiteral("ID = %1").arg(poverka.ID));
            makeEngine();
            ASSERT_TRUE(next1(page1()));
        }
    }
    EXPECT_EQ(count(tables::Poverki), 0);
}

TEST_F(SetupPages, ConditionsAreStoredWithTheVerificationAndOfferedNextTime)
{
    makeBunch(1, {1});
    makeEngine();
    EXPECT_EQ(engine->Prepare().conditions.temperature, QString()); // nothing stored yet
    ASSERT_TRUE(next1(page1()));
    InspectionPage p = inspectionPage();
    p.conditions = {"21,5", "100.2", "48", "  напряжение сети 220 В  "};
    ASSERT_TRUE(engine->acceptInspectionPage(p));
    const int first = poverka.ID;
    const auto stored = StoredConditions(db, first);
    ASSERT_TRUE(stored);
    EXPECT_DOUBLE_EQ(stored->temperature, 21.5);
    EXPECT_DOUBLE_EQ(stored->pressure, 100.2);
    EXPECT_DOUBLE_EQ(stored->humidity, 48);
    EXPECT_EQ(stored->otherFactors, QStringLiteral("напряжение сети 220 В"));

    makeEngine();
    const ConditionsTexts offered = engine->Prepare().conditions;
    EXPECT_EQ(offered.temperature, QStringLiteral("21,5"));
    EXPECT_EQ(offered.pressure, QStringLiteral("100,2"));
    EXPECT_EQ(offered.humidity, QStringLiteral("48"));
    EXPECT_EQ(offered.otherFactors, QStringLiteral("напряжение сети 220 В"));

    // the row goes with its verification, however that is deleted
    dialogs.on(QStringLiteral("Поверка с таким номером"), {Dialogs::Answer::Yes});
    ASSERT_TRUE(next1(page1()));
    ASSERT_TRUE(engine->acceptInspectionPage(p)); // replaces the first (same number, same day)
    EXPECT_FALSE(StoredConditions(db, first));
    ASSERT_TRUE(StoredConditions(db, poverka.ID));
    ASSERT_TRUE(db.DBDeletePartialData(poverka.ID));
    EXPECT_FALSE(StoredConditions(db, poverka.ID));
    EXPECT_EQ(count(tables::Conditions), 0);
}

TEST_F(SetupPages, VerifierOfPageOneIsStoredWithTheConditionsAndOfferedNextTime)
{
    makeBunch(1, {1});
    makeEngine();
    EXPECT_TRUE(engine->Prepare().verifiers.isEmpty()); // nothing known yet

    ParametersPage p = page1();
    p.verifier = QString(129, u'ф');
    EXPECT_FALSE(next1(p));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Длина строки реквизита \"Поверитель\" больше "
                                                  "максимальной (128 символов)!"));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);

    p.verifier = QStringLiteral("  Иванов Иван Иванович  ");
    ASSERT_TRUE(next1(p));
    InspectionPage p3 = inspectionPage();
    p3.conditions = {"21,5", "100,2", "48", ""};
    ASSERT_TRUE(engine->acceptInspectionPage(p3));
    const auto stored = StoredConditions(db, poverka.ID);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->verifier, QStringLiteral("Иванов Иван Иванович"));

    makeEngine();
    EXPECT_EQ(engine->Prepare().verifiers, QStringList{QStringLiteral("Иванов Иван Иванович")});

    // The lab's default verifier comes first; the one stored last follows when another.
    RegistrySettings registry = loadRegistrySettings();
    registry.signCipher = QStringLiteral("ЖЖЖ");
    for (const char *name : {"Петров Пётр Петрович", "Иванов Иван Иванович"}) {
        registry.defaultVerifier = QString::fromUtf8(name);
        ASSERT_TRUE(saveRegistrySettings(registry, dialogs));
        makeEngine();
        QStringList expected{registry.defaultVerifier};
        if (expected.front() != QStringLiteral("Иванов Иван Иванович"))
            expected << QStringLiteral("Иванов Иван Иванович");
        EXPECT_EQ(engine->Prepare().verifiers, expected) << name;
    }
}

} // namespace
} // namespace kront::test
