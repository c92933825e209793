#include "LinkFixture.h"
#include "common/TrainingMode.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace kront::test
{

namespace
{

// A pseudo-terminal of our own: the kind of port the simulator offers.
struct Pty {
    Pty() : fd(posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (fd >= 0 && grantpt(fd) == 0 && unlockpt(fd) == 0)
            path = QString::fromLocal8Bit(ptsname(fd));
    }
    ~Pty()
    {
        if (fd >= 0)
            ::close(fd);
    }
    int fd;
    QString path;
};

class TrainingPort : public LinkSession
{
protected:
    ~TrainingPort() override { TrainingMode::stop(); }
    void usePort(const QString &name)
    {
        LinkSettings s;
        s.Port = name;
        link.setSettings(s);
    }
};

} // namespace

// In the training mode only the simulator's pseudo-terminal is opened; a
// real port is refused, with the reason, before anything is sent to it.
TEST_F(TrainingPort, OnlyThePseudoTerminalIsOpenedInTheMode)
{
    Pty pty;
    ASSERT_FALSE(pty.path.isEmpty());
    struct Case {
        bool training;
        QString port;
        bool opens;
    } cases[] = {
        {true, QStringLiteral("/dev/ttyS0"), false},
        {true, QStringLiteral("ttyUSB0"), false},
        {true, QStringLiteral("/nonexistent/taver"), false},
        {true, pty.path, true},
        {false, QStringLiteral("/dev/ttyS0"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.port.toStdString() + (c.training ? " training" : ""));
        TrainingMode::start(c.training ? 30 : 0);
        usePort(c.port);
        port.openCount = 0;
        dialogs.clear();
        EXPECT_EQ(link.OpenPort(), c.opens);
        EXPECT_EQ(port.openCount, c.opens ? 1 : 0);
        link.ClosePort();
        if (!c.opens) {
            EXPECT_FALSE(link.EstablishLink());
            ASSERT_EQ(dialogs.texts().size(), 1);
            EXPECT_TRUE(dialogs.texts()[0].startsWith(
                QStringLiteral("В учебном режиме программа работает только с имитатором")));
            EXPECT_TRUE(dialogs.texts()[0].contains(c.port.section(u'/', -1)));
            EXPECT_TRUE(port.writes.isEmpty());
        }
    }
}

} // namespace kront::test
