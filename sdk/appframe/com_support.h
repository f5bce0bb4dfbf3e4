#pragma once
// The per-thread use count of the component system, and the holder of one component interface.
//
// Here the component system is our own small set of in-process objects: starting it on a thread
// cannot fail, so the count is a plain per-thread number kept for the same pairing rules.

#include "sdk/auxiliary/text_output_stream.h"

namespace zelvoranGameSDK3rd::AppFrame {

class ComInitCounter
{
public:
    // Starts the component system on the thread when its count is 0, then counts up: 0, or 1 when
    // starting failed (the count stays 0).
    static int Enter();
    // Counts down, stopping the system at 0: 0, or 1 for a thread that never entered.
    static int Leave();
    // The calling thread's count (0 when it has none).
    static int GetCount();
    // How often the system was started and stopped in this process.
    static int GetStartCount();
    static int GetStopCount();
};

} // namespace zelvoranGameSDK3rd::AppFrame

namespace zelvoranGameSDK3rd::Auxiliary {

// What every component interface offers: dropping the caller's reference.
class IComObject
{
public:
    virtual unsigned long Release() = 0;

protected:
    virtual ~IComObject() = default;
};

// Holds one interface and the thread's use of the component system that goes with it.
template <class Interface> class CCOMObject
{
public:
    // Makes a component: the stand-in for a class id.
    using Creator = Interface* (*)();

    CCOMObject() = default;
    CCOMObject(const CCOMObject&) = delete;
    CCOMObject& operator=(const CCOMObject&) = delete;
    virtual ~CCOMObject() { Release(); }

    // Drops the interface and the thread's use that went with it; nothing when none is held.
    void Release()
    {
        if (m_interface == nullptr) return;
        m_interface->Release();
        m_interface = nullptr;
        AppFrame::ComInitCounter::Leave();
    }

    // 0 when an interface is held afterwards, 1 otherwise.
    int CreateInstance(Creator create)
    {
        AppFrame::ComInitCounter::Enter();
        Release();
        m_interface = create != nullptr ? create() : nullptr;
        if (m_interface == nullptr) AppFrame::ComInitCounter::Leave();
        return m_interface != nullptr ? 0 : 1;
    }

    Interface* Get() const { return m_interface; }

private:
    Interface* m_interface = nullptr;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
