#include "sensors/EtalTPRegister.h"
#include "tests/sensors/SensorsFixture.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

EtalTPData
validData(std::initializer_list<std::pair<const char *, const char *>> points = {
              {"300", "2,5"}, {"100", "0,6"}, {"500", "4,2"}, {"200", "1.4"}, {"400", "3,3E0"}})
{
    EtalTPData d;
    d.params = {"123", "ППО", "ППО-1", "2001", "1", "ВНИИМ", "Лаб"};
    int i = 1;
    for (const auto &[t, e] : points) {
        d.temp[size_t(i)] = QString::fromUtf8(t);
        d.emf[size_t(i)] = QString::fromUtf8(e);
        ++i;
    }
    return d;
}

class EtalTPRegisterTest : public SensorsFixture
{
protected:
    std::optional<QVariantMap> rowOf(int id)
    {
        auto rows = db.select(tables::EtalSens, QStringLiteral("ID = %1").arg(id));
        if (!rows || rows->empty())
            return std::nullopt;
        return rows->front();
    }
    int count() { return db.DBGetRecordsCount(tables::EtalSens, QString()); }

    EtalTPRegister reg{db, dialogs};
};

TEST_F(EtalTPRegisterTest, ChecksRunInOrderWithTheirMessages)
{
    struct Case {
        std::function<void(EtalTPData &)> change;
        const char *message;
    } cases[] = {
        {[](EtalTPData &d) { d.params[EtalTPData::Serial] = "  "; },
         "Не заполнен параметр \"Зав. №\"!"},
        {[](EtalTPData &d) {
             d.params[EtalTPData::Type] = "";
             d.params[EtalTPData::Name] = "";
         },
         "Не заполнен параметр \"Тип\"!"},
        {[](EtalTPData &d) { d.params[EtalTPData::Name] = ""; },
         "Не заполнен параметр \"Наименование\"!"},
        {[](EtalTPData &d) { d.params[EtalTPData::Rank] = " "; },
         "Не заполнен параметр \"Разряд\"!"},
        {[](EtalTPData &d) { d.params[EtalTPData::Year] = "1899"; },
         "Указано недопустимое значение параметра \"Год вып.\"!"},
        {[](EtalTPData &d) { d.params[EtalTPData::Year] = "2027"; },
         "Указано недопустимое значение параметра \"Год вып.\"!"},
        {[](EtalTPData &d) { d.emf[2] = " "; }, "Не указан параметр \"Термо-ЭДС\" в строке 2!"},
        {[](EtalTPData &d) { d.temp[3] = "5OO"; },
         "Указано недопустимое значение параметра \"Температура\" в строке 3!"},
        {[](EtalTPData &d) { d.temp[1] = "1,5Е2"; }, // Cyrillic exponent refused as typed
         "Указано недопустимое значение параметра \"Температура\" в строке 1!"},
        {[](EtalTPData &d) { d.emf[4] = "1,4,"; },
         "Указано недопустимое значение параметра \"Термо-ЭДС\" в строке 4!"},
        {[](EtalTPData &d) { d.temp[5] = ""; }, "Не указан параметр \"Температура\" в строке 5!"},
        {[](EtalTPData &d) { d.temp[3] = d.emf[3] = ""; }, "Пропущена строка 3!"},
        {[](EtalTPData &d) {
             for (int i = 3; i <= 5; ++i)
                 d.temp[size_t(i)] = d.emf[size_t(i)] = "";
         },
         "Должны быть указаны значения термо-ЭДС хотя бы для трёх температур!"},
        {[](EtalTPData &d) {
             d.temp[1] = d.emf[1] = "";
             d.temp[2] = d.emf[2] = "";
         },
         "Пропущена строка 1!"},
    };
    for (const Case &c : cases) {
        EtalTPData d = validData();
        c.change(d);
        dialogs.clear();
        EXPECT_FALSE(reg.storeEntry(d, false, -1)) << c.message;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.message;
        EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.message));
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    }
    EXPECT_EQ(count(), 0);
}

TEST_F(EtalTPRegisterTest, AddingStoresLimitsGraduationAndNullYear)
{
    EtalTPData d = validData();
    d.params[EtalTPData::Year] = "";
    d.temp[2] = " 100 "; // blanks around a number are refused as typed
    EXPECT_FALSE(reg.storeEntry(d, false, -1));
    d.temp[2] = "100";
    d.temp[6] = "   "; // a blank row is emptied, not refused
    ASSERT_TRUE(reg.storeEntry(d, false, -1));
    EXPECT_EQ(d.emf[4], "1,4"); // normalised in the editor
    EXPECT_EQ(d.emf[5], "3,3E0");
    EXPECT_EQ(d.temp[6], "");

    const int id = db.DBGetMaxID(tables::EtalSens, QString());
    const auto row = rowOf(id);
    ASSERT_TRUE(row);
    EXPECT_DOUBLE_EQ(row->value("WDTLowLim").toDouble(), 100);
    EXPECT_DOUBLE_EQ(row->value("WDTHighLim").toDouble(), 500);
    EXPECT_TRUE(row->value("ProdYear").isNull());
    EXPECT_EQ(row->value("NSHType").toString(), "ППО");
    EXPECT_EQ(row->value("SensKind").toString(), "ППО");
    EXPECT_TRUE(row->value("Etalon").toBool());
    EXPECT_EQ(row->value("ClassDop").toString(), "1");
    EXPECT_DOUBLE_EQ(row->value("EMF4").toDouble(), 1.4);
    EXPECT_DOUBLE_EQ(row->value("EMF5").toDouble(), 3.3);
    for (int i = 6; i <= 17; ++i) {
        EXPECT_DOUBLE_EQ(row->value(QStringLiteral("Temp%1").arg(i)).toDouble(), -300.0);
        EXPECT_DOUBLE_EQ(row->value(QStringLiteral("EMF%1").arg(i)).toDouble(), -300.0);
    }
    EXPECT_EQ(row->value("RecordCreationDateTime").toDateTime(), clock.now());

    // The grid row shows no year; "Изменить" finds the entry through a null test.
    const QStringList gridRow{"123", "ППО", "ППО-1", "", "1", "ВНИИМ", "Лаб", "100", "500"};
    EXPECT_EQ(reg.FindGridRowID(gridRow), id);
    const auto read = reg.ReadByID(id);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->params[EtalTPData::Year], "");
    EXPECT_EQ(read->temp[4], "200");
    EXPECT_EQ(read->emf[4], "1,4");
    EXPECT_EQ(read->temp[6], "");
}

