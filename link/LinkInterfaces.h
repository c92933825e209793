#pragma once

#include <QString>

// What the voltmeter link needs of the windows around it. The verification
// window implements these; tests record the calls.
namespace kront
{

// The message panels of the two channel groups.
class LinkView
{
public:
    virtual ~LinkView() = default;
    // Writes the text into the first (wide) panel of the status bar of channel 1 or 2.
    virtual void showChannelStatus(int channel, const QString &text) = 0;
    // Sets the controls of a channel's group from the current state
    // (PrepareControls of the measurement page).
    virtual void refreshChannelControls(int channel) = 0;
};

// Busy (hourglass) mouse cursor during a blocking exchange.
class BusyCursor
{
public:
    virtual ~BusyCursor() = default;
    virtual void begin() = 0; // remember the cursor, show the busy one
    virtual void end() = 0;   // put the remembered cursor back
};

// The progress window shown while the link is established.
class LinkProgress
{
public:
    virtual ~LinkProgress() = default;
    // Shows the window with its title, label and a smooth bar 0..maximum at 0.
    virtual void start(const QString &title, const QString &label, int maximum) = 0;
    virtual void setLabel(const QString &label) = 0;
    virtual void advance() = 0; // one step
    // Clears label and title, sets the bar to 0 and closes the window.
    virtual void finish() = 0;
};

// Takes every reading that survived the receive path.
class ReadingSink
{
public:
    virtual ~ReadingSink() = default;
    virtual void ProcessReading(double valueMv) = 0;
};

// Settings the link reads (section CommunicationParams of the settings file).
struct LinkSettings {
    QString Port = QStringLiteral("COM1");  // port name or device path
    int MeterChannel = 1;                   // TAVER-7Channel: voltmeter channel wired to BI1
    bool ReferenceInvertedPolarity = false; // BI1_TInputInvertedPolarity (applied by the procedure)
};

} // namespace kront
