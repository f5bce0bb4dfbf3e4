// The settings file's text of any content, up to 256 KB so that deep keys and long lines are reached:
// reading it never recurses once a level or grows faster than the text, every key it keeps is within
// the depth cap, and what it keeps reads back the same from its own text form.

#include "platform/host/settings_store.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const platform::SettingsStore store = platform::SettingsStore::FromText(text);
    const std::string kept = store.ToText();
    // Each kept key line stands for a key line of the input or one of its parents, escaping at most
    // triples a byte, and the parents of a key are as many as its depth: the text form stays in
    // proportion to the input.
    if (kept.size() > 3 * std::size_t(platform::SettingsStore::kMaxKeyDepth) * (size + 2)) std::abort();
    std::size_t at = 0;
    while (at < kept.size()) {
        const std::size_t end = kept.find('\n', at);
        const std::string_view line(kept.data() + at, end - at);
        if (!line.empty() && line.front() == '[' &&
            std::count(line.begin(), line.end(), '\\') >= platform::SettingsStore::kMaxKeyDepth)
            std::abort();
        at = end + 1;
    }
    if (platform::SettingsStore::FromText(kept).ToText() != kept) std::abort();
    return 0;
}
