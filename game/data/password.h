#pragma once
// Training passwords: a finished run's start (its seed a, dungeon b and 16-bit run value c) as nine
// hiragana letters of 6 bits each, and the history of the passwords used or earned.

#include "gamebase/sdk_names.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <deque>
#include <utility>

// (first, second): first = a; second holds b in bits 0-2, c in bits 3-18 and a check of (a + b + c)
// AND 7 in bits 19-21.
using PasswordPair = std::pair<std::uint32_t, std::uint32_t>;
// Newest first, at most kPasswordHistoryLimit entries.
using PasswordHistory = std::deque<PasswordPair>;

inline constexpr std::size_t kPasswordHistoryLimit = 100;

// Results of DecodePassword.
enum PasswordResult : int
{
    kPasswordValid = 0,
    kPasswordWrongLength = 1, // not 18 bytes
    kPasswordBadLetter = 2,   // a letter outside the alphabet
    kPasswordBadCheck = 3,    // the check bits differ, or b is 0
};

PasswordPair PackPasswordValues(std::uint32_t a, std::uint32_t b, std::uint16_t c);
// The nine letters (18 bytes).
ZTL::string EncodePassword(const PasswordPair& pair);
ZTL::string MakePasswordText(std::uint32_t a, std::uint32_t b, std::uint16_t c);
// A PasswordResult. a, b and c are set on success and zeroed on a failed check; the two earlier
// failures leave them as they were.
int DecodePassword(const ZTL::string& text, std::uint32_t& a, std::uint32_t& b, std::uint16_t& c);

// Puts the pair at the front, taking it out of its old place or, when the history is full, dropping
// the oldest entry. Returns 0.
int AddPasswordHistory(PasswordHistory& history, const PasswordPair& pair);
void AddRunPasswordToHistory(PasswordHistory& history, std::uint32_t a, std::uint32_t b, std::uint16_t c);
// 0 when the text was a valid password and its values were added, 1 when it was not (nothing added).
int AddPasswordTextToHistory(PasswordHistory& history, const ZTL::string& text);
