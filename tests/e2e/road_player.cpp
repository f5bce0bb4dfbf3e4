#include "e2e/road_player.h"

#include "e2e/floor_player.h"
#include "e2e/state_hash.h"

#include "game/app/scene_control.h"
#include "game/core/play_mode.h"
#include "game/scenes/menu_scene.h"
#include "game/ui/select_window.h"
#include "platform/host/encoding.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace e2e {

namespace {

constexpr std::int32_t kNameEntryState = 93;
constexpr std::int32_t kRunEndState = 76;
constexpr std::int32_t kReplaySaveState = 78;
constexpr std::int32_t kFirstDungeon = 1;
// The ranking: the dungeon list, the list of places and one place's record.
constexpr std::int32_t kRankingDungeonState = 73;
constexpr std::int32_t kRankingListState = 74;
constexpr std::int32_t kRankingRecordState = 75;

bool HasLine(const SPlayView& view, const char* text)
{
    return view.FindLine(text) >= 0;
}

bool IsYesNo(const SPlayView& view)
{
    return view.windowType == CSelectWindow::kTypeYesNo;
}

// はい on a Yes/No window: nothing is selected until a direction key.
std::uint32_t AnswerYes(const SPlayView& view)
{
    return view.cursor == 0 ? kKeyDecide : kKeyUp;
}

bool Trace()
{
    static const bool on = std::getenv("MAROVELLIN_E2E_TRACE") != nullptr;
    return on;
}

} // namespace

CRoadPlayer::CRoadPlayer(SRoadOptions options) : m_options(options), m_floor(std::make_unique<CFloorPlayer>())
{
    // Floor 2 lasts the turns of the suspend at least, so that the run is suspended there; a play that
    // never suspends holds it as long, so that it plays the same turns as one that does.
    m_floor->HoldOnFloor(2, m_options.suspendTurns);
}

CRoadPlayer::~CRoadPlayer() = default;

std::uint32_t CRoadPlayer::Choose(const SPlayView& view, const std::string& text)
{
    const std::int32_t line = view.FindLine(text);
    if (line < 0) return 0;
    if (view.cursor == line) return kKeyDecide;
    if (view.windowType == CSelectWindow::kTypeCommandMenu && view.cursor >= 0) {
        // Two columns: across first, then along the column.
        const std::int32_t rows = std::int32_t(view.lines.size() + 1) / 2;
        if (view.cursor / rows != line / rows) return view.cursor / rows < line / rows ? kKeyRight : kKeyLeft;
    }
    return view.cursor < line ? kKeyDown : kKeyUp;
}

void CRoadPlayer::Observe(const SPlayView& view)
{
    if (Trace()) {
        static std::string last;
        std::ostringstream line;
        line << "scene " << view.scene << " menu " << view.menuState << " type " << view.windowType
             << " cursor " << view.cursor << " d" << view.game->dungeon << "f" << view.game->floor << " t"
             << view.game->floorTime << " w" << int(view.game->waitForKey) << " [";
        for (const std::string& text : view.lines) {
            std::string utf8;
            platform::Cp932ToUtf8(text, utf8);
            line << utf8 << "|";
        }
        line << "]";
        if (line.str() != last)
            std::fprintf(stderr, "%llu %s\n", (unsigned long long)view.frame, line.str().c_str());
        last = line.str();
    }
}

std::uint32_t CRoadPlayer::OnNameEntry(const SPlayView& view)
{
    m_doing = "naming the save";
    // Three kana of the hiragana table's first row, then the decide command of the command row.
    const CSceneMenu& menu = *view.menu;
    std::int32_t row = 1, column = menu.entryCursor;
    if (menu.entryCursor >= 3 || menu.tableSet != 0) {
        row = 0;
        column = menu.tableSet != 0 ? 0 : 4;
    }
    if (menu.tableRow != row) return menu.tableRow < row ? kKeyDown : kKeyUp;
    if (menu.tableColumn != column) return menu.tableColumn < column ? kKeyRight : kKeyLeft;
    if (row == 0 && column == 4) m_saveMade = true;
    return kKeyDecide;
}

