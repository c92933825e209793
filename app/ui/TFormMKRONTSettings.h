#pragma once

#include "app/ui/LimitedMemo.h"
#include "app/ui/SettingsForm.h"

#include <QDialog>
#include <QVariantMap>
#include <functional>
#include <optional>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace kront
{

class Dialogs;
class ProgramSettings;
class RegistrySettingsPage;
class StoreSettingsGroup;

// The settings window "Настройка": the reference thermocouple register, the
// connection parameters with the store of the tables, the program settings and the state registry's
// data, on four pages.
class TFormMKRONTSettings : public QDialog
{
    Q_OBJECT
public:
    using Rows = std::vector<QVariantMap>;
    // Reads the EtalSens rows in table order; std::nullopt (after showing
    // the given failure text) when the table cannot be opened.
    using RegisterReader = std::function<std::optional<Rows>(const QString &failureText)>;
    // The serial ports found, in order.
    using PortLister = std::function<QStringList()>;

    // The creation handler runs here: the register grid, the port list and
    // the settings file are read once.
    TFormMKRONTSettings(Dialogs &dialogs, ProgramSettings &settings, RegisterReader readRegister,
                        PortLister listPorts, QWidget *parent = nullptr);

    // Adds the page "ФГИС «Аршин»"; it reads its data whenever the window is shown and its
    // "Применить" closes the window when the data are stored.
    void setRegistryPage(RegistrySettingsPage *page);
    RegistrySettingsPage *registryPage() const { return registry; }

    // Shows the window modally on page 0, 1, 2 or 3.
    int showPage(int page);

    // Reads the register again and fills the grid; the grid is left as it
    // was when the table cannot be opened.
    void RefreshGrid();
    void fillGrid(const Rows &rows);

    // Page 1 "Эталонные ТП"
    QTableWidget *StringGridEtalTP;
    QPushButton *ButtonAddEtalTP;    // "Добавить"
    QPushButton *ButtonEditEtalTP;   // "Изменить"
    QPushButton *ButtonDeleteEtalTP; // "Удалить"
    // Page 2 "Параметры подключения"
    QComboBox *ComboBoxFoundPorts;
    QRadioButton *RadioChannel1;
    QRadioButton *RadioChannel2;
    QRadioButton *RadioPolarityDirect;
    QRadioButton *RadioPolarityInverted;
    StoreSettingsGroup *GroupStore; // "Хранилище данных"
    QPushButton *ButtonApplyCommParams;
    // Page 3 "Настройки программы"
    QCheckBox *CheckBoxDisableTempStabilityCtrlByPrg;
    QCheckBox *CheckBoxWaitFixedTAVER_7Value;
    QCheckBox *CheckBoxReduceResultClass;
    QCheckBox *CheckBoxOfferPoverkaTermination;
    QCheckBox *CheckBoxConnectionCheck;
    QCheckBox *CheckBoxStabilityForecast;
    LimitedMemo *MemoOrganName;
    QLineEdit *LabeledEditRukDolgn;
    // The name of this installation among those sharing a server ([Store]
    // Installation of the settings file), written by "Применить".
    QLineEdit *EditInstallationName;
    QCheckBox *CheckBoxSvidNumAuto;
    QSpinBox *JvSpinEditNextSvidNum;
    QSpinBox *JvSpinEditSvidDigitsCount;
    QCheckBox *CheckBoxIzvNumAuto;
    QSpinBox *JvSpinEditNextIzvNum;
    QSpinBox *JvSpinEditIzvDigitsCount;
    QPushButton *ButtonApplyProgramSettings;
    QPushButton *ButtonClose; // "Закрыть"

    QTabWidget *pages() const { return tabs; }

    // The register failure text shown at creation.
    static QString registerFailureText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createRegisterPage();
    QWidget *createConnectionPage();
    QWidget *createProgramPage();
    QWidget *createNumberingRow(QCheckBox *check, QSpinBox *next, QSpinBox *digits,
                                QList<QLabel *> &labels);
    void FormCreate();
    void showForm();
    void connectForm();
    void updateNumberingEnabled();
    void updateHelpTopic();
    void ButtonApplyCommParamsClick();
    void ButtonApplyProgramSettingsClick();

    Dialogs &dialogs;
    ProgramSettings &settings;
    SettingsForm form;
    RegisterReader readRegister;
    PortLister listPorts;
    QTabWidget *tabs;
    QButtonGroup *channelGroup;
    QButtonGroup *polarityGroup;
    QList<QLabel *> svidLabels;
    QList<QLabel *> izvLabels;
    bool filling = false;
    RegistrySettingsPage *registry = nullptr;
};

} // namespace kront
