// The default templates use every variable name their document has, and
// nothing the program would leave unanswered.

#include "reportengine/Report.h"

#include <QSet>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

QString templatePath(const char *name)
{
    return QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol/") + QString::fromUtf8(name);
}

QSet<QString> upper(const QStringList &names)
{
    QSet<QString> out;
    for (const QString &n : names)
        out.insert(n.toUpper());
    return out;
}

QStringList perInput(const QStringList &endings)
{
    QStringList out;
    for (int k = 1; k <= 4; ++k)
        for (const QString &e : endings)
            out << QStringLiteral("POV_TP%1_").arg(k) + e;
    return out;
}

QStringList protocolNames(bool electrode)
{
    QStringList names = {"POV_NUM",        "POV_TYPE",      "POV_DATE", "POV_TP_TYPES",
                         "POV_CONDITIONS", "EquipParamsTP", "E_ET_AVG", "PR_ET",
                         "T_ET_AVG",       "T_SK",          "E_TSK",    "PovName"};
    names << perInput({"NOTES", "STRENGTH", "RESIST_POS", "RESIST_NEG", "RESIST_AVG", "ZAKL",
                       "RES_CLS", "TYPE", "NUM", "GOD", "CLS", "OWNER", "WDT", "DIAM", "MASS"});
    QStringList method;
    const int measurements = electrode ? 2 : 4;
    for (int m = 1; m <= measurements; ++m)
        method << QStringLiteral("E_ET_%1").arg(m) << QStringLiteral("T_ET_%1").arg(m);
    method << "E_ET_AVG"
           << "PR_ET"
           << "T_ET_AVG"
           << "T_SK"
           << "E_TSK";
    QStringList endings;
    if (electrode) {
        endings = {"VALe1_1", "VALe1_2",   "VALe2_1", "VALe2_2",   "VALe1_AVG", "VALe2_AVG",
                   "VAL_DE",  "VAL_E_POV", "E_NSH",   "VAL_DELTA", "DELTA_DOP"};
    } else {
        endings = {"VAL_1",    "VAL_2",      "VAL_3", "VAL_4",     "VAL_AVG",
                   "VAL_ETSK", "VAL_EPRPOV", "E_NSH", "VAL_DELTA", "DELTA_DOP"};
    }
    method << perInput(endings);
    names << method;
    for (const QString &n : method)
        names << QStringLiteral("I_") + n;
    names << "BURN_STAGE"
          << "BURN_STAGE_NUM" << perInput({"DELTA_N"}).replaceInStrings("POV", "I_POV");
    return names;
}

TEST(DefaultTemplates, UseEveryNameOfTheirDocument)
{
    const QStringList certificate = {
        "POV_KIND",    "NAIM_SI",        "ZAV_NUM",   "GOD_V",
        "NAIM_VLAD",   "CLASS",          "DOLG_RUK",  "DIAM",
        "MASSA",       "NAIM_POVERITEL", "DATE_SVID", "NUM_SVID",
        "DATE_ACTING", "GLUBINA",        "DLINA",     "ADDITIONAL_PARAMS",
        "NAME_POV",    "SER_NUM_PRED",   "NAME_RUK",  "PRINTED"};
    const QStringList notice = {"POV_KIND", "NAIM_SI",        "ZAV_NUM",  "GOD_V",   "NAIM_VLAD",
                                "DOLG_RUK", "NAIM_POVERITEL", "DATE_IZV", "NUM_IZV", "PRICHINA",
                                "NAME_POV", "SER_NUM_PRED",   "NAME_RUK", "PRINTED"};
    const struct {
        const char *file;
        QStringList names;
    } cases[] = {
        {"Протокол поверки ТП методом прямых измерений.fr3", protocolNames(false)},
        {"Протокол поверки ТП методом поэлектродного сличения.fr3", protocolNames(true)},
        {"Свидетельство ТП.fr3", certificate},
        {"Извещение ТП.fr3", notice},
    };
    for (const auto &c : cases) {
        report::Report r;
        ASSERT_TRUE(r.loadFromFile(templatePath(c.file)))
            << c.file << ": " << r.errorString().toStdString();
        QSet<QString> used = upper(r.usedNames());
        for (const QString &v : r.variableNames())
            used.insert(v.toUpper());
        const QSet<QString> expected = upper(c.names);
        for (const QString &n : expected)
            EXPECT_TRUE(used.contains(n)) << c.file << " lacks " << n.toStdString();
        for (const QString &n : used)
            EXPECT_TRUE(expected.contains(n) || n.startsWith(u'#'))
                << c.file << " uses the unknown name " << n.toStdString();
    }
}

TEST(DefaultTemplates, HoldTheComponentsTheProgramSwitches)
{
    for (const char *file : {"Протокол поверки ТП методом прямых измерений.fr3",
                             "Протокол поверки ТП методом поэлектродного сличения.fr3"}) {
        report::Report r;
        ASSERT_TRUE(r.loadFromFile(templatePath(file)));
        EXPECT_NE(r.findBand("MasterData2"), nullptr) << file;
        EXPECT_NE(r.findBand("MasterData3"), nullptr) << file;
        EXPECT_NE(r.findPage("Page3"), nullptr) << file;
        EXPECT_TRUE(r.hasVariable("PovName")) << file;
    }
    for (const char *file : {"Свидетельство ТП.fr3", "Извещение ТП.fr3"}) {
        report::Report r;
        ASSERT_TRUE(r.loadFromFile(templatePath(file)));
        const report::DialogPage *dialog = r.findDialogPage("DialogPage1");
        ASSERT_NE(dialog, nullptr) << file;
        ASSERT_FALSE(dialog->buttons.empty());
        EXPECT_EQ(dialog->buttons.front().text, QStringLiteral("Принять"));
    }
    report::Report cert;
    ASSERT_TRUE(cert.loadFromFile(templatePath("Свидетельство ТП.fr3")));
    EXPECT_EQ(cert.findDialogPage("DialogPage1")->caption,
              QStringLiteral("Реквизиты свидетельства"));
    QStringList labels;
    for (const auto &f : cert.findDialogPage("DialogPage1")->fields)
        labels << f.label;
    EXPECT_EQ(labels, QStringList({"Номер свидетельства:", "Действительно до:",
                                   "Серия и номер клейма предыдущей поверки (если имеются):",
                                   "Инициалы, фамилия руководителя подразделения:",
                                   "Инициалы, фамилия поверителя:", "Глубина погружения ЧЭ ТП, мм:",
                                   "Длина термоэлектродов ЧЭ ТП, мм:"}));
}

} // namespace
} // namespace kront::test
