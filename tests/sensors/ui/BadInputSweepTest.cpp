// Hostile texts typed into every cell of the connected-sensors editor and of
// the reference thermocouple editor: each is either refused with its message
// (nothing taken over, nothing stored) or taken over exactly as the cell
// shows it after typing.
#include "common/ui/StringGrid.h"
#include "model/ChannelBunches.h"
#include "model/TBunch.h"
#include "sensors/ui/EtalTPRegisterPage.h"
#include "sensors/ui/TFormDBSensors.h"
#include "sensors/ui/TFormEtalTP.h"
#include "sensors/ui/TFormSensorSet.h"
#include "tests/sensors/SensorsFixture.h"
#include "tests/sensors/ui/GridTyping.h"
#include "tests/sensors/ui/RegisterGrid.h"
#include "tests/support/HostileTexts.h"

#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

QString required(const char *entry)
{
    return QStringLiteral(
               "Для канала 1 не заполнены следующие обязательные для заполнения поля:\n") +
           QString::fromUtf8(entry);
}

QString notANumber(const char *entry)
{
    return QStringLiteral("Для канала 1 обнаружены некорректные значения в следующих числовых "
                          "параметрах:\n") +
           QString::fromUtf8(entry);
}

// What the editor's bunch holds for a column of input 1, as text.
QString taken(const TThermometer &s, SensorColumn column)
{
    switch (column) {
    case SensorColumn::Serial: return s.SerialNum;
    case SensorColumn::Name: return s.TypeName;
    case SensorColumn::Year: return QString::number(s.ProdYear);
    case SensorColumn::Class: return QString::number(s.ClassDop + 1);
    case SensorColumn::Producer: return s.Producer;
    case SensorColumn::Owner: return s.Owner;
    case SensorColumn::TMin: return QString::number(s.WDTLowLim);
    case SensorColumn::TMax: return QString::number(s.WDTHighLim);
    case SensorColumn::Diameter: return QString::number(s.Diameter);
    case SensorColumn::Mass: return QString::number(s.Mass);
    default: return QStringLiteral("<not a column of the sweep>");
    }
}

class SensorEditorSweep : public SensorsFixture
{
protected:
    ChannelBunches bunches;
    TFormSensorSet form{dialogs, db, bunches};
};

