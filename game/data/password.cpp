#include "game/data/password.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

constexpr int kLetters = 9;

// Letter values 0 to 63, two bytes each.
const char kAlphabet[] =
    "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをん"
    "がぎぐげござじずぜぞだでどばびぶべぼ";
static_assert(sizeof(kAlphabet) == 64 * 2 + 1);

// The value of the letter at text[0..1], or -1.
int LetterValue(const char* text)
{
    for (int v = 0; v < 64; ++v)
        if (std::memcmp(kAlphabet + 2 * v, text, 2) == 0) return v;
    return -1;
}

} // namespace

PasswordPair PackPasswordValues(std::uint32_t a, std::uint32_t b, std::uint16_t c)
{
    const std::uint32_t check = (a + b + c) & 7u;
    return {a, b + 8u * (c + 65536u * check)};
}

ZTL::string EncodePassword(const PasswordPair& pair)
{
    const auto [f, s] = pair;
    const std::array<std::uint32_t, kLetters> values{
        f, f >> 6, f >> 12, f >> 18, f >> 24, (f >> 30) | (s << 2), s >> 4, s >> 10, s >> 16};
    ZTL::string text;
    for (std::uint32_t v : values)
        text.append(kAlphabet + 2 * (v & 63u), 2);
    return text;
}

ZTL::string MakePasswordText(std::uint32_t a, std::uint32_t b, std::uint16_t c)
{
    return EncodePassword(PackPasswordValues(a, b, c));
}

int DecodePassword(const ZTL::string& text, std::uint32_t& a, std::uint32_t& b, std::uint16_t& c)
{
    if (text.length() != 2 * kLetters) return kPasswordWrongLength;
    std::array<std::uint32_t, kLetters> v{};
    for (int i = 0; i < kLetters; ++i) {
        const int value = LetterValue(text.c_str() + 2 * i);
        if (value < 0) return kPasswordBadLetter;
        v[i] = static_cast<std::uint32_t>(value);
    }
    const std::uint32_t f = v[0] | v[1] << 6 | v[2] << 12 | v[3] << 18 | v[4] << 24 | (v[5] & 3u) << 30;
    const std::uint32_t s = v[5] >> 2 | v[6] << 4 | v[7] << 10 | v[8] << 16;
    const std::uint32_t valueB = s & 7u;
    const std::uint32_t valueC = (s >> 3) & 0xFFFFu;
    const std::uint32_t check = (s >> 19) & 7u;
    if (valueB == 0 || ((valueC + valueB + f) & 7u) != check) {
        a = b = c = 0;
        return kPasswordBadCheck;
    }
    a = f;
    b = valueB;
    c = static_cast<std::uint16_t>(valueC);
    return kPasswordValid;
}

int AddPasswordHistory(PasswordHistory& history, const PasswordPair& pair)
{
    if (const auto old = std::find(history.begin(), history.end(), pair); old != history.end())
        history.erase(old);
    while (history.size() >= kPasswordHistoryLimit)
        history.pop_back();
    history.push_front(pair);
    return 0;
}

void AddRunPasswordToHistory(PasswordHistory& history, std::uint32_t a, std::uint32_t b, std::uint16_t c)
{
    AddPasswordHistory(history, PackPasswordValues(a, b, c));
}

int AddPasswordTextToHistory(PasswordHistory& history, const ZTL::string& text)
{
    std::uint32_t a = 0, b = 0;
    std::uint16_t c = 0;
    if (DecodePassword(text, a, b, c) != kPasswordValid) return 1;
    AddRunPasswordToHistory(history, a, b, c);
    return 0;
}
