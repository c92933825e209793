#include "db/CsvExport.h"

#include <QDateTime>
#include <QLocale>

namespace kront
{

namespace
{

QString quotedIfNeeded(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString inner = text;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString shortestNumber(double v)
{
    QString s = QString::number(v, 'f', QLocale::FloatingPointShortest);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

} // namespace

QString csvField(const FieldDef &field, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (field.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
    case FieldType::SmallInt: return QString::number(value.toLongLong());
    case FieldType::Float: return shortestNumber(value.toDouble());
    case FieldType::Boolean: return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case FieldType::DateTime:
        return value.toDateTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case FieldType::Text:
    case FieldType::Memo: return quotedIfNeeded(value.toString());
    }
    return QString();
}

QByteArray tableCsv(const TableSchema &schema, const std::vector<QVariantMap> &rows)
{
    const QString eol = QStringLiteral("\r\n");
    QStringList header;
    for (int i = 0; i < schema.fieldCount(); ++i)
        header << schema.fieldName(i);
    QString text = header.join(u';') + eol;
    for (const QVariantMap &row : rows) {
        QStringList cells;
        for (int i = 0; i < schema.fieldCount(); ++i)
            cells << csvField(schema.fields[i], row.value(schema.fieldName(i)));
        text += cells.join(u';') + eol;
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

} // namespace kront
