#pragma once
// A load cache of planes made through the calling thread's plane factory. Every plane it hands out gets
// the cache's colour key again (a packed colour, pure green unless set, or the colour of one pixel of the
// picture); a number without an entry, or a picture that did not load, hands out a null surface.

#include "sdk/auxiliary/load_cache.h"
#include "sdk/draw/plane_factory.h"
#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::Draw {

class CPlaneLoader : public Auxiliary::CLoadCache
{
public:
    // Keeps the calling thread's plane factory.
    CPlaneLoader();

    // Loads the number's picture when it is not loaded yet and hands it out with the colour key set.
    void Get(ZTL::smart_ptr<ISurface>& plane, std::int32_t id);
    // Keys every plane handed out with a packed colour from now on.
    void SetColorKey(std::uint32_t color);
    // Keys every plane handed out with the colour of its pixel (x, y) from now on.
    void SetColorKeyFromPixel(std::int32_t x, std::int32_t y);

protected:
    // -1 when the thread has no plane factory; otherwise the load's result, a null surface taking the
    // place of a plane that did not load.
    int CreateObject(Auxiliary::CLoadCacheInfo& entry) override;

private:
    std::uint32_t m_colorKey = 0xFF00;
    bool m_packedKey = true;
    std::int32_t m_keyX = 0;
    std::int32_t m_keyY = 0;
    ZTL::smart_ptr<IPlaneFactory> m_planeFactory;
};

} // namespace zelvoranGameSDK3rd::Draw