TEST_F(EtalTPRegisterTest, EditingKeepsTheIDWithoutTheDuplicateQuestion)
{
    const int first = addEtal("123", 2001, "ППО-1", "ППО");
    addEtal("777", 2001, "ПРО-2", "ПРО");
    EtalTPData d = validData();
    d.params[EtalTPData::Owner] = "Новый владелец";
    clock.advanceSeconds(60);
    ASSERT_TRUE(reg.storeEntry(d, true, first));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(count(), 2);
    const auto row = rowOf(first);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->value("Owner").toString(), "Новый владелец");
    EXPECT_EQ(row->value("RecordCreationDateTime").toDateTime(), clock.now());
}

TEST_F(EtalTPRegisterTest, OverwritingADuplicateKeepsItsIDAndItsVerifications)
{
    const int old = addEtal("O'1", 2001, "ППО-1", "ППО");
    useEtalInBunch(old);
    EtalTPData d = validData();
    d.params[EtalTPData::Serial] = "O'1";
    d.params[EtalTPData::Owner] = "Другой";

    dialogs.queueAnswer(Dialogs::Answer::No);
    EXPECT_FALSE(reg.storeEntry(d, false, -1));
    EXPECT_EQ(dialogs.last().text,
              "Внимание! ТП с такими реквизитами (зав. №, год вып., наименование) уже есть в базе "
              "данных!\r\nПерезаписать данные существующего ТП?");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Question);
    EXPECT_EQ(rowOf(old)->value("Owner").toString(), "");

    dialogs.queueAnswer(Dialogs::Answer::Yes);
    ASSERT_TRUE(reg.storeEntry(d, false, -1));
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(rowOf(old)->value("Owner").toString(), "Другой");
    EXPECT_EQ(db.DBGetMaxID(tables::EtalSens, QString()), old);
}

TEST_F(EtalTPRegisterTest, OverwriteRemovesUnusedDuplicatesOnly)
{
    const int a = addEtal("5", 2001, "N", "ПРО");
    const int b = addEtal("5", 2001, "N", "ПРО");
    const int c = addEtal("5", 2001, "N", "ПРО");
    useEtalInBunch(c);
    EtalTPData d = validData();
    d.params = {"5", "ПРО", "N", "2001", "2", "", ""};
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    ASSERT_TRUE(reg.storeEntry(d, false, -1));
    EXPECT_TRUE(rowOf(a));
    EXPECT_FALSE(rowOf(b));
    ASSERT_TRUE(rowOf(c));
    EXPECT_EQ(rowOf(a)->value("ClassDop").toString(), "2");
    EXPECT_EQ(rowOf(c)->value("ClassDop").toString(), "2");
}

TEST_F(EtalTPRegisterTest, DeletionIsRefusedWhileAVerificationUsesTheEntry)
{
    const int used = addEtal("1", 2001, "N", "ППО");
    const int free = addEtal("2", 2002, "N'2", "ПРО");
    useEtalInBunch(used);
    EXPECT_FALSE(reg.DeleteGridRow({"1", "ППО", "N", "2001"}));
    EXPECT_EQ(dialogs.last().text, "Не допускается удаление указанного эталонного ТП, так как есть "
                                   "поверки с его использованием!");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);

    dialogs.queueAnswer(Dialogs::Answer::No);
    EXPECT_FALSE(reg.DeleteGridRow({"2", "ПРО", "N'2", "2002"}));
    EXPECT_EQ(dialogs.last().text, "Удалить выделенный эталонный ТП?");
    EXPECT_TRUE(rowOf(free));
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    EXPECT_TRUE(reg.DeleteGridRow({"2", "ПРО", "N'2", "2002"}));
    EXPECT_FALSE(rowOf(free));
    EXPECT_TRUE(rowOf(used));

    dialogs.clear();
    EXPECT_EQ(reg.FindGridRowID({"2", "ПРО", "N'2", "2002"}), -1);
    EXPECT_EQ(dialogs.last().text,
              "Эталонный ТП с указанными параметрами в базе данных не найден!");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_FALSE(EtalTPRegister::RowHasType({"2", "  "}));
}

} // namespace
} // namespace kront::test
