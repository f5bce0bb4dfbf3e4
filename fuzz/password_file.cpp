// A password file of any content dropped on the training screen: the reader takes the pair in bytes 4
// to 11 only when it is a valid training password, puts it at the front of the history and keeps the
// history within its limit; any other file leaves the history as it was. The first input byte chooses
// how the rest is taken: odd values have the target pack bytes 4 to 11 as a password of a dungeon 1 to
// 7 (from the values found there), so that the taking side is reached; even values take it as it is.

#include "game/app/game_resource.h"
#include "game/data/password.h"
#include "game/scenes/menu_scene.h"
#include "platform/host/little_endian.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto game = std::make_unique<SGameResource>();
    if (size == 0) return 0;
    std::vector<std::uint8_t> file(data + 1, data + size);
    if ((data[0] & 1) != 0 && file.size() >= 12) {
        const std::uint32_t a = platform::ReadU32(file.data() + 4);
        const std::uint32_t bc = platform::ReadU32(file.data() + 8);
        const PasswordPair pair = PackPasswordValues(a, bc % 7 + 1, std::uint16_t(bc >> 16));
        platform::WriteU32(file.data() + 4, pair.first);
        platform::WriteU32(file.data() + 8, pair.second);
    }
    std::FILE* out = std::fopen("fuzz.pwd", "wb");
    if (out == nullptr) return 0;
    const bool written = file.empty() || std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (std::fclose(out) != 0 || !written) return 0;

    // A history kept from the inputs before, up to its limit.
    PasswordHistory& history = game->passwordHistory;
    const PasswordHistory before = history;
    const bool taken = ReadPasswordFromFile(*game, "fuzz.pwd");
    if (history.size() > kPasswordHistoryLimit) std::abort();
    if (!taken) {
        if (history != before) std::abort();
        return 0;
    }
    if (file.size() < 12) std::abort();
    const PasswordPair pair{platform::ReadU32(file.data() + 4), platform::ReadU32(file.data() + 8)};
    std::uint32_t a = 0, b = 0;
    std::uint16_t c = 0;
    if (history.empty() || history.front() != pair ||
        DecodePassword(EncodePassword(pair), a, b, c) != kPasswordValid || b < 1 || b > 7)
        std::abort();
    return 0;
}
