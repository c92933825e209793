#include "HeadlessConsole.h"

#include "SimEngine.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <unistd.h>

namespace kront::sim
{

HeadlessConsole::HeadlessConsole(SimEngine &simulation, QObject *parent)
    : QObject(parent), engine(simulation),
      notifier(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this))
{
    connect(notifier, &QSocketNotifier::activated, this, &HeadlessConsole::readInput);
}

void HeadlessConsole::readInput()
{
    char buf[1024];
    const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
    if (n <= 0) {
        notifier->setEnabled(false); // end of input: keep simulating
        return;
    }
    pending.append(buf, int(n));
    int nl;
    while ((nl = int(pending.indexOf('\n'))) >= 0) {
        const QString line = QString::fromUtf8(pending.left(nl));
        pending.remove(0, nl + 1);
        const QString reply = engine.command(line);
        if (!reply.isEmpty()) {
            std::fputs(reply.toUtf8().constData(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        if (engine.quitRequested()) {
            QCoreApplication::quit();
            return;
        }
    }
}

} // namespace kront::sim
