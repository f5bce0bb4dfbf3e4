#pragma once
// The validator of the data build: the rules the game's loaders and rules depend on, each a function
// over the whole data set that reports every breach by file and line.
//
// To add a rule, write a function of the Rule type in validator.cpp and add it to kRules there; to make
// the validator know another kind the game's rules name by its number, add a row to kFixedKinds.

#include "tools/data/data_pipeline.h"

#include <cstdint>
#include <span>

namespace data_pipeline {

enum class KindTable
{
    Items,
    Monsters,
};

// Kinds first..last of a table that the game's rules name by their id: each must be a real record
// (for items on its own line, in the class given; for monsters with a name).
struct SFixedKind
{
    KindTable table;
    std::int32_t first;
    std::int32_t last;
    std::int32_t itemClass; // items: the class of its section; monsters: -1
    const char* role;
};
std::span<const SFixedKind> FixedKinds();

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
