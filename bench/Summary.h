#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

// The per-operation samples of a benchmark run and the one summary table
// printed at its end: medians at both home sizes, their ratio, the
// load-whole-table baseline with our speed-up, the same operations on a
// database server beside them, and the goal of each figure.
namespace kront::bench
{

enum class Variant { Ours, Baseline, Server };
enum class Size { Month, TwentyYears };

struct Goal {
    double maxMedianMs = 1.0; // at twenty years
    double maxRatio = 1.5;    // twenty years / one month; 0: not judged
};

inline constexpr Goal kRecordGoal{1.0, 1.5};
inline constexpr Goal kReadGoal{0.5, 1.5};
inline constexpr Goal kSearchGoal{50.0, 0.0};
inline constexpr Goal kResultsSearchGoal{10.0, 1.5};
inline constexpr Goal kFrameGoal{0.1, 0.0};

class Summary
{
public:
    static Summary &instance();

    // Declares a row of the table (in the order rows are declared).
    void declare(const std::string &op, const std::string &group, Goal goal);
    // One sample: wall-clock and processor time of the operation, ms.
    void add(const std::string &op, Variant v, Size s, double ms, double cpuMs);
    void failed(const std::string &op, Variant v, Size s);
    // A floor commit measured right after a sample of `op`: the op is judged
    // by the median of these rather than by the floor row's own samples.
    void addFloorSample(const std::string &op, Size s, double ms);
    // Shows each operation of `group` (but the floor itself) as a multiple of
    // the floor row `floorOp`, measured in the same run, and judges its time
    // by that multiple (at most maxFloorRatio) instead of milliseconds.
    void compareWithFloor(const std::string &group, const std::string &floorOp,
                          double maxFloorRatio);
    void note(const std::string &line) { notes.push_back(line); }
    // The label of the larger home in the table's header ("20 years").
    void setLargeLabel(const std::string &label) { largeLabel = label; }

    void print(std::FILE *out) const;

private:
    struct Cell {
        std::vector<double> samples, cpu;
        int failures = 0;
    };
    struct Row {
        std::string op, group;
        Goal goal;
        std::map<std::pair<Variant, Size>, Cell> cells;
        std::map<Size, std::vector<double>> floorSamples;
    };
    struct Floor {
        std::string op;
        double maxRatio;
    };
    Row &row(const std::string &op);
    static double median(std::vector<double> v);
    double judgedMedian(const Row &r) const;
    const Floor *floorOf(const Row &r) const;
    double floorMedian(const Row &r, const Floor &floor) const;

    std::vector<Row> rows;
    std::map<std::string, Floor> floors; // by group
    std::vector<std::string> notes;
    std::string largeLabel = "20 years";
};

} // namespace kront::bench