TEST_F(SensorEditorSweep, EveryTextCellOfAnInputRow)
{
    struct Case {
        int column; // grid column of kind 3
        SensorColumn id;
        QString typed;
        QString cell;    // what the cell holds after typing
        QString message; // empty: taken over
        QString value;   // what the bunch holds when taken over
    };
    using C = SensorColumn;
    const Case cases[] = {
        {1, C::Serial, "O'Neil", "O'Neil", {}, "O'Neil"},
        {1, C::Serial, "\"7\"", "\"7\"", {}, "\"7\""},
        {1, C::Serial, "%", "%", {}, "%"},
        {1, C::Serial, "7|ТХА(K)", "7ТХА(K)", {}, "7ТХА(K)"}, // "|" separates cells in files
        {1, C::Serial, kDrop, "'; DROP ", {}, "'; DROP"},
        {1, C::Serial, kLong, kLong.left(8), {}, kLong.left(8)},
        {1, C::Serial, "", "", required("Сер. № для входа 1"), {}},
        {1, C::Serial, "   ", "   ", required("Сер. № для входа 1"), {}},
        {3, C::Name, "ТХА 'Н' \"К\"", "ТХА 'Н' \"К\"", {}, "ТХА 'Н' \"К\""},
        {3, C::Name, kDrop, kDrop.left(20), {}, kDrop.left(20)},
        {3, C::Name, kLong, kLong.left(20), {}, kLong.left(20)},
        {3, C::Name, "  ", "  ", required("Наименование для входа 1"), {}},
        {4, C::Year, "1e3", "13", {}, "13"},
        {4, C::Year, "2о2О", "22", {}, "22"}, // Cyrillic о and О are not digits
        {4, C::Year, "", "", {}, "0"},
        {5, C::Class, "З", "", required("Класс для входа 1"), {}}, // Cyrillic Ze, not a three
        {5, C::Class, "l", "", required("Класс для входа 1"), {}}, // Latin l, not a one
        {5, C::Class, "32", "3", {}, "3"},
        {6, C::Producer, kLong, kLong.left(40), {}, kLong.left(40)},
        {6, C::Producer, "ООО \"Завод\" 100%", "ООО \"Завод\" 100%", {}, "ООО \"Завод\" 100%"},
        {7, C::Owner, kDrop, kDrop, {}, kDrop},
        {7, C::Owner, "|Лаб|", "Лаб", {}, "Лаб"},
        {7, C::Owner, kNot1251, "ООО «-»", {}, "ООО «-»"}, // not in the files' code page
        {3, C::Name, "ТХА №5 ±1 °C", "ТХА №5 ±1 °C", {}, "ТХА №5 ±1 °C"},
        {7, C::Owner, "   ", "   ", {}, ""},
        {8, C::TMin, "1e3", "1e3", {}, "1000"},
        {8, C::TMin, "1E-2", "1E-2", {}, "0.01"},
        {8, C::TMin, "1Е3", "1Е3", {}, "1000"}, // Cyrillic exponent letter
        {8, C::TMin, "-1,5", "-1,5", {}, "-1.5"},
        {8, C::TMin, "-1.5", "-1.5", {}, "-1.5"},
        {8, C::TMin, "1о5", "15", {}, "15"}, // Cyrillic о is not typed
        {8, C::TMin, "5e400", "5e400", notANumber("T min для входа 1"), {}},
        {8, C::TMin, "1e-400", "1e-400", notANumber("T min для входа 1"), {}},
        {8, C::TMin, "1,5.5", "1,5.5", notANumber("T min для входа 1"), {}},
        {8, C::TMin, "-", "-", notANumber("T min для входа 1"), {}},
        {8, C::TMin, "%'\"", "", required("T min для входа 1"), {}},
        {8, C::TMin, "  ", "", required("T min для входа 1"), {}},
        {9, C::TMax, "1.2E3", "1.2E3", {}, "1200"},
        {9, C::TMax, QString(300, u'9'), QString(300, u'9'), {}, "1e+300"},
        {10, C::Diameter, "0,5", "0,5", {}, "0.5"},
        {10, C::Diameter, "", "", {}, "0"},
        {11, C::Mass, "12.5e-1", "12.5e-1", {}, "1.25"},
        {11, C::Mass, "1 000", "1000", {}, "1000"}, // a blank is not typed into a number
    };
    form.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(QString::number(c.column).toStdString() + " <" + c.typed.toStdString() + ">");
        bunches.releaseAll();
        dialogs.clear();
        form.show(); // a commit closes the window
        form.Prepare(3);
        SensorSet base(3);
        setRow(base, 1, 2,
               {"7", "ТХА(K)", "ТХА", "2020", "2", "Завод", "Лаб", "0", "1000", "0,7", "12"});
        base.setText(1, 2, c.id, QString());
        form.setSensorSet(base);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 2, c.column, c.typed), c.cell);
        form.StringGrid1->setCurrentCell(3, c.column); // leaves the cell: the text is committed
        EXPECT_EQ(form.sensorSet().text(1, 2, c.id), c.cell);

        form.BtnCommit->click();
        if (!c.message.isEmpty()) {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_EQ(dialogs.last().text, c.message);
            EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
            EXPECT_EQ(bunches.bunch(1), nullptr);
            EXPECT_EQ(form.sensorSet().text(1, 2, c.id), c.cell); // the typed text stays
            continue;
        }
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
        ASSERT_NE(bunches.bunch(1), nullptr);
        ASSERT_TRUE(bunches.bunch(1)->Sensors[1]);
        EXPECT_EQ(taken(*bunches.bunch(1)->Sensors[1], c.id), c.value);
    }
    form.hide();
}

