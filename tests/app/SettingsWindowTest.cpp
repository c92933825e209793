#include "app/ui/TFormMKRONTSettings.h"
#include "common/ui/HelpContext.h"
#include "db/Database.h"
#include "tests/app/AppTestFixture.h"
#include "tests/support/FileBytes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

namespace kront
{
namespace
{

using test::readBytes;

class SettingsWindowTest : public test::AppFixture
{
protected:
    TFormMKRONTSettings &window() { return *windows->FormMKRONTSettings(); }
    QString ini() const { return home.config("kront.INI"); }
    void writeIni(const QByteArray &bytes)
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(SettingsWindowTest, PagesControlsAndCaptions)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    EXPECT_EQ(w.windowTitle(), "Настройка");
    ASSERT_EQ(w.pages()->count(), 3);
    EXPECT_EQ(w.pages()->tabText(0), "Эталонные ТП");
    EXPECT_EQ(w.pages()->tabText(1), "Параметры подключения");
    EXPECT_EQ(w.pages()->tabText(2), "Настройки программы");

    const struct {
        const char *name;
        QString caption;
    } captions[] = {
        {"ButtonAddEtalTP", "Добавить"},
        {"ButtonEditEtalTP", "Изменить"},
        {"ButtonDeleteEtalTP", "Удалить"},
        {"ButtonApplyCommParams", "Применить"},
        {"ButtonApplyProgramSettings", "Применить"},
        {"ButtonClose", "Закрыть"},
        {"RadioChannel1", "Канал 1"},
        {"RadioChannel2", "Канал 2"},
        {"RadioPolarityDirect", "Прямая полярность"},
        {"RadioPolarityInverted", "Обратная полярность"},
        {"CheckBoxDisableTempStabilityCtrlByPrg",
         "Отключить программный контроль стабильности темпреатуры (температурный ход) "
         "печи/термостата"},
        {"CheckBoxWaitFixedTAVER_7Value",
         "Ожидать фиксации показания измеренного напряжения на ТАВЕР-7 в течение трех замеров"},
        {"CheckBoxReduceResultClass",
         "Понижать класс поверяемого датчика, если датчик не соответствует заявленному классу"},
        {"CheckBoxOfferPoverkaTermination",
         "Предлагать прервать поверку при превышении предела допускаемого отклонения от НСХ для "
         "заявленного класса допуска"},
        {"CheckBoxConnectionCheck", "Проверять подключение датчиков по измеренной ТЭДС"},
        {"CheckBoxStabilityForecast", "Показывать оценку времени до стабилизации температуры печи"},
        {"CheckBoxSvidNumAuto", "Автоматически нумеровать свидетельства"},
        {"CheckBoxIzvNumAuto", "Автоматически нумеровать извещения"},
    };
    for (const auto &c : captions) {
        auto *b = w.findChild<QAbstractButton *>(QLatin1String(c.name));
        ASSERT_NE(b, nullptr) << c.name;
        EXPECT_EQ(b->text(), c.caption) << c.name;
    }
    const struct {
        const char *name;
        QString title;
    } groups[] = {
        {"RadioGroupTAVER_7ChanNum", "№ канала ТАВЕР-7, подключенного к БИ1"},
        {"RadioGroupBI1TInputPolarity", "Подключение входа \"ОБР\" блока БИ1"},
        {"GroupBoxPort", "Порт связи с ТАВЕР-7"},
        {"GroupBoxDocuments", "Реквизиты для печати свидетельства/извещения"},
    };
    for (const auto &g : groups) {
        auto *box = w.findChild<QGroupBox *>(QLatin1String(g.name));
        ASSERT_NE(box, nullptr) << g.name;
        EXPECT_EQ(box->title(), g.title);
    }
    QStringList labels;
    for (QLabel *l : w.findChildren<QLabel *>())
        labels << l->text();
    for (const QString text :
         {"Выбранный порт:",
          "Наименование органа Государственной метрологической службы, юридического лица:",
          "Должность руководителя подразделения:", "Следующий номер:", "Количество знаков:"})
        EXPECT_TRUE(labels.contains(text)) << text.toStdString();
    for (const char *name :
         {"ComboBoxFoundPorts", "MemoOrganName", "LabeledEditRukDolgn", "JvSpinEditNextSvidNum",
          "JvSpinEditSvidDigitsCount", "JvSpinEditNextIzvNum", "JvSpinEditIzvDigitsCount",
          "StringGridEtalTP"})
        EXPECT_NE(w.findChild<QWidget *>(QLatin1String(name)), nullptr) << name;
    EXPECT_TRUE(w.ComboBoxFoundPorts->isEditable());
}

TEST_F(SettingsWindowTest, WithoutSettingsFileTheControlsShowTheDefaults)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    EXPECT_TRUE(w.RadioChannel1->isChecked());
    EXPECT_TRUE(w.RadioPolarityDirect->isChecked());
    EXPECT_FALSE(w.CheckBoxDisableTempStabilityCtrlByPrg->isChecked());
    EXPECT_TRUE(w.CheckBoxWaitFixedTAVER_7Value->isChecked());
    EXPECT_FALSE(w.CheckBoxReduceResultClass->isChecked());
    EXPECT_FALSE(w.CheckBoxOfferPoverkaTermination->isChecked());
    EXPECT_TRUE(w.CheckBoxConnectionCheck->isChecked());
    EXPECT_TRUE(w.CheckBoxStabilityForecast->isChecked());
    EXPECT_TRUE(w.MemoOrganName->toPlainText().isEmpty());
    EXPECT_TRUE(w.LabeledEditRukDolgn->text().isEmpty());
    EXPECT_FALSE(w.CheckBoxSvidNumAuto->isChecked());
    EXPECT_EQ(w.JvSpinEditNextSvidNum->value(), 1);
    EXPECT_EQ(w.JvSpinEditSvidDigitsCount->value(), 3);
    EXPECT_EQ(w.JvSpinEditNextIzvNum->value(), 1);
    EXPECT_EQ(w.JvSpinEditIzvDigitsCount->value(), 3);
    EXPECT_FALSE(w.JvSpinEditNextSvidNum->isEnabled());
    EXPECT_FALSE(w.JvSpinEditIzvDigitsCount->isEnabled());
    EXPECT_EQ(w.ComboBoxFoundPorts->count(), 2);
    EXPECT_EQ(w.ComboBoxFoundPorts->currentText(), "/dev/ttyS0");
}

TEST_F(SettingsWindowTest, NumberingCheckBoxesEnableTheirBoxesAndLabels)
{
    writeIni("[DocumentsSettings]\r\nIzvAutoNum=1\r\nIzvNextNum=12\r\n");
    createWindows();
    TFormMKRONTSettings &w = window();
    EXPECT_TRUE(w.JvSpinEditNextIzvNum->isEnabled());
    EXPECT_EQ(w.JvSpinEditNextIzvNum->value(), 12);
    EXPECT_FALSE(w.JvSpinEditNextSvidNum->isEnabled());
    auto labelsEnabled = [&](QSpinBox *box) {
        QStringList out;
        for (QLabel *l : box->parentWidget()->findChildren<QLabel *>())
            out << (l->isEnabled() ? "on" : "off");
        return out.join(' ');
    };
    EXPECT_EQ(labelsEnabled(w.JvSpinEditNextSvidNum), "off off");
    EXPECT_EQ(labelsEnabled(w.JvSpinEditNextIzvNum), "on on");
    w.CheckBoxSvidNumAuto->setChecked(true);
    w.CheckBoxIzvNumAuto->setChecked(false);
    EXPECT_TRUE(w.JvSpinEditNextSvidNum->isEnabled());
    EXPECT_TRUE(w.JvSpinEditSvidDigitsCount->isEnabled());
    EXPECT_EQ(labelsEnabled(w.JvSpinEditNextSvidNum), "on on");
    EXPECT_FALSE(w.JvSpinEditIzvDigitsCount->isEnabled());
    EXPECT_EQ(labelsEnabled(w.JvSpinEditNextIzvNum), "off off");
}

TEST_F(SettingsWindowTest, HelpTopicFollowsThePage)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    for (int page : {0, 1, 2, 0}) {
        w.pages()->setCurrentIndex(page);
        EXPECT_EQ(helpTopicOf(w.pages()->currentWidget()), 12 + page);
    }
}

