#pragma once

#include <QString>
#include <QVariant>
#include <functional>

namespace kront
{

class Database;
struct DocumentState;
struct ProtocolState;

// The value callback of the report templates (frxReport1GetValue): answers
// each variable name a template uses, case-insensitively. In document mode
// (DocumentState::DocPrintMode) only the twelve document names; otherwise
// the protocol names of the verification's method. A name it does not know
// is left unanswered (an invalid QVariant), so the template's own variable
// of that name is used. Holds no state of its own between calls.
class ReportVariables
{
public:
    // recordOf: the current record number of a user data set ("frxUserDataSet1").
    using RecordOf = std::function<int(const QString &dataSet)>;

    ReportVariables(Database &db, const ProtocolState &protocol, const DocumentState &document,
                    RecordOf recordOf);

    QVariant frxReport1GetValue(const QString &name) const;

private:
    QVariant documentValue(const QString &upper) const;
    QVariant protocolValue(const QString &upper) const;

    Database &db;
    const ProtocolState &protocol;
    const DocumentState &document;
    RecordOf recordOf;
};

// The number formats of the report variables (decimal comma): a present cell
// (above -299) in fixed notation with `digits` decimals, else empty.
QString CellText(double cell, int digits);

// A sensor's diameter or mass as printed: general notation, empty when it
// was not given (the sensor tables hold 0 then).
QString SensorSizeText(double value);

} // namespace kront

namespace kront
{

// "Преобразователь термоэлектрический " + the full NSH name of a Latin code.
QString InstrumentName(const QString &nshLatinCode);

// The organisation name as printed: the enclosing single quotes of the
// stored text removed, its "|"-separated lines on lines of their own.
QString OrganNameForPrint(const QString &stored);

} // namespace kront
