#include "E2eScenario.h"

#include <QFile>
#include <QRegularExpression>

namespace kront::e2e
{

bool ScenarioChannel::used() const
{
    for (int i = 1; i <= 4; ++i)
        if (inputs[size_t(i)].present)
            return true;
    return false;
}

namespace
{

const QStringList kSimGlobalKeys{"furnace",           "tau_s",         "drift",
                                 "noise_mv",          "cold_junction", "meter_channel",
                                 "reference_inverted"};
const QStringList kSimChannelKeys{"reference", "graduation", "reference_deviation_mv",
                                  "input1",    "input2",     "input3",
                                  "input4",    "switch",     "misswitch",
                                  "open",      "reversed"};

struct Parser {
    Parser(Scenario &scenario, QStringList &errorList) : sc(scenario), errors(errorList) {}
    Scenario &sc;
    QStringList &errors;
    QString section;
    int channel = 0;
    int line = 0;

    void fail(const QString &what)
    {
        errors << QStringLiteral("%1:%2: %3").arg(sc.path).arg(line).arg(what);
    }
    bool number(const QString &text, double &v)
    {
        bool ok = false;
        v = QString(text).replace(u',', u'.').toDouble(&ok);
        if (!ok)
            fail(QStringLiteral("not a number: ") + text);
        return ok;
    }
    bool flag(const QString &text)
    {
        const QString t = text.toLower();
        return t == u"1" || t == u"yes" || t == u"on" || t == u"true";
    }
    QStringList words(const QString &text)
    {
        return text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    }

    void global(const QString &key, const QString &value, const QString &raw)
    {
        if (!kSimGlobalKeys.contains(key))
            return fail(QStringLiteral("unknown key ") + key);
        sc.simulatorLines << raw;
        if (key == u"cold_junction")
            number(value, sc.coldJunction);
    }

    void channelKey(const QString &key, const QString &value, const QString &raw)
    {
        ScenarioChannel &ch = sc.channels[size_t(channel)];
        static const QRegularExpression inputKey(
            QStringLiteral("^(serial|name|class|year)([1-4])$"));
        if (kSimChannelKeys.contains(key)) {
            sc.simulatorLines << raw;
            if (key == u"reference")
                ch.reference = value.toLower();
            else if (key == u"graduation")
                ch.graduation = value;
            else if (key.startsWith(u"input")) {
                ScenarioSensor &s = ch.inputs[size_t(key.back().digitValue())];
                const QStringList w = words(value);
                s.present = !w.isEmpty() && w[0].toLower() != u"none";
                s.type = s.present ? w[0] : QString();
            }
            return;
        }
        if (const auto m = inputKey.match(key); m.hasMatch()) {
            ScenarioSensor &s = ch.inputs[size_t(m.captured(2).toInt())];
            const QString what = m.captured(1);
            (what == u"serial"  ? s.serial
             : what == u"name"  ? s.name
             : what == u"class" ? s.klass
                                : s.year) = value;
        } else if (key == u"reference_serial") {
            ch.referenceSerial = value;
        } else if (key == u"reference_name") {
            ch.referenceName = value;
        } else if (key == u"reference_rank") {
            ch.referenceRank = value;
        } else if (key == u"reference_entry") {
            ch.referenceLookup = value == u"lookup";
            if (!ch.referenceLookup && value != u"typed")
                fail(QStringLiteral("reference_entry is typed or lookup"));
        } else if (key == u"thermometer") {
            ch.thermometer = value == u"mercury" ? 0 : value == u"thermocouple" ? 1 : -1;
            if (ch.thermometer < 0)
                fail(QStringLiteral("thermometer is mercury or thermocouple"));
        } else {
            fail(QStringLiteral("unknown key ") + key);
        }
    }

