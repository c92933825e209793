#pragma once

#include "db/Database.h"
#include "link/MeterLink.h"
#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "procedure/PoverkaView.h"
#include "settings/ProgramSettings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QVariantMap>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace kront::test
{

// Usual conditions of a laboratory, as page 3 takes them.
inline ConditionsTexts usualConditions()
{
    return {QStringLiteral("21,5"), QStringLiteral("100.2"), QStringLiteral("48"), QString()};
}

// Page 3 with nothing typed into the grids and usual conditions.
inline InspectionPage inspectionPage()
{
    InspectionPage page;
    page.conditions = usualConditions();
    return page;
}

// The window as the engine sees it: remembers what it was told, holds the edits' texts and
// answers the reference thermometer chooser from a queue.
struct FakeView : PoverkaView {
    void showPage(PoverkaPage p) override { page = p; }
    void setMeasurementSubtitle(const QString &s) override { subtitles << s; }
    void setNextEnabled(bool e) override { nextEnabled = e; }
    void showChannelControls(int channel, const ChannelControls &c) override
    {
        controls[channel] = c;
        if (c.beep)
            ++beeps;
    }
    void showReadingGrid(int channel, const ReadingGridText &g) override { grids[channel] = g; }
    QString editText(int channel, ChannelEdit e) const override
    {
        auto it = edits.find({channel, int(e)});
        return it == edits.end() ? QString() : it->second;
    }
    void setEditText(int channel, ChannelEdit e, const QString &t) override
    {
        edits[{channel, int(e)}] = t;
    }
    std::optional<EtalChoice>
    selectEtalSensorType(const EtalChooserSetup &setup,
                         const std::function<bool(const EtalChoice &)> &accept) override
    {
        chooserSetups.push_back(setup);
        while (!choices.empty()) {
            const std::optional<EtalChoice> c = choices.front();
            choices.pop_front();
            if (!c)
                return std::nullopt;
            if (accept(*c))
                return c;
        }
        // Default: a reference thermocouple wherever the group is enabled.
        EtalChoice c{-1, -1, -1};
        for (int ch = 1; ch <= 2; ++ch)
            c[ch] = setup.enabled[ch] ? 1 : 0;
        if (accept(c))
            return c;
        return std::nullopt;
    }
    void showDriftSamples(int, const std::vector<DriftSample> &samples, double) override
    {
        lastDriftSampleCount = int(samples.size());
    }
    void showConclusion(const std::array<ConclusionGrid, 3> &g) override { conclusion = g; }
    void postStartMeasuringRun() override { ++posted; }
    void closeWindow() override { closed = true; }

    PoverkaPage page = PoverkaPage::Parameters;
    QStringList subtitles;
    bool nextEnabled = false;
    std::array<ChannelControls, 3> controls;
    std::array<ReadingGridText, 3> grids;
    std::map<std::pair<int, int>, QString> edits;
    std::deque<std::optional<EtalChoice>> choices;
    std::vector<EtalChooserSetup> chooserSetups;
    std::array<ConclusionGrid, 3> conclusion;
    int lastDriftSampleCount = 0;
    int posted = 0;
    int beeps = 0;
    bool closed = false;
};

// The voltmeter link: always connected and ready unless a test says otherwise.
struct FakeMeter : MeterLink {
    bool linkConnected() const override { return connected; }
    bool receiveOn() const override { return receiving; }
    bool meterReady() const override { return ready; }
    bool meterOutOfRange() const override { return outOfRange; }
    QString meterStateText() const override { return stateText; }
    void setCurrentChannel(int channel) override { currentChannel = channel; }
    void setSavedStatusText(const QString &t) override { savedStatus = t; }
    bool establishLink() override
    {
        ++establishCalls;
        connected = establishSucceeds;
        return connected;
    }
    bool startReceive() override
    {
        ++startCalls;
        if (startSucceeds)
            receiving = true;
        return startSucceeds;
    }
    bool stopReceive() override
    {
        ++stopCalls;
        receiving = false;
        return true;
    }
    void pauseNotification() override { ++pauses; }
    void wait(int ms) override { waits.push_back(ms); }
    void closeLink() override
    {
        ++closeCalls;
        receiving = false;
        connected = false;
    }

    bool connected = false, receiving = false, ready = true, outOfRange = false;
    bool establishSucceeds = true, startSucceeds = true;
    QString stateText = QStringLiteral("ТАВЕР-7 не готов");
    QString savedStatus;
    int currentChannel = 0, establishCalls = 0, startCalls = 0, stopCalls = 0, pauses = 0,
        closeCalls = 0;
    std::vector<int> waits;
};

// Dialogs answered by rules: the first rule whose text occurs in the dialog's text answers
// (each rule may hold a queue of answers; the last one repeats). Without a rule: OK for OK
// prompts, the input's preset, and No for questions. onMessage, when set, sees every message
// box while it is open, before it is answered.
struct RuleDialogs : ScriptedDialogs {
    Answer message(const QString &caption, Icon icon, const QString &text, Buttons buttons) override
    {
        shown.push_back({QStringLiteral("message"), caption, icon, text, buttons});
        if (onMessage)
            onMessage(text);
        for (auto &[needle, queue] : rules) {
            if (!text.contains(needle) || queue.empty())
                continue;
            const Answer a = queue.front();
            if (queue.size() > 1)
                queue.pop_front();
            return a;
        }
        switch (buttons) {
        case Buttons::Ok:
        case Buttons::OkCancel: return Answer::Ok;
        default: return Answer::No;
        }
    }
    // The cold-junction questions are answered with 20 °C unless a test queued an answer.
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &preset) override
    {
        if (inputs.empty() && prompt.contains(QStringLiteral("свободных концов"))) {
            shown.push_back(
                {QStringLiteral("input"), caption, Icon::None, prompt, Buttons::OkCancel});
            return QStringLiteral("20");
        }
        return ScriptedDialogs::input(caption, prompt, preset);
    }
    void on(const QString &needle, std::initializer_list<Answer> replies)
    {
        rules.emplace_back(needle, std::deque<Answer>(replies));
    }
    int count(const QString &needle) const
    {
        int n = 0;
        for (const auto &s : shown)
            n += s.text.contains(needle) ? 1 : 0;
        return n;
    }
    std::vector<std::pair<QString, std::deque<Answer>>> rules;
    std::function<void(const QString &)> onMessage;
};

