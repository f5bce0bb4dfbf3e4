#include "sdk/auxiliary/text_output_stream.h"

#include <cstdio>

namespace zelvoranGameSDK3rd::Auxiliary {

void ITextOutputStream::Out(const ZTL::basic_string& text)
{
    Out("%s", text.GetCString());
}

void ITextOutputStream::Out(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    Out("%s", buffer);
}

void ITextOutputStream::Out(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    OutV(format, args);
    va_end(args);
}

void ITextOutputStream::OutV(const char*, va_list)
{}

void CTextOutputStreamVersatile::Clear()
{
    m_device->Clear();
}

void CTextOutputStreamVersatile::Out(const ZTL::basic_string& text)
{
    m_device->Out(text);
}

void CTextOutputStreamVersatile::Out(int value)
{
    m_device->Out(value);
}

void CTextOutputStreamVersatile::OutV(const char* format, va_list args)
{
    ITextOutputStream* device = m_device.operator->();
    char buffer[512];
    std::vsnprintf(buffer, sizeof buffer, format, args);
    device->Out("%s", buffer);
}

CTextOutputStreamVersatile& GetErrorStream()
{
    static CTextOutputStreamVersatile stream(
        ZTL::smart_ptr<ITextOutputStream>(new CTextOutputStreamNullDevice()));
    return stream;
}

} // namespace zelvoranGameSDK3rd::Auxiliary
