// Hostile texts typed into every field of the settings window "Настройка":
// each is refused as it is typed or saved by "Применить" exactly as the field
// shows it, comes back into the field at the next start, fits the column of
// the documents it goes into, and every other line of the settings file keeps
// its value.
#include "app/ui/TFormMKRONTSettings.h"
#include "common/AnsiTextFile.h"
#include "common/IniFile.h"
#include "reports/DocumentRecords.h"
#include "tests/app/AppTestFixture.h"
#include "tests/sensors/ui/GridTyping.h"
#include "tests/support/HostileTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <functional>
#include <memory>

namespace kront::test
{
namespace
{

// Every key of the settings file with a value other than its default, a key the
// program does not know and a comment.
const QStringList kSeeded = {"; written by hand",
                             "[CommunicationParams]",
                             "Port=/dev/ttyUSB0",
                             "TAVER-7Channel=2",
                             "BI1_TInputInvertedPolarity=1",
                             "",
                             "[ProgramSettings]",
                             "TemperatureStabilityControl=0",
                             "WaitForFixedValue=0",
                             "ReduceResultClass=1",
                             "OfferPoverkaTermination=1",
                             "ConnectionCheck=0",
                             "StabilityForecast=0",
                             "",
                             "[DocumentsSettings]",
                             "MetrologyOrganName=ФБУ «ЦСМ»|Отдел поверки",
                             "RukDolgnost=Начальник",
                             "SvidAutoNum=1",
                             "SvidNextNum=17",
                             "SvidDigitsCount=4",
                             "IzvAutoNum=1",
                             "IzvNextNum=107",
                             "IzvDigitsCount=5",
                             "Operator=Иванов",
                             "",
                             "[PoverkaTP]",
                             "TemperaturePointsCount=3"};

// Types into a plain text edit as the keyboard would; a line break is Enter.
QString typeIntoMemo(QPlainTextEdit *memo, const QString &text)
{
    memo->setFocus();
    memo->selectAll();
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(memo, &backspace);
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, ch == u'\n' ? Qt::Key_Return : 0, Qt::NoModifier,
                        QString(ch));
        QApplication::sendEvent(memo, &press);
    }
    return memo->toPlainText();
}

// A field of the window: how text is typed into it, what it shows, what it
// takes of a typed text, the key it is saved to, the key's value for what it
// shows, and what the field shows at the next start for that value.
struct Field {
    const char *name;
    const char *key; // of [CommunicationParams] or [DocumentsSettings]
    std::function<QString(TFormMKRONTSettings &, const QString &)> type;
    std::function<QString(TFormMKRONTSettings &)> shown;
    std::function<QString(const QString &)> takes;   // empty: the box's own rules
    std::function<QString(const QString &)> applied; // shown once the editing is over
    std::function<QString(const QString &)> fileValue;
    std::function<QString(const QString &)> reloaded;
};

QString same(const QString &text)
{
    return text;
}

// The file keeps a value without the blanks at its ends.
QString trimmed(const QString &text)
{
    return text.trimmed();
}

std::vector<Field> fields(const QStringList &ports)
{
    // A number box without a number shows its last number again.
    auto spin = [](const char *name, const char *key, QSpinBox *TFormMKRONTSettings::*box,
                   const QString &seeded) {
        return Field{name,
                     key,
                     [box](TFormMKRONTSettings &w, const QString &text) {
                         return typeIntoLineEdit((w.*box)->findChild<QLineEdit *>(), text);
                     },
                     [box](TFormMKRONTSettings &w) { return (w.*box)->text(); },
                     {},
                     [seeded](const QString &shown) { return shown.isEmpty() ? seeded : shown; },
                     same,
                     same};
    };
    // A line edit takes no line break.
    auto oneLine = [](const QString &text) { return QString(text).remove(u'\n'); };
    return {
        // A port that is not there at the next start leaves the first port found selected.
        {"ComboBoxFoundPorts", "Port",
         [](TFormMKRONTSettings &w, const QString &text) {
             return typeIntoLineEdit(w.ComboBoxFoundPorts->lineEdit(), text);
         },
         [](TFormMKRONTSettings &w) { return w.ComboBoxFoundPorts->currentText(); }, oneLine, same,
         trimmed,
         [ports](const QString &value) { return ports.contains(value) ? value : ports.first(); }},
        // The organ name goes into documents in quotes, into a column of 255
        // characters; the file keeps its lines joined with "|".
        {"MemoOrganName", "MetrologyOrganName",
         [](TFormMKRONTSettings &w, const QString &text) {
             return typeIntoMemo(w.MemoOrganName, text);
         },
         [](TFormMKRONTSettings &w) { return w.MemoOrganName->toPlainText(); },
         [](const QString &text) { return QString(text).remove(u'|').left(253); }, same,
         [](const QString &shown) { return AnsiTextFile::splitLines(shown).join(u'|').trimmed(); },
         [](const QString &value) {
             QStringList lines = value.split(u'|');
             if (lines.last().isEmpty())
                 lines.removeLast();
             return lines.join(u'\n');
         }},
        // The post goes into documents, into a column of 80 characters.
        {"LabeledEditRukDolgn", "RukDolgnost",
         [](TFormMKRONTSettings &w, const QString &text) {
             return typeIntoLineEdit(w.LabeledEditRukDolgn, text);
         },
         [](TFormMKRONTSettings &w) { return w.LabeledEditRukDolgn->text(); },
         [oneLine](const QString &text) { return oneLine(text).left(80); }, same, trimmed, same},
        spin("JvSpinEditNextSvidNum", "SvidNextNum", &TFormMKRONTSettings::JvSpinEditNextSvidNum,
             "17"),
        spin("JvSpinEditSvidDigitsCount", "SvidDigitsCount",
             &TFormMKRONTSettings::JvSpinEditSvidDigitsCount, "4"),
        spin("JvSpinEditNextIzvNum", "IzvNextNum", &TFormMKRONTSettings::JvSpinEditNextIzvNum,
             "107"),
        spin("JvSpinEditIzvDigitsCount", "IzvDigitsCount",
             &TFormMKRONTSettings::JvSpinEditIzvDigitsCount, "5"),
    };
}

