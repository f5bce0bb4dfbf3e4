#pragma once
// The game's one table of sound effects, played by number. Its cache is read from "data\se\list.txt"
// ("file,number" lines, files in "data\se\"); a number the list does not name plays nothing. Loaded effects
// stay until the cache is reset: before every scene but the menu, and when effects are switched off.

#include "game/sound/sound_effect_player.h"
#include "gamebase/sdk_names.h"
#include "sdk/multimedia/sound_factory.h"
#include "sdk/multimedia/sound_loader.h"
#include "sdk/thread/singleton.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

class CSoundEffectList final : public ISoundEffectPlayer
{
public:
    static CSoundEffectList* GetInstance();
    // The static clean-up's end of the list (a cache still there goes with it).
    static void DestroyInstance();

    // Builds a new cache over the factory (null: no sound can be made) and reads the list file; a missing
    // or bad file leaves the cache empty. The factory is kept for ResetCache and must outlive the cache.
    void CreateLoader(Multimedia::ISoundFactory* factory);
    // Deletes the cache with every loaded effect (the application's tear-down).
    void DestroyLoader();
    // Plays effect n from its start, once, at the effect volume: the sound's result, or 0 when effects
    // are off or there is no cache yet.
    std::int32_t Play(std::int32_t number) override;
    // 0 to 255 (clamped); loaded effects take it at once, the others when next played.
    void SetVolume(std::int32_t volume);
    // Switching effects off frees every loaded effect; switching on loads nothing.
    void SetEnabled(bool enabled);
    // Stops and frees every loaded effect and reads the list file again.
    void ResetCache();

    std::int32_t GetVolume() const { return m_volume; }
    bool IsEnabled() const { return m_enabled; }
    // The cache, null before CreateLoader.
    Multimedia::CSELoader* GetLoader() { return m_loader.get(); }

private:
    friend class zelvoranGameSDK3rd::Thread::CSingleton<CSoundEffectList>;
    CSoundEffectList() = default;

    std::unique_ptr<Multimedia::CSELoader> m_loader;
    ZTL::string m_folder = "data\\se\\";
    ZTL::string m_listFile = "list.txt";
    std::int32_t m_volume = 0; // silent until the settings set it
    bool m_enabled = true;
    Multimedia::ISoundFactory* m_soundFactory = nullptr;
};
