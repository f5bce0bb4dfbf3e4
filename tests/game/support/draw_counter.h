#pragma once
// Counts the draws a generator made: a copy taken before is stepped until its state matches.

#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/serialize.h"
#include "sdk/math/rand.h"

#include <cstdint>
#include <vector>

class DrawCounter
{
public:
    explicit DrawCounter(const Math::CRand& generator) : m_start(generator) {}

    // The draws from the copy to `now`; -1 when more than `limit`.
    std::int32_t Since(const Math::CRand& now, std::int32_t limit = 100000) const
    {
        Math::CRand probe = m_start;
        const std::vector<std::uint8_t> target = State(now);
        for (std::int32_t i = 0; i <= limit; ++i) {
            if (State(probe) == target) return i;
            probe.Get();
        }
        return -1;
    }

private:
    static std::vector<std::uint8_t> State(const Math::CRand& generator)
    {
        Math::CRand copy = generator;
        Auxiliary::CSerialize stream;
        stream.Serialize(copy);
        return stream.GetBuffer();
    }

    Math::CRand m_start;
};
