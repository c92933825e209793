#include "common/TrainingMode.h"

#include <QFileInfo>
#include <memory>

namespace kront
{

namespace
{

double factorInUse = 0;
std::unique_ptr<ScaledClock> &trainingClock()
{
    static std::unique_ptr<ScaledClock> clock;
    return clock;
}

} // namespace

bool TrainingMode::takeOption(QStringList &args, QString *error)
{
    double factor = 0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a != u"--training" && !a.startsWith(u"--training="))
            continue;
        factor = kDefaultFactor;
        if (a.contains(u'=')) {
            bool ok = false;
            factor = a.section(u'=', 1).replace(u',', u'.').toDouble(&ok);
            if (!ok || factor < 1) {
                if (error)
                    *error = QStringLiteral("Ускорение учебного режима должно быть числом не "
                                            "меньше 1: ") +
                             a;
                return false;
            }
        }
        args.removeAt(i--);
    }
    start(factor);
    return true;
}

void TrainingMode::start(double factor)
{
    factorInUse = factor > 0 ? factor : 0;
    setProgramClock(nullptr);
    trainingClock().reset(factorInUse > 0 ? new ScaledClock(factorInUse) : nullptr);
    setProgramClock(trainingClock().get());
}

bool TrainingMode::active()
{
    return factorInUse > 0;
}

double TrainingMode::clockFactor()
{
    return factorInUse;
}

QString TrainingMode::mark()
{
    return QStringLiteral("УЧЕБНЫЙ РЕЖИМ");
}

QString TrainingMode::markedTitle(const QString &title)
{
    if (!active() || title.contains(mark()))
        return title;
    return title.isEmpty() ? mark() : title + QStringLiteral(" - ") + mark();
}

bool TrainingMode::portAllowed(const QString &device)
{
    if (!active())
        return true;
    const QString real = QFileInfo(device).canonicalFilePath();
    return real.startsWith(QStringLiteral("/dev/pts/"));
}

QString TrainingMode::refusedPortText(const QString &device)
{
    return QStringLiteral("В учебном режиме программа работает только с имитатором установки: "
                          "порт %1 не открыт. Запустите программу без --training, чтобы "
                          "работать с настоящим прибором.")
        .arg(device);
}

ScaledClock::ScaledClock(double speedUp) : factor(speedUp), start(QDateTime::currentDateTime())
{
    wall.start();
}

QDateTime ScaledClock::now() const
{
    return start.addMSecs(qint64(double(wall.elapsed()) * factor));
}

} // namespace kront
