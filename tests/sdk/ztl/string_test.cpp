#include "sdk/ztl/ztl_string.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using zelvoranGameSDK3rd::ZTL::ZTLstring::basic_string;
using zelvoranGameSDK3rd::ZTL::ZTLstring::detail::null_pointer_exception;

namespace {

template <class E, class F> std::string messageOf(F f)
{
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(nothing raised)";
}

TEST(ZtlString, CapacityIsNextPowerOfTwoAboveTheNeed)
{
    basic_string s; // unallocated, reads empty
    EXPECT_FALSE(s.isAllocated());
    EXPECT_STREQ(s.GetCString(), "");
    EXPECT_EQ(*s.begin(), '\0');
    s.assign("a");
    EXPECT_EQ(s.capacity(), 4u);
    s.assign("abc");
    EXPECT_EQ(s.capacity(), 8u);
    s.assign("abcdefg");
    EXPECT_EQ(s.capacity(), 16u);
    s.assign("");
    EXPECT_FALSE(s.isAllocated());
    EXPECT_EQ(s.capacity(), 0u);

    // length + 1 == capacity stays in the buffer; one byte more reallocates above the need.
    basic_string t("abcdef"); // capacity 8
    const char* before = t.GetCString();
    t.append("g");
    EXPECT_EQ(t.capacity(), 8u);
    EXPECT_EQ(t.GetCString(), before);
    t.append("h");
    EXPECT_EQ(t.capacity(), 16u);
    EXPECT_STREQ(t.GetCString(), "abcdefgh");

    basic_string r;
    r.reserve(7);
    EXPECT_EQ(r.capacity(), 16u);
    EXPECT_EQ(r.length(), 0u);
}

TEST(ZtlString, InsertAndErase)
{
    basic_string s("abc");
    s.insert(basic_string::npos, "XY", 2);
    EXPECT_STREQ(s.GetCString(), "abcXY");
    s.insert(100, "Z", 1);
    EXPECT_STREQ(s.GetCString(), "abcXYZ");
    s.insert(1, "--", 2);
    EXPECT_STREQ(s.GetCString(), "a--bcXYZ");
    s.insertChar(0, '>');
    EXPECT_STREQ(s.GetCString(), ">a--bcXYZ");

    s.erase(1, 3);
    EXPECT_STREQ(s.GetCString(), ">bcXYZ");
    EXPECT_EQ(s.length(), 6u);
    s.erase(6, 1); // at the end: nothing
    EXPECT_STREQ(s.GetCString(), ">bcXYZ");
    s.erase(3); // clamped, not from 0: buffer kept
    EXPECT_STREQ(s.GetCString(), ">bc");
    EXPECT_TRUE(s.isAllocated());
    s.erase(0, basic_string::npos);
    EXPECT_FALSE(s.isAllocated());

    basic_string five("12345");
    five.erase(5, 2);
    EXPECT_STREQ(five.GetCString(), "12345");
}

TEST(ZtlString, InsertFromItsOwnTextActsOnACopy)
{
    basic_string s("abcdef"); // capacity 8: the first insert fits, the next does not
    s.insert(1, s.GetCString() + 3, 1);
    EXPECT_STREQ(s.GetCString(), "adbcdef");
    s.insert(2, s.GetCString(), 7); // reallocating while reading the old buffer
    EXPECT_STREQ(s.GetCString(), "adadbcdefbcdef");
    s.insert(0, s.GetCString() + 1, 3);
    EXPECT_STREQ(s.GetCString(), "dadadadbcdefbcdef");
}

TEST(ZtlString, AssignFromAPartOfItself)
{
    basic_string s("hello world");
    s.assign(s.GetCString() + 6, 5);
    EXPECT_STREQ(s.GetCString(), "world");
    s.assign(s, 1, 3);
    EXPECT_STREQ(s.GetCString(), "orl");
    s = s;
    EXPECT_STREQ(s.GetCString(), "orl");

    basic_string source("abcdef");
    s.assign(source, 2, 100);
    EXPECT_STREQ(s.GetCString(), "cdef");
    s.assign(source, 6, 3); // at the length: the empty string, no exception
    EXPECT_FALSE(s.isAllocated());
    EXPECT_EQ(messageOf<std::out_of_range>([&] { s.assign(source, 7, 1); }),
              "in ZTL::ZTLstring::basic_string::assign(const self_type& s, size_type pos, size_type n)");
    s.assignChar('q');
    EXPECT_STREQ(s.GetCString(), "q");
    EXPECT_EQ(s.capacity(), 4u);
}

TEST(ZtlString, NullTextRaisesWithTheOperationsName)
{
    basic_string s("keep");
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { s.assign(static_cast<const char*>(nullptr)); }),
              "in ZTL::ZTLstring::basic_string::assign(const char_type* s)");
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { s.append(static_cast<const char*>(nullptr)); }),
              "in ZTL::ZTLstring::basic_string::append(const char_type* s)");
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)s.compare(static_cast<const char*>(nullptr)); }),
              "in ZTL::ZTLstring::basic_string::compare(const char_type* s) const");
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)s.find(nullptr); }),
              "in ZTL::ZTLstring::basic_string::find(const char_type* s, size_type pos) const");
    EXPECT_STREQ(s.GetCString(), "keep");
    basic_string::iterator orphan;
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)*orphan; }),
              "in ZTL::ZTLstring::basic_string::iterator::operator* () const");
}

