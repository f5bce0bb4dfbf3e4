#include "game/app/program_entry.h"

#include "game/app/app.h"
#include "game/app/game_resource.h"
#include "game/app/run_transitions.h"
#include "game/characters/adventure.h"
#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/message_box.h"
#include "sdk/appframe/object_creater.h"
#include "sdk/thread/callback_registry.h"
#include "sdk/thread/mutex.h"
#include "sdk/thread/singleton.h"
#include "sdk/thread/thread_manager.h"

#include <clocale>
#include <cstring>

namespace {

namespace AppFrame = zelvoranGameSDK3rd::AppFrame;
namespace Thread = zelvoranGameSDK3rd::Thread;

// The stream plug-in that plays Ogg Vorbis music; the program runs without it.
constexpr const char* kOggPlugIn = "./data/plugin/zelvogg.dll";

} // namespace

std::string FolderOfPath(std::string_view path)
{
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (platform::IsCp932LeadByte(c)) {
            ++i; // the second byte of the character is never a separator
            continue;
        }
        if (c == '\\' || c == '/') last = i;
    }
    if (last == std::string_view::npos) return std::string();
    return last == 0 ? std::string("/") : std::string(path.substr(0, last));
}

void SetWorkingDirectoryToExe()
{
    std::string path;
    if (!platform::GetExecutablePath(path)) return;
    const std::string folder = FolderOfPath(path);
    if (!folder.empty()) platform::SetCurrentFolder(folder);
}

namespace {

// The word after the last "name" that stands as a word of its own and has one; false when there is
// none.
bool FindSwitchValue(const char* commandLine, std::string_view name, std::string_view& value)
{
    const std::string_view line = commandLine != nullptr ? commandLine : "";
    bool found = false;
    std::size_t at = 0;
    while ((at = line.find(name, at)) != std::string_view::npos) {
        const bool starts = at == 0 || line[at - 1] == ' ';
        at += name.size();
        if (!starts || at >= line.size() || line[at] != ' ') continue;
        const std::size_t first = line.find_first_not_of(' ', at);
        if (first == std::string_view::npos) continue;
        const std::size_t end = line.find(' ', first);
        value = line.substr(first, end == std::string_view::npos ? std::string_view::npos : end - first);
        found = true;
    }
    return found;
}

// A decimal number, or a hexadecimal one after "0x", that fits 32 bits.
bool ParseUnsigned(std::string_view text, std::uint32_t& value)
{
    std::uint32_t base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    std::uint64_t number = 0;
    for (const char c : text) {
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = std::uint32_t(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = std::uint32_t(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = std::uint32_t(c - 'A' + 10);
        else
            return false;
        number = number * base + digit;
        if (number > 0xFFFFFFFFu) return false;
    }
    value = std::uint32_t(number);
    return true;
}

} // namespace

std::int32_t GetFirstSceneNumber(const char* commandLine)
{
    constexpr std::string_view kSwitch = "--scene";
    const std::string_view line = commandLine != nullptr ? commandLine : "";
    std::size_t at = 0;
    while ((at = line.find(kSwitch, at)) != std::string_view::npos) {
        const bool starts = at == 0 || line[at - 1] == ' ';
        at += kSwitch.size();
        if (!starts || at >= line.size() || line[at] != ' ') continue;
        const std::size_t digits = line.find_first_not_of(' ', at);
        const std::size_t end = line.find(' ', digits);
        const std::string_view number =
            digits == std::string_view::npos ? std::string_view() : line.substr(digits, end - digits);
        if (number.size() == 1 && number[0] >= '1' && number[0] <= '8') return number[0] - '0';
    }
    return kSceneTitle;
}

bool GetDungeonSwitch(const char* commandLine, SDungeonSwitch& result)
{
    std::string_view text;
    std::uint32_t dungeon = 0;
    if (!FindSwitchValue(commandLine, "--dungeon", text) || !ParseUnsigned(text, dungeon) || dungeon > 8)
        return false;
    result = SDungeonSwitch();
    result.dungeon = std::int32_t(dungeon);
    result.seedGiven = FindSwitchValue(commandLine, "--seed", text) && ParseUnsigned(text, result.seed);
    return true;
}

void StartSwitchedAdventure(SGameResource& game, const SDungeonSwitch& request, std::uint32_t frameCounter)
{
    game.ResetForNewGame();
    game.userNumber = g_globalData.fileCounter;
    AdvanceFileCounter(g_globalData);
    SaveGlobalData(g_globalData);
    game.saveName = "";
    std::uint32_t seed = request.seed;
    std::uint16_t value = static_cast<std::uint16_t>(request.seed & 0xFFFFu);
    if (!request.seedGiven) MakeRunId(seed, value, game.random.noRandom, frameCounter);
    StartAdventure(game, request.dungeon, seed, value);
}

bool IsCleanUpCommand(const char* commandLine)
{
    return commandLine != nullptr && std::strncmp(commandLine, "deletesave", 10) == 0;
}

int RunCleanUpMode(SGlobalData& data)
{
    DeleteRegistryData(data);
    for (const char* folder : {"save", "replay"})
        if (DeleteDataFolder(folder, true) != 0)
            platform::MessageBox(nullptr, "一部のファイルが削除出来ませんでした。", "確認", platform::MB_OK);
    return 0;
}

int WinMain(AppFrame::HINSTANCE instance, AppFrame::HINSTANCE previous, char* commandLine,
            std::int32_t showCommand)
{
    std::setlocale(LC_CTYPE, "");
    SetWorkingDirectoryToExe();
    if (IsCleanUpCommand(commandLine)) return RunCleanUpMode(g_globalData);

    // The block stays published for the window code for the program's whole run.
    static AppFrame::CAppInitializeParam parameters;
    AppFrame::AppInitialize(&parameters, instance, previous, commandLine, showCommand);
    AppFrame::CObjectCreater::GetInstance()->LoadPlugIn(kOggPlugIn);
    Thread::CMutex instanceLock;
    // The application's thread runs the window and the game; the thread manager deletes it once ended.
    if (AppFrame::IsFirstAppInstance(instanceLock, "")) Thread::StartOwnedThread(new CAppMainWindow);
    Thread::CThreadManager::GetInstance()->WaitForAll();
    Thread::SetMultiThreadFlag(false);
    Thread::CallbackRegistry::RunCallbacks(Thread::CallbackRegistry::ShutDownList);
    if (instanceLock.IsOpen()) instanceLock.Close();
    AppFrame::CObjectCreater::GetInstance()->ReleasePlugIn(kOggPlugIn);
    return 0;
}
