#include "procedure/ui/MeansPageWidget.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace kront
{

MeansPageWidget::MeansPageWidget(QWidget *parent)
    : QWidget(parent), MemoVerificationFacilities(new QPlainTextEdit)
{
    setObjectName(QStringLiteral("JvWizardInteriorPage2"));
    MemoVerificationFacilities->setObjectName(QStringLiteral("MemoVerificationFacilities"));
    MemoVerificationFacilities->setLineWrapMode(QPlainTextEdit::NoWrap);
    auto *label = new QLabel(QStringLiteral("Укажите параметры средств поверки"));
    label->setObjectName(QStringLiteral("LabelVerificationFacilities"));
    label->setBuddy(MemoVerificationFacilities);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(MemoVerificationFacilities);
    setLines(templateLines());
}

QStringList MeansPageWidget::templateLines()
{
    return {QStringLiteral("Термопреобразователь _ разряда, тип _ № _"),
            QStringLiteral("Потенциометр _, класс _, тип _, № _"),
            QStringLiteral("Установка типа КРОНТ-2М, № _"),
            QStringLiteral("Ртутный стеклянный термометр разряд _, тип _, № _")};
}

QStringList MeansPageWidget::lines() const
{
    // As the lines of a memo: a final line break opens no further line.
    const QString text = MemoVerificationFacilities->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList result = text.split(u'\n');
    if (result.size() > 1 && result.back().isEmpty())
        result.removeLast();
    return result;
}

void MeansPageWidget::setLines(const QStringList &lines)
{
    MemoVerificationFacilities->setPlainText(lines.join(u'\n'));
}

} // namespace kront
