// The receive path of the voltmeter link: the received-data handler, the
// frame event (message 1024) and the reading event (message 1025).
#include "common/Clock.h"
#include "link/link.h"

#include <QCoreApplication>

namespace kront
{

using namespace frames;

QString VoltmeterLink::nowText() const
{
    return programClock().now().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

void VoltmeterLink::refreshControls()
{
    if (CurrentChannel == 1 || CurrentChannel == 2)
        view.refreshChannelControls(CurrentChannel);
}

void VoltmeterLink::ReceiveData(const QByteArray &chunk)
{
    handleOutcome(receiver.feed(chunk));
    // Frames that followed in the same chunk (readings less than a poll
    // apart) are handed on one by one, never dropped.
    while (receiver.hasRest())
        handleOutcome(receiver.takeRest());
}

void VoltmeterLink::handleOutcome(FrameReceiver::Outcome outcome)
{
    if (outcome == FrameReceiver::Outcome::NeedMore)
        return;
    const int status = receiver.RxStatus();
    QByteArray frame;
    if (outcome == FrameReceiver::Outcome::FrameFound) {
        frame = receiver.frame();
        copyToBuffer(FrameBuffer, frame);
    } else if (status == rxHeaderChecksum) {
        ShowLinkStatus(
            QStringLiteral("Ошибка связи: неверная контрольная сумма заголовка команды"));
    } else if (status == rxDataChecksum) {
        ShowLinkStatus(QStringLiteral("Ошибка связи: неверная контрольная сумма данных"));
    }
    QCoreApplication::postEvent(this, new LinkMessageEvent(kFrameMessage, status, frame));
}

bool VoltmeterLink::event(QEvent *e)
{
    if (e->type() == QEvent::Type(kFrameMessage)) {
        auto *m = static_cast<LinkMessageEvent *>(e);
        FrameEvent(m->rxStatus, m->frame);
        return true;
    }
    if (e->type() == QEvent::Type(kReadingMessage)) {
        ReadingEvent(static_cast<LinkMessageEvent *>(e)->frame);
        return true;
    }
    return QObject::event(e);
}

void VoltmeterLink::FrameEvent(int rxStatus, const QByteArray &frame)
{
    const QString when = nowText();
    switch (rxStatus) {
    case rxOk:
        ShowLinkStatus(SavedStatusText);
        if (ReceiveOn)
            QCoreApplication::postEvent(this, new LinkMessageEvent(kReadingMessage, rxOk, frame));
        break;
    case rxChunkTooLarge:
        ShowLinkStatus(
            QStringLiteral("Ошибка(%1): Принятые данные превысили размер входного буфера")
                .arg(when));
        break;
    case rxBufferFull:
        ShowLinkStatus(QStringLiteral("Ошибка(%1): Принятые данные превысили размер свободного "
                                      "пространства входного буфера")
                           .arg(when));
        break;
    case rxHeaderChecksum:
        ShowLinkStatus(
            QStringLiteral("Ошибка приема(%1): неверная контрольная сумма заголовка команды")
                .arg(when));
        break;
    case rxWrongAddr:
        ShowLinkStatus(
            QStringLiteral("Ошибка приема(%1): неверный адрес (ADDR) в заголовке команды")
                .arg(when));
        break;
    case rxWrongNum:
        ShowLinkStatus(
            QStringLiteral("Ошибка приема(%1): неверный номер сообщения (NUM) в заголовке команды")
                .arg(when));
        break;
    case rxFrameTooLarge:
        ShowLinkStatus(
            QStringLiteral("Ошибка приема(%1): получена команда, превышающая размер буфера")
                .arg(when));
        break;
    case rxDataChecksum:
        ShowLinkStatus(QStringLiteral("Ошибка приема(%1): неверная контрольная сумма "
                                      "информационной части команды")
                           .arg(when));
        break;
    case rxWrongType:
        ShowLinkStatus(QStringLiteral("Ошибка приема(%1): неверный код команды (TYPE) в "
                                      "информационной части команды")
                           .arg(when));
        break;
    default: break;
    }
    Q_EMIT frameEventHandled(rxStatus);
}

void VoltmeterLink::ReadingEvent(const QByteArray &frame)
{
    if (!readingHeaderValid(frame)) {
        ShowLinkStatus(QStringLiteral("Ошибка обмена(%1): в режиме приема данных получен "
                                      "неизвестный ответ от прибора.")
                           .arg(nowText()));
        return;
    }
    const ReadingFrame r = decodeReading(frame);
    if (r.warmup == '<') {
        MeterReady = false;
        MeterStateText = QStringLiteral("Измеритель ТАВЕР-7 не прогрет");
    } else if (r.warmup == '=') {
        MeterReady = true;
    } else if (r.warmup == '>') {
        MeterReady = false;
        MeterStateText = QStringLiteral("Измеритель ТАВЕР-7 перегрет");
    }
    if (!MeterReady) {
        ShowLinkStatus(MeterStateText);
        refreshControls();
        return;
    }
    ShowLinkStatus(SavedStatusText);
    MeterOutOfRange = false;
    MeterStateText.clear();
    // The voltmeter channel wired to BI1; a value other than 2 reads channel 1.
    const int channel = settings.MeterChannel == 2 ? 2 : 1;
    const quint8 flags = r.flags[channel];
    if (flags & kFlagAbove) {
        MeterOutOfRange = true;
        MeterStateText =
            QStringLiteral("Измеряемая вольтметром величина превысила допустимое значение");
    } else if (flags & kFlagBelow) {
        MeterOutOfRange = true;
        MeterStateText =
            QStringLiteral("Измеряемая вольтметром величина ниже допустимого значения");
    }
    if (MeterOutOfRange) {
        ShowLinkStatus(MeterStateText);
        refreshControls();
        return;
    }
    ShowLinkStatus(SavedStatusText);
    double value = 0;
    const ValueConversion conversion = convertValueText(r.valueText[channel], value);
    if (conversion == ValueConversion::Empty)
        return;
    if (conversion == ValueConversion::Invalid) {
        ShowLinkStatus(QStringLiteral("Ошибка преобразования измеренного значения!"));
        return;
    }
    if (readingSink)
        readingSink->ProcessReading(value);
    Q_EMIT readingAccepted(value);
}

} // namespace kront
