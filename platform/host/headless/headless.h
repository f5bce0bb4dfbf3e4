// The memory-only back end and its script.
//
// Windows exist only as records; a window that is asked for the focus gets it at once. Tests drive
// everything else: native events through Events(), the keyboard and the pads through the functions
// below. Everything here is safe from any thread.
#pragma once

#include "platform/host/backend.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// The back end, reporting to `sink`.
std::unique_ptr<Backend> CreateBackend(EventSink& sink);

// Native events as a window system would raise them, reported to the sink of the headless back end that
// is alive (dropped while none is).
EventSink& Events();

// The screen the back end reports (1024 x 768 until set).
void SetScreenSize(std::int32_t width, std::int32_t height);

// The keyboard snapshot: one key down or up, or all keys up. A change of a key also reports the key to
// the window that has the focus, as a real keyboard would.
void SetKey(std::uint8_t scanCode, bool down);
void ReleaseAllKeys();

// The pads: a pad with its capabilities, then its position. Pads are numbered in the order they were added.
void AddJoystick(const JoystickCaps& caps);
void SetJoystickPosition(std::uint32_t id, const JoystickPosition& position);
// A pad whose reads fail (as an unplugged one does); its capabilities stay readable.
void SetJoystickReadFails(std::uint32_t id, bool fails);
void RemoveAllJoysticks();

// Native windows refuse to be made while this is set.
void SetRefuseWindows(bool refuse);

// Frames are refused while this is set (as a display that cannot take a mode would).
void SetRefuseDisplayModes(bool refuse);
// ---- The clipboard: what it holds (UTF-8; nothing until a text is set or after a clear), and, while
// refused, every read and write of it fails as when another program holds it open.
void SetClipboardRefused(bool refuse);
std::optional<std::string> GetClipboardContents();
void ClearClipboard();

// Where the mouse cursor is: over the window at a client point, or not over it.
void SetCursorPosition(HWND window, bool inside, POINT client);

// ---- Message boxes. Every box shown is recorded; it is answered with the next scripted answer, or,
// when none is left, with its default button.
struct ShownMessageBox
{
    HWND owner;
    std::string text;    // UTF-8
    std::string caption; // UTF-8
    Backend::MessageBoxButtons buttons;
    Backend::MessageBoxIcon icon;
    int defaultButton;
    Backend::MessageBoxAnswer answer;
};
// Forgets the boxes shown and the answers not yet given, then queues these answers.
void ScriptMessageBoxAnswers(const std::vector<Backend::MessageBoxAnswer>& answers);
std::vector<ShownMessageBox> GetShownMessageBoxes();
// The documents and addresses the program asked the desktop to open since the last take (host paths).
std::vector<std::string> TakeOpenedDocuments();
// While set, every box answers NotAvailable, as on a machine that cannot show one.
void SetMessageBoxesUnavailable(bool unavailable);

// ---- The settings store, kept in memory for the process's life (and across back-end switches).
// Empties it.
void ResetSettings();
// Writes to the store fail while this is set (reads still work).
void SetSettingsReadOnly(bool readOnly);

// What the native side was last told.
bool IsNativeCursorVisible();
std::string GetNativeCaption(HWND window); // UTF-8
bool IsNativeVisible(HWND window);
bool IsNativeFullScreen(HWND window);
bool IsNativeTextInputEnabled(HWND window);
// How often the window's frame was presented.
std::uint32_t GetPresentCount(HWND window);

// Sound output. Its clock stands still until a test moves it: AdvanceSound mixes that much of every
// playing buffer (at platform::kMixRate) and moves their cursors on; the mix is kept until taken.
void AdvanceSound(std::uint32_t milliseconds);
// The mix since the last take: interleaved left and right samples.
std::vector<std::int16_t> TakeSoundCapture();
// How often any buffer's cursors were read, so a test can wait until a reader has looked again.
std::uint64_t GetSoundCursorReads();
// The machine has no sound output while this is set (devices opened before keep theirs).
void SetSoundOutputMissing(bool missing);
// Every sound buffer there is loses its memory, as when another program takes the device over: it stops,
// and refuses to be played or locked until it is restored.
void LoseSoundBuffers();

} // namespace platform::headless
