#include "app/ui/DemoStartWindow.h"

#include "app/ui/HelpViewer.h"
#include "common/Dialogs.h"
#include "common/TrainingMode.h"
#include "common/ui/HelpContext.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kHelpTopic = 18;
constexpr int kMaxFactor = 600;
} // namespace

DemoStartWindow::DemoStartWindow(const QString &demoHome, QWidget *parent)
    : QDialog(parent), CheckBoxTraining(new QCheckBox(QStringLiteral("Учебный режим"))),
      SpinEditFactor(new QSpinBox)
{
    setObjectName(QStringLiteral("DemoStartWindow"));
    setWindowTitle(QStringLiteral("Демонстрация - ") + kProgramTitle);
    setHelpTopic(this, kHelpTopic);
    CheckBoxTraining->setObjectName(QStringLiteral("CheckBoxTraining"));
    SpinEditFactor->setObjectName(QStringLiteral("SpinEditFactor"));
    SpinEditFactor->setRange(1, kMaxFactor);
    SpinEditFactor->setValue(int(TrainingMode::kDefaultFactor));
    SpinEditFactor->setSuffix(QStringLiteral(" раз"));
    SpinEditFactor->setEnabled(false);
    connect(CheckBoxTraining, &QCheckBox::toggled, SpinEditFactor, &QWidget::setEnabled);

    auto *about = new QLabel(
        QStringLiteral("Программа откроет демонстрационную папку данных с тремя завершёнными "
                       "поверками и будет работать с имитатором установки, а не с настоящим "
                       "вольтметром.<br>Папка: %1<br><br>В учебном режиме время программы идёт "
                       "быстрее, чтобы поверку можно было пройти за несколько минут.")
            .arg(demoHome.toHtmlEscaped()));
    about->setWordWrap(true);
    about->setMinimumWidth(420);
    auto *form = new QFormLayout;
    form->addRow(CheckBoxTraining);
    form->addRow(QStringLiteral("Время идёт быстрее в"), SpinEditFactor);

    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Начать"), QDialogButtonBox::AcceptRole)
        ->setObjectName(QStringLiteral("ButtonStart"));
    buttons->addButton(QStringLiteral("Выход"), QDialogButtonBox::RejectRole)
        ->setObjectName(QStringLiteral("ButtonExit"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(about);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // The program's windows and their help do not exist yet: this window
    // brings its own help viewer for F1.
    auto *help = new HelpViewer(this);
    installEventFilter(new HelpKeyFilter(*help, this));
}

double DemoStartWindow::trainingFactor() const
{
    return CheckBoxTraining->isChecked() ? SpinEditFactor->value() : 0;
}

void DemoStartWindow::startChosenMode() const
{
    if (CheckBoxTraining->isChecked())
        TrainingMode::start(trainingFactor());
}

} // namespace kront
