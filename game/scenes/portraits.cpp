#include "game/scenes/portraits.h"

#include "game/app/game_resource.h"
#include "game/ui/image_list.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string_view>

namespace {

constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;
constexpr std::int32_t kSlotWidth = 160;
constexpr std::int32_t kFadeStep = 8;
constexpr std::int32_t kShown = 255;

enum EScenarioResult : std::int32_t
{
    kNoScenario = -1,
    kPastText = -2,
    kNotCommand = -4,
    kNoPortrait = -5,
    kTextShown = 1,
    kPortraitFadedOut = 5,
    kUpdate = 6,
    kSound = 7,
    kCheck = 8,
    kEnd = 9,
};

const std::map<std::string_view, std::int32_t>& Commands()
{
    static const std::map<std::string_view, std::int32_t> commands = {
        {"left", 2}, {"center", 3}, {"right", 4}, {"update", 6}, {"sound", 7}, {"check", 8}, {"end", 9},
    };
    return commands;
}

const std::map<std::string_view, std::int32_t>& PortraitNames()
{
    static const std::map<std::string_view, std::int32_t> names = {
        {"null", kPortraitNone},
        {"霞野通常", 14000},
        {"霞野笑顔", 14002},
        {"霞野驚き", 14004},
        {"霞野あきれ", 14006},
        {"霞野苦笑", 14008},
        {"霞野笑顔２", 14010},
        {"霞野釘バット通常", 14012},
        {"霞野釘バットあきれ", 14014},
        {"宗真", 14100},
        {"榎戸", 14102},
        {"ルゥナ", 14104},
    };
    return names;
}

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The next word of `text` from `pos` on; empty at the end.
std::string_view NextWord(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && IsSpace(text[pos]))
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !IsSpace(text[pos]))
        ++pos;
    return text.substr(start, pos - start);
}

// One fade step of a layer; 0 idle, 1 fading out, 2 fading in.
std::int32_t StepLayer(std::int32_t& picture, std::int32_t& level)
{
    if (picture == kPortraitNone) return 0;
    if (level < 0) {
        level += kFadeStep;
        if (level >= 0) {
            picture = kPortraitNone;
            level = 0;
        }
        return 1;
    }
    if (level == 0) {
        picture = kPortraitNone;
        return 0;
    }
    if (level == kShown) return 0;
    level = std::min(level + kFadeStep, kShown);
    return 2;
}

void DrawLayer(Draw::ISurface& target, std::int32_t slot, std::int32_t picture, std::int32_t level)
{
    if (picture == kPortraitNone || level == 0) return;
    std::int32_t width = 0;
    std::int32_t height = 0;
    AccessImageList(kImageListGet, picture).GetSize(&width, &height);
    std::int32_t x = 0;
    std::int32_t y = 0;
    GetPortraitPosition(slot, width, height, x, y);
    CBltSupport::BltImageBlendColorKey(target, picture, x, y, std::min(std::abs(level), kShown));
}

} // namespace

void ResetPortraitLayers(SGameResource& game)
{
    for (SGameResource::SPortraitLayer& layer : game.portraits)
        layer = SGameResource::SPortraitLayer();
}

void SetPortrait(SGameResource& game, std::int32_t slot, std::int32_t picture)
{
    if (slot < 0 || slot > 2) return;
    SGameResource::SPortraitLayer& layer = game.portraits[std::size_t(slot)];
    if (layer.picture != kPortraitNone && layer.level < 0) {
        layer.picture = kPortraitNone;
        layer.level = 0;
    }
    if (picture == kPortraitNone) {
        if (layer.picture != kPortraitNone) layer.level = -kShown;
        return;
    }
    if (layer.picture != kPortraitNone) {
        layer.previousPicture = layer.picture;
        layer.previousLevel = -kShown;
    }
    layer.picture = picture;
    layer.level = 1;
}

std::int32_t UpdatePortraitFades(SGameResource& game)
{
    std::int32_t result = 0;
    for (SGameResource::SPortraitLayer& layer : game.portraits) {
        if (const std::int32_t busy = StepLayer(layer.picture, layer.level); busy != 0) result = busy;
        if (const std::int32_t busy = StepLayer(layer.previousPicture, layer.previousLevel); busy != 0)
            result = busy;
    }
    return result;
}

