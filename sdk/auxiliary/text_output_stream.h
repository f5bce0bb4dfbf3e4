#pragma once
// The process-wide error stream: a forwarding front that formats and hands text to an
// exchangeable device. The installed device discards everything, so reports cost one format.

#include "sdk/ztl/smart_ptr.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdarg>

namespace zelvoranGameSDK3rd::Auxiliary {

class ITextOutputStream
{
public:
    virtual ~ITextOutputStream() = default;
    virtual void Clear() {}
    // Hands the text on as data to the formatted output.
    virtual void Out(const ZTL::basic_string& text);
    // Prints the number with "%d" into a 16-byte buffer and hands that text on.
    virtual void Out(int value);
    // Formatted output; devices implement OutV.
    void Out(const char* format, ...) __attribute__((format(printf, 2, 3)));
    virtual void OutV(const char* format, va_list args);
};

class CTextOutputStreamNullDevice : public ITextOutputStream
{
public:
    void Clear() override {}
    void Out(const ZTL::basic_string&) override {}
    void Out(int) override {}
    void OutV(const char*, va_list) override {}
    using ITextOutputStream::Out;
};

class CTextOutputStreamVersatile : public ITextOutputStream
{
public:
    CTextOutputStreamVersatile() = default;
    explicit CTextOutputStreamVersatile(const ZTL::smart_ptr<ITextOutputStream>& device) : m_device(device) {}

    void Clear() override;
    void Out(const ZTL::basic_string& text) override;
    void Out(int value) override;
    // Formats into a 512-byte buffer (longer text is cut) and hands the result on as data.
    void OutV(const char* format, va_list args) override;
    using ITextOutputStream::Out;

    void SetDevice(const ZTL::smart_ptr<ITextOutputStream>& device) { m_device.assign(device); }
    const ZTL::smart_ptr<ITextOutputStream>& GetDevice() const { return m_device; }

private:
    ZTL::smart_ptr<ITextOutputStream> m_device;
};

// The stream every SDK error report goes to; it starts with the null device.
CTextOutputStreamVersatile& GetErrorStream();

} // namespace zelvoranGameSDK3rd::Auxiliary
