#include "model/TPoverka.h"

#include "model/StageProgression.h"

#include <QStringView>

namespace kront
{
namespace
{

constexpr std::array<const char16_t *, 4> kStageNames{u"Initiation", u"Instability", u"MainCycle",
                                                      u"Calculation"};

bool validSlot(int slot)
{
    return slot == 1 || slot == 2;
}

void markChannelUsed(TPoverka &poverka, const TBunch &bunch)
{
    if (bunch.ChannelNum == 1 || bunch.ChannelNum == 2)
        poverka.ChannelUnused[bunch.ChannelNum] = false;
}

} // namespace

QString StageName(int stage)
{
    if (stage < 0 || stage >= int(kStageNames.size()))
        return QString();
    return QStringView(kStageNames[size_t(stage)]).toString();
}

bool StageFromName(const QString &name, quint8 &stage)
{
    for (size_t i = 0; i < kStageNames.size(); ++i) {
        if (name == QStringView(kStageNames[i])) {
            stage = quint8(i);
            return true;
        }
    }
    return false;
}

QString GostNumberText()
{
    return QStringLiteral("ГОСТ 8.338-2002");
}

void TPoverka::BeginNew(const QDateTime &started)
{
    ChannelCount = 2;
    Started = started;
    GOSTnum = GostNumberText();
    ChannelUnused[1] = true;
    ChannelUnused[2] = true;
    RestartAtInitiation(*this);
}

bool TPoverka::AttachBunch(int slot, TBunch *bunch)
{
    if (!validSlot(slot) || !bunch)
        return false;
    Bunches[size_t(slot)] = bunch;
    bunch->PovTerminated = false;
    bunch->PovTermMeasPointNum = 0;
    markChannelUsed(*this, *bunch);
    return true;
}

TBunch *TPoverka::AdoptBunch(int slot, std::unique_ptr<TBunch> bunch)
{
    if (!validSlot(slot) || !bunch)
        return nullptr;
    TBunch *raw = bunch.get();
    OwnedBunches.push_back(std::move(bunch));
    Bunches[size_t(slot)] = raw;
    markChannelUsed(*this, *raw);
    return raw;
}

} // namespace kront
