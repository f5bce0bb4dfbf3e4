#include "game/data/password.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kLetters = 9;

// The letters of the values 0 to 63 as CP932 codes (the bytes of a password, whatever the compiler does
// with literals).
constexpr std::uint16_t kAlphabet[64] = {
    0x82A0, 0x82A2, 0x82A4, 0x82A6, 0x82A8, 0x82A9, 0x82AB, 0x82AD, // あいうえおかきく
    0x82AF, 0x82B1, 0x82B3, 0x82B5, 0x82B7, 0x82B9, 0x82BB, 0x82BD, // けこさしすせそた
    0x82BF, 0x82C2, 0x82C4, 0x82C6, 0x82C8, 0x82C9, 0x82CA, 0x82CB, // ちつてとなにぬね
    0x82CC, 0x82CD, 0x82D0, 0x82D3, 0x82D6, 0x82D9, 0x82DC, 0x82DD, // のはひふへほまみ
    0x82DE, 0x82DF, 0x82E0, 0x82E2, 0x82E4, 0x82E6, 0x82E7, 0x82E8, // むめもやゆよらり
    0x82E9, 0x82EA, 0x82EB, 0x82ED, 0x82F0, 0x82F1, 0x82AA, 0x82AC, // るれろわをんがぎ
    0x82AE, 0x82B0, 0x82B2, 0x82B4, 0x82B6, 0x82B8, 0x82BA, 0x82BC, // ぐげござじずぜぞ
    0x82BE, 0x82C5, 0x82C7, 0x82CE, 0x82D1, 0x82D4, 0x82D7, 0x82DA, // だでどばびぶべぼ
};

// The value of the letter at text[0..1], or -1.
int LetterValue(const char* text)
{
    const auto code = static_cast<std::uint16_t>(static_cast<std::uint8_t>(text[0]) << 8 |
                                                 static_cast<std::uint8_t>(text[1]));
    const auto* found = std::find(std::begin(kAlphabet), std::end(kAlphabet), code);
    return found == std::end(kAlphabet) ? -1 : static_cast<int>(found - std::begin(kAlphabet));
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
    for (std::uint32_t v : values) {
        const std::uint16_t code = kAlphabet[v & 63u];
        const char letter[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        text.append(letter, 2);
    }
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
