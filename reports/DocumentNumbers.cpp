#include "reports/DocumentNumbers.h"

#include "db/Database.h"

#include <algorithm>

namespace kront
{

QString documentCounterName(DocumentKind kind)
{
    return kind == DocumentKind::Certificate ? QStringLiteral("SvidNextNum")
                                             : QStringLiteral("IzvNextNum");
}

std::optional<QString> newDocumentNumber(Database &db, const ProgramSettings &settings,
                                         DocumentKind kind)
{
    if (!db.store().isServer())
        return settings.proposedDocumentNumber(kind);
    const DocumentNumbering n = settings.numbering(kind);
    const auto number = db.takeDocumentNumber(documentCounterName(kind), n.nextNum);
    if (!number)
        return std::nullopt;
    // A digits count from a hand-edited file must not make a giant text.
    return QString::number(*number).rightJustified(std::clamp(n.digitsCount, 0, 32), u'0');
}

void documentNumberPrinted(Database &db, ProgramSettings &settings, DocumentKind kind, int number,
                           Dialogs &dialogs)
{
    // The settings move on as well: they show this installation the number
    // that follows, and a lab going back to the table files continues there.
    if (db.store().isServer())
        db.documentNumberUsed(documentCounterName(kind), number);
    settings.documentNumberUsed(kind, number, dialogs);
}

} // namespace kront
