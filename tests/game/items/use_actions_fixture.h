#pragma once
// The item rules' test game with the heroine on a floor cell, a level scale, a listening sound player
// and a queue whose current record the use actions run from, phase by phase.

#include "game/items/item_rules_fixture.h"
#include "game/items/use_actions.h"
#include "game/support/sound_recorder.h"
#include "game/turn/action_queue.h"
#include "game/ui/message_numbers.h"

#include <string>
#include <utility>
#include <vector>

class UseActionsTest : public ItemRulesTest
{
protected:
    // A line of the message log and the sound it plays.
    using Line = std::pair<std::string, std::int32_t>;
    using LogLines = std::vector<Line>;

    void SetUp() override
    {
        ItemRulesTest::SetUp();
        game->soundEffects = &sounds;
        for (std::int32_t level = 1; level <= 99; ++level)
            game->experienceTable[std::size_t(level - 1)] = (level - 1) * 100;
        Heroine().hp = Heroine().maxHp = 20;
        Heroine().strength = Heroine().maxStrength = 10;
        Heroine().direction = 6;
        Floor(Heroine().x, Heroine().y);
    }
    // A new game for the next case of a table (the base's Fresh runs this SetUp).
    void Fresh()
    {
        sounds.played.clear();
        ItemRulesTest::Fresh();
    }

    CCharacterControl::SPlayer& Heroine() { return game->characters.player; }
    void Floor(std::int32_t x, std::int32_t y, std::uint8_t terrain = 5)
    {
        game->map.GetCell(std::uint32_t(x), std::uint32_t(y)).terrain = terrain;
    }
    // A hall of room floor from (10, 10) to (49, 29) around the heroine on (20, 20), facing right.
    void FloorHall()
    {
        for (std::int32_t y = 10; y < 30; ++y)
            for (std::int32_t x = 10; x < 50; ++x)
                Floor(x, y);
    }
    // The item as the use action's record names it; phase 0 comes next.
    void Start(std::int32_t kind, std::uint16_t item, std::uint16_t target = 0xFFFF)
    {
        queue.current.Reset();
        queue.current.kind = kind;
        queue.current.param1 = item;
        queue.current.param2 = target;
        mark = game->messageWindow.log.size();
    }
    // One phase of the handler.
    std::int32_t Phase(ActionHandler handler, std::int32_t step)
    {
        queue.step = step;
        return handler(queue, *game);
    }
    // Every phase from the next one until the handler is done; the number of phases run.
    std::int32_t RunToEnd(ActionHandler handler, std::int32_t from = 0)
    {
        std::int32_t step = from;
        while (Phase(handler, step) != 0 && step < 8)
            ++step;
        return step + 1 - from;
    }
    // The lines logged since the record was started (or since `Mark`).
    std::vector<Line> Lines() const
    {
        std::vector<Line> lines;
        std::size_t i = 0;
        for (const CMessageWindow::SLine& line : game->messageWindow.log)
            if (i++ >= mark) lines.emplace_back(line.text.c_str(), line.soundEffect);
        return lines;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> texts;
        for (const Line& line : Lines())
            texts.push_back(line.first);
        return texts;
    }
    void Mark() { mark = game->messageWindow.log.size(); }
    static std::string N(std::int32_t n) { return FormatColoredNumber(n).c_str(); }
    bool LiesUnderHeroine(std::uint16_t item)
    {
        const SMapCell& cell = game->map.GetCell(std::uint32_t(Heroine().x), std::uint32_t(Heroine().y));
        return cell.objectKind == kObjectItem && cell.objectId == item;
    }

    SoundRecorder sounds;
    CActionQueue queue;
    std::size_t mark = 0;
};
