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
#include <vector>

namespace e2e {

class CFloorPlayer;

// The state hashes of a run at moments that a replay and a resumed run reach alike (each taken once, so
// that the frames in between cost nothing):
// - "floor": a floor's end, taken on the first frame the dungeon or floor number shows the next floor:
//   the new floor's state with all the heroine carried from the floor left (the numbers recorded are
//   those of the floor left);
// - "left": the same on the first frame the heroine is out of the dungeon (the run ended or was
//   suspended, a replay ended);
// - "suspend": the frame the road player confirms the suspend, the menu over the floor;
// - "rerun": the first frame after a silent re-run ended (play mode 1 back to 0);
// - "run": the first frame the end-of-run screen (menu state 76) shows;
// - "exit": the state the heroine left a floor in, on the first frame the game-main scene's floor change
//   runs or her HP is 0 or below. This is the floor's end that a replay must reach: a replay's "floor" is
//   the next floor as the run's own snapshot gives it, and by then the replay may have started that
//   floor's first logged command (the frame a floor starts on runs the turn loop, and a replay has its
//   next command at hand where a player answers on a later frame).
// Frames of a silent re-run record nothing else. A replay's records carry "replay-" before the name.
// The same moments as they happen, for a caller that hashes the state itself. A floor's end ("floor", or
// "left" when the heroine left the dungeon other than by the suspend) is FloorEnd, a replay's
// ReplayFloorEnd.
enum class EMoment
{
    FloorEnd,
    Suspend,
    Resumed,
    RunEnd,
    ReplayFloorEnd,
    ReplayEnd,
    FloorExit,
    ReplayFloorExit,
};

struct SMoment
{
    EMoment moment;
    std::int32_t dungeon;
    std::int32_t floor;
    const SGameResource& game;
};

struct SRecordedHash
{
    std::string moment;
    std::int32_t dungeon = 0;
    std::int32_t floor = 0;
    std::uint32_t hash = 0;

    friend bool operator==(const SRecordedHash&, const SRecordedHash&) = default;
};

class CHashRecorder
{
public:
    // After every frame (the harness's observer).
    void Observe(const SPlayView& view);
    const std::vector<SRecordedHash>& Hashes() const { return m_hashes; }
    // One line a record: moment, dungeon, floor and the hash in hexadecimal.
    std::string Format() const;
    // The road player's suspend.
    void AddSuspend(const SGameResource& game);
    // Called at each moment with the state, before its hash is recorded.
    void SetMomentHandler(std::function<void(const SMoment&)> handler) { m_onMoment = std::move(handler); }
    // Whether a "left" moment is the suspend's (not a floor's end).
    void SetSuspending(bool suspending) { m_suspending = suspending; }

private:
    void Add(const char* moment, std::int32_t dungeon, std::int32_t floor, const SGameResource& game,
             bool replay);

    std::function<void(const SMoment&)> m_onMoment;
    bool m_suspending = false;

    std::vector<SRecordedHash> m_hashes;
    bool m_have = false;
    bool m_lastReplay = false;
    bool m_inReplay = false;
    std::int32_t m_lastDungeon = 0;
    std::int32_t m_lastFloor = 0;
    std::int32_t m_lastPlayMode = 0;
    bool m_runEndSeen = false;
    bool m_descending = false;
    bool m_fallen = false;
};

struct SRoadOptions
{
    bool suspend = true;            // suspend on floor 2 and resume from the title
    bool afterwards = true;         // the ranking and the replay after the run
    std::int32_t suspendTurns = 50; // turns on floor 2 before the suspend
    std::int32_t giveUpTurns = -1;  // turns on floor 2 after the resume before the run is given up (-1 never)
};

class CRoadPlayer : public IPlayer
{
public:
    explicit CRoadPlayer(SRoadOptions options = {});
    ~CRoadPlayer() override;

    std::uint32_t NextKeys(const SPlayView& view) override;
    bool Finished(const SPlayView& view) const override;
    std::string Describe() const override;
    // Where the suspend's hash goes.
    void SetRecorder(CHashRecorder* recorder) { m_recorder = recorder; }
    // The moments of the run as they happen (the player's own recorder, fed on every frame).
    void SetMomentHandler(std::function<void(const SMoment&)> handler)
    {
        m_ownRecorder.SetMomentHandler(std::move(handler));
        if (m_recorder == nullptr) m_recorder = &m_ownRecorder;
    }
    void OnFrame(const SPlayView& view) override
    {
        if (m_recorder == &m_ownRecorder) m_ownRecorder.Observe(view);
    }

    // What the road went through.
    bool Suspended() const { return m_suspended; }
    bool Resumed() const { return m_resumed; }
    bool RunEnded() const { return m_runEnded; }
    bool RankingSeen() const { return m_rankingSeen; }
    // Back at the camp's menu after the run ended.
    bool BackAtCamp() const { return m_backAtCamp; }
    bool ReplayWatched() const { return m_replayEnded; }
    // The ranking's lines as shown for the dungeon (CP932), read when the ranking was seen.
    const std::vector<std::string>& RankingLines() const { return m_rankingLines; }
    // The end-of-run screen's lines (CP932), read when it first showed.
    const std::vector<std::string>& RunEndLines() const { return m_runEndLines; }

private:
    // The keys that bring the cursor of the active window to the line holding `text` and then decide; 0
    // while no such line shows.
    static std::uint32_t Choose(const SPlayView& view, const std::string& text);
    std::uint32_t OnMenu(const SPlayView& view);
    std::uint32_t OnFloor(const SPlayView& view);
    std::uint32_t OnNameEntry(const SPlayView& view);
    void Observe(const SPlayView& view);

    SRoadOptions m_options;
    std::unique_ptr<CFloorPlayer> m_floor;
    std::string m_doing = "the title";
    bool m_saveMade = false;
    bool m_inRun = false;
    bool m_suspending = false;
    bool m_givingUp = false;
    bool m_suspended = false;
    bool m_resumed = false;
    bool m_runEnded = false;
    bool m_backAtCamp = false;
    bool m_rankingSeen = false;
    bool m_replaying = false;
    bool m_replayStarted = false;
    bool m_replayEnded = false;
    bool m_done = false;
    std::int32_t m_dungeon = 0;
    std::int32_t m_floorNumber = 0;
    bool m_floorPending = false;
    std::vector<std::string> m_rankingLines;
    std::vector<std::string> m_runEndLines;
    CHashRecorder* m_recorder = nullptr;
    CHashRecorder m_ownRecorder;
    bool m_suspendRecorded = false;
};

} // namespace e2e
