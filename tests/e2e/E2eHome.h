#pragma once

#include <QString>

namespace kront::e2e
{

// Makes the folder a run's home (Data, Config, Protocol, Help) and the
// program's home. An existing folder is emptied first (with keep kept) only
// when an earlier run made it; false with the reason otherwise.
bool makeHome(const QString &path, bool keep, QString &error);

} // namespace kront::e2e