TEST_F(SensorEditorSweep, TypesWithLookAlikeLettersAreRefused)
{
    form.show();
    form.Prepare(3);
    SensorSet set(3);
    setRow(set, 1, 2, {"7", "ТХА(K)", "ТХА", "2020", "2", "", "", "0", "1000"});
    form.setSensorSet(set);
    // A type with Latin look-alikes (from a file or a pasted row) is not a known type.
    struct Case {
        int row;
        QString type;
        QString message;
    } cases[] = {
        {2, QStringLiteral("TXA(K)"),
         QStringLiteral("Не удалось преобразовать значение \"TXA(K)\" параметра \"Тип\" для входа "
                        "1 канала 1! Подключенные датчики не приняты.")},
        {2, QStringLiteral("ТХА(К)"), // Cyrillic К in the brackets
         QStringLiteral("Не удалось преобразовать значение \"ТХА(К)\" параметра \"Тип\" для входа "
                        "1 канала 1! Подключенные датчики не приняты.")},
        {1, QStringLiteral("ПPO"), // Latin P and O
         QStringLiteral("Не найдена запись для эталонного ТП пучка №1 в базе данных! Проверьте "
                        "правильность указанных реквизитов или добавьте соответствующий эталонный "
                        "ТП в базу данных.")},
    };
    addEtal(QStringLiteral("5"), 2001, QStringLiteral("ПРО-1"), QStringLiteral("ПРО"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type.toStdString());
        dialogs.clear();
        SensorSet s = set;
        if (c.row == 1)
            setRow(s, 1, 1, {"5", c.type, "ПРО-1", "2001", "1", "", "", "300", "1200"});
        else
            s.setText(1, 2, SensorColumn::Type, c.type);
        form.setSensorSet(s);
        form.BtnCommit->click();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(bunches.bunch(1), nullptr);
    }
    form.hide();
}

// Whatever the cells take when typed comes back cell for cell from a sensor set file.
TEST_F(SensorEditorSweep, TypedTextsComeBackFromASensorSetFile)
{
    const QStringList typed = {kDrop,   "ТХА(K)", "\"ТХА\" 'Н' 100%|",
                               "2о2О",  "З3",     "A|C|E|P — АСЕР",
                               kLong,   "1e3",    "1,5Е-2",
                               "5e400", "1о5"};
    form.show();
    form.Prepare(3);
    for (int column = 1; column <= 11; ++column) {
        if (column == 2) // chosen from the list
            StringGrid::setCellText(form.StringGrid2, 4, 2, typed[1]);
        else
            typeIntoOpenEditor(form.StringGrid2, 4, column, typed[column - 1]);
    }
    form.StringGrid2->setCurrentCell(3, 1);
    const QStringList row = form.sensorSet().grid(2).row(4);
    EXPECT_EQ(row, QStringList({"", "'; DROP ", "ТХА(K)", "\"ТХА\" 'Н' 100%", "22", "3",
                                "ACEP — АСЕР", kLong.left(40), "1e3", "1,5Е-2", "5e400", "15"}));

    const QString file = home.config(QStringLiteral("hostile.sst"));
    dialogs.queueFileName(file);
    form.BtnSaveToFile->click();
    form.Prepare(3);
    EXPECT_TRUE(form.sensorSet().grid(2).row(4).join(QString()).isEmpty());
    dialogs.queueFileName(file);
    form.BtnLoadFromFile->click();
    EXPECT_EQ(form.sensorSet().grid(2).row(4), row);
    EXPECT_EQ(dialogs.texts(), QStringList({QString(), QString()})); // the two file dialogs
    form.hide();
}

