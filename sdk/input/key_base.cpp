#include "sdk/input/key_base.h"

#include <cstring>

namespace zelvoranGameSDK3rd::Input {

bool IKeyBase::IsPress(int key)
{
    return InRange(key) && Current()[key] != 0;
}

bool IKeyBase::IsPush(int key)
{
    return InRange(key) && Current()[key] != 0 && Previous()[key] == 0;
}

void IKeyBase::Reset()
{
    std::memset(m_state, 0, sizeof m_state);
}

void CVirtualKey::AddDevice(const ZTL::smart_ptr<IKeyBase>& device)
{
    m_devices.push_back(device);
}

void CVirtualKey::AddKey(int virtualKey, const ZTL::smart_ptr<CKeyInfo>& info)
{
    if (info.isNull() || virtualKey < 0 || virtualKey >= kKeyCount) return;
    m_keyLists[virtualKey].push_back(info);
}

void CVirtualKey::AddKey(int virtualKey, std::int32_t deviceNo, std::int32_t keyCode)
{
    AddKey(virtualKey, ZTL::smart_ptr<CKeyInfo>(new CKeyInfo(deviceNo, keyCode)));
}

void CVirtualKey::ClearKeys()
{
    for (auto& list : m_keyLists)
        list.clear();
}

std::size_t CVirtualKey::GetKeyCount(int virtualKey) const
{
    return virtualKey >= 0 && virtualKey < kKeyCount ? m_keyLists[virtualKey].size() : 0;
}

std::int32_t CVirtualKey::Update()
{
    std::int32_t result = 0;
    for (auto& device : m_devices)
        result |= device->Update();
    Flip();
    std::memset(Current(), 0, 256);
    for (int v = 0; v < kKeyCount; ++v) {
        for (auto& info : m_keyLists[v]) {
            const std::int32_t device = info->deviceNo;
            if (device < 0 || std::size_t(device) >= m_devices.size()) continue;
            if (m_devices[std::size_t(device)]->IsPress(info->keyCode)) {
                Current()[v] = 255;
                break;
            }
        }
    }
    return result;
}

} // namespace zelvoranGameSDK3rd::Input
