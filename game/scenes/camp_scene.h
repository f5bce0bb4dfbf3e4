#pragma once
// The camp between adventures: the camp picture, the two keepers' talks with their portraits, the story
// scenes the dungeon records unlock, and every choice handed to the menu scene, which the camp starts
// over itself with an opening request. When the menu comes back the camp acts on its result: a run into
// a dungeon, the walk into the camp area, a keeper's talk or the return to the title.
//
// The camp's item menus leave the player's commands in the game state's command sequence; when a menu
// returns, the camp applies the first waiting command. Only discarding has an effect at the camp:
// nothing is shown and nothing is logged.

#include "game/app/scene_control.h"
#include "game/data/player_command.h"
#include "game/ui/blt_support.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/dirty_rect.h"
#include "sdk/draw/fast_plane.h"

#include <cstddef>
#include <cstdint>

struct SGameResource;
class CKeyThread;

// The progress record's flag words that hold the camp's story: whether the opening was seen and whether
// each keeper was met. They live in the saved progress record, so a loaded save keeps them.
inline constexpr std::size_t kFlagWordOpeningSeen = 0;
inline constexpr std::size_t kFlagWordMetShopkeeper = 1;
inline constexpr std::size_t kFlagWordMetCollector = 2;

class CSceneCamp : public QuorlithGameBase::IScene, public CBltSupport, public CSceneSupport
{
public:
    static constexpr std::int32_t kFadeFrames = 30;
    // The menu scene's opening requests the camp makes.
    static constexpr std::int32_t kRequestCampMenu = -1;
    static constexpr std::int32_t kRequestOpeningQuestion = -3;
    static constexpr std::int32_t kRequestRetry = 8;
    static constexpr std::int32_t kRequestShopkeeper = 10;
    static constexpr std::int32_t kRequestCollector = 11;
    static constexpr std::int32_t kRequestShopkeeperTopics = 12;
    static constexpr std::int32_t kRequestCollectorTopics = 13;
    // The menu's result of a training run.
    static constexpr std::int32_t kResultTraining = 10;
    static constexpr const char* kUnreadablePassword = "特訓パスワードが読み込めませんでした。";

    // Drops a stale result, prepares the message window and the background, offers a retry after a
    // defeat and picks the story event the records call for. `game` null: the application's game state.
    explicit CSceneCamp(CSceneControl* control, SGameResource* game = nullptr);
    ~CSceneCamp() override;
    CSceneCamp(const CSceneCamp&) = delete;
    CSceneCamp& operator=(const CSceneCamp&) = delete;

    void OnMove(const std::uint32_t* keyMask) override;
    void OnDraw(Draw::ISurface* plane) override;
    // Back from the menu: the first queued item command (or group) runs and the whole screen is drawn
    // again.
    void OnResume() override;

    SGameResource& GetGame() const { return *m_game; }

    // Applies the first command of the sequence, or the first group (a kind-14 command and those after
    // it up to its kind-0 end), and removes it; afterwards only carried items are kept.
    void ApplyQueuedItemCommands();

    // The background plane: the camp picture at screen size with the portraits over it (their fades
    // finished first). Loading also makes the plane anew when its size is wrong.
    void LoadBackground();
    void RedrawBackground();

    std::int32_t GetTalkEvent() const { return m_TalkEvent; }
    std::int32_t GetTalkStep() const { return m_TalkStep; }
    std::int32_t GetScenario() const { return m_Scenario; }
    std::int32_t GetFadeIn() const { return m_FadeIn; }
    bool IsOfferingRetry() const { return m_OfferRetry; }
    Draw::CDirtyRect& GetDirtyRects() { return m_dirty; }

    // The story event the records call for on entering the camp (0 none): the opening, then the
    // unlocking events 6, 3, 4 and 5 in that order of precedence.
    static std::int32_t ChooseStoryEvent(SGameResource& game);
    // The advice scenario after a defeat: it grows with the attempts and depth in dungeons 1 and 2.
    static std::int32_t AdviceScenario(SGameResource& game);

private:
    CKeyThread& Keys();
    // Puts the request into the factory's parameter and starts the menu scene over the camp.
    void PushMenu(std::int32_t request);
    // Writes the text into the message window, shown.
    void Say(const char* text);
    // One step of the running event; the event ends by setting m_TalkEvent to 0.
    void RunTalkEvent();
    void EndTalkEvent();
    // The menu's result: the title, a talk, the camp area or a run into a dungeon.
    void ActOnResult(std::int32_t result);
    void MarkWholeScreen();
    // A talk runs while an event or a scenario does: the message window is updated and drawn then.
    bool IsTalking() const { return m_TalkEvent != 0 || m_Scenario >= 0; }

    std::int32_t m_TalkEvent = 0;
    std::int32_t m_TalkStep = 0;
    std::int32_t m_Scenario = -1;
    std::int32_t m_ScenarioLine = 0;
    bool m_OfferRetry = false;
    std::int32_t m_FadeIn = kFadeFrames;
    Draw::CDirtyRect m_dirty;
    Draw::CFastPlane m_background;
    // The double size of the last frame, and the frames left of the background's reloading after the
    // display changed during a talk.
    bool m_lastDoubleSize = false;
    std::int32_t m_reloadCountdown = 0;
    CKeyThread* m_ownKeys = nullptr;
};

// Discards the command's item (arg2) from the inventory or from a carried pot, deleting it; an equipped
// cursed weapon or shield stays. Nothing is shown.
void CampDiscardItem(CSceneCamp& camp, const SPlayerCommand& command);
