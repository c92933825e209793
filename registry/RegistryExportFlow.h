#pragma once

#include "registry/RegistryPreview.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace kront
{

class Dialogs;

// "Выгрузка во ФГИС…" of the results search, step by step: what the verifications give is
// previewed, the operator names the file, is asked before results exported already are
// written again and before a file is replaced, and the files written are reported.
class RegistryExportFlow
{
public:
    // The results and refusals of the verifications; nullopt after the message.
    using Gather =
        std::function<std::optional<RegistryPreview>(const std::vector<int> &poverkaIDs)>;
    // Writes what was gathered last into `file` (split into more files when large) and logs it;
    // the files written, nullopt after the message.
    using Write = std::function<std::optional<QStringList>(const QString &file)>;
    // Shows the preview with the file offered; the file chosen, nullopt when cancelled.
    using Present =
        std::function<std::optional<QString>(const RegistryPreview &preview, const QString &file)>;

    RegistryExportFlow(Dialogs &dialogs, Gather gather, Write write, Present present);

    // True when files were written.
    bool run(const std::vector<int> &poverkaIDs, const QString &offeredFile);

private:
    Dialogs &dialogs;
    Gather gather;
    Write write;
    Present present;
};

} // namespace kront
