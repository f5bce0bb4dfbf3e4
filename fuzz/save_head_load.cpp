// A save's ".head" file of any content, as the save browser reads it: the reader answers with its own
// codes, reads nothing past the file, takes a head only when all of it reads and its save name is one
// path component, and otherwise leaves the game state as it was beyond the user number and name it was
// given. When the first input byte is odd the target puts the check value at the end right, so that
// the content behind it is reached.

#include "game/app/save_game.h"
#include "game/data/check_value.h"
#include "sdk/auxiliary/serialize.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// What a head stores of the game state.
std::vector<std::uint8_t> Fingerprint(SGameResource& game)
{
    Auxiliary::CSerialize stream;
    stream.Serialize(game.saveKind).Serialize(game);
    return stream.GetBuffer();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto game = [] {
        std::filesystem::create_directories("save");
        return std::make_unique<SGameResource>();
    }();
    if (size == 0) return 0;
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if ((data[0] & 1) != 0) AppendCheckValue(bytes);
    std::FILE* file = std::fopen("save/0001.head", "wb");
    if (file == nullptr) return 0;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) return 0;

    game->userNumber = 1;
    game->saveName = "";
    const std::vector<std::uint8_t> before = Fingerprint(*game);
    switch (ReadSaveHead(*game, 1, "")) {
    case kSaveDone:
        if (!IsSafeSaveName(game->saveName)) std::abort();
        break;
    case kSaveUnreadable:
    case kSaveBadCheck:
        if (Fingerprint(*game) != before) std::abort();
        break;
    default:
        std::abort();
    }
    return 0;
}
