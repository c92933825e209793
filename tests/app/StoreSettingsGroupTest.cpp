// The group "Хранилище данных" of the settings window: the store of the
// settings file shown, the connection checked with the typed values, and a
// changed store written for the next start.

#include "app/ui/StoreSettingsGroup.h"
#include "app/ui/TFormMKRONTSettings.h"
#include "tests/app/AppTestFixture.h"
#include "tests/support/FileBytes.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

namespace kront
{
namespace
{

class StoreSettingsGroupTest : public test::AppFixture
{
public: // the cases of a table edit the window through these
    QString ini() const { return home.config("kront.INI"); }
    void writeIni(const QByteArray &bytes)
    {
        QFile f(ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    TFormMKRONTSettings &window() { return *windows->FormMKRONTSettings(); }
    StoreSettingsGroup &group() { return *window().GroupStore; }
    // Opens the connection page as the operator does.
    void showConnectionPage()
    {
        window().pages()->setCurrentIndex(1);
        window().show();
    }
    void typeServer(const QString &host, int port, const QString &database, const QString &user)
    {
        group().RadioStoreServer->setChecked(true);
        group().EditStoreHost->setText(host);
        group().SpinStorePort->setValue(port);
        group().EditStoreDatabase->setText(database);
        group().EditStoreUser->setText(user);
    }
};

TEST_F(StoreSettingsGroupTest, ShowsTheStoreOfTheSettingsFileAndEnablesTheServerFieldsByChoice)
{
    createWindows(); // on the table files: the server named below is never there
    writeIni("[Store]\r\nKind=postgresql\r\nHost=lab-db\r\nPort=5433\r\nDatabase=kront\r\n"
             "User=operator\r\n");
    showConnectionPage();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    StoreSettingsGroup &g = group();
    EXPECT_EQ(g.title(), "Хранилище данных");
    EXPECT_EQ(g.RadioStoreTableFiles->text(), "Файлы таблиц этого компьютера");
    EXPECT_EQ(g.RadioStoreServer->text(), "Сервер лаборатории (PostgreSQL)");
    EXPECT_EQ(g.ButtonCheckStoreConnection->text(), "Проверить соединение");
    EXPECT_TRUE(g.RadioStoreServer->isChecked());
    EXPECT_EQ(g.EditStoreHost->text(), "lab-db");
    EXPECT_EQ(g.SpinStorePort->value(), 5433);
    EXPECT_EQ(g.EditStoreDatabase->text(), "kront");
    EXPECT_EQ(g.EditStoreUser->text(), "operator");
    const QList<QWidget *> serverFields = {g.EditStoreHost, g.SpinStorePort, g.EditStoreDatabase,
                                           g.EditStoreUser, g.ButtonCheckStoreConnection};
    for (QWidget *w : serverFields)
        EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    g.RadioStoreTableFiles->setChecked(true);
    for (QWidget *w : serverFields)
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();

    // Edits not applied are gone when the window opens again.
    window().hide();
    showConnectionPage();
    EXPECT_TRUE(g.RadioStoreServer->isChecked());
}

TEST_F(StoreSettingsGroupTest, CheckConnectsWithTheTypedValuesAndTellsTheResult)
{
    createWindows();
    showConnectionPage();
    StoreSettings tried;
    bool answers = true;
    group().setConnectionCheck([&](const StoreSettings &s, QString *reason) {
        tried = s;
        if (!answers)
            *reason = "FATAL: password authentication failed for user \"operator\"\n";
        return answers;
    });
    typeServer(" lab-db ", 5433, "kront", "operator");
    group().ButtonCheckStoreConnection->click();
    EXPECT_TRUE(tried.isServer());
    EXPECT_EQ(tried.host, "lab-db");
    EXPECT_EQ(tried.port, 5433);
    EXPECT_EQ(tried.database, "kront");
    EXPECT_EQ(tried.user, "operator");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Information);
    EXPECT_EQ(dialogs.last().text, "Соединение с сервером lab-db:5433/kront установлено.");

    answers = false;
    group().ButtonCheckStoreConnection->click();
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_EQ(dialogs.last().text, "Сервер базы данных lab-db:5433/kront недоступен: FATAL: "
                                   "password authentication failed for user \"operator\"");
    // A check writes nothing.
    EXPECT_FALSE(QFileInfo::exists(ini()));
}

TEST_F(StoreSettingsGroupTest, CheckOfAServerNobodyListensOnGivesTheLibrarysReason)
{
    createWindows();
    showConnectionPage();
    typeServer("127.0.0.1", 1, "kront", "kront");
    group().ButtonCheckStoreConnection->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const QString text = dialogs.last().text;
    const QString head = "Сервер базы данных 127.0.0.1:1/kront недоступен: ";
    EXPECT_TRUE(text.startsWith(head)) << text.toStdString();
    EXPECT_GT(text.size(), head.size());
    EXPECT_FALSE(text.contains(u'\n')) << text.toStdString();
}

TEST_F(StoreSettingsGroupTest, ApplyWritesAChangedStoreForTheNextStartOnly)
{
    const QByteArray server = "[Store]\r\nKind=postgresql\r\nHost=lab-db\r\nPort=5433\r\n"
                              "Database=kront\r\nUser=operator\r\n";
    const QString nextStart = "Хранилище данных сменится при следующем запуске программы.";
    const QString incomplete = "Укажите узел и базу данных сервера лаборатории.";
    const struct {
        const char *name;
        QByteArray before;
        std::function<void(StoreSettingsGroupTest &)> edit;
        QString message; // empty: none
        bool closes;
        QByteArray storeAfter; // the [Store] section written; empty: the file as before
    } cases[] = {
        {"server chosen", "",
         [](StoreSettingsGroupTest &t) { t.typeServer("lab-db", 5433, "kront", "operator"); },
         nextStart, true, server},
        {"server without host", "",
         [](StoreSettingsGroupTest &t) { t.typeServer("", 5433, "kront", "operator"); }, incomplete,
         false, ""},
        {"server without database", "",
         [](StoreSettingsGroupTest &t) { t.typeServer("lab-db", 5433, " ", "operator"); },
         incomplete, false, ""},
        {"back to the table files", server,
         [](StoreSettingsGroupTest &t) { t.group().RadioStoreTableFiles->setChecked(true); },
         nextStart, true,
         "[Store]\r\nKind=embedded\r\nHost=lab-db\r\nPort=5433\r\nDatabase=kront\r\n"
         "User=operator\r\n"},
        {"server unchanged", server, [](StoreSettingsGroupTest &) {}, "", true, ""},
        // The server's fields are kept for a later choice, not a change of store.
        {"table files, server fields typed", "",
         [](StoreSettingsGroupTest &t) {
             t.typeServer("lab-db", 5433, "kront", "operator");
             t.group().RadioStoreTableFiles->setChecked(true);
         },
         "", true, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        windows.reset(); // its table files are let go before the next windows open them
        QFile::remove(ini());
        createWindows(); // on the table files: the server named below is never there
        if (!c.before.isEmpty())
            writeIni(c.before);
        dialogs.shown.clear();
        showConnectionPage(); // reads the store of the file
        c.edit(*this);
        window().ButtonApplyCommParams->click();
        const QStringList shown = dialogs.texts();
        EXPECT_EQ(shown, c.message.isEmpty() ? QStringList() : QStringList{c.message})
            << shown.join('\n').toStdString();
        EXPECT_EQ(window().isVisible(), !c.closes);
        const QByteArray after = test::readBytes(ini());
        if (c.storeAfter.isEmpty()) {
            EXPECT_EQ(after.contains("[Store]"), c.before.contains("[Store]"));
            if (!c.before.isEmpty()) {
                EXPECT_TRUE(after.startsWith(c.before)) << after.toStdString();
            }
        } else {
            EXPECT_TRUE(after.startsWith(c.storeAfter)) << after.toStdString();
        }
        // The connection page's own values are written by the same click.
        EXPECT_EQ(after.contains("[CommunicationParams]"), c.closes);
        window().hide();
    }
}

} // namespace
} // namespace kront
