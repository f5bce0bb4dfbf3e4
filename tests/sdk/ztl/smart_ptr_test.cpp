#include "sdk/ztl/callback.h"
#include "sdk/ztl/exception.h"
#include "sdk/ztl/smart_ptr.h"

#include <gtest/gtest.h>

#include <string>

namespace ztl = zelvoranGameSDK3rd::ZTL;
using ztl::smart_ptr;

namespace {

struct Tracked
{
    explicit Tracked(int* deaths) : deaths(deaths) {}
    virtual ~Tracked() { ++*deaths; }
    int* deaths;
    int value = 5;
};

struct Derived : Tracked
{
    using Tracked::Tracked;
    int extra = 9;
};

template <class E, class F> std::string messageOf(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.getMessage().GetCString();
    }
    return "(nothing raised)";
}

TEST(SmartPtr, CopiesShareTheHolderAndTheLastReleaseDeletes)
{
    int deaths = 0;
    smart_ptr<Tracked> a;
    a.add(new Tracked(&deaths));
    EXPECT_EQ(a.getRefCount(), 1);
    smart_ptr<Tracked> b(a);
    EXPECT_EQ(a.getRefCount(), 2);
    a.release();
    EXPECT_TRUE(a.isNull());
    EXPECT_EQ(b.getRefCount(), 1);
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(b->value, 5);
    b.release();
    EXPECT_EQ(deaths, 1);
    b.release(); // no holder: nothing
    EXPECT_EQ(deaths, 1);
}

TEST(SmartPtr, AssignmentReleasesTheOldObject)
{
    int deaths = 0;
    smart_ptr<Tracked> a(new Tracked(&deaths));
    smart_ptr<Tracked> b(new Tracked(&deaths));
    a = b;
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(b.getRefCount(), 2);
    a = a;
    EXPECT_EQ(a.getRefCount(), 2);
    a.add(new Tracked(&deaths)); // re-attaching drops the shared reference
    EXPECT_EQ(b.getRefCount(), 1);
    smart_ptr<Tracked> empty;
    a = empty;
    EXPECT_EQ(deaths, 2);
    EXPECT_TRUE(a.isNull());
}

TEST(SmartPtr, NotOwnedHolderNeverDeletes)
{
    int deaths = 0;
    Tracked local(&deaths);
    {
        smart_ptr<Tracked> p;
        p.add(&local, false);
        smart_ptr<Tracked> q(p);
        EXPECT_EQ(q->value, 5);
    }
    EXPECT_EQ(deaths, 0);
}

TEST(SmartPtr, DerivedObjectDiesThroughItsOwnDestructor)
{
    int deaths = 0;
    {
        smart_ptr<Derived> d(new Derived(&deaths));
        smart_ptr<Tracked> base(d);
        EXPECT_EQ(base.getRefCount(), 2);
        d.release();
        EXPECT_EQ(base->value, 5);
    }
    EXPECT_EQ(deaths, 1);
}

TEST(SmartPtr, GuardedAccess)
{
    smart_ptr<Tracked> empty;
    EXPECT_EQ(messageOf<ztl::CNullPointerException>([&] { (void)empty->value; }),
              "Null pointerからのアクセス");

    smart_ptr<int> ints;
    ints.resetIntArray(3);
    ints[0] = 10;
    ints[2] = 30;
    EXPECT_EQ(ints[2], 30);
    EXPECT_EQ(messageOf<ztl::CIndexOutOfBoundsException>([&] { (void)ints[3]; }),
              "配列範囲外へのメモリへのアクセス");
    ints.setIndex(2);
    EXPECT_EQ(*ints, 30);
    EXPECT_THROW((void)ints[1], ztl::CIndexOutOfBoundsException);
    ints.setIndex(3);
    EXPECT_THROW((void)*ints, ztl::CIndexOutOfBoundsException);

    ints.resetIntArray(0);
    EXPECT_THROW((void)ints[0], ztl::CNullPointerException);

    smart_ptr<bool> flags;
    flags.resetBoolArray(2);
    flags[1] = true;
    EXPECT_TRUE(flags[1]);

    // An array attached with no elements has no holder: the pointer is set but every access is out of range.
    int raw[1] = {0};
    smart_ptr<int> unheld;
    unheld.addArray(raw, 0);
    EXPECT_EQ(unheld.getRefCount(), 0);
    EXPECT_THROW((void)*unheld, ztl::CIndexOutOfBoundsException);
}

TEST(Exceptions, Messages)
{
    EXPECT_STREQ(ztl::CException().getMessage().GetCString(), "");
    EXPECT_STREQ(ztl::CRuntimeException(ztl::basic_string()).getMessage().GetCString(),
                 "実行時例外（範囲外の数値が指定されている)");
    ztl::CRuntimeException original("boom");
    ztl::CRuntimeException copy(original);
    EXPECT_STREQ(copy.getMessage().GetCString(), "boom");
    EXPECT_STREQ(ztl::CSyntaxException("bad").getMessage().GetCString(), "bad");
    EXPECT_STREQ(ztl::CInterruptedException().getMessage().GetCString(), "InterruptedException例外が発生");
    EXPECT_STREQ(ztl::CIllegalMonitorStateException().getMessage().GetCString(),
                 "CIllegalMonitorStateException例外が発生");
    // Thrown kinds are caught through the family's base.
    EXPECT_EQ(messageOf<ztl::CException>([] { throw ztl::CInterruptedException(); }),
              "InterruptedException例外が発生");
}

struct Counter
{
    int calls = 0;
    int last = 0;
    void tick() { ++calls; }
    void add(int n)
    {
        ++calls;
        last = n;
    }
    bool isPositive(int n) { return n > 0; }
};

int globalCalls = 0;
void globalTick()
{
    ++globalCalls;
}

TEST(Callbacks, RunAndBind)
{
    globalCalls = 0;
    smart_ptr<ztl::function_callback_v> global;
    global.add(new ztl::function_callback_vg0(&globalTick));
    global->run();
    EXPECT_EQ(globalCalls, 1);
    EXPECT_EQ(messageOf<ztl::CRuntimeException>([&] { global->bind(nullptr); }),
              "メンバ関数へのfunction_callbackに対してbindを行なった");

    Counter first, second;
    smart_ptr<ztl::function_callback_v> member(
        new ztl::function_callback_vm0<Counter>(&first, &Counter::tick));
    member->run();
    member->bind(&second);
    member->run();
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 1);

    ztl::function_callback_vm1<Counter, int> withArgument(&first, &Counter::add, 42);
    withArgument.run();
    EXPECT_EQ(first.last, 42);

    ztl::function_callback_rm1<Counter, int> predicate(&first, &Counter::isPositive, 3);
    EXPECT_FALSE(predicate.getResult());
    predicate.run();
    EXPECT_TRUE(predicate.getResult());
}

} // namespace
