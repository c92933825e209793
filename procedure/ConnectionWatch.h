#pragma once

#include "procedure/ChannelStep.h"
#include "procedure/PoverkaView.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace kront
{

class Database;
class TBi1;
class TPoverka;

// The graduated span of a reference thermocouple: the EMFs (mV, cold junction 0 °C) and
// temperatures (°C) of its lowest and highest point.
struct ReferenceSpan {
    double lowEmf = -300, lowTemp = -300;
    double highEmf = -300, highTemp = -300;
};
using ReferenceSpanLookup = std::function<std::optional<ReferenceSpan>(qint32 etalID)>;

// The span look-up of the stored reference thermocouples (EtalSens).
ReferenceSpanLookup databaseReferenceSpan(Database &db);

// What the measurement page knows when a settled value is shown at the position the operator
// was asked to set on channel `channel`.
struct ReadingContext {
    const TPoverka &pov;
    const TBi1 &bi1;
    const std::vector<ChannelStep> &steps;
    int channel;
    double etalTsk;              // °C, the reference's cold junction as entered (ППО)
    const ReadingGridText &grid; // the channel's reading grid (typed mercury readings)
};

// Checks every settled reading of the measurement page against what the asked switch position
// should read, from the furnace temperature the reference gave in this step, and names the
// likely connection mistake. Never blocks anything by itself: the page shows the text and the
// recording asks once whether to record the value all the same.
class ConnectionWatch
{
public:
    explicit ConnectionWatch(ReferenceSpanLookup lookup) : spanOf(std::move(lookup)) {}

    // A valid furnace temperature measured by the reference of the channel now measured.
    void noteFurnace(const TPoverka &pov, int channel, double t);

    // The diagnosis of value `measured` (mV as shown); empty when it fits, when nothing can be
    // expected of it, or when the check is switched off in the program settings.
    QString diagnose(const ReadingContext &context, double measured);

    // The question asked before a diagnosed value is recorded.
    static QString recordQuestion(const QString &diagnosis);

private:
    struct Furnace {
        quint8 stage = 0;
        quint32 step = 0;
        double t = -300;
    };
    std::optional<double> furnace(const ReadingContext &context, const ChannelStep &step) const;
    std::optional<ReferenceSpan> span(qint32 etalID);

    ReferenceSpanLookup spanOf;
    std::array<Furnace, 3> furnaces{};                                  // channels 1..2
    std::vector<std::pair<qint32, std::optional<ReferenceSpan>>> spans; // read once per window
};

} // namespace kront
