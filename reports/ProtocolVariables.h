#pragma once

#include <QString>
#include <QVariant>

namespace kront
{

class Database;
struct ProtocolState;

// The protocol-mode part of the report callback. `upper` is the name in
// upper case; r1 and r2 the current records of frxUserDataSet1 (the point)
// and frxUserDataSet2 (0 before, 1 after annealing). Invalid QVariant for a
// name that is not a protocol name of the verification's method.
QVariant ProtocolVariableValue(Database &db, const ProtocolState &state, const QString &upper,
                               int r1, int r2);

} // namespace kront
