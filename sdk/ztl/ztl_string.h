#pragma once
// The SDK's byte string. Text is CP932 held as plain bytes; nothing here decodes characters.

#include <cstdint>
#include <exception>

namespace zelvoranGameSDK3rd::ZTL::ZTLstring {

namespace detail {
// Raised for a null text pointer; its text names the operation.
class null_pointer_exception : public std::exception
{
public:
    explicit null_pointer_exception(const char* message) : m_message(message) {}
    const char* what() const noexcept override { return m_message; }

private:
    const char* m_message;
};
} // namespace detail

class basic_string
{
public:
    using char_type = char;
    using size_type = std::uint32_t;
    static constexpr size_type npos = 0xFFFFFFFFu;

    // Reads the owner's text at a position; valid only while the owner lives.
    class iterator
    {
    public:
        iterator() = default;
        iterator(const basic_string* owner, size_type pos) : m_owner(owner), m_pos(pos) {}
        char_type operator*() const;
        iterator& operator++()
        {
            ++m_pos;
            return *this;
        }
        bool operator==(const iterator& other) const = default;

    private:
        const basic_string* m_owner = nullptr;
        size_type m_pos = 0;
    };

    basic_string() = default;
    basic_string(const char_type* s); // NOLINT: implicit on purpose, texts are passed as literals
    basic_string(const char_type* s, size_type n);
    basic_string(const basic_string& other);
    basic_string(basic_string&& other) noexcept;
    ~basic_string();

    basic_string& operator=(const basic_string& other);
    basic_string& operator=(basic_string&& other) noexcept;
    basic_string& operator=(const char_type* s) { return assign(s); }

    // Never null: an unallocated string reads as the shared empty text.
    const char_type* GetCString() const;
    const char_type* c_str() const { return GetCString(); }
    size_type length() const { return m_length; }
    size_type size() const { return m_length; }
    size_type capacity() const { return m_capacity; }
    bool empty() const { return m_length == 0; }
    bool isAllocated() const { return m_buffer != nullptr; }
    char_type operator[](size_type pos) const { return GetCString()[pos]; }
    iterator begin() const { return iterator(this, 0); }
    iterator end() const { return iterator(this, m_length); }

    basic_string& assign(const char_type* s, size_type n);
    basic_string& assign(const char_type* s);
    basic_string& assign(const basic_string& s, size_type pos, size_type n);
    basic_string& assignChar(char_type c);

    basic_string& insert(size_type pos, const char_type* s, size_type n);
    basic_string& insertChar(size_type pos, char_type c);
    basic_string& append(const char_type* s);
    basic_string& append(const char_type* s, size_type n) { return insert(npos, s, n); }
    basic_string& append(const basic_string& s);
    basic_string& appendChar(char_type c) { return insertChar(npos, c); }
    basic_string& operator+=(const basic_string& s) { return append(s); }
    basic_string& operator+=(const char_type* s) { return append(s); }
    basic_string& erase(size_type pos, size_type n = npos);
    void reserve(size_type n);

    // Replaces the first `count` occurrences of `from` by `to` (as ".main" becomes ".head").
    // Matches start only where a character starts, never on the trail byte of a double-byte character.
    basic_string& replace(const basic_string& from, const basic_string& to, size_type count = 1);

    // Finds `s` from `pos` as plain bytes; npos when absent. A null `s` raises, as compare and append do.
    size_type find(const char_type* s, size_type pos = 0) const;

    int compare(const char_type* s) const;
    int compare(const basic_string& s) const { return compare(s.GetCString()); }
    int compare(size_type pos, size_type len, const basic_string& s) const;
    basic_string substr(size_type pos = 0, size_type n = npos) const;

    friend bool operator==(const basic_string& a, const basic_string& b);
    friend bool operator==(const basic_string& a, const char_type* b) { return a.compare(b) == 0; }
    friend bool operator<(const basic_string& a, const basic_string& b) { return a.compare(b) < 0; }

private:
    // Allocates a buffer for `needed` bytes (text and NUL) with the power-of-two rule.
    static char_type* allocate(std::uint64_t needed, size_type* capacity);
    // Gives an unallocated string an empty buffer with room for `n` bytes of text.
    void allocate_empty(size_type n);
    void release();

    char_type* m_buffer = nullptr;
    size_type m_length = 0;
    size_type m_capacity = 0;
};

// A fresh string reserved once for both texts and the end: its capacity is the smallest power of two
// above length + 2. A left operand that is a temporary with exactly that capacity is appended to in place,
// so that a chain of + allocates once where it can; the result is the same either way.
basic_string operator+(const basic_string& a, const basic_string& b);
basic_string operator+(const basic_string& a, const basic_string::char_type* b);
basic_string operator+(const basic_string::char_type* a, const basic_string& b);
basic_string operator+(basic_string&& a, const basic_string& b);
basic_string operator+(basic_string&& a, const basic_string::char_type* b);
basic_string prependChar(basic_string::char_type c, const basic_string& s);

} // namespace zelvoranGameSDK3rd::ZTL::ZTLstring

namespace zelvoranGameSDK3rd::ZTL {
using ZTLstring::basic_string;
using string = ZTLstring::basic_string;
} // namespace zelvoranGameSDK3rd::ZTL
