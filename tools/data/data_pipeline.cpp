#include "tools/data/data_pipeline.h"

#include "game/data/appearance_schema.h"
#include "game/data/experience_schema.h"
#include "game/data/item_schema.h"
#include "game/data/monster_schema.h"
#include "game/data/scenario_schema.h"
#include "game/data/seal_schema.h"
#include "game/data/table_line.h"
#include "game/data/weapon_weight_schema.h"
#include "tools/data/table_model.h"
#include "tools/data/validator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <memory>

namespace data_pipeline {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The code point of the UTF-8 sequence at text[at] and its length; 0 bytes for a sequence that is not
// UTF-8.
std::pair<std::uint32_t, std::size_t> DecodeUtf8(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
    const std::uint8_t lead = byte(at);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || at + length > text.size()) return {0, 0};
    std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return {0, 0};
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return {code, length};
}

std::string CodePointName(std::uint32_t code)
{
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", unsigned(code));
    return name;
}

class CCp932Converter
{
public:
    CCp932Converter() : m_handle(iconv_open("CP932", "UTF-8")) {}
    ~CCp932Converter()
    {
        if (m_handle != reinterpret_cast<iconv_t>(-1)) iconv_close(m_handle);
    }
    CCp932Converter(const CCp932Converter&) = delete;
    CCp932Converter& operator=(const CCp932Converter&) = delete;

    // The CP932 bytes of a UTF-8 line; otherwise false and the byte offset where conversion stopped.
    bool Convert(std::string_view utf8, std::string& cp932, std::size_t& failedAt)
    {
        cp932.clear();
        failedAt = 0;
        if (m_handle == reinterpret_cast<iconv_t>(-1)) return false;
        std::string out(utf8.size() + 4, '\0'); // CP932 never takes more bytes than UTF-8
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char* outAt = out.data();
        std::size_t outLeft = out.size();
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        if (iconv(m_handle, &in, &inLeft, &outAt, &outLeft) == std::size_t(-1)) {
            failedAt = utf8.size() - inLeft;
            return false;
        }
        cp932.assign(out.data(), std::size_t(outAt - out.data()));
        return true;
    }

private:
    iconv_t m_handle;
};

// In the item table the description column's "\n" stand for an LF byte.
void ExpandDescriptionBreaks(std::string& text)
{
    table_text::CTableLine line(text);
    if (line.IsComment() || line.IsSection() || line.Number() == 0 || line.Word().empty()) return;
    for (int column = 3; column <= 10; ++column)
        column == 6 ? void(line.Word()) : void(line.Number());
    const std::string_view description = line.AtQuote() ? line.Token() : line.TextToTab();
    const std::size_t begin = std::size_t(description.data() - text.data());
    std::string expanded = text.substr(0, begin);
    const std::string_view body = description;
    for (std::size_t i = 0; i < body.size(); ++i) {
        if (body[i] == '\\' && i + 1 < body.size() && body[i + 1] == 'n') {
            expanded += '\n';
            ++i;
        } else {
            expanded += body[i];
        }
    }
    expanded += text.substr(begin + body.size());
    text = std::move(expanded);
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

template <typename Lines> std::int64_t SumOf(const Lines& lines)
{
    std::int64_t sum = 0;
    for (const auto& line : lines)
        sum += line.summed;
    return sum;
}

} // namespace

std::string FormatDiagnostic(const SDiagnostic& diagnostic)
{
    // Appended piece by piece: a chain of + on temporaries draws a false overlap warning when optimised.
    std::string text = diagnostic.file;
    if (diagnostic.line > 0) text.append(":").append(std::to_string(diagnostic.line));
    return text.append(": ").append(diagnostic.message);
}

TableKind KindOfTable(const std::string& fileName)
{
    const auto numbered = [&](std::string_view family) {
        const std::string_view extension = appearance_schema::kExtension;
        if (!fileName.starts_with(family) || !fileName.ends_with(extension)) return false;
        const std::string_view number = std::string_view(fileName).substr(
            family.size(), fileName.size() - family.size() - extension.size());
        return !number.empty() &&
               std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
               (number.size() == 1 || number[0] != '0');
    };
    if (fileName == seal_schema::kFileName) return TableKind::Seals;
    if (fileName == item_schema::kFileName) return TableKind::Items;
    if (fileName == weapon_weight_schema::kFileName) return TableKind::WeaponWeights;
    if (fileName == monster_schema::kFileName) return TableKind::Monsters;
    if (fileName == experience_schema::kFileName) return TableKind::Experience;
    if (fileName == scenario_schema::kFileName) return TableKind::Scenario;
    if (numbered(appearance_schema::kMonsterFamily)) return TableKind::MonsterAppearance;
    if (numbered(appearance_schema::kItemFamily)) return TableKind::ItemAppearance;
    return TableKind::Other;
}

