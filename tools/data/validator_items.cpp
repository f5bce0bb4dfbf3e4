// The validator's rules over the item, seal and weapon-weight tables.

#include "tools/data/validator_rules.h"

#include "game/data/item_schema.h"

#include <algorithm>
#include <map>
#include <set>

namespace data_pipeline {

namespace {

using namespace item_schema;

// The "<" lines: one per class after class 0.
constexpr std::int32_t kSections = kItemTableClasses - 1;
constexpr std::int32_t kMostSealSlots = 10;
constexpr std::int32_t kLargestPot = 8;
// A weapon of attack weight w hits by chance (58 - w) * 4 in 256.
constexpr std::int32_t kHitlessWeight = 58;
// The magic stones' seals: counted by the recipes that want every slot from 60 up, so one slot each.
constexpr std::int32_t kFirstStoneSeal = 60;
constexpr std::int32_t kLastStoneSeal = 77;
// The swing sounds of the weapon families (207 is the staff's).
constexpr std::int32_t kSwingSounds[] = {201, 202, 203, 204, 205, 206, 208, 209, 210, 211};
// The range that covers nobody: only the keys have it.
constexpr std::string_view kNoRange = kRangeWords[0].word;

bool IsAppearanceClass(std::int32_t classId)
{
    return AppearanceList(classId) >= 0;
}

bool IsEquipment(std::int32_t classId)
{
    return IsEquipmentClass(classId);
}

// The description window: 9 lines, about 18 full-width characters wide. What it shows of a kind
// besides the description, above it and below it.
constexpr std::int32_t kWindowLines = 9;
constexpr std::size_t kWindowColumns = 36;

std::int32_t LinesAboveDescription(std::int32_t classId)
{
    switch (classId) {
    case kItemClassWeapon:
    case kItemClassShield:
        return 4; // reading, a blank line, the base value, the banner
    case kItemClassFood:
    case kItemClassMagicStone:
        return 1; // reading
    case kItemClassPen:
        return 3; // reading, range, banner
    default:
        return 2; // reading, banner (a trap is shown with the trap's banner)
    }
}

std::int32_t LinesBelowDescription(const SItemLine& kind, const std::vector<SSealLine>& seals)
{
    const SSealLine* seal = FindSeal(seals, kind.name);
    if (seal == nullptr) return 0;
    if (IsEquipment(kind.classId)) return seal->size >= 2 ? 2 : 0; // the slots the seal needs
    return kind.classId == kItemClassMagicStone ? 1 : 0;           // what the stone does to equipment
}

struct STables
{
    const SSource* items = nullptr;
    SItemTable itemTable;
    std::vector<SSealLine> seals;
};

// The item table and the seals; items is null when the data set has no item table.
STables ReadTables(const SDataSet& dataSet)
{
    STables tables;
    tables.items = dataSet.Find(TableKind::Items);
    if (tables.items != nullptr) tables.itemTable = ReadItemTable(*tables.items);
    if (const SSource* seals = dataSet.Find(TableKind::Seals)) tables.seals = ReadSealTable(*seals);
    return tables;
}

const SFixedKind* FixedItem(std::int32_t kind)
{
    for (const SFixedKind& fixed : FixedKinds())
        if (fixed.table == KindTable::Items && kind >= fixed.first && kind <= fixed.last) return &fixed;
    return nullptr;
}

std::string KindName(const SItemLine& kind)
{
    return "item kind " + std::to_string(kind.line) + " " + kind.name;
}

} // namespace

const SSealLine* FindSeal(const std::vector<SSealLine>& seals, std::string_view name)
{
    const auto found =
        std::find_if(seals.begin(), seals.end(), [&](const SSealLine& s) { return s.name == name; });
    return found != seals.end() ? &*found : nullptr;
}

// Each "<" line opens the next class; it must stand after the last kind the rules name in the class
// before and before the first kind they name in its own class.
void CheckSections(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* items = dataSet.Find(TableKind::Items);
    if (items == nullptr) return;
    const std::vector<std::int32_t> sections = ReadItemTable(*items).sectionLines;
    std::map<std::int32_t, std::pair<std::int32_t, std::int32_t>> fixedSpan; // class: first, last kind
    fixedSpan[0] = {1, 1};                                                   // the header line
    for (const SFixedKind& fixed : FixedKinds()) {
        if (fixed.table != KindTable::Items) continue;
        auto [span, added] = fixedSpan.try_emplace(fixed.itemClass, fixed.first, fixed.last);
        span->second.first = std::min(span->second.first, fixed.first);
        span->second.second = std::max(span->second.second, fixed.last);
    }
    for (std::size_t i = 0; i < sections.size(); ++i) {
        const std::int32_t classId = std::int32_t(i) + 1;
        if (classId > kSections) {
            Report(diagnostics, *items, sections[i],
                   "a twelfth \"<\" line: the item table has at most 11 classes");
            continue;
        }
        const std::int32_t lowest = fixedSpan[classId - 1].second + 1;
        const std::int32_t highest = fixedSpan[classId].first - 1;
        if (sections[i] < lowest || sections[i] > highest)
            Report(diagnostics, *items, sections[i],
                   "the \"<\" line of class " + std::to_string(classId) + " must stand on a line from " +
                       std::to_string(lowest) + " to " + std::to_string(highest));
    }
    if (sections.size() < std::size_t(kSections))
        Report(diagnostics, *items, sections.empty() ? 1 : sections.back(),
               "the item table has " + std::to_string(sections.size()) + " \"<\" lines; it needs 11");
}

// An unidentified kind of classes 5 to 10 is shown by the appearance name its class's shuffle gives
// it, counted from the class's first kind: each class holds exactly the kinds the rules name, one name
// each, and no two alike.
void CheckClassBlocks(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    std::map<std::pair<std::int32_t, std::string>, std::int32_t> seenNames;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        if (kind.trailingText)
            Report(diagnostics, *tables.items, kind.line,
                   IsAppearanceClass(kind.classId)
                       ? "text after the unidentified name, which the loader does not read"
                       : "text after the reading, which the loader does not read for class " +
                             std::to_string(kind.classId));
        if (!IsAppearanceClass(kind.classId)) continue;
        const SFixedKind* fixed = FixedItem(kind.line);
        if (fixed == nullptr || fixed->itemClass != kind.classId)
            Report(diagnostics, *tables.items, kind.line,
                   KindName(kind) + " is no kind the rules give class " + std::to_string(kind.classId) +
                       ": it would take a place in the class's unidentified names");
        const auto [first, added] =
            seenNames.emplace(std::pair(kind.classId, kind.appearanceName), kind.line);
        if (!added)
            Report(diagnostics, *tables.items, kind.line,
                   "the unidentified name " + kind.appearanceName + " is already on line " +
                       std::to_string(first->second));
    }
}

