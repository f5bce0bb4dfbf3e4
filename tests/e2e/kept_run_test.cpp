// A run is never lost: the road from a new save through the start of a run, its floors and the suspend is
// stopped by a kill before each change it makes on the disk, and every disk left so resumes from the title
// (or holds the state before the run began) without a refusal. A resume's silent re-run never waits for a
// key, also with messages that wait for one, on the real clock.

#include "e2e/road_player.h"
#include "game/app/ranking_table.h"
#include "game/app/scene_control.h"
#include "game/core/play_mode.h"
#include "game/data/config.h"
#include "game/data/global_data.h"
#include "game/ui/select_window.h"
#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
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

// Copies the home's folders and the user's sums aside into `folder`.
SDisk TakeDisk(const e2e::CTempHome& home, const fs::path& folder, const std::string& before)
{
    SDisk disk;
    disk.folder = folder;
    disk.before = before;
    disk.user = g_globalData.userNumber;
    disk.sum = ReadSum(SumName(disk.user));
    disk.pendingSum = ReadSum(SumName(disk.user, ".next"));
    for (const char* name : {"exe/save", "exe/replay", "data"}) {
        const fs::path from = home.Root() / name;
        if (!fs::exists(from)) continue;
        fs::create_directories((disk.folder / name).parent_path());
        fs::copy(from, disk.folder / name, fs::copy_options::recursive);
    }
    return disk;
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
        m_disks.push_back(TakeDisk(m_home, m_out / std::to_string(m_disks.size()), what));
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
    if (view.windowType == CSelectWindow::kTypeCommandMenu && view.cursor >= 0) {
        // Two columns: across first, then along the column.
        const std::int32_t rows = std::int32_t(view.lines.size() + 1) / 2;
        if (view.cursor / rows != line / rows)
            return view.cursor / rows < line / rows ? e2e::kKeyRight : e2e::kKeyLeft;
    }
    return view.cursor < line ? e2e::kKeyDown : e2e::kKeyUp;
}

// The player who comes back: from the title to the save's continuation, then no key at all. Done at the
// camp, with no save to continue, or once the resumed run has gone on by itself for a while.
class CResumer : public e2e::IPlayer
{
public:
    // `giveUp`: once the resumed run has gone on, it is given up, and the player is done at the camp.
    explicit CResumer(bool giveUp = false) : m_giveUp(giveUp) {}
    std::uint32_t NextKeys(const e2e::SPlayView& view) override
    {
        const bool givingUp = m_giveUp && Resumed();
        if (givingUp && view.scene == kSceneGameMain) return e2e::kKeyMenu;
        if (view.scene != kSceneMenu) return 0;
        if (givingUp && HasLine(view, "冒険を諦める")) return Choose(view, "冒険を諦める");
        if (givingUp && HasLine(view, "設定")) return Choose(view, "設定");
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
        return m_noSave || m_atCamp || (!m_giveUp && m_playFrames >= kPlayFrames);
    }
    std::string Describe() const override { return m_reran ? "the re-run or after it" : "resuming"; }

    bool Resumed() const { return m_playFrames >= kPlayFrames; }
    // Whether the save chosen was in the dungeon, so that its run was offered to go on.
    bool Offered() const { return m_offered; }
    bool AtCamp() const { return m_atCamp; }

private:
    static constexpr int kPlayFrames = 30;
    bool m_giveUp = false;
    bool m_noSave = false;
    bool m_offered = false;
    bool m_atCamp = false;
    bool m_reran = false;
    int m_playFrames = 0;
};

// The failures the current test has had so far.
int FailureCount()
{
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failures = 0;
    for (int i = 0; i < result.total_part_count(); ++i)
        failures += result.GetTestPartResult(i).failed() ? 1 : 0;
    return failures;
}

// Resumes a disk in a fresh program, which must end within its frames with no message box; a save in the
// dungeon must go on, one at the camp is the state before the run began. Whether the run went on; the
// home is kept on a failure.
bool ResumeDisk(const SDisk& disk)
{
    const int failuresBefore = FailureCount();
    e2e::CTempHome home;
    Restore(disk, home);
    CResumer player;
    e2e::SRunOptions options;
    options.frameCap = 5'000;
    const e2e::SRunResult result = e2e::RunGame(player, options);
    EXPECT_TRUE(result.finished) << result.failure;
    for (const std::string& box : result.messageBoxes)
        ADD_FAILURE() << "message box on resuming " << box;
    if (player.Offered()) {
        EXPECT_TRUE(player.Resumed()) << "the run was offered but did not go on";
    }
    if (FailureCount() > failuresBefore) {
        home.Keep();
        ADD_FAILURE() << "the resumed home is kept in " << home.Root();
    }
    return player.Resumed();
}

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
        resumed += ResumeDisk(disk) ? 1 : 0;
        if (HasFailure()) break;
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

