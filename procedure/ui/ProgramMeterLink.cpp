#include "procedure/ui/ProgramMeterLink.h"

#include "common/Dialogs.h"
#include "procedure/PoverkaEngine.h"
#include "settings/ProgramSettings.h"

namespace kront
{

LinkSettings programLinkSettings(const ProgramSettings &s)
{
    LinkSettings settings;
    settings.Port = s.portName();
    settings.MeterChannel = s.taver7Channel() == 2 ? 2 : 1;
    settings.ReferenceInvertedPolarity = s.bi1TInputInvertedPolarity();
    return settings;
}

ProgramMeterLink::ProgramMeterLink(PoverkaEngine &engine, Dialogs &dialogs, LinkProgress *progress,
                                   const ProgramSettings &programSettings)
    : detail::MeterLinkParts(engine), VoltmeterLinkAdapter(MeterLinkParts::meterLink)
{
    meterLink.setReadingSink(&engine);
    meterLink.setDialogs(&dialogs);
    meterLink.setBusyCursor(&cursor);
    meterLink.setProgress(progress);
    meterLink.setSettings(programLinkSettings(programSettings));
}

} // namespace kront
