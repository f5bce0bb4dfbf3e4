#pragma once
// The per-thread plane factory: any code of a thread makes a new plane of the thread's display device
// without knowing the device. Also the per-thread pointer to the display device itself.

#include "sdk/draw/surface.h"
#include "sdk/ztl/smart_ptr.h"

namespace zelvoranGameSDK3rd::Draw {

class CFastDraw;

class IPlaneFactory
{
public:
    // A new, empty plane; the caller owns it.
    virtual ISurface* CreatePlane() = 0;
    virtual ~IPlaneFactory() = default;
};

class CPlaneFactoryFastPlane : public IPlaneFactory
{
public:
    explicit CPlaneFactoryFastPlane(CFastDraw* device) : m_fastDraw(device) {}
    ISurface* CreatePlane() override;

private:
    CFastDraw* m_fastDraw;
};

// The calling thread's display device; null when it has none.
CFastDraw* GetThreadFastDraw();
void SetThreadFastDraw(CFastDraw* device);
// Erases the calling thread's entry.
void EraseThreadFastDraw();

// The calling thread's plane factory (an empty handle when none was installed), and installing one.
ZTL::smart_ptr<IPlaneFactory> GetThreadPlaneFactory();
void SetThreadPlaneFactory(const ZTL::smart_ptr<IPlaneFactory>& factory);
// Erases the calling thread's entry, or every thread's.
void EraseThreadPlaneFactory();
void ClearAllPlaneFactories();

// A counted handle to a new plane from the calling thread's plane factory.
class CPlane : public ZTL::smart_ptr<ISurface>
{
public:
    // Raises ZTL::CRuntimeException when the thread has no plane factory.
    CPlane();

    static ZTL::smart_ptr<IPlaneFactory> GetPlaneFactory() { return GetThreadPlaneFactory(); }
    // `out` takes a new plane of `factory`; an empty factory raises ZTL::CRuntimeException.
    static void CreateInstance(ZTL::smart_ptr<ISurface>& out, const ZTL::smart_ptr<IPlaneFactory>& factory);
};

} // namespace zelvoranGameSDK3rd::Draw
