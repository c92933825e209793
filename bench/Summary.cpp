#include "bench/Summary.h"

#include <algorithm>

namespace kront::bench
{

Summary &Summary::instance()
{
    static Summary summary;
    return summary;
}

Summary::Row &Summary::row(const std::string &op)
{
    for (Row &r : rows) {
        if (r.op == op)
            return r;
    }
    rows.push_back({op, "", kRecordGoal, {}, {}});
    return rows.back();
}

void Summary::declare(const std::string &op, const std::string &group, Goal goal)
{
    Row &r = row(op);
    r.group = group;
    r.goal = goal;
}

void Summary::add(const std::string &op, Variant v, Size s, double ms, double cpuMs)
{
    Cell &cell = row(op).cells[{v, s}];
    cell.samples.push_back(ms);
    cell.cpu.push_back(cpuMs);
}

void Summary::failed(const std::string &op, Variant v, Size s)
{
    ++row(op).cells[{v, s}].failures;
}

void Summary::addFloorSample(const std::string &op, Size s, double ms)
{
    row(op).floorSamples[s].push_back(ms);
}

void Summary::compareWithFloor(const std::string &group, const std::string &floorOp,
                               double maxFloorRatio)
{
    floors[group] = {floorOp, maxFloorRatio};
}

const Summary::Floor *Summary::floorOf(const Row &r) const
{
    const auto it = floors.find(r.group);
    return it == floors.end() || it->second.op == r.op ? nullptr : &it->second;
}

// The floor samples taken beside the row's own at the size judged, else the
// floor row's.
double Summary::floorMedian(const Row &r, const Floor &floor) const
{
    for (Size s : {Size::TwentyYears, Size::Month}) {
        const auto own = r.floorSamples.find(s);
        if (own != r.floorSamples.end() && !own->second.empty())
            return median(own->second);
        const auto it = r.cells.find({Variant::Ours, s});
        if (it != r.cells.end() && !it->second.samples.empty())
            break; // judged at this size, with no floor samples of its own
    }
    for (const Row &f : rows) {
        if (f.op == floor.op)
            return judgedMedian(f);
    }
    return -1;
}

// Ours at twenty years, or at one month when the twenty-year home was left out.
double Summary::judgedMedian(const Row &r) const
{
    for (Size s : {Size::TwentyYears, Size::Month}) {
        const auto it = r.cells.find({Variant::Ours, s});
        if (it != r.cells.end() && !it->second.samples.empty())
            return median(it->second.samples);
    }
    return -1;
}

double Summary::median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    const auto mid = v.begin() + v.size() / 2;
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

namespace
{

std::string ms(double v)
{
    if (v < 0)
        return "-";
    char buf[32];
    if (v >= 100)
        std::snprintf(buf, sizeof buf, "%.0f", v);
    else if (v >= 1)
        std::snprintf(buf, sizeof buf, "%.2f", v);
    else
        std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string factor(double num, double den, const char *suffix)
{
    if (num < 0 || den <= 0)
        return "-";
    char buf[32];
    std::snprintf(buf, sizeof buf, num / den >= 100 ? "%.0f%s" : "%.2f%s", num / den, suffix);
    return buf;
}

} // namespace

void Summary::print(std::FILE *out) const
{
    const char *header = "%-48s %9s %9s %6s %9s %9s %6s %9s %9s %9s %9s %9s %7s %7s %-19s %s\n";
    const std::string large = largeLabel;
    const std::string shortLarge = large.substr(0, large.find(' ') + 2); // "20 y"
    std::fprintf(out,
                 "\nMedian time of one operation, ms, at the home of 1 month and of %s: wall "
                 "clock, then processor time of the operation's thread; the load-whole-table "
                 "baseline; the same operation on the home's tables on a database server\n",
                 large.c_str());
    std::fprintf(out, header, "operation", "1 month", large.c_str(), "ratio", "cpu 1 mo",
                 ("cpu " + shortLarge).c_str(), "ratio", "base 1 mo",
                 ("base " + shortLarge).c_str(), "speed-up", "srv 1 mo",
                 ("srv " + shortLarge).c_str(), "x srv", "x floor",
                 ("goal (" + shortLarge + ")").c_str(), "met");
    std::string group;
    for (const Row &r : rows) {
        if (r.group != group) {
            group = r.group;
            std::fprintf(out, "-- %s\n", group.c_str());
        }
        auto med = [&](Variant v, Size s, bool cpu = false) {
            const auto it = r.cells.find({v, s});
            return it == r.cells.end() ? -1.0 : median(cpu ? it->second.cpu : it->second.samples);
        };
        int failures = 0;
        for (const auto &[key, cell] : r.cells)
            failures += cell.failures;
        const double m = med(Variant::Ours, Size::Month);
        const double y = med(Variant::Ours, Size::TwentyYears);
        const double mc = med(Variant::Ours, Size::Month, true);
        const double yc = med(Variant::Ours, Size::TwentyYears, true);
        const double bm = med(Variant::Baseline, Size::Month);
        const double by = med(Variant::Baseline, Size::TwentyYears);
        const double sm = med(Variant::Server, Size::Month);
        const double sy = med(Variant::Server, Size::TwentyYears);
        // The server against the table files at the larger home measured.
        const double serverRatioNum = sy >= 0 ? sy : sm;
        const double serverRatioDen = sy >= 0 ? y : m;
        const double judged = judgedMedian(r);
        if (judged < 0 && failures == 0) {
            std::fprintf(out, "%-48s not run\n", r.op.c_str());
            continue;
        }
        // A write is judged against the disk's floor for as many files.
        const Floor *floor = floorOf(r);
        const double floorMs = floor ? floorMedian(r, *floor) : -1;
        char time[24], goal[64];
        if (floor)
            std::snprintf(time, sizeof time, "<=%g floor", floor->maxRatio);
        else
            std::snprintf(time, sizeof time, "<=%g ms", r.goal.maxMedianMs);
        if (r.goal.maxRatio > 0)
            std::snprintf(goal, sizeof goal, "%s, x<=%g", time, r.goal.maxRatio);
        else
            std::snprintf(goal, sizeof goal, "%s", time);
        const bool timeMet =
            judged >= 0 && (floor ? floorMs > 0 && judged <= floor->maxRatio * floorMs
                                  : judged <= r.goal.maxMedianMs);
        const bool ratioMet = r.goal.maxRatio <= 0 || m <= 0 || y < 0 || y / m <= r.goal.maxRatio;
        std::string met = failures > 0            ? "FAILED x" + std::to_string(failures)
                          : timeMet && ratioMet   ? "yes"
                          : !timeMet && !ratioMet ? "no (time, ratio)"
                          : !timeMet              ? "no (time)"
                                                  : "no (ratio)";
        std::fprintf(out, header, r.op.c_str(), ms(m).c_str(), ms(y).c_str(),
                     factor(y, m, "").c_str(), ms(mc).c_str(), ms(yc).c_str(),
                     factor(yc, mc, "").c_str(), ms(bm).c_str(), ms(by).c_str(),
                     factor(by, y, "x").c_str(), ms(sm).c_str(), ms(sy).c_str(),
                     factor(serverRatioNum, serverRatioDen, "").c_str(),
                     factor(judged, floorMs, "").c_str(), goal, met.c_str());
    }
    for (const std::string &n : notes)
        std::fprintf(out, "%s\n", n.c_str());
}

} // namespace kront::bench
