#include "sdk/math/rand.h"

#include <cmath>
#include <numbers>
#include <utility>

namespace zelvoranGameSDK3rd::Math {

void CRand::SetSeed(std::uint32_t seed)
{
    for (std::uint32_t& word : m_state) {
        const std::uint32_t high = seed & 0xFFFF0000u;
        seed = seed * 69069u + 1u;
        word = high | (seed >> 16);
        seed = seed * 69069u + 1u;
    }
    m_index = kStateSize;
}

std::uint32_t CRand::Get()
{
    constexpr int kM = 397;
    constexpr std::uint32_t kMatrix = 0x9908B0DFu;
    constexpr std::uint32_t kUpper = 0x80000000u;
    constexpr std::uint32_t kLower = 0x7FFFFFFFu;
    // An index outside 0..623 (a damaged save) regenerates like a used-up state.
    if (m_index < 0 || m_index >= kStateSize) {
        if (m_index == kNeverSeeded) SetSeed(kDefaultSeed);
        auto twist = [&](int i, int j, int k) {
            const std::uint32_t y = (m_state[i] & kUpper) | (m_state[j] & kLower);
            m_state[i] = m_state[k] ^ (y >> 1) ^ ((y & 1u) ? kMatrix : 0u);
        };
        int i = 0;
        for (; i < kStateSize - kM; ++i)
            twist(i, i + 1, i + kM);
        for (; i < kStateSize - 1; ++i)
            twist(i, i + 1, i + (kM - kStateSize));
        twist(kStateSize - 1, 0, kM - 1);
        m_index = 0;
    }
    std::uint32_t y = m_state[m_index++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y;
}

void CRand::Serialize(Auxiliary::ISerialize& stream)
{
    for (std::uint32_t& word : m_state)
        stream.Serialize(word);
    stream.Serialize(m_index);
}

void ShuffleWithRand(std::vector<std::uint32_t>& values, CRand& generator)
{
    const std::size_t n = values.size();
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t k = generator.noRandom ? 0 : generator.Get() % (n - i);
        std::swap(values[i], values[i + k]);
    }
}

void CRootCounter::Serialize(Auxiliary::ISerialize& stream)
{
    stream.Serialize(m_current).Serialize(m_start).Serialize(m_end).Serialize(m_step).Serialize(m_subStep);
}

void CRootCounter::Step(bool increment)
{
    const bool up = (m_start > m_end) != increment;
    const std::int32_t low = m_start < m_end ? m_start : m_end;
    const std::int32_t high = m_start < m_end ? m_end : m_start;
    // Wide arithmetic: a step past INT32_MAX (the default end) wraps to the near bound, not round, and a
    // loaded sub-step count at either end of the range moves the value instead of overflowing.
    std::int64_t current = m_current;
    std::int64_t subStep = m_subStep;
    if (up) {
        if (m_step > 0) {
            current += m_step;
        } else if (++subStep >= -static_cast<std::int64_t>(m_step)) {
            current += 1;
            subStep = 0;
        }
        if (current > high) current = low;
    } else {
        if (m_step > 0) {
            current -= m_step;
        } else if (--subStep <= m_step) {
            current -= 1;
            subStep = 0;
        }
        if (current < low) current = high;
    }
    m_current = static_cast<std::int32_t>(current);
    m_subStep = static_cast<std::int32_t>(subStep);
}

std::int32_t g_cosTable[512];
std::int16_t g_atanTable[256];

std::int32_t* FillMathTables()
{
    for (int i = 0; i < 512; ++i)
        g_cosTable[i] = static_cast<std::int32_t>(std::cos(i * std::numbers::pi * (1.0 / 256)) * 65536.0);
    for (int i = 0; i < 256; ++i)
        g_atanTable[i] = static_cast<std::int16_t>(std::atan(i * (1.0 / 256)) * 32768.0 / std::numbers::pi);
    return g_cosTable;
}

namespace {
[[maybe_unused]] std::int32_t* const g_tablesFilled = FillMathTables();
} // namespace

} // namespace zelvoranGameSDK3rd::Math
