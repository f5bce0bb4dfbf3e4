#pragma once
// What a scene of the game is and how scenes are made by number. A scene is updated once a frame with
// that frame's key mask, draws itself on the back plane and is told when it becomes current again after a
// scene started over it has returned. A factory makes a scene for a number and carries one integer from
// the scene that asks for a change to the scene built next.

#include "gamebase/sdk_names.h"
#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

// The game's scene control, which owns the scenes; the factory builds every scene with it.
class CSceneControl;

namespace QuorlithGameBase {

class IScene
{
public:
    virtual ~IScene() = default;
    // The per-frame update with the key mask of this frame.
    virtual void OnMove(const std::uint32_t* keyMask) = 0;
    virtual void OnDraw(Draw::ISurface* plane) = 0;
    // The scene is current again after a scene pushed over it returned.
    virtual void OnResume() {}
};

// The scene before the first request and after the end: nothing to update, nothing to draw.
class CSceneNull : public IScene
{
public:
    explicit CSceneNull(CSceneControl* control = nullptr) : m_control(control) {}
    void OnMove(const std::uint32_t*) override {}
    void OnDraw(Draw::ISurface*) override {}
    void OnResume() override {}
    CSceneControl* GetSceneControl() const { return m_control; }

private:
    CSceneControl* m_control;
};

class ISceneFactory
{
public:
    virtual ~ISceneFactory() = default;
    // Fills `scene` with a new scene of the number (never empty).
    virtual void CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t number, CSceneControl* control) = 0;
    // Keeps one integer for the next scene built.
    virtual void SetSceneParameter(std::int32_t parameter)
    {
        m_parameter = parameter;
        m_pending = true;
    }
    // The kept integer, once: true with it, or false with 0 when none is kept.
    virtual bool TakeSceneParameter(std::int32_t* parameter)
    {
        if (!m_pending) {
            *parameter = 0;
            return false;
        }
        *parameter = m_parameter;
        m_pending = false;
        return true;
    }

private:
    bool m_pending = false;
    std::int32_t m_parameter = 0;
};

// The factory until the game installs its own: only null scenes.
class CSceneFactoryNull : public ISceneFactory
{
public:
    void CreateScene(ZTL::smart_ptr<IScene>& scene, std::int32_t, CSceneControl* control) override
    {
        scene = ZTL::smart_ptr<IScene>(new CSceneNull(control));
    }
};

} // namespace QuorlithGameBase
