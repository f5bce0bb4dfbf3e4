// Data tables of any content: the table reader and every loader read nothing past a line, write no
// record past its table, keep the name maps inside their tables and the appearance lists within
// bounds, and report through their results and boxes. The input holds the seal, item, weapon-weight,
// monster, monster-appearance and item-appearance tables one after another, split at NUL bytes; a
// table the input does not reach is empty. The first byte also picks the floor.

#include "game/characters/character_control.h"
#include "game/items/item_control.h"
#include "game/world/appearance_tables.h"
#include "game/world/spell_circle_control.h"
#include "platform/host/headless/headless.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace {

template <typename Names> void CheckIds(const Names& names, std::size_t records)
{
    for (const auto& [name, id] : names)
        if (id < 0 || std::size_t(id) >= records) std::abort();
}

void CheckResult(std::int32_t result)
{
    if (result != kTableLoaded && result != kTableRefused && result != kTableSumMismatch) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CSpellCircleControl circles; // the range names of the pens' column
    // Fresh controls for every input: the start-up load meets them new.
    const auto items = std::make_unique<CItemControl>();
    const auto characters = std::make_unique<CCharacterControl>();
    const auto map = std::make_unique<CMapControl>();
    platform::headless::ScriptMessageBoxAnswers({}); // forgets the boxes of the last input

    std::string_view rest(reinterpret_cast<const char*>(data), size);
    CTableFile tables[6];
    for (CTableFile& table : tables) {
        const std::string_view part = rest.substr(0, rest.find('\0'));
        table.ReadFromMemory(part.data(), std::uint32_t(part.size()));
        rest.remove_prefix(std::min(rest.size(), part.size() + 1));
    }

    CheckResult(items->LoadSealTable(tables[0]));
    CheckResult(items->LoadItemTable(tables[1]));
    if (items->kindCount < 0 || std::size_t(items->kindCount) > items->kinds.size()) std::abort();
    CheckIds(items->kindByName, items->kinds.size());
    for (std::int32_t first : items->firstKindOfClass)
        if (first < -1 || first >= std::int32_t(items->kinds.size())) std::abort();
    for (std::size_t list = 0; list < items->appearanceNames.size(); ++list)
        if (items->appearanceNames[list].size() != items->appearanceOrder[list].size()) std::abort();
    CheckResult(items->LoadWeaponWeightTable(tables[2]));
    if (items->attackWeights.size() != items->moveWeights.size()) std::abort();

    CheckResult(characters->LoadMonsterTable(tables[3], items->kindByName));
    if (std::size_t(characters->kindCount) != characters->monsterKinds.size()) std::abort();
    CheckIds(characters->kindByName, characters->monsterKinds.size());

    ReadMonsterAppearance(*map, tables[4], size > 0 ? data[0] : 1, characters->kindByName);
    if (map->monsterAppearance.size() > 65536) std::abort();
    for (std::int32_t kind : map->monsterAppearance)
        if (kind < 0 || std::size_t(kind) >= characters->monsterKinds.size()) std::abort();
    ReadItemAppearance(*map, tables[5], items->kinds, items->kindByName);
    for (const CMapControl::SItemAppearance& list : map->itemAppearance) {
        if (list.kinds.size() != list.weights.size()) std::abort();
        for (std::int32_t kind : list.kinds)
            if (kind < 0 || std::size_t(kind) >= items->kinds.size()) std::abort();
    }
    return 0;
}
