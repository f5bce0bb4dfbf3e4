#pragma once
// The appearance tables of a dungeon N: which monsters appear on its floors ("モンスター出現N.txt") and
// which items its floors, chests, traps, monsters and a scroll draw from ("アイテム出現N.txt"). A line
// names a monster or an item kind; a line whose first byte is "/", and an empty line or first word,
// names none. Their columns, read alike by the game's loaders and the data build. Standard headers only.

#include "game/data/table_line.h"

#include <cstdint>
#include <string_view>

namespace appearance_schema {

// The file names, in the data set's text folder: the family, the dungeon's number in decimal, ".txt".
constexpr std::string_view kMonsterFamily = "モンスター出現";
constexpr std::string_view kItemFamily = "アイテム出現";
constexpr std::string_view kExtension = ".txt";

// Column 1: the name of the kind, or empty for a line that names none (the rest then unread).
inline std::string_view ReadName(table_text::CTableLine& line)
{
    if (line.Text().starts_with('/')) return {};
    return line.Word();
}

// The monster tables: after the name, groups of three numbers up to the line's end; the first group
// that covers the floor gives the kind's weight there. The check number sums the weights the loader
// reads.
struct SMonsterGroup
{
    std::int32_t weight = 0;
    std::int32_t firstFloor = 0; // 0 ends the line's groups
    std::int32_t lastFloor = 0;  // 0 for no upper bound
};
inline SMonsterGroup ReadMonsterGroup(table_text::CTableLine& line)
{
    SMonsterGroup group;
    group.weight = line.Number();
    group.firstFloor = line.Number();
    group.lastFloor = line.Number();
    return group;
}

// The item tables: after the name, whether the kind stands in the floors' list, the generation list
// and the chests' list (kListed each); the fourth list joins the first two. The check number counts the
// kinds of the floors' list.
constexpr std::int32_t kListed = 1;
struct SItemLists
{
    bool floors = false;
    bool generation = false;
    bool chests = false;
};
inline SItemLists ReadItemLists(table_text::CTableLine& line)
{
    SItemLists lists;
    lists.floors = line.Number() == kListed;
    lists.generation = line.Number() == kListed;
    lists.chests = line.Number() == kListed;
    return lists;
}

} // namespace appearance_schema
