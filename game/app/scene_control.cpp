#include "game/app/scene_control.h"

#include "game/app/app.h"
#include "game/app/second_image_set.h"
#include "game/scenes/camp_scene.h"
#include "game/scenes/graphics_test_scene.h"
#include "game/scenes/map_test_scene.h"
#include "game/scenes/menu_scene.h"
#include "game/scenes/title_scene.h"
#include "game/sound/sound_effect_list.h"
#include "game/turn/turn_phases.h"

using QuorlithGameBase::IScene;

CSceneControl::CSceneControl()
    : m_factory(new QuorlithGameBase::CSceneFactoryNull),
      m_currentScene(new QuorlithGameBase::CSceneNull(this))
{}

CSceneControl::~CSceneControl()
{
    while (!m_stack.empty())
        m_stack.pop_back();
    m_currentScene.release();
    m_keyObject.release();
    m_factory.release();
}

void CSceneControl::BuildRequested()
{
    ZTL::smart_ptr<IScene> scene;
    m_factory->CreateScene(scene, m_requestedNumber, this);
    m_currentScene = scene;
    m_currentNumber = m_requestedNumber;
}

void CSceneControl::ApplyRequest()
{
    switch (m_command) {
    case kCommandJump:
        m_currentScene.release();
        BuildRequested();
        break;
    case kCommandCall:
        m_stack.push_back(SStackEntry{m_currentScene, m_currentNumber});
        m_currentScene.release();
        BuildRequested();
        break;
    case kCommandReturn:
        if (m_stack.empty()) break;
        m_currentScene.release();
        m_currentScene = m_stack.back().scene;
        m_currentNumber = m_stack.back().number;
        m_stack.pop_back();
        m_currentScene->OnResume();
        break;
    case kCommandExit:
        m_currentScene.release();
        m_currentScene = ZTL::smart_ptr<IScene>(new QuorlithGameBase::CSceneNull(this));
        m_currentNumber = 0;
        m_ended = true;
        break;
    default:
        break;
    }
    m_requestedNumber = 0;
    m_command = kCommandNone;
}

void CSceneControl::Draw(Draw::ISurface* plane, bool windowInactive)
{
    if (windowInactive || m_command != kCommandNone) return;
    m_currentScene->OnDraw(plane);
}

void CSceneFactory::CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t number, CSceneControl* control)
{
    CSecondImageSet::GetInstance()->ReleaseAll();
    if (number != kSceneMenu) CSoundEffectList::GetInstance()->ResetCache();
    switch (number) {
    case kSceneLogo:
        scene = ZTL::smart_ptr<IScene>(new CSceneLogo(control));
        break;
    case kSceneTitle:
        scene = ZTL::smart_ptr<IScene>(new CSceneTitle(control));
        break;
    case kSceneRanking:
        scene = ZTL::smart_ptr<IScene>(new CSceneRanking(control));
        break;
    case kSceneCamp:
        scene = ZTL::smart_ptr<IScene>(new CSceneCamp(control));
        break;
    case kSceneMenu:
        scene = ZTL::smart_ptr<IScene>(new CSceneMenu(control));
        break;
    case kSceneTest:
        scene = ZTL::smart_ptr<IScene>(new CSceneTest(control));
        break;
    case kSceneTest2:
        scene = ZTL::smart_ptr<IScene>(new CSceneTest2(control));
        break;
    case kSceneGameMain: {
        SGameResource* game = g_app != nullptr ? g_app->GetGameResource() : nullptr;
        if (game != nullptr)
            scene = ZTL::smart_ptr<IScene>(new CSceneGameMain(control, *game));
        else
            scene = ZTL::smart_ptr<IScene>(new QuorlithGameBase::CSceneNull(control));
        break;
    }
    default:
        scene = ZTL::smart_ptr<IScene>(new QuorlithGameBase::CSceneNull(control));
        break;
    }
}

CSceneSupport::CSceneSupport(CSceneControl* control)
    : m_game(g_app != nullptr ? g_app->GetGameResource() : nullptr), m_sceneControl(control)
{}

void CSceneSupport::DropSceneParameter()
{
    std::int32_t parameter = 0;
    if (m_sceneControl != nullptr) m_sceneControl->GetFactory()->TakeSceneParameter(&parameter);
}
