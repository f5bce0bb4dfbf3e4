#pragma once
// The messages added to the game's message window since the recorder was made, each line as the window
// logged it (colour codes kept).

#include "game/app/game_resource.h"

#include <cstddef>
#include <string>
#include <vector>

class MessageRecorder
{
public:
    explicit MessageRecorder(SGameResource& game) : m_game(game), m_start(Count()) {}

    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::size_t i = 0;
        for (const CMessageWindow::SLine& line : m_game.messageWindow.log)
            if (i++ >= m_start) lines.emplace_back(line.text.c_str());
        return lines;
    }
    // All lines joined by "\n".
    std::string Text() const
    {
        std::string text;
        for (const std::string& line : Lines())
            text += (text.empty() ? "" : "\n") + line;
        return text;
    }

private:
    std::size_t Count() const { return m_game.messageWindow.log.size(); }

    SGameResource& m_game;
    std::size_t m_start;
};
