#include "game/data/password.h"

#include <gtest/gtest.h>

#include "sdk/math/rand.h"

namespace {

struct Decoded
{
    int result;
    std::uint32_t a = 0xDEAD, b = 0xBEEF;
    std::uint16_t c = 0x1234;
};

Decoded Decode(const ZTL::string& text)
{
    Decoded d{};
    d.result = DecodePassword(text, d.a, d.b, d.c);
    return d;
}

TEST(Password, GoldenTextsAndRandomRoundTrips)
{
    EXPECT_STREQ(MakePasswordText(0, 1, 0).c_str(), "あああああおああけ");
    EXPECT_STREQ(MakePasswordText(0x12345678, 3, 0xABCD).c_str(), "だはかせてをらねか");
    EXPECT_STREQ(MakePasswordText(0xFFFFFFFF, 7, 0xFFFF).c_str(), "ぼぼぼぼぼぼぼぼぎ");

    Math::CRand r;
    for (int i = 0; i < 500; ++i) {
        const std::uint32_t a = r.Get(), b = 1 + r.Get() % 7;
        const auto c = static_cast<std::uint16_t>(r.Get());
        const Decoded d = Decode(MakePasswordText(a, b, c));
        ASSERT_EQ(d.result, kPasswordValid);
        ASSERT_EQ(d.a, a);
        ASSERT_EQ(d.b, b);
        ASSERT_EQ(d.c, c);
    }
}

TEST(Password, RefusedTexts)
{
    const std::pair<const char*, int> cases[] = {
        {"ああああああああ", kPasswordWrongLength}, {"あああああああああ\x82", kPasswordWrongLength},
        {"ああああああああab", kPasswordBadLetter}, {"ぱああああおああけ", kPasswordBadLetter},
        {"いああああおああけ", kPasswordBadCheck}, // check bits for a = 0, not 1
        {"あああああああああ", kPasswordBadCheck}, // dungeon 0
    };
    for (auto [text, result] : cases) {
        const Decoded d = Decode(text);
        EXPECT_EQ(d.result, result) << text;
        // A failed check clears the values; the earlier failures leave them.
        EXPECT_EQ(d.a, result == kPasswordBadCheck ? 0u : 0xDEADu) << text;
    }
}

TEST(PasswordHistory, MovesToTheFrontKeepsAHundredAndAddsOnlyValidTexts)
{
    PasswordHistory history;
    for (std::uint32_t i = 0; i < 3; ++i)
        EXPECT_EQ(AddPasswordHistory(history, {i, i}), 0);
    AddPasswordHistory(history, {0, 0});
    AddPasswordHistory(history, {2, 3}); // equal in one value only: a new entry
    EXPECT_EQ(history, (PasswordHistory{{2, 3}, {0, 0}, {2, 2}, {1, 1}}));

    history.clear();
    for (std::uint32_t i = 0; i <= kPasswordHistoryLimit; ++i)
        AddPasswordHistory(history, {i, 0});
    ASSERT_EQ(history.size(), kPasswordHistoryLimit);
    EXPECT_EQ(history.back(), PasswordPair(1, 0)); // the oldest, 0, went

    history.clear();
    EXPECT_EQ(AddPasswordTextToHistory(history, "あああああああああ"), 1);
    EXPECT_EQ(AddPasswordTextToHistory(history, "だはかせてをらねか"), 0);
    AddRunPasswordToHistory(history, 0, 1, 0);
    EXPECT_EQ(history, (PasswordHistory{{0, 0x80001}, PackPasswordValues(0x12345678, 3, 0xABCD)}));
}

} // namespace
