#include "sdk/input/joystick.h"

#include "platform/input.h"

#include <cstring>

namespace zelvoranGameSDK3rd::Input {

namespace {
constexpr std::int32_t kMaxButtons = 256 - 4;
constexpr std::uint32_t kFewButtons = 4; // the short read reports four buttons
} // namespace

std::int32_t CWIN32JoyStick::Select(std::int32_t number)
{
    m_number = number;
    m_selected = false;
    if (number < 0 || std::uint32_t(number) >= platform::GetJoystickCount()) return 1;
    m_joyId = std::uint32_t(number);
    platform::JoystickCaps caps{};
    if (!platform::GetJoystickCaps(m_joyId, caps)) return 3;
    // The axis range in thirds: the middle third is centred.
    m_xLow = (2 * caps.xMin + caps.xMax) / 3;
    m_xHigh = (caps.xMin + 2 * caps.xMax) / 3;
    m_yLow = (2 * caps.yMin + caps.yMax) / 3;
    m_yHigh = (caps.yMin + 2 * caps.yMax) / 3;
    platform::JoystickPosition position{};
    if (!platform::ReadJoystick(m_joyId, position)) return 4;
    m_selected = true;
    Reset();
    return 0;
}

std::int32_t CWIN32JoyStick::SetButtonCount(std::int32_t count)
{
    m_buttonCount = count < 0 ? 0 : (count > kMaxButtons ? kMaxButtons : count);
    Reset();
    return 0;
}

std::int32_t CWIN32JoyStick::Update()
{
    if (!m_selected) return 1;
    Flip();
    platform::JoystickPosition position{};
    if (!platform::ReadJoystick(m_joyId, position)) return 2;
    if (m_buttonCount <= std::int32_t(kFewButtons)) position.buttons &= (1u << kFewButtons) - 1;
    std::uint8_t* state = Current();
    state[0] = position.y < m_yLow;
    state[1] = position.y > m_yHigh;
    state[2] = position.x < m_xLow;
    state[3] = position.x > m_xHigh;
    for (std::int32_t n = 0; n < m_buttonCount; ++n)
        state[4 + n] = n < 32 && ((position.buttons >> n) & 1u) != 0;
    return 0;
}

CJoyStick::CJoyStick() : m_device(new CJoyStickNullDevice)
{}

std::int32_t CJoyStick::Select(std::int32_t number)
{
    if (number < 0) {
        m_device = ZTL::smart_ptr<IJoyStick>(new CJoyStickNullDevice);
        return 1;
    }
    auto* pad = new CWIN32JoyStick;
    m_device = ZTL::smart_ptr<IJoyStick>(pad);
    return pad->Select(number) != 0 ? 1 : 0;
}

} // namespace zelvoranGameSDK3rd::Input
