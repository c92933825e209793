#include "app/ui/SettingsForm.h"

#include "settings/ProgramSettings.h"

#include <QFileInfo>

namespace kront
{

namespace
{

// The index of the stored port in the list, adding a device path that
// exists but was not found (a pseudo-terminal, a symlink to a port).
int storedPortIndex(QStringList &ports, const QString &stored)
{
    const int listed = int(ports.indexOf(stored));
    if (listed >= 0)
        return listed;
    const QFileInfo info(stored);
    if (!stored.isEmpty() && info.isAbsolute() && info.exists() && !info.isDir()) {
        ports << stored;
        return int(ports.size()) - 1;
    }
    return ports.isEmpty() ? -1 : 0;
}

} // namespace

SettingsForm loadSettingsForm(ProgramSettings &settings, const QStringList &foundPorts)
{
    settings.load();
    SettingsForm f;
    const int channel = settings.taver7Channel();
    f.channelItem = (channel == 1 || channel == 2) ? channel : 0;
    f.polarityItem = settings.bi1TInputInvertedPolarity() ? 2 : 1;
    f.ports = foundPorts;
    const int port = storedPortIndex(f.ports, settings.portName());
    settings.setPortName(port >= 0 ? f.ports[port] : QString());
    f.disableStabilityControl = !settings.temperatureStabilityControl();
    f.waitForFixedValue = settings.waitForFixedValue();
    f.reduceResultClass = settings.reduceResultClass();
    f.offerPoverkaTermination = settings.offerPoverkaTermination();
    f.connectionCheck = settings.connectionCheck();
    f.stabilityForecast = settings.stabilityForecast();
    return f;
}

bool applyConnection(const SettingsForm &form, ProgramSettings &settings, Dialogs &dialogs)
{
    return settings.applyConnection(form.channelItem, form.polarityItem == 2, dialogs);
}

bool applyProgramOptions(const SettingsForm &form, ProgramSettings &settings, Dialogs &dialogs)
{
    return settings.applyProgramOptions({!form.disableStabilityControl, form.waitForFixedValue,
                                         form.reduceResultClass, form.offerPoverkaTermination,
                                         form.connectionCheck, form.stabilityForecast},
                                        dialogs);
}

} // namespace kront
