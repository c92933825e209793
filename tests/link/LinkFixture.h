#pragma once

#include "FakeSerialPort.h"
#include "link/link.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace kront::test
{

using namespace kront::frames;

struct RecordingView : LinkView {
    void showChannelStatus(int channel, const QString &text) override
    {
        statuses.append(QString::number(channel) + u':' + text);
    }
    void refreshChannelControls(int channel) override { refreshed.push_back(channel); }
    QString last() const { return statuses.isEmpty() ? QString() : statuses.last().mid(2); }
    QStringList statuses;
    std::vector<int> refreshed;
};

struct RecordingProgress : LinkProgress {
    void start(const QString &title, const QString &label, int maximum) override
    {
        calls << QStringLiteral("start %1|%2|%3").arg(title, label).arg(maximum);
    }
    void setLabel(const QString &label) override { calls << QStringLiteral("label ") + label; }
    void advance() override { calls << QStringLiteral("advance"); }
    void finish() override { calls << QStringLiteral("finish"); }
    QStringList calls;
};

struct RecordingCursor : BusyCursor {
    void begin() override { ++depth, ++begins; }
    void end() override { --depth; }
    int depth = 0, begins = 0;
};

struct RecordingSink : ReadingSink {
    void ProcessReading(double v) override { values.push_back(v); }
    std::vector<double> values;
};

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

class LinkSession : public ::testing::Test
{
protected:
    LinkSession() : link(port, view)
    {
        link.setProgress(&progress);
        link.setBusyCursor(&cursor);
        link.setDialogs(&dialogs);
        link.setReadingSink(&sink);
        link.setWaitFunction([this](int ms) { waits.push_back(ms); });
        LinkSettings s;
        s.Port = QStringLiteral("/dev/pts/7");
        link.setSettings(s);
        link.CurrentChannel = 1;
        link.SavedStatusText = QStringLiteral("saved");
    }

    // Opens, connects and sets the mode; optionally starts transmission.
    void bringUp(bool receiving)
    {
        port.queueAnswer(buildAnswer(0));
        port.queueAnswer(buildAnswer(0));
        ASSERT_TRUE(link.EstablishLink());
        if (receiving) {
            port.queueAnswer(buildAnswer(0));
            ASSERT_TRUE(link.StartReceive());
        }
        port.writes.clear();
        view.statuses.clear();
    }

    void deliverAndProcess(const QByteArray &chunk)
    {
        port.deliverChunk(chunk);
        QCoreApplication::sendPostedEvents(&link); // frame event (1024)
        QCoreApplication::sendPostedEvents(&link); // reading event (1025)
    }

    test::FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7))};
    FakeSerialPort port;
    RecordingView view;
    RecordingProgress progress;
    RecordingCursor cursor;
    RecordingSink sink;
    test::ScriptedDialogs dialogs;
    std::vector<int> waits;
    VoltmeterLink link;
};

} // namespace kront::test
