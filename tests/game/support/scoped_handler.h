#pragma once
// Puts a test's handler into the action handler table for one kind and takes it out again at the end of
// the scope, restoring the entry it replaced.

#include "game/turn/action_queue.h"

#include <cstdint>

class ScopedActionHandler
{
public:
    ScopedActionHandler(std::int32_t kind, ActionHandler handler)
        : m_kind(kind), m_previous(RegisterActionHandler(kind, handler))
    {}
    ~ScopedActionHandler() { RegisterActionHandler(m_kind, m_previous); }
    ScopedActionHandler(const ScopedActionHandler&) = delete;
    ScopedActionHandler& operator=(const ScopedActionHandler&) = delete;

private:
    std::int32_t m_kind;
    ActionHandler m_previous;
};
