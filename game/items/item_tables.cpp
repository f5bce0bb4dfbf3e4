// The item control's data tables: seals, item kinds and weapon weights.

#include "game/data/fixed_kinds.h"
#include "game/data/item_schema.h"
#include "game/data/seal_schema.h"
#include "game/data/table_reader.h"
#include "game/data/weapon_weight_schema.h"
#include "game/items/item_control.h"

namespace {

// The item table as it is being read; it replaces the control's tables once the file is accepted.
struct SItemTableDraft
{
    std::vector<SItemKind> kinds;
    std::map<ZTL::string, std::int32_t> kindByName;
    std::array<std::int32_t, CItemControl::kClassCount> firstKindOfClass;
    std::array<std::vector<ZTL::string>, CItemControl::kAppearanceClasses> appearanceNames;
    std::array<std::vector<std::int32_t>, CItemControl::kAppearanceClasses> appearanceOrder;
};

// The kind of a line's columns, of the class; false when the line is refused.
bool MakeItemKind(const item_schema::SColumns& columns, const CTableLine& line, std::int32_t lineNumber,
                  std::int32_t classId, const std::vector<SSealKind>& seals, SItemKind& kind,
                  SItemTableDraft& draft)
{
    kind.number = columns.number;
    kind.name = ToTableString(columns.name);
    kind.base = columns.base;
    kind.maximum = columns.maximum;
    kind.sealSlots = columns.sealSlots;
    if (item_schema::HasBuiltInSeal(classId)) {
        for (std::size_t code = 0; code < seals.size(); ++code)
            if (seals[code].name == kind.name) {
                kind.sealCode = std::int32_t(code);
                break;
            }
    } else if (classId == kItemClassPen) {
        kind.sealCode = item_schema::RangeOfWord(columns.sealOrRange);
    }
    kind.buyPrice = columns.buyPrice;
    kind.sellPrice = columns.sellPrice;
    kind.weight = columns.checkWeight;
    kind.param4 = columns.appearanceWeight;
    kind.description = ToTableString(columns.description);
    kind.token = ToTableString(columns.reading);
    std::int32_t& first = draft.firstKindOfClass[std::size_t(classId)];
    if (first == -1) first = lineNumber;
    const std::int32_t list = CItemControl::GetAppearanceList(classId);
    if (list >= 0) {
        draft.appearanceNames[std::size_t(list)].push_back(ToTableString(columns.appearanceName));
        draft.appearanceOrder[std::size_t(list)].push_back(lineNumber - first);
    }
    kind.classId = classId;
    return !line.IsBroken();
}

} // namespace

std::int32_t CItemControl::GetAppearanceList(std::int32_t classId)
{
    return item_schema::AppearanceList(classId);
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
        seal_schema::SColumns columns;
        if (!seal_schema::ReadSealLine(line, columns)) continue;
        seal.name = ToTableString(columns.name);
        seal.size = columns.size;
        seal.buyPrice = columns.buyPrice;
        seal.sellPrice = columns.sellPrice;
        seal.description = ToTableString(columns.description);
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
    gold.name = ToTableString(item_schema::kGoldName);
    gold.classId = kItemClassGold;
    gold.description = "お金。\n店で買い物をするときなどに使用する。";
    draft.kindByName.emplace(gold.name, item_kind::kGold);
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
        } else if (item_schema::SColumns columns;
                   !line.IsComment() && item_schema::ReadKindLine(line, section, columns)) {
            if (!MakeItemKind(columns, line, lineNumber, section, seals, kind, draft)) return kTableRefused;
            sum += kind.weight;
            draft.kindByName.emplace(kind.name, lineNumber);
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
    ResetIdentification(0);
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

    using namespace weapon_weight_schema;
    std::vector<std::int32_t> attack = {kNoAttackWeight, kHeaderAttackWeight};
    std::vector<std::int32_t> move = {kNoMoveWeight, kNoMoveWeight};
    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return kTableRefused;
        CTableLine line(text);
        SColumns columns;
        if (!ReadWeightLine(line, columns)) {
            attack.push_back(kNoAttackWeight);
            move.push_back(kNoMoveWeight);
            continue;
        }
        attack.push_back(columns.attackWeight);
        move.push_back(columns.moveWeight);
        if (line.IsBroken()) return kTableRefused;
        sum += attack.back();
    }
    attackWeights = std::move(attack);
    moveWeights = std::move(move);
    return sum == check ? kTableLoaded : kTableSumMismatch;
}
