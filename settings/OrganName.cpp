#include "settings/OrganName.h"

namespace kront
{

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

} // namespace kront
