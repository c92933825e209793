#include "reportengine/DialogBinding.h"

namespace kront::report
{

QString fieldText(const Report &report, const DialogField &field)
{
    return displayText(report.variableValue(field.variable));
}

bool fieldChecked(const Report &report, const DialogField &field)
{
    return truthValue(report.variableValue(field.variable));
}

void writeFieldText(Report &report, const DialogField &field, const QString &text)
{
    if (!field.variable.isEmpty())
        report.setVariable(field.variable, quoted(text));
}

void writeFieldChecked(Report &report, const DialogField &field, bool checked)
{
    if (!field.variable.isEmpty())
        report.setVariable(field.variable, checked);
}

bool fieldVisible(const Report &report, const DialogField &field)
{
    return !field.visibleIf || truthValue(field.visibleIf->evaluate(
                                   [&](const QString &n) { return report.resolve(n); }));
}

std::vector<DialogPage *> visibleDialogPages(const Report &report)
{
    std::vector<DialogPage *> pages = report.dialogPages();
    std::erase_if(pages, [](const DialogPage *d) { return !d->isVisible(); });
    return pages;
}

} // namespace kront::report
