#include "sdk/auxiliary/cache_stale_listener.h"
#include "sdk/auxiliary/text_output_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace aux = zelvoranGameSDK3rd::Auxiliary;
namespace ztl = zelvoranGameSDK3rd::ZTL;

namespace {

// Records what reaches each slot; slot 3 records the formatted text.
class RecordingDevice : public aux::ITextOutputStream
{
public:
    void Clear() override { calls.push_back("clear"); }
    void Out(int value) override
    {
        calls.push_back("int " + std::to_string(value));
        ITextOutputStream::Out(value);
    }
    void OutV(const char* format, va_list args) override
    {
        char buffer[1024];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        calls.push_back(std::string("text ") + buffer);
    }
    using ITextOutputStream::Out;
    std::vector<std::string> calls;
};

TEST(ErrorStream, FrontFormatsAndHandsTheTextOnAsData)
{
    auto* device = new RecordingDevice();
    aux::CTextOutputStreamVersatile stream;
    stream.SetDevice(ztl::smart_ptr<aux::ITextOutputStream>(device));

    stream.Out("%d", 7);
    stream.Out(-5);
    stream.Out("100%s", "%d"); // formatted text holding a percent sign is not expanded again
    stream.Out(ztl::basic_string("50%d"));
    stream.Clear();
    EXPECT_EQ(device->calls,
              (std::vector<std::string>{"text 7", "int -5", "text -5", "text 100%d", "text 50%d", "clear"}));

    device->calls.clear(); // long text is cut at the 512-byte buffer
    stream.Out("%s", std::string(2000, 'x').c_str());
    ASSERT_EQ(device->calls.size(), 1u);
    EXPECT_EQ(device->calls[0].size(), 5u + 511u);

    aux::CTextOutputStreamVersatile empty; // a front without a device raises
    EXPECT_THROW(empty.Out("x"), ztl::CNullPointerException);
    EXPECT_THROW(empty.Out(1), ztl::CNullPointerException);
}

TEST(CacheStaleListener, CountsAgainstTheLimit)
{
    aux::CDefaultCacheStaleListener unlimited;
    for (int i = 0; i < 1000; ++i)
        unlimited.Increment();
    EXPECT_FALSE(unlimited.IsOverLimit());

    aux::CDefaultCacheStaleListener limited(2);
    limited.Increment();
    limited.Increment();
    EXPECT_FALSE(limited.IsOverLimit());
    limited.Increment();
    EXPECT_TRUE(limited.IsOverLimit());
    limited.Decrement();
    EXPECT_FALSE(limited.IsOverLimit());
}

} // namespace
