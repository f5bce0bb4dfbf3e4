#include "game/app/ranking_table.h"

#include "game/data/check_value.h"
#include "sdk/auxiliary/serialize.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace {

constexpr std::size_t kSumBytes = 2;

// Whether x takes a place before y.
bool ComesBefore(const SRankingData& x, const SRankingData& y)
{
    if (x.goldLow != y.goldLow) return x.goldLow > y.goldLow;
    if (x.gold != y.gold) return x.gold > y.gold;
    if (x.runNumber != y.runNumber) return x.runNumber > y.runNumber;
    return x.recordNumber < y.recordNumber;
}

// Whether two records are of the one run: the same save, run, dungeon, kind of run, seed and password
// value. A resume that runs again to the end the ranking already holds gives such a record.
bool SameRun(const SRankingData& x, const SRankingData& y)
{
    return x.recordNumber == y.recordNumber && x.name == y.name && x.runNumber == y.runNumber &&
           x.category == y.category && x.trainingRun == y.trainingRun && x.seed == y.seed &&
           x.passwordValue == y.passwordValue;
}

bool IsCategory(std::int32_t category)
{
    return category >= 0 && category < CRankingTable::kCategories;
}

} // namespace

CRankingTable::CRankingTable()
{
    for (SCategory& category : m_categories)
        category.places.fill(-1);
    Load();
}

std::int32_t CRankingTable::Count(std::int32_t category) const
{
    return IsCategory(category) ? m_categories[std::size_t(category)].count : 0;
}

const SRankingData& CRankingTable::Get(std::int32_t category, std::int32_t place) const
{
    static const SRankingData empty;
    if (!IsCategory(category) || place < 0 || place >= kPlaces) return empty;
    const SCategory& entry = m_categories[std::size_t(category)];
    const std::int32_t slot = entry.places[std::size_t(place)];
    return slot < 0 ? empty : entry.records[std::size_t(slot)];
}

void CRankingTable::Sort(std::int32_t category)
{
    if (!IsCategory(category)) return;
    SCategory& entry = m_categories[std::size_t(category)];
    // Live records to the front slots in their order, so that the slots below the count are exactly the
    // live ones: an insert goes to a free slot and a save writes every live record. An empty slot (a
    // damaged file may store one among live records) is dropped.
    const auto live =
        std::stable_partition(entry.records.begin(), entry.records.end(),
                              [](const SRankingData& record) { return record.recordNumber != -1; });
    std::fill(live, entry.records.end(), SRankingData());
    // Each record goes before the first one it comes before, so ties keep their slot order.
    std::vector<std::int32_t> order;
    for (std::int32_t slot = 0; slot < kPlaces; ++slot) {
        const SRankingData& record = entry.records[std::size_t(slot)];
        if (record.recordNumber == -1) continue;
        const auto at =
            std::upper_bound(order.begin(), order.end(), slot, [&](std::int32_t a, std::int32_t b) {
                return ComesBefore(entry.records[std::size_t(a)], entry.records[std::size_t(b)]);
            });
        order.insert(at, slot);
    }
    entry.places.fill(-1);
    std::copy(order.begin(), order.end(), entry.places.begin());
    entry.count = std::int32_t(order.size());
}

std::int32_t CRankingTable::Insert(const SRankingData& record, bool* saved)
{
    if (saved != nullptr) *saved = true;
    const std::int32_t category = record.category;
    if (category < 1 || category >= kCategories) return 0;
    SCategory& entry = m_categories[std::size_t(category)];
    const auto begin = entry.records.begin(), end = begin + entry.count;
    if (const auto same =
            std::find_if(begin, end, [&](const SRankingData& held) { return SameRun(held, record); });
        same != end) {
        *same = record;
    } else if (entry.count < kPlaces) {
        entry.records[std::size_t(entry.count)] = record;
        ++entry.count;
    } else {
        SRankingData& last = entry.records[std::size_t(entry.places[kPlaces - 1])];
        if (ComesBefore(last, record)) return -1;
        last = record;
    }
    Sort(category);
    const bool written = Save() == 0;
    if (saved != nullptr) *saved = written;

    for (std::int32_t place = 0; place < entry.count; ++place) {
        const SRankingData& held = entry.records[std::size_t(entry.places[std::size_t(place)])];
        if (held.goldLow == record.goldLow && held.gold == record.gold && held.runNumber == record.runNumber)
            return place;
    }
    return entry.count;
}

