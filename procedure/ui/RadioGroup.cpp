#include "procedure/ui/RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kront
{

RadioGroup::RadioGroup(const QString &name, const QString &caption, const QStringList &items,
                       QWidget *parent)
    : QGroupBox(caption, parent), buttons(new QButtonGroup(this))
{
    setObjectName(name);
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items[i]);
        b->setObjectName(name + QStringLiteral("Item%1").arg(i));
        buttons->addButton(b, i);
        layout->addWidget(b);
    }
    layout->addStretch();
    connect(buttons, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Q_EMIT itemChosen(id);
    });
}

int RadioGroup::itemIndex() const
{
    return buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        buttons->button(index)->setChecked(true);
        return;
    }
    // An exclusive group never unchecks its last button by itself.
    buttons->setExclusive(false);
    for (QAbstractButton *b : buttons->buttons())
        b->setChecked(false);
    buttons->setExclusive(true);
}

int RadioGroup::count() const
{
    return int(buttons->buttons().size());
}

} // namespace kront
