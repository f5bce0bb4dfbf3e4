#pragma once
// Runs a function when the scope that holds the guard ends, by whichever exit.

#include <utility>

namespace zelvoranGameSDK3rd::ZTL {

template <class F> class scope_guard
{
public:
    explicit scope_guard(F onExit) : m_onExit(std::move(onExit)) {}
    scope_guard(const scope_guard&) = delete;
    scope_guard& operator=(const scope_guard&) = delete;
    ~scope_guard() { m_onExit(); }

private:
    F m_onExit;
};

} // namespace zelvoranGameSDK3rd::ZTL
