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

ProgramMeterLink::ProgramMeterLink(PoverkaEngine &engine, Dialogs &dialogSet,
                                   LinkProgress *linkProgress,
                                   const ProgramSettings &programSettings)
    : VoltmeterLink(portDevice, engine)
{
    setReadingSink(&engine);
    setDialogs(&dialogSet);
    setBusyCursor(&waitCursor);
    setProgress(linkProgress);
    setSettings(programLinkSettings(programSettings));
}

} // namespace kront
