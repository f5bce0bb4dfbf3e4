#pragma once
// The item table ("アイテム.txt"): kind id = line number (the header is line 1); each "<" line opens the
// next class (item_classes.h), "//" lines are comments, and both, like a line whose first number is 0
// or whose name is empty, hold no kind. Its columns and words, read alike by the game's loader and the
// data build. Standard headers only.

#include "game/data/item_classes.h"
#include "game/data/table_line.h"

#include <cstdint>
#include <string_view>

namespace item_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "アイテム.txt";

// The columns of a kind line.
struct SColumns
{
    std::int32_t number = 0;           // 1: any number but 0
    std::string_view name;             // 2: the true name
    std::int32_t base = 0;             // 3: weapons, shields: strength; staffs, pens, pots: least at creation
    std::int32_t maximum = 0;          // 4: weapons, shields: highest plus; arrows: stack; else the most
    std::int32_t sealSlots = 0;        // 5: weapons, shields: seal slots at creation
    std::string_view sealOrRange;      // 6: the seal of its name (HasBuiltInSeal), a pen's range, or "-"
    std::int32_t buyPrice = 0;         // 7
    std::int32_t sellPrice = 0;        // 8
    std::int32_t checkWeight = 0;      // 9: summed into the check number
    std::int32_t appearanceWeight = 0; // 10: the kind's weight in the appearance lists
    std::string_view description;      // 11: in double quotes, or up to the next tab
    std::string_view reading;          // 12
    std::string_view appearanceName;   // 13: the unidentified name, classes with an AppearanceList only
};

// The classes whose kinds carry the seal named as they are (column 6 names it).
constexpr bool HasBuiltInSeal(std::int32_t itemClass)
{
    return IsEquipmentClass(itemClass) || itemClass == kItemClassMagicStone;
}

// The classes shown by unidentified names, each with a list of them: potions, scrolls, staffs, pens,
// pots, magic stones, in the order of their lists; -1 for a class without one.
constexpr std::int32_t kAppearanceLists = 6;
constexpr std::int32_t AppearanceList(std::int32_t itemClass)
{
    switch (itemClass) {
    case kItemClassPotion:
        return 0;
    case kItemClassScroll:
        return 1;
    case kItemClassStaff:
        return 2;
    case kItemClassPen:
        return 3;
    case kItemClassPot:
        return 4;
    case kItemClassMagicStone:
        return 5;
    default:
        return -1;
    }
}

// The name of the gold kind, which the game makes itself as kind 0.
constexpr std::string_view kGoldName = "ゴールド";
// Column 6 of a kind that carries no seal and is no pen.
constexpr std::string_view kNoColumn = "-";
// Column 6 of a weapon, shield or magic stone with no seal of its name.
constexpr std::string_view kNoSealWord = "なし";

// Column 6 of a pen: whom the circle it draws covers.
struct SRangeWord
{
    std::string_view word;
    std::int32_t range;
};
constexpr SRangeWord kRangeWords[] = {
    {"無し", 0},   // nobody: the keys
    {"上", 1},     // a character on its cell
    {"部屋", 2},   // its room, or the 3 x 3 block around the character
    {"フロア", 3}, // everybody
    {"自分", 4},   // the heroine wherever she stands
};

// The range a pen's column 6 names; a word that names none is the range of "無し".
constexpr std::int32_t RangeOfWord(std::string_view word)
{
    for (const SRangeWord& entry : kRangeWords)
        if (entry.word == word) return entry.range;
    return kRangeWords[0].range;
}

// Reads a line that is neither a comment nor a "<" line of class itemClass: false, the rest unread, when
// it holds no kind. The cursor's marks tell whether the line held every column.
inline bool ReadKindLine(table_text::CTableLine& line, std::int32_t itemClass, SColumns& columns)
{
    columns.number = line.Number();
    columns.name = columns.number != 0 ? line.Word() : std::string_view();
    if (columns.name.empty()) return false;
    columns.base = line.Number();
    columns.maximum = line.Number();
    columns.sealSlots = line.Number();
    columns.sealOrRange = line.Word();
    columns.buyPrice = line.Number();
    columns.sellPrice = line.Number();
    columns.checkWeight = line.Number();
    columns.appearanceWeight = line.Number();
    columns.description = line.AtQuote() ? line.Token() : line.TextToTab();
    columns.reading = line.Word();
    if (AppearanceList(itemClass) >= 0) columns.appearanceName = line.Word();
    return true;
}

} // namespace item_schema
