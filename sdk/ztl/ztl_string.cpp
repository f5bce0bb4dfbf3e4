#include "sdk/ztl/ztl_string.h"

#include "sdk/ztl/sjis.h"

#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
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
} // namespace

basic_string::char_type basic_string::iterator::operator*() const
{
    if (owner_ == nullptr)
        throw detail::null_pointer_exception("in ZTL::ZTLstring::basic_string::iterator::operator* () const");
    return owner_->GetCString()[pos_];
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
    if (&other != this) assign(other.GetCString(), other.length_);
}

basic_string::basic_string(basic_string&& other) noexcept
    : buffer_(other.buffer_), length_(other.length_), capacity_(other.capacity_)
{
    other.buffer_ = nullptr;
    other.length_ = 0;
    other.capacity_ = 0;
}

basic_string::~basic_string()
{
    release();
}

basic_string& basic_string::operator=(const basic_string& other)
{
    if (&other != this) assign(other.GetCString(), other.length_);
    return *this;
}

basic_string& basic_string::operator=(basic_string&& other) noexcept
{
    if (&other != this) {
        release();
        buffer_ = other.buffer_;
        length_ = other.length_;
        capacity_ = other.capacity_;
        other.buffer_ = nullptr;
        other.length_ = 0;
        other.capacity_ = 0;
    }
    return *this;
}

const basic_string::char_type* basic_string::GetCString() const
{
    return buffer_ != nullptr ? buffer_ : emptyText;
}

basic_string::char_type* basic_string::allocate(std::uint64_t needed, size_type* capacity)
{
    // The smallest power of two strictly greater than the need.
    std::uint64_t cap = std::uint64_t{1} << std::bit_width(needed);
    if (cap > 0x80000000u) throw std::bad_alloc();
    auto* p = new char_type[cap];
    *capacity = static_cast<size_type>(cap);
    return p;
}

void basic_string::release()
{
    delete[] buffer_;
    buffer_ = nullptr;
    length_ = 0;
    capacity_ = 0;
}

basic_string& basic_string::assign(const char_type* s, size_type n)
{
    if (n == 0) {
        release();
        return *this;
    }
    if (length_ > 0 || buffer_ == nullptr) {
        // Rebuild in a fresh buffer. The source is copied before the old buffer goes, so a
        // string can be assigned a part of itself.
        size_type cap = 0;
        char_type* fresh = allocate(std::uint64_t{n} + 1, &cap);
        std::memcpy(fresh, s, n);
        fresh[n] = 0;
        release();
        buffer_ = fresh;
        length_ = n;
        capacity_ = cap;
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
    if (pos > s.length_)
        throw std::out_of_range(
            "in ZTL::ZTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    size_type count = s.length_ - pos;
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
    if (pos == npos || pos > length_) pos = length_;

    // A source inside our own buffer is copied out first, so the result is as if it had been.
    std::unique_ptr<char_type[]> copy;
    if (overlaps(s, n, buffer_, capacity_)) {
        copy.reset(new char_type[n]);
        std::memcpy(copy.get(), s, n);
        s = copy.get();
    }

    if (buffer_ == nullptr) allocate_empty(n);
    const std::uint64_t needed = std::uint64_t{length_} + n + 1;
    if (needed <= capacity_) {
        std::memmove(buffer_ + pos + n, buffer_ + pos, length_ - pos + 1);
        std::memcpy(buffer_ + pos, s, n);
    } else {
        size_type cap = 0;
        char_type* fresh = allocate(needed, &cap);
        std::memcpy(fresh, buffer_, pos);
        std::memcpy(fresh + pos, s, n);
        std::memcpy(fresh + pos + n, buffer_ + pos, length_ - pos + 1);
        delete[] buffer_;
        buffer_ = fresh;
        capacity_ = cap;
    }
    length_ += n;
    return *this;
}

void basic_string::allocate_empty(size_type n)
{
    size_type cap = 0;
    buffer_ = allocate(std::uint64_t{n} + 1, &cap);
    capacity_ = cap;
    length_ = 0;
    buffer_[0] = 0;
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
    if (s.length_ == 0) return *this;
    return insert(npos, s.GetCString(), s.length_);
}

basic_string& basic_string::erase(size_type pos, size_type n)
{
    if (pos >= length_) return *this;
    if (n == npos || n > length_ || pos + n > length_) {
        n = length_ - pos;
        if (pos == 0) {
            release();
            return *this;
        }
    }
    std::memmove(buffer_ + pos, buffer_ + pos + n, length_ - pos - n + 1);
    length_ -= n;
    return *this;
}

void basic_string::reserve(size_type n)
{
    if (buffer_ == nullptr) {
        allocate_empty(n);
        return;
    }
    if (capacity_ > n) return;
    size_type cap = 0;
    char_type* fresh = allocate(std::uint64_t{n} + 1, &cap);
    std::memcpy(fresh, buffer_, length_ + 1);
    delete[] buffer_;
    buffer_ = fresh;
    capacity_ = cap;
}

basic_string& basic_string::replace(const basic_string& from, const basic_string& to, size_type count)
{
    if (from.length_ == 0 || length_ == 0 || count == 0) return *this;
    basic_string result;
    const char_type* text = GetCString();
    size_type done = 0;
    size_type copied = 0;
    size_type i = 0;
    while (i + from.length_ <= length_ && done < count) {
        if (std::memcmp(text + i, from.GetCString(), from.length_) == 0) {
            result.append(text + copied, i - copied);
            result.append(to);
            i += from.length_;
            copied = i;
            ++done;
        } else {
            i += IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        }
    }
    if (done == 0) return *this;
    result.append(text + copied, length_ - copied);
    return *this = std::move(result);
}

basic_string::size_type basic_string::find(const char_type* s, size_type pos) const
{
    if (s == nullptr)
        throw detail::null_pointer_exception(
            "in ZTL::ZTLstring::basic_string::find(const char_type* s, size_type pos) const");
    const size_type n = static_cast<size_type>(std::strlen(s));
    if (pos > length_ || n > length_ - pos) return npos;
    const char_type* text = GetCString();
    for (size_type i = pos; i + n <= length_; ++i)
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
    return compareBytes(GetCString(), length_, s, std::strlen(s));
}

int basic_string::compare(size_type pos, size_type len, const basic_string& s) const
{
    if (pos >= length_)
        throw std::out_of_range("in ZTL::ZTLstring::basic_string::compare(size_type pos, size_type len, "
                                "const self_type& s) const");
    size_type part = length_ - pos;
    if (len < part) part = len;
    return compareBytes(GetCString() + pos, part, s.GetCString(), s.length_);
}

basic_string basic_string::substr(size_type pos, size_type n) const
{
    if (pos >= length_)
        throw std::out_of_range(
            "in ZTL::ZTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const");
    basic_string result;
    result.assign(*this, pos, n);
    return result;
}

bool operator==(const basic_string& a, const basic_string& b)
{
    return a.length_ == b.length_ && std::memcmp(a.GetCString(), b.GetCString(), a.length_) == 0;
}

basic_string operator+(const basic_string& a, const basic_string& b)
{
    basic_string result;
    result.reserve(a.length() + b.length() + 1);
    if (!a.empty()) result.append(a);
    if (!b.empty()) result.append(b);
    return result;
}

basic_string prependChar(basic_string::char_type c, const basic_string& s)
{
    basic_string result;
    result.assignChar(c);
    result.append(s);
    return result;
}

} // namespace zelvoranGameSDK3rd::ZTL::ZTLstring
