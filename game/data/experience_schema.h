#pragma once
// The experience table ("exp.txt"): after the header, one whole-line number per level, the experience
// that reaches it, from level 1 on line 2; the check number sums them. Lines after the last level are
// not read. Standard headers only: the data build reads it too.

#include <cstdint>
#include <string_view>

namespace experience_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "exp.txt";

constexpr std::int32_t kLevels = 99;
constexpr std::int32_t kFirstLevelLine = 2;

} // namespace experience_schema
