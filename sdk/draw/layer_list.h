#pragma once
// Layers the display device draws onto the back plane before presenting: the ones before and after the
// drawing-context layers, and those that draw through a drawing context.

#include "platform/dib.h"

#include <vector>

namespace zelvoranGameSDK3rd::Draw {

class ISurface;

class ILayer
{
public:
    virtual void OnDraw(platform::DeviceContext* dc) = 0;
    virtual void OnDraw(ISurface* plane) = 0;
    virtual ~ILayer() = default;

    // Only enabled layers are drawn.
    bool enabled = true;
};

class ILayerList
{
public:
    virtual void Add(ILayer* layer) = 0;
    // Removes every entry equal to `layer`.
    virtual void Remove(ILayer* layer) = 0;
    virtual void Clear() = 0;
    virtual bool IsEmpty() = 0;
    // Each enabled layer in list order.
    virtual void OnDraw(platform::DeviceContext* dc) = 0;
    virtual void OnDraw(ISurface* plane) = 0;
    virtual ~ILayerList() = default;
};

// The layers are not owned.
class CLayerList : public ILayerList
{
public:
    void Add(ILayer* layer) override { m_layers.push_back(layer); }
    void Remove(ILayer* layer) override;
    void Clear() override { m_layers.clear(); }
    bool IsEmpty() override { return m_layers.empty(); }
    void OnDraw(platform::DeviceContext* dc) override;
    void OnDraw(ISurface* plane) override;

private:
    std::vector<ILayer*> m_layers;
};

} // namespace zelvoranGameSDK3rd::Draw
