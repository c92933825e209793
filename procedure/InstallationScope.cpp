#include "procedure/InstallationScope.h"

#include "db/Database.h"

#include <QStringList>

namespace kront::installation_scope
{

bool isOwn(const Database &db, const QString &installationOfVerification)
{
    return installationOfVerification.isEmpty() || installationOfVerification == db.installation();
}

std::optional<std::vector<int>> ownVerificationIDs(Database &db, const QString &filter)
{
    const auto rows = db.selectFields(tables::Poverki, {QStringLiteral("ID")}, filter);
    if (!rows)
        return std::nullopt;
    std::vector<int> ids;
    for (const QVariantList &row : *rows)
        ids.push_back(row.value(0).toInt());
    const auto owners = db.installationsOf(ids);
    if (!owners)
        return std::nullopt;
    std::vector<int> own;
    for (int id : ids) {
        const auto it = owners->find(id);
        if (it == owners->end() || isOwn(db, it->second))
            own.push_back(id);
    }
    return own;
}

QString restrictedTo(const QString &filter, const std::vector<int> &ids)
{
    if (ids.empty())
        return QStringLiteral("ID < 0");
    QStringList any;
    for (int id : ids)
        any << QStringLiteral("ID = %1").arg(id);
    const QString only = u'(' + any.join(QStringLiteral(" or ")) + u')';
    return filter.trimmed().isEmpty() ? only : u'(' + filter + QStringLiteral(") and ") + only;
}

} // namespace kront::installation_scope
