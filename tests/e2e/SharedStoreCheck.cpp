#include "SharedStoreCheck.h"

#include "db/Database.h"

#include <QSet>
#include <QVariantMap>

#include <algorithm>
#include <map>

namespace kront::e2e
{

namespace
{

struct Check {
    Database &db;
    const std::vector<Participant> &all;
    QStringList failures;

    std::vector<QVariantMap> rows(const TableSchema &table)
    {
        auto found = db.select(table, QString());
        if (!found)
            failures << QStringLiteral("the table %1 could not be read")
                            .arg(QString::fromLatin1(table.name));
        return found.value_or(std::vector<QVariantMap>{});
    }

    // Which participant a verification ID is; -1 for none.
    int ownerOf(int poverkaID) const
    {
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].seen.poverkaID == poverkaID)
                return int(i);
        return -1;
    }

    void verifications()
    {
        const auto poverki = rows(tables::Poverki);
        if (poverki.size() != all.size())
            failures << QStringLiteral("%1 verifications stored, %2 made")
                            .arg(poverki.size())
                            .arg(all.size());
        std::vector<int> ids;
        for (const Participant &p : all) {
            const int id = verificationNumbered(db, p.number);
            if (id == 0 || id != p.seen.poverkaID)
                failures << QStringLiteral("%1: verification %2 stored with ID %3, its run saw %4")
                                .arg(p.installation, p.number)
                                .arg(id)
                                .arg(p.seen.poverkaID);
            ids.push_back(p.seen.poverkaID);
        }
        const auto marks = db.installationsOf(ids);
        if (!marks)
            return;
        for (const Participant &p : all) {
            const auto it = marks->find(p.seen.poverkaID);
            const QString got = it == marks->end() ? QStringLiteral("<none>") : it->second;
            if (got != p.installation)
                failures << QStringLiteral("%1: verification %2 marked as of installation \"%3\"")
                                .arg(p.installation, p.number, got);
        }
        if (const auto marked = rows(tables::Installations); marked.size() != all.size())
            failures << QStringLiteral("%1 installation marks for %2 verifications")
                            .arg(marked.size())
                            .arg(all.size());
    }

    void asSeen()
    {
        for (const Participant &p : all) {
            const auto stored = rowsOf(db, p.seen.poverkaID);
            if (stored && *stored != p.seen)
                failures << QStringLiteral("%1: the database holds \"%2\", its run saw \"%3\"")
                                .arg(p.installation, stored->line(), p.seen.line());
        }
    }

    // Every bunch and calculation row of a verification made here, a
    // calculation row under a bunch of its own verification.
    void bunchesAndResults()
    {
        std::map<int, int> bunchOwner; // bunch ID -> PoverkaID
        int bunches = 0, results = 0;
        for (const Participant &p : all) {
            bunches += p.seen.bunches;
            results += p.seen.results;
        }
        const auto bunchRows = rows(tables::BunchesTP);
        for (const QVariantMap &b : bunchRows) {
            const int poverka = b.value(QStringLiteral("PoverkaID")).toInt();
            bunchOwner[b.value(QStringLiteral("ID")).toInt()] = poverka;
            if (ownerOf(poverka) < 0)
                failures << QStringLiteral("bunch %1 of no verification made here (%2)")
                                .arg(b.value(QStringLiteral("ID")).toInt())
                                .arg(poverka);
        }
        const auto resultRows = rows(tables::ResultsTP);
        int crossed = 0;
        for (const QVariantMap &r : resultRows) {
            const int poverka = r.value(QStringLiteral("PoverkaID")).toInt();
            const auto bunch = bunchOwner.find(r.value(QStringLiteral("BunchID")).toInt());
            if (ownerOf(poverka) < 0 || bunch == bunchOwner.end() || bunch->second != poverka)
                ++crossed;
        }
        if (crossed > 0)
            failures << QStringLiteral("%1 calculation rows under a bunch of another or of no "
                                       "verification")
                            .arg(crossed);
        if (int(bunchRows.size()) != bunches || int(resultRows.size()) != results)
            failures << QStringLiteral("%1 bunches and %2 calculation rows stored, the runs saw "
                                       "%3 and %4")
                            .arg(bunchRows.size())
                            .arg(resultRows.size())
                            .arg(bunches)
                            .arg(results);
    }

    // The IDs a list of each participant names are named by one participant
    // only, and the table holds no others.
    void ownedOnce(const TableSchema &table, QList<int> VerificationRows::*list)
    {
        QSet<int> named;
        int total = 0;
        for (const Participant &p : all) {
            for (int id : p.seen.*list) {
                if (named.contains(id))
                    failures << QStringLiteral("%1 row %2 named by two verifications")
                                    .arg(QString::fromLatin1(table.name))
                                    .arg(id);
                named.insert(id);
            }
            total += int((p.seen.*list).size());
        }
        const auto stored = rows(table);
        if (int(stored.size()) != total)
            failures << QStringLiteral("%1 rows in %2, the verifications name %3")
                            .arg(stored.size())
                            .arg(QString::fromLatin1(table.name))
                            .arg(total);
    }

    // Document numbers of one kind (certificates, notices) are 1..n, each once.
    void documentNumbers()
    {
        std::map<bool, QList<int>> byKind;
        for (const QVariantMap &d : rows(tables::Documents))
            byKind[d.value(QStringLiteral("DocType")).toBool()]
                << d.value(QStringLiteral("DocNum")).toString().toInt();
        for (auto &[notice, numbers] : byKind) {
            std::sort(numbers.begin(), numbers.end());
            QList<int> expected;
            for (int n = 1; n <= numbers.size(); ++n)
                expected << n;
            if (numbers != expected) {
                QStringList texts;
                for (int n : numbers)
                    texts << QString::number(n);
                failures << QStringLiteral("%1 numbers %2: not each of 1..%3 once")
                                .arg(notice ? QStringLiteral("notice")
                                            : QStringLiteral("certificate"),
                                     texts.join(u','))
                                .arg(numbers.size());
            }
        }
    }

    void registerEntries(int references)
    {
        const auto entries = rows(tables::EtalSens);
        if (int(entries.size()) != references)
            failures << QStringLiteral("%1 register entries, %2 were registered before the runs")
                            .arg(entries.size())
                            .arg(references);
        QSet<int> ids;
        for (const QVariantMap &e : entries)
            ids.insert(e.value(QStringLiteral("ID")).toInt());
        for (const Participant &p : all)
            for (int id : p.seen.references)
                if (!ids.contains(id))
                    failures << QStringLiteral("%1: a bunch names the register entry %2, which "
                                               "is not there")
                                    .arg(p.installation)
                                    .arg(id);
    }
};

} // namespace

QStringList checkSharedStore(Database &db, const std::vector<Participant> &all, int references)
{
    Check c{db, all, {}};
    c.verifications();
    c.asSeen();
    c.bunchesAndResults();
    c.ownedOnce(tables::Sensors, &VerificationRows::sensors);
    c.ownedOnce(tables::Documents, &VerificationRows::documents);
    c.documentNumbers();
    c.registerEntries(references);
    return c.failures;
}

} // namespace kront::e2e
