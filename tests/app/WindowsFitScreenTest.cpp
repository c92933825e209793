// Every window of the program fits the most common screen of a lab PC, 1366 x 768 with a task
// bar. Each window is built offscreen as the program builds it, filled with realistic content
// (both channel groups of the wizard at their fullest), and in each of its states it must ask
// for no more than that screen gives and cut off no button, grid, value or status text.
//
// KRONT_WINDOW_SHOTS=<folder> saves a picture of each window state there, to look at them.
#include "app/ui/HelpViewer.h"
#include "app/ui/TFormAbout.h"
#include "app/ui/TFormMKRONTSettings.h"
#include "app/ui/TFormMain.h"
#include "app/ui/TFormProgress.h"
#include "common/ui/QtDialogs.h"
#include "db/Database.h"
#include "db/TableSchema.h"
#include "history/ui/TFormSensorHistory.h"
#include "procedure/ui/ChannelGroupWidget.h"
#include "procedure/ui/DriftChart.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "procedure/ui/ParametersPageWidget.h"
#include "procedure/ui/TFormPoverkaTP.h"
#include "procedure/ui/TFormSelectEtalSensorType.h"
#include "reportengine/Report.h"
#include "reportengine/ui/ReportPreviewDialog.h"
#include "reportengine/ui/TemplateDialogWindow.h"
#include "reports/ui/TFormSelectSensorsForSvid.h"
#include "sensors/SensorSet.h"
#include "sensors/ui/TFormDBSensors.h"
#include "sensors/ui/TFormEtalTP.h"
#include "sensors/ui/TFormSensorSet.h"
#include "tests/app/AppTestFixture.h"
#include "tests/support/FakeClock.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace kront
{
namespace
{

// A 1366 x 768 screen less a task bar of 40 pixels: the screen the app tests run on
// (lab-screen.json).
constexpr QSize kLabScreen{1366, 768 - 40};
// What a window may take of it inside its frame (a title bar of 30 pixels, borders of 4).
constexpr QSize kClientArea{kLabScreen.width() - 2 * 4, kLabScreen.height() - 30 - 4};

bool fits(QSize size)
{
    return size.width() <= kClientArea.width() && size.height() <= kClientArea.height();
}

std::string text(QSize s)
{
    return std::to_string(s.width()) + " x " + std::to_string(s.height());
}

std::string nameOf(const QWidget *w)
{
    const QString name = w->objectName().isEmpty()
                             ? QString::fromLatin1(w->metaObject()->className())
                             : w->objectName();
    return name.toStdString();
}

// The widgets an operator reads or presses.
bool isControl(const QWidget *w)
{
    return qobject_cast<const QAbstractButton *>(w) || qobject_cast<const QLabel *>(w) ||
           qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w) ||
           qobject_cast<const QComboBox *>(w) || qobject_cast<const QAbstractScrollArea *>(w) ||
           qobject_cast<const QGroupBox *>(w) || qobject_cast<const QProgressBar *>(w);
}

// Cells editors and the pages of a preview scroll with their view; they are not laid out.
bool insideScrolledView(const QWidget *w, const QWidget *window)
{
    for (const QWidget *p = w->parentWidget(); p && p != window; p = p->parentWidget()) {
        const auto *area = qobject_cast<const QAbstractScrollArea *>(p->parentWidget());
        if (area && area->viewport() == p)
            return true;
    }
    return false;
}

// The part of `w` that its parents leave visible, in the window's coordinates.
QRect visibleRect(const QWidget *w, const QWidget *window)
{
    QRect r = w->rect();
    for (const QWidget *p = w; p != window && p->parentWidget(); p = p->parentWidget()) {
        r.translate(p->pos());
        r &= p->parentWidget()->rect();
    }
    return r;
}

// The one-line text a control shows, empty when it has none or wraps it.
QString plainText(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w)) {
        if (label->wordWrap() || Qt::mightBeRichText(label->text()))
            return {};
        return label->text();
    }
    if (const auto *tool = qobject_cast<const QToolButton *>(w);
        tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
        return {};
    if (const auto *button = qobject_cast<const QAbstractButton *>(w))
        return button->text();
    return {};
}

