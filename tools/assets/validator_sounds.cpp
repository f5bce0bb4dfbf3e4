// The validator's sound half: the effects and the music under a folder, read as the game reads them
// (its list files through the SDK's load caches, the effects through its WAV stream, the music through
// the Ogg stream of its plug-in).

#include "tools/assets/validator.h"

#include "game/asset_ids.h"
#include "game/data/scenario_schema.h"
#include "game/data/table_reader.h"
#include "game/data/weapon_weight_schema.h"
#include "gamebase/sdk_names.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/string_map.h"
#include "sdk/multimedia/sound_loader.h"
#include "sdk/multimedia/sound_stream.h"
#include "sdk/multimedia/wave_stream.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace asset_validator {

namespace {

constexpr std::uint32_t kRate = 44100;
// The interface's effects are quieter than the game's events.
constexpr std::int32_t kInterfaceSounds[] = {1, 2, 3, 26};
// The effects that may last up to 3 s; every other lasts at most 1.5 s.
constexpr std::int32_t kLongSounds[] = {14, 32, 41, 76, 77, 78, 92, 96, 99};
// Every start and end within this of silence; the sound heard (-30 dBFS) within 5 ms.
constexpr std::int32_t kClickLimit = 64;
constexpr double kOnsetMilliseconds = 5;

struct SPiece
{
    std::int32_t number;
    std::int32_t loopMilliseconds;
    std::int32_t introMilliseconds; // 0: no intro
};

// The pieces the game asks for, with the lengths their files must decode to.
constexpr SPiece kPieces[] = {
    {kMusicValley, kMusicValleyLoopMilliseconds, kMusicValleyIntroMilliseconds},
    {kMusicJourney, kMusicJourneyLoopMilliseconds, kMusicJourneyIntroMilliseconds},
    {kMusicDark, kMusicDarkLoopMilliseconds, kMusicDarkIntroMilliseconds},
    {kMusicDeep, kMusicDeepLoopMilliseconds, kMusicDeepIntroMilliseconds},
    {kMusicShop, kMusicShopLoopMilliseconds, 0},
    {kMusicChase, kMusicChaseLoopMilliseconds, kMusicChaseIntroMilliseconds},
    {kMusicMonsterHouse, kMusicMonsterHouseLoopMilliseconds, 0},
    {kMusicThemedHouse, kMusicThemedHouseLoopMilliseconds, 0},
};

std::string Sound(std::int32_t number)
{
    return "sound " + std::to_string(number);
}

std::string Music(std::int32_t number)
{
    return "music " + std::to_string(number);
}

double Decibels(double level)
{
    return level <= 0 ? -1000.0 : 20.0 * std::log10(level / 32768.0);
}

std::string Db(double value)
{
    const long tenths = std::lround(value * 10);
    std::string text(tenths < 0 ? "-" : "");
    text += std::to_string(std::labs(tenths) / 10);
    text += '.';
    text += std::to_string(std::labs(tenths) % 10);
    text += " dBFS";
    return text;
}

// A list file's numbers and files, read by the SDK's own load cache.
std::map<std::int32_t, std::string> ReadList(const std::string& folderInData, const std::string& listFile)
{
    Multimedia::CSoundLoader list;
    list.SetPath(folderInData.c_str());
    std::map<std::int32_t, std::string> out;
    if (list.LoadDefinition((folderInData + listFile).c_str(), true) != 0) return out;
    for (const auto& [number, entry] : list.GetDefinitions())
        out[number] = entry->fileName.c_str();
    return out;
}

// Every line of a list file ends with CR LF (the game's reader splits at them).
void CheckCrLf(const std::string& folder, const std::string& name, std::vector<std::string>& problems)
{
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) {
        problems.push_back(name + ": missing");
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            problems.push_back(name + ": a line does not end with CR LF");
            return;
        }
    if (text.empty() || text.back() != '\n')
        problems.push_back(name + ": the last line does not end with CR LF");
}

// The numbers the game plays: the table's effects, the weapon table's swings, the scenario's sound lines.
std::map<std::int32_t, std::string> WantedEffects(std::vector<std::string>& problems)
{
    std::map<std::int32_t, std::string> wanted;
    for (const assets::SSound& sound : assets::kSoundEffects)
        wanted.emplace(sound.id, "the asset table");

    CTableFile weights;
    std::int32_t check = 0;
    if (weights.Read(TablePath(weapon_weight_schema::kFileName)) != 0 || weights.ReadHeader(check) != 0) {
        problems.push_back("data/text: the weapon table does not read");
    } else {
        std::string_view text;
        for (std::int32_t line = 2; weights.NextLine(text) == CTableFile::kLine; ++line) {
            CTableLine cursor(text);
            weapon_weight_schema::SColumns columns;
            if (weapon_weight_schema::ReadWeightLine(cursor, columns))
                wanted.emplace(columns.moveWeight,
                               "the weapon table's swing on line " + std::to_string(line));
        }
    }

    CTableFile scenario;
    if (scenario.Read(TablePath(scenario_schema::kFileName)) != 0) {
        problems.push_back("data/text: the scenario does not read");
    } else {
        std::string_view text;
        for (std::int32_t line = 1; scenario.NextLine(text) == CTableFile::kLine; ++line) {
            constexpr std::string_view kSound = "sound ";
            if (!text.starts_with(kSound)) continue;
            std::int32_t number = 0;
            for (char c : text.substr(kSound.size()))
                if (c >= '0' && c <= '9') number = number * 10 + (c - '0');
            wanted.emplace(number, "the scenario's line " + std::to_string(line));
        }
    }
    return wanted;
}

