#include "e2e/e2e_harness.h"

namespace e2e {

std::int32_t CGameState::FindLine(const std::string& text) const
{
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].find(text) != std::string::npos) return static_cast<std::int32_t>(i);
    return -1;
}

} // namespace e2e
