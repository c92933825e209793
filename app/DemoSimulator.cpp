#include "app/DemoSimulator.h"

#include "common/AppHome.h"
#include "common/DemoHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace kront
{

DemoSimulator::~DemoSimulator()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000))
        process.kill();
}

bool DemoSimulator::start(const QString &home, QString &error)
{
    const QString link = DemoHome::simulatorLink(home);
    if (QFileInfo::exists(link)) // a link to a live pseudo-terminal
        return true;
    const QString program =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kront-taver-sim"));
    const QString scenario = AppHome::defaultsDir() + QStringLiteral("/scenarios/demo.scenario");
    process.setStandardOutputFile(QDir(home).filePath(QStringLiteral("taver.out")));
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, {QStringLiteral("--link"), link, QStringLiteral("--log"),
                            QDir(home).filePath(QStringLiteral("taver.log")),
                            QStringLiteral("--scenario"), scenario});
    if (!process.waitForStarted(5000)) {
        error = QStringLiteral("Не удалось запустить имитатор установки %1: %2")
                    .arg(QDir::toNativeSeparators(program), process.errorString());
        return false;
    }
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(link) && waited.elapsed() < 5000 &&
           process.state() == QProcess::Running)
        QThread::msleep(50);
    if (!QFileInfo::exists(link)) {
        error = QStringLiteral("Имитатор установки не создал порт %1")
                    .arg(QDir::toNativeSeparators(link));
        return false;
    }
    return true;
}

} // namespace kront
