#pragma once
// The main window's menu and the game's dialogs: the resources, the dialog procedures and the values
// they share with the application. The window hook that carries out the menu commands is CApp's
// (app.h); the dialogs reach the mixer and the sound settings through the application pointer.

#include "gamebase/sdk_names.h"
#include "platform/window.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

// Menu items of "IDR_MENU".
inline constexpr int kMenuExit = 105;
inline constexpr int kMenuVersion = 104;
inline constexpr int kMenuFullScreen = 0x800A;
inline constexpr int kMenuDoubleSize = 0x800C;
inline constexpr int kMenuSoundSettings = 0x800D;
inline constexpr int kMenuCpuLoad = 0x800E;
inline constexpr int kMenuManual = 0x800F;
inline constexpr int kMenuWebPage = 0x8010;

// Dialogs.
inline constexpr int kDialogVersion = 103;
inline constexpr int kDialogSound = 134;
inline constexpr int kDialogCpuLoad = 146;
inline constexpr int kDialogTextEntry = 1001;

// Controls. 1, 2 and 3 are OK, Cancel and Apply.
inline constexpr int kButtonOk = 1;
inline constexpr int kButtonCancel = 2;
inline constexpr int kButtonApply = 3;
inline constexpr int kMasterVolumeBar = 1002;
inline constexpr int kMusicOffBox = 1004;
inline constexpr int kSoundEffectsOffBox = 1006;
inline constexpr int kPlayWhileInactiveBox = 1007;
inline constexpr int kSoundEffectVolumeBar = 1008;
inline constexpr int kMusicVolumeBar = 1009;
inline constexpr int kFreeIdleSoundsBox = 1010;
inline constexpr int kCpuLoadEdit = 1001;
inline constexpr int kTextEntryEdit = 1001;

inline constexpr const char* kManualFile = "./manual.html";
inline constexpr const char* kWebAddress = "http://www.quorlith.jp/";
inline constexpr const char* kWebCaption = "Quorlith ホームページ";

// Makes the menu and the dialog templates known; before the main window is made.
void RegisterAppResources();

// The dialog procedures (non-zero for a message they handled).
platform::LRESULT VersionDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam);
platform::LRESULT SoundDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                  platform::LPARAM lParam);
platform::LRESULT CpuLoadDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                    platform::LPARAM lParam);
// The text-entry dialog, opened modally by the menu scene with g_textEntryLimit set first.
platform::LRESULT TextEntryDialogProc(platform::HWND dialog, platform::UINT message, platform::WPARAM wParam,
                                      platform::LPARAM lParam);

// How many more paint or erase messages set the client size again.
extern std::int32_t g_resizeRepeats;
// The channel volumes of the mixer's master line (0 to 65535 each), as last read.
extern std::vector<std::uint32_t> g_savedMasterVolumes;
// The text of the last text-entry dialog closed with its OK button, and the characters it allows.
extern ZTL::string g_textEntryResult;
extern std::int32_t g_textEntryLimit;
