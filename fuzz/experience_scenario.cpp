// The experience table and the scenario of any content, as the start-up load reads them from
// "data\text": the loads read nothing past a line, fill only the table's 99 levels, and leave the
// scenario's script starts inside its lines. The input is the experience table, a NUL byte, then the
// scenario; the other tables are missing, so the load reports its failure through its result.

#include "game/app/game_resource.h"
#include "platform/host/headless/headless.h"
#include "sdk/auxiliary/file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

namespace {

void Put(const std::filesystem::path& path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), std::streamsize(content.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto game = [] {
        const std::filesystem::path text = std::filesystem::current_path() / "data" / "text";
        std::filesystem::create_directories(text);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(
            std::filesystem::current_path().string().c_str());
        return std::make_unique<SGameResource>();
    }();
    platform::headless::ScriptMessageBoxAnswers({}); // forgets the boxes of the last input
    const std::filesystem::path text = std::filesystem::current_path() / "data" / "text";
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::size_t split = std::min(rest.find('\0'), rest.size());
    Put(text / "exp.txt", rest.substr(0, split));
    Put(text / u8"シナリオ.txt", rest.substr(std::min(split + 1, rest.size())));

    if (game->LoadDataTables() != 1) std::abort(); // the other tables are missing
    const auto& lines = game->scenarioLines;
    const auto& starts = game->scriptStarts;
    if (lines.empty() || starts.empty() || starts.front() != 0) std::abort();
    for (std::int32_t start : starts)
        if (start < 0 || std::size_t(start) > lines.size()) std::abort();
    // Every line came from the input (one more for the "end" of an empty scenario).
    if (lines.size() > size / 2 + 2) std::abort();
    return 0;
}
