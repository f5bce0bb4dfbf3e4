#include "sdk/draw/plane_factory.h"

#include "sdk/draw/fast_draw.h"
#include "sdk/thread/thread_local.h"
#include "sdk/ztl/exception.h"

namespace zelvoranGameSDK3rd::Draw {
namespace {

Thread::ThreadLocal<CFastDraw*>& ThreadDevices()
{
    static Thread::ThreadLocal<CFastDraw*> devices;
    return devices;
}

Thread::ThreadLocal<ZTL::smart_ptr<IPlaneFactory>>& ThreadFactories()
{
    static Thread::ThreadLocal<ZTL::smart_ptr<IPlaneFactory>> factories;
    return factories;
}

} // namespace

ISurface* CPlaneFactoryFastPlane::CreatePlane()
{
    return new CFastPlane(m_fastDraw);
}

CFastDraw* GetThreadFastDraw()
{
    if (ThreadDevices().IsUnset()) return nullptr;
    return ThreadDevices().Get();
}

void SetThreadFastDraw(CFastDraw* device)
{
    ThreadDevices().Set(device);
}

void EraseThreadFastDraw()
{
    ThreadDevices().EraseForCurrentThread();
}

ZTL::smart_ptr<IPlaneFactory> GetThreadPlaneFactory()
{
    if (ThreadFactories().IsUnset()) return ZTL::smart_ptr<IPlaneFactory>();
    return ThreadFactories().Get();
}

void SetThreadPlaneFactory(const ZTL::smart_ptr<IPlaneFactory>& factory)
{
    ThreadFactories().Set(factory);
}

void EraseThreadPlaneFactory()
{
    ThreadFactories().EraseForCurrentThread();
}

void ClearAllPlaneFactories()
{
    ThreadFactories().ClearAll();
}

CPlane::CPlane()
{
    CreateInstance(*this, GetPlaneFactory());
}

void CPlane::CreateInstance(ZTL::smart_ptr<ISurface>& out, const ZTL::smart_ptr<IPlaneFactory>& factory)
{
    if (factory.isNull()) throw ZTL::CRuntimeException("CPlane::CreateInstanceでfactoryがNULL");
    out.add(factory->CreatePlane());
}

} // namespace zelvoranGameSDK3rd::Draw
