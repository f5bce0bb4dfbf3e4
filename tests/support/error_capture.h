#pragma once
// Catches what the SDK writes to its error stream while the object lives.

#include "sdk/auxiliary/text_output_stream.h"

#include <cstdio>
#include <string>

namespace test_support {

class ErrorCapture
{
public:
    ErrorCapture()
    {
        auto& stream = zelvoranGameSDK3rd::Auxiliary::GetErrorStream();
        m_previous = stream.GetDevice();
        m_device = new Recorder;
        stream.SetDevice(
            zelvoranGameSDK3rd::ZTL::smart_ptr<zelvoranGameSDK3rd::Auxiliary::ITextOutputStream>(m_device));
    }
    ~ErrorCapture() { zelvoranGameSDK3rd::Auxiliary::GetErrorStream().SetDevice(m_previous); }
    const std::string& Text() const { return m_device->text; }
    bool Has(const char* text) const { return Text().find(text) != std::string::npos; }

private:
    struct Recorder : zelvoranGameSDK3rd::Auxiliary::ITextOutputStream
    {
        void OutV(const char* format, va_list args) override
        {
            char buffer[1024];
            std::vsnprintf(buffer, sizeof buffer, format, args);
            text += buffer;
        }
        std::string text;
    };
    zelvoranGameSDK3rd::ZTL::smart_ptr<zelvoranGameSDK3rd::Auxiliary::ITextOutputStream> m_previous;
    Recorder* m_device;
};

} // namespace test_support
