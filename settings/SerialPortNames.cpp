#include "settings/SerialPortNames.h"

#include <QRegularExpression>
#include <algorithm>
#include <tuple>

namespace kront
{

QStringList orderedSerialDevices(const QStringList &devicePaths)
{
    static const QRegularExpression pattern(QStringLiteral("^/dev/tty(S|USB|ACM)(\\d+)$"));
    static const QStringList groups{QStringLiteral("S"), QStringLiteral("USB"),
                                    QStringLiteral("ACM")};
    struct Device {
        int group;
        qulonglong number;
        QString path;
    };
    std::vector<Device> devices;
    for (const QString &path : devicePaths) {
        const auto m = pattern.match(path);
        if (!m.hasMatch())
            continue;
        devices.push_back({int(groups.indexOf(m.captured(1))), m.captured(2).toULongLong(), path});
    }
    std::sort(devices.begin(), devices.end(), [](const Device &a, const Device &b) {
        return std::tie(a.group, a.number, a.path) < std::tie(b.group, b.number, b.path);
    });
    QStringList out;
    for (const Device &d : devices) {
        if (!out.contains(d.path))
            out << d.path;
    }
    return out;
}

} // namespace kront