// Everything the window does wrong on the lab screen, one line each.
std::vector<std::string> faultsOf(QWidget *window)
{
    std::vector<std::string> faults;
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    if (!fits(minimum))
        faults.push_back("needs at least " + text(minimum));
    if (!fits(window->size()))
        faults.push_back("is shown at " + text(window->size()));
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !isControl(w) || w->isWindow() || insideScrolledView(w, window))
            continue;
        const QRect visible = visibleRect(w, window);
        if (visible.size() != w->size())
            faults.push_back(nameOf(w) + " is cut to " + text(visible.size()) + " of " +
                             text(w->size()));
        const QString shown = plainText(w);
        const QSize needed = w->fontMetrics().size(Qt::TextShowMnemonic, shown);
        const auto *label = qobject_cast<const QLabel *>(w);
        const QSize room = label ? label->contentsRect().size() : w->size();
        if (!shown.isEmpty() && (room.width() < needed.width() || room.height() < needed.height()))
            faults.push_back(nameOf(w) + " shows \"" + shown.toStdString() + "\" in " + text(room) +
                             " of " + text(needed));
    }
    return faults;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

void checkWindow(QWidget *window, const std::string &state)
{
    settle();
    if (const QString folder = qEnvironmentVariable("KRONT_WINDOW_SHOTS"); !folder.isEmpty())
        window->grab().save(folder + u'/' + QString::fromStdString(state) + ".png");
    for (const std::string &fault : faultsOf(window))
        ADD_FAILURE() << state << ": " << fault;
}

// A reading grid of the measurement page as the second point leaves it.
ReadingGridText readings()
{
    ReadingGridText grid;
    const QStringList rows{"Вход:", "ОБР", "1", "2", "3", "4"};
    for (int row = 0; row < 6; ++row)
        grid[0][row] = rows[row];
    for (int col = 1; col <= 4; ++col) {
        grid[col][0] = QStringLiteral("Отсчёт %1").arg(col);
        for (int row = 1; row < 6; ++row)
            grid[col][row] = QStringLiteral("-10,%1").arg(100 + 10 * row + col);
    }
    return grid;
}

// Every value of a channel group shown at once, with the longest texts of its panels.
ChannelControls fullestControls()
{
    ChannelControls c;
    c.recordVisible = true;
    c.statusText = QStringLiteral("Ошибка приема(10.12.2026 16:05:03): неверная контрольная сумма "
                                  "информационной части команды");
    c.stabilityText = QStringLiteral("Температура не стабилизировалась");
    c.connectedInputVisible = true;
    c.connectedInput = QStringLiteral("+4, поэлектродное");
    c.measValueVisible = true;
    c.measValue = QStringLiteral("-10,123");
    c.driftVisible = true;
    c.drift = QStringLiteral("0,25");
    c.thermostatCaptionVisible = true;
    c.thermostatCaption = QStringLiteral("Температура термостата, °С:");
    c.thermostatValueVisible = true;
    c.thermostatValue = QStringLiteral("1100,25");
    c.thermostatEditVisible = true;
    c.skVisible = true;
    c.wrongConnectionVisible = true;
    return c;
}

// A ТХА thermocouple verified every year for eight years at three temperatures, drifting
// upwards: the history window at its fullest.
SensorHistory driftingThermocouple()
{
    const StoredSensorKey key{QStringLiteral("12345678"), QStringLiteral("ТХА-0292-01"), 2015,
                              QStringLiteral("THA")};
    SensorUses uses;
    const double temperatures[] = {400.2, 700.1, 1000.3};
    for (int year = 0; year < 8; ++year) {
        SensorUse u;
        u.classDop = QStringLiteral("2");
        u.poverkaID = u.bunchID = year + 2;
        u.channel = 1 + year % 2;
        u.input = 1;
        u.povNum = QStringLiteral("П-%1").arg(2018 + year);
        u.finished = QDateTime(QDate(2018 + year, 3 + year % 5, 10), QTime(15, 0));
        u.kind = year == 0 ? 0 : 1;
        u.result = year < 7 ? QStringLiteral("2") : QStringLiteral("Бр.");
        u.docNum = QStringLiteral("%1-%2").arg(140 + year).arg(2018 + year);
        uses.uses.push_back(u);
        for (int point = 0; point < 3; ++point) {
            CalculationValues average{u.bunchID, point, QStringLiteral("Average"), 1,
                                      temperatures[point]};
            CalculationValues delta{u.bunchID, point, QStringLiteral("Delta")};
            delta.input[1] = 0.02 * (point + 1) * year - 0.03 + 0.01 * (year % 3);
            uses.rows.push_back(average);
            uses.rows.push_back(delta);
        }
    }
    return BuildSensorHistory(key, uses);
}

