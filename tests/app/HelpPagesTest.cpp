// The help covers the program: every window opens a page of its own on F1,
// the contents reach every page, and every message the program shows is
// explained on some page.
#include "app/ui/DemoStartWindow.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/TFormMKRONTSettings.h"
#include "app/ui/TFormMain.h"
#include "common/ui/HelpContext.h"
#include "reportengine/Report.h"
#include "reportengine/ui/ReportPreviewDialog.h"
#include "reportengine/ui/TemplateDialogWindow.h"
#include "tests/app/AppTestFixture.h"

#include <QApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMap>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextStream>
#include <map>

namespace kront
{
namespace
{

const QString kHelpSource = QStringLiteral(KRONT_SOURCE_DIR "/resources/help/");

QString readText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

QString collapsed(QString text)
{
    return text.replace(QRegularExpression(QStringLiteral("\\s+")), QStringLiteral(" "));
}

// The text an operator reads on a page, its spaces collapsed.
QString pageText(const QString &path)
{
    QTextDocument doc;
    doc.setHtml(readText(path));
    return collapsed(doc.toPlainText());
}

QStringList helpPages()
{
    return QDir(kHelpSource).entryList({QStringLiteral("*.html")}, QDir::Files);
}

QStringList linksOf(const QString &page)
{
    QStringList links;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)[^\"]*\""));
    for (auto m = href.globalMatch(readText(kHelpSource + page)); m.hasNext();)
        links << m.next().captured(1);
    return links;
}

class HelpPagesTest : public test::AppFixture
{
protected:
    // F1 in `widget` opens the help page of `topic`, which is one of the
    // program's pages and has a heading.
    void expectOwnPage(QWidget *widget, int topic, const std::string &name)
    {
        SCOPED_TRACE(name + " topic " + std::to_string(topic));
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(widget, &f1);
        EXPECT_EQ(windows->Help()->currentPage(), HelpViewer::pagePath(topic));
        const QString page = QStringLiteral("%1.html").arg(topic);
        EXPECT_TRUE(readText(kHelpSource + page).contains(QStringLiteral("<h1>")));
        EXPECT_TRUE(linksOf(QStringLiteral("index.html")).contains(page));
        const auto [other, added] = owners.emplace(topic, name);
        EXPECT_TRUE(added) << "the same page as " << other->second;
    }

    std::map<int, std::string> owners;
};

// Every window the program builds, found among the application's windows
// rather than from a list, so that a new window without its page fails.
TEST_F(HelpPagesTest, EveryWindowOpensAPageOfItsOwn)
{
    ApplicationWindows &app = createWindows();
    QStringList found;
    for (QWidget *w : QApplication::allWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (!w->isWindow() || type == Qt::Popup || type == Qt::ToolTip || w == app.Help())
            continue;
        found << w->objectName();
        if (w == app.FormMKRONTSettings())
            continue; // one page per tab, below
        expectOwnPage(w, helpTopicOf(w), w->objectName().toStdString());
    }
    found.sort();
    QStringList created = app.creationOrder();
    created.sort();
    EXPECT_EQ(found, created);

    TFormMKRONTSettings &settings = *app.FormMKRONTSettings();
    for (int tab = 0; tab < settings.pages()->count(); ++tab) {
        settings.pages()->setCurrentIndex(tab);
        expectOwnPage(settings.pages()->widget(tab), helpTopicOf(&settings),
                      "settings tab " + std::to_string(tab));
    }

    // The windows made when they are needed.
    DemoStartWindow demo(home.path());
    expectOwnPage(&demo, helpTopicOf(&demo), "DemoStartWindow");
    report::Report report;
    ASSERT_TRUE(report.loadFromFile(
        QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol/Свидетельство ТП.fr3")));
    report::TemplateDialogWindow fields(
        report, *report.findDialogPage(QStringLiteral("DialogPage1")), app.FormMain());
    expectOwnPage(&fields, helpTopicOf(&fields), "TemplateDialogWindow");
    ASSERT_TRUE(report.prepare());
    report::ReportPreviewDialog preview(report, dialogs, app.FormMain());
    expectOwnPage(&preview, helpTopicOf(&preview), "ReportPreviewDialog");
}

TEST_F(HelpPagesTest, ContentsReachEveryPageAndNoLinkIsBroken)
{
    const QStringList pages = helpPages();
    const QStringList contents = linksOf(QStringLiteral("index.html"));
    for (const QString &page : pages) {
        SCOPED_TRACE(page.toStdString());
        if (page != QLatin1String("index.html")) {
            EXPECT_TRUE(contents.contains(page));
        }
        for (const QString &link : linksOf(page))
            EXPECT_TRUE(pages.contains(link)) << link.toStdString();
    }
}

// --- Messages ----------------------------------------------------------------

// The folders of the program's own code.
const char *const kSourceFolders[] = {
    "app",       "common",  "db",      "history",  "link",         "metrology", "model",
    "procedure", "reports", "sensors", "settings", "reportengine", "registry"};

// C++ string literals in `code`, adjacent ones ("a" "b") joined; each entry
// is one piece of text between the parts a message takes from variables.
QStringList literalPieces(const QString &code)
{
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\]|\\\\.)*)\""));
    QStringList pieces;
    qsizetype end = -1;
    for (auto it = literal.globalMatch(code); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(1);
        text.replace(QStringLiteral("\\r"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\n"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\\""), QStringLiteral("\""));
        if (end >= 0 && code.mid(end, m.capturedStart() - end).trimmed().isEmpty())
            pieces.last() += text;
        else
            pieces << text;
        end = m.capturedEnd();
    }
    return pieces;
}

