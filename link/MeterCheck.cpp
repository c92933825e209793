#include "link/MeterCheck.h"

#include "common/UnattendedDialogs.h"
#include "link/QtSerialPortDevice.h"
#include "link/link.h"

#include <QEventLoop>
#include <QLocale>
#include <QTimer>

namespace kront
{

namespace
{

// Status texts and message boxes of the link, written as lines to stderr.
class TextReporter : public LinkView, public ReadingSink, public UnattendedDialogs
{
public:
    TextReporter(QTextStream &output, QTextStream &errors, bool dots)
        : out(output), err(errors), dot(dots)
    {
    }

    void showChannelStatus(int, const QString &text) override
    {
        if (text.isEmpty() || text == last)
            return;
        last = text;
        err << text << Qt::endl;
    }
    void refreshChannelControls(int) override {}
    void ProcessReading(double v) override
    {
        out << meterReadingText(v, dot) << Qt::endl;
        ++count;
        if (count >= wanted && loop)
            loop->quit();
    }
    void note(Icon, const QString &text) override { err << text << Qt::endl; }

    int count = 0;
    int wanted = 1;
    QEventLoop *loop = nullptr;

private:
    QTextStream &out;
    QTextStream &err;
    bool dot;
    QString last;
};

} // namespace

QString meterReadingText(double value, bool dot)
{
    QString text = QString::number(value, 'g', QLocale::FloatingPointShortest);
    if (!dot)
        text.replace(u'.', u',');
    return text;
}

int runMeterCheck(const MeterCheckOptions &options, QTextStream &out, QTextStream &err)
{
    QtSerialPortDevice port;
    TextReporter reporter(out, err, options.dot);
    reporter.wanted = qMax(1, options.readings);
    VoltmeterLink link(port, reporter);
    link.setReadingSink(&reporter);
    link.setDialogs(&reporter);
    link.CurrentChannel = 1; // the status texts need a channel to go to
    LinkSettings settings;
    settings.Port = options.port;
    settings.MeterChannel = options.channel;
    link.setSettings(settings);

    if (!link.EstablishLink()) {
        link.CloseLink();
        return 1;
    }
    if (!link.StartReceive()) {
        link.CloseLink();
        return 1;
    }
    QEventLoop loop;
    reporter.loop = &loop;
    QTimer::singleShot(qMax(1, options.timeoutSeconds) * 1000, &loop, &QEventLoop::quit);
    if (reporter.count < reporter.wanted)
        loop.exec();
    reporter.loop = nullptr;
    const bool complete = reporter.count >= reporter.wanted;
    if (!complete)
        err << QStringLiteral("%1 of %2 readings arrived").arg(reporter.count).arg(reporter.wanted)
            << Qt::endl;
    link.StopReceive();
    link.Disconnect();
    link.ClosePort();
    return complete ? 0 : 1;
}

} // namespace kront
