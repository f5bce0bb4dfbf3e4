#include "sdk/draw/layer_list.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Draw {

void CLayerList::Remove(ILayer* layer)
{
    m_layers.erase(std::remove(m_layers.begin(), m_layers.end(), layer), m_layers.end());
}

void CLayerList::OnDraw(platform::DeviceContext* dc)
{
    for (ILayer* layer : m_layers)
        if (layer->enabled) layer->OnDraw(dc);
}

void CLayerList::OnDraw(ISurface* plane)
{
    for (ILayer* layer : m_layers)
        if (layer->enabled) layer->OnDraw(plane);
}

} // namespace zelvoranGameSDK3rd::Draw