TEST_F(SettingsWindowTest, EditsReachTheRunBeforeApplyAndApplyWritesThePage)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    w.ComboBoxFoundPorts->setEditText("/tmp/kront-sim-tty");
    EXPECT_EQ(windows->settings().portName(), "/tmp/kront-sim-tty"); // used by the next connection
    w.RadioChannel2->setChecked(true);
    w.RadioPolarityInverted->setChecked(true);
    EXPECT_EQ(windows->settings().taver7Channel(), 1); // only "Применить" changes the value
    w.show();
    w.ButtonApplyCommParams->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(windows->settings().taver7Channel(), 2);
    EXPECT_TRUE(windows->settings().bi1TInputInvertedPolarity());
    EXPECT_EQ(readBytes(ini()), QByteArray("[CommunicationParams]\r\nPort=/tmp/kront-sim-tty\r\n"
                                           "TAVER-7Channel=2\r\nBI1_TInputInvertedPolarity=1\r\n"));
}

TEST_F(SettingsWindowTest, ConnectionCheckAndForecastBoxesSwitchTheRunOnApply)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    w.CheckBoxConnectionCheck->setChecked(false);
    w.CheckBoxStabilityForecast->setChecked(false);
    EXPECT_TRUE(windows->settings().connectionCheck());
    w.ButtonApplyProgramSettings->click();
    EXPECT_FALSE(windows->settings().connectionCheck());
    EXPECT_FALSE(windows->settings().stabilityForecast());
    EXPECT_TRUE(readBytes(ini()).contains("ConnectionCheck=0\r\nStabilityForecast=0\r\n"));
}