    void verification(const QString &key, const QString &value)
    {
        if (key == u"number") {
            sc.number = value;
        } else if (key == u"kind") {
            sc.primary = value == u"primary";
        } else if (key == u"instability") {
            sc.instability = flag(value);
        } else if (key == u"method") {
            sc.method = value == u"electrode" ? 1 : 0;
        } else if (key == u"points") {
            sc.points.clear();
            for (const QString &w : words(value)) {
                double t = 0;
                if (number(w, t))
                    sc.points.push_back(t);
            }
        } else if (key == u"instability_temperature") {
            number(value, sc.instabilityTemperature);
        } else if (key == u"tsk") {
            sc.tskText = value;
        } else if (key == u"reference_tsk") {
            sc.referenceTskText = value;
        } else if (key == u"remark") {
            sc.remarks << value;
        } else if (key == u"resistance") {
            sc.resistance = value;
        } else if (key == u"sensor_file") {
            sc.sensorFile = value;
        } else if (key == u"documents") {
            sc.issueDocuments = flag(value);
        } else if (key == u"conditions") {
            sc.conditions = words(value);
            if (sc.conditions.size() != 3)
                fail(QStringLiteral("conditions = TEMPERATURE PRESSURE HUMIDITY"));
        } else if (key == u"other_factors") {
            sc.otherFactors = value;
        } else {
            fail(QStringLiteral("unknown key ") + key);
        }
    }

    void settings(const QString &key, const QString &value)
    {
        double v = 0;
        if (key == u"stability_control")
            sc.stabilityControl = flag(value);
        else if (key == u"wait_fixed")
            sc.waitFixed = flag(value);
        else if (key == u"offer_termination")
            sc.offerTermination = flag(value);
        else if (key == u"reduce_class")
            sc.reduceClass = flag(value);
        else if (key == u"clock_factor" && number(value, v))
            sc.clockFactor = v;
        else if (key == u"training" && number(value, v))
            sc.training = v;
        else if (key == u"period_ms" && number(value, v))
            sc.periodMs = int(v);
        else if (key == u"line_pacing")
            sc.linePacing = flag(value);
        else if (key == u"timeout_s" && number(value, v))
            sc.timeoutSeconds = int(v);
        else if (!QStringList{"clock_factor", "training", "period_ms", "timeout_s"}.contains(key))
            fail(QStringLiteral("unknown key ") + key);
    }

    void answer(const QString &key, const QString &value)
    {
        AnswerRule r;
        r.match = value;
        r.yes = key.startsWith(u"yes");
        r.times = key.endsWith(u"_once") ? 1 : -1;
        if (!QStringList{"yes", "no", "yes_once", "no_once"}.contains(key))
            return fail(QStringLiteral("answers are yes, no, yes_once or no_once"));
        sc.answers.push_back(r);
    }

    void event(const QString &key, const QString &value)
    {
        const QStringList w = words(value);
        if (key == u"interrupt" && w.size() >= 2) {
            Interruption in;
            in.when =
                w[0] == u"step_end" ? Interruption::When::StepEnd : Interruption::When::Presses;
            in.count = w[1].toInt();
            in.resume = !w.contains(QStringLiteral("noresume"));
            if (const qsizetype at = w.indexOf(QStringLiteral("after")); at >= 0) {
                double seconds = 0;
                if (at + 1 >= w.size() || !number(w[at + 1], seconds))
                    return fail(QStringLiteral("after SECONDS"));
                in.afterMs = int(seconds * 1000);
            }
            sc.interruptions.push_back(in);
        } else if (key == u"sim" && w.size() >= 2) {
            sc.simCommands.push_back(w);
        } else if (key == u"reopen") {
            sc.reopens << (value == u"-" ? QString() : value);
        } else if (key == u"stop" && !value.isEmpty()) {
            sc.stops << value;
        } else if (key == u"correct" && !value.isEmpty()) {
            sc.corrections << value;
        } else if (key == u"server") {
            serverEvent(w);
        } else {
            fail(QStringLiteral(
                "events are interrupt presses|step_end N [noresume] [after S], sim N CMD, "
                "reopen CMD|-, stop TEXT, correct CMD or server = stop|start after N|when "
                "TEXT|at_resume"));
        }
    }

