#include "settings/ProgramSettings.h"

#include "common/Dialogs.h"
#include "settings/OrganName.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <limits>

namespace kront
{

namespace
{

// Runs the writes in order and stops at the first that fails; the failure
// is reported with the file's reason.
bool writeInOrder(const SettingsFile &file, Dialogs &dialogs,
                  std::initializer_list<std::function<bool()>> writes)
{
    for (const auto &write : writes) {
        if (!write()) {
            dialogs.error(settingsWriteFailureText(file.path(), file.lastError()));
            return false;
        }
    }
    return true;
}

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

QString settingsWriteFailureText(const QString &path, const QString &reason)
{
    return QStringLiteral("Не удалось сохранить настройки в файл \"%1\"!\n%2").arg(path, reason);
}

ProgramSettings::ProgramSettings(QObject *parent) : QObject(parent) {}

void ProgramSettings::reset()
{
    s = State{};
}

QString ProgramSettings::metrologyOrganName() const
{
    return organNameText(s.form.organNameLines);
}

DocumentNumbering ProgramSettings::numbering(DocumentKind kind) const
{
    return kind == DocumentKind::Certificate ? s.form.svid : s.form.izv;
}

DocumentNumbering &ProgramSettings::numberingOf(DocumentKind kind)
{
    return kind == DocumentKind::Certificate ? s.form.svid : s.form.izv;
}

QString ProgramSettings::proposedDocumentNumber(DocumentKind kind) const
{
    const DocumentNumbering n = numbering(kind);
    // A digits count from a hand-edited file must not make a giant text.
    const int width = std::clamp(n.digitsCount, 0, 32);
    return QString::number(n.nextNum).rightJustified(width, u'0');
}

void ProgramSettings::load(const QStringList &foundPorts)
{
    const SettingsFile file;
    SettingsForm &f = s.form;

    s.channel = file.taver7Channel();
    f.channelItem = (s.channel == 1 || s.channel == 2) ? s.channel : 0;
    s.inverted = file.bi1TInputInvertedPolarity();
    f.polarityItem = s.inverted ? 2 : 1;

    f.ports = foundPorts;
    const int port = storedPortIndex(f.ports, file.port());
    f.portText = port >= 0 ? f.ports[port] : QString();

    s.stabilityControl = file.temperatureStabilityControl();
    s.waitFixed = file.waitForFixedValue();
    s.reduceClass = file.reduceResultClass();
    s.offerTermination = file.offerPoverkaTermination();
    f.disableStabilityControl = !s.stabilityControl;
    f.waitForFixedValue = s.waitFixed;
    f.reduceResultClass = s.reduceClass;
    f.offerPoverkaTermination = s.offerTermination;
    s.connectionCheck = f.connectionCheck = file.connectionCheck();
    s.stabilityForecast = f.stabilityForecast = file.stabilityForecast();

    f.organNameLines = organNameLines(file.metrologyOrganName());
    f.rukDolgnost = file.rukDolgnost();
    f.svid = {file.svidAutoNum(), file.svidNextNum(), file.svidDigitsCount()};
    f.izv = {file.izvAutoNum(), file.izvNextNum(), file.izvDigitsCount()};
    s.loaded = true;
}

bool ProgramSettings::applyConnection(Dialogs &dialogs)
{
    SettingsFile file;
    const SettingsForm &f = s.form;
    s.channel = (f.channelItem == 1 || f.channelItem == 2) ? f.channelItem : 0;
    s.inverted = f.polarityItem == 2;
    return writeInOrder(file, dialogs,
                        {[&] { return file.setPort(f.portText); },
                         [&] { return s.channel == 0 || file.setTaver7Channel(s.channel); },
                         [&] { return file.setBi1TInputInvertedPolarity(s.inverted); }});
}

bool ProgramSettings::applyProgramOptions(Dialogs &dialogs)
{
    SettingsFile file;
    const SettingsForm &f = s.form;
    s.stabilityControl = !f.disableStabilityControl;
    s.waitFixed = f.waitForFixedValue;
    s.reduceClass = f.reduceResultClass;
    s.offerTermination = f.offerPoverkaTermination;
    s.connectionCheck = f.connectionCheck;
    s.stabilityForecast = f.stabilityForecast;
    return writeInOrder(
        file, dialogs,
        {[&] { return file.setTemperatureStabilityControl(s.stabilityControl); },
         [&] { return file.setWaitForFixedValue(s.waitFixed); },
         [&] { return file.setReduceResultClass(s.reduceClass); },
         [&] { return file.setOfferPoverkaTermination(s.offerTermination); },
         [&] { return file.setConnectionCheck(s.connectionCheck); },
         [&] { return file.setStabilityForecast(s.stabilityForecast); },
         [&] { return file.setMetrologyOrganName(organNameText(f.organNameLines)); },
         [&] { return file.setRukDolgnost(f.rukDolgnost); },
         [&] { return file.setSvidAutoNum(f.svid.autoNum); },
         [&] { return !f.svid.autoNum || file.setSvidNextNum(f.svid.nextNum); },
         [&] { return !f.svid.autoNum || file.setSvidDigitsCount(f.svid.digitsCount); },
         [&] { return file.setIzvAutoNum(f.izv.autoNum); },
         [&] { return !f.izv.autoNum || file.setIzvNextNum(f.izv.nextNum); },
         [&] { return !f.izv.autoNum || file.setIzvDigitsCount(f.izv.digitsCount); }});
}

bool ProgramSettings::documentNumberUsed(DocumentKind kind, int number, Dialogs &dialogs)
{
    SettingsFile file;
    DocumentNumbering &n = numberingOf(kind);
    n.nextNum = number < std::numeric_limits<int>::max() ? number + 1 : number;
    Q_EMIT formChanged();
    return writeInOrder(file, dialogs, {[&] {
                            return kind == DocumentKind::Certificate
                                       ? file.setSvidNextNum(n.nextNum)
                                       : file.setIzvNextNum(n.nextNum);
                        }});
}

bool ProgramSettings::switchAutoNumberingOff(DocumentKind kind, Dialogs &dialogs)
{
    SettingsFile file;
    numberingOf(kind).autoNum = false;
    Q_EMIT formChanged();
    return writeInOrder(file, dialogs, {[&] {
                            return kind == DocumentKind::Certificate ? file.setSvidAutoNum(false)
                                                                     : file.setIzvAutoNum(false);
                        }});
}

ProgramSettings &programSettings()
{
    static ProgramSettings settings;
    return settings;
}

} // namespace kront