int CRankingTable::Save()
{
    Auxiliary::CSerialize stream;
    std::int32_t format = 0;
    stream.Serialize(format);
    for (SCategory& entry : m_categories)
        stream.Serialize(entry.count);
    for (SCategory& entry : m_categories)
        for (std::int32_t slot = 0; slot < entry.count; ++slot)
            stream.Serialize(entry.records[std::size_t(slot)]);
    AppendByteSum(stream.GetBuffer());
    return stream.SaveToFile(kRankingFileName) == 0 ? 0 : 1;
}

int CRankingTable::Load()
{
    Auxiliary::CSerialize stream;
    if (stream.LoadFromFile(kRankingFileName) != 0) return kRankingUnreadable;
    return Load(std::move(stream.GetBuffer()));
}

int CRankingTable::Load(std::vector<std::uint8_t> bytes)
{
    if (!VerifyByteSum(bytes)) return kRankingBadSum;
    bytes.resize(bytes.size() - kSumBytes); // so that no record reads the sum as its own
    Auxiliary::CSerialize stream;
    stream.GetBuffer().swap(bytes);
    stream.SetStoring(false);
    std::int32_t format = -1;
    stream.Serialize(format);
    if (stream.HasLoadFailed() || format != 0) return kRankingBadFormat;
    std::array<std::int32_t, kCategories> counts{};
    for (std::int32_t& count : counts) {
        stream.Serialize(count);
        // More than a category holds would write past its slots.
        if (stream.HasLoadFailed() || count < 0 || count > kPlaces) return kRankingBadFormat;
    }
    // Read apart and taken only whole, so that a file cut short leaves the table as it was.
    auto loaded = std::make_unique<std::array<std::array<SRankingData, kPlaces>, kCategories>>();
    for (std::size_t category = 0; category < std::size_t(kCategories); ++category)
        for (std::int32_t slot = 0; slot < counts[category]; ++slot)
            stream.Serialize((*loaded)[category][std::size_t(slot)]);
    if (stream.HasLoadFailed()) return kRankingBadFormat;

    for (std::size_t category = 0; category < std::size_t(kCategories); ++category) {
        std::move((*loaded)[category].begin(), (*loaded)[category].end(),
                  m_categories[category].records.begin());
        Sort(std::int32_t(category));
    }
    return kRankingLoaded;
}

void MakeRankingRecord(SGameResource& game, SRankingData& record)
{
    const CCharacterControl::SPlayer& heroine = game.characters.player;
    record.recordNumber = game.userNumber;
    record.name = game.saveName;
    record.runNumber = game.runNumber;
    record.category = std::uint8_t(game.dungeon);
    record.level = std::uint8_t(heroine.level);
    record.floor = std::uint16_t(game.floor);
    record.trainingRun = game.trainingRun;
    record.endCause = game.deathCause;
    record.killerKind = game.killerKind;
    record.killerLevel = game.killerLevel;
    record.StoreGold(game.goldCounter); // after the training flag, which halves it
    record.gold = std::int32_t(game.gold);
    if (game.equippedWeapon != CItemControl::kNone)
        record.firstItem = game.items.GetItem(std::uint32_t(game.equippedWeapon));
    if (game.equippedShield != CItemControl::kNone)
        record.secondItem = game.items.GetItem(std::uint32_t(game.equippedShield));
    record.experience = heroine.experience;
    record.maxHp = std::uint16_t(heroine.maxHp);
    record.strength = std::uint16_t(heroine.strength);
    record.maxStrength = std::uint16_t(heroine.maxStrength);
    record.maxFullness = std::uint16_t(heroine.maxFullness / 1000);
    record.broughtItems = game.startedWithItems;
    record.seed = game.seed;
    record.passwordValue = game.passwordValue;
}
