#pragma once
// The action log: every command of the player during an adventure as 32-bit words, kept per floor in
// the run's ".act" file. The command encodings, the file and the re-run come with the action-log
// issue (issue 22), which completes this class.

#include "game/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

class CActionLog
{
public:
    // Log off, both names and buffers empty (their storage released), sum and read index 0.
    void Reset();
    // Empties the word buffer and nothing else.
    void ClearWordBuffer() { words.clear(); }

    std::uint8_t logging = 0; // 1 while a log file is active
    ZTL::string writeFileName;
    std::vector<std::uint32_t> words; // commands not yet appended
    std::uint32_t sum = 0;            // running 16-bit sum of the bytes of the current file
    ZTL::string readFileName;
    std::vector<std::uint32_t> readWords; // the commands to re-run or replay
    std::int32_t readIndex = 0;
};