// Names are read two bytes at a time when they are shortened, and the readings are shown as they are.
void CheckItemWords(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        if (!IsDoubleByteOnly(kind.name))
            Report(diagnostics, *tables.items, kind.line,
                   "the name " + kind.name + " must be double-byte characters only");
        if (!IsKanaOnly(kind.reading))
            Report(diagnostics, *tables.items, kind.line, "the reading " + kind.reading + " must be kana");
        if (IsAppearanceClass(kind.classId) && !IsDoubleByteOnly(kind.appearanceName))
            Report(diagnostics, *tables.items, kind.line,
                   "the unidentified name " + kind.appearanceName + " must be double-byte characters only");
    }
}

// Weapons, shields and magic stones carry the seal named as they are; column 6 says so, and reads as
// the range of a pen or "-" elsewhere.
void CheckBuiltInSeals(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        if (HasBuiltInSeal(kind.classId)) {
            const bool sealed = FindSeal(tables.seals, kind.name) != nullptr;
            const std::string expected = sealed ? kind.name : std::string(kNoSealWord);
            if (kind.column6 != expected)
                Report(diagnostics, *tables.items, kind.line,
                       "column 6 must be " + expected +
                           (sealed ? ": the kind carries the seal of its name"
                                   : ": no seal is named as the kind"));
        } else if (kind.classId != kItemClassPen && kind.column6 != kNoColumn) {
            Report(diagnostics, *tables.items, kind.line,
                   "column 6 must be - for class " + std::to_string(kind.classId));
        }
    }
}

void CheckClassNumbers(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        auto report = [&](const std::string& message) {
            Report(diagnostics, *tables.items, kind.line, KindName(kind) + ": " + message);
        };
        if (IsEquipment(kind.classId) && (kind.slots < 0 || kind.slots > kMostSealSlots))
            report("seal slots run from 0 to 10");
        if (kind.classId == kItemClassArrow && (kind.base < 1 || kind.maximum < 1))
            report("arrows need a multiplier and a stack of at least 1");
        if ((kind.classId == kItemClassStaff || kind.classId == kItemClassPen ||
             kind.classId == kItemClassPot) &&
            (kind.base < 0 || kind.base > kind.maximum))
            report("the least charges or size (column 3) must be from 0 to the most (column 4)");
        if (kind.classId == kItemClassPot && kind.maximum > kLargestPot)
            report("a pot holds at most 8 items");
        if (kind.sellPrice > kind.buyPrice) report("it would sell for more than it costs");
    }
}

// Names and words the game's code builds on: food states replace the whole name by an おにぎり name;
// a pen's circle is named and read with ペン and ぺん replaced, and the keys join the pens' shuffle.
void CheckClassNames(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        auto report = [&](const std::string& message) {
            Report(diagnostics, *tables.items, kind.line, KindName(kind) + ": " + message);
        };
        if (kind.classId == kItemClassFood && kind.name.find("おにぎり") == std::string::npos)
            report("food is named as an おにぎり");
        if (kind.classId != kItemClassPen) continue;
        if (kind.name.find("ペン") == std::string::npos) report("a pen's name holds ペン");
        if (kind.reading.find("ぺん") == std::string::npos) report("a pen's reading holds ぺん");
        if (kind.appearanceName.find("インクのペン") == std::string::npos)
            report("a pen's unidentified name holds インクのペン");
        const bool known = std::any_of(std::begin(kRangeWords), std::end(kRangeWords),
                                       [&](const SRangeWord& range) { return kind.column6 == range.word; });
        const SFixedKind* fixed = FixedItem(kind.line);
        if (!known)
            report("the range " + kind.column6 + " is none of 無し 上 部屋 フロア 自分");
        else if (kind.column6 == kNoRange && (fixed == nullptr || fixed->range == nullptr))
            report("a pen that draws needs a range that covers someone");
    }
}

