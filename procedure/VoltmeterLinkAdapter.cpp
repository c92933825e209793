#include "procedure/VoltmeterLinkAdapter.h"

#include "link/link.h"

namespace kront
{

bool VoltmeterLinkAdapter::linkConnected() const
{
    return link.LinkConnected;
}
bool VoltmeterLinkAdapter::receiveOn() const
{
    return link.ReceiveOn;
}
bool VoltmeterLinkAdapter::meterReady() const
{
    return link.MeterReady;
}
bool VoltmeterLinkAdapter::meterOutOfRange() const
{
    return link.MeterOutOfRange;
}
QString VoltmeterLinkAdapter::meterStateText() const
{
    return link.MeterStateText;
}
void VoltmeterLinkAdapter::setCurrentChannel(int channel)
{
    link.CurrentChannel = channel;
}
void VoltmeterLinkAdapter::setSavedStatusText(const QString &text)
{
    link.SavedStatusText = text;
}
bool VoltmeterLinkAdapter::establishLink()
{
    return link.EstablishLink();
}
bool VoltmeterLinkAdapter::startReceive()
{
    return link.StartReceive();
}
bool VoltmeterLinkAdapter::stopReceive()
{
    return link.StopReceive();
}
void VoltmeterLinkAdapter::pauseNotification()
{
    link.pauseNotification();
}
void VoltmeterLinkAdapter::wait(int ms)
{
    link.wait(ms);
}
void VoltmeterLinkAdapter::closeLink()
{
    link.CloseLink();
}

} // namespace kront