class WindowsFitScreenTest : public test::AppFixture
{
protected:
    void SetUp() override
    {
        AppFixture::SetUp();
        // Windows that size themselves from the screen are measured on the lab screen.
        ASSERT_EQ(QGuiApplication::primaryScreen()->availableSize(), kLabScreen)
            << "run through ctest, which gives the app tests the screen of lab-screen.json";
        createWindows();
        fillTables(14);
    }

    // `count` rows in the register of reference thermocouples, the sensors and the unfinished
    // verifications.
    void fillTables(int count)
    {
        Database &db = windows->database();
        for (int i = 1; i <= count; ++i) {
            TableRow etal(tables::EtalSens, {{"SerialNum", QStringLiteral("E%1").arg(1000 + i)},
                                             {"ProdYear", 2015},
                                             {"TypeName", "ППО-1300 исп. 2"},
                                             {"NSHType", "ППО"},
                                             {"SensKind", "ППО"},
                                             {"Producer", "Завод"},
                                             {"Etalon", true},
                                             {"ClassDop", "1"},
                                             {"Owner", "Лаборатория"},
                                             {"WDTHighLim", 1200.0},
                                             {"WDTLowLim", 300.0},
                                             {"RecordCreationDateTime", clock.now()}});
            for (int p = 1; p <= 17; ++p) {
                etal.set(QStringLiteral("Temp%1").arg(p), 100.0 * p);
                etal.set(QStringLiteral("EMF%1").arg(p), 1.0 * p);
            }
            ASSERT_TRUE(db.DBEtalSensInsert(etal));
            const TableRow sensor(tables::Sensors,
                                  {{"SerialNum", QStringLiteral("S%1").arg(20000 + i)},
                                   {"ProdYear", 2019},
                                   {"TypeName", "ТХА-0292-01"},
                                   {"NSHType", "THA"},
                                   {"SensKind", "TP"},
                                   {"Producer", "Завод"},
                                   {"Etalon", false},
                                   {"ClassDop", "2"},
                                   {"Owner", "Лаборатория"},
                                   {"WDTHighLim", 1000.0},
                                   {"WDTLowLim", -40.0},
                                   {"Diameter", 0.5},
                                   {"Mass", 12.5}});
            ASSERT_TRUE(db.DBSensorsInsert(sensor));
            const TableRow poverka(
                tables::Poverki,
                {{"PovNum", QStringLiteral("П-%1").arg(i)},
                 {"Started", clock.now().addDays(-i)},
                 {"Kind", i % 2},
                 {"Methodic", i % 3 == 0},
                 {"InstabilityCheckNeeded", i % 2 == 0},
                 {"CurrPovState", QStringLiteral("MainCycle;%1;4;1;").arg(i % 4)}});
            ASSERT_TRUE(db.DBPoverkaInsert(poverka));
        }
    }

    // Fills both channel groups of the measurement page as a run in full swing shows them.
    void fillMeasurementPage(TFormPoverkaTP &w)
    {
        w.showPage(PoverkaPage::Measurement);
        w.setMeasurementSubtitle(QStringLiteral("Определение ТЭДС при 8-й температуре"));
        w.setNextEnabled(true);
        std::vector<DriftSample> samples;
        for (int minute = 0; minute <= 30; ++minute)
            samples.push_back({1100.0 + 0.01 * (minute % 7), clock.now().addSecs(60 * minute)});
        for (int channel = 1; channel <= 2; ++channel) {
            w.showReadingGrid(channel, readings());
            w.showChannelControls(channel, fullestControls());
            w.setEditText(channel, ChannelEdit::Thermostat, QStringLiteral("1100,2"));
            w.setEditText(channel, ChannelEdit::SKTemperature, QStringLiteral("21,5"));
            w.showDriftSamples(channel, samples, 0.5);
        }
    }

