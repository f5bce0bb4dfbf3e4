#pragma once
// The key object: folds the keyboard and one game pad into the game's 21 logical keys and hands the
// game, once a frame, a key mask with bit i set when logical key i reports on this frame under its
// repeat rule. It keeps the player's bindings in "save\key.cfg", captures new bindings for the
// key-configuration screens and names keys for them. Despite its name it is no thread: the application
// thread polls it.
//
// Logical keys: 0 to 7 the action keys, 8 up, 9 left, 10 down, 11 right, 12 to 15 the diagonals
// (up-left, up-right, down-left, down-right), 16 Escape, 17 Alt, 18 Enter, 19 F1, 20 Tab. Keys 0 to 11
// take the configurable bindings; keys 8 to 20 also have fixed keyboard keys that are always bound.
//
// Codes: a keyboard code is a keyboard scan code (0 to 255); a pad code is 0 up, 1 down, 2 left, 3 right,
// 4 + n button n (n 0 to 19).

#include "game/data/key_config.h"
#include "gamebase/sdk_names.h"
#include "sdk/input/joystick.h"
#include "sdk/input/key_base.h"
#include "sdk/input/key_input.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <set>
#include <vector>

class CKeyThread : public Input::CVirtualKey
{
public:
    using SConfigData = SKeyConfigData;

    static constexpr int kLogicalKeyCount = 21;
    static constexpr int kKeyboard = 0; // device numbers of the bindings
    static constexpr int kPad = 1;

    CKeyThread();
    ~CKeyThread() override;
    CKeyThread(const CKeyThread&) = delete;
    CKeyThread& operator=(const CKeyThread&) = delete;

    // Once, before the first frame: registers the keyboard and the pad, picks pad 0 or else pad 1, loads
    // the bindings (the defaults, saved at once, when the file cannot be used). Keys 0 to 15 held at
    // this point report only once they have been released.
    void Setup();

    // The key mask of this frame; 0 while a capture is active (the frame then runs a capture step).
    void BuildKeyMask(std::uint32_t& mask);

    // Repeat values: 0 reports every frame while held; 128 once per press; any other v on the press,
    // again v + 1 frames later, then every (v >> 3) + 1 frames.
    // Sets every key's value to v, then Alt (17) to 0 and Enter (18) and Tab (20) to 128.
    void SetAllKeyStates(std::int32_t value);
    void SetRepeatValue(int logicalKey, std::int32_t value);
    std::int32_t GetRepeatValue(int logicalKey) const;
    // Restarts every key's repeat count: a held key whose value repeats reports again on the next frame;
    // a held once-per-press key stays quiet until it is released.
    void ClearKeyTables();

    // Keys whose bit is set report nothing until they are seen released; each bit clears then.
    void SetBlockMask(std::uint32_t mask) { m_blockMask = mask; }
    std::uint32_t GetBlockMask() const { return m_blockMask; }

    // The code bound to the logical key on the keyboard or the pad (the first such binding); -1 when none.
    std::int32_t FindBinding(int logicalKey, bool pad) const;
    // The keyboard key that reports the logical key whatever the configuration says (the first of two);
    // -1 when none does.
    static std::int32_t FindFixedKey(int logicalKey);

    // Captures the next key that goes down on the device as the logical key's binding; a key of the other
    // device cancels. A key already bound to another logical key on that device passes to it the code
    // the captured key had. Only the binding list changes: saving and loading applies it.
    void BeginKeyCapture(int logicalKey, bool pad);
    bool IsCapturing() const { return m_capturing; }

    // The 24 default bindings (keys 0 to 11, keyboard then pad each), applied.
    void SetDefaultBindings();
    // Makes the binding list and the fixed keys the keys the mask reads.
    void ApplyBindings();
    // 0 saved; 1 not written (an error box was shown; the bindings stay); 2 empty list (an empty file).
    int SaveKeyConfig();
    // A KeyConfigResult. A wrong check value shows an error box and leaves the list empty; the other
    // failures leave it as it was. The bindings are applied on success.
    int LoadKeyConfig();

    const std::vector<SConfigData>& GetBindings() const { return m_bindings; }
    // 0, or 1 when pad 0 could not be selected (the pad-button dialog reads pad 1 then).
    std::int32_t GetPadNumber() const { return m_padNumber; }

private:
    // One capture step, in place of a mask.
    void StepCapture();
    void EndCapture();
    // Whether logical key i reports on this frame; the devices were updated.
    bool ReportKey(int key);
    // The first binding of the logical key on the device, or the end of the list.
    std::vector<SConfigData>::iterator FindBindingOf(int logicalKey, std::int32_t device);

    Input::CKeyInput m_keyboard;
    Input::CJoyStick m_pad;
    ZTL::string m_path;
    std::int32_t m_padNumber = 0;
    std::set<std::int32_t> m_reservedKeys; // keyboard codes never captured
    std::vector<SConfigData> m_bindings;
    bool m_capturing = false;
    std::int32_t m_captureKey = -1;
    std::int32_t m_captureDevice = -1;
    // The binding the capture took away, given back on a cancel or handed to the key that loses its code.
    SConfigData m_backup;
    bool m_backupHeld = false;
    std::int32_t m_repeatValues[32] = {};
    std::int32_t m_repeatCounters[32] = {};
    std::uint32_t m_heldMask = 0;
    std::uint32_t m_blockMask = 0;
};

// The display name of a keyboard code, or of pad code c given as 256 + c; "不明" for any code without one.
ZTL::string GetKeyDisplayName(std::int32_t code);
