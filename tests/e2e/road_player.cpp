#include "e2e/road_player.h"
