#pragma once
// The second image set: a plane cache read from its own list, keyed with magenta, that every scene
// change empties so each scene starts without cached pictures.

#include "gamebase/sdk_names.h"
#include "sdk/draw/plane_loader.h"
#include "sdk/thread/singleton.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <memory>

class CSecondImageSet
{
public:
    static constexpr std::int32_t kStaleLimit = 32;
    static constexpr std::uint32_t kColorKey = 0xFF00FF;

    // Made on first use.
    static CSecondImageSet* GetInstance();
    // The static clean-up's end of the set.
    static void DestroyInstance();

    void SetFolder(const ZTL::string& folder) { m_folder = folder; }
    void SetListFile(const ZTL::string& listFile) { m_listFile = listFile; }
    // A new cache over the calling thread's plane factory, reading folder + list file.
    void BuildLoader();
    void DeleteLoader() { m_loader.reset(); }
    // Every cached plane let go; the list stays, so each is loaded again on demand.
    void ReleaseAll();

    // Null before BuildLoader.
    Draw::CPlaneLoader* GetLoader() { return m_loader.get(); }
    const ZTL::string& GetFolder() const { return m_folder; }
    const ZTL::string& GetListFile() const { return m_listFile; }

private:
    friend class zelvoranGameSDK3rd::Thread::CSingleton<CSecondImageSet>;
    CSecondImageSet() = default;

    std::unique_ptr<Draw::CPlaneLoader> m_loader;
    ZTL::string m_listFile = "list.txt";
    ZTL::string m_folder = "data\\image\\";
};

inline constexpr const char* kSecondImageFolder = "data\\image2\\";
inline constexpr const char* kSecondImageListFile = "list2.txt";
