// The windows of the export to the state registry offscreen: the settings page "ФГИС «Аршин»"
// and the preview of an export.
#include "app/ui/TFormMKRONTSettings.h"
#include "db/Database.h"
#include "db/TableRow.h"
#include "registry/RegistryData.h"
#include "registry/ui/RegistrySettingsPage.h"
#include "registry/ui/TFormRegistryExport.h"
#include "tests/app/AppTestFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace kront
{
namespace
{

class RegistryWindowsTest : public test::AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        createWindows();
        for (const char *serial : {"E1", "E2"}) {
            TableRow etal(tables::EtalSens,
                          {{"SerialNum", serial},
                           {"ProdYear", 2015},
                           {"TypeName", "ППО-1300"},
                           {"NSHType", "ППО"},
                           {"SensKind", "ППО"},
                           {"Producer", "Завод"},
                           {"Etalon", true},
                           {"ClassDop", "1"},
                           {"Owner", "Лаборатория"},
                           {"WDTHighLim", 1200.0},
                           {"WDTLowLim", 300.0},
                           {"RecordCreationDateTime", QDateTime(QDate(2026, 1, 1), QTime(8, 0))}});
            for (int p = 1; p <= 17; ++p) {
                etal.set(QStringLiteral("Temp%1").arg(p), 100.0 * p);
                etal.set(QStringLiteral("EMF%1").arg(p), 1.0 * p);
            }
            ASSERT_TRUE(windows->database().DBEtalSensInsert(etal));
        }
    }
    TFormMKRONTSettings &window() { return *windows->FormMKRONTSettings(); }
    RegistrySettingsPage &page() { return *window().registryPage(); }
    // Opens the window on the page, reading what is stored.
    RegistrySettingsPage &open()
    {
        window().pages()->setCurrentIndex(3);
        window().show();
        return page();
    }
    static void setCells(QTableWidget *g, int row, const QStringList &cells)
    {
        if (g->rowCount() <= row)
            g->setRowCount(row + 1);
        for (int c = 0; c < cells.size(); ++c)
            g->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    // A page that applies.
    void fillGood(RegistrySettingsPage &p)
    {
        p.EditSignCipher->setText(QStringLiteral("ЖЖЖ"));
        p.EditVerifier->setText(QStringLiteral("Петров Пётр Петрович"));
        p.EditOwner->setText(QStringLiteral("ООО «Образец» & Ко"));
        p.ComboBoxTimeZone->setCurrentIndex(p.ComboBoxTimeZone->findData(5 * 60));
        p.CheckBoxSignPass->setChecked(false);
        p.CheckBoxSignMi->setChecked(true);
        setCells(p.StringGridSensorTypes, 0, {"ТХА-0292", "12345-67", "исп. 01", "24"});
        setCells(p.StringGridSensorTypes, 1, {"ТХК-0515", "23456-78", "-", "12"});
        setCells(p.StringGridMeans, 0, {"Вольтметр ТАВЕР-7", "11111-11", "V-12"});
        p.StringGridEtalMieta->item(1, 3)->setText(QStringLiteral("00000.00.0Р.00000000"));
    }
};

TEST_F(RegistryWindowsTest, SettingsPageStoresWhatItShowsAndShowsItAgain)
{
    RegistrySettingsPage &p = open();
    EXPECT_EQ(p.ComboBoxTimeZone->currentData().toInt(), systemTimeZoneOffsetMinutes());
    ASSERT_EQ(p.StringGridEtalMieta->rowCount(), 2); // the references of the register
    EXPECT_EQ(p.StringGridEtalMieta->item(1, 0)->text(), "E2");
    EXPECT_FALSE(p.StringGridEtalMieta->item(1, 0)->flags() & Qt::ItemIsEditable);
    fillGood(p);
    p.ButtonApplyRegistry->click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_FALSE(window().isVisible()); // applied and closed

    const RegistrySettings stored = loadRegistrySettings();
    EXPECT_EQ(stored.signCipher, "ЖЖЖ");
    EXPECT_EQ(stored.defaultVerifier, "Петров Пётр Петрович");
    EXPECT_EQ(stored.defaultOwner, "ООО «Образец» & Ко");
    EXPECT_EQ(stored.timeZoneOffsetMinutes, 300);
    EXPECT_FALSE(stored.signPass);
    EXPECT_TRUE(stored.signMi);
    const auto data = LoadRegistryData(windows->database());
    ASSERT_TRUE(data);
    ASSERT_EQ(data->sensorTypes.size(), 2u);
    EXPECT_EQ(data->sensorTypes[1].typeNumber, "23456-78");
    EXPECT_EQ(data->sensorTypes[0].intervalMonths, 24);
    ASSERT_EQ(data->means.instruments.size(), 1u);
    EXPECT_EQ(data->means.instruments[0].serialNum, "V-12");
    ASSERT_EQ(data->means.references.size(), 1u);
    const auto e2 = windows->database().select(tables::EtalSens, "SerialNum = 'E2'");
    ASSERT_TRUE(e2 && e2->size() == 1);
    EXPECT_EQ(data->means.regNumberOf(e2->front().value("ID").toInt()), "00000.00.0Р.00000000");

    // The program settings page keeps the registry section when it writes the file.
    window().ButtonApplyProgramSettings->click();
    EXPECT_EQ(loadRegistrySettings().signCipher, "ЖЖЖ");

    // Opened again, the page shows what is stored, not what was typed last.
    p.EditSignCipher->setText(QStringLiteral("АБ"));
    p.StringGridSensorTypes->setRowCount(0);
    open();
    EXPECT_EQ(p.EditSignCipher->text(), "ЖЖЖ");
    EXPECT_EQ(p.ComboBoxTimeZone->currentText(), "+05:00");
    EXPECT_TRUE(p.CheckBoxSignMi->isChecked());
    ASSERT_EQ(p.StringGridSensorTypes->rowCount(), 2);
    EXPECT_EQ(p.StringGridSensorTypes->item(0, 3)->text(), "24");
    EXPECT_EQ(p.StringGridMeans->item(0, 1)->text(), "11111-11");
    EXPECT_EQ(p.StringGridEtalMieta->item(1, 3)->text(), "00000.00.0Р.00000000");
    EXPECT_EQ(p.StringGridEtalMieta->item(0, 3)->text(), "");
    window().close();
}

// A wrong value is named and nothing is stored, whichever part of the page holds it.
TEST_F(RegistryWindowsTest, SettingsPageNamesTheWrongValueAndStoresNothing)
{
    struct Case {
        const char *name;
        std::function<void(RegistrySettingsPage &)> spoil;
        const char *message; // the start of the message
    };
    const Case cases[] = {
        {"no cipher", [](RegistrySettingsPage &p) { p.EditSignCipher->clear(); },
         "Не задан шифр знака поверки."},
        {"latin letter",
         [](RegistrySettingsPage &p) { p.EditSignCipher->setText(QStringLiteral("ЖA")); }, "Шифр"},
        {"interval not a number",
         [](RegistrySettingsPage &p) {
             setCells(p.StringGridSensorTypes, 1, {"ТХК", "1-1", "-", "год"});
         },
         "Таблица «Типы поверяемых ТП». Строка 2: межповерочный интервал"},
        {"same type twice",
         [](RegistrySettingsPage &p) {
             setCells(p.StringGridSensorTypes, 1, {"ТХА-0292", "1-1", "-", "12"});
         },
         "Таблица «Типы поверяемых ТП». Строка 2: тип ТХА-0292 уже есть"},
        {"instrument number too long",
         [](RegistrySettingsPage &p) {
             setCells(p.StringGridMeans, 0, {"Вольтметр", QString(33, u'1'), "V"});
         },
         "Таблица «Вспомогательные средства поверки». Строка 1"},
        {"reference number too long",
         [](RegistrySettingsPage &p) {
             p.StringGridEtalMieta->item(0, 3)->setText(QString(33, u'1'));
         },
         "Таблица «Эталонные ТП в ФИФ ОЕИ». Регистрационный номер эталона длиннее 32 символов."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.clear();
        RegistrySettingsPage &p = open();
        fillGood(p);
        c.spoil(p);
        EXPECT_FALSE(p.ButtonApplyRegistryClick());
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.last().text.startsWith(QString::fromUtf8(c.message)))
            << dialogs.last().text.toStdString();
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
        EXPECT_TRUE(window().isVisible());
        EXPECT_EQ(loadRegistrySettings().signCipher, QString());
        EXPECT_TRUE(LoadSensorTypes(windows->database())
                        .value_or(std::vector<SensorTypeEntry>{{}})
                        .empty());
        window().close();
    }
}

RegistryPreview twoAndOne()
{
    RegistryPreview p;
    p.results = {{"П-1", "09.12.2026", "S1", "ТХА-0292", "12345-67", true, false},
                 {"П-1", "09.12.2026", "S2", "ТХА-0292", "12345-67", false, true}};
    p.refusals = {{"П-2", "S3", "ТХК-0515", "Тип ТХК-0515 не указан в таблице типов ТП."}};
    p.fileCount = 1;
    return p;
}

TEST_F(RegistryWindowsTest, PreviewListsResultsAndRefusalsAndNeedsAFile)
{
    TFormRegistryExport w(dialogs);
    EXPECT_EQ(w.windowTitle(), "Выгрузка во ФГИС «Аршин»");
    w.showPreview(twoAndOne(), QStringLiteral("/tmp/a.xml"));
    ASSERT_EQ(w.StringGridResults->rowCount(), 2);
    EXPECT_EQ(w.StringGridResults->item(0, 2)->text(), "S1");
    EXPECT_EQ(w.StringGridResults->item(0, 5)->text(), "годен");
    EXPECT_EQ(w.StringGridResults->item(1, 5)->text(), "не годен");
    EXPECT_EQ(w.StringGridResults->item(1, 6)->text(), "да");
    ASSERT_EQ(w.StringGridRefusals->rowCount(), 1);
    EXPECT_EQ(w.StringGridRefusals->item(0, 3)->text(),
              "Тип ТХК-0515 не указан в таблице типов ТП.");
    EXPECT_EQ(w.LabelSummary->text(), "Результатов поверки к выгрузке: 2. Не могут быть "
                                      "выгружены: 1. Выгружены ранее: 1.");
    EXPECT_EQ(w.fileName(), "/tmp/a.xml");
    EXPECT_TRUE(w.ButtonExport->isEnabled());

    dialogs.queueFileName(QStringLiteral("/tmp/b.xml"));
    w.ButtonBrowse->click();
    EXPECT_EQ(w.fileName(), "/tmp/b.xml");
    w.ButtonBrowse->click(); // cancelled: the file stays
    EXPECT_EQ(w.fileName(), "/tmp/b.xml");

    w.show();
    w.EditFileName->setText(QStringLiteral("   "));
    w.ButtonExport->click();
    EXPECT_EQ(dialogs.last().text, "Укажите файл выгрузки!");
    EXPECT_TRUE(w.isVisible());
    w.EditFileName->setText(QStringLiteral("/tmp/c.xml"));
    w.ButtonExport->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);

    RegistryPreview none = twoAndOne();
    none.results.clear();
    w.showPreview(none, QStringLiteral("/tmp/a.xml"));
    EXPECT_FALSE(w.ButtonExport->isEnabled()); // nothing to write
    EXPECT_EQ(w.StringGridResults->rowCount(), 0);
}

} // namespace
} // namespace kront
