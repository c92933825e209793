#pragma once

#include "reportengine/Report.h"
#include "reportengine/ReportModel.h"

#include <QString>

// How the fields of a dialog page meet the template variables: a field shows
// its variable's value when the dialog opens, and accepting the dialog writes
// texts back as quoted text expressions and check boxes as True or False.
namespace kront::report
{

QString fieldText(const Report &report, const DialogField &field);
bool fieldChecked(const Report &report, const DialogField &field);
void writeFieldText(Report &report, const DialogField &field, const QString &text);
void writeFieldChecked(Report &report, const DialogField &field, bool checked);
bool fieldVisible(const Report &report, const DialogField &field);

// The dialog pages shown before preparation, in template order.
std::vector<DialogPage *> visibleDialogPages(const Report &report);

} // namespace kront::report