// The reference row is matched against the register by what was typed: quotes,
// percent signs, look-alike letters and numbers in exponent form find exactly
// the entry that holds them.
TEST_F(SensorEditorSweep, ReferenceRowFindsItsRegisterEntryWhateverItsTexts)
{
    const int quoted = addEtal(QStringLiteral("O'1%"), 2001, QStringLiteral("\"ППО\" 'Н' 50%"),
                               QStringLiteral("ППО"), "1", 300, 1200, QStringLiteral("O'Neil"));
    const int latin = addEtal(QStringLiteral("A1"), 2001, QStringLiteral("ППО"),
                              QStringLiteral("ППО"), "1", 300, 1200);
    const int cyrillic = addEtal(QStringLiteral("А1"), 2001, QStringLiteral("ППО"),
                                 QStringLiteral("ППО"), "1", 300, 1200);
    const int tiny = addEtal(QStringLiteral("E1"), 2001, QStringLiteral("ППО"),
                             QStringLiteral("ППО"), "1", 1e-25, 1e300);
    const int small = addEtal(QStringLiteral("E2"), 2001, QStringLiteral("ППО"),
                              QStringLiteral("ППО"), "1", -1.5e-7, 1.25e-21);
    struct Case {
        QString serial, name, producer, tMin, tMax;
        int id;
    } cases[] = {
        {QStringLiteral("O'1%"), QStringLiteral("\"ППО\" 'Н' 50%"), QStringLiteral("O'Neil"),
         QStringLiteral("3e2"), QStringLiteral("1200,0"), quoted},
        {QStringLiteral("A1"), QStringLiteral("ППО"), QString(), QStringLiteral("300"),
         QStringLiteral("1.2Е3"), latin},
        {QStringLiteral("А1"), QStringLiteral("ППО"), QString(), QStringLiteral("300"),
         QStringLiteral("1200"), cyrillic},
        {QStringLiteral("E1"), QStringLiteral("ППО"), QString(), QStringLiteral("1E-25"),
         QStringLiteral("1e300"), tiny},
        {QStringLiteral("E2"), QStringLiteral("ППО"), QString(), QStringLiteral("-1,5e-7"),
         QStringLiteral("1.25E-21"), small},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.serial.toStdString());
        bunches.releaseAll();
        dialogs.clear();
        form.show(); // a commit closes the window
        form.Prepare(3);
        SensorSet set(3);
        setRow(set, 1, 1, {"", "ППО", "", "2001", "1", "", "", "", ""});
        setRow(set, 1, 2, {"7", "ТХА(K)", "ТХА", "2020", "2", "", "", "0", "1000"});
        form.setSensorSet(set);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 1, 1, c.serial), c.serial);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 1, 3, c.name), c.name);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 1, 6, c.producer), c.producer);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 1, 8, c.tMin), c.tMin);
        EXPECT_EQ(typeIntoOpenEditor(form.StringGrid1, 1, 9, c.tMax), c.tMax);
        form.StringGrid1->setCurrentCell(2, 1);
        form.BtnCommit->click();
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
        ASSERT_NE(bunches.bunch(1), nullptr);
        ASSERT_TRUE(bunches.bunch(1)->EtalSensor);
        EXPECT_EQ(bunches.bunch(1)->EtalSensor->ID, c.id);
        EXPECT_EQ(bunches.bunch(1)->EtalSensor->SerialNum, c.serial);
        EXPECT_EQ(bunches.bunch(1)->EtalSensor->TypeName, c.name);
    }
    form.hide();
}

class EtalEditorSweep : public SensorsFixture
{
protected:
    EtalTPData valid()
    {
        EtalTPData d;
        d.params = {"9", "ППО", "ППО-1", "2001", "1", "Завод", "Лаб"};
        for (int i = 1; i <= 3; ++i) {
            d.temp[size_t(i)] = QString::number(300 + 100 * i);
            d.emf[size_t(i)] = QString::number(i);
        }
        return d;
    }
    QVariantMap stored()
    {
        const auto rows = db.select(tables::EtalSens, QString());
        return rows && rows->size() == 1 ? rows->front() : QVariantMap();
    }

    TFormEtalTP editor{dialogs, db};
};

