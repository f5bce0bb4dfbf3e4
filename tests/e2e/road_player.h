#pragma once
// The road player: from the title through a whole run of the first dungeon and what follows it.

#include "e2e/e2e_harness.h"
