#include "game/ui/message_numbers.h"

namespace {

// Room for the colour marks, a sign and ten full-width digits.
constexpr int kTextBytes = 2 + 1 + 2 * 10 + 1;

// Writes the digits of the value so that they end just before `end`; where they start.
char* WriteFullWidthDigits(std::uint32_t value, char* end)
{
    static const char kDigits[] = "０１２３４５６７８９";
    char* p = end;
    do {
        p -= 2;
        p[0] = kDigits[2 * (value % 10)];
        p[1] = kDigits[2 * (value % 10) + 1];
        value /= 10;
    } while (value != 0);
    return p;
}

// The signed number's text ending just before `end`; where it starts.
char* WriteFullWidthNumber(std::int32_t value, char* end)
{
    if (value >= 0) return WriteFullWidthDigits(static_cast<std::uint32_t>(value), end);
    char* p = WriteFullWidthDigits(0u - static_cast<std::uint32_t>(value), end);
    *--p = '-';
    return p;
}

ZTL::string Between(const char* start, const char* end)
{
    return ZTL::string(start, static_cast<ZTL::string::size_type>(end - start));
}

} // namespace

ZTL::string FormatFullWidthUnsigned(std::uint32_t value)
{
    char text[kTextBytes];
    char* const end = text + sizeof text;
    return Between(WriteFullWidthDigits(value, end), end);
}

ZTL::string FormatFullWidthNumber(std::int32_t value)
{
    char text[kTextBytes];
    char* const end = text + sizeof text;
    return Between(WriteFullWidthNumber(value, end), end);
}

ZTL::string FormatColoredNumber(std::int32_t value)
{
    // Built in one piece: damage messages ask for it on every blow.
    char text[kTextBytes];
    char* const end = text + sizeof text;
    end[-1] = '#';
    char* p = WriteFullWidthNumber(value, end - 1);
    *--p = '3';
    *--p = '#';
    return Between(p, end);
}
