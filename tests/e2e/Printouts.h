#pragma once

#include "E2eScenario.h"

#include <QString>

namespace kront
{
class Database;
class Dialogs;
class ProgramSettings;
} // namespace kront

namespace kront::e2e
{

// The operator presses "Свидетельство/извещение" on the scenario's finished
// verification, ticks every sensor and prints each document: a certificate
// for a fit thermocouple, a notice for an unfit one. False with the reason.
bool issueAllDocuments(const Scenario &sc, Database &db, ProgramSettings &settings,
                       Dialogs &dialogs, QString &error);

// Prints the protocol of the scenario's verification (each channel's) as
// PDF files in `folder` and returns their text as pdftotext reads it; empty
// with the reason in error when nothing was printed.
QString printProtocolText(const Scenario &sc, Database &db, Dialogs &dialogs, const QString &folder,
                          QString &error);

} // namespace kront::e2e