void CheckSealTable(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Seals);
    if (source == nullptr) return;
    for (const SSealLine& seal : ReadSealTable(*source)) {
        if (seal.size < 1)
            Report(diagnostics, *source, seal.line, "a seal takes at least one slot");
        else if (seal.line >= kFirstStoneSeal && seal.line <= kLastStoneSeal && seal.size != 1)
            Report(diagnostics, *source, seal.line,
                   "a magic stone's seal takes one slot (a continuation slot breaks the recipes that "
                   "count stone seals)");
        if (seal.name == kNoSealWord)
            Report(diagnostics, *source, seal.line, "no seal may be named なし: it marks a kind without one");
    }
}

void CheckDescriptionWindow(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    for (const SItemLine& kind : tables.itemTable.kinds) {
        std::int32_t lines = 0;
        std::size_t begin = 0;
        bool wide = false;
        while (true) {
            const std::size_t end = kind.description.find('\n', begin);
            const std::string_view line = std::string_view(kind.description).substr(begin, end - begin);
            wide = wide || DisplayWidth(line) > kWindowColumns;
            ++lines;
            if (end == std::string::npos) break;
            begin = end + 1;
        }
        const std::int32_t total =
            LinesAboveDescription(kind.classId) + lines + LinesBelowDescription(kind, tables.seals);
        if (wide)
            Report(diagnostics, *tables.items, kind.line,
                   KindName(kind) + ": a description line is wider than 18 full-width characters");
        if (total > kWindowLines)
            Report(diagnostics, *tables.items, kind.line,
                   KindName(kind) + ": the description window would need " + std::to_string(total) +
                       " lines; it has 9");
    }
}

// Line N of the weight table belongs to item kind N: a weapon's line names it, with an attack weight
// that can hit and the sound of its family; every other line is empty.
void CheckWeaponWeights(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    const SSource* source = dataSet.Find(TableKind::WeaponWeights);
    if (tables.items == nullptr || source == nullptr) return;
    if (source->lines.size() != tables.items->lines.size())
        Report(diagnostics, *source, std::int32_t(source->lines.size()),
               "the table has " + std::to_string(source->lines.size()) + " lines; the item table " +
                   std::to_string(tables.items->lines.size()));
    std::map<std::int32_t, SWeightLine> weights;
    for (const SWeightLine& weight : ReadWeaponWeightTable(*source))
        weights.emplace(weight.line, weight);
    for (const SItemLine& kind : tables.itemTable.kinds) {
        if (kind.classId != kItemClassWeapon) continue;
        const auto weight = weights.find(kind.line);
        if (weight == weights.end()) {
            Report(diagnostics, *source, kind.line,
                   "line " + std::to_string(kind.line) + " must give the weight of " + kind.name);
            continue;
        }
        if (weight->second.name != kind.name)
            Report(diagnostics, *source, kind.line,
                   "the line names " + weight->second.name + "; item kind " + std::to_string(kind.line) +
                       " is " + kind.name);
        if (weight->second.attackWeight < 0 || weight->second.attackWeight >= kHitlessWeight)
            Report(diagnostics, *source, kind.line, "an attack weight runs from 0 to 57 (58 never hits)");
        if (std::find(std::begin(kSwingSounds), std::end(kSwingSounds), weight->second.swingSound) ==
            std::end(kSwingSounds))
            Report(diagnostics, *source, kind.line,
                   "the swing sound " + std::to_string(weight->second.swingSound) +
                       " is none of the weapon families' 201 to 206 and 208 to 211");
        weights.erase(weight);
    }
    for (const auto& [line, weight] : weights)
        Report(diagnostics, *source, line, "line " + std::to_string(line) + " is no weapon's: leave it //");
}

// The gift of the growing weapon and shield needs every weapon and shield kind seen, so each must be
// found somewhere: in an appearance table, or given, sold, won or made by the rules.
void CheckReachableEquipment(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const STables tables = ReadTables(dataSet);
    if (tables.items == nullptr) return;
    std::set<std::string> listed;
    for (const SSource& source : dataSet.sources)
        if (source.kind == TableKind::ItemAppearance)
            for (const SAppearanceLine& line : ReadAppearanceTable(source))
                if (line.anyList) listed.insert(line.name);
    for (const SItemLine& kind : tables.itemTable.kinds) {
        if (!IsEquipment(kind.classId) || listed.contains(kind.name)) continue;
        const SFixedKind* fixed = FixedItem(kind.line);
        if (fixed == nullptr || !fixed->obtainedByRule)
            Report(diagnostics, *tables.items, kind.line,
                   KindName(kind) + " is in no appearance table and nothing gives it");
    }
}

} // namespace data_pipeline
