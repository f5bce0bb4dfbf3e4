#pragma once
// The installation's settings, "save\main.cfg": display mode, sound settings, CPU load, the user number
// and the save entries that guard suspended adventures. The file ends with a check value, and the sum of
// the save entries is also kept as a value of the per-user settings store (written both before and after
// the file, so that a write cut short leaves a file one of them vouches for); a file whose sum differs
// from both loses the entries of its suspended adventures. The user number names the per-user folder under
// the user's data folder, where the running adventure's logs lie.
//
// The record also holds the clean-up mode's deletions ("deletesave").

#include "gamebase/sdk_names.h"
#include "sdk/ztl/archive.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <map>
#include <vector>

struct SGlobalData : public Auxiliary::IArchive
{
    // One guard of a suspended adventure: the flag and the value that its resume compares.
    struct SSaveEntry
    {
        bool flag = false;
        std::uint32_t value = 0;
    };

    // The 13 settings, in their stored order (not the order of the fields below).
    void Serialize(Auxiliary::ISerialize& stream) override;

    bool doubleSize = true; // the 320 x 240 screen shown doubled
    bool fullScreen = false;
    bool playMusicWhileInactive = false; // "非アクティブのときにBGMを止めない"
    bool musicOff = false;               // "BGMを再生しない"
    bool soundEffectsOff = false;        // "SEを再生しない"
    std::int32_t musicVolume = 160;      // 0 to 255
    std::int32_t soundEffectVolume = 160;
    std::int32_t cpuLoad = 3;         // milliseconds slept after every drawn frame
    bool alwaysFreeIdleSounds = true; // "再生していないファイルのメモリを常に開放"
    std::int32_t userNumber = -1;     // the per-user folder's number; below 0: none yet
    std::int32_t fileCounter = 0;     // kept by the save and replay browser
    std::int32_t lastSaveNumber = -1; // the game state's userNumber of the last adventure started
    bool registryFailed = false;      // writing the settings-store value failed
    bool useLocalFolder = false;      // the per-user folder lies under "temp" beside the executable
    std::map<std::int32_t, SSaveEntry> saveEntries; // by the game state's userNumber
    ZTL::string fileName;                           // "save\main.cfg" once loaded
};

// The one record of the process, built before the program starts.
extern SGlobalData g_globalData;

// Results of LoadGlobalData. A failed load leaves the record as it was (its file name set).
enum GlobalDataResult : int
{
    kGlobalDataLoaded = 0,
    kGlobalDataUnreadable = 1, // no file, or it cannot be read
    kGlobalDataBadCheck = 2,
    kGlobalDataBadFormat = 3, // a format version other than 0, or fewer bytes than the content needs
};

inline constexpr const char* kGlobalDataFileName = "save\\main.cfg";
// Where the sum of the save entries is kept, and its maker's key.
inline constexpr const char* kProductSettingsKey = "Software\\Quorlith\\marovellin";
inline constexpr const char* kMakerSettingsKey = "Software\\Quorlith";
// The game's folder in the user's data folder.
inline constexpr const char* kUserDataFolderName = "霧谷奇譚";

// Reads "save\main.cfg" (and compares the save entries' sum with the settings store): a GlobalDataResult.
int LoadGlobalData(SGlobalData& data);
// The same on the bytes of such a file, check value included.
int LoadGlobalDataFromBytes(SGlobalData& data, std::vector<std::uint8_t> bytes);
// Writes the file (and, when there are save entries, their sum to the settings store): 0 written, 1 not.
int SaveGlobalData(SGlobalData& data);
// Moves the save counter past the number just given to a save. A counter read from a damaged file can
// stand at the largest value: it stays there rather than wrapping to negative numbers.
void AdvanceFileCounter(SGlobalData& data);

// The per-user folder ("<data folder>\霧谷奇譚\0003", or "temp\0003" with the local folder), or its
// parent alone.
ZTL::string GetUserFolder(const SGlobalData& data, bool parentOnly);
// Makes "save", "replay" and the per-user folder, choosing a new user number when the record names no
// folder that exists, and saves the record.
void CreateUserFolders(SGlobalData& data);

// Deletes the files of a folder and the folder; asks first for "save" and "replay" when told to. The
// number of failures (a subfolder left, a file or the folder not deleted); 0 when the answer was No.
int DeleteDataFolder(const ZTL::string& folder, bool ask);
// The clean-up of the per-user data: the user's folder with its files, the settings-store value and the
// keys left empty. 0 when it ran, 1 when the global data could not be read, 2 when it names no user.
int DeleteRegistryData(SGlobalData& data);
