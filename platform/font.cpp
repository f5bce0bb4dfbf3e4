#include "platform/font.h"

#include "platform/backend_chooser.h"

#include <mutex>

namespace platform {
namespace {

struct InstalledEngine
{
    std::mutex lock;
    std::shared_ptr<FontEngine> engine;
};
InstalledEngine& Installed()
{
    static InstalledEngine installed;
    return installed;
}

std::shared_ptr<FontEngine> CurrentEngine()
{
    {
        InstalledEngine& e = Installed();
        std::lock_guard guard(e.lock);
        if (e.engine) return e.engine;
    }
    return GetBackend().GetGlyphEngine();
}

} // namespace

std::shared_ptr<FontEngine> SetFontEngine(std::shared_ptr<FontEngine> engine)
{
    InstalledEngine& e = Installed();
    std::lock_guard guard(e.lock);
    std::swap(e.engine, engine);
    return engine;
}

std::unique_ptr<Font> CreateFont(const FontDescription& description)
{
    return CurrentEngine()->CreateFont(description);
}

} // namespace platform
