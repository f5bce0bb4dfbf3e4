#pragma once
// Numbers as messages embed them, in the colour marks of the message and select windows.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>

// Decimal digits in full-width characters, "０" for 0.
ZTL::string FormatFullWidthUnsigned(std::uint32_t value);
// An ASCII "-" before a negative value's full-width digits.
ZTL::string FormatFullWidthNumber(std::int32_t value);
// The full-width number in the numbers' colour: "#3", the number, "#".
ZTL::string FormatColoredNumber(std::int32_t value);
