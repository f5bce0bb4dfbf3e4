#pragma once
// An action log whose read buffer holds commands as a resumed run or a replay reads them from its file.

#include "game/data/action_log.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

// An ".act" file of user 1, floor 1 holding the words as one chunk.
inline std::vector<std::uint8_t> ActFile(const std::vector<std::uint32_t>& words)
{
    std::vector<std::uint8_t> file = {'q', 'r', 'l', 's', 1, 0, 0, 0, 1, 0, 0, 0};
    file.push_back(std::uint8_t(words.size()));
    file.push_back(std::uint8_t(words.size() >> 8));
    std::uint32_t sum = 0;
    for (const std::uint32_t word : words)
        for (int shift = 0; shift < 32; shift += 8) {
            file.push_back(std::uint8_t(word >> shift));
            sum += (word >> shift) & 0xFF;
        }
    file.push_back(std::uint8_t(sum));
    file.push_back(std::uint8_t(sum >> 8));
    return file;
}

inline void LoadLog(CActionLog& log, const std::vector<SPlayerCommand>& commands)
{
    CActionLog writer;
    for (const SPlayerCommand& command : commands)
        writer.WriteCommand(command);
    ASSERT_EQ(ReadActionFile(log, 1, 1, ActFile(writer.GetWords())), kActionFileRead);
}