    void fillConclusion(TFormPoverkaTP &w)
    {
        std::array<ConclusionGrid, 3> grids;
        for (int channel = 1; channel <= 2; ++channel)
            for (int input = 1; input <= 4; ++input)
                grids[channel].rows[input] = {QStringLiteral("ТХА(K)"),
                                              QStringLiteral("%1%2").arg(channel).arg(input),
                                              QStringLiteral("2"), QStringLiteral("Годен. ")};
        w.showConclusion(grids);
        w.showPage(PoverkaPage::Conclusion);
    }

    void fillSensorSet(TFormSensorSet &w, int kind)
    {
        w.Prepare(kind);
        SensorSet set(kind);
        for (int grid = 1; grid <= set.layout().gridCount; ++grid)
            for (int row = 1; row < set.layout().rowCount(); ++row)
                for (int col = 1; col < set.layout().columnCount(); ++col)
                    set.grid(grid).setCell(row, col, QStringLiteral("%1").arg(row * 100 + col));
        w.setSensorSet(set);
    }

    test::FakeClock clock;
    report::Report report;
};

// The windows and their states: each opens (shows and fills) its window.
TEST_F(WindowsFitScreenTest, EveryWindowInEveryStateFitsTheLabScreen)
{
    const QString protocols = QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol/");
    ApplicationWindows &app = *windows;
    TFormMain &main = *app.FormMain();
    TFormPoverkaTP &wizard = *app.FormPoverkaTP();
    TFormMKRONTSettings &settings = *app.FormMKRONTSettings();
    auto *svidChooser = main.findChild<TFormSelectSensorsForSvid *>();
    ASSERT_NE(svidChooser, nullptr);
    auto wizardPage = [&](int page) {
        return [&, page]() -> QWidget * {
            wizard.page1->prepare(3);
            PositionTexts serials;
            for (int p = 1; p <= kInspectionPositions; ++p)
                serials[p] = QStringLiteral("%1").arg(12345670 + p);
            wizard.page3->prepare(serials);
            wizard.show();
            if (page == 4)
                fillMeasurementPage(wizard);
            else if (page == 5)
                fillConclusion(wizard);
            else
                wizard.showPage(PoverkaPage(page));
            return &wizard;
        };
    };
    auto sensorSet = [&](int kind) {
        return [&, kind]() -> QWidget * {
            fillSensorSet(*app.FormSensorSet(), kind);
            app.FormSensorSet()->show();
            return app.FormSensorSet();
        };
    };
    auto settingsPage = [&](int page) {
        return [&, page]() -> QWidget * {
            settings.RefreshGrid();
            settings.pages()->setCurrentIndex(page);
            settings.show();
            return &settings;
        };
    };
    auto foundSensors = [&](bool reference) {
        return [&, reference]() -> QWidget * {
            app.FormDBSensors()->Prepare(QString(), 1, reference, 1);
            app.FormDBSensors()->show();
            return app.FormDBSensors();
        };
    };
    auto mainWindow = [&](void (TFormMain::*state)()) {
        return [&, state]() -> QWidget * {
            main.show();
            (main.*state)();
            return &main;
        };
    };
    auto preview = [&](const char *file) {
        return [&, file]() -> QWidget * {
            EXPECT_TRUE(report.loadFromFile(protocols + QString::fromUtf8(file)));
            EXPECT_TRUE(report.prepare());
            auto *dialog = new report::ReportPreviewDialog(report, dialogs, &main);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
            return dialog;
        };
    };

    const struct {
        const char *state;
        std::function<QWidget *()> open;
    } states[] = {
        {"main-idle", mainWindow(&TFormMain::ShowIdle)},
        {"main-unfinished", mainWindow(&TFormMain::ShowUnfinishedList)},
        {"main-search", mainWindow(&TFormMain::ShowSearchPanel)},
        {"wizard-1-parameters", wizardPage(1)},
        {"wizard-2-means", wizardPage(2)},
        {"wizard-3-inspection", wizardPage(3)},
        {"wizard-4-measurement", wizardPage(4)},
        {"wizard-5-conclusion", wizardPage(5)},
        {"etal-chooser",
         [&]() -> QWidget * {
             app.FormSelectEtalSensorType()->show();
             return app.FormSelectEtalSensorType();
         }},
        {"sensors-tp", sensorSet(3)},
        {"sensors-ppo", sensorSet(1)},
        {"sensors-pro", sensorSet(2)},
        {"sensors-ts", sensorSet(5)},
        {"found-reference", foundSensors(true)},
        {"found-working", foundSensors(false)},
        {"etal-editor",
         [&]() -> QWidget * {
             app.FormEtalTP()->ClearData();
             app.FormEtalTP()->show();
             return app.FormEtalTP();
         }},
        {"settings-register", settingsPage(0)},
        {"settings-connection", settingsPage(1)},
        {"settings-program", settingsPage(2)},
        {"progress",
         [&]() -> QWidget * {
             app.FormProgress()->start(
                 QStringLiteral("Обмен с измерителем ТАВЕР-7. Подождите завершения операции."),
                 QStringLiteral("Установка соединения ..."), 3);
             return app.FormProgress();
         }},
        {"about",
         [&]() -> QWidget * {
             app.FormAbout()->show();
             return app.FormAbout();
         }},
        {"help",
         [&]() -> QWidget * {
             app.Help()->showContents();
             return app.Help();
         }},
        {"svid-chooser",
         [&]() -> QWidget * {
             std::vector<TSensOpts> sensors(8);
             for (int i = 0; i < 8; ++i) {
                 TSensOpts &s = sensors[size_t(i)];
                 s.SensorID = i + 1;
                 s.Result = QStringLiteral("2");
                 s.DocNum = QStringLiteral("12345");
                 s.SerialNum = QStringLiteral("1234567%1").arg(i);
                 s.NSHType = QStringLiteral("THA");
             }
             svidChooser->setSensors(sensors);
             svidChooser->show();
             return svidChooser;
         }},
        {"sensor-history",
         [&]() -> QWidget * {
             app.FormSensorHistory()->showEmpty();
             app.FormSensorHistory()->showSensor(driftingThermocouple());
             return app.FormSensorHistory();
         }},
        {"preview-protocol", preview("Протокол поверки ТП методом прямых измерений.fr3")},
        {"preview-certificate", preview("Свидетельство ТП.fr3")},
        {"certificate-dialog",
         [&]() -> QWidget * {
             EXPECT_TRUE(report.loadFromFile(protocols + "Свидетельство ТП.fr3"));
             auto *dialog = new report::TemplateDialogWindow(
                 report, *report.findDialogPage(QStringLiteral("DialogPage1")), &main);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->show();
             return dialog;
         }},
    };
    for (const auto &s : states) {
        SCOPED_TRACE(s.state);
        QWidget *window = s.open();
        ASSERT_NE(window, nullptr);
        checkWindow(window, s.state);
        if (window != &main)
            window->close();
    }
}

