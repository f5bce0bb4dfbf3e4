#include "game/items/item_commands.h"

namespace {

// The verb that uses an item of a class, or null.
const char* UseLine(std::int32_t itemClass)
{
    switch (itemClass) {
    case 4:
        return "　食べる\n";
    case 5:
        return "　飲む\n";
    case 6:
        return "　読む\n";
    case 7:
        return "　振る\n";
    case 8:
        return "　描く\n";
    case 9:
        return "　使う\n";
    case 10:
        return "　入れる\n";
    case 12:
        return "　踏む\n";
    default:
        return nullptr;
    }
}

// The line of one command code, or null.
const char* CommandLine(std::int32_t code, std::int32_t itemClass, bool equipped)
{
    switch (code) {
    case 1:
        return equipped ? "　外す\n" : "　装備\n";
    case 2:
        return itemClass == 3 ? "　撃つ\n" : "　投げる\n";
    case 3:
        return UseLine(itemClass);
    case 4:
        return "　見る\n";
    case 5:
        return "　出す\n";
    case 6:
        return "　割る\n";
    case 7:
        return "　置く\n";
    case 8:
        return "　拾う\n";
    case 9:
        return "　交換\n";
    case 10:
        return "　命名\n";
    case 11:
        return "　説明\n";
    case 12:
        return itemClass == 12 ? "　壊す\n" : itemClass == 13 ? "　消す\n" : "　捨てる\n";
    default:
        return nullptr;
    }
}

} // namespace

ZTL::string BuildItemCommandList(const std::vector<std::int32_t>& codes, std::int32_t itemClass,
                                 bool equipped, bool blocked)
{
    ZTL::string text;
    for (std::int32_t code : codes) {
        if (blocked && (code == 3 || code == 5)) text += "#r";
        if (const char* line = CommandLine(code, itemClass, equipped)) text += line;
    }
    return text;
}
