#pragma once
// The SDK's random generator (MT19937 with its 1998 seeding), whose whole state is serialisable so a
// resumed or replayed run repeats its draws; the shuffle driven by it; a wrapping bounded counter;
// and the fixed-point cosine and arctangent tables.

#include "sdk/ztl/archive.h"

#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::Math {

class CRand : public Auxiliary::IArchive
{
public:
    static constexpr int kStateSize = 624;
    static constexpr std::int32_t kNeverSeeded = 625;
    static constexpr std::uint32_t kDefaultSeed = 4357;

    // Unseeded: the first Get seeds with 4357.
    CRand() = default;

    void SetSeed(std::uint32_t seed);
    std::uint32_t Get();
    // The 624 words, then the index: 2500 bytes. The two fields below are not part of it.
    void Serialize(Auxiliary::ISerialize& stream) override;

    // The seed the game last seeded this generator with; its owner sets it after SetSeed.
    std::uint32_t seed = 0;
    // Fixed-random mode: while set, the game's draws and the shuffle take no value from the generator
    // and use their lowest result instead.
    bool noRandom = false;

private:
    std::uint32_t m_state[kStateSize] = {};
    std::int32_t m_index = kNeverSeeded;
};

// Shuffles in place: entry i changes place with entry i + (Get() mod (n - i)). While the generator's
// `noRandom` is set nothing is drawn and the order stays.
void ShuffleWithRand(std::vector<std::uint32_t>& values, CRand& generator);

// A value stepping from one bound towards the other and wrapping round to the near bound.
class CRootCounter : public Auxiliary::IArchive
{
public:
    CRootCounter() = default;

    // The five fields in order, 20 bytes.
    void Serialize(Auxiliary::ISerialize& stream) override;
    virtual std::int32_t GetValue() const { return m_current; }
    virtual void SetValue(std::int32_t value) { m_current = value; }
    virtual void Inc() { Step(true); }
    virtual void Dec() { Step(false); }
    virtual bool IsBegin() const { return m_current == m_start; }
    virtual bool IsEnd() const { return m_current == m_end; }
    virtual bool IsValid() const { return true; }

    // Bounds and step are set directly by their owners.
    std::int32_t m_current = 0;
    std::int32_t m_start = 0;
    std::int32_t m_end = 0x7FFFFFFF;
    // A positive step moves by that much on every call; zero or -k moves by 1 on every k-th call.
    std::int32_t m_step = 1;
    std::int32_t m_subStep = 0;

private:
    void Step(bool increment);
};

// cos(i * pi / 256) * 65536, truncated: one turn in 512 steps.
extern std::int32_t g_cosTable[512];
// atan(i / 256) * 32768 / pi, truncated: 1/65536 of a turn.
extern std::int16_t g_atanTable[256];
// Fills both tables (done once before main); returns the cosine table.
std::int32_t* FillMathTables();

} // namespace zelvoranGameSDK3rd::Math
