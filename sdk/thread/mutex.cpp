#include "sdk/thread/mutex.h"

#include <string>

namespace zelvoranGameSDK3rd::Thread {

int CMutex::Open(const ZTL::ZTLstring::basic_string& name)
{
    Close();
    auto* lock = new platform::InstanceLock;
    const char* text = name.c_str();
    switch (lock->Open(std::string(text != nullptr ? text : ""))) {
    case platform::InstanceLockResult::Acquired:
        m_handle = lock;
        return 0;
    case platform::InstanceLockResult::HeldElsewhere:
        m_handle = lock;
        return 1;
    default:
        delete lock;
        return 0;
    }
}

void CMutex::Lock()
{
    if (m_handle != nullptr) m_handle->Lock();
}

void CMutex::Close()
{
    delete m_handle;
    m_handle = nullptr;
}

} // namespace zelvoranGameSDK3rd::Thread
