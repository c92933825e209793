#include "history/HistoryTable.h"

#include "common/text/StringFunctionsFormat.h"
#include "db/CsvExport.h"
#include "model/CodeTables.h"

namespace kront
{

namespace
{

const QString kUnfit = QStringLiteral("Бр.");

QString deltaCell(const HistoryEntry &e, double nominal)
{
    for (const PointDeviation &d : e.points) {
        if (d.nominal == nominal && d.deltaC)
            return FloatToStrFixed(*d.deltaC, 2);
    }
    return QString();
}

} // namespace

QString KindText(int kind)
{
    return kind != 0 ? QStringLiteral("Периодическая") : QStringLiteral("Первичная");
}

QString MethodicText(int methodic)
{
    return methodic != 0 ? QStringLiteral("Поэлектродное сличение")
                         : QStringLiteral("Прямые измерения");
}

QString ResultText(const QString &stored)
{
    return stored.trimmed() == kUnfit ? QStringLiteral("Брак") : stored.trimmed();
}

QString DocumentText(const QString &result, const QString &docNum)
{
    if (docNum.trimmed().isEmpty())
        return QString();
    return (result.trimmed() == kUnfit ? QStringLiteral("Извещение № ")
                                       : QStringLiteral("Свидетельство № ")) +
           docNum.trimmed();
}

QString SensorKeyText(const StoredSensorKey &key)
{
    QStringList parts{QStringLiteral("№ ") + key.serial};
    if (!key.typeName.isEmpty())
        parts << key.typeName;
    if (const QString nsh = NSHShortNameByCode(key.nshType); !nsh.isEmpty())
        parts << nsh;
    if (key.prodYear > 0)
        parts << QStringLiteral("%1 г.").arg(key.prodYear);
    return parts.join(QStringLiteral(", "));
}

QStringList HistoryHeaders(const SensorHistory &history)
{
    QStringList h{QStringLiteral("Дата"),  QStringLiteral("№ поверки"),
                  QStringLiteral("Вид"),   QStringLiteral("Метод"),
                  QStringLiteral("Класс"), QStringLiteral("Результат")};
    for (double nominal : history.nominals)
        h << QStringLiteral("Δ при %1 °C").arg(FloatToStrFixed(nominal, 0));
    h << QStringLiteral("Документ");
    return h;
}

std::vector<QStringList> HistoryRows(const SensorHistory &history)
{
    std::vector<QStringList> rows;
    for (const HistoryEntry &e : history.entries) {
        QStringList r{DateToStr(e.use.finished.date()),
                      e.use.povNum,
                      KindText(e.use.kind),
                      MethodicText(e.use.methodic),
                      e.declaredClass > 0 ? QString::number(e.declaredClass) : QString(),
                      ResultText(e.use.result)};
        for (double nominal : history.nominals)
            r << deltaCell(e, nominal);
        r << DocumentText(e.use.result, e.use.docNum);
        rows.push_back(std::move(r));
    }
    return rows;
}

QByteArray TextTableCsv(const QStringList &headers, const std::vector<QStringList> &rows)
{
    static const FieldDef text{"", FieldType::Text, 0};
    const QString eol = QStringLiteral("\r\n");
    auto line = [&](const QStringList &cells) {
        QStringList quoted;
        for (const QString &c : cells)
            quoted << csvField(text, c);
        return quoted.join(u';') + eol;
    };
    QString out = line(headers);
    for (const QStringList &r : rows)
        out += line(r);
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

QByteArray HistoryCsv(const SensorHistory &history)
{
    return TextTableCsv(HistoryHeaders(history), HistoryRows(history));
}

} // namespace kront
