#pragma once
// A test aid: an SQLite VFS that wraps the default one and, on demand, makes
// the storage fail the way a full disk or a failing drive does, or kills the
// process in the middle of a commit (after tearing the write it was doing).
// Open a journal through it with TSqliteJournalOptions::vfs = FaultVfsName().
//
// Only the calls that change files count as steps: writes, syncs and
// truncations, numbered from 1 since the last Reset.
//
// Threads: the plan is atomic; set it while no operation runs.

#include <sqlite3.h>

namespace journal::testing {

// Registers the VFS (once) and returns its name.
const char* FaultVfsName();

struct TFaultPlan {
  // From this step on, every write, sync and truncation fails with
  // `failCode` (SQLITE_FULL: a full disk; SQLITE_IOERR_WRITE: a failing
  // drive). 0: never.
  int failFromStep = 0;
  int failCode = SQLITE_FULL;
  // At this step the process kills itself with SIGKILL; a write is first
  // done in part (its first half), as a torn page would be. 0: never.
  int killAtStep = 0;
};

// Sets the plan and counts steps from 0 again.
void SetFaultPlan(const TFaultPlan& plan);
// Steps taken since the plan was set, and how many of them were syncs.
int FaultSteps();
int FaultSyncs();

}  // namespace journal::testing
