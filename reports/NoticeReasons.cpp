#include "reports/NoticeReasons.h"

#include "common/text/StringFunctionsFormat.h"
#include "metrology/ClassDetermination.h"
#include "metrology/NSHPolynomsTP.h"

#include <QStringList>

#include <algorithm>

namespace kront
{

namespace
{

// "Отклонение ТЭДС от НСХ при t °C составляет Δ °C (допускается ±Δдоп °C
// для класса N)"; without a slope of the characteristic at t, the stored
// values in mV against the thermocouple's own class.
QString deviationLine(const NoticeReasonsData &d, const NoticePoint &p, int classNumber)
{
    const double s = NSHSensitivity(d.characteristicIndex, p.t);
    const QString head =
        QStringLiteral("Отклонение ТЭДС от НСХ при %1 °C составляет ").arg(FloatToStrFixed(p.t, 1));
    if (s <= 0)
        return head + QStringLiteral("%1 мВ (допускается ±%2 мВ для класса %3)")
                          .arg(FloatToStrFixed(p.delta, 3), FloatToStrFixed(p.deltaDop, 3))
                          .arg(d.classNumber);
    return head +
           QStringLiteral("%1 °C (допускается ±%2 °C для класса %3)")
               .arg(FloatToStrFixed(p.delta / s, 2),
                    FloatToStrFixed(NSHTolerance(d.characteristicIndex, classNumber, p.t), 2))
               .arg(classNumber);
}

// "в 1 другой температурной точке", "в 3 других температурных точках".
QString otherPointsLine(int count)
{
    const bool single = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("Допускаемое отклонение превышено также в %1 %2.")
        .arg(count)
        .arg(single ? QStringLiteral("другой температурной точке")
                    : QStringLiteral("других температурных точках"));
}

QString sentence(const QString &caption, const QString &text)
{
    QString t = text.trimmed();
    while (t.endsWith(u'.'))
        t.chop(1);
    return caption + t + u'.';
}

// The class a failed point is reported against: its own class, or with
// class lowering the coarsest class tried that has a tolerance at t.
int classFailed(const NoticeReasonsData &d, double t)
{
    int shown = d.classNumber;
    for (int c = d.classNumber; d.reduceResultClass && c > 0;) {
        c = NextClass(d.characteristicIndex, c);
        if (c > 0 && NSHTolerance(d.characteristicIndex, c, t) > 0)
            shown = c;
    }
    return shown;
}

QStringList failingPointLines(const NoticeReasonsData &d)
{
    QStringList lines;
    for (const NoticePoint &p : d.points) {
        if (!IsPresent(p.t) || !IsPresent(p.delta) || !IsPresent(p.deltaDop))
            continue; // not measured: the ended channel says where it stopped
        if (ClassCodeAtPoint(d.characteristicIndex, d.classNumber, p.delta, p.deltaDop, p.t,
                             d.reduceResultClass) == kResultUnfit)
            lines << deviationLine(d, p, classFailed(d, p.t));
    }
    return lines;
}

QStringList closingLines(const NoticeReasonsData &d, bool pointsExplain)
{
    QStringList lines;
    if (d.terminated) {
        const int n = int(d.points.size());
        if (n == 0)
            lines << QStringLiteral("Поверка прервана.");
        else if (IsPresent(d.points.back().t))
            lines << QStringLiteral("Поверка прервана на %1-й температурной точке (%2 °C).")
                         .arg(n)
                         .arg(FloatToStrFixed(d.points.back().t, 1));
        else
            lines << QStringLiteral("Поверка прервана на %1-й температурной точке.").arg(n);
    }
    // No verdict of page 3 is recorded: its findings are the reason only
    // when the measured points do not explain the unfitness.
    if (pointsExplain || d.terminated)
        return lines;
    if (!d.inspectionRemarks.trimmed().isEmpty())
        lines << sentence(QStringLiteral("Замечания по внешнему осмотру: "), d.inspectionRemarks);
    if (!d.insulationStrength.trimmed().isEmpty())
        lines << sentence(QStringLiteral("Электрическая прочность изоляции: "),
                          d.insulationStrength);
    return lines;
}

} // namespace

std::vector<NoticePoint> NoticePointsOf(const ProtocolState &state, bool electrode, int input)
{
    std::vector<NoticePoint> points;
    if (input < 1 || input > 4)
        return points;
    // Rows of "Average", "Delta" and "Delta dop" in the method's table.
    const int average = electrode ? 2 : 4, delta = electrode ? 6 : 8;
    const int count =
        std::min<int>(state.ProtPointsCount, electrode ? int(state.ProtPointsElectrode.size())
                                                       : int(state.ProtPointsDirect.size()));
    for (int p = 0; p < count; ++p) {
        auto at = [&](int row, int column) {
            return electrode ? state.ProtPointsElectrode[p].cell[row][column]
                             : state.ProtPointsDirect[p].cell[row][column];
        };
        points.push_back({at(average, 1), at(delta, input + 1), at(delta + 1, input + 1)});
    }
    return points;
}

QString NoticeReasonsText(const NoticeReasonsData &d)
{
    QStringList points = failingPointLines(d);
    const QStringList closing = closingLines(d, !points.isEmpty());
    const int all = int(points.size());
    auto text = [&] {
        QStringList lines = points;
        if (points.size() < all)
            lines << otherPointsLine(all - int(points.size()));
        return (lines + closing).join(u'\n');
    };
    // Each line kept whole: the points that do not fit are only counted.
    while (!points.isEmpty() && text().size() > kNoticeReasonsLength)
        points.removeLast();
    return text().left(kNoticeReasonsLength);
}

} // namespace kront
