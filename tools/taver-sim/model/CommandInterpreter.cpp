#include "CommandInterpreter.h"

#include "SimNsh.h"

#include <QRegularExpression>
#include <QStringEncoder>
#include <cmath>

namespace kront::sim
{

namespace
{

const QString kOk = QStringLiteral("ok");

QString error(const QString &why)
{
    return QStringLiteral("error: ") + why;
}

bool number(const QString &text, double &v)
{
    bool ok = false;
    v = QString(text).replace(u',', u'.').toDouble(&ok);
    return ok && std::isfinite(v);
}

bool integer(const QString &text, int &v, int low, int high)
{
    bool ok = false;
    v = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                  : text.toInt(&ok);
    return ok && v >= low && v <= high;
}

} // namespace

QString CommandInterpreter::helpText()
{
    return QStringLiteral(
        "furnace T | tau S | drift C_PER_MIN | noise MV | coldjunction C\n"
        "switch CH POS | sensor CH INPUT TYPE|none | deviation CH INPUT MV | "
        "deviation-c CH INPUT C\n"
        "misswitch CH stay|POS|off | open CH INPUT on|off | reversed CH INPUT(0 = ОБР) on|off\n"
        "value CH TEXT|auto | warmup <|=|> | flags CH BYTE | mode BYTE | period MS | wired CH\n"
        "stream on|off\n"
        "fault KIND [EVERY_N] | fault ack CODE [EVERY_N] | fault off | damaged-value TEXT|auto\n"
        "  kinds: data-checksum header-checksum addr type garbage split drop silence ack stuck\n"
        "unplug | plug | status | help | quit");
}

QString CommandInterpreter::status() const
{
    return QStringLiteral("T=%1 setpoint=%2 switch1=%3 switch2=%4 connected=%5 transmitting=%6 "
                          "frames=%7 input=%8 stream=%9")
        .arg(installation.furnace.temperature, 0, 'f', 3)
        .arg(installation.furnace.setPoint, 0, 'f', 3)
        .arg(installation.switches[1])
        .arg(installation.switches[2])
        .arg(int(meter.connected))
        .arg(int(meter.transmitting))
        .arg(meter.framesSent())
        .arg(installation.channelEmf(installation.switches[1] != 5 ? 1 : 2), 0, 'f', 4)
        .arg(int(meter.streaming));
}

QString CommandInterpreter::execute(const QString &rawLine)
{
    const QString line = rawLine.trimmed();
    if (line.isEmpty() || line.startsWith(u'#'))
        return {};
    QStringList a = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    const QString cmd = a.takeFirst().toLower();
    double v = 0;
    int ch = 0, input = 0, n = 0;

    if (cmd == u"quit" || cmd == u"exit") {
        quit = true;
        return kOk;
    }
    if (cmd == u"help")
        return QStringLiteral("ok\n") + helpText();
    if (cmd == u"status")
        return QStringLiteral("ok ") + status();
    if (cmd == u"furnace" || cmd == u"tau" || cmd == u"drift" || cmd == u"noise" ||
        cmd == u"coldjunction") {
        if (a.size() != 1 || !number(a[0], v))
            return error(QStringLiteral("%1 needs one number").arg(cmd));
        if (cmd == u"furnace")
            installation.furnace.setTarget(v);
        else if (cmd == u"tau")
            installation.furnace.tauSeconds = qMax(0.0, v);
        else if (cmd == u"drift")
            installation.furnace.driftPerMinute = v;
        else if (cmd == u"noise")
            installation.noiseMv = qMax(0.0, v);
        else
            installation.coldJunction = v;
        return kOk;
    }
    if (cmd == u"switch") {
        if (a.size() != 2 || !integer(a[0], ch, 1, 2) || !integer(a[1], n, 0, 255))
            return error(QStringLiteral("switch CH(1|2) POS(0..14)"));
        installation.turnSwitch(ch, n);
        return kOk;
    }
    if (cmd == u"misswitch") {
        if (a.size() != 2 || !integer(a[0], ch, 1, 2))
            return error(QStringLiteral("misswitch CH stay|POS|off"));
        if (a[1] == u"stay")
            installation.setMisswitch(ch, Installation::kSwitchStays);
        else if (a[1] == u"off")
            installation.setMisswitch(ch, Installation::kSwitchObeys);
        else if (integer(a[1], n, 0, 14))
            installation.setMisswitch(ch, n);
        else
            return error(QStringLiteral("misswitch CH stay|POS|off"));
        return kOk;
    }
    if (cmd == u"open" || cmd == u"reversed") {
        const int lowest = cmd == u"reversed" ? 0 : 1;
        if (a.size() != 3 || !integer(a[0], ch, 1, 2) || !integer(a[1], input, lowest, 4) ||
            (a[2] != u"on" && a[2] != u"off"))
            return error(QStringLiteral("%1 CH INPUT on|off").arg(cmd));
        const bool on = a[2] == u"on";
        if (input == 0)
            installation.referenceInverted = on;
        else if (cmd == u"open")
            installation.bunches[ch].inputs[input].open = on;
        else
            installation.bunches[ch].inputs[input].reversed = on;
        return kOk;
    }
    if (cmd == u"sensor") {
        if (a.size() != 3 || !integer(a[0], ch, 1, 2) || !integer(a[1], input, 1, 4))
            return error(QStringLiteral("sensor CH INPUT TYPE|none"));
        VerifiedSensor &s = installation.bunches[ch].inputs[input];
        if (a[2].compare(u"none", Qt::CaseInsensitive) == 0) {
            s.present = false;
            return kOk;
        }
        const int type = nshTypeFromText(a[2]);
        if (characteristicIndexOfType(type) < 0)
            return error(QStringLiteral("no thermocouple characteristic for %1").arg(a[2]));
        s.present = true;
        s.nshType = type;
        return kOk;
    }
    if (cmd == u"deviation" || cmd == u"deviation-c") {
        if (a.size() != 3 || !integer(a[0], ch, 1, 2) || !integer(a[1], input, 1, 4) ||
            !number(a[2], v))
            return error(QStringLiteral("%1 CH INPUT VALUE").arg(cmd));
        VerifiedSensor &s = installation.bunches[ch].inputs[input];
        (cmd == u"deviation" ? s.deviationMv : s.deviationC) = v;
        return kOk;
    }
    if (cmd == u"value") {
        if (a.size() < 2 || !integer(a[0], ch, 1, 2))
            return error(QStringLiteral("value CH TEXT|auto"));
        const QString text = line.section(QRegularExpression(QStringLiteral("\\s+")), 2);
        if (text == u"auto") {
            meter.forcedValue[ch].reset();
        } else {
            QStringEncoder to1251("windows-1251");
            meter.forcedValue[ch] = QByteArray(to1251(text));
        }
        return kOk;
    }
    if (cmd == u"damaged-value") {
        if (a.size() != 1)
            return error(QStringLiteral("damaged-value TEXT|auto"));
        if (a[0] == u"auto") {
            meter.damagedValue.reset();
        } else {
            QStringEncoder to1251("windows-1251");
            meter.damagedValue = QByteArray(to1251(a[0]));
        }
        return kOk;
    }
    if (cmd == u"warmup") {
        if (a.size() != 1 || a[0].size() != 1 || !QStringLiteral("<=>").contains(a[0]))
            return error(QStringLiteral("warmup <|=|>"));
        meter.warmup = char(a[0][0].toLatin1());
        return kOk;
    }
    if (cmd == u"flags") {
        if (a.size() != 2 || !integer(a[0], ch, 1, 2) || !integer(a[1], n, 0, 255))
            return error(QStringLiteral("flags CH BYTE"));
        meter.flags[ch] = quint8(n);
        return kOk;
    }
    if (cmd == u"mode") {
        if (a.size() != 1 || !integer(a[0], n, 0, 255))
            return error(QStringLiteral("mode BYTE"));
        meter.mode = quint8(n);
        return kOk;
    }
    if (cmd == u"period") {
        if (a.size() != 1 || !integer(a[0], n, 50, 60000))
            return error(QStringLiteral("period MS (50..60000)"));
        meter.periodMs = n;
        return kOk;
    }
    if (cmd == u"stream") {
        if (a.size() != 1 || (a[0] != u"on" && a[0] != u"off"))
            return error(QStringLiteral("stream on|off"));
        meter.streaming = a[0] == u"on";
        return kOk;
    }
    if (cmd == u"wired") {
        if (a.size() != 1 || !integer(a[0], ch, 1, 2))
            return error(QStringLiteral("wired CH(1|2)"));
        meter.wiredChannel = ch;
        return kOk;
    }
    if (cmd == u"fault") {
        if (a.size() == 1 && a[0].compare(u"off", Qt::CaseInsensitive) == 0) {
            meter.clearFaults();
            return kOk;
        }
        const std::optional<FaultKind> kind = a.isEmpty() ? std::nullopt : faultKindFromText(a[0]);
        if (!kind)
            return error(QStringLiteral("unknown fault; see help"));
        int code = 0, every = 1, next = 1;
        if (*kind == FaultKind::Ack) {
            if (a.size() < 2 || !integer(a[1], code, 0, 255))
                return error(QStringLiteral("fault ack CODE [EVERY_N]"));
            next = 2;
        }
        if (a.size() > next + 1 || (a.size() == next + 1 && !integer(a[next], every, 1, 1000000)))
            return error(QStringLiteral("EVERY_N must be a whole number from 1"));
        meter.setFault(*kind, every, code);
        return kOk;
    }
    return error(QStringLiteral("unknown command \"%1\"; try help").arg(cmd));
}

} // namespace kront::sim
