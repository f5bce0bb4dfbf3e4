#include "game/app/key_thread.h"

#include "game/data/error_box.h"
#include "platform/host/scan_codes.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <array>
#include <initializer_list>

namespace {

using platform::DIK_A, platform::DIK_C, platform::DIK_D, platform::DIK_F, platform::DIK_S, platform::DIK_V,
    platform::DIK_X, platform::DIK_Z, platform::DIK_UP, platform::DIK_LEFT, platform::DIK_DOWN,
    platform::DIK_RIGHT;

// Repeat value that reports once per press: the counter is never counted down.
constexpr std::int32_t kOncePerPress = 128;
// Logical keys that take the configurable bindings.
constexpr int kConfigurableKeys = 12;
// Keys the start-up block holds until released: the action keys, the directions and the diagonals.
constexpr std::uint32_t kStartBlock = 0xFFFF;
constexpr int kCaptureCodes = 256;
constexpr int kPadButtons = 20;

struct SKeyCode
{
    int logicalKey;
    std::int32_t code;
};

// Keyboard keys bound whatever the configuration says: the numeric pad's directions and the system keys.
constexpr SKeyCode kFixedKeys[] = {
    {8, platform::DIK_NUMPAD8},  {9, platform::DIK_NUMPAD4},  {10, platform::DIK_NUMPAD2},
    {11, platform::DIK_NUMPAD6}, {12, platform::DIK_NUMPAD7}, {13, platform::DIK_NUMPAD9},
    {14, platform::DIK_NUMPAD1}, {15, platform::DIK_NUMPAD3}, {16, platform::DIK_ESCAPE},
    {17, platform::DIK_LMENU},   {17, platform::DIK_RMENU},   {18, platform::DIK_RETURN},
    {19, platform::DIK_F1},      {20, platform::DIK_TAB},
};

// The default keyboard key and pad code of logical keys 0 to 11.
constexpr std::int32_t kDefaultKeyboard[kConfigurableKeys] = {
    DIK_Z, DIK_X, DIK_C, DIK_V, DIK_A, DIK_S, DIK_D, DIK_F, DIK_UP, DIK_LEFT, DIK_DOWN, DIK_RIGHT};
constexpr std::int32_t kDefaultPad[kConfigurableKeys] = {4, 5, 6, 7, 8, 9, 10, 11, 0, 2, 1, 3};

// Keys that must keep their own meaning, and keys the system takes before the game sees them.
constexpr std::uint8_t kReservedKeys[] = {
    platform::DIK_NUMPAD1, platform::DIK_NUMPAD2, platform::DIK_NUMPAD3,   platform::DIK_NUMPAD4,
    platform::DIK_NUMPAD6, platform::DIK_NUMPAD7, platform::DIK_NUMPAD8,   platform::DIK_NUMPAD9,
    platform::DIK_LMENU,   platform::DIK_RMENU,   platform::DIK_RETURN,    platform::DIK_ESCAPE,
    platform::DIK_F1,      platform::DIK_TAB,     platform::DIK_NOCONVERT, platform::DIK_CONVERT,
    platform::DIK_KANA,    platform::DIK_LWIN,    platform::DIK_RWIN,      platform::DIK_APPS,
    platform::DIK_SYSRQ,
};

constexpr bool IsLogicalKey(int key)
{
    return key >= 0 && key < CKeyThread::kLogicalKeyCount;
}

} // namespace

CKeyThread::CKeyThread() : m_path(kKeyConfigFileName)
{}

CKeyThread::~CKeyThread()
{
    m_bindings.clear();
    m_reservedKeys.clear();
}

void CKeyThread::Setup()
{
    std::fill(std::begin(m_repeatValues), std::end(m_repeatValues), 0);
    std::fill(std::begin(m_repeatCounters), std::end(m_repeatCounters), 0);
    m_heldMask = 0;
    m_capturing = false;
    m_captureKey = -1;
    m_captureDevice = kKeyboard;
    m_blockMask = kStartBlock;

    // The devices are members; the device list only refers to them.
    ZTL::smart_ptr<Input::IKeyBase> keyboard, pad;
    keyboard.add(&m_keyboard, false);
    pad.add(&m_pad, false);
    AddDevice(keyboard);
    AddDevice(pad);

    m_padNumber = 0;
    if (m_pad.Select(0) != 0) {
        m_pad.Select(1);
        m_padNumber = 1;
    }
    m_pad.SetButtonCount(kPadButtons);

    if (LoadKeyConfig() != kKeyConfigLoaded) {
        SetDefaultBindings();
        SaveKeyConfig();
    }
    m_reservedKeys.insert(std::begin(kReservedKeys), std::end(kReservedKeys));
}

void CKeyThread::BuildKeyMask(std::uint32_t& mask)
{
    mask = 0;
    if (m_capturing) {
        StepCapture();
        return;
    }
    Update();
    for (int key = 0; key < kLogicalKeyCount; ++key)
        if (ReportKey(key)) mask |= 1u << key;
}

