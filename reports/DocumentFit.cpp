#include "reports/DocumentFit.h"

#include "common/DecimalRounding.h"
#include "common/text/StringFunctions.h"
#include "db/TableSchema.h"

namespace kront
{

namespace
{

enum class Kind {
    Text,
    QuotedText, // the organisation name, kept in single quotes
    DocNumber,
    Measure, // a diameter or mass in general notation
};

struct DocumentText {
    const char *column;
    const char *caption;
    QString *value;
    Kind kind;
    bool printed;
};

// A number without the padding zeros it has no room for; empty when its
// digits alone are too many.
QString shortNumber(QString number, int width)
{
    while (number.size() > width && number.startsWith(u'0'))
        number.remove(0, 1);
    return number.size() <= width ? number : QString();
}

// The value with as many decimals as fit, rounded; empty when not even its
// whole part fits or nothing but 0 would be left of it.
QString shortMeasure(const QString &text, int width)
{
    double value = 0;
    if (!TryStrToFloat(text, value))
        return QString();
    for (int decimals = 15; decimals >= 0; --decimals) {
        const double rounded = rnd_n(value, decimals);
        const QString shorter = FloatToStr(rounded);
        if (shorter.size() <= width)
            return rounded != 0 ? shorter : QString();
    }
    return QString();
}

QString shortened(Kind kind, const QString &text, int width)
{
    switch (kind) {
    case Kind::QuotedText: return u'\'' + text.mid(1, width - 2) + u'\'';
    case Kind::DocNumber: return shortNumber(text, width);
    case Kind::Measure: return shortMeasure(text, width);
    default: return text.left(width);
    }
}

QString shown(Kind kind, const QString &text)
{
    return kind == Kind::QuotedText ? text.mid(1, text.size() - 2) : text;
}

} // namespace

int DocumentsColumnWidth(const QString &column)
{
    const int index = tables::Documents.fieldIndex(column);
    return index >= 0 ? tables::Documents.fields[size_t(index)].size : 0;
}

QStringList FitNewDocument(TEmittedDoc &d, bool notice)
{
    // A notice prints neither diameter nor mass; its record keeps them all the same.
    const DocumentText texts[] = {
        {"DocNum", notice ? "Номер извещения" : "Номер свидетельства",
         notice ? &d.IzvNum : &d.SvidNum, Kind::DocNumber, true},
        {"MetrologyOrganName", "Наименование органа метрологической службы", &d.MetrologyOrganName,
         Kind::QuotedText, true},
        {"DolgRuk", "Должность руководителя подразделения", &d.DolgRuk, Kind::Text, true},
        {"NameRuk", "Инициалы, фамилия руководителя подразделения", &d.NameRuk, Kind::Text, true},
        {"NamePov", "Инициалы, фамилия поверителя", &d.NamePov, Kind::Text, true},
        {"Diameter", "Диаметр", &d.Diameter, Kind::Measure, !notice},
        {"Massa", "Масса", &d.Massa, Kind::Measure, !notice},
    };
    QStringList changes;
    for (const DocumentText &t : texts) {
        const int width = DocumentsColumnWidth(QLatin1String(t.column));
        if (width <= 0 || t.value->size() <= width)
            continue;
        const QString before = *t.value;
        *t.value = shortened(t.kind, before, width);
        if (t.printed)
            changes << QStringLiteral("%1 (не более %2 зн.): '%3' → '%4'")
                           .arg(QString::fromUtf8(t.caption))
                           .arg(width)
                           .arg(shown(t.kind, before), shown(t.kind, *t.value));
    }
    return changes;
}

QString FittedDocumentWarning(const QStringList &changes)
{
    return QStringLiteral("Не все данные документа умещаются в базе данных выданных документов. "
                          "Документ будет напечатан и записан с сокращенными значениями:\n") +
           changes.join(u'\n');
}

} // namespace kront
