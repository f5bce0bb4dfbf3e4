#pragma once
// The name a character goes by in messages, as the heroine sees it.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SGameResource;

// The heroine's name for 0xFFFF, else the table character's (hidden while she cannot see it).
ZTL::string GetDisplayName(SGameResource& game, std::uint16_t index);
