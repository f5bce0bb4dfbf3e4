#pragma once
// Counts the objects a load cache holds against a limit; past it, the cache lets the least recently used
// ones go. The limit is 0x7FFFFFFF unless the cache's owner sets another.

#include <cstdint>

namespace zelvoranGameSDK3rd::Auxiliary {

class ICacheStaleListener
{
public:
    virtual int Increment() = 0;
    virtual int Decrement() = 0;
    virtual bool IsOverLimit() const = 0;
    virtual ~ICacheStaleListener() = default;
};

class CDefaultCacheStaleListener : public ICacheStaleListener
{
public:
    explicit CDefaultCacheStaleListener(std::int32_t limit = 0x7FFFFFFF) : m_limit(limit) {}
    int Increment() override
    {
        ++m_count;
        return 0;
    }
    int Decrement() override
    {
        --m_count;
        return 0;
    }
    bool IsOverLimit() const override { return m_count > m_limit; }
    std::int32_t GetCount() const { return m_count; }
    void SetLimit(std::int32_t limit) { m_limit = limit; }

private:
    std::int32_t m_count = 0;
    std::int32_t m_limit;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