bool CKeyThread::ReportKey(int key)
{
    const std::uint32_t bit = 1u << key;
    const bool pressed = IsPress(key);
    if ((m_blockMask & bit) != 0) {
        if (pressed) return false;
        m_blockMask &= ~bit;
    }
    std::int32_t& counter = m_repeatCounters[key];
    // A release ends the press under any value, so that the next press starts afresh even when the value
    // changed while the key was down.
    if (!pressed) {
        counter = 0;
        m_heldMask &= ~bit;
        return false;
    }
    const std::int32_t value = m_repeatValues[key];
    if (value == 0) return true;
    if (counter > 0) {
        if (value != kOncePerPress) --counter;
        return false;
    }
    const bool reported = (m_heldMask & bit) != 0;
    // A press that opened a menu is still down when the menu clears the counters: it must not act there
    // as a second press.
    if (reported && value == kOncePerPress) return false;
    // The first report of a press waits the whole value; the repeats that follow an eighth of it.
    counter = reported ? value >> 3 : value;
    m_heldMask |= bit;
    return true;
}

void CKeyThread::SetAllKeyStates(std::int32_t value)
{
    std::fill(std::begin(m_repeatValues), std::end(m_repeatValues), value);
    // Alt is read together with Enter (full screen) and Tab, so it must report while held.
    m_repeatValues[17] = 0;
    m_repeatValues[18] = kOncePerPress;
    m_repeatValues[20] = kOncePerPress;
}

void CKeyThread::SetRepeatValue(int logicalKey, std::int32_t value)
{
    if (IsLogicalKey(logicalKey)) m_repeatValues[logicalKey] = value;
}

std::int32_t CKeyThread::GetRepeatValue(int logicalKey) const
{
    return IsLogicalKey(logicalKey) ? m_repeatValues[logicalKey] : 0;
}

void CKeyThread::ClearKeyTables()
{
    std::fill(std::begin(m_repeatCounters), std::end(m_repeatCounters), 0);
}

std::vector<CKeyThread::SConfigData>::iterator CKeyThread::FindBindingOf(int logicalKey, std::int32_t device)
{
    return std::find_if(m_bindings.begin(), m_bindings.end(), [&](const SConfigData& b) {
        return b.logicalKey == logicalKey && b.device == device;
    });
}

std::int32_t CKeyThread::FindBinding(int logicalKey, bool pad) const
{
    const std::int32_t device = pad ? kPad : kKeyboard;
    for (const SConfigData& b : m_bindings)
        if (b.logicalKey == logicalKey && b.device == device) return b.code;
    return -1;
}

std::int32_t CKeyThread::FindFixedKey(int logicalKey)
{
    for (const SKeyCode& fixed : kFixedKeys)
        if (fixed.logicalKey == logicalKey) return fixed.code;
    return -1;
}

void CKeyThread::BeginKeyCapture(int logicalKey, bool pad)
{
    const std::int32_t device = pad ? kPad : kKeyboard;
    // A backup left by an earlier capture must not come back as this key's binding.
    m_backupHeld = false;
    m_backup = SConfigData{};
    if (auto it = FindBindingOf(logicalKey, device); it != m_bindings.end()) {
        m_backup = *it;
        m_backupHeld = true;
        m_bindings.erase(it);
    }
    m_capturing = true;
    m_captureKey = logicalKey;
    m_captureDevice = device;
}

void CKeyThread::StepCapture()
{
    Update();
    Input::IKeyBase& target = m_captureDevice == kPad ? static_cast<Input::IKeyBase&>(m_pad) : m_keyboard;
    Input::IKeyBase& other = m_captureDevice == kPad ? static_cast<Input::IKeyBase&>(m_keyboard) : m_pad;

    std::int32_t code = -1;
    for (int c = 0; c < kCaptureCodes && code < 0; ++c)
        if (target.IsPush(c)) code = c;
    for (int c = 0; c < kCaptureCodes; ++c) {
        if (other.IsPush(c)) {
            // Cancelled: the key keeps what it had.
            if (m_backupHeld) m_bindings.push_back(m_backup);
            m_backupHeld = false;
            EndCapture();
            return;
        }
    }
    if (code < 0) return;
    if (m_captureDevice == kKeyboard && m_reservedKeys.contains(code)) return;

    auto owner = std::find_if(m_bindings.begin(), m_bindings.end(), [&](const SConfigData& b) {
        return b.device == m_captureDevice && b.code == code;
    });
    if (owner != m_bindings.end()) {
        // The key that had the code takes the captured key's old one; without an old one it is left
        // unbound rather than bound to a code nobody chose.
        const SConfigData swapped{owner->logicalKey, m_captureDevice, m_backup.code};
        m_bindings.erase(owner);
        if (m_backupHeld) m_bindings.push_back(swapped);
        m_backup = SConfigData{};
        m_backupHeld = false;
    }
    m_bindings.push_back({m_captureKey, m_captureDevice, code});
    EndCapture();
}

