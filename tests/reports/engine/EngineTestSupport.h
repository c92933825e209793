#pragma once

#include "reportengine/Report.h"

#include <QByteArray>
#include <QString>

namespace kront::test
{

// A template made of the given inner XML of <report>.
inline QByteArray reportXml(const QString &inner, const QString &reportAttributes = {})
{
    return (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<report ") +
            reportAttributes + QStringLiteral(">\n") + inner + QStringLiteral("\n</report>\n"))
        .toUtf8();
}

// A one-page template with the given bands.
inline QByteArray pageXml(const QString &bands, const QString &pageAttributes = {},
                          const QString &head = {})
{
    return reportXml(head + QStringLiteral("<page name=\"Page1\" ") + pageAttributes +
                     QStringLiteral(">\n") + bands + QStringLiteral("\n</page>"));
}

// The text of every sheet of the prepared report, sheets separated by "\f".
inline QString sheetTexts(const kront::report::Report &report)
{
    QString out;
    for (const auto &page : report.prepared().pages) {
        for (const auto &item : page.items)
            if (const auto *t = std::get_if<kront::report::PreparedText>(&item))
                out += t->text + u'\n';
        out += u'\f';
    }
    return out;
}

} // namespace kront::test
