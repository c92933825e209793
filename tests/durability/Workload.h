#pragma once

#include <QString>

// The work of a child process that is killed at a random moment: it resumes
// the unfinished verifications it finds, starts new ones, writes their steps,
// finishes, deletes, issues documents and edits the reference register, all
// through the record operations. After each operation has returned it writes
// one line to the report pipe, so the parent knows what must be on disk:
//
//   P id povnum        a verification row was inserted (ID confirmed)
//   B id               its sensors and both bunches are stored, state at step 0
//   S id step          the rows of that step are stored and the state says so
//   F id               the verification is marked finished
//   x id               the verification is about to be deleted (it may be gone
//                      without an X line after a kill)
//   X id               the verification is deleted with its bunches and rows
//   D docnum           a document row was inserted
//   E etalID value     the reference's Temp1 was set to value
//   M text             a message was shown (always a failure)
namespace kront::durability
{

// Stored state of a verification in the middle of its measurements: steps
// 1..step are complete.
QString mainCycleState(int step);
// The completed step of a stored state; -1 for a state this workload did not
// write in the middle of measurements ("Initiation", "Calculation", other).
int stepOfState(const QString &state);

inline constexpr int kSteps = 5;
inline constexpr int kRowsPerStep = 10; // per bunch
inline constexpr int kReferences = 3;

// The filter of the unfinished list.
QString unfinishedFilter();

// Creates the tables and the references once, before the first child runs.
bool prepareHome();

// Runs until killed (or, after `maxOperations`, exits normally). `round`
// makes the numbers it gives unique; `seed` drives its choices.
[[noreturn]] void runWorkload(int round, unsigned seed, int reportFd, int maxOperations);

} // namespace kront::durability
