// Kills a child process doing record operations with SIGKILL at random
// moments, again and again, and checks the tables after every kill: in the
// table files, and on the tests' database server.
#include "tests/durability/Ledger.h"
#include "tests/durability/Workload.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>

#include <csignal>
#include <cstdlib>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace kront::durability
{

namespace
{

int rounds(int byDefault)
{
    const int n = qEnvironmentVariableIntValue("KRONT_DURABILITY_ROUNDS");
    return n > 0 ? n : byDefault;
}

QByteArray readAll(int fd)
{
    QByteArray out;
    char buf[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

// Most kills fall after some tens of operations (each waits for the disk);
// one in five right at the start, in the resumption or the first operation.
int killDelayUs(std::mt19937 &rng)
{
    if (std::uniform_int_distribution<int>(0, 4)(rng) == 0)
        return std::uniform_int_distribution<int>(0, 5000)(rng);
    return std::uniform_int_distribution<int>(5000, 400000)(rng);
}

// Kills a child doing record operations in the current home `count` times
// at random moments and checks the home after each kill.
void killAgainAndAgain(Ledger &ledger, int count)
{
    std::mt19937 rng(20261210);
    QElapsedTimer timer;
    timer.start();
    int killed = 0;
    for (int round = 1; round <= count; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const unsigned seed = rng();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(fds[0]);
            runWorkload(round, seed, fds[1], 100000);
        }
        ::close(fds[1]);
        const int delay = killDelayUs(rng);
        ::usleep(useconds_t(delay));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        const QByteArray reported = readAll(fds[0]);
        ::close(fds[0]);
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            ++killed;
        else
            ADD_FAILURE() << "round " << round << ": the child ended by itself, status " << status;
        ledger.apply(reported);
        ledger.checkHome();
        ASSERT_TRUE(ledger.problems().isEmpty())
            << "round " << round << ", killed after " << delay << " us:\n"
            << ledger.problems().join(u'\n').toStdString();
    }
    EXPECT_GE(killed, count * 10 / 11);
    // The run must have done real work, or the kills proved nothing.
    EXPECT_GT(ledger.stepsCount(), count / 10);
    EXPECT_GT(ledger.finishedCount(), 0);
    EXPECT_GT(ledger.deletedCount(), 0);
    EXPECT_GT(ledger.resumedSteps(), 0);
    EXPECT_GT(ledger.resumptionsCount(), 0);
    std::printf("%d kills in %.1f s; %d operations reported, %d steps (%d after resuming), %d "
                "verifications finished, %d deleted, %d resumed through the unfinished list\n",
                killed, timer.elapsed() / 1000.0, ledger.operations(), ledger.stepsCount(),
                ledger.resumedSteps(), ledger.finishedCount(), ledger.deletedCount(),
                ledger.resumptionsCount());
}

} // namespace

TEST(Durability, RecordOperationsSurviveKillsAtRandomMoments)
{
    test::TempHome home;
    ASSERT_TRUE(prepareHome());
    Ledger ledger;
    killAgainAndAgain(ledger, rounds(220));
}

// The same workload on a home whose tables are on the tests' database
// server: only the program is killed, never the server, and every operation
// that returned is there afterwards.
TEST(DurabilityOnServer, RecordOperationsSurviveKillsAtRandomMoments)
{
    if (!test::serverTestsEnabled())
        GTEST_SKIP() << "no test server (KRONT_TEST_PG)";
    test::TempHome home(test::TempHome::Store::Server);
    ASSERT_TRUE(home.serverStore());
    ASSERT_TRUE(prepareHome());
    Ledger ledger(Ledger::Tables::Server);
    killAgainAndAgain(ledger, rounds(220));
}

} // namespace kront::durability
