#pragma once

#include "reportengine/Report.h"
#include "reports/DocumentTypes.h"
#include "reports/ProtocolData.h"
#include "reports/ReportVariables.h"

#include <QString>
#include <functional>

namespace kront
{

class Database;

// The report object of the program with the state its value callback reads:
// the protocol being printed and the document being issued. One instance
// serves one caller at a time (the previews are modal).
class ReportContext
{
public:
    explicit ReportContext(Database &db);
    ReportContext(const ReportContext &) = delete;
    ReportContext &operator=(const ReportContext &) = delete;

    Database &database() const { return db; }

    report::Report report;
    ProtocolState protocol;
    DocumentState document;

private:
    Database &db;
    ReportVariables variables;
};

// What happens to a report once it is set up: the window layer shows the
// template's dialog and the modal preview; the command line prepares it and
// writes a PDF. suggestedName: a file name for a saved PDF.
using ReportPresenter = std::function<void(report::Report &, const QString &suggestedName)>;

} // namespace kront
