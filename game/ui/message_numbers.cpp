#include "game/ui/message_numbers.h"

ZTL::string FormatFullWidthUnsigned(std::uint32_t value)
{
    static const char kDigits[] = "０１２３４５６７８９";
    char text[2 * 10];
    int n = sizeof text;
    do {
        n -= 2;
        text[n] = kDigits[2 * (value % 10)];
        text[n + 1] = kDigits[2 * (value % 10) + 1];
        value /= 10;
    } while (value != 0);
    return ZTL::string(text + n, static_cast<ZTL::string::size_type>(sizeof text - n));
}

ZTL::string FormatFullWidthNumber(std::int32_t value)
{
    if (value >= 0) return FormatFullWidthUnsigned(static_cast<std::uint32_t>(value));
    return ZTL::string("-") + FormatFullWidthUnsigned(0u - static_cast<std::uint32_t>(value));
}

ZTL::string FormatColoredNumber(std::int32_t value)
{
    return ZTL::string("#3") + FormatFullWidthNumber(value) + "#";
}
