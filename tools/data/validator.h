#pragma once
// The validator of the data build: the rules the game's loaders and rules depend on, each a function
// over the whole data set that reports every breach by file and line.
//
// To add a rule, write a function of the Rule type and add it to kRules in validator.cpp; to make the
// validator know another kind the game's rules name by its number, name it in game/data/fixed_kinds.h
// and add a row to kFixedKinds there.

#include "tools/data/data_pipeline.h"

#include <cstdint>
#include <span>

namespace data_pipeline {

enum class KindTable
{
    Items,
    Monsters,
};

constexpr std::int32_t kAnySeal = -2; // the rules leave the built-in seal free
constexpr std::int32_t kNoSeal = -1;  // the kind must carry no seal

// Kinds first..last of a table that the game's rules name by their id: each must be a real record
// (for items on its own line, in the class given; for monsters with a name), and hold what else the
// row fixes. A field left at its default fixes nothing.
struct SFixedKind
{
    KindTable table;
    std::int32_t first;
    std::int32_t last;
    std::int32_t itemClass; // items: the class of its section; monsters: -1
    const char* role;
    const char* name = nullptr;             // the exact name
    const char* nameHolds = nullptr;        // a word the name must hold
    const char* descriptionHolds = nullptr; // a word the description must hold
    std::int32_t seal = kAnySeal;           // the built-in seal: its code, or kNoSeal
    std::int32_t minimumSlots = 0;          // weapons, shields: seal slots at creation
    std::int32_t minimumMaximum = 0;        // weapons, shields: the highest plus
    const char* range = nullptr;            // pens: the range name
    bool obtainedByRule = false;            // given, sold, won or made by the rules themselves
    const char* letter = nullptr;           // monsters: the letter of the sprite size
    bool noTypeBits = false;                // monsters: a type word that sets no bit
    bool special = false;                   // monsters: the kinds have their species' special

private:
    // Defined before the builders below use it, so that every compiler can evaluate them in constants.
    template <typename T> constexpr SFixedKind With(T SFixedKind::*field, T value) const
    {
        SFixedKind row = *this;
        row.*field = value;
        return row;
    }

public:
    // The row with one more fact fixed.
    constexpr SFixedKind Named(const char* text) const { return With(&SFixedKind::name, text); }
    constexpr SFixedKind NameHolds(const char* text) const { return With(&SFixedKind::nameHolds, text); }
    constexpr SFixedKind DescriptionHolds(const char* text) const
    {
        return With(&SFixedKind::descriptionHolds, text);
    }
    constexpr SFixedKind Seal(std::int32_t code) const { return With(&SFixedKind::seal, code); }
    constexpr SFixedKind Slots(std::int32_t slots) const { return With(&SFixedKind::minimumSlots, slots); }
    constexpr SFixedKind Plus(std::int32_t plus) const { return With(&SFixedKind::minimumMaximum, plus); }
    constexpr SFixedKind Range(const char* text) const { return With(&SFixedKind::range, text); }
    constexpr SFixedKind ByRule() const { return With(&SFixedKind::obtainedByRule, true); }
    constexpr SFixedKind Letter(const char* text) const { return With(&SFixedKind::letter, text); }
    constexpr SFixedKind NoTypeBits() const { return With(&SFixedKind::noTypeBits, true); }
    constexpr SFixedKind Special() const { return With(&SFixedKind::special, true); }
};
std::span<const SFixedKind> FixedKinds();

// The dungeons whose appearance tables the game reads, and the deepest floor each can reach (its last
// floor once cleared; floors past 100 read the table again from floor 1).
struct SDungeonFloors
{
    std::int32_t dungeon;
    std::int32_t deepestFloor; // 0: no monsters appear
};
std::span<const SDungeonFloors> DungeonFloors();

using Rule = void (*)(const SDataSet& dataSet, Diagnostics& diagnostics);
struct SRule
{
    const char* name;
    Rule check;
};
std::span<const SRule> Rules();

// Every rule over the data set.
Diagnostics Validate(const SDataSet& dataSet);

} // namespace data_pipeline