class SettingsWindowSweep : public AppFixture
{
protected:
    QString ini() const { return home.config("kront.INI"); }

    void seed()
    {
        QString error;
        ASSERT_TRUE(AnsiTextFile::writeLines(ini(), kSeeded, &error)) << error.toStdString();
    }

    // The program started again: the window reads the file anew.
    TFormMKRONTSettings &restart()
    {
        window.reset();
        settings.reset();
        window = std::make_unique<TFormMKRONTSettings>(
            dialogs, settings, [](const QString &) { return TFormMKRONTSettings::Rows{}; },
            [this] { return ports; });
        return *window;
    }

    // The file's lines but the one of the key.
    static QStringList otherLines(const QStringList &lines, const QString &key)
    {
        QStringList out;
        for (const QString &line : lines)
            if (!line.startsWith(key + u'='))
                out << line;
        return out;
    }

    ProgramSettings settings;
    std::unique_ptr<TFormMKRONTSettings> window;
};

TEST_F(SettingsWindowSweep, EveryFieldTakesEveryHostileText)
{
    QStringList texts = hostileTexts();
    texts << QStringLiteral("ФБУ «ЦСМ»\nОтдел\n5") << QStringLiteral("\n\nX\n\n")
          << QString(260, u'9') << QStringLiteral("-7") << QStringLiteral("0");
    for (const Field &field : fields(ports)) {
        for (const QString &text : texts) {
            SCOPED_TRACE(QStringLiteral("%1 <%2>").arg(field.name, text).toStdString());
            seed();
            TFormMKRONTSettings *w = &restart();
            const bool commPage = QLatin1String(field.key) == QLatin1String("Port");
            w->pages()->setCurrentIndex(commPage ? 1 : 2);
            w->show();
            const QString shown = field.type(*w, text);
            if (field.takes) {
                EXPECT_EQ(shown, field.takes(text));
            }
            (commPage ? w->ButtonApplyCommParams : w->ButtonApplyProgramSettings)->click();
            EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
            const QString applied = field.shown(*w);
            EXPECT_EQ(applied, field.applied(shown));

            // What was saved is what the field shows.
            const QString section = commPage ? QStringLiteral("CommunicationParams")
                                             : QStringLiteral("DocumentsSettings");
            const QString key = QLatin1String(field.key);
            const QString value = field.fileValue(applied);
            EXPECT_EQ(IniFile(ini()).readString(section, key, QStringLiteral("<none>")), value);
            const auto lines = AnsiTextFile::readLines(ini());
            ASSERT_TRUE(lines);
            EXPECT_EQ(otherLines(*lines, key), otherLines(kSeeded, key));

            w = &restart(); // the next start shows it again
            EXPECT_EQ(field.shown(*w), field.reloaded(value));
            dialogs.clear();
        }
    }
}

// Pasted text is held to the same rules as typed text, wherever it goes in.
TEST_F(SettingsWindowSweep, TheOrganNameTakesPastedTextAsTyped)
{
    TFormMKRONTSettings &w = restart();
    w.show();
    QPlainTextEdit *memo = w.MemoOrganName;
    typeIntoMemo(memo, QStringLiteral("ФБУ\nОтдел"));
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(3);
    memo->setTextCursor(cursor);
    QApplication::clipboard()->setText(QStringLiteral(" «ЦСМ|5»\r\n") + kLong);
    memo->paste();
    const QString pasted = QStringLiteral(" «ЦСМ5»\n") + kLong.left(253 - 9 - 8);
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("ФБУ") + pasted + QStringLiteral("\nОтдел"));
    memo->paste(); // no room left
    EXPECT_EQ(memo->toPlainText().size(), 253);
}

// A hand-edited file may hold texts longer than the documents record: the
// window shows what fits, and the run uses what it shows.
TEST_F(SettingsWindowSweep, TextsTooLongForTheDocumentsAreUsedAsShown)
{
    IniFile file(ini());
    ASSERT_TRUE(file.writeString("DocumentsSettings", "MetrologyOrganName",
                                 QStringLiteral("ФБУ|") + kLong));
    ASSERT_TRUE(file.writeString("DocumentsSettings", "RukDolgnost", kLong));
    TFormMKRONTSettings &w = restart();
    const QString name = QStringLiteral("ФБУ|") + kLong.left(249);
    EXPECT_EQ(w.MemoOrganName->toPlainText(), QString(name).replace(u'|', u'\n'));
    EXPECT_EQ(w.LabeledEditRukDolgn->text(), kLong.left(80));
    EXPECT_EQ(settings.metrologyOrganName(), name);
    EXPECT_EQ(settings.rukDolgnost(), kLong.left(80));
    // A new document records the name whole, in its quotes.
    const TEmittedDoc doc = NewEmittedDoc(TSensOpts{}, true, QDate(2026, 12, 10), settings);
    EXPECT_EQ(doc.MetrologyOrganName, u'\'' + name + u'\'');
    EXPECT_EQ(doc.MetrologyOrganName.size(), 255);
}

} // namespace
} // namespace kront::test
