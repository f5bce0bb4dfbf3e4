#pragma once
// The validator's rules, by the tables they read, and what they share (validator.cpp lists them in
// kRules).

#include "tools/data/table_model.h"
#include "tools/data/validator.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace data_pipeline {

void Report(Diagnostics& diagnostics, const SSource& source, std::int32_t line, std::string message);

// UTF-8 text as the game shows it in CP932.
std::size_t CharacterCount(std::string_view utf8);
// In half-width columns: ASCII and half-width katakana one, every other character two.
std::size_t DisplayWidth(std::string_view utf8);
// Every character a double-byte one in CP932 (neither ASCII nor half-width katakana).
bool IsDoubleByteOnly(std::string_view utf8);
// The first character a double-byte one: a line the scenario player shows as dialogue.
bool StartsDoubleByte(std::string_view utf8);
// Hiragana, katakana and the long-vowel mark only.
bool IsKanaOnly(std::string_view utf8);

// The seal whose name equals the text; null when none.
const SSealLine* FindSeal(const std::vector<SSealLine>& seals, std::string_view name);

// Items, seals and weapon weights (validator_items.cpp).
void CheckSections(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckClassBlocks(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckItemWords(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckBuiltInSeals(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckClassNumbers(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckClassNames(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckSealTable(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckDescriptionWindow(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckWeaponWeights(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckReachableEquipment(const SDataSet& dataSet, Diagnostics& diagnostics);

// Monsters, appearance tables and the experience table (validator_world.cpp).
void CheckMonsterWords(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckMonsterRanks(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckMonsterDrops(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckMonsterHouses(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckAppearanceFiles(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckDungeonFloors(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckExperienceTable(const SDataSet& dataSet, Diagnostics& diagnostics);

// The scenario (validator_scenario.cpp).
void CheckScenarioScripts(const SDataSet& dataSet, Diagnostics& diagnostics);
void CheckScenarioLines(const SDataSet& dataSet, Diagnostics& diagnostics);

} // namespace data_pipeline
