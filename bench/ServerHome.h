#pragma once

#include "bench/Harness.h"

#include <QString>

// The benchmark homes on a database server: each home copied (with the
// program's store copy) into a fresh database of the server, which the same
// benchmarks then measure through a Database over the server's tables.
namespace kront::bench
{

// Copies the home's tables into a new database made through the admin
// connection (libpq keywords of a role that may create databases) and gives
// the home its server Database; false with the reason. The seconds the copy
// took go to the summary's notes.
bool copyHomeToServer(HomeUnderTest &home, const QString &adminKeywords, QString &error);

// Drops the databases made by copyHomeToServer.
void dropServerDatabases(const QString &adminKeywords);

} // namespace kront::bench
