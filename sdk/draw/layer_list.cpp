#include "sdk/draw/layer_list.h"

#include <algorithm>

namespace zelvoranGameSDK3rd::Draw {

void CLayerList::Remove(ILayer* layer)
{
    layers.erase(std::remove(layers.begin(), layers.end(), layer), layers.end());
}

void CLayerList::OnDraw(platform::DeviceContext* dc)
{
    for (ILayer* layer : layers)
        if (layer->enabled) layer->OnDraw(dc);
}

void CLayerList::OnDraw(ISurface* plane)
{
    for (ILayer* layer : layers)
        if (layer->enabled) layer->OnDraw(plane);
}

} // namespace zelvoranGameSDK3rd::Draw