// The road of the tests below: a new save, the start of a run, its floor change, the suspend on floor 2,
// the resume from the title, five turns on floor 2 and the run given up; done back at the camp.
class CGiveUpRoad : public e2e::IPlayer
{
public:
    CGiveUpRoad() : m_road(Options()) {}
    std::uint32_t NextKeys(const e2e::SPlayView& view) override { return m_road.NextKeys(view); }
    bool Finished(const e2e::SPlayView&) const override { return m_road.BackAtCamp(); }
    void OnFrame(const e2e::SPlayView& view) override { m_road.OnFrame(view); }
    std::string Describe() const override { return m_road.Describe(); }

private:
    static e2e::SRoadOptions Options()
    {
        e2e::SRoadOptions options;
        options.afterwards = false;
        options.suspendTurns = 5;
        options.giveUpTurns = 5;
        return options;
    }
    e2e::CRoadPlayer m_road;
};

// A disk that refuses the `from`-th write (0: none) whose path holds `folder` (every one when empty) and,
// unless `onlyThat`, every later one, as a disk that fills up or a folder that turns read-only does; with
// `onlyThat` the writes after it go through again, as on a disk where space was freed. Deletes and renames
// still go through. It records every write asked of it.
class CRefusingDisk
{
public:
    CRefusingDisk(std::size_t from, std::string folder, bool onlyThat)
    {
        s_from = from;
        s_folder = std::move(folder);
        s_onlyThat = onlyThat;
        s_writes.clear();
        s_entries.clear();
        s_counter = 0;
        s_refusedInPlay = false;
        s_playing = true;
        platform::SetFileWriteRefusal(&Refuse);
    }
    ~CRefusingDisk() { platform::SetFileWriteRefusal(nullptr); }
    // The play is over: what the program writes as it ends comes after.
    void EndPlay() { s_playing = false; }
    const std::vector<std::string>& Writes() const { return s_writes; }
    // Whether a file (not a setting) was refused while the player played.
    bool RefusedInPlay() const { return s_refusedInPlay; }

private:
    static bool Refuse(const std::string& what)
    {
        s_writes.push_back(what);
        const bool refused = s_from != 0 &&
                             (s_onlyThat ? s_writes.size() == s_from : s_writes.size() >= s_from) &&
                             what.find(s_folder) != std::string::npos;
        // A settings-file write that changes neither a guard nor the file counter keeps only the player's
        // settings (the last save chosen, the defaults), which the next write of the file puts right: no
        // run stands on it.
        bool settingsOnly = false;
        if (what.ends_with("/save/main.cfg")) {
            const auto& entries = g_globalData.saveEntries;
            settingsOnly =
                g_globalData.fileCounter == s_counter && entries.size() == s_entries.size() &&
                std::equal(entries.begin(), entries.end(), s_entries.begin(), [](auto& a, auto& b) {
                    return a.first == b.first && a.second.flag == b.second.flag &&
                           a.second.value == b.second.value;
                });
            if (!refused) {
                s_entries = entries;
                s_counter = g_globalData.fileCounter;
            }
        }
        if (refused && s_playing && what.rfind("setting ", 0) != 0 && !settingsOnly) s_refusedInPlay = true;
        return refused;
    }
    static inline std::map<std::int32_t, SGlobalData::SSaveEntry> s_entries; // as the disk last took them
    static inline std::int32_t s_counter = 0;
    static inline std::size_t s_from = 0;
    static inline std::string s_folder;
    static inline bool s_onlyThat = false;
    static inline std::vector<std::string> s_writes;
    static inline bool s_refusedInPlay = false;
    static inline bool s_playing = false;
};

// Where a disk refuses writes: everywhere (a full disk), in the save folder alone (a read-only one, while
// the log in the user's folder is still written), the save set alone (a disk with room for the small
// files but not for the save), or the user's folder alone (the run's log and replay work files); from one
// write on, or that write alone.
struct SRefusal
{
    std::string folder;
    std::size_t from;      // the first write refused (one past the last: none)
    bool onlyThat = false; // the writes after it go through
};

struct SRefusedPlay
{
    e2e::SRunResult result;
    std::vector<std::string> writes; // every write asked of the disk, in order
    bool refusedInPlay = false;      // a file was refused while the player played
    int windowTellings = 0;          // the times a menu window began to tell of a failed write
};

