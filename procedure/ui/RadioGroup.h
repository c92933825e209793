#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace kront
{

// A framed group of exclusive choices whose selection may also be none
// (item index -1), as a freshly prepared page shows it.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &name, const QString &caption, const QStringList &items,
               QWidget *parent = nullptr);

    int itemIndex() const; // -1 when nothing is chosen
    void setItemIndex(int index);
    int count() const;

Q_SIGNALS:
    void itemChosen(int index); // by the operator or by setItemIndex

private:
    QButtonGroup *buttons;
};

} // namespace kront
