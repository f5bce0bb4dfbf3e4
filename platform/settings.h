// The per-user settings store, standing where a Windows program keeps its registry settings under the
// current user: keys named by paths of `\`-separated names ("Software\Quorlith\marovellin"), each
// holding named values and further keys. Names are CP932 and compared ignoring ASCII letter case.
// The real back end keeps the store in a file of the user's configuration folder, the headless one in
// memory.
#pragma once

#include "platform/win_types.h"

#include <string_view>

namespace platform {

// Makes the key and any missing parent; true when it exists afterwards.
bool CreateSettingsKey(std::string_view key);
// The number of direct subkeys and values of a key; false when the key does not exist.
bool CountSettings(std::string_view key, DWORD& subKeys, DWORD& values);
// Removes a key with its values; false when it does not exist or still has subkeys.
bool DeleteSettingsKey(std::string_view key);

// A 32-bit value (four bytes, low byte first). Writing makes the key when it is missing; reading fails
// when the key or the value is missing or the value is not four bytes long.
bool WriteSettingDword(std::string_view key, std::string_view name, DWORD value);
bool ReadSettingDword(std::string_view key, std::string_view name, DWORD& value);
// False when there is no such value.
bool DeleteSetting(std::string_view key, std::string_view name);

} // namespace platform
