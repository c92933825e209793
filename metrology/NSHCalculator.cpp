#include "metrology/NSHCalculator.h"

#include "common/DecimalRounding.h"
#include "metrology/NSHCoefficients.h"
#include "metrology/NSHPolynomsTP.h"

#include <QLocale>
#include <cmath>
#include <optional>

namespace kront
{

namespace
{

const char *const kTypeLetters[kNSHCharacteristicCount] = {"R", "S",   "B",   "J",   "T", "E", "K",
                                                           "N", "A-1", "A-2", "A-3", "L", "M"};

const QString kDotOption = QStringLiteral("--dot");

// Arguments without the "--dot" option; `dot` tells whether it was given.
QStringList withoutDotOption(const QStringList &args, bool &dot)
{
    QStringList rest;
    dot = false;
    for (const QString &a : args) {
        if (a == kDotOption)
            dot = true;
        else
            rest << a;
    }
    return rest;
}

// A number typed with a decimal comma or point (Cyrillic Е accepted as the exponent).
std::optional<double> parseNumber(QString text)
{
    text = text.trimmed();
    text.replace(u',', u'.').replace(QChar(0x0415), u'E').replace(QChar(0x0435), u'e');
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString formatNumber(double v, bool dot)
{
    QString text = QString::number(rnd_n(v, 6), 'f', 6);
    if (!dot)
        text.replace(u'.', u',');
    return text;
}

bool readType(const QString &arg, int &index, QTextStream &err)
{
    index = CharacteristicIndexFromArgument(arg);
    if (index < 0) {
        err << "Неизвестный тип НСХ: " << arg
            << ". Укажите индекс 0..12 или букву R, S, B, J, T, E, K, N, A-1, A-2, A-3, L, M.\n";
        return false;
    }
    return true;
}

bool readTemperature(const QString &arg, double &t, QTextStream &err)
{
    const std::optional<double> v = parseNumber(arg);
    if (!v) {
        err << "Недопустимое значение температуры: " << arg << "\n";
        return false;
    }
    t = *v;
    return true;
}

} // namespace

int CharacteristicIndexFromArgument(const QString &text)
{
    const QString t = text.trimmed();
    bool isNumber = false;
    const int n = t.toInt(&isNumber);
    if (isNumber)
        return (n >= 0 && n < kNSHCharacteristicCount) ? n : -1;
    for (int i = 0; i < kNSHCharacteristicCount; ++i)
        if (t.compare(QLatin1String(kTypeLetters[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int NshCalculatorCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool dot = false;
    const QStringList rest = withoutDotOption(args, dot);
    if (rest.size() < 2) {
        err << "Использование: kront-cli nsh ТИП T [T ...]\n";
        return 2;
    }
    int index = -1;
    if (!readType(rest[0], index, err))
        return 2;
    std::vector<double> temperatures;
    for (qsizetype i = 1; i < rest.size(); ++i) {
        double t = 0;
        if (!readTemperature(rest[i], t, err))
            return 2;
        temperatures.push_back(t);
    }
    for (double t : temperatures)
        out << formatNumber(static_cast<double>(NSHEmf(index, t)), dot) << "\n";
    return 0;
}

int ToleranceCalculatorCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    bool dot = false;
    const QStringList rest = withoutDotOption(args, dot);
    if (rest.size() != 3) {
        err << "Использование: kront-cli tolerance ТИП КЛАСС T\n";
        return 2;
    }
    int index = -1;
    if (!readType(rest[0], index, err))
        return 2;
    bool ok = false;
    const int classNumber = rest[1].trimmed().toInt(&ok);
    if (!ok || classNumber < 1 || classNumber > 3) {
        err << "Недопустимый класс допуска: " << rest[1] << ". Укажите 1, 2 или 3.\n";
        return 2;
    }
    double t = 0;
    if (!readTemperature(rest[2], t, err))
        return 2;
    out << formatNumber(NSHTolerance(index, classNumber, t), dot) << "\n"
        << formatNumber(NSHToleranceEmf(index, classNumber, t), dot) << "\n";
    return 0;
}

QString NSHCalculatorHelp()
{
    return QStringLiteral(
        "Калькулятор НСХ термопар по ГОСТ Р 8.585-2001:\n"
        "  kront-cli nsh ТИП T [T ...]\n"
        "      термо-ЭДС по НСХ, мВ, при каждой температуре T, °C (по одной строке)\n"
        "  kront-cli tolerance ТИП КЛАСС T\n"
        "      две строки: пределы допускаемого отклонения от НСХ для класса допуска\n"
        "      КЛАСС (1, 2, 3) при температуре T в °C, затем в мВ\n"
        "  ТИП: индекс 0..12 или обозначение R, S, B, J, T, E, K, N, A-1, A-2, A-3, L, M\n"
        "  Числа выводятся с 6 знаками после запятой; --dot (в любом месте строки)\n"
        "  выводит десятичную точку вместо запятой. Температура вне диапазона НСХ\n"
        "  даёт -300,000000; вне диапазона класса допуска отклонение равно 0.\n"
        "  Температуру можно вводить с запятой или точкой.\n");
}

} // namespace kront