// The road played in `home` on a disk that refuses writes as `refusal` says. The writes are named under
// "<home>", so that plays in two homes compare.
SRefusedPlay PlayRefused(const e2e::CTempHome& home, const SRefusal& refusal, std::uint64_t frameCap)
{
    CRefusingDisk disk(refusal.from, refusal.folder, refusal.onlyThat);
    class CPlayer : public CGiveUpRoad
    {
    public:
        explicit CPlayer(CRefusingDisk& disk) : m_disk(disk) {}
        bool Finished(const e2e::SPlayView& view) const override
        {
            const bool done = CGiveUpRoad::Finished(view);
            if (done) m_disk.EndPlay();
            return done;
        }
        void OnFrame(const e2e::SPlayView& view) override
        {
            CGiveUpRoad::OnFrame(view);
            // The menus tell of a file they could not write in their own window.
            const bool telling = view.FindLine("保存に失敗") >= 0;
            if (telling && !m_telling) ++tellings;
            m_telling = telling;
        }
        int tellings = 0;

    private:
        CRefusingDisk& m_disk;
        bool m_telling = false;
    } player(disk);
    e2e::SRunOptions options;
    options.frameCap = frameCap;
    SRefusedPlay play;
    play.result = e2e::RunGame(player, options);
    const std::string root = home.Root().string();
    for (const std::string& what : disk.Writes())
        play.writes.push_back(what.starts_with(root) ? "<home>" + what.substr(root.size()) : what);
    play.refusedInPlay = disk.RefusedInPlay();
    play.windowTellings = player.tellings;
    return play;
}

std::string Utf8(const char* cp932)
{
    std::string utf8;
    platform::Cp932ToUtf8(cp932, utf8);
    return utf8;
}

// Each write to refuse first (or alone): every write of the road into the folder, but of a row of appends
// to one log only its first two and its last, as the turns between are alike.
std::vector<SRefusal> RefusalPoints(const std::vector<std::string>& writes, const std::string& folder,
                                    bool onlyThat)
{
    std::vector<SRefusal> points;
    const auto sameLog = [&](std::size_t a, std::size_t b) {
        return writes[a] == writes[b] && writes[a].ends_with(".act");
    };
    for (std::size_t i = 0; i < writes.size(); ++i) {
        const bool inside =
            i >= 2 && i + 1 < writes.size() && sameLog(i - 2, i) && sameLog(i - 1, i) && sameLog(i, i + 1);
        if (!inside && writes[i].find(folder) != std::string::npos)
            points.push_back({folder, i + 1, onlyThat});
    }
    return points;
}

constexpr int kRefusalShards = 4;

// Which road a shard plays: the disk refusing every write from one on, or that write alone.
struct SRefusalShard
{
    bool oneWrite = false;
    int shard = 0;
};

void PrintTo(const SRefusalShard& s, std::ostream* out)
{
    *out << (s.oneWrite ? "one write, shard " : "from one write on, shard ") << s.shard;
}

std::vector<SRefusalShard> RefusalShards(bool oneWrite)
{
    std::vector<SRefusalShard> shards;
    for (int shard = 0; shard < kRefusalShards; ++shard)
        shards.push_back({oneWrite, shard});
    return shards;
}

// A failed write is never followed by a step that assumes it worked, and a write after it is tried again:
// with the disk refusing every write from any one on, or any one write alone, along the road of a new
// save, the start, a floor change, the suspend, the resume and the end of the run, the player is told
// (once for the one write: a sequence that fails shows one box), no resume in the program is refused,
// and the disk left resumes the run (or holds the state before it) in a program that starts on it.
class RefusedWritesTest : public ::testing::TestWithParam<SRefusalShard>
{};

