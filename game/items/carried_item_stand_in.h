#pragma once
// Stand-in: the elemental states of carried items replace this header (announcing an identification,
// removing a used carried item); delete it and its source when they come.

#include <cstdint>

struct SGameResource;

void AnnounceIdentification(std::uint16_t item, SGameResource& game);
void RemoveCarriedItem(SGameResource& game, std::uint16_t item);