TEST_F(SettingsWindowTest, OrganNameInThreeLinesSurvivesTheRoundTrip)
{
    IniFile(ini()).writeString("DocumentsSettings", "MetrologyOrganName", "ФБУ «ЦСМ»|Отдел|5");
    createWindows();
    TFormMKRONTSettings &w = window();
    EXPECT_EQ(w.MemoOrganName->toPlainText(), "ФБУ «ЦСМ»\nОтдел\n5");
    w.CheckBoxReduceResultClass->setChecked(true);
    w.ButtonApplyProgramSettings->click();
    EXPECT_EQ(SettingsFile().metrologyOrganName(), "ФБУ «ЦСМ»|Отдел|5");
    EXPECT_TRUE(SettingsFile().reduceResultClass());
    EXPECT_TRUE(windows->settings().reduceResultClass());
    EXPECT_FALSE(SettingsFile().svidAutoNum());
    EXPECT_FALSE(IniFile(ini()).valueExists("DocumentsSettings", "SvidNextNum"));
}

TEST_F(SettingsWindowTest, DocumentNumberingUpdatesTheBoxes)
{
    writeIni("[DocumentsSettings]\r\nSvidAutoNum=1\r\nSvidNextNum=7\r\nSvidDigitsCount=4\r\n");
    createWindows();
    TFormMKRONTSettings &w = window();
    ASSERT_TRUE(windows->settings().documentNumberUsed(DocumentKind::Certificate, 15, dialogs));
    EXPECT_EQ(w.JvSpinEditNextSvidNum->value(), 16);
    ASSERT_TRUE(windows->settings().switchAutoNumberingOff(DocumentKind::Certificate, dialogs));
    EXPECT_FALSE(w.CheckBoxSvidNumAuto->isChecked());
    EXPECT_FALSE(w.JvSpinEditNextSvidNum->isEnabled());
}

