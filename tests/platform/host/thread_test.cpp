#include "platform/host/thread.h"
#include "support/wait.h"

#include <atomic>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

struct Probe
{
    std::atomic<platform::ThreadId> seen{0};
    platform::ThreadHandle* self = nullptr;
    std::atomic<bool> selfJoinRefused{false};
};

void RecordId(void* p)
{
    static_cast<Probe*>(p)->seen = platform::CurrentThreadId();
}

TEST(PlatformThread, IdsAreNeverReservedOrReused)
{
    std::set<platform::ThreadId> ids{platform::CurrentThreadId()};
    EXPECT_EQ(platform::CurrentThreadId(), platform::CurrentThreadId());
    for (int i = 0; i < 20; ++i) {
        Probe probe;
        platform::ThreadId reported = 0;
        platform::ThreadHandle* h = platform::CreateThread(&RecordId, &probe, 0, &reported);
        ASSERT_NE(h, nullptr);
        ASSERT_TRUE(platform::JoinThread(h));
        EXPECT_EQ(probe.seen.load(), reported);
        EXPECT_EQ(platform::GetThreadIdOf(h), reported);
        EXPECT_TRUE(platform::JoinThread(h)); // an ended thread can be waited for again
        platform::CloseThreadHandle(h);
        EXPECT_NE(reported, 0u);
        EXPECT_NE(reported, platform::kNoThreadId);
        EXPECT_TRUE(ids.insert(reported).second) << "id reused: " << reported;
    }
}

TEST(PlatformThread, StackSizeIsHonoured)
{
    Probe probe;
    auto deep = [](void* p) {
        volatile char buffer[600 * 1024];
        buffer[0] = 1;
        buffer[sizeof buffer - 1] = buffer[0];
        RecordId(p);
    };
    platform::ThreadHandle* h = platform::CreateThread(deep, &probe, 2 * 1024 * 1024, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(platform::JoinThread(h));
    platform::CloseThreadHandle(h);
    EXPECT_NE(probe.seen.load(), 0u);
}

TEST(PlatformThread, AThreadCannotJoinItself)
{
    Probe probe;
    std::atomic<platform::ThreadHandle*> handle{nullptr};
    struct Ctx
    {
        std::atomic<platform::ThreadHandle*>* handle;
        Probe* probe;
    } ctx{&handle, &probe};
    auto body = [](void* p) {
        auto* c = static_cast<Ctx*>(p);
        if (!test_support::WaitUntil([&] { return c->handle->load() != nullptr; }, "the thread's own handle"))
            return;
        c->probe->selfJoinRefused = !platform::JoinThread(c->handle->load());
    };
    platform::ThreadHandle* h = platform::CreateThread(body, &ctx, 0, nullptr);
    ASSERT_NE(h, nullptr);
    handle = h;
    EXPECT_TRUE(platform::JoinThread(h));
    platform::CloseThreadHandle(h);
    EXPECT_TRUE(probe.selfJoinRefused.load());
}

} // namespace
