// The names of the save folder's files, as the save list reads them: any name parses without reading
// past it into a four-digit number and a name no longer than itself, and the head file of every save
// that can be made reads back as the number and the name it was written with. The list ends a name at
// its first ".", which no typed name holds (the entry table types double-byte characters only): only
// names without it take the round trip.
//
// The input's first two bytes choose a save number; the rest is a file name and, for the round trip,
// a save name.

#include "game/app/game_resource.h"
#include "game/app/save_game.h"
#include "game/scenes/menu_browser.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2 || size > 66) return 0;
    const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    const ZTL::string text(rest.data(), static_cast<ZTL::string::size_type>(rest.size()));

    std::int32_t number = -1;
    ZTL::string name;
    if (ParseSaveFileName(text, number, name)) {
        if (number < 0 || number > 9999 || name.size() + 4 > rest.size()) std::abort();
    }

    static const auto game = std::make_unique<SGameResource>();
    game->userNumber = std::int32_t((data[0] | data[1] << 8) % 10000);
    game->saveName = text;
    if (!IsSafeSaveName(game->saveName) || rest.find('.') != std::string_view::npos) return 0;
    const ZTL::string path = MakeSaveHeadPath(*game);
    const std::string_view folder = "save\\";
    if (std::strncmp(path.c_str(), folder.data(), folder.size()) != 0) std::abort();
    const ZTL::string file = path.substr(folder.size());
    if (!ParseSaveFileName(file, number, name) || number != game->userNumber || !(name == game->saveName))
        std::abort();
    return 0;
}
