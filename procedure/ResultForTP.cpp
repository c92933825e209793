#include "procedure/ResultForTP.h"

#include "db/Database.h"
#include "model/CodeTables.h"

namespace kront
{

namespace
{

std::optional<QVariantMap> rowByID(Database &db, const TableSchema &table, int id,
                                   const QString &failureText)
{
    const auto rows =
        db.select(table, QStringLiteral("ID = %1").arg(id), QStringLiteral("ID"), 1, failureText);
    if (!rows || rows->empty())
        return std::nullopt;
    return rows->front();
}

} // namespace

bool DBGetResultForTP(Database &db, int bunchID, int input, std::array<QString, 4> &texts)
{
    if (input < 1 || input > 4)
        return false;
    const auto bunch = rowByID(db, tables::BunchesTP, bunchID,
                               QStringLiteral("Не удалось открыть базу данных пучков! Устаните "
                                              "причину и перезапустите программу."));
    if (!bunch)
        return false;
    const int sensorID = bunch->value(QStringLiteral("PovSensorID%1").arg(input)).toInt();
    if (sensorID == 0)
        return false;
    const QString result = bunch->value(QStringLiteral("ResultInp%1").arg(input)).toString();
    const QString docNum = bunch->value(QStringLiteral("DocNumInp%1").arg(input)).toString();

    QString classText;
    QString conclusion;
    if (result == QStringLiteral("Бр.")) {
        classText = QStringLiteral("Брак");
        conclusion = QStringLiteral("Не годен. ");
        if (!docNum.isEmpty())
            conclusion += QStringLiteral("Выдано извещение о непригодности № ") + docNum;
    } else if (!result.isEmpty()) {
        classText = result;
        conclusion = QStringLiteral("Годен. ");
        if (!docNum.isEmpty())
            conclusion += QStringLiteral("Выдано свидетельство о поверке № ") + docNum;
    }

    const auto sensor = rowByID(db, tables::Sensors, sensorID,
                                QStringLiteral("Не удалось открыть базу данных поверяемых ТП! "
                                               "Устаните причину и перезапустите программу."));
    if (!sensor)
        return false;
    texts[0] = NSHShortNameByCode(sensor->value(QStringLiteral("NSHType")).toString());
    texts[1] = sensor->value(QStringLiteral("SerialNum")).toString();
    texts[2] = classText;
    texts[3] = conclusion;
    return true;
}

} // namespace kront
