#include "Scenario.h"

#include "SimNsh.h"

#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace kront::sim
{

namespace
{

bool toNumber(const QString &text, double &value)
{
    bool ok = false;
    value = QString(text).replace(u',', u'.').toDouble(&ok);
    return ok;
}

bool parseGraduation(const QString &text, QList<QPointF> &points)
{
    points.clear();
    const QStringList pairs =
        text.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
    for (const QString &pair : pairs) {
        const QStringList tv = pair.split(u':');
        double t = 0, e = 0;
        if (tv.size() != 2 || !toNumber(tv[0], t) || !toNumber(tv[1], e))
            return false;
        points.append(QPointF(t, e));
    }
    std::sort(points.begin(), points.end(),
              [](const QPointF &a, const QPointF &b) { return a.x() < b.x(); });
    return true;
}

bool parseReference(const QString &text, ReferenceKind &kind)
{
    const QString t = text.toLower();
    if (t == u"ppo" || t == u"ппо")
        kind = ReferenceKind::PPO;
    else if (t == u"pro" || t == u"про")
        kind = ReferenceKind::PRO;
    else if (t == u"mercury")
        kind = ReferenceKind::Mercury;
    else if (t == u"none")
        kind = ReferenceKind::None;
    else
        return false;
    return true;
}

bool parseInput(const QString &text, VerifiedSensor &sensor)
{
    const QStringList parts =
        text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return false;
    if (parts[0].compare(u"none", Qt::CaseInsensitive) == 0) {
        sensor = VerifiedSensor{};
        return true;
    }
    const int type = nshTypeFromText(parts[0]);
    if (characteristicIndexOfType(type) < 0)
        return false;
    VerifiedSensor s;
    s.present = true;
    s.nshType = type;
    if (parts.size() > 1 && !toNumber(parts[1], s.deviationC))
        return false;
    if (parts.size() > 2 && !toNumber(parts[2], s.deviationMv))
        return false;
    sensor = s;
    return true;
}

bool applyGlobal(const QString &key, const QString &value, Scenario &sc)
{
    Installation &in = sc.installation;
    double v = 0;
    if (!toNumber(value, v))
        return false;
    if (key == u"furnace") {
        in.furnace.setPoint = in.furnace.temperature = v;
    } else if (key == u"tau_s") {
        in.furnace.tauSeconds = v;
    } else if (key == u"drift") {
        in.furnace.driftPerMinute = v;
    } else if (key == u"noise_mv") {
        in.noiseMv = v;
    } else if (key == u"cold_junction") {
        in.coldJunction = v;
    } else if (key == u"meter_channel" && (v == 1 || v == 2)) {
        sc.meterChannel = int(v);
    } else if (key == u"reference_inverted") {
        in.referenceInverted = v != 0;
    } else {
        return false;
    }
    return true;
}

bool applyChannel(int channel, const QString &key, const QString &value, Scenario &sc)
{
    Bunch &bunch = sc.installation.bunches[channel];
    static const QRegularExpression inputKey(QStringLiteral("^input([1-4])$"));
    const auto m = inputKey.match(key);
    if (m.hasMatch())
        return parseInput(value, bunch.inputs[m.captured(1).toInt()]);
    if (key == u"reference")
        return parseReference(value, bunch.reference.kind);
    if (key == u"graduation")
        return parseGraduation(value, bunch.reference.graduation);
    if (key == u"misswitch" && value == u"stay") {
        sc.installation.misswitch[channel] = Installation::kSwitchStays;
        return true;
    }
    double v = 0;
    if (!toNumber(value, v))
        return false;
    if (key == u"reference_deviation_mv") {
        bunch.reference.deviationMv = v;
        return true;
    }
    if (key == u"switch" && v >= 0 && v <= 255) {
        sc.installation.switches[channel] = sc.installation.askedSwitches[channel] = int(v);
        return true;
    }
    if (key == u"misswitch" && v >= 0 && v <= 14) {
        sc.installation.misswitch[channel] = int(v);
        return true;
    }
    if ((key == u"open" || key == u"reversed") && v >= 1 && v <= 4) {
        VerifiedSensor &s = bunch.inputs[int(v)];
        (key == u"open" ? s.open : s.reversed) = true;
        return true;
    }
    return false;
}

} // namespace

bool parseScenarioText(const QString &text, Scenario &scenario, QStringList &errors)
{
    static const QRegularExpression section(QStringLiteral("^\\[\\s*channel\\s+([12])\\s*\\]$"),
                                            QRegularExpression::CaseInsensitiveOption);
    int channel = 0;
    int lineNo = 0;
    const int errorsBefore = int(errors.size());
    for (QString line : text.split(u'\n')) {
        ++lineNo;
        const int hash = int(line.indexOf(u'#'));
        if (hash >= 0)
            line.truncate(hash);
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        const auto m = section.match(line);
        if (m.hasMatch()) {
            channel = m.captured(1).toInt();
            continue;
        }
        const int eq = int(line.indexOf(u'='));
        bool ok = eq > 0;
        if (ok) {
            const QString key = line.left(eq).trimmed().toLower();
            const QString value = line.mid(eq + 1).trimmed();
            ok = channel == 0 ? applyGlobal(key, value, scenario)
                              : applyChannel(channel, key, value, scenario);
        }
        if (!ok)
            errors.append(QStringLiteral("line %1: cannot use \"%2\"").arg(lineNo).arg(line));
    }
    return errors.size() == errorsBefore;
}

bool loadScenario(const QString &path, Scenario &scenario, QStringList &errors)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors.append(QStringLiteral("%1: %2").arg(path, file.errorString()));
        return false;
    }
    QStringList own;
    const bool ok = parseScenarioText(QString::fromUtf8(file.readAll()), scenario, own);
    for (const QString &e : own)
        errors.append(path + QStringLiteral(", ") + e);
    return ok;
}

} // namespace kront::sim
