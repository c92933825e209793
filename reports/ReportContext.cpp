#include "reports/ReportContext.h"

namespace kront
{

ReportContext::ReportContext(Database &database)
    : db(database), variables(database, protocol, document, [this](const QString &dataSet) {
          return report.currentRecord(dataSet);
      })
{
    report.setValueCallback(
        [this](const QString &name) { return variables.frxReport1GetValue(name); });
}

} // namespace kront
