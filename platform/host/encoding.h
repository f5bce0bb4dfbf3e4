#pragma once
// Conversion between the CP932 byte strings that the SDK holds and the UTF-8 that the host speaks.

#include <string>
#include <string_view>

namespace platform {

// Both return false (and leave `out` empty) when the text holds a sequence the other side cannot express.
bool Cp932ToUtf8(std::string_view cp932, std::string& out);
bool Utf8ToCp932(std::string_view utf8, std::string& out);

// True for the bytes that start a CP932 double-byte character; the byte after one is never a
// separator, dot or letter.
constexpr bool IsCp932LeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace platform
