#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

namespace kront
{

// A switching unit.
class TCommutator
{
public:
    virtual ~TCommutator() = default;

    // True once the operator has confirmed the switch positions for the current step.
    bool Switched = false;
};

// The BI1 switching unit with one switch per channel.
class TBi1 : public TCommutator
{
public:
    // Switch position code (CodeTables.h) the operator was told to set, per channel.
    std::array<quint8, 3> Position{}; // channels 1..2, [0] unused

    // Position of channel 1 or 2; an undefined code (255) for any other channel.
    quint8 GetPosition(int channel) const;
    // Sets the position of channel 1 or 2; false (nothing changed) for any other channel.
    bool SetPosition(int channel, quint8 code);
    // Label of the current position of channel 1 or 2 ("Не определён" for any other channel).
    QString ChannelInputLabel(int channel) const;
    // Label of any position code.
    static QString InputLabel(int code);
};

} // namespace kront
