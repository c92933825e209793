#include "app/settings/OrganName.h"

#include "db/TableSchema.h"

namespace kront
{

namespace
{
int documentsColumnSize(QStringView column)
{
    return tables::Documents.fields[size_t(tables::Documents.fieldIndex(column))].size;
}
} // namespace

QStringList organNameLines(const QString &stored)
{
    QStringList lines = stored.split(u'|');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString organNameText(const QStringList &lines)
{
    return lines.join(u'|');
}

int organNameMaxLength()
{
    return documentsColumnSize(u"MetrologyOrganName") - 2; // the quotes
}

int rukDolgnostMaxLength()
{
    return documentsColumnSize(u"DolgRuk");
}

} // namespace kront
