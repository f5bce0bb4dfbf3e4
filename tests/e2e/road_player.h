#pragma once
// The road player: from the title through a new save, the camp and a whole run of the first dungeon,
// suspended on floor 2 and resumed from the title, to the end of the run, the saving of its replay, the
// dungeon's ranking and the replay watched from its file. It reads only what the game shows, never the
// generator or a clock, so the same states always give the same keys.

#include "e2e/e2e_harness.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace e2e {

// The moments of a run at which its state is recorded. Each is the first frame, after the moment, on
// which the game-main scene is current with no command pending, so that a replay and a resumed run reach
// the same moments: a floor's end is taken on the frame the next floor (or the end of the run) shows.
enum class EMoment
{
    FloorEnd, // the heroine left the floor (the floor and dungeon recorded are those of the floor left)
    Suspend,  // the suspend save was written
    Resumed,  // the silent re-run of the suspend save ended
    RunEnd,   // the run ended (death, the clear or giving up): the end-of-run screen shows
    ReplayFloorEnd,
    ReplayEnd,
};

struct SMoment
{
    EMoment moment;
    std::int32_t dungeon;
    std::int32_t floor;
    const SGameResource& game;
};

struct SRoadOptions
{
    bool suspend = true;            // suspend on floor 2 and resume from the title
    bool afterwards = true;         // the ranking and the replay after the run
    std::int32_t suspendTurns = 50; // turns on floor 2 before the suspend
};

class CRoadPlayer : public IPlayer
{
public:
    explicit CRoadPlayer(SRoadOptions options = {});
    ~CRoadPlayer() override;

    // Called at each recorded moment.
    void SetMomentHandler(std::function<void(const SMoment&)> handler) { m_onMoment = std::move(handler); }

    std::uint32_t NextKeys(const SPlayView& view) override;
    bool Finished(const SPlayView& view) const override;
    std::string Describe() const override;

    // What the road went through.
    bool Suspended() const { return m_suspended; }
    bool Resumed() const { return m_resumed; }
    bool RunEnded() const { return m_runEnded; }
    bool RankingSeen() const { return m_rankingSeen; }
    bool ReplayWatched() const { return m_replayEnded; }
    // The ranking's lines as shown for the dungeon (CP932), read when the ranking was seen.
    const std::vector<std::string>& RankingLines() const { return m_rankingLines; }

private:
    class CFloorStandIn;

    // The keys that bring the cursor of the active window to the line holding `text` and then decide; 0
    // while no such line shows.
    static std::uint32_t Choose(const SPlayView& view, const std::string& text);
    std::uint32_t OnMenu(const SPlayView& view);
    std::uint32_t OnFloor(const SPlayView& view);
    std::uint32_t OnNameEntry(const SPlayView& view);
    void Observe(const SPlayView& view);
    void Record(EMoment moment, const SPlayView& view, std::int32_t dungeon, std::int32_t floor);

    SRoadOptions m_options;
    std::unique_ptr<CFloorStandIn> m_floor;
    std::function<void(const SMoment&)> m_onMoment;
    std::string m_doing = "the title";
    bool m_saveMade = false;
    bool m_inRun = false;
    bool m_suspending = false;
    bool m_suspended = false;
    bool m_resumed = false;
    bool m_runEnded = false;
    bool m_backAtCamp = false;
    bool m_rankingSeen = false;
    bool m_replaying = false;
    bool m_replayEnded = false;
    bool m_done = false;
    std::int32_t m_dungeon = 0;
    std::int32_t m_floorNumber = 0;
    bool m_floorPending = false;
    std::vector<std::string> m_rankingLines;
};

} // namespace e2e
