// The item control's data tables: seals, item kinds and weapon weights.

#include "game/data/table_reader.h"
#include "game/items/item_control.h"
#include "game/world/spell_circle_control.h"

namespace {

constexpr std::int32_t kGoldClass = 11;
constexpr std::int32_t kPenClass = 8;

bool HasBuiltInSeal(std::int32_t classId)
{
    return classId == 1 || classId == 2 || classId == 9;
}

// The item table as it is being read; it replaces the control's tables once the file is accepted.
struct SItemTableDraft
{
    std::vector<SItemKind> kinds;
    std::map<ZTL::string, std::int32_t> kindByName;
    std::array<std::int32_t, CItemControl::kClassCount> firstKindOfClass;
    std::array<std::vector<ZTL::string>, CItemControl::kAppearanceClasses> appearanceNames;
    std::array<std::vector<std::int32_t>, CItemControl::kAppearanceClasses> appearanceOrder;
};

// Reads the columns of an item line of the class into the kind; false when the line is refused.
bool ReadItemLine(CTableLine& line, std::int32_t lineNumber, std::int32_t classId,
                  const std::vector<SSealKind>& seals, SItemKind& kind, SItemTableDraft& draft)
{
    kind.base = line.Number();
    kind.maximum = line.Number();
    kind.sealSlots = line.Number();
    const std::string_view column6 = line.Word();
    if (HasBuiltInSeal(classId)) {
        for (std::size_t code = 0; code < seals.size(); ++code)
            if (seals[code].name == kind.name) {
                kind.sealCode = std::int32_t(code);
                break;
            }
    } else if (classId == kPenClass) {
        kind.sealCode = CSpellCircleControl::GetRangeKind(ToTableString(column6));
    }
    kind.buyPrice = line.Number();
    kind.sellPrice = line.Number();
    kind.weight = line.Number();
    kind.param4 = line.Number();
    kind.description = ToTableString(line.AtQuote() ? line.Token() : line.TextToTab());
    kind.token = ToTableString(line.Word());
    std::int32_t& first = draft.firstKindOfClass[std::size_t(classId)];
    if (first == -1) first = lineNumber;
    const std::int32_t list = CItemControl::GetAppearanceList(classId);
    if (list >= 0) {
        draft.appearanceNames[std::size_t(list)].push_back(ToTableString(line.Word()));
        draft.appearanceOrder[std::size_t(list)].push_back(lineNumber - first);
    }
    kind.classId = classId;
    return !line.IsBroken();
}

} // namespace

std::int32_t CItemControl::GetAppearanceList(std::int32_t classId)
{
    // Potions, scrolls, staffs, pens, pots, magic stones.
    switch (classId) {
    case 5:
        return 0;
    case 6:
        return 1;
    case 7:
        return 2;
    case 8:
        return 3;
    case 10:
        return 4;
    case 9:
        return 5;
    default:
        return -1;
    }
}

std::int32_t CItemControl::LoadSealTable(const ZTL::string& fileName)
{
    CTableFile file;
    if (file.Read(fileName) == 0) return LoadSealTable(file);
    seals.emplace_back();
    return kTableUnreadable;
}

std::int32_t CItemControl::LoadSealTable(CTableFile& file)
{
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return kTableRefused;

    std::vector<SSealKind> table(2); // codes 0 and 1
    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return kTableRefused;
        SSealKind& seal = table.emplace_back();
        CTableLine line(text);
        if (line.IsComment()) continue;
        const std::string_view name = line.Word();
        if (name.empty()) continue;
        seal.name = ToTableString(name);
        seal.size = line.Number();
        seal.buyPrice = line.Number();
        seal.sellPrice = line.Number();
        seal.description = ToTableString(line.Word());
        if (line.IsBroken()) return kTableRefused;
        sum += seal.buyPrice;
    }
    seals = std::move(table);
    return sum == check ? kTableLoaded : kTableSumMismatch;
}

std::int32_t CItemControl::LoadItemTable(const ZTL::string& fileName)
{
    CTableFile file;
    if (file.Read(fileName) == 0) return LoadItemTable(file);
    kinds.emplace_back();
    kindCount = 1;
    return kTableUnreadable;
}

std::int32_t CItemControl::LoadItemTable(CTableFile& file)
{
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return kTableRefused;

    SItemTableDraft draft{{}, {}, firstKindOfClass, appearanceNames, appearanceOrder};
    SItemKind& gold = draft.kinds.emplace_back();
    gold.name = "ゴールド";
    gold.classId = kGoldClass;
    gold.description = "お金。\n店で買い物をするときなどに使用する。";
    draft.kindByName.emplace(gold.name, 0);
    draft.kinds.emplace_back(); // kind 1, the header's line

    std::int32_t lineNumber = 1;
    std::int32_t section = 0;
    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return kTableRefused;
        ++lineNumber;
        SItemKind kind; // comment lines, section lines and lines without a number or a name stay empty
        CTableLine line(text);
        if (line.IsSection()) {
            // The class tables end at class 11: a twelfth section would run past them.
            if (++section >= kClassCount) return kTableRefused;
        } else if (!line.IsComment()) {
            const std::int32_t number = line.Number();
            const std::string_view name = number != 0 ? line.Word() : std::string_view();
            if (!name.empty()) {
                kind.number = number;
                kind.name = ToTableString(name);
                if (!ReadItemLine(line, lineNumber, section, seals, kind, draft)) return kTableRefused;
                sum += kind.weight;
                draft.kindByName.emplace(kind.name, lineNumber);
            }
        }
        if (line.IsOutOfRange()) return kTableRefused;
        draft.kinds.push_back(std::move(kind));
    }

    kinds = std::move(draft.kinds);
    kindByName = std::move(draft.kindByName);
    firstKindOfClass = draft.firstKindOfClass;
    appearanceNames = std::move(draft.appearanceNames);
    appearanceOrder = std::move(draft.appearanceOrder);
    kindCount = std::int32_t(kinds.size());
    if (sum != check) return kTableSumMismatch;
    kindState.assign(kinds.size(), 0);
    seen.assign(kinds.size(), 0);
    // Stand-in: ResetIdentification, not built yet, sets the kinds' identification states for dungeon 0 here.
    return kTableLoaded;
}

std::int32_t CItemControl::LoadWeaponWeightTable(const ZTL::string& fileName)
{
    CTableFile file;
    if (file.Read(fileName) == 0) return LoadWeaponWeightTable(file);
    attackWeights.push_back(0);
    moveWeights.push_back(-1);
    return kTableUnreadable;
}

std::int32_t CItemControl::LoadWeaponWeightTable(CTableFile& file)
{
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return kTableRefused;

    std::vector<std::int32_t> attack = {0, 1};
    std::vector<std::int32_t> move = {-1, -1};
    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return kTableRefused;
        CTableLine line(text);
        if (line.IsComment() || line.Word().empty()) {
            attack.push_back(0);
            move.push_back(-1);
            continue;
        }
        attack.push_back(line.Number());
        move.push_back(line.Number());
        if (line.IsBroken()) return kTableRefused;
        sum += attack.back();
    }
    attackWeights = std::move(attack);
    moveWeights = std::move(move);
    return sum == check ? kTableLoaded : kTableSumMismatch;
}
