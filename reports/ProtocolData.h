#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace kront
{

class Database;
class TBunch;
class TPoverka;

// The marker of a cell whose row or field was not stored; any cell value of
// -299 or less counts as absent.
inline constexpr double AbsentValue = -300.0;
inline constexpr double kAbsentLimit = -299.0;
inline bool IsPresent(double cell)
{
    return cell > kAbsentLimit;
}

// One temperature point of the direct measurement method: rows 0..3 the
// measurements, 4 "Average", 5 "E_t_sk", 6 "E_pr_pov", 7 "E nsh", 8 "Delta",
// 9 "Delta dop"; column 0 the reference EMF (mV) or cold junction (°C),
// column 1 the reference temperature (°C) or its EMF, columns 2..5 inputs 1..4.
struct TProtPointDirect {
    static constexpr int kRows = 10;
    static constexpr int kColumns = 6;
    std::array<std::array<double, kColumns>, kRows> cell;
    TProtPointDirect() { clear(); }
    void clear();
};

// One temperature point of the electrode-by-electrode comparison: rows 0..1
// the measurements, 2 "Average", 3 "DeltaE", 4 "E pov j", 5 "E nsh",
// 6 "Delta", 7 "Delta dop"; columns 2k and 2k + 1 input k against electrode 1
// and 2 (rows 0..2), columns 2..5 inputs 1..4 (rows 3..7).
struct TProtPointElectrode {
    static constexpr int kRows = 8;
    static constexpr int kColumns = 10;
    std::array<std::array<double, kColumns>, kRows> cell;
    TProtPointElectrode() { clear(); }
    void clear();
};

// The per-sensor texts of one bunch, inputs 1..4 ([0] unused).
struct BunchTPDetails {
    int ChannelNum = 0;
    std::array<QString, 5> notes, strength, conclusion, resistMean, resistNeg, resistPos, result;
};

// The state of the protocol being printed: one set for the program, living
// from PrintProtocolBunch to the end of its preview.
struct ProtocolState {
    TPoverka *poverka = nullptr; // the verification printed (not owned)
    int ProtBunchID = 0;
    int ProtChannelSlot = 0; // 1 or 2
    int ProtPointsCount = 0;
    std::vector<TProtPointDirect> ProtPointsDirect;
    std::vector<TProtPointElectrode> ProtPointsElectrode;
    // The texts of the printed bunch, read once per protocol (the rows do
    // not change while a preview is open).
    mutable std::optional<BunchTPDetails> details;

    // The bunch in ProtChannelSlot, nullptr when none.
    TBunch *bunch() const;
    // Both arrays emptied, the details forgotten.
    void clear();
};

// ProtPointsCount of a bunch: the point where it was interrupted + 1, else
// the verification's number of points.
int ProtocolPointsCount(const TPoverka &poverka, const TBunch &bunch);

// Fills the array of the verification's method (already sized by the
// caller) from the ResultsTP rows of the bunch. Every cell starts absent;
// false as soon as one required row is missing (the cells filled so far stay)
// or when the table cannot be opened (its message shown).
bool DBGetProtData(Database &db, ProtocolState &state, int poverkaID, int bunchID);

// The notes, insulation and conclusion texts of the bunch row `bunchID`;
// all empty when no row has that ID or the table cannot be opened (message).
BunchTPDetails DBGetBunchTPDetails(Database &db, int bunchID);

// The conclusion sentence of an input from its result and document number.
QString ConclusionText(const QString &result, const QString &docNum, bool terminated);

} // namespace kront
