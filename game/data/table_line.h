#pragma once
// The text conventions every data table shares: one line of a table and a cursor over its fields, the
// number conversion and the header line. Only ASCII bytes separate, quote and mark lines, and no
// double-byte character of CP932 or UTF-8 holds one of them, so the same cursor walks the built tables
// and their UTF-8 sources (the data build reads the sources with it). Standard headers only.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace table_text {

// The longest line the table loaders take; a longer line refuses the table.
constexpr std::size_t kMaxLineBytes = 255;
constexpr std::string_view kHeaderMarker = "QRZN";
// Where the game finds the tables, from its working folder.
constexpr std::string_view kTextFolder = "data/text/";

// A decimal number field: an optional '-' and digits, up to the first byte that is not a digit; 0 when
// no digit follows. False when the digits do not fit 32 bits (value is then 0). A '+' is no sign here.
inline bool ConvertNumber(std::string_view text, std::int32_t& value)
{
    value = 0;
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative ? std::int64_t(INT32_MAX) + 1 : std::int64_t(INT32_MAX);
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) return false;
    }
    value = std::int32_t(negative ? -magnitude : magnitude);
    return true;
}

// A word of a table's vocabulary and the value it stands for.
struct SKeyword
{
    std::string_view word;
    std::int32_t value;
};

// The value of the word in the vocabulary; 0 for a word it does not hold.
template <std::size_t N> constexpr std::int32_t FindKeyword(const SKeyword (&words)[N], std::string_view word)
{
    for (const SKeyword& keyword : words)
        if (keyword.word == word) return keyword.value;
    return 0;
}

// Results of ParseHeader (and of the loaders' header read).
constexpr int kHeaderOk = 0;
constexpr int kHeaderNoMarker = -1;
constexpr int kHeaderNoNumber = -2;

// The header line: the marker as its first bytes, one or more spaces, tabs, CR or LF, then the check
// number with an optional sign. A check number beyond 32 bits counts as no number.
inline int ParseHeader(std::string_view line, std::int32_t& check)
{
    check = 0;
    auto isSeparator = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    if (!line.starts_with(kHeaderMarker)) return kHeaderNoMarker;
    std::size_t i = kHeaderMarker.size();
    if (i < line.size() && !isSeparator(line[i])) return kHeaderNoMarker; // a longer first word
    while (i < line.size() && isSeparator(line[i]))
        ++i;
    std::string_view number = line.substr(i);
    const bool plus = number.starts_with('+');
    if (plus) number.remove_prefix(1);
    const std::size_t digitAt = number.starts_with('-') && !plus ? 1 : 0;
    if (digitAt >= number.size() || number[digitAt] < '0' || number[digitAt] > '9') return kHeaderNoNumber;
    return ConvertNumber(number, check) ? kHeaderOk : kHeaderNoNumber;
}

// One line of a table (without its CR LF) and the cursor over its fields. After every field the cursor
// skips exactly one byte unless the line has ended, so fields are separated by exactly one space or
// tab and two separators in a row make an empty field. A field asked for after the line's last field
// is missing; a number that does not fit 32 bits is out of range: both marks stay until the line is
// done, so a loader reads the fields it needs and then asks once whether the line held them.
class CTableLine
{
public:
    explicit CTableLine(std::string_view text) : m_text(text) {}

    std::string_view Text() const { return m_text; }
    bool IsComment() const { return m_text.starts_with("//"); }
    bool IsSection() const { return m_text.starts_with('<'); }
    bool AtEnd() const { return m_position >= m_text.size(); }
    // Whether a field was asked for after the last one, or a number did not fit.
    bool IsMissingField() const { return m_missing; }
    bool IsOutOfRange() const { return m_outOfRange; }
    bool IsBroken() const { return m_missing || m_outOfRange; }

    // The bytes up to the next space, tab or LF (a CR belongs to the word).
    std::string_view Word()
    {
        if (!OpenField()) return {};
        const std::size_t start = m_position;
        while (m_position < m_text.size() && !IsWordEnd(m_text[m_position]))
            ++m_position;
        return Close(start, m_position);
    }

    // A word converted as a number field.
    std::int32_t Number()
    {
        std::int32_t value = 0;
        if (!ConvertNumber(Word(), value)) m_outOfRange = true;
        return value;
    }

    // Separators before it skipped; a text in double quotes runs to the next quote or the line's end
    // (spaces and tabs included, the quotes not); anything else is a word.
    std::string_view Token()
    {
        if (!OpenField()) return {};
        while (m_position < m_text.size() && IsTokenSeparator(m_text[m_position]))
            ++m_position;
        if (m_position >= m_text.size() || m_text[m_position] != '"') return Word();
        const std::size_t start = ++m_position;
        while (m_position < m_text.size() && m_text[m_position] != '"')
            ++m_position;
        const std::size_t end = m_position;
        if (m_position < m_text.size()) ++m_position; // the closing quote
        return Close(start, end);
    }

    // Everything up to the next tab or the line's end, spaces included.
    std::string_view TextToTab()
    {
        if (!OpenField()) return {};
        const std::size_t start = m_position;
        while (m_position < m_text.size() && m_text[m_position] != '\t')
            ++m_position;
        return Close(start, m_position);
    }

    // Whether the next field starts with a double quote.
    bool AtQuote() const { return m_position < m_text.size() && m_text[m_position] == '"'; }

private:
    static bool IsWordEnd(char c) { return c == ' ' || c == '\t' || c == '\n'; }
    static bool IsTokenSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    bool OpenField()
    {
        if (m_fieldOpen) return true;
        m_missing = true;
        return false;
    }
    // Ends the field [start, end): the one separator after it is skipped, and the next field exists
    // only when there was one.
    std::string_view Close(std::size_t start, std::size_t end)
    {
        m_fieldOpen = m_position < m_text.size();
        if (m_fieldOpen) ++m_position;
        return m_text.substr(start, end - start);
    }

    std::string_view m_text;
    std::size_t m_position = 0;
    bool m_fieldOpen = true;
    bool m_missing = false;
    bool m_outOfRange = false;
};

} // namespace table_text
