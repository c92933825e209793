#include "Expectations.h"

#include "E2eDialogs.h"
#include "WizardDriver.h"
#include "db/Database.h"
#include "db/FilterText.h"
#include "reports/ResultsSearch.h"

#include <QRegularExpression>
#include <QVariantMap>

namespace kront::e2e
{

namespace
{

struct Checker {
    const Scenario &sc;
    Database &db;
    const E2eDialogs &dialogs;
    const WizardDriver &driver;
    QStringList failures;
    std::optional<QVariantMap> poverka;

    void fail(const Expectation &e, const QString &why)
    {
        failures << QStringLiteral("%1:%2: %3 = %4: %5")
                        .arg(sc.path)
                        .arg(e.line)
                        .arg(e.key, e.value, why);
    }

    std::vector<QVariantMap> rows(const TableSchema &table, const QString &filter)
    {
        return db.select(table, filter).value_or(std::vector<QVariantMap>{});
    }

    // The verification of the scenario: the last one stored with its number.
    bool findPoverka()
    {
        const auto found =
            rows(tables::Poverki, QStringLiteral("PovNum = '") + quoteFilterText(sc.number) + "'");
        if (!found.empty())
            poverka = found.back();
        return poverka.has_value();
    }

    std::optional<QVariantMap> bunch(int channel)
    {
        const auto found =
            rows(tables::BunchesTP, QStringLiteral("PoverkaID = %1 and ChannelNum = %2")
                                        .arg(poverka->value("ID").toInt())
                                        .arg(channel));
        if (found.empty())
            return std::nullopt;
        return found.front();
    }

    bool shownContaining(const QString &text) const
    {
        for (const auto &s : dialogs.shown)
            if (s.text.contains(text))
                return true;
        return false;
    }

