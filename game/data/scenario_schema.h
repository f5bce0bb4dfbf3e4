#pragma once
// The scenario ("シナリオ.txt"): whole lines without a header; empty lines and "//" lines are skipped,
// and each kEndLine closes a script. Standard headers only: the data build reads it too.

#include <string_view>

namespace scenario_schema {

// The file, in the data set's text folder.
constexpr std::string_view kFileName = "シナリオ.txt";

constexpr std::string_view kEndLine = "end";

constexpr bool IsSkipped(std::string_view line)
{
    return line.empty() || line.starts_with("//");
}

} // namespace scenario_schema
