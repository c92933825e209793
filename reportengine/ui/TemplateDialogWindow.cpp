#include "reportengine/ui/TemplateDialogWindow.h"

#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"
#include "reportengine/DialogBinding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kront::report
{

TemplateDialogWindow::TemplateDialogWindow(Report &r, const DialogPage &page, QWidget *parent)
    : QDialog(parent), report(r)
{
    setWindowTitle(page.caption.isEmpty() ? kProgramTitle : page.caption);
    setObjectName(page.name());
    setHelpTopic(this, 17);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addLayout(form);
    for (const DialogField &field : page.fields) {
        if (!fieldVisible(report, field))
            continue;
        if (field.kind == DialogField::Kind::Label) {
            auto *label = new QLabel(field.label, this);
            label->setWordWrap(true);
            form->addRow(label);
            continue;
        }
        QWidget *editor = makeEditor(field);
        editor->setObjectName(field.name.isEmpty() ? field.variable : field.name);
        if (field.kind == DialogField::Kind::Check)
            form->addRow(editor);
        else
            form->addRow(field.label, editor);
        bindings.push_back({&field, editor});
    }
    addButtons(page);
    if (page.width > 0)
        resize(page.width, sizeHint().height());
    else
        setMinimumWidth(480);
}

QWidget *TemplateDialogWindow::makeEditor(const DialogField &field)
{
    switch (field.kind) {
    case DialogField::Kind::Memo: {
        auto *memo = new QPlainTextEdit(fieldText(report, field), this);
        memo->setTabChangesFocus(true);
        memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 4 + 12);
        return memo;
    }
    case DialogField::Kind::Combo: {
        auto *combo = new QComboBox(this);
        combo->addItems(field.items);
        combo->setEditable(field.editable);
        const QString value = fieldText(report, field);
        const int index = int(field.items.indexOf(value));
        if (index >= 0)
            combo->setCurrentIndex(index);
        else if (field.editable)
            combo->setEditText(value);
        if (combo->lineEdit() && report.textLimit(field.variable) > 0)
            combo->lineEdit()->setMaxLength(report.textLimit(field.variable));
        return combo;
    }
    case DialogField::Kind::Check: {
        auto *check = new QCheckBox(field.label, this);
        check->setChecked(fieldChecked(report, field));
        return check;
    }
    default: {
        auto *edit = new QLineEdit(fieldText(report, field), this);
        if (report.textLimit(field.variable) > 0)
            edit->setMaxLength(report.textLimit(field.variable));
        return edit;
    }
    }
}

void TemplateDialogWindow::addButtons(const DialogPage &page)
{
    auto *box = new QDialogButtonBox(this);
    if (page.buttons.empty()) {
        box->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
        box->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    }
    for (const DialogButton &b : page.buttons) {
        QPushButton *button = box->addButton(b.text, b.accept ? QDialogButtonBox::AcceptRole
                                                              : QDialogButtonBox::RejectRole);
        button->setObjectName(b.text);
    }
    if (!box->buttons().isEmpty())
        if (auto *first = qobject_cast<QPushButton *>(box->buttons().front()))
            first->setDefault(true);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(box);
}

QWidget *TemplateDialogWindow::fieldWidget(const QString &nameOrVariable) const
{
    for (const Binding &b : bindings)
        if (b.field->name.compare(nameOrVariable, Qt::CaseInsensitive) == 0 ||
            b.field->variable.compare(nameOrVariable, Qt::CaseInsensitive) == 0)
            return b.widget;
    return nullptr;
}

void TemplateDialogWindow::accept()
{
    for (const Binding &b : bindings) {
        // Memos and list items have no typing limit of their own.
        const int limit = report.textLimit(b.field->variable);
        auto limited = [limit](const QString &text) { return limit > 0 ? text.left(limit) : text; };
        if (auto *edit = qobject_cast<QLineEdit *>(b.widget))
            writeFieldText(report, *b.field, edit->text());
        else if (auto *memo = qobject_cast<QPlainTextEdit *>(b.widget))
            writeFieldText(report, *b.field, limited(memo->toPlainText()));
        else if (auto *combo = qobject_cast<QComboBox *>(b.widget))
            writeFieldText(report, *b.field, limited(combo->currentText()));
        else if (auto *check = qobject_cast<QCheckBox *>(b.widget))
            writeFieldChecked(report, *b.field, check->isChecked());
    }
    QDialog::accept();
}

} // namespace kront::report
