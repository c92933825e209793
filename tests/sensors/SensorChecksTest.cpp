#include "sensors/CellInputRule.h"
#include "sensors/SensorSetChecks.h"
#include "tests/sensors/SensorsFixture.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

const QStringList kGoodInput{"A1", "ТХА(K)", "ТХА-01", "2019", "2", "", "", "0", "1000", "", ""};

TEST(RequiredFieldCheck, ListsMissingFieldsAndIncompleteRowsOfBothChannelsInOrder)
{
    SensorSet set(3);
    setRow(set, 1, 2, {"", "ТХА(K)", "ТХА-01", "", "2", "", "", "0", ""});
    setRow(set, 1, 3, {"B7"});
    setRow(set, 2, 1, {"777", "ПРО", "ПРО-2", "", " ", "", "", "600", "1800"});
    setRow(set, 2, 4, {"", " ", "", "", "", "", "", "", "", "", "1,5"});
    const auto message = RequiredFieldCheck(set);
    ASSERT_TRUE(message);
    EXPECT_EQ(*message, "Для канала 1 не заполнены следующие обязательные для заполнения поля:\n"
                        "Сер. № для входа 1\n"
                        "T max для входа 1\n"
                        "Для канала 1 не заполнены обязательные для заполнения поля для входа:\n"
                        "2\n"
                        "Для канала 2 не заполнены следующие обязательные для заполнения поля:\n"
                        "Класс для входа ОБР\n"
                        "Для канала 2 не заполнены обязательные для заполнения поля для входа:\n"
                        "3");
}

TEST(RequiredFieldCheck, EachBlockAppearsOnlyWithEntries)
{
    SensorSet set(3);
    setRow(set, 1, 1, {"123"}); // no type: incomplete reference row
    EXPECT_EQ(RequiredFieldCheck(set),
              "\nДля канала 1 не заполнены обязательные для заполнения поля для входа:\nОБР");

    SensorSet second(3);
    setRow(second, 2, 5, kGoodInput);
    second.setText(2, 5, SensorColumn::Name, QStringLiteral("  "));
    EXPECT_EQ(RequiredFieldCheck(second),
              "\nДля канала 2 не заполнены следующие обязательные для заполнения поля:\n"
              "Наименование для входа 4");

    SensorSet good(3);
    setRow(good, 1, 2, kGoodInput);
    EXPECT_FALSE(RequiredFieldCheck(good));
    EXPECT_FALSE(RequiredFieldCheck(SensorSet(3)));
}

TEST(RequiredFieldCheck, FieldsRequiredDependOnTheKind)
{
    struct Case {
        int kind;
        QStringList row;
        const char *message;
    } cases[] = {
        {1,
         {"1", "ППО", "ППО-1"},
         "Для канала 1 не заполнены следующие обязательные для заполнения поля:\n"
         "Разряд для входа 1"},
        {2, {"1", "ПРО", "ПРО-1"}, nullptr},
        {5,
         {"1", "Pt100", "ТСП"},
         "Для канала 1 не заполнены следующие обязательные для заполнения поля:\n"
         "T min для входа 1\nT max для входа 1"},
    };
    for (const Case &c : cases) {
        SensorSet set(c.kind);
        setRow(set, 1, 2, c.row);
        const auto message = RequiredFieldCheck(set);
        if (c.message)
            EXPECT_EQ(message, QString::fromUtf8(c.message)) << c.kind;
        else
            EXPECT_FALSE(message) << c.kind;
    }
    SensorSet ts(5);
    setRow(ts, 1, 11, {"", "", "", "", "", "", "", "", "5"});
    EXPECT_EQ(RequiredFieldCheck(ts),
              "\nДля канала 1 не заполнены обязательные для заполнения поля для входа:\n10");
}

TEST(NumericCheck, ReportsBadNumbersInTypedRowsAndTellsWhichGridsAreUsed)
{
    SensorSet set(3);
    setRow(set, 1, 2, {"A1", "ТХА(K)", "ТХА-01", "19a5", "2", "", "", "1.5e2", "1000", "0,5", "x"});
    setRow(set, 1, 3, {"A2", "", "", "19a5"}); // no type: not checked here
    setRow(set, 2, 1, {"7", "ПРО", "ПРО-2", "2001", "1", "", "", "6О0", "1,8Е3"}); // Cyrillic О, Е
    const NumericCheckResult r = NumericCheck(set);
    ASSERT_TRUE(r.message);
    EXPECT_EQ(*r.message,
              "Для канала 1 обнаружены некорректные значения в следующих числовых параметрах:\n"
              "Год вып. для входа 1\n"
              "Масса для входа 1\n"
              "Для канала 2 обнаружены некорректные значения в следующих числовых параметрах:\n"
              "T min для входа ОБР");
    EXPECT_TRUE(r.gridHasType[1]);
    EXPECT_TRUE(r.gridHasType[2]);

    SensorSet only2(3);
    setRow(only2, 2, 3, kGoodInput);
    only2.setText(2, 3, SensorColumn::TMax, QStringLiteral("1,2,3"));
    const NumericCheckResult r2 = NumericCheck(only2);
    EXPECT_EQ(r2.message, "\nДля канала 2 обнаружены некорректные значения в следующих числовых "
                          "параметрах:\nT max для входа 2");
    EXPECT_FALSE(r2.gridHasType[1]);
    EXPECT_TRUE(r2.gridHasType[2]);
}

