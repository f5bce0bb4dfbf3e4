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

TEST(ErrorStream, NullDeviceSwallowsEverything)
{
    auto& stream = aux::GetErrorStream();
    stream.Out("CFastPlane::CreatePrimaryに失敗");
    stream.Out(ztl::basic_string("text"));
    stream.Out(3);
    stream.Clear();
    SUCCEED();
}

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
    ASSERT_EQ(device->calls.size(), 6u);
    EXPECT_EQ(device->calls[0], "text 7");
    EXPECT_EQ(device->calls[1], "int -5");
    EXPECT_EQ(device->calls[2], "text -5");
    EXPECT_EQ(device->calls[3], "text 100%d");
    EXPECT_EQ(device->calls[4], "text 50%d");
    EXPECT_EQ(device->calls[5], "clear");
}

TEST(ErrorStream, LongTextIsCutAtTheBuffer)
{
    auto* device = new RecordingDevice();
    aux::CTextOutputStreamVersatile stream{ztl::smart_ptr<aux::ITextOutputStream>(device)};
    std::string longText(2000, 'x');
    stream.Out("%s", longText.c_str());
    ASSERT_EQ(device->calls.size(), 1u);
    EXPECT_EQ(device->calls[0].size(), 5u + 511u);
}

TEST(ErrorStream, FrontWithoutDeviceRaises)
{
    aux::CTextOutputStreamVersatile stream;
    EXPECT_THROW(stream.Out("x"), ztl::CNullPointerException);
    EXPECT_THROW(stream.Out(1), ztl::CNullPointerException);
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