// Reads a whole stream as 16-bit samples; false when it fails midway.
bool ReadAll(Multimedia::ISoundStream& stream, std::vector<std::int16_t>& samples)
{
    std::vector<std::uint8_t> buffer(1 << 16);
    std::vector<std::uint8_t> bytes;
    for (;;) {
        const std::uint32_t got = stream.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        if (got == 0) break;
        if (got > buffer.size()) return false;
        bytes.insert(bytes.end(), buffer.begin(), buffer.begin() + got);
    }
    samples.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return true;
}

void CheckEffect(std::int32_t number, const std::string& file, std::set<std::vector<std::int16_t>>& heard,
                 std::vector<std::string>& problems)
{
    const std::string name = Sound(number) + " (" + file + ")";
    const auto fail = [&](const std::string& message) { problems.push_back(name + ": " + message); };
    Multimedia::CWaveStream stream;
    if (stream.Open(Auxiliary::CFile::ResolvePath(file.c_str()).c_str()) != 0) {
        fail("does not open as a PCM WAV file");
        return;
    }
    const Multimedia::WAVEFORMATEX& format = *stream.GetFormat();
    if (format.nChannels != 1) fail(std::to_string(format.nChannels) + " channels, not mono");
    if (format.wBitsPerSample != 16) fail(std::to_string(format.wBitsPerSample) + "-bit samples, not 16-bit");
    if (format.nSamplesPerSec != kRate) fail(std::to_string(format.nSamplesPerSec) + " Hz, not 44100 Hz");
    if (format.nChannels != 1 || format.wBitsPerSample != 16 || format.nSamplesPerSec != kRate) return;
    std::vector<std::int16_t> samples;
    if (!ReadAll(stream, samples) || samples.empty()) {
        fail("no samples read");
        return;
    }

    const bool interface = std::ranges::find(kInterfaceSounds, number) != std::end(kInterfaceSounds);
    const double longest = std::ranges::find(kLongSounds, number) != std::end(kLongSounds) ? 3.0 : 1.5;
    if (double(samples.size()) > longest * kRate)
        fail("lasts " + std::to_string(samples.size() * 1000 / kRate) + " ms, more than " +
             std::to_string(std::lround(longest * 1000)) + " ms");
    std::int32_t peak = 0;
    for (std::int16_t s : samples)
        peak = std::max(peak, std::abs(std::int32_t{s}));
    const double peakDb = Decibels(peak);
    const double low = interface ? -10 : -4, high = interface ? -8 : -2;
    if (peakDb < low || peakDb > high)
        fail("peaks at " + Db(peakDb) + ", outside " + Db(low) + " to " + Db(high));
    if (std::abs(std::int32_t{samples.front()}) > kClickLimit ||
        std::abs(std::int32_t{samples.back()}) > kClickLimit)
        fail("starts or ends with a click (first " + std::to_string(samples.front()) + ", last " +
             std::to_string(samples.back()) + ")");
    const std::size_t onset = std::min<std::size_t>(samples.size(), kRate * kOnsetMilliseconds / 1000);
    std::int32_t early = 0;
    for (std::size_t i = 0; i < onset; ++i)
        early = std::max(early, std::abs(std::int32_t{samples[i]}));
    if (Decibels(early) < -30) fail("does not reach -30 dBFS within 5 ms");
    if (!heard.insert(samples).second) fail("the same sound as another number");
}

// The music's Ogg streams, made by the class the plug-in registers.
class COggStreams
{
public:
    explicit COggStreams(const std::string& plugIn) : m_plugIn(plugIn)
    {
        m_loaded =
            zelvoranGameSDK3rd::AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(m_plugIn.c_str()) == 0;
        m_factory.extensionMap->Write("ogg", "CVorbisStream");
    }
    ~COggStreams()
    {
        if (m_loaded)
            zelvoranGameSDK3rd::AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(m_plugIn.c_str());
    }
    bool Loaded() const { return m_loaded; }
    ZTL::smart_ptr<Multimedia::ISoundStream> Open(const std::string& file)
    {
        return m_factory.Open(file.c_str());
    }

private:
    std::string m_plugIn;
    bool m_loaded = false;
    Multimedia::CSoundStreamFactory m_factory;
};

