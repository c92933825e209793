#pragma once

#include "link/LinkInterfaces.h"
#include "link/MeterLink.h"
#include "link/SerialPort.h"
#include "link/frames.h"
#include "link/receiver.h"

#include <QEvent>
#include <QObject>
#include <functional>

namespace kront
{

class Dialogs;

// Posted messages of the verification window's queue.
constexpr int kFrameMessage = 1024;   // WM_USER: a frame was assembled, or a receive error
constexpr int kReadingMessage = 1025; // WM_USER + 1: a valid frame while transmission is on

// A posted link message. It carries the receive status and the frame it
// belongs to, so a later chunk cannot change what an earlier message reports.
class LinkMessageEvent : public QEvent
{
public:
    LinkMessageEvent(int message, int status, QByteArray bytes)
        : QEvent(QEvent::Type(message)), rxStatus(status), frame(std::move(bytes))
    {
    }
    int rxStatus;
    QByteArray frame;
};

// The serial link with the TAVER-7 voltmeter: link states, guarded link
// operations, the blocking command exchanges and the receive path that turns
// reading frames into one number each, handed to ReadingSink::ProcessReading.
// Link problems are status texts of the channel being measured, never message
// boxes (except the two of EstablishLink). Runs on the user-interface thread.
class VoltmeterLink : public QObject, public MeterLink
{
    Q_OBJECT

public:
    // Waits for the given milliseconds (blocking); replaceable for tests.
    using WaitFunction = std::function<void(int ms)>;

    static constexpr int kAnswerTimeoutMs = 4000;
    static constexpr int kStopRetryPauseMs = 100;
    static constexpr int kStopAttempts = 3;
    static constexpr int kModePauseMs = 500;

    VoltmeterLink(SerialPort &port, LinkView &view, QObject *parent = nullptr);
    ~VoltmeterLink() override;

    // Collaborators; none is owned. Without a sink readings are dropped,
    // without progress or cursor nothing is shown, without dialogs the two
    // message boxes of EstablishLink are not shown.
    void setReadingSink(ReadingSink *sink) { readingSink = sink; }
    void setProgress(LinkProgress *p) { progress = p; }
    void setBusyCursor(BusyCursor *cursor) { busyCursor = cursor; }
    void setDialogs(Dialogs *d) { dialogs = d; }
    void setWaitFunction(WaitFunction f) { waitMs = std::move(f); }
    // Time-out of silence for an answer (4000 ms in the program).
    void setAnswerTimeout(int ms) { answerTimeoutMs = ms; }

    // The port name is read at the moment the port opens.
    void setSettings(const LinkSettings &s) { settings = s; }
    const LinkSettings &linkSettings() const { return settings; }

    // The channel now served (0, 1 or 2); status texts go to its panel.
    int CurrentChannel = 0;
    // The text of the current channel's message panel at its last refresh;
    // a successful exchange writes it back.
    QString SavedStatusText;

    bool LinkConnected = false;
    bool ReceiveOn = false;
    // Voltmeter state from the last reading frame.
    bool MeterReady = false;
    bool MeterOutOfRange = false;
    QString MeterStateText;

    // Link operations (guard failures are status texts and return false).
    bool OpenPort();
    void ClosePort();
    bool Connect();
    bool Disconnect();
    bool SetMode();
    bool StartReceive();
    bool StopReceive();
    void CloseLink();
    bool EstablishLink();

    // Command exchanges; true only when the voltmeter accepted (CODE 0).
    bool CmdConnect();
    bool CmdDisconnect();
    bool CmdSetParams();
    bool CmdStartReceive();
    bool CmdStopReceive();
    // Checks the acknowledgement in FrameBuffer: 16, -1 or the CODE.
    int CheckAnswer();

    void ShowLinkStatus(const QString &text);

    // Pauses the delivery of received bytes unless already paused.
    void pauseNotification() override { pauseIfActive(); }
    // Blocking pause of the link's own kind (the wait function), ms.
    void wait(int ms) override;

    // MeterLink: the states and operations above as the verification drives them.
    bool linkConnected() const override { return LinkConnected; }
    bool receiveOn() const override { return ReceiveOn; }
    bool meterReady() const override { return MeterReady; }
    bool meterOutOfRange() const override { return MeterOutOfRange; }
    QString meterStateText() const override { return MeterStateText; }
    void setCurrentChannel(int channel) override { CurrentChannel = channel; }
    void setSavedStatusText(const QString &text) override { SavedStatusText = text; }
    bool establishLink() override { return EstablishLink(); }
    bool startReceive() override { return StartReceive(); }
    bool stopReceive() override { return StopReceive(); }
    void closeLink() override { CloseLink(); }

    // The receive routine: the port's received-data handler while ReceiveOn.
    void ReceiveData(const QByteArray &chunk);
    int RxStatus() const { return receiver.RxStatus(); }

    // The device opened for a port name: "\\.\COM3" on Windows; elsewhere a
    // path as it stands, or a name under /dev.
    static QString deviceNameForPort(const QString &port);

    const frames::Buffer &frameBuffer() const { return FrameBuffer; }
    SerialPort &serialPort() { return port; }

Q_SIGNALS:
    // After a frame event was handled (rxStatus 0 = a frame arrived).
    void frameEventHandled(int rxStatus);
    // After a reading was handed to the sink, in mV.
    void readingAccepted(double valueMv);

protected:
    bool event(QEvent *e) override;

private:
    struct Command;
    bool exchange(const Command &command);
    bool sendAndReadAnswer(const QByteArray &frame);
    bool readAnswer();
    bool noPort();
    bool notConnected();
    void pauseIfActive();
    void attachReceiveHandler();
    // Reports one outcome of the frame assembly (frame event, status texts).
    void handleOutcome(FrameReceiver::Outcome outcome);
    void FrameEvent(int rxStatus, const QByteArray &frame);
    void ReadingEvent(const QByteArray &frame);
    void refreshControls();
    QString nowText() const;

    SerialPort &port;
    LinkView &view;
    ReadingSink *readingSink = nullptr;
    LinkProgress *progress = nullptr;
    BusyCursor *busyCursor = nullptr;
    Dialogs *dialogs = nullptr;
    WaitFunction waitMs;
    int answerTimeoutMs = kAnswerTimeoutMs;
    LinkSettings settings;

    frames::Buffer TxBuffer{};
    frames::Buffer FrameBuffer{};
    FrameReceiver receiver;
};

} // namespace kront
