#pragma once
// The option record: what the option files store and the windows, the map and the menus read.

#include "game/sdk_names.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

struct SConfig : public Auxiliary::IArchive
{
    // Stores or loads option 1, 2, 3, 5, 4 (a byte each) and then the message speed (4 bytes): the
    // stored order swaps the last two switches. The file name is not stored.
    void Serialize(Auxiliary::ISerialize& stream) override;
    // Back to the defaults; the file name stays.
    void Reset();

    // The file the options were loaded from and are saved to.
    ZTL::string name;
    bool menuBackgroundMoves = false; // option 1
    bool translucentWindows = true;   // option 2
    bool darknessFades = true;        // option 3
    bool smoothFont = false;          // option 4
    bool showMap = true;              // option 5
    // Frames a message stays; -1 waits for a key.
    std::int32_t messageSpeed = 18;
};
