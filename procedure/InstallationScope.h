#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace kront
{

class Database;

// What of the shared verifications belongs to this installation: those it
// started and those no installation is named for (started before
// installations were marked, or by an older program).
namespace installation_scope
{

// Whether the verification's installation (empty: none named) is this one's.
bool isOwn(const Database &db, const QString &installationOfVerification);

// The IDs of the Poverki rows passing `filter` that are this installation's,
// in ID order. nullopt when a table could not be read (message shown).
std::optional<std::vector<int>> ownVerificationIDs(Database &db, const QString &filter);

// `filter` narrowed to these verifications (a filter that passes no row for
// an empty list).
QString restrictedTo(const QString &filter, const std::vector<int> &ids);

} // namespace installation_scope

} // namespace kront
