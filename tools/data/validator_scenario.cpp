// The validator's rules over the scenario: 52 scripts, each in the role the game plays it in, and
// every line one the scenario player shows or carries out.

#include "tools/data/validator_rules.h"

#include <algorithm>
#include <array>
#include <set>

namespace data_pipeline {

namespace {

constexpr std::size_t kScripts = 52;
// The camp's window shows three lines of about 16 characters.
constexpr std::size_t kLongestLine = 46;
constexpr char kClosingBracket[] = "」"; // the loader closes every line that starts with a lead byte
constexpr char kOpeningBracket[] = "「";

const std::set<std::string> kPortraits = {
    "null",       "霞野通常",         "霞野笑顔",           "霞野驚き", "霞野あきれ", "霞野苦笑",
    "霞野笑顔２", "霞野釘バット通常", "霞野釘バットあきれ", "宗真",     "榎戸",       "ルゥナ"};
const std::set<std::string> kSpeakers = {"霞野", "ルゥナ", "宗真", "榎戸", "倉庫番"};
constexpr std::string_view kColourCodes = "1234567rgbyn";

using Speakers = std::array<const char*, 4>;
constexpr Speakers kAtTheCamp = {"霞野", "ルゥナ", "宗真", "榎戸"};
constexpr Speakers kKeeper = {"倉庫番"}; // in the warehouse, as the game's own lines name her
constexpr Speakers kCollector = {"宗真"};
constexpr Speakers kShopkeeper = {"榎戸"};
constexpr Speakers kHeroine = {"霞野"}; // on the last floor of a road she is alone

// What the game plays each script for, and what that asks of it.
struct SScriptRole
{
    std::size_t first;
    std::size_t last;
    const char* role;
    Speakers speakers;
    const char* required = nullptr; // a speaker the script must have
    bool raw = false;               // its lines go straight to the message window: no commands
    bool question = false;          // a yes/no window opens after it
};
constexpr SScriptRole kScriptRoles[] = {
    {0, 0, "never played", {}},
    {1, 1, "the opening, which a yes/no window follows", kAtTheCamp, nullptr, false, true},
    {2, 4, "the opening", kAtTheCamp},
    {5, 5, "the keeper's first talk", kKeeper, nullptr, true},
    {6, 6, "the first meeting with 宗真", kAtTheCamp, "宗真"},
    {7, 7, "the first meeting with 榎戸", kAtTheCamp, "榎戸"},
    {8, 18, "advice after a defeat", kAtTheCamp},
    {19, 28, "宗真's topics", kCollector},
    {29, 39, "榎戸's topics", kShopkeeper},
    {40, 46, "reaching the end of a road", kHeroine},
    {47, 50, "a road opens", kAtTheCamp},
    {51, 51, "the keeper's gift", kKeeper, nullptr, true},
};

bool IsCommand(std::string_view text)
{
    return !text.empty() && ((text[0] >= 'a' && text[0] <= 'z') || (text[0] >= 'A' && text[0] <= 'Z'));
}

bool IsNarration(std::string_view text)
{
    return text.starts_with('#');
}

// Dialogue is written 名前「text; the speaker, or empty when the line is not written so.
std::string Speaker(std::string_view text)
{
    const std::size_t bracket = text.find(kOpeningBracket);
    return bracket == std::string_view::npos ? std::string() : std::string(text.substr(0, bracket));
}

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        if (end > at) words.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

bool IsNumber(const std::string& word)
{
    return !word.empty() &&
           std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What is wrong with a command line; empty when nothing.
std::string CheckCommand(std::string_view text)
{
    const std::vector<std::string> words = Words(text);
    const std::string& command = words[0];
    if (command == "left" || command == "center" || command == "right") {
        if (words.size() != 2) return command + " takes one portrait";
        if (!kPortraits.contains(words[1]))
            return "the portrait " + words[1] + " is not one the scenario player knows";
        return {};
    }
    if (command == "update") return words.size() == 1 ? std::string() : "update takes nothing";
    if (command == "sound")
        return words.size() == 2 && IsNumber(words[1]) ? std::string() : "sound takes a number";
    if (command == "check")
        return words.size() == 2 && (words[1] == "1" || words[1] == "2") ? std::string()
                                                                         : "check takes 1 or 2";
    if (command == "end") return "an end line is end alone, or it ends the scene without closing the script";
    return command + " is no command: the line would be skipped";
}

// What is wrong with a line the player shows; empty when nothing.
std::string CheckShownLine(std::string_view text)
{
    if (IsNarration(text)) {
        if (text.size() < 2 || kColourCodes.find(text[1]) == std::string_view::npos)
            return "narration starts with # and a colour code (1 to 7, r, g, b, y or n)";
        return CharacterCount(text.substr(2)) > kLongestLine ? "the line is longer than 46 characters"
                                                             : std::string();
    }
    const std::string speaker = Speaker(text);
    if (!kSpeakers.contains(speaker))
        return speaker.empty() ? "dialogue is written 名前「text, narration #<colour>text"
                               : "the speaker " + speaker + " is none of the scenario's characters";
    if (text.ends_with(kClosingBracket)) return "the loader closes the bracket: leave it out";
    const std::string_view body = text.substr(speaker.size() + std::string_view(kOpeningBracket).size());
    return CharacterCount(body) > kLongestLine ? "the line is longer than 46 characters" : std::string();
}

bool IsShown(std::string_view text)
{
    return IsNarration(text) || StartsDoubleByte(text);
}

} // namespace

void CheckScenarioScripts(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Scenario);
    if (source == nullptr) return;
    const SScenario scenario = ReadScenario(*source);
    if (scenario.scripts.size() != kScripts)
        Report(diagnostics, *source, scenario.endLines.empty() ? 1 : scenario.endLines.back(),
               "the scenario has " + std::to_string(scenario.scripts.size()) +
                   " scripts; the game plays 0 to 51");
    for (const SScenarioLine& line : scenario.afterLastEnd)
        Report(diagnostics, *source, line.line, "a line after the last end belongs to no script");
    for (const SScriptRole& role : kScriptRoles) {
        for (std::size_t number = role.first; number <= role.last && number < scenario.scripts.size();
             ++number) {
            const std::vector<SScenarioLine>& script = scenario.scripts[number];
            const std::string what = "script " + std::to_string(number) + " (" + role.role + ")";
            const std::int32_t endLine = scenario.endLines[number];
            bool hasRequired = role.required == nullptr;
            for (const SScenarioLine& line : script) {
                if (IsCommand(line.text)) {
                    if (role.raw)
                        Report(diagnostics, *source, line.line,
                               what + " goes straight to the message window: no commands");
                    continue;
                }
                if (IsNarration(line.text)) continue;
                const std::string speaker = Speaker(line.text);
                if (role.required != nullptr && speaker == role.required) hasRequired = true;
                if (kSpeakers.contains(speaker) &&
                    std::none_of(role.speakers.begin(), role.speakers.end(),
                                 [&](const char* s) { return s != nullptr && speaker == s; }))
                    Report(diagnostics, *source, line.line, speaker + " does not speak in " + what);
            }
            if (role.first == 0 && role.last == 0 && !script.empty())
                Report(diagnostics, *source, script[0].line, what + " is a bare end");
            if (!hasRequired)
                Report(diagnostics, *source, endLine, std::string(role.required) + " must speak in " + what);
            if (role.question && (script.empty() || !script.back().text.ends_with("？")))
                Report(diagnostics, *source, script.empty() ? endLine : script.back().line,
                       what + " ends with the question the window answers");
        }
    }
}

void CheckScenarioLines(const SDataSet& dataSet, Diagnostics& diagnostics)
{
    const SSource* source = dataSet.Find(TableKind::Scenario);
    if (source == nullptr) return;
    const SScenario scenario = ReadScenario(*source);
    for (const std::vector<SScenarioLine>& script : scenario.scripts) {
        for (const SScenarioLine& line : script) {
            const std::string problem = IsCommand(line.text) ? CheckCommand(line.text)
                                        : IsShown(line.text)
                                            ? CheckShownLine(line.text)
                                            : "the line is neither dialogue, narration nor a command";
            if (!problem.empty()) Report(diagnostics, *source, line.line, problem);
        }
    }
}

} // namespace data_pipeline
