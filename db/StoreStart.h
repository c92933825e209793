#pragma once

#include "db/TableStore.h"
#include "settings/StoreSettings.h"

#include <QString>
#include <memory>

namespace kront
{

class Dialogs;

// How an attempt to connect to the server went.
struct ServerReach {
    bool reached = false;
    QString reason; // the client library's text when not reached
};

// What a run does about its store, decided before the main window opens.
struct StoreStartPlan {
    enum class Action {
        TableFiles,           // the settings name the table files of the home
        Server,               // the server answered: the run works on it
        AskTableFilesInstead, // the server is away: ask whether to work on the table files
    };
    Action action = Action::TableFiles;
    // The question for AskTableFilesInstead; "Сервер: host:port/db" for the
    // main window's status bar with Server; empty with TableFiles.
    QString text;
};

// reach is looked at only when the settings name a server.
StoreStartPlan planStoreStart(const StoreSettings &settings, const ServerReach &reach);

// The client library's reason on one line (its texts run over several, with
// indented hints).
QString oneLineReason(const QString &reason);
// "Сервер базы данных host:port/db недоступен: reason", one line.
QString serverUnreachableLine(const StoreSettings &settings, const QString &reason);

// Connects to the server the settings name: whether it answered, and why not.
// The connected store is handed over in `connected` when given.
ServerReach reachServer(const StoreSettings &settings,
                        std::unique_ptr<TableStore> *connected = nullptr);

// The store of a run, chosen before its windows open.
struct StartedStore {
    std::unique_ptr<TableStore> store; // null: the operator chose to end the program
    QString serverStatus;              // "Сервер: host:port/db" when on the server
    bool tableFilesInstead = false;    // the server was away; the run uses the table files
};

// The store the settings name. A server is connected at once; when it does
// not answer, the operator is asked (one question naming the server and the
// reason) whether to work on the table files of the home this time: yes
// gives them (the settings stay as they are), no gives no store.
StartedStore startStore(const StoreSettings &settings, Dialogs &dialogs);

} // namespace kront
