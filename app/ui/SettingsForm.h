#pragma once

#include <QStringList>

namespace kront
{

class Dialogs;
class ProgramSettings;

// What the controls of the settings window show besides the values they
// edit in the settings directly (port name, organisation name, head's
// position, document numbering): the items of the port box and the choices
// that take effect only with "Применить".
struct SettingsForm {
    QStringList ports;    // items of the port box
    int channelItem = 1;  // 1 or 2; 0 when no item is selected
    int polarityItem = 1; // 1 direct, 2 inverted
    bool disableStabilityControl = false;
    bool waitForFixedValue = true;
    bool reduceResultClass = false;
    bool offerPoverkaTermination = false;
    bool connectionCheck = true;
    bool stabilityForecast = true;
};

// Reads the settings file into the settings and makes the form of it.
// foundPorts: the serial ports found, in order. The stored port is selected
// when it is listed; a stored device path that exists but is not listed (a
// pseudo-terminal, a symlink) is added and selected; otherwise the first found
// port is selected (none when none was found). The selected port becomes the
// settings' port name.
SettingsForm loadSettingsForm(ProgramSettings &settings, const QStringList &foundPorts);

// "Применить" of the connection page and of the program settings page.
bool applyConnection(const SettingsForm &form, ProgramSettings &settings, Dialogs &dialogs);
bool applyProgramOptions(const SettingsForm &form, ProgramSettings &settings, Dialogs &dialogs);

} // namespace kront
