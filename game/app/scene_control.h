#pragma once
// The game as a sequence of scenes: logo, title, the game on a floor, the camp, the menus, the ranking
// and two test scenes. The scene control owns the current scene and a stack of scenes interrupted by a
// scene started over them, and applies one change request per frame: the last request of a frame wins.

#include "game/app/key_thread.h"
#include "gamebase/scene.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>
#include <deque>

struct SGameResource;

// The scene numbers.
enum ESceneNumber : std::int32_t
{
    kSceneNone = 0,
    kSceneLogo = 1,
    kSceneTitle = 2,
    kSceneGameMain = 3,
    kSceneCamp = 4,
    kSceneMenu = 5,
    kSceneRanking = 6,
    kSceneTest = 7,
    kSceneTest2 = 8,
};

class CSceneControl
{
public:
    // The change requests.
    enum ECommand : std::int32_t
    {
        kCommandNone = 0,
        kCommandJump = 1,   // the new scene replaces the current one
        kCommandCall = 2,   // the new scene runs over the current one, which waits on the stack
        kCommandReturn = 3, // back to the scene on top of the stack
        kCommandExit = 4,   // the game ends
    };

    struct SStackEntry
    {
        ZTL::smart_ptr<QuorlithGameBase::IScene> scene;
        std::int32_t number = 0;
    };

    // A null scene current, the null factory.
    CSceneControl();
    // The stack emptied from its top, then the current scene, the key object and the factory let go.
    ~CSceneControl();
    CSceneControl(const CSceneControl&) = delete;
    CSceneControl& operator=(const CSceneControl&) = delete;

    void SetFactory(ZTL::smart_ptr<QuorlithGameBase::ISceneFactory> factory) { m_factory = factory; }
    void SetKeyObject(ZTL::smart_ptr<CKeyThread> keyObject) { m_keyObject = keyObject; }

    void RequestJump(std::int32_t number) { Request(kCommandJump, number); }
    void RequestCall(std::int32_t number) { Request(kCommandCall, number); }
    // The requested number stays as it was.
    void RequestReturn() { m_command = kCommandReturn; }
    void RequestExit() { m_command = kCommandExit; }
    bool IsEnded() const { return m_ended; }

    // Once a frame, before the current scene's update: carries out the pending command.
    void ApplyRequest();
    // The current scene's draw, unless the window is inactive or a command is pending.
    void Draw(Draw::ISurface* plane, bool windowInactive);

    QuorlithGameBase::IScene* GetCurrentScene() const { return m_currentScene.get(); }
    std::int32_t GetCurrentNumber() const { return m_currentNumber; }
    std::int32_t GetCommand() const { return m_command; }
    std::int32_t GetRequestedNumber() const { return m_requestedNumber; }
    std::size_t GetStackDepth() const { return m_stack.size(); }
    ZTL::smart_ptr<QuorlithGameBase::ISceneFactory> GetFactory() const { return m_factory; }
    ZTL::smart_ptr<CKeyThread> GetKeyObject() const { return m_keyObject; }

private:
    void Request(std::int32_t command, std::int32_t number)
    {
        m_command = command;
        m_requestedNumber = number;
    }
    // The requested scene made current.
    void BuildRequested();

    ZTL::smart_ptr<QuorlithGameBase::ISceneFactory> m_factory;
    ZTL::smart_ptr<CKeyThread> m_keyObject;
    ZTL::smart_ptr<QuorlithGameBase::IScene> m_currentScene;
    std::int32_t m_currentNumber = 0;
    std::deque<SStackEntry> m_stack;
    std::int32_t m_requestedNumber = 0;
    std::int32_t m_command = kCommandNone;
    bool m_ended = false;
};

// The game's factory: the scene of each number, a null scene for any other. Before every scene it
// empties the second image set's cache, and the sound-effect cache unless the scene is the menu.
class CSceneFactory : public QuorlithGameBase::ISceneFactory
{
public:
    void CreateScene(ZTL::smart_ptr<QuorlithGameBase::IScene>& scene, std::int32_t number,
                     CSceneControl* control) override;
};

// The part of every game scene that reaches the one game state (the application's, when the scene is
// built) and the scene control.
class CSceneSupport
{
public:
    explicit CSceneSupport(CSceneControl* control);
    // On a game state of the caller's (a scene tried out on its own).
    CSceneSupport(CSceneControl* control, SGameResource* game) : m_game(game), m_sceneControl(control) {}
    SGameResource* GetGameResource() const { return m_game; }
    CSceneControl* GetSceneControl() const { return m_sceneControl; }

protected:
    // For scenes that use no parameter: takes the one-shot parameter and throws it away, so that a
    // value meant for this scene never reaches the one built after it.
    void DropSceneParameter();

    SGameResource* m_game;
    CSceneControl* m_sceneControl;
};
