#include "settings/ProgramSettings.h"

#include "common/Dialogs.h"
#include "settings/OrganName.h"

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
    return organNameText(s.organNameLines);
}

DocumentNumbering ProgramSettings::numbering(DocumentKind kind) const
{
    return kind == DocumentKind::Certificate ? s.svid : s.izv;
}

void ProgramSettings::setNumbering(DocumentKind kind, const DocumentNumbering &numbering)
{
    numberingOf(kind) = numbering;
}

DocumentNumbering &ProgramSettings::numberingOf(DocumentKind kind)
{
    return kind == DocumentKind::Certificate ? s.svid : s.izv;
}

QString ProgramSettings::proposedDocumentNumber(DocumentKind kind) const
{
    const DocumentNumbering n = numbering(kind);
    // A digits count from a hand-edited file must not make a giant text.
    const int width = std::clamp(n.digitsCount, 0, 32);
    return QString::number(n.nextNum).rightJustified(width, u'0');
}

void ProgramSettings::load()
{
    const SettingsFile file;
    s.channel = file.taver7Channel();
    s.inverted = file.bi1TInputInvertedPolarity();
    s.port = file.port();
    s.options = {
        file.temperatureStabilityControl(), file.waitForFixedValue(), file.reduceResultClass(),
        file.offerPoverkaTermination(),     file.connectionCheck(),   file.stabilityForecast()};
    s.organNameLines = kront::organNameLines(file.metrologyOrganName());
    s.rukDolgnost = file.rukDolgnost();
    s.svid = {file.svidAutoNum(), file.svidNextNum(), file.svidDigitsCount()};
    s.izv = {file.izvAutoNum(), file.izvNextNum(), file.izvDigitsCount()};
    s.loaded = true;
}

bool ProgramSettings::applyConnection(int channel, bool inverted, Dialogs &dialogs)
{
    SettingsFile file;
    s.channel = (channel == 1 || channel == 2) ? channel : 0;
    s.inverted = inverted;
    return writeInOrder(file, dialogs,
                        {[&] { return file.setPort(s.port); },
                         [&] { return s.channel == 0 || file.setTaver7Channel(s.channel); },
                         [&] { return file.setBi1TInputInvertedPolarity(s.inverted); }});
}

bool ProgramSettings::applyProgramOptions(const ProgramOptions &options, Dialogs &dialogs)
{
    SettingsFile file;
    s.options = options;
    return writeInOrder(
        file, dialogs,
        {[&] { return file.setTemperatureStabilityControl(options.stabilityControl); },
         [&] { return file.setWaitForFixedValue(options.waitFixed); },
         [&] { return file.setReduceResultClass(options.reduceClass); },
         [&] { return file.setOfferPoverkaTermination(options.offerTermination); },
         [&] { return file.setConnectionCheck(options.connectionCheck); },
         [&] { return file.setStabilityForecast(options.stabilityForecast); },
         [&] { return file.setMetrologyOrganName(organNameText(s.organNameLines)); },
         [&] { return file.setRukDolgnost(s.rukDolgnost); },
         [&] { return file.setSvidAutoNum(s.svid.autoNum); },
         [&] { return !s.svid.autoNum || file.setSvidNextNum(s.svid.nextNum); },
         [&] { return !s.svid.autoNum || file.setSvidDigitsCount(s.svid.digitsCount); },
         [&] { return file.setIzvAutoNum(s.izv.autoNum); },
         [&] { return !s.izv.autoNum || file.setIzvNextNum(s.izv.nextNum); },
         [&] { return !s.izv.autoNum || file.setIzvDigitsCount(s.izv.digitsCount); }});
}

bool ProgramSettings::documentNumberUsed(DocumentKind kind, int number, Dialogs &dialogs)
{
    SettingsFile file;
    DocumentNumbering &n = numberingOf(kind);
    n.nextNum = number < std::numeric_limits<int>::max() ? number + 1 : number;
    Q_EMIT numberingChanged();
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
    Q_EMIT numberingChanged();
    return writeInOrder(file, dialogs, {[&] {
                            return kind == DocumentKind::Certificate ? file.setSvidAutoNum(false)
                                                                     : file.setIzvAutoNum(false);
                        }});
}

} // namespace kront
