#include "sdk/appframe/object_creater.h"

#include "platform/host/file.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/text_output_stream.h"
#include "sdk/thread/singleton.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zelvoranGameSDK3rd::AppFrame {

// ---- Plug-in libraries.

CDllPlugInLoader::~CDllPlugInLoader()
{
    Release();
}

int CDllPlugInLoader::Load(const string& fileName)
{
    m_fileName = fileName;
    m_module = platform::LoadLibrary(fileName.GetCString());
    if (m_module == nullptr) {
        Auxiliary::GetErrorStream().Out("CDllPlugInLoader::Load \"%s\"のロードに失敗", fileName.GetCString());
        return 1;
    }
    return 0;
}

int CDllPlugInLoader::Release()
{
    if (m_module == nullptr) return 0;
    const bool ok = platform::FreeLibrary(m_module);
    m_module = nullptr;
    return ok ? 0 : 1;
}

// ---- The creator.

CObjectCreater* CObjectCreater::GetInstance()
{
    return Thread::CSingleton<CObjectCreater>::GetInstance();
}

CObjectCreater::~CObjectCreater()
{
    m_objects.clear();
    m_plugIns.clear();
}

void* CObjectCreater::CreateInstance(const string& className)
{
    return CreateInstance(className.GetCString());
}

void* CObjectCreater::CreateInstance(const char* className)
{
    const std::size_t length = std::strlen(className);
    Thread::CLockGuard guard(m_lock);
    for (auto& object : m_objects) {
        const string& name = object->className;
        if (name.length() == length && std::memcmp(name.GetCString(), className, length) == 0)
            return object->factory->create();
    }
    return nullptr;
}

void CObjectCreater::RegisterObject(const string& className, ZTL::factory_base* factory)
{
    RegisterObject(className.GetCString(), factory);
}

void CObjectCreater::RegisterObject(const char* className, ZTL::factory_base* factory)
{
    m_objects.push_back(ZTL::smart_ptr<CObjectInfo>(new CObjectInfo(m_loading, className, factory)));
}

int CObjectCreater::LoadPlugIn(const string& fileName)
{
    return LoadPlugIn(fileName.GetCString());
}

int CObjectCreater::LoadPlugIn(const char* fileName)
{
    const string path = Auxiliary::CFile::ResolvePath(fileName);
    Thread::CLockGuard guard(m_lock);
    for (auto& plugIn : m_plugIns) {
        const string& loaded = plugIn->loader.GetFileName();
        if (loaded.length() == path.length() &&
            std::memcmp(loaded.GetCString(), path.GetCString(), path.length()) == 0) {
            ++plugIn->useCount;
            return 0;
        }
    }
    ZTL::smart_ptr<CPlugInInfo> plugIn(new CPlugInInfo);
    m_loading = plugIn.get();
    if (plugIn->loader.Load(path) == 0) {
        auto initializer = reinterpret_cast<ZelvDllInitializerFunction>(
            platform::GetLibrarySymbol(plugIn->loader.GetModule(), "ZelvDllInitializer"));
        if (initializer != nullptr) {
            initializer(this);
            m_plugIns.push_back(plugIn);
        }
    }
    m_loading = nullptr;
    return 0; // a plug-in that failed is released with its record here
}

int CObjectCreater::ReleasePlugIn(const string& fileName)
{
    return ReleasePlugIn(fileName.GetCString());
}

int CObjectCreater::ReleasePlugIn(const char* fileName)
{
    const string path = Auxiliary::CFile::ResolvePath(fileName);
    Thread::CLockGuard guard(m_lock);
    auto it = std::find_if(m_plugIns.begin(), m_plugIns.end(), [&](const ZTL::smart_ptr<CPlugInInfo>& p) {
        const string& loaded = p->loader.GetFileName();
        return loaded.length() == path.length() &&
               std::memcmp(loaded.GetCString(), path.GetCString(), path.length()) == 0;
    });
    if (it == m_plugIns.end()) {
        Auxiliary::GetErrorStream().Out("CObjectCreater::ReleasePlugIn 登録されていないPlugInの削除");
        return 0;
    }
    CPlugInInfo* plugIn = it->get();
    if (--plugIn->useCount > 0) return 0;
    m_objects.erase(std::remove_if(m_objects.begin(), m_objects.end(),
                                   [&](const ZTL::smart_ptr<CObjectInfo>& o) { return o->owner == plugIn; }),
                    m_objects.end());
    m_plugIns.erase(it);
    return 0;
}

void* CObjectCreater::Allocate(std::size_t bytes)
{
    return ::operator new(bytes);
}

void CObjectCreater::Free(void* p)
{
    ::operator delete(p);
}

std::size_t CObjectCreater::GetPlugInCount() const
{
    Thread::CLockGuard guard(m_lock);
    return m_plugIns.size();
}

std::size_t CObjectCreater::GetObjectCount() const
{
    Thread::CLockGuard guard(m_lock);
    return m_objects.size();
}

int CObjectCreater::GetUseCount(const char* fileName)
{
    const string path = Auxiliary::CFile::ResolvePath(fileName);
    Thread::CLockGuard guard(m_lock);
    for (auto& plugIn : m_plugIns)
        if (std::strcmp(plugIn->loader.GetFileName().GetCString(), path.GetCString()) == 0)
            return plugIn->useCount;
    return 0;
}

// ---- Single instance.

string GetInstanceMutexName()
{
    char buffer[260] = {};
    std::string path;
    if (platform::GetExecutablePath(path)) std::strncpy(buffer, path.c_str(), sizeof buffer - 1);
    for (std::size_t i = 0; i < sizeof buffer && buffer[i] != '\0'; ++i)
        if (buffer[i] == '\\') buffer[i] = '?';
    return string(buffer);
}

bool IsFirstAppInstance(Thread::CMutex& mutex, const string& name)
{
    const string lockName = name.empty() ? GetInstanceMutexName() : name;
    const int result = mutex.Open(lockName);
    return result != 1 && result != 2;
}

} // namespace zelvoranGameSDK3rd::AppFrame