// The parts of a message's pieces worth looking for: split at the numbered
// arguments and line breaks, stripped of punctuation, two words at least.
QStringList phrases(const QStringList &pieces)
{
    static const QRegularExpression split(QStringLiteral("%\\d|\\n"));
    static const QRegularExpression edges(
        QStringLiteral("^[\\s\"'«».,:;!?№)]+|[\\s\"'«».,:;!?№(]+$"));
    QStringList out;
    for (const QString &piece : pieces) {
        for (QString part : piece.split(split)) {
            part = collapsed(part).remove(edges);
            if (part.contains(u' ') &&
                part.contains(QRegularExpression(QStringLiteral("[А-Яа-я]"))))
                out << part;
        }
    }
    return out;
}

// The argument list of a call whose "(" ends at `open`, skipping literals.
QString argumentsAt(const QString &code, qsizetype open)
{
    int depth = 1;
    qsizetype i = open;
    for (; i < code.size() && depth > 0; ++i) {
        const QChar c = code[i];
        if (c == u'"' || c == u'\'') {
            for (++i; i < code.size() && code[i] != c; ++i)
                if (code[i] == u'\\')
                    ++i;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            --depth;
        }
    }
    return code.mid(open, i - open - 1);
}

// The fixed text of every message box, question and input the program's
// code asks the dialogs for, with the file it is in: the literals of each
// call and of the k-constants it names from the same file.
QMap<QString, QString> messagePhrasesOfTheCode()
{
    static const QRegularExpression call(
        QStringLiteral("(?:\\.|->)(?:error|warning|information|askYesNo|message|input)\\("));
    static const QRegularExpression constant(QStringLiteral("\\bk[A-Z]\\w*"));
    QMap<QString, QString> found;
    for (const char *folder : kSourceFolders) {
        QDirIterator files(QStringLiteral(KRONT_SOURCE_DIR "/") + QLatin1String(folder),
                           {QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString code = readText(path);
            for (auto it = call.globalMatch(code); it.hasNext();) {
                const QString args = argumentsAt(code, it.next().capturedEnd());
                QStringList pieces = literalPieces(args);
                for (auto c = constant.globalMatch(args); c.hasNext();) {
                    const QRegularExpression definition(
                        QStringLiteral("\\b%1\\s*=([^;]*);").arg(c.next().captured()));
                    pieces += literalPieces(definition.match(code).captured(1));
                }
                for (const QString &phrase : phrases(pieces))
                    found.insert(phrase, QFileInfo(path).fileName());
            }
        }
    }
    return found;
}

// Messages the code makes elsewhere and hands to the dialogs as a value: the
// store's failure texts, the checks of entered data, the diagnoses of the
// connections, the prompts of the measurement, the start-up errors and the
// start-up question about an unreachable server.
const char *const kMessagesMadeElsewhere[] = {
    "Не удалось открыть базу данных поверок",
    "Не удалось открыть базу данных эталонных датчиков",
    "Не удалось открыть базу данных датчиков",
    "Не удалось открыть базу данных пучков ТП",
    "Не удалось открыть базу данных результатов поверки ТП",
    "Не удалось открыть базу данных результатов поверок ТП",
    "Не удалось открыть базу данных выданных документов",
    "Не удалось открыть базу данных причин непригодности",
    "Не удалось открыть базу данных условий поверки",
    "Не удалось открыть базу данных поверок ТП",
    "Не удалось открыть базу данных установок",
    "Не удалось открыть базу данных номеров документов",
    "используется в незавершённой поверке",
    "Изменить его можно после завершения этой поверки",
    "Устаните причину и перезапустите программу",
    "Операция добавления документа отменена",
    "не заполнены следующие обязательные для заполнения поля",
    "не заполнены обязательные для заполнения поля для входа",
    "обнаружены некорректные значения в следующих числовых параметрах",
    "Длина реквизита \"Серийный номер\" входа",
    "Длина реквизита \"Наименование\" входа",
    "Длина реквизита \"Изготовитель\" входа",
    "Длина реквизита \"Владелец\" входа",
    "Не удалось преобразовать значение",
    "Подключенные датчики не приняты",
    "Не заполнен параметр \"Зав. №\"",
    "Не заполнен параметр \"Тип\"",
    "Не заполнен параметр \"Наименование\"",
    "Не заполнен параметр \"Разряд\"",
    "Указано недопустимое значение параметра \"Год вып.\"",
    "Не указан параметр \"Температура\" в строке",
    "Не указан параметр \"Термо-ЭДС\" в строке",
    "Указано недопустимое значение параметра \"Температура\" в строке",
    "Указано недопустимое значение параметра \"Термо-ЭДС\" в строке",
    "Должны быть указаны значения термо-ЭДС хотя бы для трёх температур",
    "Пропущена строка",
    "Укажите температуру окружающего воздуха числом от 10 до 35 °C",
    "Укажите атмосферное давление числом от 80 до 110 кПа",
    "Укажите относительную влажность воздуха числом от 10 до 95 %",
    "Длина строки реквизита \"Другие влияющие факторы\" больше максимальной (128 символов)",
    "Длина строки реквизита \"Замечания по внешнему осмотру\" для входа №",
    "Длина строки реквизита \"Электрическая прочность изоляции\" для входа №",
    "больше максимальной",
    "Установите требуемую температуру в печи, куда помещён пучок",
    "Установите требуемую температуру в термостате, куда помещён пучок",
    "После стабилизации температуры в термостате нажмите кнопку \"ОК\"",
    "Установите на БИ1 переключатель первого канала в положение",
    "Установите на БИ1 переключатель второго канала в положение",
    "Укажите текущую температуру свободных концов эталонного ТП (от -50 до 50 °C)",
    "Подготовка к измерению",
    "Укажите значение поправки из свидетельства о поверке эталонного ртутного стеклянного "
    "термометра, соответствующее температуре",
    "Записать показание всё равно?",
    "не подключен или обрыв термопары",
    "обратная полярность на входе",
    "похоже, в положении",
    "ТЭДС соответствует типу",
    "ТЭДС эталона вне диапазона его градуировки",
    "В базе данных не обнаружены данные для расчёта результатов поверки",
    "Не удалось определить класс для поверяемых ТП",
    "Не удалось извлечь данные поверяемого ТП, подключенного",
    "Не все данные документа умещаются в базе данных выданных документов",
    "Не удалось сохранить настройки в файл",
    "Ускорение учебного режима должно быть числом не меньше 1",
    "В учебном режиме программа работает только с имитатором установки",
    "Не удалось скопировать файл",
    "Не удалось создать папку",
    "не является демонстрационной: в ней могут быть данные лаборатории",
    "Не удалось создать файл",
    "Не удалось запустить имитатор установки",
    "Имитатор установки не создал порт",
    "Сервер базы данных",
    "Работать с файлами таблиц этого компьютера (папка Data)? Поверки, сделанные так, не "
    "попадут на сервер, пока их не перенесут командой kront-cli store copy",
    "Неизвестный вид хранилища",
    "используются файлы таблиц в папке Data",
};

TEST_F(HelpPagesTest, EveryMessageOfTheProgramIsExplained)
{
    QString help;
    for (const QString &page : helpPages())
        help += pageText(kHelpSource + page) + u'\n';

    const QMap<QString, QString> ofTheCode = messagePhrasesOfTheCode();
    // The scan itself works: it finds the messages of the main window and
    // of the start-up check of the tables.
    EXPECT_GT(ofTheCode.size(), 80);
    EXPECT_TRUE(ofTheCode.contains(
        QStringLiteral("Для выполнения поверки укажите параметры подключенных ТП")));
    EXPECT_TRUE(ofTheCode.contains(QStringLiteral(
        "Произошла ошибка при обновлении данных эталонных датчиков! Операция не выполнена")));

    for (auto it = ofTheCode.cbegin(); it != ofTheCode.cend(); ++it)
        EXPECT_TRUE(help.contains(it.key()))
            << it.value().toStdString() << ": " << it.key().toStdString();
    for (const char *message : kMessagesMadeElsewhere)
        EXPECT_TRUE(help.contains(QString::fromUtf8(message))) << message;
}

} // namespace
} // namespace kront
