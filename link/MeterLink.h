#pragma once

#include <QString>

// What the verification procedure needs of the voltmeter link. VoltmeterLink is the program's;
// tests give a scripted link.
namespace kront
{

class MeterLink
{
public:
    virtual ~MeterLink() = default;

    virtual bool linkConnected() const = 0;
    virtual bool receiveOn() const = 0;
    // Voltmeter state from the last reading frame.
    virtual bool meterReady() const = 0;
    virtual bool meterOutOfRange() const = 0;
    virtual QString meterStateText() const = 0;

    // The channel whose status panel takes link texts (0, 1 or 2).
    virtual void setCurrentChannel(int channel) = 0;
    // The first panel's text that a successful exchange writes back.
    virtual void setSavedStatusText(const QString &text) = 0;

    // Opens the port, connects and sets the mode (its own message boxes); false on failure.
    virtual bool establishLink() = 0;
    virtual bool startReceive() = 0;
    virtual bool stopReceive() = 0;
    // Pauses the delivery of received bytes (the verification stops listening).
    virtual void pauseNotification() = 0;
    // Blocking pause before a mode change, ms.
    virtual void wait(int ms) = 0;
    // The window closes: stop transmission if on, disconnect and close the port.
    virtual void closeLink() = 0;
};

} // namespace kront
