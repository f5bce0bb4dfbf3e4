#pragma once
// A named lock shared by every process of the machine; the start-up code opens one named after the
// program's path so that only one copy runs.

#include "platform/host/sync.h"
#include "sdk/ztl/ztl_string.h"

namespace zelvoranGameSDK3rd::Thread {

class IMutex
{
public:
    virtual int Open(const ZTL::ZTLstring::basic_string& name) = 0;
    virtual void Lock() = 0;
    virtual void Close() = 0;
    virtual ~IMutex() = default;
};

class CMutex : public IMutex
{
public:
    CMutex() = default;
    CMutex(const CMutex&) = delete;
    CMutex& operator=(const CMutex&) = delete;
    ~CMutex() override { Close(); }

    // Closes what is open, then opens the named lock and takes it. 0 when it was new and is now held,
    // or when it could not be made at all (then nothing is open); 1 when another holder has it.
    int Open(const ZTL::ZTLstring::basic_string& name) override;
    // Waits without limit until this object holds the lock; nothing when nothing is open.
    void Lock() override;
    // Releases and closes the lock.
    void Close() override;
    bool IsOpen() const { return m_handle != nullptr; }

private:
    platform::InstanceLock* m_handle = nullptr;
};

} // namespace zelvoranGameSDK3rd::Thread
