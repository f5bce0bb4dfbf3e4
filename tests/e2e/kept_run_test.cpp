// A run is never lost: the road from a new save through the start of a run, its floors and the suspend is
// stopped by a kill before each change it makes on the disk, and every disk left so resumes from the title
// (or holds the state before the run began) without a refusal. A resume's silent re-run never waits for a
// key, also with messages that wait for one, on the real clock.

#include "e2e/road_player.h"
#include "game/app/scene_control.h"
#include "game/core/play_mode.h"
#include "game/data/config.h"
#include "game/data/global_data.h"
#include "game/ui/select_window.h"
#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The disk a kill leaves: the game's folders and the settings store's sums of the user.
struct SDisk
{
    fs::path folder;
    std::string before; // the change the kill came before
    std::int32_t user = -1;
    std::optional<platform::DWORD> sum, pendingSum;
};

std::string SumName(std::int32_t user, const char* suffix = "")
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d%s", user, suffix);
    return name;
}

std::optional<platform::DWORD> ReadSum(const std::string& name)
{
    platform::DWORD value = 0;
    if (!platform::ReadSettingDword(kProductSettingsKey, name, value)) return std::nullopt;
    return value;
}

// Copies the home's folders aside before every change the game makes on the disk.
class CKillPoints
{
public:
    CKillPoints(const e2e::CTempHome& home, fs::path out) : m_home(home), m_out(std::move(out))
    {
        fs::remove_all(m_out);
        s_current = this;
        platform::SetFileChangeObserver(&CKillPoints::OnChange);
    }
    ~CKillPoints()
    {
        platform::SetFileChangeObserver(nullptr);
        s_current = nullptr;
    }
    // The disk as the road left it, after its last change.
    void TakeLast() { Take("the end of the road"); }
    const std::vector<SDisk>& Disks() const { return m_disks; }

private:
    static void OnChange(const std::string& what)
    {
        if (s_current != nullptr) s_current->Take(what);
    }
    void Take(const std::string& what)
    {
        SDisk disk;
        disk.folder = m_out / std::to_string(m_disks.size());
        disk.before = what;
        disk.user = g_globalData.userNumber;
        disk.sum = ReadSum(SumName(disk.user));
        disk.pendingSum = ReadSum(SumName(disk.user, ".next"));
        for (const char* name : {"exe/save", "exe/replay", "data"}) {
            const fs::path from = m_home.Root() / name;
            if (!fs::exists(from)) continue;
            fs::create_directories((disk.folder / name).parent_path());
            fs::copy(from, disk.folder / name, fs::copy_options::recursive);
        }
        m_disks.push_back(std::move(disk));
    }

    static inline CKillPoints* s_current = nullptr;
    const e2e::CTempHome& m_home;
    fs::path m_out;
    std::vector<SDisk> m_disks;
};

// Puts a disk a kill left into a fresh home.
void Restore(const SDisk& disk, const e2e::CTempHome& home)
{
    for (const char* name : {"exe/save", "exe/replay", "data"})
        if (fs::exists(disk.folder / name))
            fs::copy(disk.folder / name, home.Root() / name,
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    platform::CreateSettingsKey(kProductSettingsKey);
    if (disk.sum) platform::WriteSettingDword(kProductSettingsKey, SumName(disk.user), *disk.sum);
    if (disk.pendingSum)
        platform::WriteSettingDword(kProductSettingsKey, SumName(disk.user, ".next"), *disk.pendingSum);
}

bool HasLine(const e2e::SPlayView& view, const char* text)
{
    return view.FindLine(text) >= 0;
}

std::uint32_t Choose(const e2e::SPlayView& view, const char* text)
{
    const std::int32_t line = view.FindLine(text);
    if (line < 0) return 0;
    if (view.cursor == line) return e2e::kKeyDecide;
    return view.cursor < line ? e2e::kKeyDown : e2e::kKeyUp;
}

// The player who comes back: from the title to the save's continuation, then no key at all. Done at the
// camp, with no save to continue, or once the resumed run has gone on by itself for a while.
class CResumer : public e2e::IPlayer
{
public:
    std::uint32_t NextKeys(const e2e::SPlayView& view) override
    {
        if (view.scene != kSceneMenu) return 0;
        if (view.windowType == CSelectWindow::kTypeYesNo)
            return view.cursor == 0 ? e2e::kKeyDecide : e2e::kKeyUp;
        if (HasLine(view, "新しくデータを作る")) {
            if (!HasLine(view, "冒険の続きから")) m_noSave = true;
            return Choose(view, "冒険の続きから");
        }
        if (view.windowType == CSelectWindow::kTypeSaveDataList)
            return view.cursor == 0 ? e2e::kKeyDecide : e2e::kKeyUp;
        if (HasLine(view, "ダンジョンの続きから")) {
            m_offered = true;
            return Choose(view, "ダンジョンの続きから");
        }
        return e2e::kKeyDecide;
    }
    void OnFrame(const e2e::SPlayView& view) override
    {
        const SGameResource& game = *view.game;
        if (view.scene == kSceneCamp) m_atCamp = true;
        if (view.scene != kSceneGameMain) return;
        if (game.playMode == kPlaySilentRerun) m_reran = true;
        // A re-run of a log without commands may end inside the frame that starts it.
        if (game.playMode == kPlayNormal && game.dungeon > 0 && game.characters.player.hp > 0) ++m_playFrames;
    }
    bool Finished(const e2e::SPlayView&) const override
    {
        return m_noSave || m_atCamp || m_playFrames >= kPlayFrames;
    }
    std::string Describe() const override { return m_reran ? "the re-run or after it" : "resuming"; }

    bool Resumed() const { return m_playFrames >= kPlayFrames; }
    // Whether the save chosen was in the dungeon, so that its run was offered to go on.
    bool Offered() const { return m_offered; }
    bool AtCamp() const { return m_atCamp; }

private:
    static constexpr int kPlayFrames = 30;
    bool m_noSave = false;
    bool m_offered = false;
    bool m_atCamp = false;
    bool m_reran = false;
    int m_playFrames = 0;
};

// The road to the suspend on floor 2, with the disk of a kill before each of its changes.
class KeptRunTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_home = new e2e::CTempHome;
        s_points = new CKillPoints(*s_home, fs::path(MAROVELLIN_E2E_OUTPUT_DIR) / "kill_points");
        e2e::SRoadOptions road;
        road.afterwards = false;
        e2e::CRoadPlayer player(road);
        // The road ends at the title after the suspend.
        class CUntilSuspended : public e2e::IPlayer
        {
        public:
            explicit CUntilSuspended(e2e::CRoadPlayer& road) : m_road(road) {}
            std::uint32_t NextKeys(const e2e::SPlayView& view) override { return m_road.NextKeys(view); }
            bool Finished(const e2e::SPlayView&) const override { return m_road.Suspended(); }
            void OnFrame(const e2e::SPlayView& view) override { m_road.OnFrame(view); }
            std::string Describe() const override { return m_road.Describe(); }

        private:
            e2e::CRoadPlayer& m_road;
        } untilSuspended(player);
        s_road = new e2e::SRunResult(e2e::RunGame(untilSuspended));
        s_points->TakeLast();
        platform::SetFileChangeObserver(nullptr);
    }
    static void TearDownTestSuite()
    {
        delete s_points;
        delete s_home;
        delete s_road;
    }

    static inline e2e::CTempHome* s_home = nullptr;
    static inline CKillPoints* s_points = nullptr;
    static inline e2e::SRunResult* s_road = nullptr;
};