bool HasHeader(TableKind kind)
{
    return kind != TableKind::Scenario && kind != TableKind::Other;
}

const SSource* SDataSet::Find(TableKind kind) const
{
    const auto found = std::find_if(sources.begin(), sources.end(),
                                    [kind](const SSource& source) { return source.kind == kind; });
    return found != sources.end() ? &*found : nullptr;
}

SSource ReadSource(const std::string& path, const std::string& name, const std::string& content,
                   Diagnostics& diagnostics)
{
    SSource source{path, name, KindOfTable(name), {}, false};
    std::string_view rest = content;
    source.endsWithLineEnd = rest.ends_with('\n');
    if (source.endsWithLineEnd) rest.remove_suffix(1);
    CCp932Converter converter;
    for (std::int32_t number = 1; !content.empty(); ++number) {
        const std::size_t end = rest.find('\n');
        SSourceLine& line = source.lines.emplace_back();
        line.text = rest.substr(0, end);
        if (line.text.find('\r') != std::string::npos)
            diagnostics.push_back({path, number, "a CR: the sources end their lines with LF alone"});
        if (source.kind == TableKind::Items && number > 1) ExpandDescriptionBreaks(line.text);
        std::size_t failedAt = 0;
        if (!converter.Convert(line.text, line.cp932, failedAt)) {
            const auto [code, length] = DecodeUtf8(line.text, failedAt);
            const std::string column = std::to_string(failedAt + 1);
            diagnostics.push_back({path, number,
                                   length == 0 ? "byte " + column + " does not belong to a UTF-8 character"
                                               : "the character " + line.text.substr(failedAt, length) +
                                                     " (" + CodePointName(code) + ") at byte " + column +
                                                     " has no form in CP932"});
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return source;
}

std::int64_t ComputeCheckSum(const SDataSet& dataSet, const SSource& source)
{
    switch (source.kind) {
    case TableKind::Seals:
        return SumOf(ReadSealTable(source));
    case TableKind::Items:
        return SumOf(ReadItemTable(source).kinds);
    case TableKind::WeaponWeights:
        return SumOf(ReadWeaponWeightTable(source));
    case TableKind::Monsters:
        return SumOf(ReadMonsterTable(source).kinds);
    case TableKind::Experience:
        return SumOf(ReadExperienceTable(source));
    case TableKind::MonsterAppearance:
    case TableKind::ItemAppearance: {
        // The loaders skip the lines whose name their table does not know.
        const std::set<std::string> names =
            source.kind == TableKind::ItemAppearance ? ItemNames(dataSet) : MonsterNames(dataSet);
        std::int64_t sum = 0;
        for (const SAppearanceLine& line : ReadAppearanceTable(source))
            if (names.contains(line.name)) sum += line.summed;
        return sum;
    }
    default:
        return 0;
    }
}

std::string BuildTable(const SDataSet& dataSet, const SSource& source)
{
    std::string built;
    for (std::size_t i = 0; i < source.lines.size(); ++i) {
        if (i > 0) built += kLineEnd;
        if (i == 0 && HasHeader(source.kind))
            built += std::string(table_text::kHeaderMarker) + " " +
                     std::to_string(ComputeCheckSum(dataSet, source));
        else
            built += source.lines[i].cp932;
    }
    if (source.endsWithLineEnd && !source.lines.empty()) built += kLineEnd;
    return built;
}

SDataSet ReadDataSet(const std::filesystem::path& sourceFolder, Diagnostics& diagnostics)
{
    SDataSet dataSet;
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sourceFolder / "text", error))
        if (entry.is_regular_file() && entry.path().extension() == ".txt") files.push_back(entry.path());
    if (error) diagnostics.push_back({(sourceFolder / "text").generic_string(), 0, "cannot list the folder"});
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files)
        dataSet.sources.push_back(
            ReadSource(file.generic_string(), file.filename().string(), ReadWholeFile(file), diagnostics));
    return dataSet;
}

SBuildResult BuildDataSet(const std::filesystem::path& sourceFolder)
{
    SBuildResult result;
    const SDataSet dataSet = ReadDataSet(sourceFolder, result.diagnostics);
    const Diagnostics found = Validate(dataSet);
    result.diagnostics.insert(result.diagnostics.end(), found.begin(), found.end());
    if (!result.diagnostics.empty()) return result;
    for (const SSource& source : dataSet.sources)
        result.files[std::filesystem::path("data") / "text" / source.name] = BuildTable(dataSet, source);
    const std::filesystem::path manual = sourceFolder / "manual.html";
    if (std::filesystem::is_regular_file(manual)) result.files["manual.html"] = ReadWholeFile(manual);
    return result;
}

} // namespace data_pipeline
