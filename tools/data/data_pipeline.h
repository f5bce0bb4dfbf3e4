#pragma once
// The build of the game's data set: the UTF-8 sources with LF line ends under a source folder become
// the CP932 tables with CR LF line ends that the game reads, each numbered table with the check number
// its loader compares, after the validator has passed them. Every problem is named by file and line.
//
//   <source>/text/*.txt   -> <output>/data/text/*.txt
//   <source>/manual.html  -> <output>/manual.html (as it is: the page declares its own encoding)
//
// A numbered table's first line is the marker alone; the build writes "QRZN <sum>" in its place. In
// the item table's descriptions the two characters "\n" become an LF byte, which the game keeps inside
// the line.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace data_pipeline {

// A problem found in a source: its file as the messages name it, its line (0 for the whole file).
struct SDiagnostic
{
    std::string file;
    std::int32_t line = 0;
    std::string message;
};
// "file:line: message".
std::string FormatDiagnostic(const SDiagnostic& diagnostic);
using Diagnostics = std::vector<SDiagnostic>;

// What a text source is to the game, by its file name.
enum class TableKind
{
    Seals,             // 能力.txt
    Items,             // アイテム.txt
    WeaponWeights,     // 武器の重さ.txt
    Monsters,          // モンスター.txt
    MonsterAppearance, // モンスター出現N.txt
    ItemAppearance,    // アイテム出現N.txt
    Experience,        // exp.txt
    Scenario,          // シナリオ.txt: no header, read whole lines
    Other,             // converted only
};
TableKind KindOfTable(const std::string& fileName);
// Whether the game reads the table through its line reader, header first.
bool HasHeader(TableKind kind);

// One line of a source: the UTF-8 text (with the item descriptions' "\n" already an LF byte) and, when
// it converted, its CP932 bytes.
struct SSourceLine
{
    std::string text;
    std::string cp932;
};

struct SSource
{
    std::string path; // as messages name it
    std::string name; // the file name
    TableKind kind = TableKind::Other;
    std::vector<SSourceLine> lines;
    bool endsWithLineEnd = false;
};

// The text sources of a data set, in file-name order.
struct SDataSet
{
    std::vector<SSource> sources;
    // The first source of that kind; null when there is none.
    const SSource* Find(TableKind kind) const;
};

// Splits a UTF-8 source into lines and converts each to CP932; a CR, a byte sequence that is not
// UTF-8 or a character CP932 cannot hold is a diagnostic naming the line.
SSource ReadSource(const std::string& path, const std::string& name, const std::string& content,
                   Diagnostics& diagnostics);

// The check number the game's loader compares for a numbered table of the data set.
std::int64_t ComputeCheckSum(const SDataSet& dataSet, const SSource& source);

// The built bytes of a table: the header with its sum, CR LF line ends.
std::string BuildTable(const SDataSet& dataSet, const SSource& source);

// Reads every source of the folder, validates and builds them: the built files by their path under the
// output folder, or the diagnostics (and no files) when a source is broken.
struct SBuildResult
{
    std::map<std::filesystem::path, std::string> files;
    Diagnostics diagnostics;
};
SBuildResult BuildDataSet(const std::filesystem::path& sourceFolder);
// Reads the sources of a folder as BuildDataSet does; messages name them under that folder.
SDataSet ReadDataSet(const std::filesystem::path& sourceFolder, Diagnostics& diagnostics);

} // namespace data_pipeline
