#include "platform/host/midi_file.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;

std::uint32_t Big32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Reads one track's events: its tempo changes and the tick of its end. False for a track that runs out
// of bytes in the middle of an event.
class TrackReader
{
public:
    TrackReader(const std::uint8_t* data, std::size_t size) : m_p(data), m_end(data + size) {}

    bool Read(std::vector<std::pair<std::uint32_t, std::uint32_t>>& tempos, std::uint32_t& lastTick)
    {
        std::uint64_t tick = 0;
        std::uint8_t running = 0;
        while (m_p < m_end) {
            std::uint32_t delta = 0;
            if (!Variable(delta)) return false;
            tick += delta;
            if (tick > 0xFFFFFFFFu) return false;
            lastTick = std::max(lastTick, std::uint32_t(tick));
            if (m_p >= m_end) return false;
            std::uint8_t status = *m_p;
            if (status < 0x80) {
                if (running == 0) return false;
                status = running;
            } else {
                ++m_p;
            }
            if (status == 0xFF) {
                if (m_p >= m_end) return false;
                const std::uint8_t type = *m_p++;
                std::uint32_t length = 0;
                if (!Variable(length) || length > std::size_t(m_end - m_p)) return false;
                if (type == 0x51 && length == 3)
                    tempos.emplace_back(std::uint32_t(tick),
                                        std::uint32_t(m_p[0]) << 16 | std::uint32_t(m_p[1]) << 8 | m_p[2]);
                m_p += length;
                if (type == 0x2F) return true;
            } else if (status == 0xF0 || status == 0xF7) {
                std::uint32_t length = 0;
                if (!Variable(length) || length > std::size_t(m_end - m_p)) return false;
                m_p += length;
            } else {
                running = status;
                const std::size_t bytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
                if (bytes > std::size_t(m_end - m_p)) return false;
                m_p += bytes;
            }
        }
        return true;
    }

private:
    bool Variable(std::uint32_t& value)
    {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_p >= m_end) return false;
            const std::uint8_t b = *m_p++;
            value = value << 7 | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }

    const std::uint8_t* m_p;
    const std::uint8_t* m_end;
};

} // namespace

bool MidiTiming::Parse(const std::uint8_t* data, std::size_t size)
{
    *this = MidiTiming();
    if (data == nullptr || size < 14 || Big32(data) != 0x4D546864 || Big32(data + 4) < 6) return false;
    const std::uint32_t headerLength = Big32(data + 4);
    if (headerLength > size - 8) return false;
    const std::uint32_t format = std::uint32_t(data[8]) << 8 | data[9];
    const std::uint32_t tracks = std::uint32_t(data[10]) << 8 | data[11];
    const std::uint32_t division = std::uint32_t(data[12]) << 8 | data[13];
    if (format > 2 || tracks == 0 || division == 0) return false;
    std::uint32_t ticksPerQuarter = 0, ticksPerSecond = 0;
    if (division & 0x8000) {
        const std::uint32_t frames = std::uint32_t(-std::int8_t(division >> 8));
        ticksPerSecond = frames * (division & 0xFF);
        if (ticksPerSecond == 0) return false;
    } else {
        ticksPerQuarter = division;
    }

    std::vector<std::pair<std::uint32_t, std::uint32_t>> tempos;
    std::uint32_t lastTick = 0;
    std::size_t at = 8 + std::size_t(headerLength);
    for (std::uint32_t t = 0; t < tracks; ++t) {
        // Chunks of other kinds are skipped, as readers of the format must.
        while (true) {
            if (size - at < 8) return false;
            const std::uint32_t length = Big32(data + at + 4);
            if (length > size - at - 8) return false;
            const bool track = Big32(data + at) == 0x4D54726B;
            at += 8;
            if (track) {
                TrackReader reader(data + at, length);
                if (!reader.Read(tempos, lastTick)) return false;
            }
            at += length;
            if (track) break;
        }
    }
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    m_ticksPerQuarter = ticksPerQuarter;
    m_ticksPerSecond = ticksPerSecond;
    for (const auto& [tick, tempo] : tempos)
        m_tempos.push_back(TempoChange{tick, tempo == 0 ? kDefaultTempo : tempo});
    m_lengthTicks = lastTick;
    return true;
}

std::uint64_t MidiTiming::Span(std::uint32_t ticks, std::uint32_t microsecondsPerQuarter) const
{
    if (m_ticksPerQuarter == 0)
        return m_ticksPerSecond == 0 ? 0 : std::uint64_t(ticks) * 1000000 / m_ticksPerSecond;
    return std::uint64_t(ticks) * microsecondsPerQuarter / m_ticksPerQuarter;
}

std::uint64_t MidiTiming::MicrosecondsAt(std::uint32_t tick) const
{
    std::uint64_t total = 0;
    std::uint32_t from = 0, tempo = kDefaultTempo;
    for (const TempoChange& change : m_tempos) {
        if (change.tick >= tick) break;
        total += Span(change.tick - from, tempo);
        from = change.tick;
        tempo = change.microsecondsPerQuarter;
    }
    return total + Span(tick - from, tempo);
}

std::uint32_t MidiTiming::TicksToMilliseconds(std::uint32_t ticks) const
{
    return std::uint32_t(std::min<std::uint64_t>(MicrosecondsAt(ticks) / 1000, 0xFFFFFFFFu));
}

std::uint32_t MidiTiming::MillisecondsToTicks(std::uint32_t milliseconds) const
{
    // The first tick whose time reaches the wanted one; times grow with ticks.
    const std::uint64_t wanted = std::uint64_t(milliseconds) * 1000;
    std::uint32_t low = 0, high = m_lengthTicks;
    if (MicrosecondsAt(high) < wanted) return high;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        if (MicrosecondsAt(middle) < wanted)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

} // namespace platform