// The measurement page keeps the chart of each channel large enough to read the furnace's
// half hour from it.
TEST_F(WindowsFitScreenTest, MeasurementPageShowsBothChartsReadably)
{
    TFormPoverkaTP &wizard = *windows->FormPoverkaTP();
    wizard.show();
    fillMeasurementPage(wizard);
    settle();
    for (int channel = 1; channel <= 2; ++channel) {
        const DriftChart *chart = wizard.channelGroup(channel)->chart;
        EXPECT_GE(chart->width(), 320) << channel;
        EXPECT_GE(chart->height(), 160) << channel;
    }
    wizard.close();
}

// A message box with the longest text the program shows: the thermocouples of a channel beyond
// their tolerance.
TEST_F(WindowsFitScreenTest, LongestMessageFitsTheLabScreen)
{
    QStringList sensors;
    for (int input = 1; input <= 4; ++input)
        sensors << QStringLiteral("№ 1234567%1, подключенный ко входу %1 канала 2").arg(input);
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        checkWindow(box, "message");
        checked = true;
        box->reject();
    });
    QtDialogs(windows->FormMain())
        .message(kProgramTitle, Dialogs::Icon::Question,
                 "Внимание! Отклонение от НСХ превысило предел допускаемого отклонения от НСХ для "
                 "заявленного класса допуска для следующих ТП:\r\n" +
                     sensors.join("\r\n") +
                     "\r\nПрервать поверку для данного канала после завершения текущей стадии?",
                 Dialogs::Buttons::YesNo);
    EXPECT_TRUE(checked);
}

} // namespace
} // namespace kront
