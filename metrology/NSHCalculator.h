#pragma once

#include <QStringList>
#include <QTextStream>

namespace kront
{

// The NSH and tolerance calculator of the command line:
//   nsh TYPE T [T ...]       EMF of the characteristic in mV at each temperature
//   tolerance TYPE CLASS T   permitted deviation in °C, then in mV
// TYPE is the characteristic index 0..12 or its letter (R, S, B, J, T, E, K,
// N, A-1, A-2, A-3, L, M). Numbers are printed with 6 decimals and a decimal
// comma, or a point when "--dot" is among the arguments. Each returns the
// process exit code: 0 done, 2 a wrong argument (explained on err).
int NshCalculatorCommand(const QStringList &args, QTextStream &out, QTextStream &err);
int ToleranceCalculatorCommand(const QStringList &args, QTextStream &out, QTextStream &err);

// Russian help of the two commands, for "--help".
QString NSHCalculatorHelp();

// Characteristic index of a TYPE argument (index or letter, any case); -1 when unknown.
int CharacteristicIndexFromArgument(const QString &text);

} // namespace kront