void FinishPortraitFades(SGameResource& game)
{
    for (SGameResource::SPortraitLayer& layer : game.portraits) {
        layer.previousPicture = kPortraitNone;
        layer.previousLevel = 0;
        if (layer.picture != kPortraitNone && layer.level > 0) {
            layer.level = kShown;
        } else {
            layer.picture = kPortraitNone;
            layer.level = 0;
        }
    }
}

bool IsPortraitFading(const SGameResource& game)
{
    for (const SGameResource::SPortraitLayer& layer : game.portraits)
        if (layer.picture != kPortraitNone && layer.level != 0 && layer.level != kShown) return true;
    return false;
}

void AddPortraitDirtyRects(SGameResource& game, Draw::IDirtyRect& dirty)
{
    for (std::int32_t slot = 0; slot < 3; ++slot) {
        const SGameResource::SPortraitLayer& layer = game.portraits[std::size_t(slot)];
        if (layer.picture == kPortraitNone) continue;
        std::int32_t width = 0;
        std::int32_t height = 0;
        AccessImageList(kImageListGet, layer.picture).GetSize(&width, &height);
        std::int32_t x = 0;
        std::int32_t y = 0;
        GetPortraitPosition(slot, width, height, x, y);
        dirty.AddRect(std::max(x, 0), std::max(y, 0), std::min(x + width, kScreenWidth),
                      std::min(y + height, kScreenHeight));
        if (layer.level != 0 && layer.level != kShown) dirty.AddRect(0, 0, kScreenWidth, kScreenHeight);
    }
}

void GetPortraitPosition(std::int32_t slot, std::int32_t width, std::int32_t height, std::int32_t& x,
                         std::int32_t& y)
{
    x = slot * 80 + (kSlotWidth - width) / 2;
    y = (kScreenHeight - height) / 2;
    if (x + width > kScreenWidth) x = kScreenWidth - width;
    if (y + height > kScreenHeight) y = kScreenHeight - height;
    x = std::max(x, 0);
    y = std::max(y, 0);
}

void DrawPortraits(SGameResource& game, Draw::ISurface& target, bool withPrevious)
{
    for (std::int32_t slot = 0; slot < 3; ++slot) {
        const SGameResource::SPortraitLayer& layer = game.portraits[std::size_t(slot)];
        DrawLayer(target, slot, layer.picture, layer.level);
    }
    if (!withPrevious) return;
    for (std::int32_t slot = 0; slot < 3; ++slot) {
        const SGameResource::SPortraitLayer& layer = game.portraits[std::size_t(slot)];
        DrawLayer(target, slot, layer.previousPicture, layer.previousLevel);
    }
}

std::int32_t RunScenario(std::int32_t scenario, SGameResource& game, std::int32_t& line)
{
    if (scenario < 0 || std::size_t(scenario) >= game.scriptStarts.size()) return kNoScenario;
    const std::int64_t index = std::int64_t(game.scriptStarts[std::size_t(scenario)]) + line;
    if (index < 0 || std::size_t(index) >= game.scenarioLines.size()) return kPastText;
    const ZTL::string& text = game.scenarioLines[std::size_t(index)];
    const std::string_view view(text.c_str(), text.size());

    if (!view.empty() && (IsLeadByte(static_cast<unsigned char>(view[0])) || view[0] == '#')) {
        game.messageWindow.AddWrappedMessage(-1, text);
        game.refreshRequest = 1;
        return kTextShown;
    }

    std::size_t pos = 0;
    const auto command = Commands().find(NextWord(view, pos));
    if (command == Commands().end()) return kNotCommand;
    const std::int32_t value = command->second;
    switch (value) {
    case 2:
    case 3:
    case 4: {
        const auto portrait = PortraitNames().find(NextWord(view, pos));
        if (portrait == PortraitNames().end()) return kNoPortrait;
        SetPortrait(game, value - 2, portrait->second);
        return portrait->second == kPortraitNone ? kPortraitFadedOut : value;
    }
    case kSound:
        PlaySoundEffect(game, std::atoi(std::string(NextWord(view, pos)).c_str()));
        return kSound;
    case kCheck: {
        const std::int32_t flag = std::atoi(std::string(NextWord(view, pos)).c_str());
        if ((flag == 1 || flag == 2) && game.scenarioFlags[std::size_t(flag - 1)] != 0) ++line;
        return kCheck;
    }
    default:
        return value; // "update" and "end": the caller waits or ends the scene
    }
}
