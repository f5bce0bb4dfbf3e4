#include "e2e/road_player.h"

#include "game/app/scene_control.h"
#include "game/scenes/menu_scene.h"
#include "game/ui/select_window.h"
#include "game/world/map_control.h"
#include "platform/host/encoding.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <sstream>

namespace e2e {

namespace {

constexpr std::int32_t kNameEntryState = 93;
constexpr std::int32_t kRunEndState = 76;
constexpr std::int32_t kReplaySaveState = 78;
constexpr std::int32_t kFirstDungeon = 1;

// The direction keys by step: up, left, down, right, then the diagonals.
constexpr std::uint32_t kKeyUpLeft = 1u << 12;
constexpr std::uint32_t kKeyUpRight = 1u << 13;
constexpr std::uint32_t kKeyDownLeft = 1u << 14;
constexpr std::uint32_t kKeyDownRight = 1u << 15;

std::uint32_t StepKey(std::int32_t dx, std::int32_t dy)
{
    if (dy < 0) return dx < 0 ? kKeyUpLeft : dx > 0 ? kKeyUpRight : kKeyUp;
    if (dy > 0) return dx < 0 ? kKeyDownLeft : dx > 0 ? kKeyDownRight : kKeyDown;
    return dx < 0 ? kKeyLeft : kKeyRight;
}

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

// Stand-in: e2e::CFloorPlayer replaces this; it only walks the shortest path to the stairs, attacking
// what stands in the way, and takes them.
class CRoadPlayer::CFloorStandIn
{
public:
    std::uint32_t NextKeys(const SPlayView& view)
    {
        const SGameResource& game = *view.game;
        if (HasLine(view, "降りる")) return Choose(view, "降りる");
        if (view.scene != kSceneGameMain) return kKeyCancel;
        const auto& player = game.characters.player;
        const CMapControl& map = game.map;
        const auto walkable = [&](std::int32_t x, std::int32_t y) {
            return CMapControl::IsOnMap(x, y) &&
                   map.cells[std::size_t(x * CMapControl::kHeight + y)].terrain >= 5;
        };
        // Breadth first from the stairs, so that each cell knows its step toward them.
        std::array<std::int32_t, CMapControl::kWidth * CMapControl::kHeight> distance;
        distance.fill(-1);
        std::deque<std::pair<std::int32_t, std::int32_t>> open;
        distance[std::size_t(map.stairsX * CMapControl::kHeight + map.stairsY)] = 0;
        open.emplace_back(map.stairsX, map.stairsY);
        while (!open.empty()) {
            const auto [x, y] = open.front();
            open.pop_front();
            for (std::int32_t dy = -1; dy <= 1; ++dy)
                for (std::int32_t dx = -1; dx <= 1; ++dx) {
                    const std::int32_t nx = x + dx, ny = y + dy;
                    if ((dx == 0 && dy == 0) || !walkable(nx, ny)) continue;
                    if (dx != 0 && dy != 0 && (!walkable(x + dx, y) || !walkable(x, y + dy))) continue;
                    std::int32_t& d = distance[std::size_t(nx * CMapControl::kHeight + ny)];
                    if (d >= 0) continue;
                    d = distance[std::size_t(x * CMapControl::kHeight + y)] + 1;
                    open.emplace_back(nx, ny);
                }
        }
        const std::int32_t here = distance[std::size_t(player.x * CMapControl::kHeight + player.y)];
        if (here == 0) return kKeyDecide; // on the stairs: the prompt comes with the underfoot command
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx) {
                const std::int32_t nx = player.x + dx, ny = player.y + dy;
                if ((dx == 0 && dy == 0) || !walkable(nx, ny)) continue;
                if (dx != 0 && dy != 0 &&
                    (!walkable(player.x + dx, player.y) || !walkable(player.x, player.y + dy)))
                    continue;
                const std::int32_t d = distance[std::size_t(nx * CMapControl::kHeight + ny)];
                if (d >= 0 && d < here) return StepKey(dx, dy);
            }
        return kKeyDecide;
    }
    void OnNewFloor() {}
};

CRoadPlayer::CRoadPlayer(SRoadOptions options)
    : m_options(options), m_floor(std::make_unique<CFloorStandIn>())
{}

CRoadPlayer::~CRoadPlayer() = default;

std::uint32_t CRoadPlayer::Choose(const SPlayView& view, const std::string& text)
{
    const std::int32_t line = view.FindLine(text);
    if (line < 0) return 0;
    if (view.cursor == line) return kKeyDecide;
    return view.cursor < line ? kKeyDown : kKeyUp;
}

void CRoadPlayer::Record(EMoment moment, const SPlayView& view, std::int32_t dungeon, std::int32_t floor)
{
    if (m_onMoment) m_onMoment(SMoment{moment, dungeon, floor, *view.game});
}

void CRoadPlayer::Observe(const SPlayView& view)
{
    if (Trace()) {
        static std::string last;
        std::ostringstream line;
        line << "scene " << view.scene << " menu " << view.menuState << " type " << view.windowType
             << " cursor " << view.cursor << " d" << view.game->dungeon << "f" << view.game->floor << " [";
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
    if (m_inRun && !m_suspending) return OnFloor(view);
    if (m_suspending) {
        if (HasLine(view, "中断")) return Choose(view, "中断");
        if (HasLine(view, "設定")) return Choose(view, "設定");
    }
    if (view.menuState == kReplaySaveState) return AnswerYes(view);
    if (HasLine(view, "拠点に戻る")) return Choose(view, "拠点に戻る");
    return kKeyDecide;
}

std::uint32_t CRoadPlayer::OnFloor(const SPlayView& view)
{
    const SGameResource& game = *view.game;
    if (!m_suspending && !m_suspended && m_options.suspend && game.floor == 2 &&
        game.floorTime / 6 >= m_options.suspendTurns && view.scene == kSceneGameMain) {
        m_suspending = true;
        m_doing = "suspending";
        return kKeyMenu;
    }
    if (m_suspending) return view.scene == kSceneGameMain ? kKeyMenu : OnMenu(view);
    m_doing = "playing a floor";
    return m_floor->NextKeys(view);
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
        m_runEnded = true;
    }
    switch (view.scene) {
    case kSceneGameMain:
        if (m_inRun) return OnFloor(view);
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

} // namespace e2e
