#pragma once
// The text of the command window that opens on an item of the item menu.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

// One line per command code, in the order given: a full-width space, the verb, a line feed. "#r" before
// the use (3) and take-out (5) lines marks them red while `blocked` is set; codes outside 1 to 12, and
// a use code for a class without a verb, add no line (a blocked one still adds its "#r").
ZTL::string BuildItemCommandList(const std::vector<std::int32_t>& codes, std::int32_t itemClass,
                                 bool equipped, bool blocked);
