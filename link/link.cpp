#include "link/link.h"

#include "common/Dialogs.h"
#include "common/TrainingMode.h"
#include "link/AnswerScanner.h"

#include <QDeadlineTimer>
#include <QThread>

namespace kront
{

using namespace frames;

namespace
{

const QString kNoPort = QStringLiteral("Внимание! Не выбран порт связи!");
const QString kNotConnected = QStringLiteral("Внимание! Соединение с прибором еще не установлено!");
const QString kReceiveAlreadyOn =
    QStringLiteral("Внимание! Режим приема данных с прибора уже включен!");
const QString kReceiveNotOn =
    QStringLiteral("Внимание! Режим приема данных с прибора еще не включен!");
const QString kStopNoAnswer =
    QStringLiteral("Ошибка связи: прибор не отвечает при отключении приема данных.");
const QString kStopRejected =
    QStringLiteral("Ошибка связи: не удается отключить режим приема данных из прибора.");

// Shows the busy cursor for its own lifetime.
class BusyScope
{
public:
    explicit BusyScope(BusyCursor *c) : cursor(c)
    {
        if (cursor)
            cursor->begin();
    }
    ~BusyScope()
    {
        if (cursor)
            cursor->end();
    }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    BusyCursor *cursor;
};

} // namespace

struct VoltmeterLink::Command {
    QByteArray frame;
    QString noAnswer;
    QString rejected;
    bool connecting = false; // CmdConnect: "in progress" text, no SavedStatusText afterwards
};

VoltmeterLink::VoltmeterLink(SerialPort &serial, LinkView &linkView, QObject *parent)
    : QObject(parent), port(serial), view(linkView)
{
}

VoltmeterLink::~VoltmeterLink()
{
    port.detachHandler();
}

QString VoltmeterLink::deviceNameForPort(const QString &name)
{
#ifdef Q_OS_WIN
    return name.startsWith(QLatin1String("\\\\.\\")) ? name : QStringLiteral("\\\\.\\") + name;
#else
    if (name.isEmpty() || name.startsWith(u'/'))
        return name;
    return QStringLiteral("/dev/") + name;
#endif
}

void VoltmeterLink::ShowLinkStatus(const QString &text)
{
    if (CurrentChannel == 1 || CurrentChannel == 2)
        view.showChannelStatus(CurrentChannel, text);
}

void VoltmeterLink::pauseIfActive()
{
    if (port.deliveryActive())
        port.pauseDelivery();
}

void VoltmeterLink::wait(int ms)
{
    if (waitMs)
        waitMs(ms);
    else
        QThread::msleep(ulong(ms));
}

// ---- Command exchanges -------------------------------------------------

// Reads the answer to the command just written into FrameBuffer; false when
// no acknowledgement came. The bytes are scanned for it: reading frames that
// come first are set aside and dropped (they were measured before the
// voltmeter took the command: the end of a step for the stop command, the
// switches not yet confirmed for the others), and the bytes after it stay in
// the port for the receive path. The read ends at a silence of the answer
// time-out, or when that time has passed since the command while readings
// keep coming without an answer among them.
bool VoltmeterLink::readAnswer()
{
    AnswerScanner scanner;
    {
        BusyScope busy(busyCursor);
        port.setInputTimeout(answerTimeoutMs);
        const QDeadlineTimer deadline(answerTimeoutMs);
        for (;;) {
            const int wanted = scanner.missing();
            const QByteArray bytes = port.read(wanted);
            if (scanner.feed(bytes) || bytes.size() < wanted || deadline.hasExpired())
                break;
        }
        scanner.finish();
    }
    pauseIfActive();
    if (!scanner.found())
        return false;
    copyToBuffer(FrameBuffer, scanner.answer());
    return true;
}

// Writes a frame from TxBuffer and reads its answer into FrameBuffer; false
// when none came. A write that gave up counts as no answer at once, without
// waiting out the read time-out.
bool VoltmeterLink::sendAndReadAnswer(const QByteArray &frame)
{
    copyToBuffer(TxBuffer, frame);
    pauseIfActive();
    if (!port.write(bufferBytes(TxBuffer, int(frame.size()))))
        return false;
    return readAnswer();
}

// Bytes that came before a command cannot be its answer (a late answer to an
// earlier command among them), so the input is purged first.
bool VoltmeterLink::exchange(const Command &command)
{
    if (command.connecting)
        ShowLinkStatus(QStringLiteral("Установка соединения ..."));
    port.purge();
    if (!sendAndReadAnswer(command.frame)) {
        ShowLinkStatus(command.noAnswer);
        return false;
    }
    if (!command.connecting)
        ShowLinkStatus(SavedStatusText);
    const int code = CheckAnswer();
    if (code == 0)
        return true;
    // CODE 6 passes the fixed-byte test but has no text of its own: the
    // voltmeter did not accept the command, so it is reported as a refusal.
    if (code == kAnswerMalformed || code == 6)
        ShowLinkStatus(command.rejected);
    return false;
}

int VoltmeterLink::CheckAnswer()
{
    const int code = answerCode(FrameBuffer);
    if (code == kAnswerChecksumError) {
        ShowLinkStatus(QStringLiteral("Ошибка связи: ошибка контрольной суммы данных."));
    } else if (code == 0) {
        ShowLinkStatus(SavedStatusText);
    } else if (code > 0) {
        const QString text = answerCodeText(code);
        if (!text.isEmpty())
            ShowLinkStatus(text);
    }
    return code;
}

bool VoltmeterLink::CmdConnect()
{
    return exchange({connectFrame(),
                     QStringLiteral("Прибор не отвечает при попытке установить соединение."),
                     QStringLiteral("Не удается подключиться к прибору."), true});
}

bool VoltmeterLink::CmdDisconnect()
{
    return exchange({disconnectFrame(),
                     QStringLiteral("Ошибка связи: прибор не отвечает при завершении соединения."),
                     QStringLiteral("Ошибка связи: не удается завершить соединение с прибором."),
                     false});
}

bool VoltmeterLink::CmdSetParams()
{
    copyToBuffer(TxBuffer, setParamsFrameBody());
    FrameChecksum(TxBuffer, ChecksumMode::Set);
    return exchange({bufferBytes(TxBuffer, kParamsFrameSize),
                     QStringLiteral("Ошибка связи: прибор не отвечает при установке параметров "
                                    "работы прибора."),
                     QStringLiteral("Ошибка приема: не удается установить параметры работы "
                                    "прибора."),
                     false});
}

bool VoltmeterLink::CmdStartReceive()
{
    return exchange(
        {startReceiveFrame(),
         QStringLiteral("Ошибка связи: прибор не отвечает при включении приема данных."),
         QStringLiteral("Ошибка связи: не удается включить режим приема данных из прибора."),
         false});
}

// Reading frames are still arriving when the stop command goes out: the
// handler is detached, and the answer is found among them. The command is
// repeated (at most three times, 100 ms apart, the queues purged each time)
// while the answer found fails the acknowledgement's fixed-byte test.
bool VoltmeterLink::CmdStopReceive()
{
    port.detachHandler();
    for (int attempt = 1; attempt <= kStopAttempts; ++attempt) {
        port.purge();
        if (!sendAndReadAnswer(stopReceiveFrame())) {
            ShowLinkStatus(kStopNoAnswer);
            attachReceiveHandler();
            return false;
        }
        ShowLinkStatus(SavedStatusText);
        if (answerHeaderValid(FrameBuffer))
            break;
        if (attempt < kStopAttempts)
            wait(kStopRetryPauseMs);
    }
    const int code = CheckAnswer();
    if (code == 0)
        return true;
    if (code == kAnswerMalformed || code == 6)
        ShowLinkStatus(kStopRejected);
    attachReceiveHandler();
    return false;
}

void VoltmeterLink::attachReceiveHandler()
{
    port.attachHandler([this](const QByteArray &chunk) { ReceiveData(chunk); });
}

// ---- Link operations ---------------------------------------------------

bool VoltmeterLink::noPort()
{
    if (port.isOpen())
        return false;
    ShowLinkStatus(kNoPort);
    return true;
}

bool VoltmeterLink::notConnected()
{
    if (LinkConnected)
        return false;
    ShowLinkStatus(kNotConnected);
    return true;
}

bool VoltmeterLink::OpenPort()
{
    LinkConnected = false;
    if (port.isOpen())
        port.close();
    pauseIfActive();
    port.purge();
    const QString device = deviceNameForPort(settings.Port.trimmed());
    if (!TrainingMode::portAllowed(device)) {
        ShowLinkStatus(TrainingMode::refusedPortText(device));
        return false;
    }
    if (!port.open(device))
        return false;
    port.purge(); // bytes the device held before we opened it are stale
    return port.isOpen();
}

void VoltmeterLink::ClosePort()
{
    if (port.isOpen())
        port.close();
}

bool VoltmeterLink::Connect()
{
    if (LinkConnected)
        return true;
    if (!CmdConnect())
        return false;
    LinkConnected = true;
    pauseIfActive();
    return true;
}

bool VoltmeterLink::Disconnect()
{
    if (noPort() || notConnected())
        return false;
    if (!CmdDisconnect())
        return false;
    LinkConnected = false;
    return true;
}

bool VoltmeterLink::SetMode()
{
    if (noPort() || notConnected())
        return false;
    if (ReceiveOn) {
        ShowLinkStatus(kReceiveAlreadyOn);
        return false;
    }
    if (!CmdSetParams())
        return false;
    pauseIfActive();
    return true;
}

bool VoltmeterLink::StartReceive()
{
    if (noPort() || notConnected())
        return false;
    if (ReceiveOn) {
        ShowLinkStatus(kReceiveAlreadyOn);
        return false;
    }
    if (!CmdStartReceive())
        return false;
    ReceiveOn = true;
    attachReceiveHandler();
    if (!port.deliveryActive())
        port.resumeDelivery();
    return true;
}

bool VoltmeterLink::StopReceive()
{
    if (noPort() || notConnected())
        return false;
    if (!ReceiveOn) {
        ShowLinkStatus(kReceiveNotOn);
        return false;
    }
    if (!CmdStopReceive())
        return false;
    ReceiveOn = false;
    pauseIfActive();
    return true;
}

void VoltmeterLink::CloseLink()
{
    if (ReceiveOn)
        StopReceive();
    if (LinkConnected)
        Disconnect();
    ClosePort();
}

bool VoltmeterLink::EstablishLink()
{
    if (!port.isOpen() && !OpenPort()) {
        const QString device = deviceNameForPort(settings.Port.trimmed());
        if (dialogs)
            dialogs->error(TrainingMode::portAllowed(device)
                               ? QStringLiteral("Выбранный порт связи с ТАВЕР-7 не доступен!")
                               : TrainingMode::refusedPortText(device));
        return false;
    }
    if (progress)
        progress->start(
            QStringLiteral("Обмен с измерителем ТАВЕР-7. Подождите завершения операции."),
            QStringLiteral("Установка соединения ..."), 3);
    auto advance = [this] {
        if (progress)
            progress->advance();
    };
    bool ok = Connect();
    advance();
    if (ok) {
        wait(kModePauseMs);
        if (progress)
            progress->setLabel(QStringLiteral("Установка режима ..."));
        advance();
        ok = SetMode();
        advance();
    }
    if (progress)
        progress->finish();
    if (!ok) {
        if (dialogs)
            dialogs->error(QStringLiteral("Не удалось установить связь с измерителем ТАВЕР-7!"));
        return false;
    }
    return true;
}

} // namespace kront
