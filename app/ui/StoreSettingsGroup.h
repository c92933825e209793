#pragma once

#include "settings/StoreSettings.h"

#include <QGroupBox>
#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kront
{

class Dialogs;

// The group "Хранилище данных" of the connection page: where the program
// keeps its tables, the table files of this computer or the lab's server,
// with the server's address and a check of the connection with the typed
// values. The choice is written to [Store] of the settings file by apply()
// and takes effect at the next start of the program.
class StoreSettingsGroup : public QGroupBox
{
    Q_OBJECT
public:
    // Connects to the server of the settings: true, or false with the reason.
    using ConnectionCheck = std::function<bool(const StoreSettings &, QString *reason)>;

    explicit StoreSettingsGroup(Dialogs &dialogs, QWidget *parent = nullptr);

    // Replaces how "Проверить соединение" connects (tests).
    void setConnectionCheck(ConnectionCheck check);

    // Shows the store of the settings file at iniPath; apply() writes there.
    void load(const QString &iniPath);
    // The store as the controls show it.
    StoreSettings edited() const;
    // Writes the shown store to the settings file when it differs from the
    // one loaded, and says that it takes effect at the next start. False,
    // with nothing written, when a server lacks its host or database, or
    // when the file could not be written (after the message).
    bool apply();

    QRadioButton *RadioStoreTableFiles;
    QRadioButton *RadioStoreServer;
    QLineEdit *EditStoreHost;
    QSpinBox *SpinStorePort;
    QLineEdit *EditStoreDatabase;
    QLineEdit *EditStoreUser;
    QPushButton *ButtonCheckStoreConnection;

private:
    void showStore(const StoreSettings &settings);
    void updateEnabled();
    void checkConnection();

    Dialogs &dialogs;
    ConnectionCheck connectionCheck;
    QString iniPath;
    StoreSettings loaded;
};

// Whether two store settings name the same store (a server's fields count
// only for a server).
bool sameStore(const StoreSettings &a, const StoreSettings &b);

} // namespace kront
