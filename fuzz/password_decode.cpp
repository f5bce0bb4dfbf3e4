// Training passwords typed, pasted or read from a file: decoding never reads past the text, and what
// decodes encodes back to the same text.

#include "game/data/password.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 64) return 0;
    const ZTL::string text(reinterpret_cast<const char*>(data), static_cast<ZTL::string::size_type>(size));
    std::uint32_t a = 0, b = 0;
    std::uint16_t c = 0;
    const int result = DecodePassword(text, a, b, c);
    if (result < kPasswordValid || result > kPasswordBadCheck) std::abort();
    if (result == kPasswordValid) {
        if (b < 1 || b > 7 || !(MakePasswordText(a, b, c) == text)) std::abort();
        PasswordHistory history;
        if (AddPasswordTextToHistory(history, text) != 0 || history.size() != 1) std::abort();
    }
    return 0;
}
