#include "platform/settings.h"

#include "platform/backend_chooser.h"
#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/host/little_endian.h"

#include <vector>

namespace platform {

namespace {

bool ToUtf8(std::string_view key, std::string_view name, std::string& keyUtf8, std::string& nameUtf8)
{
    return Cp932ToUtf8(key, keyUtf8) && Cp932ToUtf8(name, nameUtf8);
}

} // namespace

bool CreateSettingsKey(std::string_view key)
{
    std::string keyUtf8;
    return Cp932ToUtf8(key, keyUtf8) && GetBackend().CreateSettingsKey(keyUtf8);
}

bool CountSettings(std::string_view key, DWORD& subKeys, DWORD& values)
{
    std::string keyUtf8;
    return Cp932ToUtf8(key, keyUtf8) && GetBackend().CountSettings(keyUtf8, subKeys, values);
}

bool DeleteSettingsKey(std::string_view key)
{
    std::string keyUtf8;
    return Cp932ToUtf8(key, keyUtf8) && GetBackend().DeleteSettingsKey(keyUtf8);
}

bool WriteSettingDword(std::string_view key, std::string_view name, DWORD value)
{
    std::string keyUtf8, nameUtf8;
    if (!ToUtf8(key, name, keyUtf8, nameUtf8)) return false;
    std::vector<std::uint8_t> bytes(4);
    WriteU32(bytes.data(), value);
    const std::string what = "setting " + keyUtf8 + "\\" + nameUtf8;
    if (IsFileWriteRefused(what)) return false;
    NotifyFileChange(what);
    return GetBackend().WriteSetting(keyUtf8, nameUtf8, bytes);
}

bool ReadSettingDword(std::string_view key, std::string_view name, DWORD& value)
{
    std::string keyUtf8, nameUtf8;
    std::vector<std::uint8_t> bytes;
    if (!ToUtf8(key, name, keyUtf8, nameUtf8) || !GetBackend().ReadSetting(keyUtf8, nameUtf8, bytes) ||
        bytes.size() != 4)
        return false;
    value = ReadU32(bytes.data());
    return true;
}

bool DeleteSetting(std::string_view key, std::string_view name)
{
    std::string keyUtf8, nameUtf8;
    return ToUtf8(key, name, keyUtf8, nameUtf8) && GetBackend().DeleteSetting(keyUtf8, nameUtf8);
}

} // namespace platform