TEST_F(SettingsWindowTest, NumbersTheBoxesCannotShowAreUsedAsShown)
{
    writeIni("[DocumentsSettings]\r\nSvidAutoNum=1\r\nSvidNextNum=-5\r\n"
             "SvidDigitsCount=900\r\n");
    createWindows();
    EXPECT_EQ(window().JvSpinEditNextSvidNum->value(), 0);
    EXPECT_EQ(windows->settings().numbering(DocumentKind::Certificate).nextNum, 0);
    EXPECT_EQ(windows->settings().proposedDocumentNumber(DocumentKind::Certificate),
              QString(window().JvSpinEditSvidDigitsCount->value(), u'0'));
}

TEST_F(SettingsWindowTest, RegisterGridKeepsTenRowsUntilTheRegisterIsLonger)
{
    createWindows();
    TFormMKRONTSettings &w = window();
    EXPECT_EQ(w.StringGridEtalTP->rowCount(), 9);
    EXPECT_EQ(w.StringGridEtalTP->columnCount(), 9);
    QStringList headers;
    for (int c = 0; c < 9; ++c)
        headers << w.StringGridEtalTP->horizontalHeaderItem(c)->text();
    EXPECT_EQ(headers, QStringList({"Сер. №", "Тип", "Наименование", "Год вып.", "Разряд",
                                    "Изготовитель", "Владелец", "T min", "T max"}));

    std::vector<TableRow> rows;
    for (int i = 0; i < 12; ++i)
        rows.push_back(TableRow(tables::EtalSens, {{"SerialNum", QString("S%1").arg(i)},
                                                   {"ProdYear", 2001 + i},
                                                   {"TypeName", "ППО-1"},
                                                   {"NSHType", "ППО"},
                                                   {"SensKind", "ППО"},
                                                   {"Producer", "Завод"},
                                                   {"Etalon", true},
                                                   {"ClassDop", "2"},
                                                   {"Owner", "ЦСМ"},
                                                   {"WDTHighLim", 1100.0},
                                                   {"WDTLowLim", 300.5}}));
    ASSERT_TRUE(windows->database().insertRows(tables::EtalSens, {rows[0], rows[1], rows[2]}));
    w.RefreshGrid();
    EXPECT_EQ(w.StringGridEtalTP->rowCount(), 9);
    QStringList first;
    for (int c = 0; c < 9; ++c)
        first << w.StringGridEtalTP->item(0, c)->text();
    EXPECT_EQ(first.join(';'), "S0;ППО;ППО-1;2001;2;Завод;ЦСМ;300,5;1100");
    EXPECT_EQ(w.StringGridEtalTP->item(3, 0), nullptr);

    ASSERT_TRUE(windows->database().insertRows(
        tables::EtalSens, std::vector<TableRow>(rows.begin() + 3, rows.end())));
    w.RefreshGrid();
    EXPECT_EQ(w.StringGridEtalTP->rowCount(), 12);
    EXPECT_EQ(w.StringGridEtalTP->item(11, 0)->text(), "S11");
}

TEST_F(SettingsWindowTest, UnreadableRegisterStopsTheLoadingWithItsMessage)
{
    {
        QFile f(home.data("EtalSens.cds"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is not a table file");
    }
    writeIni("[CommunicationParams]\r\nTAVER-7Channel=2\r\n");
    createWindows();
    ASSERT_EQ(dialogs.shown.size(), 1u) << dialogs.texts().join('\n').toStdString();
    EXPECT_EQ(dialogs.last().text, "Не удалось открыть базу данных эталонных датчиков! Устаните "
                                   "причину и перезапустите программу.");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_FALSE(windows->settings().isLoaded());
    EXPECT_EQ(windows->settings().taver7Channel(), 1);
    EXPECT_EQ(window().ComboBoxFoundPorts->count(), 0);
}

} // namespace
} // namespace kront
