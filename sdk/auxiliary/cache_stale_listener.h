#pragma once
// Counts what a load cache holds against a limit; every cache sets the limit to 0x7FFFFFFF.

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
    explicit CDefaultCacheStaleListener(std::int32_t limit = 0x7FFFFFFF) : limit_(limit) {}
    int Increment() override
    {
        ++count_;
        return 0;
    }
    int Decrement() override
    {
        --count_;
        return 0;
    }
    bool IsOverLimit() const override { return count_ > limit_; }
    std::int32_t GetCount() const { return count_; }
    void SetLimit(std::int32_t limit) { limit_ = limit; }

private:
    std::int32_t count_ = 0;
    std::int32_t limit_;
};

} // namespace zelvoranGameSDK3rd::Auxiliary
