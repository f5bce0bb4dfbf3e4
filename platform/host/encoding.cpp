#include "platform/host/encoding.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// One converter per direction and thread: opening a converter costs far more than a short conversion.
class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Convert(std::string_view in, std::string& out)
    {
        out.clear();
        if (m_cd == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        if (in.empty()) return true;
        std::string buffer(in.size() * 2 + 16, '\0');
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        size_t used = 0;
        for (;;) {
            char* dst = buffer.data() + used;
            size_t dstLeft = buffer.size() - used;
            size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            used = buffer.size() - dstLeft;
            if (r != static_cast<size_t>(-1)) break;
            if (errno != E2BIG) return false;
            buffer.resize(buffer.size() * 2);
        }
        // Flush any shift state (none for these encodings, but it costs nothing).
        char* dst = buffer.data() + used;
        size_t dstLeft = buffer.size() - used;
        if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == static_cast<size_t>(-1)) return false;
        used = buffer.size() - dstLeft;
        buffer.resize(used);
        out.swap(buffer);
        return true;
    }

private:
    iconv_t m_cd;
};

} // namespace

namespace {

bool ConvertOrClear(Converter& converter, std::string_view in, std::string& out)
{
    if (converter.Convert(in, out)) return true;
    out.clear();
    return false;
}

} // namespace

bool Cp932ToUtf8(std::string_view cp932, std::string& out)
{
    thread_local Converter converter("UTF-8", "CP932");
    return ConvertOrClear(converter, cp932, out);
}

bool Utf8ToCp932(std::string_view utf8, std::string& out)
{
    thread_local Converter converter("CP932", "UTF-8");
    return ConvertOrClear(converter, utf8, out);
}

} // namespace platform