void CheckPiece(COggStreams& streams, const std::string& what, const std::string& file,
                std::int32_t milliseconds, bool loops, std::vector<std::string>& problems)
{
    const std::string name = what + " (" + file + ")";
    const auto fail = [&](const std::string& message) { problems.push_back(name + ": " + message); };
    ZTL::smart_ptr<Multimedia::ISoundStream> stream = streams.Open(file);
    const Multimedia::WAVEFORMATEX* format = stream->GetFormat();
    if (format == nullptr) {
        fail("does not open through the Ogg stream");
        return;
    }
    if (format->nChannels != 2 || format->nSamplesPerSec != kRate) {
        fail("not 44100 Hz stereo");
        return;
    }
    std::vector<std::int16_t> samples;
    if (!ReadAll(*stream, samples) || samples.size() < 4) {
        fail("does not decode");
        return;
    }
    const std::size_t frames = samples.size() / 2;
    const double decoded = double(frames) * 1000 / kRate;
    if (std::abs(decoded - milliseconds) > 1 || std::abs(stream->GetLength() - milliseconds) > 1)
        fail("decodes to " + std::to_string(std::lround(decoded)) + " ms, not its " +
             std::to_string(milliseconds) + " ms");

    double sum = 0;
    std::int32_t peak = 0;
    for (std::int16_t s : samples) {
        sum += double(s) * s;
        peak = std::max(peak, std::abs(std::int32_t{s}));
    }
    if (Decibels(peak) >= -1) fail("peaks at " + Db(Decibels(peak)) + ", not below -1 dBFS");
    if (!loops) return;
    const double rms = Decibels(std::sqrt(sum / double(samples.size())));
    if (rms < -22 || rms > -15) fail("its RMS is " + Db(rms) + ", outside -22 to -15 dBFS");
    // The seam: from the last sample back to the first, no larger a step than the piece's own.
    for (std::size_t channel = 0; channel < 2; ++channel) {
        std::vector<std::int32_t> steps(frames - 1);
        for (std::size_t i = 0; i + 1 < frames; ++i)
            steps[i] = std::abs(samples[2 * (i + 1) + channel] - samples[2 * i + channel]);
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        const std::int32_t median = steps[steps.size() / 2];
        const std::int32_t jump = std::abs(samples[channel] - samples[2 * (frames - 1) + channel]);
        if (jump > 3 * std::max(median, 1))
            fail("its loop seam jumps " + std::to_string(jump) + ", more than 3 x its median step " +
                 std::to_string(median) + " (channel " + std::to_string(channel) + ")");
    }
}

} // namespace

std::vector<std::string> ValidateSounds(const std::string& folder, const std::string& oggPlugIn)
{
    std::vector<std::string> problems;
    for (const char* list : {"data/se/list.txt", "data/music/list.txt", "data/music/listPre.txt"})
        CheckCrLf(folder, list, problems);

    const ZTL::string previousFolder = Auxiliary::CFile::GetCurrentFolder();
    Auxiliary::CFile::SetCurrentFolder(folder.c_str());

    const std::map<std::int32_t, std::string> effects = ReadList("data\\se\\", "list.txt");
    std::set<std::vector<std::int16_t>> heard;
    for (const auto& [number, from] : WantedEffects(problems))
        if (effects.count(number) == 0)
            problems.push_back(Sound(number) + ": not in data/se/list.txt (wanted by " + from + ")");
    for (const auto& [number, file] : effects)
        CheckEffect(number, file, heard, problems);

    const std::map<std::int32_t, std::string> loops = ReadList("data\\music\\", "list.txt");
    const std::map<std::int32_t, std::string> intros = ReadList("data\\music\\", "listPre.txt");
    COggStreams streams(oggPlugIn.empty() ? folder + "/data/plugin/zelvogg.dll" : oggPlugIn);
    if (!streams.Loaded())
        problems.push_back("data/plugin/zelvogg.dll: the Ogg stream plug-in does not load");
    for (const SPiece& piece : kPieces) {
        const auto loop = loops.find(piece.number);
        if (loop == loops.end())
            problems.push_back(Music(piece.number) + ": not in data/music/list.txt");
        else if (streams.Loaded())
            CheckPiece(streams, Music(piece.number), loop->second, piece.loopMilliseconds, true, problems);
        const auto intro = intros.find(piece.number);
        if (piece.introMilliseconds != 0 && intro == intros.end())
            problems.push_back(Music(piece.number) + ": its intro is not in data/music/listPre.txt");
        if (piece.introMilliseconds == 0 && intro != intros.end())
            problems.push_back(Music(piece.number) +
                               ": has an intro in data/music/listPre.txt, which it should not");
        if (piece.introMilliseconds != 0 && intro != intros.end() && streams.Loaded())
            CheckPiece(streams, Music(piece.number) + " intro", intro->second, piece.introMilliseconds, false,
                       problems);
    }

    Auxiliary::CFile::SetCurrentFolder(previousFolder);
    return problems;
}

} // namespace asset_validator
