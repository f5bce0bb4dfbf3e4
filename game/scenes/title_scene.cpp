#include "game/scenes/title_scene.h"

#include "game/app/game_resource.h"
#include "game/app/save_game.h"
#include "game/asset_ids.h"
#include "game/characters/adventure.h"
#include "game/data/error_box.h"
#include "game/data/global_data.h"
#include "game/scenes/portraits.h"
#include "gamebase/music.h"

namespace {
constexpr std::uint32_t kAnyKey = 0xFFFF;
constexpr std::int32_t kParameterResume = 1;
constexpr std::int32_t kParameterReplay = 2;
constexpr std::int32_t kParameterSuspended = 3;
} // namespace

CSceneTitle::CSceneTitle(CSceneControl* control, SGameResource* game) : CSceneSupport(control)
{
    if (game != nullptr) m_game = game;
    // The parameter is only taken so that it does not reach a later scene.
    std::int32_t parameter = 0;
    if (control != nullptr) control->GetFactory()->TakeSceneParameter(&parameter);
    QuorlithGameBase::CMusic::GetInstance()->FadeOut(kMusicFade);
    if (m_game == nullptr) return;
    m_game->ResetForNewGame();
    // The browser draws the portrait layers over the title picture; a floor's pictures (the fall of a
    // replay that ended in death) are not the title's.
    ResetPortraitLayers(*m_game);
}

void CSceneTitle::OnMove(const std::uint32_t* keyMask)
{
    const bool pressed = keyMask != nullptr && (*keyMask & kAnyKey) != 0;
    if (m_fade > 0) {
        m_fade = pressed ? 0 : m_fade - 1;
        return;
    }
    if (m_fade < 0) {
        m_fade = pressed ? 0 : m_fade + 1;
        if (m_fade == 0) StartPlay();
        return;
    }
    if (m_sceneControl == nullptr) return;
    m_sceneControl->GetFactory()->SetSceneParameter(kBrowserRequest);
    m_sceneControl->RequestCall(kSceneMenu);
}

void CSceneTitle::OnDraw(Draw::ISurface* plane)
{
    if (plane == nullptr) return;
    if (m_fade == 0) {
        BltImageCopy(*plane, kImageTitle, 0, 0);
        return;
    }
    plane->SetFillColor(0);
    plane->Clear(nullptr);
    BltImageBlend(*plane, kImageTitle, 0, 0, BlendRate(m_fade));
}

void CSceneTitle::OnResume()
{
    m_fade = 0;
    std::int32_t parameter = 0;
    if (m_sceneControl != nullptr && m_sceneControl->GetFactory()->TakeSceneParameter(&parameter) &&
        parameter == kParameterResume)
        m_continueSuspended = true;
    if (m_game != nullptr && (m_game->chosenDataNumber >= 0 || m_game->replayStart != 0))
        m_fade = -kFadeFrames;
}

void CSceneTitle::StartPlay()
{
    QuorlithGameBase::CMusic::GetInstance()->Reset();
    if (m_game == nullptr || m_sceneControl == nullptr) return;
    SGameResource& game = *m_game;
    QuorlithGameBase::ISceneFactory& factory = *m_sceneControl->GetFactory();
    if (game.replayStart != 0) {
        game.floor = 1;
        factory.SetSceneParameter(kParameterReplay);
        m_sceneControl->RequestJump(kSceneGameMain);
        return;
    }
    // A save asked for as a replay is watched, not played: the load's reset must not make it a resume.
    const bool replay = game.playMode == kPlayReplay;
    // A save inside a dungeon the game does not have cannot be resumed: it is refused as unreadable, as is
    // one at the camp asked for as a replay, which has no floor to show.
    if (LoadSaveGame(game) != kSaveDone || game.dungeon >= std::int32_t(kLastFloorUncleared.size()) ||
        (replay && game.dungeon < 1)) {
        ShowErrorBox(kLoadFailed);
        return;
    }
    game.playMode = replay ? kPlayReplay : kPlaySilentRerun;
    if (!replay) {
        g_globalData.lastSaveNumber = game.chosenDataNumber;
        SaveGlobalData(g_globalData);
    }
    if (m_continueSuspended && !replay) {
        factory.SetSceneParameter(kParameterSuspended);
        m_sceneControl->RequestJump(kSceneGameMain);
        return;
    }
    if (game.dungeon > 0) {
        factory.SetSceneParameter(kParameterResume);
        m_sceneControl->RequestJump(kSceneGameMain);
        return;
    }
    game.characters.player.Reset();
    m_sceneControl->RequestJump(kSceneCamp);
}
