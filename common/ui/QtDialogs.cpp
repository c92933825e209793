#include "common/ui/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace kront
{

namespace
{

QMessageBox::Icon boxIcon(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::None: return QMessageBox::NoIcon;
    case Dialogs::Icon::Information: return QMessageBox::Information;
    case Dialogs::Icon::Warning: return QMessageBox::Warning;
    case Dialogs::Icon::Error: return QMessageBox::Critical;
    case Dialogs::Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    const char16_t *text;
    Dialogs::Answer answer;
};

const ButtonSpec kOk{QMessageBox::Ok, u"OK", Dialogs::Answer::Ok};
const ButtonSpec kCancel{QMessageBox::Cancel, u"Отмена", Dialogs::Answer::Cancel};
const ButtonSpec kYes{QMessageBox::Yes, u"Да", Dialogs::Answer::Yes};
const ButtonSpec kNo{QMessageBox::No, u"Нет", Dialogs::Answer::No};

QList<ButtonSpec> buttonsOf(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok: return {kOk};
    case Dialogs::Buttons::OkCancel: return {kOk, kCancel};
    case Dialogs::Buttons::YesNo: return {kYes, kNo};
    case Dialogs::Buttons::YesNoCancel: return {kYes, kNo, kCancel};
    }
    return {kOk};
}

// The answer when the box is closed without a button (Esc, the title bar).
Dialogs::Answer escapeAnswer(Dialogs::Buttons buttons)
{
    switch (buttons) {
    case Dialogs::Buttons::Ok: return Dialogs::Answer::Ok;
    case Dialogs::Buttons::OkCancel:
    case Dialogs::Buttons::YesNoCancel: return Dialogs::Answer::Cancel;
    case Dialogs::Buttons::YesNo: return Dialogs::Answer::No;
    }
    return Dialogs::Answer::Cancel;
}

} // namespace

QtDialogs::QtDialogs(QWidget *owner) : parent(owner) {}

QWidget *QtDialogs::parentWidget() const
{
    return parent ? parent : QApplication::activeWindow();
}

Dialogs::Answer QtDialogs::message(const QString &caption, Icon icon, const QString &text,
                                   Buttons buttons)
{
    QMessageBox box(boxIcon(icon), caption, text, QMessageBox::NoButton, parentWidget());
    const QList<ButtonSpec> specs = buttonsOf(buttons);
    for (const ButtonSpec &spec : specs)
        box.addButton(spec.button)->setText(QString::fromUtf16(spec.text));
    box.setDefaultButton(specs.first().button);
    box.exec();
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonSpec &spec : specs) {
        if (spec.button == clicked)
            return spec.answer;
    }
    return escapeAnswer(buttons);
}

std::optional<QString> QtDialogs::input(const QString &caption, const QString &prompt,
                                        const QString &preset)
{
    QInputDialog dialog(parentWidget());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(preset);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtDialogs::openFileName(const QString &caption, const QString &dir, const QString &filter)
{
    QFileDialog dialog(parentWidget(), caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Открыть"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

QString QtDialogs::saveFileName(const QString &caption, const QString &dir, const QString &filter,
                                const QString &defaultSuffix)
{
    QFileDialog dialog(parentWidget(), caption, dir, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Callers ask their own overwrite question, with the program's texts.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Сохранить"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

Dialogs &programDialogs()
{
    static QtDialogs dialogs;
    return dialogs;
}

} // namespace kront
