#pragma once

#include "db/TableStore.h"

#include <QTextStream>
#include <memory>

namespace kront::cli
{

// The exit status of a command whose store, a server, cannot be reached.
constexpr int kServerUnreachable = 3;

// `--embedded`: the commands use the table files of the home whatever store
// its settings name.
void setTableFilesOnly(bool only);
bool tableFilesOnly();

// The store a command works on: the table files of the home, or the server
// its settings name, connected. Null when the server cannot be reached, after
// the one line "Сервер базы данных host:port/db недоступен: reason" on err;
// the command then ends with kServerUnreachable.
std::unique_ptr<TableStore> commandStore(QTextStream &err);

} // namespace kront::cli
