// A save set's body of any content: the reader reads nothing past the bytes it is given, takes the
// content only when it could read all of it, and leaves what a save set stores of the game state as it
// was otherwise. The input is the body without its check value, which the target appends so that the
// content itself is reached.

#include "game/app/save_game.h"
#include "game/data/check_value.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// What a save set keeps of the game state, with its check value.
std::vector<std::uint8_t> Fingerprint(SGameResource& game)
{
    const std::uint32_t check = game.checkValue;
    std::vector<std::uint8_t> bytes = BuildSaveBody(game);
    game.checkValue = check;
    bytes.push_back(std::uint8_t(check));
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto game = [] {
        auto made = std::make_unique<SGameResource>();
        made->items.kindCount = 8; // the identification state's length
        return made;
    }();
    // What a load before took in goes: the controls' resets are the slow part of a run.
    static bool loaded = false;
    if (loaded) {
        game->characters.Reset();
        game->items.Reset();
    }
    game->passwordHistory = {{1, 2}};
    const std::vector<std::uint8_t> before = Fingerprint(*game);

    std::vector<std::uint8_t> bytes(data, data + size);
    AppendCheckValue(bytes);
    const int result = ReadSaveBody(*game, bytes);
    loaded = result == kSaveDone;
    if (result == kSaveDone) {
        // The pairs come from the bytes: eight each.
        if ((game->passwordHistory.size() - 1) * 8 > size) std::abort();
    } else if (result != kSaveBadCheck || Fingerprint(*game) != before) {
        std::abort();
    }
    return 0;
}