TEST(ZtlString, CompareSubstrAndConcatenation)
{
    EXPECT_GT(basic_string("abd").compare("abc"), 0);
    EXPECT_EQ(basic_string("ab").compare("abc"), -1);
    EXPECT_EQ(basic_string("abc").compare("ab"), 1);
    EXPECT_EQ(basic_string("abc").compare("abc"), 0);
    EXPECT_LT(basic_string("a").compare("\x90"), 0); // bytes compare unsigned

    basic_string s("xxabcxx");
    EXPECT_EQ(s.compare(2, 3, basic_string("abc")), 0);
    EXPECT_EQ(s.compare(2, 100, basic_string("abc")), 1);
    EXPECT_EQ(
        messageOf<std::out_of_range>([&] { (void)s.compare(7, 1, basic_string("a")); }),
        "in ZTL::ZTLstring::basic_string::compare(size_type pos, size_type len, const self_type& s) const");

    EXPECT_STREQ(s.substr(2, 3).GetCString(), "abc");
    EXPECT_STREQ(s.substr(5).GetCString(), "xx");
    const char* substrMessage =
        "in ZTL::ZTLstring::basic_string::substr(size_type pos = 0,size_type n = npos) const";
    EXPECT_EQ(messageOf<std::out_of_range>([] { (void)basic_string().substr(0); }), substrMessage);
    EXPECT_EQ(messageOf<std::out_of_range>([&] { (void)s.substr(7); }), substrMessage);

    basic_string a("abc"), b("de");
    basic_string c = a + b;
    EXPECT_STREQ(c.GetCString(), "abcde");
    EXPECT_EQ(c.capacity(), 8u); // reserved once for 3 + 2 + 1
    EXPECT_STREQ((basic_string() + basic_string()).GetCString(), "");
    EXPECT_STREQ(prependChar('\\', a).GetCString(), "\\abc");
}

TEST(ZtlString, ReplaceFirstOccurrences)
{
    basic_string name("save\\0012abc.main");
    name.replace(".main", ".head", 1);
    EXPECT_STREQ(name.GetCString(), "save\\0012abc.head");
    basic_string many("a.b.c");
    many.replace(".", "--", 1);
    EXPECT_STREQ(many.GetCString(), "a--b.c");
    many.replace(".", "", 5);
    EXPECT_STREQ(many.GetCString(), "a--bc");
    // "能" is 0x94 0x5C: its trail byte is not a backslash to replace.
    basic_string sjis("能\\");
    sjis.replace("\\", "/", 1);
    EXPECT_STREQ(sjis.GetCString(), "能/");
}

} // namespace

namespace {

// Every form of + gives the text and the capacity of one fresh concatenation, whether its left side is
// a temporary (appended to in place when its capacity fits) or not, and a text operand is read as a
// string of it would be.
TEST(ZtlString, EveryFormOfConcatenationGivesTheSameTextAndCapacity)
{
    const struct
    {
        const char* a;
        const char* b;
    } cases[] = {{"", ""},
                 {"ab", ""},
                 {"", "cd"},
                 {"abc", "de"},
                 {"#3", "１２"},
                 {"abcdef", "g"},
                 {"abcdefghijklmn", "o"}};
    for (const auto& c : cases) {
        const basic_string a(c.a), b(c.b);
        const basic_string plain = a + b;
        const basic_string forms[] = {a + c.b, c.a + b, basic_string(c.a) + b, basic_string(c.a) + c.b,
                                      (basic_string(c.a) + "") + c.b};
        for (const basic_string& r : forms) {
            EXPECT_STREQ(r.GetCString(), plain.GetCString()) << c.a << "+" << c.b;
            EXPECT_EQ(r.capacity(), plain.capacity()) << c.a << "+" << c.b;
        }
    }
    // A temporary appends to itself as a copy of itself would.
    basic_string self("xyz");
    EXPECT_STREQ((std::move(self) + self).GetCString(), "xyzxyz");

    // A null text raises as making a string of it does.
    const char* none = nullptr;
    const basic_string a("a");
    const std::string assignMessage = "in ZTL::ZTLstring::basic_string::assign(const char_type* s)";
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)(a + none); }), assignMessage);
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)(none + a); }), assignMessage);
    EXPECT_EQ(messageOf<null_pointer_exception>([&] { (void)(basic_string("b") + none); }), assignMessage);
}

} // namespace
