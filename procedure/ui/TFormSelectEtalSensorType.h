#pragma once

#include "procedure/PoverkaView.h"

#include <QDialog>
#include <functional>
#include <optional>

class QPushButton;

namespace kront
{

class RadioGroup;

// "Выбор типа эталонного термометра": which reference thermometer serves
// the next temperature point of each channel. The checks of "Выбрать"
// belong to the verification engine; the window only collects the choice.
class TFormSelectEtalSensorType : public QDialog
{
    Q_OBJECT
public:
    explicit TFormSelectEtalSensorType(QWidget *parent = nullptr);

    // Shows the chooser modally with the groups set up as given. accept gets
    // the choice on "Выбрать" and returns false to keep the window open.
    // nullopt on "Отмена" (or the close box).
    std::optional<EtalChoice> choose(const EtalChooserSetup &setup,
                                     std::function<bool(const EtalChoice &)> accept);

    RadioGroup *group(int channel) const { return channel == 2 ? group2 : group1; }
    EtalChoice currentChoice() const;

    void ButtonOkClick();
    void ButtonCancelClick();

private:
    RadioGroup *group1;
    RadioGroup *group2;
    QPushButton *buttonOk;
    QPushButton *buttonCancel;
    std::function<bool(const EtalChoice &)> acceptChoice;
};

} // namespace kront