void CKeyThread::EndCapture()
{
    m_capturing = false;
    m_captureKey = -1;
    m_captureDevice = -1;
}

void CKeyThread::ApplyBindings()
{
    ClearKeys();
    for (const SConfigData& b : m_bindings)
        if (b.logicalKey >= 0 && b.logicalKey < kConfigurableKeys) AddKey(b.logicalKey, b.device, b.code);
    for (const SKeyCode& fixed : kFixedKeys)
        AddKey(fixed.logicalKey, kKeyboard, fixed.code);
}

void CKeyThread::SetDefaultBindings()
{
    m_bindings.clear();
    for (int key = 0; key < kConfigurableKeys; ++key) {
        m_bindings.push_back({key, kKeyboard, kDefaultKeyboard[key]});
        m_bindings.push_back({key, kPad, kDefaultPad[key]});
    }
    ApplyBindings();
}

int CKeyThread::SaveKeyConfig()
{
    const std::vector<std::uint8_t> bytes = EncodeKeyConfig(m_bindings);
    Auxiliary::CFile file;
    if (file.Write(m_path, bytes.data(), static_cast<std::uint32_t>(bytes.size())) != 0) {
        ShowErrorBox("キーコンフィグファイルの保存に失敗しました。");
        return 1;
    }
    return m_bindings.empty() ? 2 : 0;
}

int CKeyThread::LoadKeyConfig()
{
    std::vector<std::uint8_t> bytes;
    Auxiliary::CFile file;
    if (file.ReadToVector(m_path, bytes) != 0) return kKeyConfigUnreadable;
    const int result = DecodeKeyConfig(bytes, m_bindings);
    if (result == kKeyConfigBadCheck) ShowErrorBox("キーコンフィグファイルの読み込みに失敗しました。");
    if (result == kKeyConfigLoaded) ApplyBindings();
    return result;
}

// ---- Key names.

namespace {

constexpr std::int32_t kLastNamedCode = 275;

struct SNameRun
{
    std::int32_t first;
    std::initializer_list<const char*> names;
};

const std::array<const char*, kLastNamedCode + 1>& KeyNameTable()
{
    static const std::array<const char*, kLastNamedCode + 1> table = [] {
        const SNameRun runs[] = {
            {2, {"１", "２", "３", "４", "５", "６", "７", "８", "９", "０"}},
            {12, {"－", "＾", "BS", "Tab "}},
            {16, {"Ｑ", "Ｗ", "Ｅ", "Ｒ", "Ｔ", "Ｙ", "Ｕ", "Ｉ", "Ｏ", "Ｐ"}},
            {26, {"＠", "「", "ENTER ", "左Ctrl"}},
            {30, {"Ａ", "Ｓ", "Ｄ", "Ｆ", "Ｇ", "Ｈ", "Ｊ", "Ｋ", "Ｌ"}},
            {39, {"；", "：", "」", "左Shift ", "￥"}},
            {44, {"Ｚ", "Ｘ", "Ｃ", "Ｖ", "Ｂ", "Ｎ", "Ｍ"}},
            {51, {"，", nullptr, "．"}},
            {54, {"右Shift ", "Num ＊", "左Menu", "Space ", "Cap "}},
            {59, {"Ｆ１", "Ｆ２", "Ｆ３", "Ｆ４", "Ｆ５", "Ｆ６", "Ｆ７", "Ｆ８", "Ｆ９", "Ｆ１０"}},
            {69, {"NLock ", "Scroll"}},
            {71,
             {"Num ７", "Num ８", "Num ９", "Num －", "Num ４", "Num ５", "Num ６", "Num ＋", "Num １",
              "Num ２", "Num ３", "Num ０", "Num ．"}},
            {87, {"Ｆ１１", "Ｆ１２"}},
            {125, {"￥"}},
            {156, {"NEnter", "右Ctrl"}},
            {181, {"Num ／"}},
            {197, {"Pause"}},
            {199, {"Home", "↑", "PageUp"}},
            {203, {"←", nullptr, "→"}},
            {207, {"End", "↓", "PageDn", "Insert", "Delete"}},
            {256, {"Pad ↑", "Pad ↓", "Pad ←", "Pad →"}},
            {260,
             {"Pad ０", "Pad １", "Pad ２", "Pad ３", "Pad ４", "Pad ５", "Pad ６", "Pad ７", "Pad ８",
              "Pad ９", "Pad １０", "Pad １１", "Pad １２", "Pad １３", "Pad １４", "Pad １５"}},
        };
        std::array<const char*, kLastNamedCode + 1> names{};
        for (const SNameRun& run : runs) {
            std::int32_t code = run.first;
            for (const char* name : run.names)
                names[std::size_t(code++)] = name;
        }
        return names;
    }();
    return table;
}

} // namespace

ZTL::string GetKeyDisplayName(std::int32_t code)
{
    const char* name = code >= 0 && code <= kLastNamedCode ? KeyNameTable()[std::size_t(code)] : nullptr;
    return ZTL::string(name != nullptr ? name : "不明");
}
