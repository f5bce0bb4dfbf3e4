#pragma once
// The start and the end of an adventure: one descent into one dungeon.

#include <array>
#include <cstdint>

struct SGameResource;
class CRankingTable;

// Each dungeon's last floor before its first clear and once cleared, and its purse value: in a dungeon
// whose purse value is 0 the heroine's purse goes to the bank at the start.
inline constexpr std::array<std::int32_t, 9> kLastFloorUncleared = {99, 10, 30, 25, 25, 50, 50, 99, 121};
inline constexpr std::array<std::int32_t, 9> kLastFloorCleared = {99, 20, 99, 70, 70, 50, 50, 99, 143};
inline constexpr std::array<std::int32_t, 9> kDungeonPurse = {1000, 20, 10, 0, 0, 0, 7, 0, 99};
// The item every normal run into a dungeon brings along.
inline constexpr std::int32_t kStarterItemKind = 121;

// Turns the game state into the start of a run into the dungeon (1 for a number outside 0..8) with the
// seed S and the value T: heroine reset, generator seeded with S, identification reset and names
// shuffled, every carried item identified and valued, the starter item given, suspend data, the resume
// guard and save written, in that order; a write that fails leaves the later ones out, so that the
// camp's save stays the one on the disk.
void StartAdventure(SGameResource& game, std::int32_t dungeon, std::uint32_t seed, std::uint16_t value);
// Closes a run that ended by defeat or by giving up: the gold counter settled, the run's record ranked
// in the table, the end-of-run request set, the last floor's log added to the replay's work file (not
// beyond the last floor), then FinishAdventure and the save, and the action log deleted once that save is
// written. A write that fails ends the writing there, after the error box
// "セーブデータの保存に失敗しました。": the dungeon's save and the floor's log stay on the disk, so that a
// resume re-runs the floor to this end.
void EndAdventure(SGameResource& game, CRankingTable& ranking);
// The last step of every run's end: a fallen heroine loses her bag and banks a quarter of her purse;
// a run into a dungeon other than 0 raises runNumber; only carried items are kept, identified and
// catalogued; dungeon, floor and equipment cleared.
void FinishAdventure(SGameResource& game);
// FinishAdventure, then the save: WriteSaveGame's result.
int FinishAdventureAndSave(SGameResource& game);
