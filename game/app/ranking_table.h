#pragma once
// The ranking: the best finished runs of every dungeon, 100 records in each of 8 categories (the dungeon
// numbers; category 0 is kept and stored but never receives a run), each kept in slot order with an
// index of the slots in place order. The application object holds the one table from start-up to
// exit.
//
// Places: a record comes first when its gold (the low part of the stored counter, unsigned) is greater,
// then its gold field (signed), then its run number; on all three equal the smaller record number comes
// first, and records equal on all four keep their slot order.
//
// "save\ranking.sav" holds the format value 0 (int), the eight record counts (int, category 0 first),
// each category's records in slot order, and the 16-bit sum of those bytes, high byte first.

#include "game/app/game_resource.h"
#include "game/app/ranking_data.h"
#include "gamebase/sdk_names.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr const char* kRankingFileName = "save\\ranking.sav";

// Results of CRankingTable::Load.
enum RankingLoadResult : int
{
    kRankingLoaded = 0,
    kRankingUnreadable = 1,
    kRankingBadSum = 2,
    kRankingBadFormat = 3, // a format value other than 0, a count outside 0..100, or records cut short
};

class CRankingTable
{
public:
    static constexpr std::int32_t kCategories = 8;
    static constexpr std::int32_t kPlaces = 100;

    // Every slot empty, then the ranking file loaded (a missing or damaged one leaves the table empty).
    CRankingTable();

    // The records of the category; 0 outside 0..7.
    std::int32_t Count(std::int32_t category) const;
    // The record at a place (0..99) of the category; an empty record for a category outside 0..7, a
    // place outside 0..99 or a place nobody holds.
    const SRankingData& Get(std::int32_t category, std::int32_t place) const;
    // Rebuilds the category's places and count from its slots, moving its live records to the first
    // slots in their order and emptying the rest (a record numbered -1 is an empty slot).
    void Sort(std::int32_t category);
    // Takes a finished run's record into its category, saves the file and gives its place: the first
    // place holding a record equal to it in gold, gold field and run number (the count when none does).
    // A record of a run the category already holds (the same save, run number, dungeon, kind of run, seed
    // and password value) takes that record's slot, so that a run ended again after a resume keeps one
    // record. -1 when the category is full and the record does not reach its last place (nothing
    // changes); 0 for a category outside 1..7 (nothing is taken). `saved`, when given, tells whether the
    // file was written (true when nothing needed writing).
    std::int32_t Insert(const SRankingData& record, bool* saved = nullptr);
    // Writes the ranking file whole through a temporary file: 0, or 1 when it could not be written.
    int Save();
    // Reads the ranking file in place of the table: a RankingLoadResult. A file that fails changes
    // nothing.
    int Load();
    // The same from the file's bytes.
    int Load(std::vector<std::uint8_t> bytes);

private:
    struct SCategory
    {
        std::array<SRankingData, kPlaces> records;
        std::array<std::int32_t, kPlaces> places; // slot of each place, -1 past the count
        std::int32_t count = 0;
    };

    std::array<SCategory, kCategories> m_categories;
};

// Fills the run record from the game state at the end of a run: the user number, save name, run number,
// dungeon, the heroine's level, the floor, the training flag, how the run ended, the gold counter (by
// SRankingData::StoreGold) and the gold field, the equipped weapon and shield when there are any, the
// heroine's experience, maximum HP, strength and maximum strength and maximum fullness, whether she took
// items along, and the run's seed and password value.
void MakeRankingRecord(SGameResource& game, SRankingData& record);
