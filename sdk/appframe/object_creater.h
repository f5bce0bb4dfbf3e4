#pragma once
// Objects made by class name. Classes are registered with a factory, also by plug-in libraries, whose
// exported initialiser receives the creator when the library is loaded.

#include "platform/host/library.h"
#include "sdk/thread/critical_section.h"
#include "sdk/thread/mutex.h"
#include "sdk/ztl/factory.h"
#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelvoranGameSDK3rd::AppFrame {

using string = ZTL::ZTLstring::basic_string;

// What a plug-in receives. Each text operation comes as a pair: the SDK-string form forwards to the
// plain-text form.
class IObjectCreater
{
public:
    virtual void* CreateInstance(const string& className) = 0;
    virtual void* CreateInstance(const char* className) = 0;
    virtual void RegisterObject(const string& className, ZTL::factory_base* factory) = 0;
    virtual void RegisterObject(const char* className, ZTL::factory_base* factory) = 0;
    virtual int LoadPlugIn(const string& fileName) = 0;
    virtual int LoadPlugIn(const char* fileName) = 0;
    virtual int ReleasePlugIn(const string& fileName) = 0;
    virtual int ReleasePlugIn(const char* fileName) = 0;
    // The program's own heap, for plug-ins.
    virtual void* Allocate(std::size_t bytes) = 0;
    virtual void Free(void* p) = 0;
    virtual ~IObjectCreater() = default;
};

// The initialiser a plug-in library exports under the name "ZelvDllInitializer".
using ZelvDllInitializerFunction = void (*)(IObjectCreater* creater);

class CDllPlugInLoader
{
public:
    CDllPlugInLoader() = default;
    CDllPlugInLoader(const CDllPlugInLoader&) = delete;
    CDllPlugInLoader& operator=(const CDllPlugInLoader&) = delete;
    // Frees the library when loaded.
    virtual ~CDllPlugInLoader();

    // 0 loaded; 1 failed (reported on the error stream).
    virtual int Load(const string& fileName);
    // 1 when unloading failed, else 0; the handle is forgotten either way.
    virtual int Release();
    virtual string GetFileName() { return m_fileName; }
    virtual platform::LibraryHandle GetModule() { return m_module; }

private:
    platform::LibraryHandle m_module = nullptr;
    string m_fileName;
};

class CObjectCreater : public IObjectCreater
{
public:
    class CPlugInInfo
    {
    public:
        CDllPlugInLoader loader;
        std::int32_t useCount = 1;
    };

    class CObjectInfo
    {
    public:
        CObjectInfo(CPlugInInfo* owner, const char* name, ZTL::factory_base* factory)
            : owner(owner), className(name), factory(factory)
        {}
        CObjectInfo(const CObjectInfo&) = delete;
        CObjectInfo& operator=(const CObjectInfo&) = delete;
        ~CObjectInfo() { delete factory; }

        CPlugInInfo* owner; // null for a class registered outside a plug-in load
        string className;
        ZTL::factory_base* factory; // owned
    };

    static CObjectCreater* GetInstance();

    CObjectCreater() = default;
    // The classes go first, then the plug-ins, so no factory outlives its library.
    ~CObjectCreater() override;

    // A new object of the first class registered under exactly that name; null when there is none.
    void* CreateInstance(const string& className) override;
    void* CreateInstance(const char* className) override;
    // Appends the class (an existing name keeps winning); takes the factory.
    void RegisterObject(const string& className, ZTL::factory_base* factory) override;
    void RegisterObject(const char* className, ZTL::factory_base* factory) override;
    // Loads a library once per resolved path (later loads count up) and runs its initialiser. Always 0.
    int LoadPlugIn(const string& fileName) override;
    int LoadPlugIn(const char* fileName) override;
    // Counts down; the last release forgets its classes and frees the library. Always 0.
    int ReleasePlugIn(const string& fileName) override;
    int ReleasePlugIn(const char* fileName) override;
    void* Allocate(std::size_t bytes) override;
    void Free(void* p) override;

    std::size_t GetPlugInCount() const;
    std::size_t GetObjectCount() const;
    // The use count of a loaded plug-in, 0 when it is not loaded.
    int GetUseCount(const char* fileName);

private:
    std::vector<ZTL::smart_ptr<CPlugInInfo>> m_plugIns;
    std::vector<ZTL::smart_ptr<CObjectInfo>> m_objects;
    mutable Thread::CCriticalSection m_lock;
    CPlugInInfo* m_loading = nullptr;
};

// The name of the single-instance lock: the executable's path with every '\' turned into '?', at most
// 260 bytes.
string GetInstanceMutexName();
// Opens the named lock (the executable's when the name is empty), taking it; true when this is the only
// instance.
bool IsFirstAppInstance(Thread::CMutex& mutex, const string& name);

} // namespace zelvoranGameSDK3rd::AppFrame