TEST_F(KeptRunTest, AKillBeforeAnyChangeOnTheDiskLeavesARunThatResumes)
{
    ASSERT_TRUE(s_road->finished) << s_road->failure;
    const std::vector<SDisk>& disks = s_points->Disks();
    ASSERT_GT(disks.size(), 20u);
    for (const SDisk& d : disks)
        std::fprintf(stderr, "EVENT %s\n", d.before.c_str());
    std::size_t resumed = 0;
    for (const SDisk& disk : disks) {
        SCOPED_TRACE("a kill before the change of " + disk.before + " (" + disk.folder.string() + ")");
        e2e::CTempHome home;
        Restore(disk, home);
        CResumer player;
        e2e::SRunOptions options;
        options.frameCap = 5'000;
        const e2e::SRunResult result = e2e::RunGame(player, options);
        EXPECT_TRUE(result.finished) << result.failure;
        for (const std::string& box : result.messageBoxes)
            ADD_FAILURE() << "message box " << box;
        // A save in the dungeon goes on; one at the camp is the state before the run began.
        if (player.Offered()) EXPECT_TRUE(player.Resumed()) << "the run was offered but did not go on";
        resumed += player.Resumed() ? 1 : 0;
        if (HasFailure()) {
            home.Keep();
            break;
        }
    }
    // Most kills come in the run, which must go on.
    EXPECT_GT(resumed, disks.size() / 2);
}

// The messages of a silent re-run go to the log alone: with messages that wait for a key, a resume on the
// real clock still comes back by itself (a frozen clock would let the re-run spin inside one frame).
TEST_F(KeptRunTest, AResumesSilentReRunNeverWaitsForAKey)
{
    ASSERT_TRUE(s_road->finished) << s_road->failure;
    // The disk whose log holds the most commands.
    const SDisk* longest = nullptr;
    std::uintmax_t longestLog = 0;
    for (const SDisk& disk : s_points->Disks()) {
        if (!fs::exists(disk.folder / "data")) continue;
        for (const auto& file : fs::recursive_directory_iterator(disk.folder / "data"))
            if (file.path().extension() == ".act" && file.file_size() > longestLog) {
                longestLog = file.file_size();
                longest = &disk;
            }
    }
    ASSERT_NE(longest, nullptr);
    SCOPED_TRACE("the disk before the change of " + longest->before);
    e2e::CTempHome home;
    Restore(*longest, home);
    // Every message waits for a key.
    for (const auto& file : fs::directory_iterator(home.Exe() / "save")) {
        if (file.path().extension() != ".main") continue;
        std::string name;
        ASSERT_TRUE(platform::Utf8ToCp932(file.path().stem().string(), name));
        SConfig options;
        options.name = ("save\\" + name + ".cfg").c_str();
        options.messageSpeed = -1;
        ASSERT_EQ(SaveOptions(options), 0);
    }
    CResumer player;
    e2e::SRunOptions options;
    options.realClock = true;
    options.frameCap = 1'500;
    const e2e::SRunResult result = e2e::RunGame(player, options);
    EXPECT_TRUE(result.finished) << result.failure;
    EXPECT_TRUE(player.Resumed());
    EXPECT_TRUE(result.messageBoxes.empty());
}

} // namespace
