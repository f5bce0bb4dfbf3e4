#pragma once
// Text cursors, number conversions, bounded formatting and Shift-JIS-aware replacement.
// A cursor is a pointer to a character pointer into a NUL-terminated text; scanners move it.
// White space means LF, CR, space and tab.

#include "sdk/ztl/ztl_string.h"

#include <cstdint>

namespace zelvoranGameSDK3rd::ZTL {

namespace StringScan {
// Moves over white space; true when the cursor then stands on the NUL.
bool SkipSpace(const char** cursor);
// 0 when a number was read, 1 when no digit followed, -1 at the end of the text (value untouched).
int ReadNumber(const char** cursor, std::int32_t* value);
// Skips white space and commas first: 0 read, 1 at the end of the text, 2 no digit.
int ReadListNumber(const char** cursor, std::int32_t* value);
basic_string ReadUntil(const char** cursor, char delimiter);
basic_string ReadWord(const char** cursor);
basic_string ReadToken(const char** cursor);
basic_string ReadField(const char** cursor);
} // namespace StringScan

// 0 when at least one digit was read, 1 otherwise.
int StringToInt(basic_string text, std::int64_t* value);
void Int64ToString(basic_string& text, std::int64_t value);

// Replaces every non-overlapping occurrence of `pattern`; matches start only on character starts.
void ReplaceAllInString(basic_string& text, const basic_string& pattern, const basic_string& replacement,
                        bool exactCase);

// Bounded formatted printing into 16- and 32-byte buffers; a longer text is cut, always terminated.
int FormatIntToText16(char (&buffer)[16], const char* format, ...) __attribute__((format(printf, 2, 3)));
int FormatIntToText32(char (&buffer)[32], const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace zelvoranGameSDK3rd::ZTL
