#include "reports/ReportContext.h"

namespace kront
{

ReportContext::ReportContext(Database &db)
    : db(db), variables(db, protocol, document,
                        [this](const QString &dataSet) { return report.currentRecord(dataSet); })
{
    report.setValueCallback(
        [this](const QString &name) { return variables.frxReport1GetValue(name); });
}

} // namespace kront
