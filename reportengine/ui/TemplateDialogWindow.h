#pragma once

#include "reportengine/Report.h"

#include <QDialog>
#include <vector>

class QWidget;

namespace kront::report
{

// The window of a template's dialog page, shown before the report is
// prepared. Each field opens with its variable's value; the accept button
// writes every field back into its variable, a cancel button or closing the
// window leaves the variables as they were.
class TemplateDialogWindow : public QDialog
{
    Q_OBJECT
public:
    TemplateDialogWindow(Report &report, const DialogPage &page, QWidget *parent = nullptr);

    // The editor of a field, found by the field's name or its variable.
    QWidget *fieldWidget(const QString &nameOrVariable) const;

    void accept() override;

private:
    struct Binding {
        const DialogField *field = nullptr;
        QWidget *widget = nullptr;
    };
    QWidget *makeEditor(const DialogField &field);
    void addButtons(const DialogPage &page);

    Report &report;
    std::vector<Binding> bindings;
};

} // namespace kront::report