TEST_F(EtalEditorSweep, EveryCellOfTheEditor)
{
    enum Page { Params, Graduation };
    struct Case {
        Page page;
        int row, column;
        QString typed;
        QString cell;    // what the cell holds after typing
        QString message; // empty: stored
        const char *field;
        QVariant value; // the stored field
    };
    const QString yearMessage =
        QStringLiteral("Указано недопустимое значение параметра \"Год вып.\"!");
    const QString temp1 =
        QStringLiteral("Указано недопустимое значение параметра \"Температура\" в строке 1!");
    const QString emf1 =
        QStringLiteral("Указано недопустимое значение параметра \"Термо-ЭДС\" в строке 1!");
    const Case cases[] = {
        {Params, 0, 1, kDrop, "'; DROP ", {}, "SerialNum", "'; DROP"},
        {Params, 0, 1, "O'1\"%", "O'1\"%", {}, "SerialNum", "O'1\"%"},
        {Params, 0, 1, kLong, kLong.left(8), {}, "SerialNum", kLong.left(8)},
        {Params, 0, 1, "   ", "   ", "Не заполнен параметр \"Зав. №\"!", nullptr, {}},
        {Params, 2, 1, "\"ППО\" 'Н' 100%", "\"ППО\" 'Н' 100%", {}, "TypeName", "\"ППО\" 'Н' 100%"},
        {Params, 2, 1, kLong, kLong.left(20), {}, "TypeName", kLong.left(20)},
        {Params, 2, 1, "", "", "Не заполнен параметр \"Наименование\"!", nullptr, {}},
        {Params, 3, 1, "1e3", "13", yearMessage, nullptr, {}},
        {Params, 3, 1, "2027", "2027", yearMessage, nullptr, {}},
        {Params, 3, 1, "2о26", "226", yearMessage, nullptr, {}},
        {Params, 3, 1, "2026", "2026", {}, "ProdYear", 2026},
        {Params, 3, 1, "", "", {}, "ProdYear", QVariant()},
        {Params, 4, 1, "З", "", "Не заполнен параметр \"Разряд\"!", nullptr, {}}, // Cyrillic Ze
        {Params, 4, 1, "0", "0", {}, "ClassDop", "0"},
        {Params, 5, 1, kLong, kLong.left(40), {}, "Producer", kLong.left(40)},
        {Params, 6, 1, kDrop, kDrop, {}, "Owner", kDrop},
        {Params, 6, 1, "  ", "  ", {}, "Owner", ""},
        {Graduation, 0, 0, "1e3", "1e3", {}, "Temp1", 1000.0},
        {Graduation, 0, 0, "1.5", "1.5", {}, "Temp1", 1.5},
        {Graduation, 0, 0, "-1,5", "-1,5", {}, "WDTLowLim", -1.5},
        {Graduation, 0, 0, "1E-2", "1E-2", {}, "Temp1", 0.01},
        {Graduation, 0, 0, "1Е3", "1Е3", temp1, nullptr, {}}, // Cyrillic Е: refused as typed
        {Graduation, 0, 0, "5e400", "5e400", temp1, nullptr, {}},
        {Graduation, 0, 0, "1о5", "15", {}, "Temp1", 15.0},
        {Graduation,
         0,
         0,
         "%'\"",
         "",
         "Не указан параметр \"Температура\" в строке 1!",
         nullptr,
         {}},
        {Graduation, 0, 0, "  ", "", "Не указан параметр \"Температура\" в строке 1!", nullptr, {}},
        {Graduation, 0, 0, QString(300, u'1'), QString(9, u'1'), {}, "Temp1", 111111111.0},
        {Graduation, 0, 1, "1E-2", "1E-2", {}, "EMF1", 0.01},
        {Graduation, 0, 1, "1,5.5", "1,5.5", emf1, nullptr, {}},
        {Graduation, 0, 1, "-", "-", emf1, nullptr, {}},
        {Graduation, 0, 1, "5e400", "5e400", emf1, nullptr, {}},
        {Graduation, 0, 1, "", "", "Не указан параметр \"Термо-ЭДС\" в строке 1!", nullptr, {}},
    };
    editor.show();
    for (const Case &c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1,%2 <%3>").arg(c.row).arg(c.column).arg(c.typed).toStdString());
        db.DBDeleteEtalSensFilter(QString());
        dialogs.clear();
        editor.ClearData();
        EtalTPData d = valid();
        if (c.page == Params)
            d.params[size_t(c.row)].clear();
        else if (c.column == 0)
            d.temp[size_t(c.row + 1)].clear();
        else
            d.emf[size_t(c.row + 1)].clear();
        editor.setData(d);
        QTableWidget *grid =
            c.page == Params ? editor.StringGridParams : editor.StringGridGraduation;
        editor.PageControl->setCurrentIndex(c.page == Params ? 0 : 1);
        EXPECT_EQ(typeIntoOpenEditor(grid, c.row, c.column, c.typed), c.cell);
        // Leaving the cell commits the text (row 1 of the parameters is the drop-down).
        grid->setCurrentCell(c.page == Params ? (c.row == 0 ? 2 : 0) : c.row + 1, c.column);
        editor.ButtonApply->click();
        if (!c.message.isEmpty()) {
            ASSERT_EQ(dialogs.shown.size(), 1u);
            EXPECT_EQ(dialogs.last().text, c.message);
            EXPECT_TRUE(editor.isVisible());
            EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QString()), 0);
            continue;
        }
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
        EXPECT_FALSE(editor.isVisible());
        const QVariantMap row = stored();
        ASSERT_FALSE(row.isEmpty());
        const QVariant v = row.value(QLatin1String(c.field));
        if (c.value.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(v.toDouble(), c.value.toDouble());
        else if (c.value.isNull())
            EXPECT_TRUE(v.isNull()) << v.toString().toStdString();
        else
            EXPECT_EQ(v.toString(), c.value.toString());
        editor.show();
    }
    editor.hide();
}