std::uint32_t CRoadPlayer::OnMenu(const SPlayView& view)
{
    if (view.menuState == kNameEntryState) return OnNameEntry(view);
    if (view.menuState >= kRankingDungeonState && view.menuState <= kRankingRecordState) {
        // The first dungeon's first place is read, then every screen goes back with cancel.
        if (view.menuState == kRankingRecordState && !m_rankingSeen) {
            m_rankingSeen = true;
            m_rankingLines = view.lines;
        }
        if (m_rankingSeen) return kKeyCancel;
        if (view.menuState == kRankingDungeonState) return Choose(view, "初心の道");
        return view.cursor == 0 ? kKeyDecide : kKeyUp;
    }
    if (IsYesNo(view)) return AnswerYes(view);
    // The data menu of the title.
    if (HasLine(view, "新しくデータを作る")) {
        if (!m_saveMade) {
            m_doing = "making a new save";
            return Choose(view, "新しくデータを作る");
        }
        if (m_suspended && !m_resumed) {
            m_doing = "resuming";
            return Choose(view, "冒険の続きから");
        }
        if (m_backAtCamp && !m_rankingSeen) {
            m_doing = "the ranking";
            return Choose(view, "ランキング");
        }
        if (m_rankingSeen && !m_replaying) {
            m_doing = "the replay";
            return Choose(view, "リプレイ");
        }
        return kKeyCancel;
    }
    // The save list (three lines an entry): the one save.
    if (view.windowType == CSelectWindow::kTypeSaveDataList) return view.cursor == 0 ? kKeyDecide : kKeyUp;
    if (HasLine(view, "ダンジョンの続きから")) return Choose(view, "ダンジョンの続きから");
    if (HasLine(view, "ファイルから再生")) {
        m_replaying = true;
        return Choose(view, "ファイルから再生");
    }
    if (HasLine(view, "ダンジョンへ向かう")) {
        if (!m_runEnded) {
            m_doing = "going to the dungeon";
            return Choose(view, "ダンジョンへ向かう");
        }
        m_backAtCamp = true;
        m_doing = "leaving the camp";
        return Choose(view, "セーブして中断");
    }
    if (HasLine(view, "初心の道") && !m_inRun && !m_runEnded) return Choose(view, "初心の道");
    if (m_givingUp) {
        if (HasLine(view, "冒険を諦める")) return Choose(view, "冒険を諦める");
        if (HasLine(view, "設定")) return Choose(view, "設定");
        return kKeyDecide;
    }
    if (m_inRun && !m_suspending) return OnFloor(view);
    if (m_suspending) {
        if (HasLine(view, "中断")) {
            const std::uint32_t keys = Choose(view, "中断");
            if (keys == kKeyDecide && m_recorder != nullptr && !m_suspendRecorded) {
                m_suspendRecorded = true;
                m_recorder->AddSuspend(*view.game);
            }
            return keys;
        }
        if (HasLine(view, "設定")) return Choose(view, "設定");
    }
    if (view.menuState == kReplaySaveState) return AnswerYes(view);
    if (HasLine(view, "拠点に戻る")) return Choose(view, "拠点に戻る");
    return kKeyDecide;
}

std::uint32_t CRoadPlayer::OnFloor(const SPlayView& view)
{
    const SGameResource& game = *view.game;
    // On floor 2 once the run has lasted the turns asked (the floor player holds its stairs till then).
    if (!m_suspending && !m_suspended && m_options.suspend && game.floor == 2 &&
        m_floor->GetTurns(game) >= m_options.suspendTurns && view.scene == kSceneGameMain &&
        m_floor->GetGoal() == CFloorPlayer::kGoalNone) {
        m_suspending = true;
        m_doing = "suspending";
        return kKeyMenu;
    }
    if (m_suspending) return view.scene == kSceneGameMain ? kKeyMenu : OnMenu(view);
    if (m_options.giveUpTurns >= 0 && m_resumed && view.scene == kSceneGameMain &&
        game.playMode == kPlayNormal && game.floor == 2 && game.floorTime / 6 >= m_options.giveUpTurns &&
        m_floor->GetGoal() == CFloorPlayer::kGoalNone)
        m_givingUp = true;
    if (m_givingUp) {
        m_doing = "giving the run up";
        return view.scene == kSceneGameMain ? kKeyMenu : OnMenu(view);
    }
    m_doing = "playing a floor";
    return m_floor->NextKeys(game);
}

