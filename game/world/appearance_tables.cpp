#include "game/world/appearance_tables.h"

#include "game/data/appearance_schema.h"
#include "game/data/error_box.h"
#include "game/data/table_reader.h"
#include "sdk/appframe/app_manager.h"

#include <array>
#include <cstdint>
#include <cstdio>

namespace {

// The monster list is a pick table; a table asking for more entries than this is broken, not big.
constexpr std::size_t kMaxMonsterListEntries = 1u << 16;

constexpr char kMonsterHeaderError[] =
    "モンスターデータが読み込めませんでした。\n再インストールしてください。";
constexpr char kMonsterDataError[] = "モンスターデータが読み込めませんでした。\n再インストールして下さい。";
constexpr char kItemHeaderError[] = "アイテムデータが読み込めませんでした。\n再インストールしてください。";
constexpr char kItemDataError[] = "アイテムデータが読み込めませんでした。\n再インストールして下さい。";

void ReportAndClose(const char* text)
{
    ShowErrorBox(text);
    if (auto* app = zelvoranGameSDK3rd::AppFrame::CAppManager::GetInstance()->FindAppOfCurrentThread())
        app->Close();
}

// The file of a dungeon's table of the family.
ZTL::string TableName(std::string_view family, std::int32_t number)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%d", number);
    return TablePath(family) + ZTL::string(digits) + ToTableString(appearance_schema::kExtension);
}

// The kind id a table line names, or -1 when the line is skipped: one that names none, or a name the
// map does not know.
std::int32_t NamedKind(CTableLine& line, const std::map<ZTL::string, std::int32_t>& names)
{
    const std::string_view name = appearance_schema::ReadName(line);
    if (name.empty()) return -1;
    const auto found = names.find(ToTableString(name));
    return found != names.end() ? found->second : -1;
}

} // namespace

std::int32_t FoldAppearanceFloor(std::int32_t dungeon, std::int32_t floor)
{
    if (dungeon == 6) {
        floor %= 50;
        return floor == 0 ? 50 : floor;
    }
    floor %= 100;
    return floor == 0 ? 1 : floor;
}

void LoadMonsterAppearance(CMapControl& map, std::int32_t dungeon, std::int32_t floor,
                           const std::map<ZTL::string, std::int32_t>& monsterNames)
{
    map.monsterAppearance.clear();
    CTableFile file;
    if (file.Read(TableName(appearance_schema::kMonsterFamily, dungeon)) != 0) return;
    ReadMonsterAppearance(map, file, FoldAppearanceFloor(dungeon, floor), monsterNames);
}

void ReadMonsterAppearance(CMapControl& map, CTableFile& file, std::int32_t floor,
                           const std::map<ZTL::string, std::int32_t>& monsterNames)
{
    map.monsterAppearance.clear();
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return ReportAndClose(kMonsterHeaderError);

    std::int64_t sum = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return ReportAndClose(kMonsterDataError);
        CTableLine line(text);
        const std::int32_t kind = NamedKind(line, monsterNames);
        if (kind < 0) continue;
        while (!line.AtEnd()) {
            const auto [weight, first, lastFloor] = appearance_schema::ReadMonsterGroup(line);
            std::int32_t last = lastFloor;
            if (line.IsOutOfRange()) return ReportAndClose(kMonsterDataError);
            sum += weight;
            if (first == 0) break;
            if (last == 0) last = 0xFFFF;
            if (first <= floor && floor <= last) {
                if (weight > 0) {
                    if (map.monsterAppearance.size() + std::size_t(weight) > kMaxMonsterListEntries)
                        return ReportAndClose(kMonsterDataError);
                    map.monsterAppearance.insert(map.monsterAppearance.end(), std::size_t(weight), kind);
                }
                break;
            }
        }
    }
    if (sum != check) ReportAndClose(kMonsterDataError);
}

void LoadItemAppearance(CMapControl& map, std::int32_t tableNumber, const std::vector<SItemKind>& kinds,
                        const std::map<ZTL::string, std::int32_t>& itemNames)
{
    if (tableNumber == map.itemTableNumber) return;
    map.itemTableNumber = tableNumber;
    for (CMapControl::SItemAppearance& list : map.itemAppearance)
        list = CMapControl::SItemAppearance();
    CTableFile file;
    if (file.Read(TableName(appearance_schema::kItemFamily, tableNumber)) != 0) return;
    ReadItemAppearance(map, file, kinds, itemNames);
}

void ReadItemAppearance(CMapControl& map, CTableFile& file, const std::vector<SItemKind>& kinds,
                        const std::map<ZTL::string, std::int32_t>& itemNames)
{
    for (CMapControl::SItemAppearance& list : map.itemAppearance)
        list = CMapControl::SItemAppearance();
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) return ReportAndClose(kItemHeaderError);

    // The totals are 32-bit; weights that add up past them make a broken table.
    std::array<std::int64_t, 4> totals{};
    auto append = [&](std::size_t list, std::int32_t kind, std::int32_t weight) {
        map.itemAppearance[list].kinds.push_back(kind);
        map.itemAppearance[list].weights.push_back(weight);
        totals[list] += weight;
        map.itemAppearance[list].total = std::int32_t(totals[list]);
        return totals[list] >= INT32_MIN && totals[list] <= INT32_MAX;
    };
    std::int32_t counted = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) != CTableFile::kEnd;) {
        if (result == CTableFile::kTooLong) return ReportAndClose(kItemDataError);
        CTableLine line(text);
        const std::int32_t kind = NamedKind(line, itemNames);
        if (kind < 0) continue;
        const appearance_schema::SItemLists lists = appearance_schema::ReadItemLists(line);
        if (line.IsOutOfRange()) return ReportAndClose(kItemDataError);
        const std::int32_t weight = std::size_t(kind) < kinds.size() ? kinds[std::size_t(kind)].param4 : 0;
        bool fits = true;
        if (lists.floors) {
            fits = append(0, kind, weight) && fits;
            ++counted;
        }
        if (lists.generation) fits = append(1, kind, weight) && fits;
        if (lists.chests) fits = append(2, kind, weight) && fits;
        if (lists.floors || lists.generation) fits = append(3, kind, weight) && fits;
        if (!fits) return ReportAndClose(kItemDataError);
    }
    if (counted != check) ReportAndClose(kItemDataError);
}