    // `status = TEXT`: some message panel showed TEXT exactly; "<date time>"
    // in TEXT stands for the date and time the program put there, which must
    // be the program's time when the text appeared (within a minute: the
    // program clock runs fast, and a loaded machine may pause between the two
    // readings of it).
    void checkStatus(const Expectation &e)
    {
        static const QString kStamp = QStringLiteral("<date time>");
        QString pattern = QRegularExpression::escape(e.value);
        pattern.replace(QRegularExpression::escape(kStamp),
                        QStringLiteral("(\\d\\d\\.\\d\\d\\.\\d{4} "
                                       "\\d\\d:\\d\\d:\\d\\d)"));
        const QRegularExpression re(QRegularExpression::anchoredPattern(pattern));
        QString stale;
        for (const auto &s : driver.statuses) {
            const auto m = re.match(s.text);
            if (!m.hasMatch())
                continue;
            if (!e.value.contains(kStamp))
                return;
            const QDateTime shown =
                QDateTime::fromString(m.captured(1), QStringLiteral("dd.MM.yyyy hh:mm:ss"));
            if (shown.isValid() && qAbs(shown.secsTo(s.at)) <= 60)
                return;
            stale = QStringLiteral("shown \"%1\" at %2")
                        .arg(s.text, s.at.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")));
        }
        fail(e, stale.isEmpty() ? QStringLiteral("never shown") : stale);
    }

    // `search_points = N`: the results search by the scenario's number lists its verification
    // with N in "Количество значений температуры".
    void checkSearchPoints(const Expectation &e)
    {
        SearchConditions byNumber;
        byNumber.povNumChecked = true;
        byNumber.povNum = sc.number;
        const auto found = SearchFinishedPoverki(db, byNumber, QDate());
        const QString id = poverka->value("ID").toString();
        for (const SearchRow &r : found.value_or(std::vector<SearchRow>{})) {
            if (r[scID] != id)
                continue;
            if (r[scPointsCount] != e.value)
                fail(e, QStringLiteral("shown \"%1\"").arg(r[scPointsCount]));
            return;
        }
        fail(e, QStringLiteral("not found by the search"));
    }

    // `documents = CERTIFICATES NOTICES`: the documents issued for the
    // sensors of the verification, by kind.
    void checkDocuments(const Expectation &e)
    {
        int counts[2] = {0, 0};
        for (int channel = 1; channel <= 2; ++channel) {
            const auto b = bunch(channel);
            for (int input = 1; b && input <= 4; ++input) {
                const QString id =
                    b->value(QStringLiteral("EmittedDocIDInp") + QString::number(input)).toString();
                if (id.isEmpty() || id == u"0")
                    continue;
                const auto doc = rows(tables::Documents, QStringLiteral("ID = ") + id);
                if (!doc.empty())
                    ++counts[doc.front().value("DocType").toBool() ? 1 : 0];
            }
        }
        const QString got = QStringLiteral("%1 %2").arg(counts[0]).arg(counts[1]);
        if (got != e.args.mid(0, 2).join(u' '))
            fail(e, QStringLiteral("issued \"%1\"").arg(got));
    }

    void check(const Expectation &e)
    {
        const QStringList &a = e.args;
        if (e.key == u"status")
            return checkStatus(e);
        if (e.key == u"no_status") {
            for (const auto &s : driver.statuses)
                if (s.text.contains(e.value))
                    return fail(e, QStringLiteral("shown \"%1\"").arg(s.text));
            return;
        }
        if (e.key == u"no_value") {
            for (const QString &v : driver.measuredValues)
                if (v.contains(e.value))
                    return fail(e, QStringLiteral("shown \"%1\"").arg(v));
            return;
        }
        if (e.key == u"title" || e.key == u"protocol_text" || e.key == u"step") {
            const QString seen = e.key == u"title"           ? driver.windowTitles.join(u'\n')
                                 : e.key == u"protocol_text" ? driver.protocolText
                                                             : driver.expectedStep;
            if (!seen.contains(e.value))
                fail(e, QStringLiteral("not in \"%1\"").arg(seen.left(300)));
            return;
        }
        if (e.key == u"resumed_at") {
            if (driver.resumedStates != a)
                fail(e, QStringLiteral("continued at \"%1\"").arg(driver.resumedStates.join(' ')));
            return;
        }
        if (e.key == u"message") {
            if (!shownContaining(e.value))
                fail(e, QStringLiteral("never shown"));
            return;
        }
        if (e.key == u"messages" && !a.isEmpty()) {
            const QString text = e.value.section(QRegularExpression(QStringLiteral("\\s+")), 1);
            int n = 0;
            for (const auto &s : dialogs.shown)
                n += s.text.contains(text) ? 1 : 0;
            if (n != a[0].toInt())
                fail(e, QStringLiteral("shown %1 times").arg(n));
            return;
        }
        if (e.key == u"no_message") {
            if (shownContaining(e.value))
                fail(e, QStringLiteral("shown"));
            return;
        }
        if (e.key == u"resumptions") {
            if (driver.resumptions != e.value.toInt())
                fail(e, QStringLiteral("%1 resumptions").arg(driver.resumptions));
            return;
        }
        if (e.key == u"conclusion" && a.size() >= 3) {
            const QStringList row =
                driver.conclusion[size_t(a[0].toInt() % 3)][size_t(a[1].toInt() % 5)];
            const int col = a[2].toInt();
            QString want = e.value.section(QRegularExpression(QStringLiteral("\\s+")), 3);
            if (want == u"-")
                want.clear(); // an empty cell
            const QString got = col >= 0 && col < row.size() ? row[col] : QString();
            if (got.trimmed() != want.trimmed())
                fail(e, QStringLiteral("shown \"%1\"").arg(got));
            return;
        }
        if (!poverka)
            return fail(e, QStringLiteral("no verification with number ") + sc.number);
        if (e.key == u"state") {
            const QString state = poverka->value("CurrPovState").toString();
            if (state != e.value)
                fail(e, QStringLiteral("stored \"%1\"").arg(state));
        } else if (e.key == u"finished") {
            const bool finished = !poverka->value("Finished").isNull();
            if (finished != (e.value == u"1"))
                fail(e, finished ? QStringLiteral("finished") : QStringLiteral("not finished"));
        } else if (e.key == u"result" && a.size() >= 2) {
            const auto b = bunch(a[0].toInt());
            const QString want = a.size() > 2 ? a[2] : QString();
            const QString got =
                b ? b->value(QStringLiteral("ResultInp") + a[1]).toString() : QStringLiteral("-");
            if (got != (want == u"-" ? QString() : want))
                fail(e, QStringLiteral("stored \"%1\"").arg(got));
        } else if (e.key == u"documents" && a.size() >= 2) {
            checkDocuments(e);
        } else if (e.key == u"search_points") {
            checkSearchPoints(e);
        } else if (e.key == u"terminated" && a.size() >= 2) {
            const auto b = bunch(a[0].toInt());
            const bool term = b && b->value("PovTerminated").toBool();
            if (term != (a[1] == u"1"))
                fail(e, term ? QStringLiteral("terminated") : QStringLiteral("not terminated"));
            if (a.size() > 2 && b && b->value("PovTermMeasPointNum").toString() != a[2])
                fail(e, QStringLiteral("at point ") + b->value("PovTermMeasPointNum").toString());
        } else if ((e.key == u"measure_rows" || e.key == u"rows") && a.size() >= 2) {
            const auto b = bunch(a[0].toInt());
            if (!b)
                return fail(e, QStringLiteral("no bunch of that channel"));
            QString filter = QStringLiteral("BunchID = %1").arg(b->value("ID").toInt());
            if (e.key == u"measure_rows")
                filter += QStringLiteral(" and Operation = 'Measure'");
            else if (a.size() >= 3)
                filter += QStringLiteral(" and Operation = '") +
                          quoteFilterText(a.mid(2).join(' ')) + "'";
            const int n = int(rows(tables::ResultsTP, filter).size());
            if (n != a[1].toInt())
                fail(e, QStringLiteral("%1 rows").arg(n));
        } else if (e.key == u"reference" && a.size() >= 3) {
            const auto b = bunch(a[0].toInt());
            if (!b)
                return fail(e, QStringLiteral("no bunch of that channel"));
            const auto etal = rows(tables::EtalSens,
                                   QStringLiteral("ID = %1").arg(b->value("EtalSensorID").toInt()));
            const QString got = etal.empty() ? QStringLiteral("no register entry")
                                             : etal.front().value("SerialNum").toString() + u' ' +
                                                   etal.front().value("ClassDop").toString();
            if (got != a[1] + u' ' + a[2])
                fail(e, QStringLiteral("stored \"%1\"").arg(got));
        } else {
            fail(e, QStringLiteral("unknown expectation"));
        }
    }
};

} // namespace

QStringList checkExpectations(const Scenario &sc, Database &db, const E2eDialogs &dialogs,
                              const WizardDriver &driver)
{
    Checker c{sc, db, dialogs, driver, {}, std::nullopt};
    c.findPoverka();
    for (const Expectation &e : sc.expectations)
        c.check(e);
    // An error box nobody expected is a failure of the run.
    for (const auto &s : dialogs.shown) {
        if (s.icon != Dialogs::Icon::Error)
            continue;
        bool expected = false;
        for (const Expectation &e : sc.expectations)
            expected = expected || (e.key == u"message" && s.text.contains(e.value));
        if (!expected)
            c.failures << QStringLiteral("unexpected error message: ") + s.text;
    }
    return c.failures;
}

} // namespace kront::e2e
