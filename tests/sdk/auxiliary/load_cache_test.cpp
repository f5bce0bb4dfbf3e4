// The load cache: the definition-file syntax, loading on first use, the use record and the stale listener.
#include "sdk/auxiliary/load_cache.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;

// Makes an object per entry, counting the makes; a file name beginning with "bad" fails with 7.
class CountingCache : public Aux::CLoadCache
{
public:
    std::vector<std::string> made;

    std::map<std::int32_t, std::string> Names() const
    {
        std::map<std::int32_t, std::string> names;
        for (const auto& [id, entry] : GetDefinitions())
            names[id] = entry->fileName.c_str();
        return names;
    }

protected:
    int CreateObject(Aux::CLoadCacheInfo& entry) override
    {
        made.emplace_back(entry.fileName.c_str());
        entry.object = ZTL::smart_ptr<Aux::CLoadCacheObject>(new Aux::CLoadCacheObject);
        return made.back().starts_with("bad") ? 7 : 0;
    }
};

int ReadText(CountingCache& cache, const std::string& text, bool numbered)
{
    Aux::CFile file;
    EXPECT_EQ(file.ReadFromMemory(text.data(), std::uint32_t(text.size())), Aux::CFile::kReadOk);
    return cache.ReadDefinition(file, numbered);
}

// A line of exactly 255 bytes: the reader hands it over as one piece, and the text after it as the next.
std::string Piece(const std::string& start)
{
    return start + std::string(255 - start.size(), ' ');
}

TEST(LoadCacheDefinition, LinesGiveEntries)
{
    struct Case
    {
        const char* what;
        std::string text;
        bool numbered;
        int result;
        std::map<std::int32_t, std::string> names;
    };
    const Case cases[] = {
        {"a blank before the comma stays in the name", "a.wav , 7", true, 0, {{7, "p\\a.wav "}}},
        {"an empty field and a negative number", ",-3", true, 0, {{-3, "p\\"}}},
        {"a missing number stops, keeping what came before",
         "a.wav,1\r\nb.wav,\r\nc.wav,3",
         true,
         2,
         {{1, "p\\a.wav"}}},
        {"a slash ends the field and is no number", "a.wav/x,2", true, 2, {}},
        {"a lone LF is no line end", "a.wav,1\nb.wav,2\n", true, 0, {{1, "p\\a.wav"}}},
        {"a number defined twice keeps the later entry",
         "a.wav,4\r\nb.wav,4\r\n",
         true,
         0,
         {{4, "p\\b.wav"}}},
        {"comments and empty lines define nothing", "// a.wav,1\r\n\r\n//\r\n", true, 0, {}},
        {"a blank before the slashes makes an entry", " //a.wav,1", false, 0, {{0, "p\\ "}}},
        {"unnumbered entries count from 0, skipped lines not",
         "a.wav//note\r\n// b\r\n\r\nc.wav",
         false,
         0,
         {{0, "p\\a.wav"}, {1, "p\\c.wav"}}},
        {"a long line is read in pieces of 255 bytes",
         Piece("a.wav,1") + "b.wav,2",
         true,
         0,
         {{1, "p\\a.wav"}, {2, "p\\b.wav"}}},
    };
    for (const Case& c : cases) {
        CountingCache cache;
        cache.SetPath("p\\");
        EXPECT_EQ(ReadText(cache, c.text, c.numbered), c.result) << c.what;
        EXPECT_EQ(cache.Names(), c.names) << c.what;
    }
}

class LoadCacheFile : public TempFolderTest
{};

TEST_F(LoadCacheFile, AFileIsReadUnlessMissingOrSwitchedOff)
{
    PutFile(m_root / "list.txt", "x.wav,5\r\n");
    CountingCache cache;
    EXPECT_EQ(cache.LoadDefinition((m_root / "none.txt").c_str(), true), 1);
    EXPECT_FALSE(cache.SetReadDefinition(false));
    EXPECT_EQ(cache.LoadDefinition((m_root / "list.txt").c_str(), true), 0);
    EXPECT_TRUE(cache.Names().empty());
    cache.SetReadDefinition(true);
    EXPECT_EQ(cache.LoadDefinition((m_root / "list.txt").c_str(), true), 0);
    EXPECT_EQ(cache.Names().at(5), "x.wav");
}

struct CountingListener : Aux::ILoadCacheListener
{
    void OnLoad(std::int32_t id) override { ids.push_back(id); }
    std::vector<std::int32_t> ids;
};

TEST(LoadCache, AnObjectLoadsOnceAndAFailedLoadIsNotRetried)
{
    CountingCache cache;
    auto* listener = new CountingListener;
    cache.SetLoadCacheListener(ZTL::smart_ptr<Aux::ILoadCacheListener>(listener));
    ReadText(cache, "a.wav,1\r\nbad.wav,2", true);
    EXPECT_EQ(cache.Load(1), 0);
    EXPECT_EQ(cache.Load(1), 0);
    EXPECT_EQ(cache.Load(2), 7);
    EXPECT_EQ(cache.Load(2), 0);
    EXPECT_EQ(cache.made, (std::vector<std::string>{"a.wav", "bad.wav"}));
    EXPECT_TRUE(cache.IsLoaded(2));
    EXPECT_EQ(listener->ids, (std::vector<std::int32_t>{1, 1, 2, 2, 2}));
    // An undefined number is refused and does not read as loaded afterwards.
    EXPECT_EQ(cache.Load(9), 1);
    EXPECT_FALSE(cache.IsLoaded(9));
    EXPECT_EQ(cache.GetLoadedCount(), 2);
}

TEST(LoadCache, PastTheStaleLimitTheLeastRecentlyUsedObjectGoes)
{
    CountingCache cache;
    auto* stale = new Aux::CDefaultCacheStaleListener(2);
    cache.SetCacheStaleListener(ZTL::smart_ptr<Aux::ICacheStaleListener>(stale));
    ReadText(cache, "a,1\r\nb,2\r\nc,3\r\nd,4", true);
    cache.Load(1);
    cache.Load(2);
    cache.Load(3);
    cache.Load(1); // now more recent than 2 and 3
    EXPECT_EQ(cache.Load(4), 0);
    EXPECT_FALSE(cache.IsLoaded(2));
    EXPECT_TRUE(cache.IsLoaded(1) && cache.IsLoaded(3) && cache.IsLoaded(4));
    EXPECT_EQ(stale->GetCount(), 3);
    // A released number stays defined and loads again.
    cache.Load(2);
    EXPECT_EQ(cache.made.back(), "b");
}

TEST(LoadCache, ReleaseAllLeavesNothingDefinedUntilTheFileIsReadAgain)
{
    CountingCache cache;
    ReadText(cache, "a,1\r\nb,2", true);
    cache.Load(1);
    cache.Load(2);
    cache.ReleaseAll();
    EXPECT_FALSE(cache.IsLoaded(1));
    EXPECT_EQ(cache.GetLoadedCount(), 0);
    Aux::LoadCacheEntry entry;
    EXPECT_TRUE(cache.GetInfo(1, entry));
    EXPECT_EQ(cache.Load(1), 1);
    ReadText(cache, "a,1", true);
    EXPECT_EQ(cache.Load(1), 0);
    EXPECT_EQ(cache.made.size(), 3u);
}

} // namespace
