#pragma once
// Save sets: one adventure on disk, three files in "save" named after the game state's userNumber and
// saveName.
//   ".main"  save-kind value (int), the adventure fields (SGameResource::Serialize), the characters,
//            the items, the identification state, the number of password-history entries (int) and
//            the entries front to back (two u32 each), the record of dungeon 8 (an open flag as a
//            bool and three ints; older saves end before it, and load with an empty record), then the
//            check value of all that (high byte first).
//   ".head"  the save-kind value and the adventure fields with their check value, so that the save
//            browser shows a save without loading its body.
//   ".cfg"   the options (the option file of game/data/config.h); loading a save points the options'
//            file name at it, and every SaveOptions rewrites it.

#include "game/app/game_resource.h"
#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <vector>

// Results of the save-set readers.
enum SaveResult : int
{
    kSaveDone = 0,
    kSaveUnreadable = 1, // the file is missing or cannot be read (or written)
    kSaveBadCheck = 2,   // the check value is wrong, or the content does not read whole
};

// Whether a save name can stand in a file name: one path component, so that every file named after it
// stays in its folder. Refused: "..", a separator (`\` or `/`, as a single byte: the second byte of a
// double-byte character is no separator), ":" (a drive letter or a stream name), control bytes, a
// double-byte character cut short and any byte pair that is no CP932 character. The empty name is a
// name.
bool IsSafeSaveName(const ZTL::string& name);

// "save\%04d%s.main" with userNumber and saveName ("save\0003.main" for user 3 without a name).
ZTL::string MakeSavePath(const SGameResource& game);
// The companions of MakeSavePath's file.
ZTL::string MakeSaveHeadPath(const SGameResource& game);
ZTL::string MakeSaveOptionsPath(const SGameResource& game);

// The bytes of a ".main" file for the game state, check value included; its check value is kept in
// checkValue. Floor snapshots store the same body.
std::vector<std::uint8_t> BuildSaveBody(SGameResource& game);
// Reads such bytes into the game state: the check value is verified and taken off (kSaveBadCheck when
// wrong) and the check value of the rest kept in checkValue; then the save-kind value, the adventure
// fields, the characters, the items, the identification state, the password pairs, which join the
// back of the history as they are, and dungeon 8's record. Nothing is reset first and the generator is not
// seeded. Content that does not read whole, or stores a save name IsSafeSaveName refuses, gives kSaveBadCheck
// and takes nothing of it: what a save set stores of the game state stays as it was (the monsters, which it
// does not store, are reset).
int ReadSaveBody(SGameResource& game, std::vector<std::uint8_t> bytes);

// The save set's bytes made from the game state; checkValue is the body's (the game state's own stays
// that of the set on the disk).
SSaveSet BuildSaveSet(SGameResource& game);
// Writes the set as WriteSaveGame does, with no box: 0, or 1. The game state's check value becomes the
// set's once the set is in place, and stays that of the set left on the disk when the write fails.
int WriteSaveSet(SGameResource& game, const SSaveSet& set);
// Writes the ".main" and ".head" files: 0, or 1 after the error box "セーブデータの保存に失敗しました。"
// (also for a save name IsSafeSaveName refuses, when nothing is written).
// Both are written in full before either replaces its old version (either failing leaves the old set as
// it was), the ".head" last; when the ".head" cannot be put in place after the ".main", the old ".main" is
// put back (a ".main" that replaced none is removed), so that no body stands without its head, and the
// write reports failure.
int WriteSaveGame(SGameResource& game);
// Writes the ".head" file alone: 0, or 1 (nothing written) for a save name IsSafeSaveName refuses.
int WriteSaveHead(SGameResource& game);
// Takes the user number and save name, then loads the save-kind value and the adventure fields of
// their ".head" file: a SaveResult (content that does not read whole, or stores a name IsSafeSaveName
// refuses, changes nothing beyond the two). A refused name is not taken: kSaveUnreadable.
int ReadSaveHead(SGameResource& game, std::int32_t userNumber, const ZTL::string& saveName);
// Loads the save set of the game state's userNumber and saveName: the adventure fields, characters and
// items are reset first (they stay so when the load fails), then the ".main" file is read (the file's
// userNumber and saveName are kept over those its body stores), the
// generator re-seeded from the loaded seed with the names reshuffled, and the ".cfg" file loaded (when
// it can be: a missing or damaged one keeps the options) and applied. A SaveResult.
int LoadSaveGame(SGameResource& game);

// The run's generator seeded with the stored seed (kept in it), and the unidentified names shuffled
// with it, so that they are those of the run.
void ReseedFromStoredSeed(SGameResource& game);
// Hands the options to the windows (option 2 a translucent surface, option 4 text with alpha), to the
// map (its display flag is set while option 3 is off) and to the message window (the default wait).
void ApplyOptions(SGameResource& game);
