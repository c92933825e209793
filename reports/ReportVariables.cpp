#include "reports/ReportVariables.h"

#include "common/text/StringFunctions.h"
#include "model/CodeTables.h"
#include "reports/DocumentTypes.h"
#include "reports/ProtocolData.h"
#include "reports/ProtocolVariables.h"

namespace kront
{

namespace
{

// Names compare in ASCII upper case; Cyrillic letters are left as they are.
QString asciiUpper(const QString &name)
{
    QString upper = name;
    for (QChar &c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return upper;
}

} // namespace

QString CellText(double cell, int digits)
{
    return IsPresent(cell) ? FloatToStrFixed(cell, digits) : QString();
}

QString SensorSizeText(double value)
{
    return value > 0 ? FloatToStr(value) : QString();
}

QString InstrumentName(const QString &nshLatinCode)
{
    return QStringLiteral("Преобразователь термоэлектрический ") + NSHFullName(nshLatinCode);
}

ReportVariables::ReportVariables(Database &database, const ProtocolState &protocolState,
                                 const DocumentState &documentState, RecordOf currentRecord)
    : db(database), protocol(protocolState), document(documentState),
      recordOf(std::move(currentRecord))
{
}

QVariant ReportVariables::frxReport1GetValue(const QString &name) const
{
    const QString upper = asciiUpper(name.trimmed());
    return document.DocPrintMode ? documentValue(upper) : protocolValue(upper);
}

QVariant ReportVariables::protocolValue(const QString &upper) const
{
    const int r1 = recordOf ? recordOf(QStringLiteral("frxUserDataSet1")) : 0;
    const int r2 = recordOf ? recordOf(QStringLiteral("frxUserDataSet2")) : 0;
    return ProtocolVariableValue(db, protocol, upper, r1, r2);
}

QVariant ReportVariables::documentValue(const QString &upper) const
{
    const TEmittedDoc &doc = document.EmittedDoc;
    const TSensOpts *sensor = document.current();
    static const TSensOpts none;
    const TSensOpts &s = sensor ? *sensor : none;
    if (upper == QLatin1String("POV_KIND"))
        return doc.PovKind;
    if (upper == QLatin1String("NAIM_SI"))
        return InstrumentName(s.NSHType);
    if (upper == QLatin1String("ZAV_NUM"))
        return s.SerialNum;
    if (upper == QLatin1String("GOD_V"))
        return s.ProdYear.isEmpty() ? QString() : QStringLiteral(", ") + s.ProdYear;
    if (upper == QLatin1String("NAIM_VLAD"))
        return s.Owner;
    if (upper == QLatin1String("CLASS"))
        return doc.Class;
    if (upper == QLatin1String("DOLG_RUK"))
        return doc.DolgRuk;
    if (upper == QLatin1String("DIAM"))
        return doc.Diameter;
    if (upper == QLatin1String("MASSA"))
        return doc.Massa;
    if (upper == QLatin1String("NAIM_POVERITEL"))
        return OrganNameForPrint(doc.MetrologyOrganName);
    if (upper == QLatin1String("DATE_SVID") || upper == QLatin1String("DATE_IZV"))
        return doc.DateDoc;
    return {};
}

QString OrganNameForPrint(const QString &stored)
{
    QString text = stored.trimmed();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\''))
        text = text.mid(1, text.size() - 2);
    // The settings keep the lines of the name joined with "|".
    QStringList lines = text.split(u'|');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

} // namespace kront