    // server = stop|start after N | when TEXT | at_resume
    void serverEvent(const QStringList &w)
    {
        ServerEvent e;
        const QString when = w.value(1);
        if (w.value(0) != u"stop" && w.value(0) != u"start")
            return fail(QStringLiteral("server = stop or start, then after N, when TEXT or "
                                       "at_resume"));
        e.action = w[0] == u"stop" ? ServerEvent::Action::Stop : ServerEvent::Action::Start;
        double n = 0;
        if (when == u"after" && w.size() == 3 && number(w[2], n)) {
            e.when = ServerEvent::When::Presses;
            e.presses = int(n);
        } else if (when == u"when" && w.size() >= 3) {
            e.when = ServerEvent::When::Message;
            e.text = w.mid(2).join(u' ');
        } else if (when == u"at_resume" && w.size() == 2) {
            e.when = ServerEvent::When::Resume;
        } else {
            return fail(QStringLiteral("server = stop|start after N, when TEXT or at_resume"));
        }
        sc.serverEvents.push_back(e);
    }

    void handle(const QString &raw)
    {
        QString text = raw;
        if (const int hash = text.indexOf(u'#'); hash >= 0)
            text.truncate(hash);
        text = text.trimmed();
        if (text.isEmpty())
            return;
        if (text.startsWith(u'[') && text.endsWith(u']')) {
            section = text.mid(1, text.size() - 2).trimmed().toLower();
            channel = 0;
            if (section == u"channel 1" || section == u"channel 2") {
                channel = section.back().digitValue();
                sc.simulatorLines << text;
            } else if (!QStringList{"verification", "settings", "answers", "events", "expect",
                                    "registry"}
                            .contains(section)) {
                fail(QStringLiteral("unknown section ") + text);
            }
            return;
        }
        const int eq = text.indexOf(u'=');
        if (eq <= 0)
            return fail(QStringLiteral("expected key = value"));
        const QString key = text.left(eq).trimmed().toLower();
        const QString value = text.mid(eq + 1).trimmed();
        if (section.isEmpty())
            global(key, value, text);
        else if (channel)
            channelKey(key, value, text);
        else if (section == u"verification")
            verification(key, value);
        else if (section == u"settings")
            settings(key, value);
        else if (section == u"answers")
            answer(key, value);
        else if (section == u"events")
            event(key, value);
        else if (section == u"registry")
            sc.registry.emplace_back(key, value);
        else
            sc.expectations.push_back({key, value, words(value), line});
    }
};

void fillDefaults(Scenario &sc)
{
    if (sc.points.empty())
        sc.points.push_back(500);
    if (sc.instabilityTemperature == 0)
        sc.instabilityTemperature = sc.points.front();
    const QString cj = QString::number(sc.coldJunction).replace(u'.', u',');
    if (sc.tskText.isEmpty())
        sc.tskText = cj;
    if (sc.referenceTskText.isEmpty())
        sc.referenceTskText = cj;
    for (int c = 1; c <= 2; ++c) {
        ScenarioChannel &ch = sc.channels[size_t(c)];
        if (ch.referenceSerial.isEmpty())
            ch.referenceSerial = QStringLiteral("E%1").arg(c * 100 + 1);
        if (ch.referenceName.isEmpty())
            ch.referenceName =
                ch.reference == u"pro" ? QStringLiteral("ПРО-1") : QStringLiteral("ППО-1");
        for (int i = 1; i <= 4; ++i) {
            ScenarioSensor &s = ch.inputs[size_t(i)];
            if (s.serial.isEmpty())
                s.serial = QStringLiteral("%1").arg(c * 1000 + i * 10 + 1);
            if (s.name.isEmpty())
                s.name = QStringLiteral("ТП-") + QString::number(i);
        }
    }
}

} // namespace

bool loadScenario(const QString &path, Scenario &scenario, QStringList &errors)
{
    scenario.path = path;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        errors << path + QStringLiteral(": cannot be read");
        return false;
    }
    Parser p(scenario, errors);
    for (const QString &raw : QString::fromUtf8(f.readAll()).split(u'\n')) {
        ++p.line;
        p.handle(raw);
    }
    fillDefaults(scenario);
    return errors.isEmpty();
}

} // namespace kront::e2e
