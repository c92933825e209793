#include "reports/PoverkaLoader.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "model/StageProgression.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

namespace kront
{

namespace
{

const QString kPoverkiOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных поверок ТП! Устаните причину и перезапустите программу.");
const QString kBunchesOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных пучков ТП! Устаните причину и перезапустите программу.");
const QString kNoBunches =
    QStringLiteral("Не найдены данные в базе данных пучков ТП для указанной поверки!");
const QString kEtalReadFailure =
    QStringLiteral("Не удалось извлечь данные эталонного ТП из базы данных! Операция отменена.");

void copyPoverkaRow(const QVariantMap &r, TPoverka &p)
{
    p.ID = r.value(QStringLiteral("ID")).toInt();
    p.PovNum = r.value(QStringLiteral("PovNum")).toString();
    p.Started = r.value(QStringLiteral("Started")).toDateTime();
    p.Finished = r.value(QStringLiteral("Finished")).toDateTime();
    p.GOSTnum = r.value(QStringLiteral("GOSTnum")).toString();
    p.Methodic = r.value(QStringLiteral("Methodic")).toInt() != 0 ? 1 : 0;
    p.Kind = r.value(QStringLiteral("Kind")).toInt() != 0 ? 1 : 0;
    p.InstabilityCheckNeeded = r.value(QStringLiteral("InstabilityCheckNeeded")).toBool();
    p.TempPointsCount = quint32(qMax(0, r.value(QStringLiteral("TempPointsCount")).toInt()));
    QString means = r.value(QStringLiteral("EquipmentParams")).toString();
    means.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    p.EquipmentParams = means.isEmpty() ? QStringList() : means.split(u'\n');
    while (!p.EquipmentParams.isEmpty() && p.EquipmentParams.last().isEmpty())
        p.EquipmentParams.removeLast();
    DecodeState(p, r.value(QStringLiteral("CurrPovState")).toString());
}

// Loads the bunches of the verification into slots 1 and 2.
bool loadBunches(Database &db, Dialogs &dialogs, TPoverka &p, int poverkaID)
{
    const auto rows = db.select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(poverkaID),
                                QStringLiteral("ID"), -1, kBunchesOpenFailure);
    if (!rows)
        return false;
    if (rows->empty()) {
        dialogs.error(kNoBunches);
        return false;
    }
    int slot = 1;
    for (const QVariantMap &r : *rows) {
        if (slot > 2)
            break; // a verification has two channels; further rows are not printable
        auto bunch = std::make_unique<TBunch>();
        bunch->ID = r.value(QStringLiteral("ID")).toInt();
        bunch->ChannelNum = quint32(qMax(0, r.value(QStringLiteral("ChannelNum")).toInt()));
        bunch->PovTerminated = r.value(QStringLiteral("PovTerminated")).toBool();
        bunch->PovTermMeasPointNum =
            quint32(qMax(0, r.value(QStringLiteral("PovTermMeasPointNum")).toInt()));
        TBunch *b = p.AdoptBunch(slot, std::move(bunch));
        if (!b)
            return false;
        const int etalID = r.value(QStringLiteral("EtalSensorID")).toInt();
        if (etalID > 0 && !db.DBReadEtalSensor(etalID, *b)) {
            dialogs.error(kEtalReadFailure);
            return false;
        }
        for (int k = 1; k <= 4; ++k) {
            const int sensorID = r.value(QStringLiteral("PovSensorID%1").arg(k)).toInt();
            if (sensorID <= 0)
                continue;
            // A sensor row that has gone is as unreadable as a table that
            // cannot be opened: a protocol without it would be wrong.
            if (!db.DBReadPovSensor(sensorID, k, *b, nullptr) || !b->Sensor(k)) {
                dialogs.error(PovSensorReadFailureText(k));
                return false;
            }
        }
        ++slot;
    }
    return true;
}

std::unique_ptr<TPoverka> load(Database &db, Dialogs &dialogs, int poverkaID, bool rowRequired)
{
    auto p = std::make_unique<TPoverka>();
    p->ChannelUnused = {false, true, true};
    const auto rows = db.select(tables::Poverki, QStringLiteral("ID = %1").arg(poverkaID),
                                QStringLiteral("ID"), 1, kPoverkiOpenFailure);
    if (!rows)
        return nullptr;
    if (!rows->empty())
        copyPoverkaRow(rows->front(), *p);
    else if (rowRequired) {
        dialogs.error(QStringLiteral("Не найдены данные в базе данных поверок!"));
        return nullptr;
    }
    if (!loadBunches(db, dialogs, *p, poverkaID))
        return nullptr;
    return p;
}

} // namespace

QString PovSensorReadFailureText(int input)
{
    static const char16_t *const words[] = {u"к 1-му входу", u"ко 2-му входу", u"к 3-му входу",
                                            u"к 4-му входу"};
    const QString word = input >= 1 && input <= 4 ? QString::fromUtf16(words[input - 1])
                                                  : QStringLiteral("к %1-му входу").arg(input);
    return QStringLiteral("Не удалось извлечь данные поверяемого ТП, подключенного ") + word +
           QStringLiteral(", из базы данных! Операция отменена.");
}

std::unique_ptr<TPoverka> LoadPoverkaForProtocol(Database &db, Dialogs &dialogs, int poverkaID)
{
    return load(db, dialogs, poverkaID, false);
}

std::unique_ptr<TPoverka> LoadStoredPoverka(Database &db, Dialogs &dialogs, int poverkaID)
{
    return load(db, dialogs, poverkaID, true);
}

} // namespace kront
