#include "sdk/draw/plane_loader.h"

#include "sdk/draw/surface_null_device.h"

namespace zelvoranGameSDK3rd::Draw {

namespace {

using PlaneObject = Auxiliary::CLoadCacheObjectOf<ISurface>;

ZTL::smart_ptr<ISurface> NewNullSurface()
{
    return ZTL::smart_ptr<ISurface>(new CSurfaceNullDevice);
}

} // namespace

CPlaneLoader::CPlaneLoader() : m_planeFactory(GetThreadPlaneFactory())
{}

void CPlaneLoader::SetColorKey(std::uint32_t color)
{
    m_colorKey = color;
    m_packedKey = true;
}

void CPlaneLoader::SetColorKeyFromPixel(std::int32_t x, std::int32_t y)
{
    m_keyX = x;
    m_keyY = y;
    m_packedKey = false;
}

int CPlaneLoader::CreateObject(Auxiliary::CLoadCacheInfo& entry)
{
    if (m_planeFactory.isNull()) return -1;
    ZTL::smart_ptr<ISurface> plane(m_planeFactory->CreatePlane());
    entry.object = ZTL::smart_ptr<Auxiliary::CLoadCacheObject>(new PlaneObject(plane));
    const int loaded = plane->Load(entry.fileName);
    if (loaded != 0)
        entry.object = ZTL::smart_ptr<Auxiliary::CLoadCacheObject>(new PlaneObject(NewNullSurface()));
    return loaded;
}

void CPlaneLoader::Get(ZTL::smart_ptr<ISurface>& plane, std::int32_t id)
{
    Load(id);
    const Auxiliary::CLoadCacheInfo* entry = FindEntry(id);
    const auto* held = entry != nullptr ? static_cast<const PlaneObject*>(entry->object.get()) : nullptr;
    // Nothing made (no plane factory) hands out a null surface as an undefined number does.
    if (held == nullptr || held->pointer.isNull()) {
        plane = NewNullSurface();
        return;
    }
    plane = held->pointer;
    if (m_packedKey)
        plane->SetColorKey(m_colorKey);
    else
        plane->SetColorKeyFromPixel(m_keyX, m_keyY);
}

} // namespace zelvoranGameSDK3rd::Draw
