#pragma once
// Shift-JIS byte classes shared by every routine that must step over double-byte characters.

namespace zelvoranGameSDK3rd::ZTL {

// Lead bytes of double-byte characters: 0x81 to 0x9F and 0xE0 to 0xFC.
constexpr bool IsSjisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// ASCII-only upper-casing, as the default "C" locale does it.
constexpr unsigned char AsciiUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace zelvoranGameSDK3rd::ZTL
