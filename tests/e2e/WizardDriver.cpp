#include "WizardDriver.h"

#include "E2eDialogs.h"
#include "ReferenceRegister.h"
#include "SimProcess.h"
#include "TestCluster.h"
#include "app/ui/ApplicationWindows.h"
#include "app/ui/TFormMain.h"
#include "common/AppHome.h"
#include "common/Clock.h"
#include "common/ui/StringGrid.h"
#include "db/Database.h"
#include "db/FilterText.h"
#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "procedure/ui/ChannelGroupWidget.h"
#include "procedure/ui/ConclusionPageWidget.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "procedure/ui/ParametersPageWidget.h"
#include "procedure/ui/RadioGroup.h"
#include "procedure/ui/TFormPoverkaTP.h"
#include "procedure/ui/TFormSelectEtalSensorType.h"
#include "procedure/ui/UnfinishedPanel.h"
#include "sensors/EtalTPRegister.h"
#include "sensors/SensorSet.h"
#include "sensors/SensorSetFile.h"
#include "sensors/ui/TFormDBSensors.h"
#include "sensors/ui/TFormSensorSet.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTextStream>
#include <QTimer>
#include <algorithm>

namespace kront::e2e
{

namespace
{
constexpr int kTickMs = 20;

QString decimalText(double v)
{
    return QString::number(v, 'f', 2).replace(u'.', u',');
}

void say(const QString &text)
{
    QTextStream(stdout) << "[e2e] " << text << Qt::endl;
}
} // namespace

WizardDriver::WizardDriver(Scenario &scenario, ApplicationWindows &app, E2eDialogs &dialogSet,
                           SimProcess &simulator)
    : sc(scenario), windows(app), dialogs(dialogSet), sim(simulator), timer(new QTimer(this))
{
    timer->setInterval(kTickMs);
    connect(timer, &QTimer::timeout, this, &WizardDriver::tick);
    connect(windows.FormPoverkaTP(), &TFormPoverkaTP::channelControlsShown, this,
            &WizardDriver::channelControlsShown);
    dialogs.setMessageWatcher([this](const QString &text) { watchMessage(text); });
}

// With --shots: the verification window is saved as `name` the first time `now` holds (once
// the controls are on the screen).
void WizardDriver::shootOnce(bool now, const QString &name)
{
    if (now && claimShot(name))
        QTimer::singleShot(0, this, [this, name] { saveShot(windows.FormPoverkaTP(), name); });
}

// `stop = TEXT`: the program stops while that message box is open. No table is held open
// between record operations, so the table files at that moment are what a power cut leaves;
// they are kept aside, the run goes on until the wizard can be closed, and the program then
// starts again on them.
void WizardDriver::watchMessage(const QString &text)
{
    playServerEvents(ServerEvent::When::Message, text);
    if (stopPending || nextStop >= sc.stops.size() || !text.contains(sc.stops[nextStop]))
        return;
    ++nextStop;
    stopPending = true;
    say(QStringLiteral("the program stops at: ") + QString(text).replace("\r\n", " / "));
    QDir kept(AppHome::dir() + QStringLiteral("/stopped-data"));
    kept.removeRecursively();
    kept.mkpath(QStringLiteral("."));
    const QDir data(AppHome::dataDir());
    for (const QString &name : data.entryList(QDir::Files))
        if (!QFile::copy(data.filePath(name), kept.filePath(name)))
            fail(QStringLiteral("the table file %1 could not be kept").arg(name));
}

void WizardDriver::restartAfterStop()
{
    stopPending = false;
    const QDir kept(AppHome::dir() + QStringLiteral("/stopped-data"));
    const QDir data(AppHome::dataDir());
    for (const QString &name : kept.entryList(QDir::Files)) {
        QFile::remove(data.filePath(name));
        if (!QFile::copy(kept.filePath(name), data.filePath(name)))
            return fail(QStringLiteral("the table file %1 could not be put back").arg(name));
    }
    say(QStringLiteral("the program starts again on the tables the stop left"));
    phase = Phase::ResumePending;
}

// Kept as the operator saw them: each new text of a message panel (with the
// program time, to check the date and time a receive error carries) and each
// new measured value.
void WizardDriver::channelControlsShown(int channel, const ChannelControls &controls)
{
    if (controls.statusText != lastStatus[size_t(channel)]) {
        lastStatus[size_t(channel)] = controls.statusText;
        // Printed once per text; texts differing only in their date and time count as one.
        static const QRegularExpression stamp(
            QStringLiteral("\\(\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\)"));
        const auto unstamped = [](QString t) { return t.replace(stamp, QStringLiteral("()")); };
        const QString text = unstamped(controls.statusText);
        const bool seen = std::any_of(statuses.begin(), statuses.end(),
                                      [&](const auto &s) { return unstamped(s.text) == text; });
        statuses.push_back({channel, controls.statusText, programClock().now()});
        if (!seen && !controls.statusText.isEmpty())
            say(QStringLiteral("status %1: %2").arg(channel).arg(controls.statusText));
    }
    shootOnce(!controls.connectionDiagnosis.isEmpty(), QStringLiteral("diagnosis"));
    shootOnce(controls.stabilityText.startsWith(QStringLiteral("Стабилизация ≈")),
              QStringLiteral("forecast"));
    if (controls.measValueVisible && !controls.measValue.isEmpty() &&
        (measuredValues.isEmpty() || measuredValues.back() != controls.measValue)) {
        measuredValues << controls.measValue;
        if (qEnvironmentVariableIsSet("KRONT_E2E_TRACE_VALUES"))
            say(QStringLiteral("value %1: %2 (%3)")
                    .arg(channel)
                    .arg(controls.measValue, controls.thermostatValue));
    }
}

// --- Before the verification ---

bool WizardDriver::setUp(QString &error)
{
    if (!registerReferences(error) || !commitSensors(error))
        return false;
    runSimCommands(); // those given for before the first recording (sim = 0 ...)
    playServerEvents(ServerEvent::When::Presses);
    if (failed())
        error = failureText();
    return !failed();
}

// The reference thermocouples go into the register as the operator enters
// them; on a register shared with other installations that were given them
// already, the run only checks that they are there.
bool WizardDriver::registerReferences(QString &error)
{
    for (const auto &[channel, data] : scenarioReferences(sc)) {
        if (referencesRegistered) {
            if (inRegister(data, windows.database()))
                continue;
            error = QStringLiteral("the reference %1 of channel %2 is not in the shared register")
                        .arg(data.params[EtalTPData::Serial])
                        .arg(channel);
            return false;
        }
        if (!registerReference(data, windows.database(), dialogs)) {
            error = QStringLiteral("the reference of channel %1 was not registered: %2")
                        .arg(channel)
                        .arg(lastDialogText());
            return false;
        }
    }
    return true;
}

bool WizardDriver::commitSensors(QString &error)
{
    SensorSet set(skTP);
    for (int c = 1; c <= 2; ++c) {
        const ScenarioChannel &ch = sc.channels[size_t(c)];
        if (!ch.used())
            continue;
        const bool thermocouple = ch.reference == u"ppo" || ch.reference == u"pro";
        if (thermocouple)
            set.setText(c, 1, SensorColumn::Serial, ch.referenceSerial);
        // With the lookup the rest of the row comes from the register (below).
        if (thermocouple && !ch.referenceLookup) {
            QList<double> temps;
            for (const QString &p : ch.graduation.split(QRegularExpression(QStringLiteral("\\s+")),
                                                        Qt::SkipEmptyParts))
                temps << p.section(u':', 0, 0).toDouble();
            std::sort(temps.begin(), temps.end());
            set.setText(c, 1, SensorColumn::Type,
                        ch.reference == u"ppo" ? QStringLiteral("ППО") : QStringLiteral("ПРО"));
            set.setText(c, 1, SensorColumn::Name, ch.referenceName);
            set.setText(c, 1, SensorColumn::Class, ch.referenceRank);
            set.setText(c, 1, SensorColumn::TMin, decimalText(temps.front()));
            set.setText(c, 1, SensorColumn::TMax, decimalText(temps.back()));
        }
        for (int i = 1; i <= 4; ++i) {
            const ScenarioSensor &s = ch.inputs[size_t(i)];
            if (!s.present)
                continue;
            set.setText(c, i + 1, SensorColumn::Serial, s.serial);
            set.setText(c, i + 1, SensorColumn::Type, NSHDisplayNameOf(NSHTypeFromText(s.type)));
            set.setText(c, i + 1, SensorColumn::Name, s.name);
            set.setText(c, i + 1, SensorColumn::Class, s.klass);
            set.setText(c, i + 1, SensorColumn::Year, s.year);
            set.setText(c, i + 1, SensorColumn::TMin, QStringLiteral("-40"));
            set.setText(c, i + 1, SensorColumn::TMax, QStringLiteral("1300"));
        }
    }
    TFormSensorSet *editor = windows.FormSensorSet();
    editor->Prepare(skTP);
    editor->setSensorSet(set);
    // The operator releases the mouse over "ОБР" and takes the one reference found.
    editor->setChooserRunner([](TFormDBSensors &chooser) { chooser.ButtonApplyClick(); });
    for (int c = 1; c <= 2; ++c) {
        if (sc.channels[size_t(c)].referenceLookup)
            editor->LookupSensor(c, 1);
    }
    editor->BtnCommitClick();
    if (windows.bunches().AllBunchesIsEmpty()) {
        error = QStringLiteral("the connected sensors were not accepted: ") + lastDialogText();
        return false;
    }
    if (!sc.sensorFile.isEmpty() &&
        !SensorSetFile::write(AppHome::configFile(sc.sensorFile), editor->sensorSet(), &error))
        return false;
    return true;
}

// --- Playing ---

void WizardDriver::run()
{
    elapsed.start();
    QEventLoop loop;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer quitCheck;
    connect(&quitCheck, &QTimer::timeout, &loop, [&] {
        if (phase == Phase::Done || failed())
            loop.quit();
    });
    quitCheck.start(50);
    timer->start();
    loop.exec();
    timer->stop();
}

void WizardDriver::fail(const QString &why)
{
    if (failure.isEmpty()) {
        failure = why;
        say(QStringLiteral("FAILED: ") + why);
    }
    // Close whatever is open so that the run can end.
    if (QWidget *modal = QApplication::activeModalWidget())
        modal->close();
}

QString WizardDriver::lastDialogText() const
{
    return dialogs.shown.empty() ? QString() : dialogs.shown.back().text;
}

double WizardDriver::furnaceForRun() const
{
    const QString title = wizard ? wizard->subtitle() : QString();
    static const QRegularExpression point(QStringLiteral("при (\\d+)-й температуре"));
    if (const auto m = point.match(title); m.hasMatch()) {
        const int n = m.captured(1).toInt();
        if (n >= 1 && n <= int(sc.points.size()))
            return sc.points[size_t(n - 1)];
    }
    return sc.instabilityTemperature;
}

void WizardDriver::tick()
{
    if (phase == Phase::Done || failed())
        return;
    if (elapsed.elapsed() > qint64(sc.timeoutSeconds) * 1000) {
        fail(QStringLiteral("time-out; last dialog: ") + lastDialogText());
        return;
    }
    QWidget *modal = QApplication::activeModalWidget();
    if (qEnvironmentVariableIsSet("KRONT_E2E_TRACE"))
        say(QStringLiteral("tick modal=%1 acting=%2 phase=%3")
                .arg(modal ? modal->objectName() : QStringLiteral("-"))
                .arg(acting)
                .arg(int(phase)));
    if (auto *chooser = qobject_cast<TFormSelectEtalSensorType *>(modal)) {
        handleChooser(chooser);
        return;
    }
    if (acting)
        return; // an action of the driver is still running (a nested event loop)
    if (auto *w = qobject_cast<TFormPoverkaTP *>(modal)) {
        wizard = w;
        // Acted on from the event queue, not inside this timer's slot: a timer
        // does not fire again while its slot runs, and the action may open a
        // nested modal loop that the driver has to serve.
        acting = true;
        QTimer::singleShot(0, this, [this, w] {
            handleWizard(w);
            acting = false;
        });
        return;
    }
    if (modal)
        return fail(QStringLiteral("unexpected modal window ") + modal->objectName());

    TFormMain *main = windows.FormMain();
    switch (phase) {
    case Phase::Start:
        phase = Phase::Running;
        say(QStringLiteral("new verification"));
        QTimer::singleShot(0, this, [this, main] {
            main->action(QStringLiteral("PoverkaTP"))->trigger();
            wizardReturned();
        });
        break;
    case Phase::ResumePending: {
        phase = Phase::Running;
        playServerEvents(ServerEvent::When::Resume);
        const auto stored = windows.database().select(
            tables::Poverki, QStringLiteral("PovNum = '") + quoteFilterText(sc.number) + "'");
        resumedStates << (stored && !stored->empty()
                              ? stored->back().value(QStringLiteral("CurrPovState")).toString()
                              : QString());
        say(QStringLiteral("resuming from the unfinished list at ") + resumedStates.back());
        main->action(QStringLiteral("ContinuePoverka"))->trigger();
        if (main->state() != TFormMain::State::UnfinishedList)
            return fail(QStringLiteral("no unfinished verification listed: ") + lastDialogText());
        ++resumptions;
        windows.PanelUnfinished()->selectRow(0);
        QTimer::singleShot(0, this, [this] {
            windows.PanelUnfinished()->ButtonSelectPovClick();
            wizardReturned();
        });
        break;
    }
    default: break;
    }
}

void WizardDriver::wizardReturned()
{
    if (stopPending)
        return restartAfterStop();
    if (interrupted) {
        interrupted = false;
        const Interruption &in = sc.interruptions[nextInterruption - 1];
        phase = in.resume ? Phase::ResumePending : Phase::Done;
        return;
    }
    if (!finishPressed && nextReopen < size_t(sc.reopens.size())) {
        // The wizard closed by itself (the link failed): the installation is
        // seen to and the verification continued once more.
        const QString cmd = sc.reopens[qsizetype(nextReopen++)];
        say(QStringLiteral("the wizard closed by itself"));
        if (!cmd.isEmpty())
            say(QStringLiteral("simulator: ") + cmd + QStringLiteral(" -> ") + sim.command(cmd));
        phase = Phase::ResumePending;
        return;
    }
    phase = Phase::Done;
}

void WizardDriver::handleChooser(TFormSelectEtalSensorType *chooser)
{
    for (int c = 1; c <= 2; ++c) {
        const int wanted = sc.channels[size_t(c)].thermometer;
        RadioGroup *g = chooser->group(c);
        if (g->isEnabled())
            g->setItemIndex(wanted >= 0 ? wanted : 1);
    }
    say(QStringLiteral("reference thermometers chosen"));
    chooser->ButtonOkClick();
}

void WizardDriver::handleWizard(TFormPoverkaTP *w)
{
    if (!windowTitles.contains(w->windowTitle()))
        windowTitles << w->windowTitle();
    if (stopPending) {
        w->CancelButtonClick(); // the stopped program's window is gone
        return;
    }
    const int page = w->currentPage();
    takeShot(w, page);
    switch (page) {
    case 1:
        fillPage1(w);
        w->NextButtonClick();
        if (w->isVisible() && w->currentPage() == 1)
            fail(QStringLiteral("page 1 refused: ") + lastDialogText());
        break;
    case 2: w->NextButtonClick(); break;
    case 3:
        fillPage3(w);
        w->NextButtonClick();
        if (w->isVisible() && w->currentPage() == 3)
            fail(QStringLiteral("page 3 refused: ") + lastDialogText());
        break;
    case 4: measure(w); break;
    case 5:
        for (int c = 1; c <= 2; ++c)
            for (int r = 1; r <= 4; ++r) {
                QStringList row;
                for (int col = 0; col < 4; ++col)
                    row << w->page5->grid(c)->cell(col, r);
                conclusion[size_t(c)][size_t(r)] = row;
                if (!row.join(QString()).isEmpty())
                    say(QStringLiteral("conclusion %1/%2: %3").arg(c).arg(r).arg(row.join(" | ")));
            }
        finishPressed = true;
        w->FinishButtonClick();
        break;
    default: break;
    }
}

void WizardDriver::takeShot(QWidget *w, int page)
{
    const QString name = page == 4 && presses >= 3 ? QStringLiteral("wizard-measuring")
                         : page == 5               ? QStringLiteral("wizard-conclusion")
                                                   : QString();
    if (claimShot(name))
        saveShot(w, name);
}

// Each picture is taken once, only with --shots.
bool WizardDriver::claimShot(const QString &name)
{
    if (shotsDir.isEmpty() || name.isEmpty() || shotsTaken.contains(name))
        return false;
    shotsTaken << name;
    return true;
}

void WizardDriver::saveShot(QWidget *w, const QString &name)
{
    const QString file = QDir(shotsDir).filePath(name + QStringLiteral(".png"));
    if (!w->grab().save(file))
        fail(QStringLiteral("cannot save ") + file);
}

void WizardDriver::fillPage1(TFormPoverkaTP *w)
{
    w->page1->EditPoverkaNumber->setText(sc.number);
    w->page1->JvSpinEditTemperaturePointsCount->setValue(int(sc.points.size()));
    w->page1->RadioGroupVidPoverki->setItemIndex(sc.primary ? 0 : 1);
    w->page1->CheckBoxDoInstabilityCheck->setChecked(sc.instability);
    w->page1->RadioGroupMetodPoverki->setItemIndex(sc.method);
}

void WizardDriver::fillPage3(TFormPoverkaTP *w)
{
    InspectionPageWidget *p = w->page3;
    for (int pos = 1; pos <= 8; ++pos) {
        if (p->serialAt(pos).isEmpty())
            continue;
        if (pos <= sc.remarks.size())
            p->StringGridExternalSurvey->setCell(1, pos, sc.remarks[pos - 1]);
        p->StringGridInsulationStrength->setCell(pos, 1, QStringLiteral("выдержал"));
        if (!sc.resistance.isEmpty()) {
            p->StringGridInsulationResistance->setCell(pos, 1, sc.resistance);
            p->StringGridInsulationResistance->setCell(pos, 2, sc.resistance);
        }
    }
    p->EditAmbientTemperature->setText(sc.conditions.value(0));
    p->EditPressure->setText(sc.conditions.value(1));
    p->EditHumidity->setText(sc.conditions.value(2));
    p->EditOtherFactors->setText(sc.otherFactors);
}

bool WizardDriver::interruptNow(TFormPoverkaTP *w, Interruption::When when, int count)
{
    if (nextInterruption >= sc.interruptions.size())
        return false;
    const Interruption &in = sc.interruptions[nextInterruption];
    if (in.when != when || count < in.count)
        return false;
    if (in.afterMs > 0) {
        if (waitUntilMs < 0) {
            waitUntilMs = elapsed.elapsed() + in.afterMs;
            say(QStringLiteral("waiting %1 s").arg(in.afterMs / 1000.0));
        }
        if (elapsed.elapsed() < waitUntilMs)
            return true; // the operator waits and touches nothing
        waitUntilMs = -1;
    }
    ++nextInterruption;
    interrupted = true;
    say(QStringLiteral("closing the wizard (presses %1, steps %2)")
            .arg(presses)
            .arg(completedSteps));
    w->CancelButtonClick();
    return true;
}

void WizardDriver::runSimCommands()
{
    while (nextSimCommand < sc.simCommands.size() &&
           sc.simCommands[nextSimCommand][0].toInt() <= presses) {
        const QStringList cmd = sc.simCommands[nextSimCommand++].mid(1);
        say(QStringLiteral("simulator: ") + cmd.join(u' ') + QStringLiteral(" -> ") +
            sim.command(cmd.join(u' ')));
    }
}

// The server events due now, in their order: a lost server is stopped at once (every connection
// of the program cut in the middle of whatever it does), and started again while the program
// goes on.
void WizardDriver::playServerEvents(ServerEvent::When when, const QString &message)
{
    while (nextServerEvent < sc.serverEvents.size() && !failed()) {
        const ServerEvent &e = sc.serverEvents[nextServerEvent];
        const bool due = e.when == when &&
                         (when != ServerEvent::When::Presses || e.presses <= presses) &&
                         (when != ServerEvent::When::Message || message.contains(e.text));
        if (!due)
            return;
        ++nextServerEvent;
        const bool stop = e.action == ServerEvent::Action::Stop;
        say(stop ? QStringLiteral("the database server stops (recordings %1)").arg(presses)
                 : QStringLiteral("the database server starts again (recordings %1)").arg(presses));
        QString error;
        if (!cluster)
            return fail(QStringLiteral("no database server to stop or start"));
        if (!(stop ? cluster->stop(error) : cluster->start(error)))
            return fail(error);
        serverStopped = stop;
    }
}

bool WizardDriver::restoreServer(QString &error)
{
    if (!serverStopped || !cluster)
        return true;
    serverStopped = false;
    say(QStringLiteral("the database server starts again after the run"));
    return cluster->start(error);
}

void WizardDriver::measure(TFormPoverkaTP *w)
{
    if (interruptNow(w, Interruption::When::Presses, presses))
        return;
    if (w->ButtonNext->isEnabled()) {
        if (waitUntilMs < 0) { // not yet counted while an interruption waits at the step end
            ++completedSteps;
            say(QStringLiteral("step %1 complete").arg(completedSteps));
        }
        if (interruptNow(w, Interruption::When::StepEnd, completedSteps))
            return;
        w->NextButtonClick();
        return;
    }
    for (int c = 1; c <= 2; ++c) {
        ChannelGroupWidget *g = w->channelGroup(c);
        if (!g->isEnabled() || g->ButtonRecordMeas->isHidden())
            continue;
        if (!g->EditSKTemperature->isHidden())
            g->EditSKTemperature->setText(sc.tskText);
        else if (!g->EditThermostatTemperature->isHidden())
            g->EditThermostatTemperature->setText(decimalText(furnaceForRun()));
        ++presses;
        g->ButtonRecordMeas->click();
        runSimCommands();
        playServerEvents(ServerEvent::When::Presses);
        return;
    }
}

} // namespace kront::e2e
