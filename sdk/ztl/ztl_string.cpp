#include "sdk/ztl/ztl_string.h"

#include "sdk/ztl/sjis.h"

#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <utility>
#include <vector>

namespace zelvoranGameSDK3rd::ZTL::ZTLstring {

namespace {
const basic_string::char_type emptyText[1] = {0};

// True when [s, s + n) overlaps [buf, buf + cap): the source must then be copied out first.
bool overlaps(const char* s, std::size_t n, const char* buf, std::size_t cap)
{
    if (buf == nullptr || n == 0) return false;
    auto a = reinterpret_cast<std::uintptr_t>(s);
    auto b = reinterpret_cast<std::uintptr_t>(buf);
    return a < b + cap && b < a + n;
}

// The capacity a buffer for `needed` bytes gets: the smallest power of two strictly greater than the need.
std::uint64_t capacityFor(std::uint64_t needed)
{
    return std::uint64_t{1} << std::bit_width(needed);
}
} // namespace

basic_string::char_type basic_string::iterator::operator*() const
{
    if (m_owner == nullptr)
        throw detail::null_pointer_exception("in ZTL::ZTLstring::basic_string::iterator::operator* () const");
    return m_owner->GetCString()[m_pos];
}

basic_string::basic_string(const char_type* s)
{
    assign(s);
}

basic_string::basic_string(const char_type* s, size_type n)
{
    assign(s, n);
}

basic_string::basic_string(const basic_string& other)
{
    if (&other != this) assign(other.GetCString(), other.m_length);
}

basic_string::basic_string(basic_string&& other) noexcept
    : m_buffer(other.m_buffer), m_length(other.m_length), m_capacity(other.m_capacity)
{
    other.m_buffer = nullptr;
    other.m_length = 0;
    other.m_capacity = 0;
}

basic_string::~basic_string()
{
    release();
}

basic_string& basic_string::operator=(const basic_string& other)
{
    if (&other != this) assign(other.GetCString(), other.m_length);
    return *this;
}

basic_string& basic_string::operator=(basic_string&& other) noexcept
{
    if (&other != this) {
        release();
        m_buffer = other.m_buffer;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_buffer = nullptr;
        other.m_length = 0;
        other.m_capacity = 0;
    }
    return *this;
}

const basic_string::char_type* basic_string::GetCString() const
{
    return m_buffer != nullptr ? m_buffer : emptyText;
}

basic_string::char_type* basic_string::allocate(std::uint64_t needed, size_type* capacity)
{
    const std::uint64_t cap = capacityFor(needed);
    if (cap > 0x80000000u) throw std::bad_alloc();
    auto* p = new char_type[cap];
    *capacity = static_cast<size_type>(cap);
    return p;
}

void basic_string::release()
{
    delete[] m_buffer;
    m_buffer = nullptr;
    m_length = 0;
    m_capacity = 0;
}

basic_string& basic_string::assign(const char_type* s, size_type n)
{
    if (n == 0) {
        release();
        return *this;
    }
    if (m_length > 0 || m_buffer == nullptr) {
        // Rebuild in a fresh buffer. The source is copied before the old buffer goes, so a
        // string can be assigned a part of itself.
        size_type cap = 0;
        char_type* fresh = allocate(std::uint64_t{n} + 1, &cap);
        std::memcpy(fresh, s, n);
        fresh[n] = 0;
        release();
        m_buffer = fresh;
        m_length = n;
        m_capacity = cap;
        return *this;
    }
    return insert(0, s, n);
}

basic_string& basic_string::assign(const char_type* s)
{
    if (s == nullptr)
        throw detail::null_pointer_exception("in ZTL::ZTLstring::basic_string::assign(const char_type* s)");
    return assign(s, static_cast<size_type>(std::strlen(s)));
}

basic_string& basic_string::assign(const basic_string& s, size_type pos, size_type n)
{
    if (pos > s.m_length)
        throw std::out_of_range(
            "in ZTL::ZTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    size_type count = s.m_length - pos;
    if (n < count) count = n;
    return assign(s.GetCString() + pos, count);
}

basic_string& basic_string::assignChar(char_type c)
{
    return assign(&c, 1);
}

basic_string& basic_string::insert(size_type pos, const char_type* s, size_type n)
{
    if (n == 0) return *this;
    if (pos == npos || pos > m_length) pos = m_length;

    // A source inside our own buffer is copied out first, so the result is as if it had been.
    std::unique_ptr<char_type[]> copy;
    if (overlaps(s, n, m_buffer, m_capacity)) {
        copy.reset(new char_type[n]);
        std::memcpy(copy.get(), s, n);
        s = copy.get();
    }

    if (m_buffer == nullptr) allocate_empty(n);
    const std::uint64_t needed = std::uint64_t{m_length} + n + 1;
    if (needed <= m_capacity) {
        std::memmove(m_buffer + pos + n, m_buffer + pos, m_length - pos + 1);
        std::memcpy(m_buffer + pos, s, n);
    } else {
        size_type cap = 0;
        char_type* fresh = allocate(needed, &cap);
        std::memcpy(fresh, m_buffer, pos);
        std::memcpy(fresh + pos, s, n);
        std::memcpy(fresh + pos + n, m_buffer + pos, m_length - pos + 1);
        delete[] m_buffer;
        m_buffer = fresh;
        m_capacity = cap;
    }
    m_length += n;
    return *this;
}

void basic_string::allocate_empty(size_type n)
{
    size_type cap = 0;
    m_buffer = allocate(std::uint64_t{n} + 1, &cap);
    m_capacity = cap;
    m_length = 0;
    m_buffer[0] = 0;
}

basic_string& basic_string::insertChar(size_type pos, char_type c)
{
    return insert(pos, &c, 1);
}

basic_string& basic_string::append(const char_type* s)
{
    if (s == nullptr)
        throw detail::null_pointer_exception("in ZTL::ZTLstring::basic_string::append(const char_type* s)");
    return insert(npos, s, static_cast<size_type>(std::strlen(s)));
}

basic_string& basic_string::append(const basic_string& s)
{
    if (s.m_length == 0) return *this;
    return insert(npos, s.GetCString(), s.m_length);
}

basic_string& basic_string::erase(size_type pos, size_type n)
{
    if (pos >= m_length) return *this;
    if (n == npos || n > m_length || pos + n > m_length) {
        n = m_length - pos;
        if (pos == 0) {
            release();
            return *this;
        }
    }
    std::memmove(m_buffer + pos, m_buffer + pos + n, m_length - pos - n + 1);
    m_length -= n;
    return *this;
}

void basic_string::reserve(size_type n)
{
    if (m_buffer == nullptr) {
        allocate_empty(n);
        return;
    }
    if (m_capacity > n) return;
    size_type cap = 0;
    char_type* fresh = allocate(std::uint64_t{n} + 1, &cap);
    std::memcpy(fresh, m_buffer, m_length + 1);
    delete[] m_buffer;
    m_buffer = fresh;
    m_capacity = cap;
}

basic_string& basic_string::replace(const basic_string& from, const basic_string& to, size_type count)
{
    if (from.m_length == 0 || m_length == 0 || count == 0) return *this;
    basic_string result;
    const char_type* text = GetCString();
    size_type done = 0;
    size_type copied = 0;
    size_type i = 0;
    while (i + from.m_length <= m_length && done < count) {
        if (std::memcmp(text + i, from.GetCString(), from.m_length) == 0) {
            result.append(text + copied, i - copied);
            result.append(to);
            i += from.m_length;
            copied = i;
            ++done;
        } else {
            i += IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        }
    }
    if (done == 0) return *this;
    result.append(text + copied, m_length - copied);
    return *this = std::move(result);
}

basic_string::size_type basic_string::find(const char_type* s, size_type pos) const
{
    if (s == nullptr)
        throw detail::null_pointer_exception(
            "in ZTL::ZTLstring::basic_string::find(const char_type* s, size_type pos) const");
    const size_type n = static_cast<size_type>(std::strlen(s));
    if (pos > m_length || n > m_length - pos) return npos;
    const char_type* text = GetCString();
    for (size_type i = pos; i + n <= m_length; ++i)
        if (std::memcmp(text + i, s, n) == 0) return i;
    return npos;
}

namespace {
int compareBytes(const char* a, std::size_t la, const char* b, std::size_t lb)
{
    const std::size_t n = la < lb ? la : lb;
    for (std::size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (la == lb) return 0;
    return la < lb ? -1 : 1;
}
} // namespace

int basic_string::compare(const char_type* s) const
{
    if (s == nullptr)
        throw detail::null_pointer_exception(
            "in ZTL::ZTLstring::basic_string::compare(const char_type* s) const");
    return compareBytes(GetCString(), m_length, s, std::strlen(s));
}

int basic_string::compare(size_type pos, size_type len, const basic_string& s) const
{
    if (pos >= m_length)
        throw std::out_of_range("in ZTL::ZTLstring::basic_string::compare(size_type pos, size_type len, "
                                "const self_type& s) const");
    size_type part = m_length - pos;
    if (len < part) part = len;
    return compareBytes(GetCString() + pos, part, s.GetCString(), s.m_length);
}

basic_string basic_string::substr(size_type pos, size_type n) const
{
    if (pos >= m_length)
        throw std::out_of_range(
            "in ZTL::ZTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const");
    basic_string result;
    result.assign(*this, pos, n);
    return result;
}

bool operator==(const basic_string& a, const basic_string& b)
{
    return a.m_length == b.m_length && std::memcmp(a.GetCString(), b.GetCString(), a.m_length) == 0;
}

namespace {
using size_type = basic_string::size_type;

basic_string Concatenate(const char* a, size_type la, const char* b, size_type lb)
{
    basic_string result;
    result.reserve(la + lb + 1);
    if (la != 0) result.append(a, la);
    if (lb != 0) result.append(b, lb);
    return result;
}

// A temporary left operand takes the right one in place when that ends as a fresh concatenation would:
// reserved for both texts and the end, that is a buffer for one byte more.
bool AppendsInPlace(const basic_string& a, size_type lb)
{
    return a.isAllocated() && a.capacity() == capacityFor(std::uint64_t{a.length()} + lb + 2);
}

// The length of a text operand; a null one raises as making a string of it would.
size_type TextLength(const char* s)
{
    if (s == nullptr) (void)basic_string(s);
    return static_cast<size_type>(std::strlen(s));
}
} // namespace

basic_string operator+(const basic_string& a, const basic_string& b)
{
    return Concatenate(a.GetCString(), a.length(), b.GetCString(), b.length());
}

basic_string operator+(const basic_string& a, const basic_string::char_type* b)
{
    const size_type lb = TextLength(b);
    return Concatenate(a.GetCString(), a.length(), b, lb);
}

basic_string operator+(const basic_string::char_type* a, const basic_string& b)
{
    const size_type la = TextLength(a);
    return Concatenate(a, la, b.GetCString(), b.length());
}

basic_string operator+(basic_string&& a, const basic_string& b)
{
    if (!AppendsInPlace(a, b.length()))
        return Concatenate(a.GetCString(), a.length(), b.GetCString(), b.length());
    a.append(b);
    return std::move(a);
}

basic_string operator+(basic_string&& a, const basic_string::char_type* b)
{
    const size_type lb = TextLength(b);
    if (!AppendsInPlace(a, lb)) return Concatenate(a.GetCString(), a.length(), b, lb);
    a.append(b, lb);
    return std::move(a);
}

basic_string prependChar(basic_string::char_type c, const basic_string& s)
{
    basic_string result;
    result.assignChar(c);
    result.append(s);
    return result;
}

} // namespace zelvoranGameSDK3rd::ZTL::ZTLstring
