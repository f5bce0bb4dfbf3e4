#pragma once
// The title: the title picture fades in, then the menu scene's file browser runs over it. When the
// browser comes back with a save, a suspended adventure or a replay, the picture fades out and play
// starts on a floor or at the camp; otherwise the browser opens again on the next frame.

#include "game/app/scene_control.h"
#include "game/ui/blt_support.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"

#include <cstdint>

struct SGameResource;

class CSceneTitle : public QuorlithGameBase::IScene, public CBltSupport, public CSceneSupport
{
public:
    static constexpr std::int32_t kFadeFrames = 30;
    static constexpr std::int32_t kMusicFade = 32;
    // The menu scene's opening request for the file browser over the title.
    static constexpr std::int32_t kBrowserRequest = -2;
    static constexpr const char* kLoadFailed = "セーブデータが読み込めませんでした。";

    // Silences the music, starts the fade-in and resets the game state for a new adventure. `game`
    // null: the application's game state.
    explicit CSceneTitle(CSceneControl* control, SGameResource* game = nullptr);

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    // Back from the browser: idle, or fading out when something was chosen to play.
    void OnResume() override;

    std::int32_t GetFadeCounter() const { return m_fade; }
    bool IsContinuingSuspended() const { return m_continueSuspended; }
    // The blend rate of the picture at a fade counter (not 0): rising while it fades in, falling out.
    static std::int32_t BlendRate(std::int32_t counter)
    {
        return counter > 0 ? 255 - 8 * counter : -8 * counter;
    }

private:
    // The fade-out is over: the chosen replay, save or suspended adventure starts.
    void StartPlay();

    std::int32_t m_fade = kFadeFrames;
    bool m_continueSuspended = false;
};

// Scenes 1 and 6: they stand in the scene numbering but show nothing and ignore every key; the ranking
// table itself is shown by the menu scene. Neither uses the one-shot parameter.
class CSceneLogo : public QuorlithGameBase::IScene, public CSceneSupport
{
public:
    explicit CSceneLogo(CSceneControl* control) : CSceneSupport(control) { DropSceneParameter(); }
    void OnMove(const std::uint32_t*) override {}
    void OnDraw(Draw::ISurface*) override {}
    void OnResume() override {}
};

class CSceneRanking : public QuorlithGameBase::IScene, public CSceneSupport
{
public:
    explicit CSceneRanking(CSceneControl* control) : CSceneSupport(control) { DropSceneParameter(); }
    void OnMove(const std::uint32_t*) override {}
    void OnDraw(Draw::ISurface*) override {}
    void OnResume() override {}
};
