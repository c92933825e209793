// kront-cli meter: the connection check of a voltmeter on a serial port, on
// the program's own link code.

#include "link/MeterCheck.h"
#include "tools/kront-cli/Commands.h"

namespace kront::cli
{

namespace
{

// Reads the value after an option; false (with a message) when it is missing
// or not a positive integer where one is wanted.
bool optionValue(const QStringList &args, int &i, QString &value, QTextStream &err)
{
    if (i + 1 >= args.size()) {
        err << "Не указано значение параметра " << args[i] << "\n";
        return false;
    }
    value = args[++i];
    return true;
}

bool positiveInt(const QString &text, int &value, const QString &option, QTextStream &err)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v <= 0) {
        err << "Недопустимое значение параметра " << option << ": " << text << "\n";
        return false;
    }
    value = v;
    return true;
}

int runMeter(const QStringList &args, QTextStream &out, QTextStream &err)
{
    MeterCheckOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString value;
        if (a == QLatin1String("--dot")) {
            options.dot = true;
        } else if (a == QLatin1String("--port")) {
            if (!optionValue(args, i, options.port, err))
                return 2;
        } else if (a == QLatin1String("--channel") || a == QLatin1String("--readings") ||
                   a == QLatin1String("--timeout")) {
            int *target = a == QLatin1String("--channel")    ? &options.channel
                          : a == QLatin1String("--readings") ? &options.readings
                                                             : &options.timeoutSeconds;
            if (!optionValue(args, i, value, err) || !positiveInt(value, *target, a, err))
                return 2;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out << "kront-cli meter --port ПОРТ [--channel 1|2] [--readings N] [--timeout С] "
                   "[--dot]\n";
            return 0;
        } else {
            err << "Неизвестный параметр: " << a << "\n";
            return 2;
        }
    }
    if (options.port.isEmpty()) {
        err << "Укажите порт: --port ПОРТ\n";
        return 2;
    }
    if (options.channel != 1 && options.channel != 2) {
        err << "Канал вольтметра должен быть 1 или 2\n";
        return 2;
    }
    return runMeterCheck(options, out, err);
}

} // namespace

KRONT_CLI_COMMAND("meter",
                  "meter --port ПОРТ [--channel 1|2] [--readings N] [--timeout С] [--dot]  "
                  "проверка связи с вольтметром",
                  runMeter);

} // namespace kront::cli
