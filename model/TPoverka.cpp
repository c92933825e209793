#include "model/TPoverka.h"

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

// The text after the first ";"; the whole text when it holds none.
QStringView afterSeparator(QStringView text)
{
    const qsizetype p = text.indexOf(u';');
    return p < 0 ? text : text.mid(p + 1);
}

// The decimal value of the first character, which must be a digit.
bool firstDigit(QStringView text, quint32 &value)
{
    if (text.isEmpty() || text.front() < u'0' || text.front() > u'9')
        return false;
    value = quint32(text.front().unicode() - u'0');
    return true;
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
    Stage = stInitiation;
    InstabilityDone = false;
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

QString EncodeState(const TPoverka &poverka)
{
    QString state;
    const QString stage = StageName(poverka.Stage);
    if (!stage.isEmpty())
        state += stage + u';';
    state += poverka.InstabilityDone ? u"1;" : u"0;";
    state += QString::number(poverka.StepIndex) + u';';
    state += QString::number(poverka.StepCount) + u';';
    return state;
}

bool DecodeState(TPoverka &poverka, const QString &text)
{
    QStringView rest(text);
    const qsizetype firstSeparator = rest.indexOf(u';');
    quint8 stage = poverka.Stage;
    if (firstSeparator >= 0)
        StageFromName(rest.left(firstSeparator).toString(), stage);

    rest = afterSeparator(rest);
    const bool instabilityDone = !rest.isEmpty() && rest.front() == u'1';

    quint32 stepIndex = 0;
    rest = afterSeparator(rest);
    if (!firstDigit(rest, stepIndex))
        return false;

    quint32 stepCount = 0;
    rest = afterSeparator(rest);
    if (!firstDigit(rest, stepCount))
        return false;

    poverka.Stage = stage;
    poverka.InstabilityDone = instabilityDone;
    poverka.StepIndex = stepIndex;
    poverka.StepCount = stepCount;
    return true;
}

} // namespace kront
