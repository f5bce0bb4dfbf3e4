#include "e2e/road_player.h"

#include <gtest/gtest.h>
