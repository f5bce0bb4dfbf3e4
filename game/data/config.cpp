#include "game/data/config.h"

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
