#include "game/data/global_data.h"

#include "game/data/appending_file.h"
#include "game/data/check_value.h"
#include "platform/host/file.h"
#include "platform/message_box.h"
#include "platform/settings.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/serialize.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

SGlobalData g_globalData;

namespace {

// Bytes of one stored save entry: its key (int), flag (bool) and value (u32).
constexpr std::size_t kSaveEntryBytes = 9;

std::string_view View(const ZTL::string& text)
{
    return std::string_view(text.c_str(), text.size());
}

// The user number as the settings value's name: four digits with leading zeros ("-001" for -1).
ZTL::string UserNumberText(std::int32_t number)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d", number);
    return ZTL::string(text);
}

// The number a folder name starts with: white space skipped, an optional sign, then decimal digits;
// 0 without digits. Numbers beyond the int range stop at its ends.
std::int32_t LeadingNumber(const char* text)
{
    while (*text != '\0' && std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        if (value <= INT_MAX) value = value * 10 + (*text - '0');
    if (negative) value = -value;
    return std::int32_t(value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value);
}

// The settings value that holds the sum of the file about to be written, until the file is in place.
ZTL::string PendingSumName(std::int32_t number)
{
    return UserNumberText(number) + ".next";
}

bool ReadSum(const ZTL::string& name, std::uint32_t& sum)
{
    platform::DWORD stored = 0;
    if (!platform::ReadSettingDword(kProductSettingsKey, View(name), stored)) return false;
    sum = stored;
    return true;
}

bool IsFolder(const ZTL::string& path)
{
    return platform::FolderExists(View(path));
}

// Makes the folder when it is not one yet; false when it cannot be made.
bool EnsureFolder(const ZTL::string& path)
{
    return IsFolder(path) || platform::MakeFolder(View(path));
}

// Whether a key of the settings store holds neither subkeys nor values.
bool IsEmptyKey(const char* key)
{
    platform::DWORD subKeys = 0, values = 0;
    return platform::CountSettings(key, subKeys, values) && subKeys == 0 && values == 0;
}

} // namespace

void SGlobalData::Serialize(Auxiliary::ISerialize& stream)
{
    stream.Serialize(doubleSize)
        .Serialize(fullScreen)
        .Serialize(userNumber)
        .Serialize(fileCounter)
        .Serialize(lastSaveNumber)
        .Serialize(useLocalFolder)
        .Serialize(playMusicWhileInactive)
        .Serialize(musicOff)
        .Serialize(soundEffectsOff)
        .Serialize(musicVolume)
        .Serialize(soundEffectVolume)
        .Serialize(cpuLoad)
        .Serialize(alwaysFreeIdleSounds);
}

void AdvanceFileCounter(SGlobalData& data)
{
    if (data.fileCounter < INT_MAX) ++data.fileCounter;
}

int LoadGlobalData(SGlobalData& data)
{
    data.fileName = kGlobalDataFileName;
    Auxiliary::CSerialize stream;
    if (stream.LoadFromFile(data.fileName) != 0) return kGlobalDataUnreadable;
    return LoadGlobalDataFromBytes(data, std::move(stream.GetBuffer()));
}

int LoadGlobalDataFromBytes(SGlobalData& data, std::vector<std::uint8_t> bytes)
{
    Auxiliary::CSerialize stream;
    stream.GetBuffer() = std::move(bytes);
    if (!VerifyCheckValue(stream.GetBuffer())) return kGlobalDataBadCheck;
    stream.SetStoring(false);

    // Everything is read into a copy, which replaces the record only once the whole file has been read.
    SGlobalData loaded = data;
    std::int32_t version = -1;
    stream.Serialize(version);
    if (version != 0) return kGlobalDataBadFormat;
    stream.Serialize(loaded);
    std::int32_t count = 0;
    stream.Serialize(count);
    // A count beyond the bytes left (the entries, then the one byte of the registry flag) is a damaged
    // file, refused before anything is read for it.
    const std::size_t size = stream.GetBuffer().size(), position = stream.ReadPosition();
    const std::size_t left = position < size ? size - position : 0;
    if (stream.HasLoadFailed() || count < 0 || left < 1 || std::size_t(count) > (left - 1) / kSaveEntryBytes)
        return kGlobalDataBadFormat;
    loaded.saveEntries.clear();
    std::uint32_t sum = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t key = 0;
        SGlobalData::SSaveEntry entry;
        stream.Serialize(key).Serialize(entry.flag).Serialize(entry.value);
        loaded.saveEntries[key] = entry;
        sum += entry.value;
    }
    stream.Serialize(loaded.registryFailed);
    if (stream.HasLoadFailed()) return kGlobalDataBadFormat;

    if (!loaded.registryFailed && count > 0) {
        // The file matches the sum, or the sum written just before it when the write of the sum after
        // it never came.
        std::uint32_t stored = 0, pending = 0;
        const bool matches = (ReadSum(UserNumberText(loaded.userNumber), stored) && stored == sum) ||
                             (ReadSum(PendingSumName(loaded.userNumber), pending) && pending == sum);
        // A file the sums do not vouch for loses the guards of the suspended adventures, whose values a
        // resume compares; the other entries are never compared and stay, so that no other adventure
        // is refused.
        if (!matches)
            for (auto it = loaded.saveEntries.begin(); it != loaded.saveEntries.end();)
                it = it->second.flag ? loaded.saveEntries.erase(it) : std::next(it);
    }
    data = std::move(loaded);
    return kGlobalDataLoaded;
}

