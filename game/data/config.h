#pragma once
// The option record: what the option files store and the windows, the map and the menus read.
//
// An option file (a save set's ".cfg" companion, and "save\replay.cfg") holds the format value 0 (int),
// the record, and the 16-bit sum of those bytes, high byte first.

#include "gamebase/sdk_names.h"
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

// The replay configuration: every SaveOptions writes here too, and viewing a replay reads it.
inline constexpr const char* kReplayConfigFileName = "save\\replay.cfg";

// Results of LoadOptions.
enum OptionsResult : int
{
    kOptionsDone = 0,
    kOptionsUnreadable = 1, // no file name, no file, or it cannot be read
    kOptionsBadSum = 2,
    kOptionsBadFormat = 3, // a format value other than 0, or fewer bytes than the record needs
};

// Writes the options to their own file name and to the replay configuration (write failures are not
// reported): 0, or 1 when the options have no file name (nothing written).
int SaveOptions(const SConfig& config);
// Writes the options to the replay configuration alone: the stream's save result (0 written).
int SaveReplayConfig(const SConfig& config);
// Reads the options from their own file name: an OptionsResult. A failed load leaves them as they were.
int LoadOptions(SConfig& config);
