#pragma once

#include "settings/StoreSettings.h"

#include <QString>

#include <optional>

namespace kront::e2e
{

// The server database a run is told to work on: an address
// postgresql://USER@HOST:PORT/DATABASE or the client library's connection
// keywords with dbname (host=... port=... user=... dbname=...). nullopt with
// the reason when the text names no database.
std::optional<StoreSettings> storeFromOption(const QString &text, QString &error);

// Names the store in the [Store] section of the harness's own settings file
// and of kront.INI (kront-cli's), before the windows open it; false with the
// file that could not be written.
bool writeStoreSettings(const StoreSettings &store, QString &error);
// The same for the installation's name alone (the tables stay where they are).
bool writeInstallationName(const QString &name, QString &error);

} // namespace kront::e2e