int SaveGlobalData(SGlobalData& data)
{
    Auxiliary::CSerialize stream;
    std::int32_t version = 0;
    stream.Serialize(version).Serialize(data);
    std::int32_t count = std::int32_t(data.saveEntries.size());
    stream.Serialize(count);
    std::uint32_t sum = 0;
    for (auto& [userNumber, entry] : data.saveEntries) {
        std::int32_t key = userNumber;
        stream.Serialize(key).Serialize(entry.flag).Serialize(entry.value);
        sum += entry.value;
    }
    // The sum goes to the store before the file and after it: a write cut short anywhere leaves a file
    // that one of the two values vouches for.
    if (count > 0) {
        data.registryFailed =
            !platform::CreateSettingsKey(kProductSettingsKey) ||
            !platform::WriteSettingDword(kProductSettingsKey, View(PendingSumName(data.userNumber)), sum);
    }
    stream.Serialize(data.registryFailed);
    AppendCheckValue(stream.GetBuffer());
    if (stream.SaveToFile(data.fileName) != 0) return 1;
    if (count > 0 && !data.registryFailed)
        platform::WriteSettingDword(kProductSettingsKey, View(UserNumberText(data.userNumber)), sum);
    return 0;
}

ZTL::string GetUserFolder(const SGlobalData& data, bool parentOnly)
{
    ZTL::string folder;
    if (data.useLocalFolder) {
        folder = "temp";
    } else {
        // Without a data folder on this machine the game's folder stands beside the executable.
        std::string base;
        if (platform::GetUserDataFolder(base)) folder = ZTL::string(base.c_str()) + "\\";
        folder += kUserDataFolderName;
    }
    if (!parentOnly) folder += ZTL::string("\\") + UserNumberText(data.userNumber);
    return folder;
}

void CreateUserFolders(SGlobalData& data)
{
    EnsureFolder("save");
    EnsureFolder("replay");
    const ZTL::string parent = GetUserFolder(data, true);
    EnsureFolder(parent);
    // Writes that a kill cut short leave their temporary files beside the files they would have
    // replaced: the old files are whole, the leftovers only take room.
    for (const ZTL::string& folder : {ZTL::string("save"), ZTL::string("replay"), GetUserFolder(data, false)})
        platform::RemoveLeftoverWrites(View(Auxiliary::CFile::ResolvePath(folder)));
    SettleWorkFileBackups(GetUserFolder(data, false));
    if (data.userNumber != -1 && IsFolder(GetUserFolder(data, false))) return;

    // A new number, one above the largest number any folder of the parent starts with. The listing has
    // no "." and "..", which count as 0; a parent that cannot be listed gives 0.
    std::int32_t largest = -1;
    std::vector<platform::FolderEntry> entries;
    if (platform::ListFolder(View(parent), entries)) {
        largest = 0;
        for (const platform::FolderEntry& entry : entries) {
            const std::int32_t number = entry.isFolder ? LeadingNumber(entry.name.c_str()) : 0;
            if (number > largest) largest = number;
        }
    }
    data.userNumber = largest < INT_MAX ? largest + 1 : INT_MAX;
    SaveGlobalData(data);

    if (EnsureFolder(GetUserFolder(data, false))) return;
    data.useLocalFolder = true;
    SaveGlobalData(data);
    EnsureFolder("temp");
    EnsureFolder(GetUserFolder(data, false));
}

int DeleteDataFolder(const ZTL::string& folder, bool ask)
{
    std::vector<platform::FolderEntry> entries;
    if (!platform::ListFolder(View(folder), entries)) {
        platform::RemoveFolder(View(folder));
        return 0;
    }
    if (ask) {
        const char* question = folder == "save"     ? "セーブデータを削除しますか？"
                               : folder == "replay" ? "リプレイデータを削除しますか？"
                                                    : nullptr;
        // Only Yes deletes: a box that could not be shown keeps the folder as No does.
        if (question != nullptr &&
            platform::MessageBox(nullptr, question, "確認", platform::MB_YESNO | platform::MB_DEFBUTTON2) !=
                platform::IDYES)
            return 0;
    }
    int failures = 0;
    Auxiliary::CFile file;
    for (const platform::FolderEntry& entry : entries) {
        if (entry.isFolder) {
            ++failures;
            continue;
        }
        if (file.Delete(folder + "\\" + entry.name.c_str()) != 0) ++failures;
    }
    if (!platform::RemoveFolder(View(folder))) ++failures;
    return failures;
}

int DeleteRegistryData(SGlobalData& data)
{
    if (LoadGlobalData(data) != kGlobalDataLoaded) return 1;
    if (data.userNumber < 0) return 2;
    DeleteDataFolder(GetUserFolder(data, false), false);
    platform::RemoveFolder(View(GetUserFolder(data, true)));

    platform::DWORD subKeys = 0, values = 0;
    if (!platform::CountSettings(kProductSettingsKey, subKeys, values)) return 0;
    const bool pendingDeleted =
        platform::DeleteSetting(kProductSettingsKey, View(PendingSumName(data.userNumber)));
    if (!platform::DeleteSetting(kProductSettingsKey, View(UserNumberText(data.userNumber))) &&
        !pendingDeleted)
        return 0;
    if (IsEmptyKey(kProductSettingsKey) && !platform::DeleteSettingsKey(kProductSettingsKey)) return 0;
    if (IsEmptyKey(kMakerSettingsKey)) platform::DeleteSettingsKey(kMakerSettingsKey);
    return 0;
}
