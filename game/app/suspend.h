#pragma once
// Resuming a suspended adventure, and the guard that refuses a resume whose save set or log is not the one
// the suspend left.
//
// A suspended adventure is its save set plus the current floor's ".act" file. Resuming loads the save
// set, re-seeds the generator from the run's stored seed and re-runs the logged commands of the floor
// silently (play mode 1); the game-main scene feeds them to the turn engine through
// CActionLog::ReadCommand and calls EndSilentRerun when the log runs out.
//
// The guard: the global data keeps, per save number, a flag and the value checkValue + the log's running
// sum. It is recorded with the flag set when the game-main scene starts a floor after it is built, when
// the adventure is suspended and when the program ends; with the flag clear at every later floor start
// and at the end of a re-run. A re-run that ends while the flag is set must end on that value, or it
// was fed a log that does not belong to the save.

#include "game/app/game_resource.h"

#include <cstdint>

// Results of EndSilentRerun.
enum RerunResult : int
{
    kRerunDone = 0,
    kRerunNoEntry = 1,  // the global data holds no guard for the save
    kRerunMismatch = 2, // the guard's value differs from the state the re-run reached
};

// Prepares the re-run: the run record cleared, the generator re-seeded from the stored seed with the
// unidentified names reshuffled, and the log's write file named after the run, so that new commands go
// to the same ".act" file.
void RestartRunFromSeed(SGameResource& game);
// Ends a silent re-run and checks the guard: outside play mode 1 nothing happens and the result is
// kRerunDone. Otherwise normal play resumes (the message window writing to the screen again) and the
// guard is compared; a matching guard is recorded again with its flag clear.
int EndSilentRerun(SGameResource& game);
// Results of UpdateGlobalDataEntry.
enum GuardResult : int
{
    kGuardSaved = 0,
    kGuardLogOff = 1,   // nothing recorded: the log is off, or held off the disk
    kGuardNotSaved = 2, // the global data could not be written
};
// Records the guard for the save in the global data and saves it. The guard only ever describes what is
// on the disk (the check value of the save there and the sum of the log there): none is recorded while
// the floor's log is held off it. A GuardResult.
int UpdateGlobalDataEntry(SGameResource& game, bool flag);
// Suspends the run as it stands: what a floor start could not write (its save, and the floor's log held
// in memory since) is written again first, then every command not yet on the disk, then the guard with
// its flag set. A GuardResult: kGuardSaved when the disk resumes the run from here. A replay being
// viewed writes nothing (kGuardLogOff).
int SuspendRun(SGameResource& game);
