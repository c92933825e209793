#include "reports/NoticeReasonsRecords.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "reports/NoticeReasons.h"
#include "reports/PoverkaLoader.h"

namespace kront
{

QString NoticeReasonsFor(Database &db, Dialogs &dialogs, int poverkaID, int bunchID, int input,
                         bool reduceResultClass)
{
    const std::unique_ptr<TPoverka> poverka = LoadStoredPoverka(db, dialogs, poverkaID);
    if (!poverka)
        return QString();
    ProtocolState state;
    state.poverka = poverka.get();
    for (int slot = 1; slot <= 2; ++slot)
        if (poverka->Bunches[slot] && poverka->Bunches[slot]->ID == bunchID)
            state.ProtChannelSlot = slot;
    const TBunch *bunch = state.bunch();
    const TThermometer *sensor = bunch ? bunch->Sensor(input) : nullptr;
    if (!sensor)
        return QString();
    // The results as the protocol reads them.
    const bool electrode = poverka->Methodic != 0;
    state.ProtBunchID = bunchID;
    state.ProtPointsCount = ProtocolPointsCount(*poverka, *bunch);
    if (electrode)
        state.ProtPointsElectrode.resize(state.ProtPointsCount);
    else
        state.ProtPointsDirect.resize(state.ProtPointsCount);
    DBGetProtData(db, state, poverkaID, bunchID); // points not stored stay absent

    NoticeReasonsData data;
    data.characteristicIndex = NSHCharacteristicIndex(sensor->NSHType);
    data.classNumber = ClassNumber(*sensor);
    data.reduceResultClass = reduceResultClass;
    data.points = NoticePointsOf(state, electrode, input);
    data.terminated = bunch->PovTerminated;
    const BunchTPDetails details = DBGetBunchTPDetails(db, bunchID);
    data.inspectionRemarks = details.notes[input];
    data.insulationStrength = details.strength[input];
    return NoticeReasonsText(data);
}

bool StoreNoticeReasons(Database &db, Dialogs &, int docID, const QString &reasons)
{
    const TableSchema &table = tables::IzvReasons;
    if (!db.ensureTable(table))
        return false;
    return db.insertRows(table, {TableRow(table, {{"DocID", docID}, {"Reasons", reasons}})});
}

std::optional<QString> StoredNoticeReasons(Database &db, int docID)
{
    const TableSchema &table = tables::IzvReasons;
    if (!db.hasTable(table))
        return std::nullopt;
    const auto rows =
        db.select(table, QStringLiteral("DocID = %1").arg(docID), QStringLiteral("ID"));
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->back().value(QStringLiteral("Reasons")).toString();
}

} // namespace kront