// EMF of a characteristic (index 0..12) at t, mV.
inline double emfOf(int index, double t)
{
    return double(NSHEmf(index, t));
}
constexpr int kIndexS = 1; // ППО and ТПП10
constexpr int kIndexK = 6; // ТХА

// A fresh home with the tables, the fake window, link, dialogs and clock, and helpers that
// play the operator.
class ProcedureFixture : public ::testing::Test
{
protected:
    ProcedureFixture() : db(dialogs)
    {
        db.ensureTables();
        poverka.BeginNew(clock.now());
    }

    // A reference ППО thermocouple stored with its graduation at 300..1100 °C every 50 °C
    // (type S).
    int storeReference(const QString &serial = QStringLiteral("Э-1"))
    {
        // as the register writes it: the type in both the NSHType and the SensKind column
        TableRow v(tables::EtalSens, {{"SerialNum", serial},
                                      {"ProdYear", 2020},
                                      {"TypeName", "ППО"},
                                      {"NSHType", "ППО"},
                                      {"SensKind", "ППО"},
                                      {"Producer", QString()},
                                      {"Etalon", true},
                                      {"ClassDop", "1"},
                                      {"Owner", QString()},
                                      {"WDTHighLim", 1200.0},
                                      {"WDTLowLim", 300.0},
                                      {"RecordCreationDateTime", clock.now()}});
        for (int i = 1; i <= 17; ++i) {
            const double t = 250.0 + 50.0 * i;
            v.set(QStringLiteral("Temp%1").arg(i), t);
            v.set(QStringLiteral("EMF%1").arg(i), emfOf(kIndexS, t));
        }
        EXPECT_TRUE(db.DBEtalSensInsert(v));
        return db.DBGetMaxID(tables::EtalSens, QString());
    }

    // A bunch on a channel with ТХА thermocouples (class 2) on the given inputs; a ППО
    // reference from the register unless mercury.
    TBunch &makeBunch(int channel, std::initializer_list<int> inputs, bool mercury = false)
    {
        auto b = std::make_unique<TBunch>();
        b->ChannelNum = quint32(channel);
        b->SensKind = skTP;
        if (!mercury) {
            TThermometer *e = b->CreateEtalSensor(skTP_PPO);
            e->ID = storeReference(QStringLiteral("Э-%1").arg(channel));
            e->NSHType = nshPPO;
            e->SensKind = skTP_PPO;
            e->Etalon = true;
            e->SerialNum = QStringLiteral("Э-%1").arg(channel);
        }
        for (int input : inputs) {
            TThermometer *s = b->CreateSensor(skTP, input);
            s->NSHType = nshTHA;
            s->SensKind = skTP;
            s->ClassDop = 1;
            s->SerialNum = QStringLiteral("%1%2").arg(channel).arg(input);
            s->TypeName = QStringLiteral("ТХА-0292");
            s->ProdYear = 2024;
        }
        bunches[channel] = std::move(b);
        poverka.AttachBunch(channel, bunches[channel].get());
        return *bunches[channel];
    }

    void makeEngine()
    {
        engine = std::make_unique<PoverkaEngine>(poverka, bi1, db, dialogs, settings, view);
        engine->setLink(&meter);
    }

