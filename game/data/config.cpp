#include "game/data/config.h"

#include "game/data/check_value.h"
#include "sdk/auxiliary/serialize.h"

#include <utility>

void SConfig::Serialize(Auxiliary::ISerialize& stream)
{
    stream.Serialize(menuBackgroundMoves)
        .Serialize(translucentWindows)
        .Serialize(darknessFades)
        .Serialize(showMap)
        .Serialize(smoothFont)
        .Serialize(messageSpeed);
}

void SConfig::Reset()
{
    SConfig defaults;
    defaults.name = std::move(name);
    *this = std::move(defaults);
}

namespace {

// The bytes of an option file for the options.
Auxiliary::CSerialize StoreOptions(const SConfig& config)
{
    Auxiliary::CSerialize stream;
    SConfig stored = config;
    std::int32_t format = 0;
    stream.Serialize(format).Serialize(stored);
    AppendByteSum(stream.GetBuffer());
    return stream;
}

} // namespace

int SaveOptions(const SConfig& config)
{
    if (config.name.empty()) return 1;
    Auxiliary::CSerialize stream = StoreOptions(config);
    stream.SaveToFile(config.name);
    stream.SaveToFile(kReplayConfigFileName);
    return 0;
}

int SaveReplayConfig(const SConfig& config)
{
    return StoreOptions(config).SaveToFile(kReplayConfigFileName);
}

int LoadOptions(SConfig& config)
{
    Auxiliary::CSerialize stream;
    if (config.name.empty() || stream.LoadFromFile(config.name) != 0) return kOptionsUnreadable;
    std::vector<std::uint8_t>& bytes = stream.GetBuffer();
    if (!VerifyByteSum(bytes)) return kOptionsBadSum;
    // The reader stops before the sum, so a short file cannot pass the sum off as options.
    bytes.resize(bytes.size() - 2);
    stream.SetStoring(false);
    std::int32_t format = -1;
    stream.Serialize(format);
    if (format != 0) return kOptionsBadFormat;
    SConfig loaded = config;
    stream.Serialize(loaded);
    if (stream.HasLoadFailed()) return kOptionsBadFormat;
    config = std::move(loaded);
    return kOptionsDone;
}
