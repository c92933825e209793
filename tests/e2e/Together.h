#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

namespace kront::e2e
{

// kront-e2e --together SCENARIO...: the scenarios played at once by as many
// installations ("Установка 1", ...) sharing one fresh database of the tests'
// server. The reference thermocouples of the scenarios are registered once
// before they start (a lab's register is filled before its installations
// verify with it; the runs find them there); each installation is a child
// kront-e2e with its own home under `home`, started at the same moment. When
// both have ended, their output is shown and the shared database is checked
// (checkSharedStore). Exit code 0 when every run and the check passed, 1
// otherwise, 2 for scenarios that cannot be played together, 77 without the
// tests' server (KRONT_TEST_PG).
int playTogether(const QString &home, const QString &sim, const QStringList &scenarios,
                 QTextStream &out);

} // namespace kront::e2e
