// The start-up load of the data tables: the controls' tables, the experience table, the scenario and
// the item appearance table that items made outside the dungeons draw from.

#include "game/app/game_resource.h"
#include "game/data/error_box.h"
#include "game/data/experience_schema.h"
#include "game/data/item_schema.h"
#include "game/data/monster_schema.h"
#include "game/data/scenario_schema.h"
#include "game/data/seal_schema.h"
#include "game/data/table_reader.h"
#include "game/data/weapon_weight_schema.h"
#include "game/world/appearance_tables.h"
#include "sdk/ztl/sjis.h"

namespace {

constexpr char kLoadFailed[] = "データが読み込めませんでした。\n再インストールしてください。";
// The appearance table that start-up loads; its first list must not be empty.
constexpr std::int32_t kStartItemTable = 7;

// The header, then one whole-line number per level from line 2 to line 100; lines after them are not
// read. Levels past the last line keep their values. False when the table did not load.
bool LoadExperienceTable(std::array<std::int32_t, experience_schema::kLevels>& table)
{
    CTableFile file;
    bool loaded = file.Read(TablePath(experience_schema::kFileName)) == 0;
    std::int32_t check = 0;
    if (file.ReadHeader(check) != 0) loaded = false;
    std::int64_t sum = 0;
    std::string_view text;
    for (std::int32_t& entry : table) {
        const int result = file.NextLine(text);
        if (result == CTableFile::kEnd) break;
        if (result == CTableFile::kTooLong || !table_text::ConvertNumber(text, entry)) return false;
        sum += entry;
    }
    return loaded && sum == check;
}

// Every line but empty and "//" lines, a line that starts with a double-byte character closed with
// "」"; each "end" line closes a script. False when the file could not be read.
bool LoadScenario(std::vector<ZTL::string>& lines, std::vector<std::int32_t>& starts)
{
    lines.clear();
    starts.assign(1, 0);
    Auxiliary::CFile file;
    const bool loaded = file.Read(TablePath(scenario_schema::kFileName)) == 0;
    ZTL::string line;
    while (file.ReadLineString(line) == 0) {
        const std::string_view text(line.c_str(), line.size());
        if (scenario_schema::IsSkipped(text)) continue;
        const bool closesScript = text == scenario_schema::kEndLine;
        if (ZTL::IsSjisLeadByte(static_cast<unsigned char>(text[0]))) line += "」";
        lines.push_back(line);
        if (closesScript) starts.push_back(std::int32_t(lines.size()));
    }
    if (lines.empty()) {
        lines.push_back(ToTableString(scenario_schema::kEndLine));
        starts.push_back(0);
    }
    return loaded;
}

} // namespace

std::vector<SItemKind> SGameResource::CopyRecordTable() const
{
    return items.kinds;
}

std::int32_t SGameResource::LoadDataTables()
{
    bool failed = items.LoadSealTable(TablePath(seal_schema::kFileName)) != kTableLoaded;
    failed = items.LoadItemTable(TablePath(item_schema::kFileName)) != kTableLoaded || failed;
    failed =
        items.LoadWeaponWeightTable(TablePath(weapon_weight_schema::kFileName)) != kTableLoaded || failed;
    failed =
        characters.LoadMonsterTable(TablePath(monster_schema::kFileName), items.kindByName) != kTableLoaded ||
        failed;
    failed = !LoadExperienceTable(experienceTable) || failed;
    failed = !LoadScenario(scenarioLines, scriptStarts) || failed;
    LoadItemAppearance(map, kStartItemTable, CopyRecordTable(), items.kindByName);
    if (!failed && !map.itemAppearance[0].kinds.empty()) return 0;
    ShowErrorBox(kLoadFailed);
    return 1;
}