TEST(LengthCheck, FirstTooLongTextByRowThenFieldThenGrid)
{
    struct Case {
        int grid, row;
        SensorColumn column;
        int length;
        const char *message;
    } cases[] = {
        {1, 1, SensorColumn::Serial, 9,
         "Длина реквизита \"Серийный номер\" входа '0' первого канала более 8 символов!"},
        {2, 3, SensorColumn::Name, 21,
         "Длина реквизита \"Наименование\" входа '2' второго канала более 20 символов!"},
        {1, 5, SensorColumn::Producer, 41,
         "Длина реквизита \"Изготовитель\" входа '4' первого канала более 40 символов!"},
        {2, 2, SensorColumn::Owner, 41,
         "Длина реквизита \"Владелец\" входа '1' второго канала более 40 символов!"},
        {1, 2, SensorColumn::Serial, 8, nullptr},
        {1, 2, SensorColumn::Owner, 40, nullptr},
    };
    for (const Case &c : cases) {
        SensorSet set(3);
        set.setText(c.grid, c.row, c.column, QString(c.length, QChar(u'Ж')));
        const auto message = LengthCheck(set);
        if (c.message)
            EXPECT_EQ(message, QString::fromUtf8(c.message));
        else
            EXPECT_FALSE(message);
    }
    // The name of grid 2 comes before the producer of grid 1 in the same row.
    SensorSet set(3);
    set.setText(1, 2, SensorColumn::Producer, QString(41, u'x'));
    set.setText(2, 2, SensorColumn::Name, QString(21, u'x'));
    EXPECT_EQ(LengthCheck(set),
              "Длина реквизита \"Наименование\" входа '1' второго канала более 20 символов!");
}

TEST(CellInputRule, CharactersAcceptedPerColumnAndKind)
{
    struct Case {
        int kind;
        SensorColumn column;
        const char *kept; // text that stays in the cell
        const char16_t ch;
        bool accepted;
    } cases[] = {
        {3, SensorColumn::Serial, "1234567", u'Я', true},
        {3, SensorColumn::Serial, "12345678", u'9', false},
        {3, SensorColumn::Serial, "12345678", u'\b', true},
        {3, SensorColumn::Name, "12345678901234567890", u'x', false},
        {3, SensorColumn::Producer, "", u'"', true},
        {3, SensorColumn::Year, "199", u'9', true},
        {3, SensorColumn::Year, "19", u'a', false},
        {3, SensorColumn::Year, "1999", u'0', false},
        {3, SensorColumn::Class, "", u'3', true},
        {3, SensorColumn::Class, "", u'0', false},
        {3, SensorColumn::Class, "1", u'2', false},
        {1, SensorColumn::Rank, "", u'0', true},
        {1, SensorColumn::Rank, "", u'4', false},
        {3, SensorColumn::TMin, "1", u',', true},
        {3, SensorColumn::TMin, "1", u'.', true},
        {3, SensorColumn::TMin, "", u'-', true},
        {3, SensorColumn::TMin, "1", u'Е', true}, // Cyrillic
        {3, SensorColumn::TMin, "1", u'е', true}, // Cyrillic
        {3, SensorColumn::TMin, "1", u'+', false},
        {3, SensorColumn::Mass, "1", u' ', false},
        {3, SensorColumn::Diameter, "1", u'x', false},
        {1, SensorColumn::LengthPlus, "1", u'e', true},
        {2, SensorColumn::DiameterTE, "1", u'q', false},
        {5, SensorColumn::RLeads, "0", u',', true},
        {3, SensorColumn::Type, "", u'Т', false},
        {3, SensorColumn::Type, "", u'\r', true},
        {3, SensorColumn::Type, "", QChar(27).unicode(), true},
        {3, SensorColumn::Type, "", u'\t', true},
    };
    for (const Case &c : cases) {
        const SensorGridLayout *layout = SensorLayoutForKind(c.kind);
        const SensorColumnInfo *info = layout->column(layout->columnOf(c.column));
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(AcceptsTypedChar(SensorCellRule(*info), QString::fromUtf8(c.kept), QChar(c.ch)),
                  c.accepted)
            << info->header.toStdString() << " '" << c.kept << "' " << int(c.ch);
    }
}

TEST(RowActions, PasteOfAKind3RowIntoAKind2GridFillsColumnsOneToEight)
{
    SensorSet tp(3);
    setRow(tp, 1, 2, {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"});
    const QString buffer = CopyRowText(tp.grid(1).row(2));
    EXPECT_EQ(buffer, "1|2|3|4|5|6|7|8|9|10|11|");
    SensorSet pro(2);
    QStringList row = pro.grid(2).row(3);
    PasteRowText(row, buffer);
    EXPECT_EQ(row, QStringList({"", "1", "2", "3", "4", "5", "6", "7", "8"}));

    QStringList shortPaste = tp.grid(1).row(2);
    PasteRowText(shortPaste, QStringLiteral("a|b|c"));
    EXPECT_EQ(shortPaste.mid(1, 4), QStringList({"a", "b", "3", "4"}));
    ClearRowText(shortPaste);
    EXPECT_EQ(shortPaste, tp.grid(2).row(2));
}

} // namespace
} // namespace kront::test
