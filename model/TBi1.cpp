#include "model/TBi1.h"

#include "model/CodeTables.h"

namespace kront
{

namespace
{
constexpr quint8 kUndefinedPosition = 255;

bool validChannel(int channel)
{
    return channel == 1 || channel == 2;
}
} // namespace

quint8 TBi1::GetPosition(int channel) const
{
    return validChannel(channel) ? Position[size_t(channel)] : kUndefinedPosition;
}

bool TBi1::SetPosition(int channel, quint8 code)
{
    if (!validChannel(channel))
        return false;
    Position[size_t(channel)] = code;
    return true;
}

QString TBi1::ChannelInputLabel(int channel) const
{
    return kront::InputLabel(GetPosition(channel));
}

QString TBi1::InputLabel(int code)
{
    return kront::InputLabel(code);
}

} // namespace kront
