#pragma once
// The plays of the whole road that several suites compare, each played at most once in a process, when a
// test first asks for it, so that every test makes what it reads whatever runs before it or beside it.

#include "e2e/road_player.h"

#include <map>
#include <string>
#include <vector>

namespace e2e {

enum class ERoadPlay
{
    First,    // the road with its suspend on floor 2 and all that follows the run, the music playing
    Second,   // the same again in a fresh home
    Straight, // the road without the suspend and without what follows the run
};

struct SRoadPlay
{
    SRunResult result;
    std::string errors; // what the SDK wrote to its error output
    bool suspended = false, resumed = false, runEnded = false, rankingSeen = false, replayWatched = false;
    std::vector<SRecordedHash> hashes;
    std::string hashText; // the hashes as CHashRecorder::Format gives them
    std::vector<std::string> runEndLines, rankingLines;
    // Every file of the home by its path under it ("save/...", "replay/...", "user/..."), as the road left
    // them, and as they were while the run was suspended (empty for a play without the suspend).
    std::map<std::string, std::string> files, suspendedFiles;
};

// The play, made the first time it is asked for in this process.
const SRoadPlay& PlayedRoad(ERoadPlay which);

} // namespace e2e
