#pragma once

#include "registry/RegistryData.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace kront
{

class Database;
class Dialogs;

// The page "ФГИС «Аршин»" of the settings window: the lab's data for the state registry
// (mark cipher, default verifier and owner, time-zone offset of the dates, where the mark
// goes), the thermocouple types with their registry numbers, the installation's auxiliary
// instruments and the registration number of each reference thermocouple of the register.
// "Применить" checks everything and stores it; a wrong value is named in the message and
// nothing is stored.
class RegistrySettingsPage : public QWidget
{
    Q_OBJECT
public:
    RegistrySettingsPage(Database &db, Dialogs &dialogs, QWidget *parent = nullptr);

    // Reads the settings and the tables into the controls.
    void load();
    // "Применить"; false (after the message) when something is wrong or cannot be stored,
    // else `applied` is signalled.
    bool ButtonApplyRegistryClick();

    QLineEdit *EditSignCipher;
    QLineEdit *EditVerifier;
    QLineEdit *EditOwner;
    QComboBox *ComboBoxTimeZone;
    QCheckBox *CheckBoxSignPass;
    QCheckBox *CheckBoxSignMi;
    QTableWidget *StringGridSensorTypes;
    QPushButton *ButtonAddSensorType;
    QPushButton *ButtonDeleteSensorType;
    QTableWidget *StringGridMeans;
    QPushButton *ButtonAddMeans;
    QPushButton *ButtonDeleteMeans;
    QTableWidget *StringGridEtalMieta;
    QPushButton *ButtonApplyRegistry;

Q_SIGNALS:
    void applied();

private:
    QWidget *createLabGroup();
    QWidget *createTypesGroup();
    QWidget *createMeansGroup();
    QWidget *createEtalGroup();
    void fillTimeZones(int minutes);
    void fillReferences(const InstallationMeans &means);
    RegistrySettings typedSettings() const;
    std::vector<SensorTypeEntry> typedSensorTypes() const;
    InstallationMeans typedMeans() const;

    Database &db;
    Dialogs &dialogs;
};

} // namespace kront
