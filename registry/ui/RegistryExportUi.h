#pragma once

class QWidget;

namespace kront
{

class Database;
class Dialogs;
class PanelSearch;
class ProgramSettings;

// Gives the search panel its "Выгрузка во ФГИС…": the verifications handed over are previewed
// in TFormRegistryExport, written and logged by the export, and the panel marks the
// verifications exported.
void connectRegistryExport(PanelSearch &panel, Database &db, Dialogs &dialogs,
                           const ProgramSettings &settings, QWidget *parent);

} // namespace kront