std::uint32_t CRoadPlayer::NextKeys(const SPlayView& view)
{
    Observe(view);
    const SGameResource& game = *view.game;
    if (view.scene == kSceneGameMain && game.dungeon == kFirstDungeon && !m_inRun && !m_runEnded) {
        m_inRun = true;
        m_dungeon = game.dungeon;
        m_floorNumber = game.floor;
    }
    if (m_suspending && view.scene == kSceneTitle) {
        m_suspending = false;
        m_suspended = true;
        m_inRun = false;
    }
    if (m_suspended && !m_resumed && view.scene == kSceneGameMain) {
        m_resumed = true;
        m_inRun = true;
    }
    if (m_inRun && view.menuState == kRunEndState) {
        m_inRun = false;
        m_givingUp = false;
        m_runEnded = true;
        m_runEndLines = view.lines;
    }
    if (m_replaying && view.scene == kSceneGameMain && game.playMode == kPlayReplay) {
        m_replayStarted = true;
        m_doing = "watching the replay";
    }
    if (m_replayStarted && (view.scene == kSceneTitle || HasLine(view, "新しくデータを作る"))) {
        m_replayEnded = true;
        m_done = true;
        return 0;
    }
    switch (view.scene) {
    case kSceneGameMain:
        if (m_inRun) return OnFloor(view);
        // The replay plays by itself; decide only moves its messages on (its last one waits for a key).
        if (m_replayStarted) return kKeyDecide;
        return kKeyDecide;
    case kSceneMenu:
        return OnMenu(view);
    case kSceneCamp:
        if (IsYesNo(view)) return AnswerYes(view);
        return kKeyDecide;
    default:
        return kKeyDecide;
    }
}

bool CRoadPlayer::Finished(const SPlayView& /*view*/) const
{
    return m_done;
}

std::string CRoadPlayer::Describe() const
{
    return m_doing;
}

void CHashRecorder::Add(const char* moment, std::int32_t dungeon, std::int32_t floor,
                        const SGameResource& game, bool replay)
{
    const std::string name = moment;
    if (m_onMoment) {
        EMoment kind = replay ? EMoment::ReplayFloorEnd : EMoment::FloorEnd;
        if (name == "suspend") kind = EMoment::Suspend;
        if (name == "rerun") kind = EMoment::Resumed;
        if (name == "run") kind = EMoment::RunEnd;
        if (replay && name == "left") kind = EMoment::ReplayEnd;
        if (name == "exit") kind = replay ? EMoment::ReplayFloorExit : EMoment::FloorExit;
        if (!(name == "left" && m_suspending)) m_onMoment(SMoment{kind, dungeon, floor, game});
    }
    m_hashes.push_back(
        SRecordedHash{std::string(replay ? "replay-" : "") + moment, dungeon, floor, ComputeStateHash(game)});
}

void CHashRecorder::Observe(const SPlayView& view)
{
    if (view.game == nullptr) return;
    const SGameResource& game = *view.game;
    const bool replay = game.playMode == kPlayReplay;
    const bool fallen = game.dungeon > 0 && game.characters.player.hp <= 0;
    const bool exits = (view.descending != 0 && !m_descending) || (fallen && !m_fallen);
    m_descending = view.descending != 0;
    m_fallen = fallen;
    if (m_lastPlayMode == kPlaySilentRerun && game.playMode == kPlayNormal && game.dungeon > 0)
        Add("rerun", game.dungeon, game.floor, game, false);
    m_lastPlayMode = game.playMode;
    if (game.playMode == kPlaySilentRerun) {
        m_have = false;
        return;
    }
    if (exits) Add("exit", game.dungeon, game.floor, game, replay || m_inReplay);
    if (view.menuState == kRunEndState && !m_runEndSeen) {
        m_runEndSeen = true;
        Add("run", game.dungeon, game.floor, game, false);
    }
    if (view.menuState != kRunEndState) m_runEndSeen = false;
    if (m_have && (game.dungeon != m_lastDungeon || game.floor != m_lastFloor)) {
        Add(game.dungeon > 0 ? "floor" : "left", m_lastDungeon, m_lastFloor, game, m_lastReplay);
        if (game.dungeon <= 0) {
            m_suspending = false;
            m_inReplay = false;
        }
    }
    // A replay ends in play mode 0 before the heroine leaves the floor: it stays a replay till then.
    if (replay) m_inReplay = true;
    m_have = game.dungeon > 0;
    m_lastReplay = m_inReplay;
    m_lastDungeon = game.dungeon;
    m_lastFloor = game.floor;
}

void CHashRecorder::AddSuspend(const SGameResource& game)
{
    Add("suspend", game.dungeon, game.floor, game, false);
    m_suspending = true;
}

std::string CHashRecorder::Format() const
{
    std::string text;
    char line[96];
    for (const SRecordedHash& record : m_hashes) {
        std::snprintf(line, sizeof line, "%s %d %d %08x\n", record.moment.c_str(), record.dungeon,
                      record.floor, record.hash);
        text += line;
    }
    return text;
}

} // namespace e2e