    // Pages 1..3 with the given method and kind; true when page 3 was accepted.
    bool setUp(int method, int points, int kind = 1, bool instability = false,
               const QString &number = QStringLiteral("17"))
    {
        makeEngine();
        engine->Prepare();
        ParametersPage p1;
        p1.number = number;
        p1.pointsCount = points;
        p1.kindIndex = kind;
        p1.instabilityCheck = instability;
        p1.methodIndex = method;
        std::optional<QStringList> lines;
        if (!engine->acceptParametersPage(p1, lines))
            return false;
        engine->acceptMeansPage({QStringLiteral("Установка типа КРОНТ-2М, № 5")});
        InspectionPage p3 = inspectionPage();
        return engine->acceptInspectionPage(p3);
    }

    // Runs the posted measuring runs (window message 1026).
    void pump()
    {
        while (view.posted > 0 && !view.closed) {
            --view.posted;
            engine->StartMeasuringRun();
        }
    }

    // Furnace temperature of the current step, °C.
    double furnaceT() const { return 350.0 + 100.0 * poverka.StepIndex; }

    // The voltmeter reading at the current switch position of the current channel, mV.
    double readingAt(int position) const
    {
        const double t = furnaceT();
        if (IsReferencePosition(position)) // cold junctions at 20 °C
            return emfOf(kIndexS, t) - emfOf(kIndexS, 20);
        const int input = poverka.Methodic == 0 ? position : (position - 7) / 2 + 1;
        const auto offset = inputOffset.find(input);
        const double e = emfOf(kIndexK, t) - emfOf(kIndexK, 20) +
                         (offset == inputOffset.end() ? 0.0 : offset->second);
        if (poverka.Methodic == 0)
            return e;
        // electrode comparison: e1 and e2 as the thermoelectrodes against the reference
        const bool positive = (position - 7) % 2 == 0;
        return positive ? e * 0.6 : e * 0.4;
    }

    // Feeds readings until the recording button of the current channel is offered (at most
    // 40 readings a minute apart) and presses it. False when it never was.
    bool takeReading()
    {
        const int channel = engine->CurrentChannel;
        const int position = bi1.GetPosition(channel);
        const ChannelStep *step = &engine->Steps[std::size_t(engine->CurrentStep)];
        if (IsReferencePosition(position) && step->EtalKind == 0) {
            view.setEditText(channel, ChannelEdit::Thermostat, QString::number(furnaceT(), 'f', 1));
            engine->RecordToStringGrid();
            return true;
        }
        // reference readings a minute apart until the half hour of history is there; inputs
        // settle in seconds
        const int pace = IsReferencePosition(position) ? 60 : 2;
        for (int i = 0; i < 40 && !view.controls[channel].recordVisible; ++i) {
            clock.advanceSeconds(pace);
            engine->ProcessReading(readingAt(position));
            if (view.closed)
                return false;
        }
        if (!view.controls[channel].recordVisible)
            return false;
        engine->RecordToStringGrid();
        return true;
    }

    // Takes every reading of the current channel's step and enters the cold junction.
    bool measureChannel(const QString &tsk = QStringLiteral("20"))
    {
        const int channel = engine->CurrentChannel;
        for (int guard = 0; guard < 40; ++guard) {
            if (view.closed || engine->CurrentStep < 0)
                return false;
            if (engine->Steps[std::size_t(engine->CurrentStep)].AwaitingTsk) {
                view.setEditText(channel, ChannelEdit::SKTemperature, tsk);
                engine->RecordToStringGrid();
                return true;
            }
            if (!takeReading())
                return false;
        }
        return false;
    }

    // Measures every channel of the step now prepared; true when Next was enabled.
    bool measureStep()
    {
        pump();
        for (int guard = 0; guard < 3 && !view.nextEnabled; ++guard) {
            if (!measureChannel())
                return false;
            pump();
        }
        return view.nextEnabled;
    }

    std::vector<QVariantMap> select(const TableSchema &table, const QString &filter)
    {
        const auto r = db.select(table, filter);
        return r ? *r : std::vector<QVariantMap>{};
    }
    QString storedState()
    {
        const auto rows = select(tables::Poverki, QStringLiteral("ID = %1").arg(poverka.ID));
        return rows.empty() ? QString() : rows.front().value("CurrPovState").toString();
    }

    TempHome home;
    FakeClock clock;
    RuleDialogs dialogs;
    Database db;
    ProgramSettings settings;
    TPoverka poverka;
    TBi1 bi1;
    FakeView view;
    FakeMeter meter;
    std::array<std::unique_ptr<TBunch>, 3> bunches;
    std::unique_ptr<PoverkaEngine> engine;
    std::map<int, double> inputOffset; // mV added to the EMF of an input 1..4
};

} // namespace kront::test
