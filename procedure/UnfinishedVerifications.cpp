#include "procedure/UnfinishedVerifications.h"

#include "common/Dialogs.h"
#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "db/FilterText.h"
#include "model/StageProgression.h"
#include "model/TPoverka.h"
#include "procedure/InstallationScope.h"

namespace kront
{
namespace
{

const QString kPoverkiOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных поверок ТП! Устаните причину и перезапустите программу.");
const QString kBunchesOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных пучков ТП! Устаните причину и перезапустите программу.");

QString inputOrdinal(int input)
{
    switch (input) {
    case 1: return QStringLiteral("к 1-му входу");
    case 2: return QStringLiteral("ко 2-му входу");
    case 3: return QStringLiteral("к 3-му входу");
    default: return QStringLiteral("к 4-му входу");
    }
}

// A stored integer field: 0 for null or anything that is not a number.
int intField(const QVariantMap &row, const char *name)
{
    const QVariant v = row.value(QLatin1String(name));
    bool ok = false;
    const int n = v.isNull() ? 0 : v.toInt(&ok);
    return ok ? n : 0;
}

} // namespace

const std::array<QString, 6> &UnfinishedVerifications::Headers()
{
    static const std::array<QString, 6> headers{
        QStringLiteral("№ поверки"), QStringLiteral("Дата начала"), QStringLiteral("Методика"),
        QStringLiteral("Вид"),       QStringLiteral("Стадия"),      QStringLiteral("ID")};
    return headers;
}

QString UnfinishedVerifications::Filter()
{
    return QStringLiteral("Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND "
                          "CurrPovState <> 'Calculation;1;1;1;'");
}

QString UnfinishedVerifications::StageText(bool instabilityCheckNeeded, const QString &state)
{
    const QString name = state.section(u';', 0, 0);
    const auto charAfter = [&state](int semicolon) {
        int pos = -1;
        for (int i = 0; i < semicolon; ++i) {
            pos = state.indexOf(u';', pos + 1);
            if (pos < 0)
                return QString();
        }
        return state.mid(pos + 1, 1);
    };
    QString text;
    if (name == u"Initiation")
        text = QStringLiteral("Инициализация");
    else if (name == u"Instability")
        text = QStringLiteral("Проверка нестабильности");
    else if (name == u"MainCycle")
        text = QStringLiteral("Определение ТЭДС ЧЭ ТП");
    else if (name == u"Calculation")
        text = QStringLiteral("Обработка результатов");
    const QString done = charAfter(1);
    const QString n = charAfter(2);
    const QString m = charAfter(3);
    if (!instabilityCheckNeeded || done != u"0")
        return text + QStringLiteral(", шаг ") + n + QStringLiteral(" из ") + m;
    const bool after = !n.isEmpty() && n[0].isDigit() && n[0] != u'0';
    return text + (after ? QStringLiteral(", после отжига") : QStringLiteral(", до отжига"));
}

std::optional<std::vector<UnfinishedRow>> UnfinishedVerifications::List()
{
    const auto rows = db.select(tables::Poverki, Filter(), QStringLiteral("ID"), -1,
                                QStringLiteral("Не удалось открыть базу данных поверок! Устаните "
                                               "причину и перезапустите программу."));
    if (!rows)
        return std::nullopt;
    std::vector<int> ids;
    for (const QVariantMap &r : *rows)
        ids.push_back(intField(r, "ID"));
    const auto owners = db.installationsOf(ids);
    if (!owners)
        return std::nullopt;
    std::vector<UnfinishedRow> out;
    for (const QVariantMap &r : *rows) {
        const auto owner = owners->find(intField(r, "ID"));
        if (owner != owners->end() && !installation_scope::isOwn(db, owner->second))
            continue; // another installation's: resumed there only
        UnfinishedRow row;
        const QDateTime started = r.value(QStringLiteral("Started")).toDateTime();
        row.id = intField(r, "ID");
        row.cells[0] = r.value(QStringLiteral("PovNum")).toString();
        row.cells[1] = DateToStr(started.date()) + u' ' + TimeToStr(started.time());
        row.cells[2] = intField(r, "Methodic") != 0 ? QStringLiteral("Поэлектродное сличение")
                                                    : QStringLiteral("Прямые измерения");
        row.cells[3] = intField(r, "Kind") != 0 ? QStringLiteral("Периодическая")
                                                : QStringLiteral("Первичная");
        row.cells[4] = StageText(r.value(QStringLiteral("InstabilityCheckNeeded")).toBool(),
                                 r.value(QStringLiteral("CurrPovState")).toString());
        row.cells[5] = QString::number(row.id);
        out.push_back(row);
    }
    if (out.empty())
        dialogs.information(QStringLiteral("Незавершенные поверки не найдены."));
    return out;
}

void UnfinishedVerifications::Delete(const UnfinishedRow &row)
{
    if (!dialogs.askYesNo(QStringLiteral("Вы действительно хотите удалить поверку №") +
                          row.cells[0] + QStringLiteral(" от ") + row.cells[1] +
                          QStringLiteral(" со всеми её результатами из базы данных?")))
        return;
    const QString sameNumber =
        QStringLiteral("PovNum = '") + quoteFilterText(row.cells[0].trimmed()) +
        QStringLiteral("' and Date(Started) = '") +
        quoteFilterText(row.cells[1].trimmed().left(10)) + QStringLiteral("'");
    // Another installation's verification of the same number and day stays.
    const auto own = installation_scope::ownVerificationIDs(db, sameNumber);
    if (own && !own->empty())
        db.DBDeletePoverka(installation_scope::restrictedTo(sameNumber, *own));
}

std::unique_ptr<TPoverka> UnfinishedVerifications::Resume(const UnfinishedRow &row)
{
    if (!dialogs.askYesNo(QStringLiteral("Вы хотите продолжить поверку №") + row.cells[0] +
                          QStringLiteral(" от ") + row.cells[1] + QStringLiteral("?")))
        return nullptr;
    auto poverka = std::make_unique<TPoverka>();
    const int id = row.cells[5].trimmed().toInt();
    const auto owners = db.installationsOf({id});
    if (!owners)
        return nullptr;
    if (const auto owner = owners->find(id);
        owner != owners->end() && !installation_scope::isOwn(db, owner->second)) {
        dialogs.error(QStringLiteral("Поверка № %1 начата на установке «%2». Продолжить её можно "
                                     "только на этой установке.")
                          .arg(row.cells[0], owner->second));
        return nullptr;
    }
    const auto rows = db.select(tables::Poverki, QStringLiteral("ID = ") + QString::number(id),
                                QStringLiteral("ID"), -1, kPoverkiOpenFailure);
    if (!rows)
        return nullptr;
    if (rows->empty())
        return nullptr; // deleted meanwhile: nothing to resume
    const QVariantMap &r = rows->front();
    poverka->ID = intField(r, "ID");
    poverka->PovNum = r.value(QStringLiteral("PovNum")).toString();
    poverka->Started = r.value(QStringLiteral("Started")).toDateTime();
    poverka->Finished = r.value(QStringLiteral("Finished")).toDateTime();
    poverka->GOSTnum = r.value(QStringLiteral("GOSTnum")).toString();
    poverka->Methodic = intField(r, "Methodic") != 0 ? 1 : 0;
    poverka->Kind = intField(r, "Kind") != 0 ? 1 : 0;
    poverka->InstabilityCheckNeeded = r.value(QStringLiteral("InstabilityCheckNeeded")).toBool();
    poverka->TempPointsCount = quint32(qBound(0, intField(r, "TempPointsCount"), 8));
    poverka->EquipmentParams = QStringList{r.value(QStringLiteral("EquipmentParams")).toString()};
    const QString state = r.value(QStringLiteral("CurrPovState")).toString();
    if (!DecodeState(*poverka, state)) {
        dialogs.error(QStringLiteral("Не удалось прочитать состояние поверки \"") + state +
                      QStringLiteral("\"! Операция отменена."));
        return nullptr;
    }
    poverka->ChannelUnused = {false, true, true};
    if (!readBunches(*poverka))
        return nullptr;
    if (poverka->ChannelCount == 0)
        poverka->ChannelCount = 2;
    return poverka;
}

bool UnfinishedVerifications::readBunches(TPoverka &poverka)
{
    const auto rows =
        db.select(tables::BunchesTP, QStringLiteral("PoverkaID = ") + QString::number(poverka.ID),
                  QStringLiteral("ID"), -1, kBunchesOpenFailure);
    if (!rows)
        return false;
    int slot = 0;
    for (const QVariantMap &r : *rows) {
        if (++slot > 2)
            break; // at most one bunch per channel is ever stored
        auto owned = std::make_unique<TBunch>();
        owned->ID = intField(r, "ID");
        owned->ChannelNum = quint32(intField(r, "ChannelNum"));
        owned->PovTerminated = r.value(QStringLiteral("PovTerminated")).toBool();
        owned->PovTermMeasPointNum = quint32(qMax(0, intField(r, "PovTermMeasPointNum")));
        TBunch *bunch = poverka.AdoptBunch(slot, std::move(owned));
        if (!bunch)
            return false;
        if (bunch->ChannelNum == 1 || bunch->ChannelNum == 2)
            poverka.ChannelUnused[bunch->ChannelNum] = false;
        const int etalID = intField(r, "EtalSensorID");
        if (etalID > 0 && (!db.DBReadEtalSensor(etalID, *bunch) || !bunch->EtalSensor)) {
            dialogs.error(QStringLiteral("Не удалось извлечь данные эталонного ТП из базы данных! "
                                         "Операция отменена."));
            return false;
        }
        for (int n = 1; n <= 4; ++n) {
            const int sensorID = intField(r, qPrintable(QStringLiteral("PovSensorID%1").arg(n)));
            if (sensorID > 0 &&
                (!db.DBReadPovSensor(sensorID, n, *bunch, &poverka) || !bunch->Sensors[n])) {
                dialogs.error(QStringLiteral("Не удалось извлечь данные поверяемого ТП, "
                                             "подключенного ") +
                              inputOrdinal(n) +
                              QStringLiteral(", из базы данных! Операция отменена."));
                return false;
            }
        }
    }
    return true;
}

} // namespace kront