TEST_P(RefusedWritesTest, EveryDiskARefusedWriteLeavesResumes)
{
    const SRefusalShard shard = GetParam();
    std::vector<std::string> writes;
    std::uint64_t frames = 0;
    {
        e2e::CTempHome home;
        const SRefusedPlay road = PlayRefused(home, {"", 0}, 2'000'000);
        ASSERT_TRUE(road.result.finished) << road.result.failure;
        ASSERT_TRUE(road.result.messageBoxes.empty()) << road.result.messageBoxes.front();
        writes = road.writes;
        frames = road.result.frames;
    }
    std::vector<SRefusal> points = RefusalPoints(writes, "", shard.oneWrite);
    ASSERT_GT(points.size(), 20u);
    if (!shard.oneWrite) {
        for (const char* folder : {"/exe/save/", "/exe/save/0000", "/data/"}) {
            const std::vector<SRefusal> some = RefusalPoints(writes, folder, false);
            points.insert(points.end(), some.begin(), some.end());
        }
        points.push_back({"", writes.size() + 1});
    }
    const std::string saving = Utf8("保存");
    const fs::path out =
        fs::path(MAROVELLIN_E2E_OUTPUT_DIR) /
        ((shard.oneWrite ? "one_refused_write_" : "refused_writes_") + std::to_string(shard.shard));
    fs::remove_all(out);
    // The road's writes in order, to find the one a failure names.
    {
        fs::create_directories(out);
        std::ofstream list(out / "writes.txt");
        for (std::size_t i = 0; i < writes.size(); ++i)
            list << i + 1 << " " << writes[i] << "\n";
    }
    for (std::size_t i = std::size_t(shard.shard); i < points.size(); i += kRefusalShards) {
        const SRefusal& refusal = points[i];
        const std::string refused = refusal.from <= writes.size() ? writes[refusal.from - 1] : "nothing";
        SCOPED_TRACE(refusal.onlyThat
                         ? "only the " + std::to_string(refusal.from) + "th write refused (" + refused + ")"
                         : "every write" + (refusal.folder.empty() ? "" : " into " + refusal.folder) +
                               " refused from the " + std::to_string(refusal.from) + "th on (" + refused +
                               ")");
        SDisk disk;
        {
            e2e::CTempHome home;
            const SRefusedPlay road = PlayRefused(home, refusal, frames * 2);
            int tellings = road.windowTellings;
            for (const std::string& box : road.result.messageBoxes) {
                // The game's boxes of a write that failed all speak of saving.
                const bool failure = box.find(saving) != std::string::npos;
                EXPECT_TRUE(failure) << "message box " << box;
                tellings += failure ? 1 : 0;
            }
            // A write the game makes again at once, after which the road writes as it did on a disk that
            // refused nothing, has failed nothing the player needs to hear of.
            const std::size_t n = refusal.from;
            const bool retried =
                refusal.onlyThat && road.writes.size() == writes.size() + 1 &&
                road.writes[n] == writes[n - 1] &&
                std::equal(writes.begin(), writes.begin() + std::ptrdiff_t(n), road.writes.begin()) &&
                std::equal(writes.begin() + std::ptrdiff_t(n), writes.end(),
                           road.writes.begin() + std::ptrdiff_t(n) + 1);
            if (road.refusedInPlay && !retried) {
                std::string next; // what the game wrote next, against the road on a disk that refused nothing
                for (std::size_t k = n; k < n + 3 && k < road.writes.size(); ++k)
                    next += "\n  " + road.writes[k] + (k < writes.size() ? " (road: " + writes[k] + ")" : "");
                EXPECT_GT(tellings, 0) << "the player was not told; the writes after the refused one (" +
                                              std::to_string(road.writes.size()) + " in all, road " +
                                              std::to_string(writes.size()) + "):"
                                       << next;
            }
            // One write refused fails one sequence, which tells of it once.
            if (refusal.onlyThat) {
                std::string shown;
                for (const std::string& box : road.result.messageBoxes)
                    shown += "\n  box " + box;
                EXPECT_LE(tellings, 1) << "the player was told " << tellings << " times ("
                                       << road.windowTellings << " in a menu window)" << shown;
            }
            disk = TakeDisk(home, out / std::to_string(i), refused);
        }
        ResumeDisk(disk);
        // Of the road refusing every write from one on, the first disk that fails tells all; each write
        // refused alone is a case of its own.
        if (HasFailure() && !refusal.onlyThat) break;
    }
}

INSTANTIATE_TEST_SUITE_P(Shards, RefusedWritesTest, ::testing::ValuesIn(RefusalShards(false)));
INSTANTIATE_TEST_SUITE_P(OneWriteShards, RefusedWritesTest, ::testing::ValuesIn(RefusalShards(true)));

// One run, one ranking record: a kill between the ranking's write and the camp's save leaves the run to
// be resumed, and the run ended again keeps the one record.
TEST(RankedRunTest, ARunEndedAgainAfterAResumeKeepsOneRecord)
{
    std::vector<SDisk> disks;
    {
        e2e::CTempHome home;
        CKillPoints points(home, fs::path(MAROVELLIN_E2E_OUTPUT_DIR) / "ranked_run");
        CGiveUpRoad road;
        const e2e::SRunResult result = e2e::RunGame(road);
        ASSERT_TRUE(result.finished) << result.failure;
        disks = points.Disks();
    }
    // The disk of a kill before the first change after the ranking's.
    const auto ranked = std::find_if(disks.begin(), disks.end(),
                                     [](const SDisk& disk) { return disk.before.ends_with("ranking.sav"); });
    ASSERT_NE(ranked, disks.end());
    ASSERT_NE(ranked + 1, disks.end());
    const SDisk& disk = *(ranked + 1);
    SCOPED_TRACE("a kill before the change of " + disk.before);
    e2e::CTempHome home;
    Restore(disk, home);
    CResumer player(true);
    e2e::SRunOptions options;
    options.frameCap = 20'000;
    const e2e::SRunResult result = e2e::RunGame(player, options);
    ASSERT_TRUE(result.finished) << result.failure;
    EXPECT_TRUE(player.AtCamp());
    EXPECT_TRUE(result.messageBoxes.empty());
    CRankingTable ranking;
    EXPECT_EQ(ranking.Count(1), 1);
}

} // namespace
