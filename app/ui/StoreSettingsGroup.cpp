#include "app/ui/StoreSettingsGroup.h"

#include "common/Dialogs.h"
#include "db/StoreStart.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kront
{

namespace
{

QLineEdit *lineEdit(const QString &name)
{
    auto *e = new QLineEdit;
    e->setObjectName(name);
    return e;
}

bool reachable(const StoreSettings &settings, QString *reason)
{
    const ServerReach reach = reachServer(settings);
    if (reason)
        *reason = reach.reason;
    return reach.reached;
}

} // namespace

bool sameStore(const StoreSettings &a, const StoreSettings &b)
{
    if (a.kind != b.kind)
        return false;
    return !a.isServer() ||
           (a.host == b.host && a.port == b.port && a.database == b.database && a.user == b.user);
}

StoreSettingsGroup::StoreSettingsGroup(Dialogs &dialogSet, QWidget *parent)
    : QGroupBox(QStringLiteral("Хранилище данных"), parent), dialogs(dialogSet),
      connectionCheck(&reachable)
{
    setObjectName(QStringLiteral("GroupBoxStore"));
    RadioStoreTableFiles = new QRadioButton(QStringLiteral("Файлы таблиц этого компьютера"));
    RadioStoreTableFiles->setObjectName(QStringLiteral("RadioStoreTableFiles"));
    RadioStoreServer = new QRadioButton(QStringLiteral("Сервер лаборатории (PostgreSQL)"));
    RadioStoreServer->setObjectName(QStringLiteral("RadioStoreServer"));
    auto *kinds = new QButtonGroup(this);
    kinds->addButton(RadioStoreTableFiles);
    kinds->addButton(RadioStoreServer);
    EditStoreHost = lineEdit(QStringLiteral("EditStoreHost"));
    SpinStorePort = new QSpinBox;
    SpinStorePort->setObjectName(QStringLiteral("SpinStorePort"));
    SpinStorePort->setRange(1, 65535);
    SpinStorePort->setMinimumWidth(90);
    EditStoreDatabase = lineEdit(QStringLiteral("EditStoreDatabase"));
    EditStoreUser = lineEdit(QStringLiteral("EditStoreUser"));
    ButtonCheckStoreConnection = new QPushButton(QStringLiteral("Проверить соединение"));
    ButtonCheckStoreConnection->setObjectName(QStringLiteral("ButtonCheckStoreConnection"));
    ButtonCheckStoreConnection->setAutoDefault(false);

    auto *choice = new QHBoxLayout;
    choice->addWidget(RadioStoreTableFiles);
    choice->addWidget(RadioStoreServer);
    choice->addStretch();
    auto *server = new QGridLayout;
    server->addWidget(new QLabel(QStringLiteral("Узел:")), 0, 0);
    server->addWidget(EditStoreHost, 0, 1);
    server->addWidget(new QLabel(QStringLiteral("Порт:")), 0, 2);
    server->addWidget(SpinStorePort, 0, 3, Qt::AlignLeft);
    server->addWidget(new QLabel(QStringLiteral("База данных:")), 1, 0);
    server->addWidget(EditStoreDatabase, 1, 1);
    server->addWidget(new QLabel(QStringLiteral("Пользователь:")), 1, 2);
    server->addWidget(EditStoreUser, 1, 3);
    server->setColumnStretch(1, 3);
    server->setColumnStretch(3, 2);
    auto *bottom = new QHBoxLayout;
    auto *note = new QLabel(QStringLiteral("Выбор хранилища действует со следующего запуска."));
    note->setObjectName(QStringLiteral("LabelStoreNextStart"));
    bottom->addWidget(note, 1);
    bottom->addWidget(ButtonCheckStoreConnection);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(choice);
    layout->addLayout(server);
    layout->addLayout(bottom);

    connect(RadioStoreServer, &QRadioButton::toggled, this, &StoreSettingsGroup::updateEnabled);
    connect(ButtonCheckStoreConnection, &QPushButton::clicked, this,
            &StoreSettingsGroup::checkConnection);
    showStore(loaded);
}

void StoreSettingsGroup::setConnectionCheck(ConnectionCheck check)
{
    connectionCheck = std::move(check);
}

void StoreSettingsGroup::load(const QString &path)
{
    iniPath = path;
    loaded = loadStoreSettings(path);
    showStore(loaded);
}

void StoreSettingsGroup::showStore(const StoreSettings &s)
{
    RadioStoreTableFiles->setChecked(!s.isServer());
    RadioStoreServer->setChecked(s.isServer());
    EditStoreHost->setText(s.host);
    SpinStorePort->setValue(s.port);
    EditStoreDatabase->setText(s.database);
    EditStoreUser->setText(s.user);
    updateEnabled();
}

StoreSettings StoreSettingsGroup::edited() const
{
    StoreSettings s;
    s.kind = RadioStoreServer->isChecked() ? StoreSettings::Kind::PostgreSql
                                           : StoreSettings::Kind::Embedded;
    s.host = EditStoreHost->text().trimmed();
    s.port = SpinStorePort->value();
    s.database = EditStoreDatabase->text().trimmed();
    s.user = EditStoreUser->text().trimmed();
    return s;
}

void StoreSettingsGroup::updateEnabled()
{
    const bool server = RadioStoreServer->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(EditStoreHost), static_cast<QWidget *>(SpinStorePort),
          static_cast<QWidget *>(EditStoreDatabase), static_cast<QWidget *>(EditStoreUser),
          static_cast<QWidget *>(ButtonCheckStoreConnection)})
        w->setEnabled(server);
}

void StoreSettingsGroup::checkConnection()
{
    const StoreSettings s = edited();
    QString reason;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool connected = connectionCheck(s, &reason);
    QApplication::restoreOverrideCursor();
    if (connected)
        dialogs.information(
            QStringLiteral("Соединение с сервером %1 установлено.").arg(s.serverName()));
    else
        dialogs.warning(serverUnreachableLine(s, reason));
}

bool StoreSettingsGroup::apply()
{
    const StoreSettings s = edited();
    if (sameStore(s, loaded))
        return true;
    if (s.isServer() && (s.host.isEmpty() || s.database.isEmpty())) {
        dialogs.warning(QStringLiteral("Укажите узел и базу данных сервера лаборатории."));
        return false;
    }
    if (!saveStoreSettings(s, iniPath)) {
        dialogs.error(QStringLiteral("Не удалось сохранить настройки в файл \"%1\"!").arg(iniPath));
        return false;
    }
    loaded = s;
    dialogs.information(
        QStringLiteral("Хранилище данных сменится при следующем запуске программы."));
    return true;
}

} // namespace kront
