#include "sdk/ztl/string_util.h"

#include "sdk/ztl/sjis.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace zelvoranGameSDK3rd::ZTL {

namespace {
bool isSpace(char c)
{
    return c == '\n' || c == '\r' || c == ' ' || c == '\t';
}

basic_string takeUntil(const char** cursor, bool (*stop)(char))
{
    const char* start = *cursor;
    const char* p = start;
    while (*p != 0 && !stop(*p))
        ++p;
    *cursor = p;
    return basic_string(start, static_cast<basic_string::size_type>(p - start));
}

bool isWordEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}
} // namespace

namespace StringScan {

bool SkipSpace(const char** cursor)
{
    const char* p = *cursor;
    while (isSpace(*p))
        ++p;
    *cursor = p;
    return *p == 0;
}

int ReadNumber(const char** cursor, std::int32_t* value)
{
    if (SkipSpace(cursor)) return -1;
    const char* p = *cursor;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    // Digits beyond 32 bits wrap modulo 2^32, and the sign applies to the wrapped value.
    std::uint32_t v = 0;
    bool any = false;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<std::uint32_t>(*p - '0');
        any = true;
        ++p;
    }
    *cursor = p;
    if (negative) v = 0u - v;
    *value = static_cast<std::int32_t>(v);
    return any ? 0 : 1;
}

int ReadListNumber(const char** cursor, std::int32_t* value)
{
    const char* p = *cursor;
    while (isSpace(*p) || *p == ',')
        ++p;
    *cursor = p;
    if (*p == 0) return 1;
    return ReadNumber(cursor, value) == 0 ? 0 : 2;
}

basic_string ReadUntil(const char** cursor, char delimiter)
{
    const char* start = *cursor;
    const char* p = start;
    while (*p != 0 && *p != delimiter)
        ++p;
    *cursor = p;
    return basic_string(start, static_cast<basic_string::size_type>(p - start));
}

basic_string ReadWord(const char** cursor)
{
    return takeUntil(cursor, isWordEnd);
}

basic_string ReadToken(const char** cursor)
{
    if (SkipSpace(cursor)) return basic_string();
    if (**cursor == '"') {
        const char* start = *cursor + 1;
        const char* p = start;
        while (*p != 0 && *p != '"')
            ++p;
        basic_string token(start, static_cast<basic_string::size_type>(p - start));
        *cursor = *p == '"' ? p + 1 : p;
        return token;
    }
    return takeUntil(cursor, isWordEnd);
}

basic_string ReadField(const char** cursor)
{
    return takeUntil(cursor, [](char c) { return c == ',' || c == '/'; });
}

} // namespace StringScan

int StringToInt(basic_string text, std::int64_t* value)
{
    const char* p = text.GetCString();
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    std::uint64_t v = 0;
    bool any = false;
    while (*p >= '0' && *p <= '9') {
        v = v * 10 + static_cast<std::uint64_t>(*p - '0');
        any = true;
        ++p;
    }
    if (negative) v = 0u - v;
    *value = static_cast<std::int64_t>(v);
    return any ? 0 : 1;
}

void Int64ToString(basic_string& text, std::int64_t value)
{
    if (value == 0) {
        text.assign("0");
        return;
    }
    std::uint64_t magnitude =
        value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[24];
    int n = 0;
    while (magnitude != 0) {
        digits[n++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    if (value < 0) digits[n++] = '-';
    basic_string result;
    result.reserve(static_cast<basic_string::size_type>(n));
    while (n > 0)
        result.appendChar(digits[--n]);
    text = result;
}

namespace {
// Tries the pattern at `text`; with exact case off, single bytes compare upper-cased and the
// trail byte of a double-byte character compares exactly.
bool matchesAt(const unsigned char* text, const unsigned char* pattern, std::size_t n, bool exactCase)
{
    bool trail = false;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char t = text[i];
        const unsigned char q = pattern[i];
        if (exactCase || trail) {
            if (t != q) return false;
            trail = false;
        } else {
            if (AsciiUpper(t) != AsciiUpper(q)) return false;
            trail = IsSjisLeadByte(t);
        }
    }
    return true;
}
} // namespace

void ReplaceAllInString(basic_string& text, const basic_string& pattern, const basic_string& replacement,
                        bool exactCase)
{
    const std::size_t length = text.length();
    const std::size_t patternLength = pattern.length();
    if (length == 0 || patternLength == 0) return;

    const auto* bytes = reinterpret_cast<const unsigned char*>(text.GetCString());
    const auto* pat = reinterpret_cast<const unsigned char*>(pattern.GetCString());
    std::vector<std::size_t> matches;
    std::size_t i = 0;
    while (i + patternLength <= length) {
        if (matchesAt(bytes + i, pat, patternLength, exactCase)) {
            matches.push_back(i);
            i += patternLength;
        } else {
            i += IsSjisLeadByte(bytes[i]) ? 2 : 1;
        }
    }
    if (matches.empty()) return;

    basic_string result;
    result.reserve(static_cast<basic_string::size_type>(length + matches.size() * replacement.length() -
                                                        matches.size() * patternLength));
    std::size_t copied = 0;
    for (std::size_t at : matches) {
        result.append(text.GetCString() + copied, static_cast<basic_string::size_type>(at - copied));
        result.append(replacement);
        copied = at + patternLength;
    }
    result.append(text.GetCString() + copied, static_cast<basic_string::size_type>(length - copied));
    text = result;
}

int FormatIntToText16(char (&buffer)[16], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return n;
}

int FormatIntToText32(char (&buffer)[32], const char* format, ...)
{
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return n;
}

} // namespace zelvoranGameSDK3rd::ZTL