// Entries whose texts hold quotes, percent signs or look-alike letters are
// found again from their grid row by "Изменить" and "Удалить", and a second
// "Добавить" of the same texts is recognised as a duplicate.
TEST_F(EtalEditorSweep, RegisterRowsWithHostileTextsAreFoundAgain)
{
    QTableWidget grid{9, 9};
    QPushButton add, edit, remove;
    auto refresh = [&] { showRegisterIn(grid, db); };
    EtalTPRegisterPage page{{&grid, &add, &edit, &remove}, &editor, db, dialogs, refresh};
    const QString serials[] = {QStringLiteral("'; DROP "), QStringLiteral("O'1\"%"),
                               QStringLiteral("%"), QStringLiteral("A1"), QStringLiteral("А1")};
    for (const QString &serial : serials) {
        SCOPED_TRACE(serial.toStdString());
        page.setEditorRunner([&](TFormEtalTP &form) {
            EtalTPData d = valid();
            d.params[EtalTPData::Serial] = serial;
            d.params[EtalTPData::Name] = QStringLiteral("'%\"_") + serial;
            d.params[EtalTPData::Year].clear();
            form.setData(d);
            form.ButtonApplyClick();
        });
        add.click();
    }
    ASSERT_EQ(db.DBGetRecordsCount(tables::EtalSens, QString()), 5);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();

    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        const QString serial = grid.item(r, 0)->text();
        grid.setCurrentCell(r, 0);
        int editedID = 0;
        page.setEditorRunner([&](TFormEtalTP &form) {
            editedID = form.editedID();
            EXPECT_EQ(form.data().params[EtalTPData::Serial], serial);
            StringGrid::setCellText(form.StringGridParams, 6, 1, QStringLiteral("Лаб ") + serial);
            form.ButtonApplyClick();
        });
        edit.click();
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
        ASSERT_GT(editedID, 0);
        const auto rows = db.select(tables::EtalSens, QStringLiteral("ID = %1").arg(editedID));
        ASSERT_EQ(rows->size(), 1u);
        EXPECT_EQ(rows->front().value("SerialNum").toString(), serial);
        EXPECT_EQ(rows->front().value("Owner").toString(), QStringLiteral("Лаб ") + serial);
    }

    // The same texts once more: the duplicate question, and No stores nothing.
    page.setEditorRunner([&](TFormEtalTP &form) {
        EtalTPData d = valid();
        d.params[EtalTPData::Serial] = QStringLiteral("O'1\"%");
        d.params[EtalTPData::Name] = QStringLiteral("'%\"_O'1\"%");
        d.params[EtalTPData::Year].clear();
        form.setData(d);
        form.ButtonApplyClick();
    });
    dialogs.queueAnswer(Dialogs::Answer::No);
    add.click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.last().text.startsWith(
        QStringLiteral("Внимание! ТП с такими реквизитами (зав. №, год вып., наименование)")));
    EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QString()), 5);

    // Deleting the Latin "A1" leaves the Cyrillic "А1".
    dialogs.clear();
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    for (int r = 0; r < 5; ++r)
        if (grid.item(r, 0)->text() == QLatin1String("A1"))
            grid.setCurrentCell(r, 0);
    remove.click();
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("Удалить выделенный эталонный ТП?")});
    EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QStringLiteral("SerialNum = 'A1'")), 0);
    EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QStringLiteral("SerialNum = 'А1'")), 1);
    EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QString()), 4);
}

} // namespace
} // namespace kront::test
