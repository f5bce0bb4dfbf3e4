#include "platform/host/little_endian.h"
#include "sdk/auxiliary/file.h"
#include "sdk/auxiliary/lzss.h"
#include "sdk/thread/callback_registry.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

namespace Aux = zelvoranGameSDK3rd::Auxiliary;
namespace ZTL = zelvoranGameSDK3rd::ZTL;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(const ZTL::string& s)
{
    return std::string(s.c_str(), s.length());
}

std::string Content(Aux::CFile& f)
{
    return std::string(static_cast<const char*>(f.GetMemory()), f.GetSize());
}

// Reads a file whole: its content, or the failure code.
std::string ReadText(Aux::CFile& f, const ZTL::string& name)
{
    const int result = f.Read(name);
    return result == 0 ? Content(f) : "(code " + std::to_string(result) + ")";
}

// One member of a test archive: its name field, the content it decodes to, and how it is stored.
struct SMember
{
    std::string name;
    std::string content;
    bool pack = false;
};

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    platform::WriteU32(b.data() + at, v);
}

// Builds an archive of the given kind (1 to 4) the way the game's packer lays it out.
Bytes MakeArchive(int kind, const std::vector<SMember>& members)
{
    static const char* magics[] = {"zelvpack", "zelvpkEx", "zelvpkDx", "packQrlt"};
    const std::size_t entrySize = kind == 1 ? 40 : kind == 2 ? 44 : 268;
    const std::size_t nameSize = kind <= 2 ? 32 : 256;
    Bytes b(12 + entrySize * members.size(), 0);
    std::memcpy(b.data(), magics[kind - 1], 8);
    Put32(b, 8, static_cast<std::uint32_t>(members.size()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        const SMember& m = members[i];
        Bytes stored(m.content.begin(), m.content.end());
        if (m.pack) {
            auto coder = std::make_unique<Aux::CLZSS>();
            std::uint8_t* packed = nullptr;
            std::uint32_t size = 0;
            EXPECT_EQ(
                coder->Encode(stored.data(), packed, static_cast<std::uint32_t>(stored.size()), size, true),
                0);
            stored.assign(packed, packed + size);
            delete[] packed;
        }
        const std::size_t entry = 12 + entrySize * i;
        std::memcpy(&b[entry], m.name.data(), std::min(m.name.size(), nameSize));
        std::uint32_t offset = static_cast<std::uint32_t>(b.size());
        Put32(b, entry + nameSize, kind == 4 ? offset + 4 : offset);
        Put32(b, entry + nameSize + 4, static_cast<std::uint32_t>(m.content.size()));
        if (kind != 1) Put32(b, entry + nameSize + 8, static_cast<std::uint32_t>(stored.size()));
        b.insert(b.end(), stored.begin(), stored.end());
    }
    return b;
}

std::string Repeated(const std::string& s, int n)
{
    std::string r;
    for (int i = 0; i < n; ++i)
        r += s;
    return r;
}

class FileTest : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        fs::create_directories(m_root / "g");
        m_saved = Aux::CFile::GetCurrentFolder();
        Aux::CFile::SetCurrentFolder(Root() + "/g");
    }
    void TearDown() override
    {
        Aux::CFile::SetCurrentFolder(m_saved);
        Aux::CFile::ClearSearchFolders();
        TempFolderTest::TearDown();
    }
    ZTL::string Root() const { return ZTL::string(m_root.c_str()); }
    void Put(const fs::path& relative, const std::string& content) const
    {
        PutFile(m_root / relative, content);
    }
    void Put(const fs::path& relative, const Bytes& content) const
    {
        Put(relative, std::string(content.begin(), content.end()));
    }

    ZTL::string m_saved;
};

TEST(FilePaths, ParentFolderSuffixAndNamePart)
{
    struct Case
    {
        const char* path;
        int result;
        const char* after;
    };
    // A trail byte 0x5C (能) is not a separator.
    for (const Case& c :
         {Case{"C:\\g\\data\\se\\foo.wav", 0, "C:\\g\\data\\se\\"},
          Case{"C:\\g\\data\\se\\", 0, "C:\\g\\data\\"}, Case{"C:\\", 1, "C:\\"}, Case{"\\", 1, "\\"},
          Case{"abc", 0, "abc\\"}, Case{"\\\\server\\share\\", 1, "\\\\server\\share\\"}, Case{"", 1, ""},
          Case{"a\\\x94\x5C", 0, "a\\"}}) {
        ZTL::string p = c.path;
        EXPECT_EQ(Aux::CFile::ToParentFolder(p), c.result) << c.path;
        EXPECT_EQ(Text(p), c.after) << c.path;
    }

    EXPECT_EQ(Text(Aux::CFile::GetSuffix("data\\x.tar.GZ")), "GZ");
    EXPECT_EQ(Text(Aux::CFile::GetSuffix("da.ta/file")), "");
    EXPECT_EQ(Text(Aux::CFile::GetFileNamePart("a/b\\\x94\x5C.txt")), "\x94\x5C.txt");
    EXPECT_EQ(Text(Aux::CFile::GetFileNamePart("plain")), "plain");

    ZTL::string lower = "ABC\x83\x41Z"; // ア: its second byte is the letter A
    Aux::StringToLower(lower);
    EXPECT_EQ(Text(lower), "abc\x83\x41z");
}

TEST_F(FileTest, ResolvesRelativePathsAgainstTheCurrentFolder)
{
    const std::string base = Text(Aux::CFile::GetCurrentFolder());
    ASSERT_EQ(base.back(), '\\');
    std::string expected = Text(Aux::CFile::ResolvePath("data\\se\\foo.wav"));
    EXPECT_EQ(expected.substr(expected.size() - 16), "\\data\\se\\foo.wav");
    EXPECT_EQ(expected.find('/', 1), std::string::npos); // only the host's root keeps its slash
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("data/se/foo.wav")), expected);
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("./data/se/foo.wav")), expected);
    EXPECT_EQ(Text(Aux::CFile::ResolvePath(".\\data/se\\foo.wav")), expected);
    ZTL::string parent = ZTL::string(base.c_str());
    Aux::CFile::ToParentFolder(parent);
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("../x.txt")), Text(Aux::CFile::ResolvePath(parent + "x.txt")));
    // A single leading backslash is dropped; the host's root, a network name or a drive is absolute.
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("\\data\\se/foo.wav")), expected);
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("/tmp/a/b")), "/tmp\\a\\b");
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("\\\\srv/x")), "\\\\srv\\x");
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("C:/g")), "C:\\g");
    EXPECT_EQ(Text(Aux::CFile::ResolvePath(Aux::CFile::ResolvePath("data/x"))),
              Text(Aux::CFile::ResolvePath("data/x")));
    // The trail byte 0x5C stays.
    EXPECT_EQ(Text(Aux::CFile::ResolvePath("/\x94\x5C/x")), "/\x94\x5C\\x");

    Aux::CFile::SetCurrentFolder("\"C:\\g\\game.exe\"");
    EXPECT_EQ(Text(Aux::CFile::GetCurrentFolder()), "C:\\g\\");
    Aux::CFile::SetCurrentFolder("C:\\my.dir");
    EXPECT_EQ(Text(Aux::CFile::GetCurrentFolder()), "C:\\my.dir\\");
    Aux::CFile::SetCurrentFolder("/x/y/");
    EXPECT_EQ(Text(Aux::CFile::GetCurrentFolder()), "/x/y/");
}

TEST_F(FileTest, ReadsPlainFilesWholeWithATrailingNul)
{
    Put("g/data/Text.TXT", "hello");
    Aux::CFile f;
    EXPECT_EQ(ReadText(f, "data/text.txt"), "hello"); // any letter case
    EXPECT_EQ(static_cast<const char*>(f.GetMemory())[5], '\0');
    EXPECT_EQ(Text(f.GetName()), "data/text.txt");
    EXPECT_EQ(Text(f.GetFileNamePart()), "text.txt");
    EXPECT_EQ(Text(f.GetNameSuffix()), "txt");
    EXPECT_EQ(f.Read(""), -1);
    EXPECT_EQ(f.Read("data/missing.txt"), 1);
    EXPECT_EQ(f.GetMemory(), nullptr);
    EXPECT_EQ(f.Read("data"), 1); // a folder is not a file
    // Network names without a share: the archive search above them ends instead of growing the name.
    for (const char* name : {"//x", "\\\\x", "//", "\\\\", "\\\\x\\"}) {
        EXPECT_EQ(f.Read(name), 1) << name;
    }

    Put("g/empty.bin", "");
    std::vector<std::uint8_t> content{1, 2};
    EXPECT_EQ(f.ReadToVector("empty.bin", content), 0);
    EXPECT_TRUE(content.empty());
    EXPECT_EQ(f.WriteFromVector("written.bin", {}), 0);
    EXPECT_TRUE(fs::exists(m_root / "g" / "written.bin"));
    EXPECT_EQ(fs::file_size(m_root / "g" / "written.bin"), 0u);

    // A name that starts with "!" is a file name like any other, never a memory address.
    EXPECT_EQ(f.Read("!1000,10"), 1);
    Put("g/!notes", "bang");
    EXPECT_EQ(ReadText(f, "!notes"), "bang");
}

TEST_F(FileTest, FilesAndMembersLargerThanTheCapAreRefusedBeforeAnyAllocation)
{
    // Sparse files: 300 MiB claimed, next to nothing on disk.
    constexpr std::uint64_t kHuge = 300ull << 20;
    Put("g/save/main.cfg", "");
    fs::resize_file(m_root / "g" / "save" / "main.cfg", kHuge);
    Put("g/edge.bin", "");
    fs::resize_file(m_root / "g" / "edge.bin", Aux::CFile::kMaxReadSize + 1);
    Bytes archive = MakeArchive(1, {{"big.bin", "x"}});
    Put32(archive, 12 + 32 + 4, Aux::CFile::kMaxReadSize + 1); // the member's size
    Put("g/pack.dat", archive);
    fs::resize_file(m_root / "g" / "pack.dat", archive.size() + Aux::CFile::kMaxReadSize + 1);

    Aux::CFile f;
    for (const char* name : {"save\\main.cfg", "edge.bin", "pack\\big.bin"}) {
        std::vector<std::uint8_t> content{1, 2};
        EXPECT_EQ(f.ReadToVector(name, content), Aux::CFile::kReadTooLarge) << name;
        EXPECT_EQ(content, (std::vector<std::uint8_t>{1, 2})) << name;
        EXPECT_EQ(f.GetMemory(), nullptr) << name;
    }
    Put("g/edge.bin", std::string(4096, 'e')); // well under the cap: read as ever
    std::vector<std::uint8_t> content;
    EXPECT_EQ(f.ReadToVector("edge.bin", content), 0);
    EXPECT_EQ(content.size(), 4096u);
}

TEST_F(FileTest, ReadsMembersOfEveryArchiveKindSearchingUpwards)
{
    const std::string big = Repeated("the same words again and again, ", 40);
    for (int kind = 1; kind <= 4; ++kind) {
        SCOPED_TRACE(kind);
        fs::remove_all(m_root / "g");
        fs::create_directories(m_root / "g");
        std::vector<SMember> members = {{"other.txt", "x"}, {"Foo.WAV", "se member"}};
        if (kind >= 2) members.push_back({"Packed.txt", big, true});
        Put("g/data/se.dat", MakeArchive(kind, members));
        Put("g/data.dat", MakeArchive(kind, {{"se\\bar.wav", "from data.dat"}, {"se\\foo.wav", "shadowed"}}));

        Aux::CFile f;
        EXPECT_EQ(ReadText(f, "data/se/foo.wav"), "se member");
        EXPECT_EQ(Text(f.GetName()), "data/se/foo.wav");
        EXPECT_EQ(ReadText(f, "DATA\\SE\\BAR.WAV"), "from data.dat"); // not in se.dat: one level up
        if (kind >= 2) {
            EXPECT_EQ(ReadText(f, "data/se/packed.txt"), big);
        }
        EXPECT_EQ(f.Read("data/se/none.wav"), 1);

        // A plain file wins over a member.
        Put("g/data/se/foo.wav", "plain");
        EXPECT_EQ(ReadText(f, "data/se/foo.wav"), "plain");
    }
}

TEST_F(FileTest, StoredMembersAreCopiedAndTheFourthKindStartsFourBytesEarly)
{
    // A kind-2 member whose stored size equals its size is copied even when it looks like LZSS.
    Bytes kind2 = MakeArchive(2, {{"a.bin", std::string("\x03\x61\x62\xEE\xF3", 5)}});
    Put("g/d.dat", kind2);
    Aux::CFile f;
    EXPECT_EQ(ReadText(f, "d/a.bin"), std::string("\x03\x61\x62\xEE\xF3", 5));

    // packQrlt: the stored offset points 4 bytes past the data.
    Bytes kind4 = MakeArchive(4, {{"a.txt", "abcd"}});
    ASSERT_EQ(std::string(kind4.end() - 4, kind4.end()), "abcd");
    Put("g/q.dat", kind4);
    EXPECT_EQ(ReadText(f, "q/a.txt"), "abcd");
}

TEST_F(FileTest, RefusesDamagedArchiveEntries)
{
    Aux::CFile f;
    const Bytes archive = MakeArchive(2, {{"a.txt", "abcdef"}});
    const std::size_t offset = 12 + 32, size = offset + 4, stored = offset + 8;
    struct Patch
    {
        std::size_t at;
        std::uint32_t value;
    };
    const std::vector<std::vector<Patch>> damages = {
        {{offset, static_cast<std::uint32_t>(archive.size() - 2)}}, // data beyond the archive's end
        {{offset, 0xFFFFFFF0u}},                                    // an offset that wraps
        {{size, 0xFFFFFFFFu}, {stored, 2}}, // a size whose NUL would wrap the allocation, packed in 2 bytes
        {{size, 1000}, {stored, 6}},        // packed, but more than the stream could ever produce
        {{stored, 0}},                      // packed, stored size 0
        {{size, 30}, {stored, 6}},          // a packed stream that ends early
    };
    for (const auto& patches : damages) {
        Bytes bad = archive;
        for (const Patch& p : patches)
            Put32(bad, p.at, p.value);
        Put("g/d.dat", bad);
        EXPECT_EQ(f.Read("d/a.txt"), 4) << patches[0].at << " " << patches[0].value;
        EXPECT_TRUE(f.GetName().empty());
    }

    Bytes q = MakeArchive(4, {{"a.txt", "abcd"}}); // packQrlt offset below 4
    Put32(q, 12 + 256, 2);
    Put("g/q.dat", q);
    EXPECT_EQ(f.Read("q/a.txt"), 4);

    Bytes bad = archive; // a name field without its NUL matches nothing
    std::memset(&bad[12], 'a', 32);
    Put("g/d.dat", bad);
    EXPECT_EQ(f.Read(ZTL::string(("d/" + std::string(32, 'a')).c_str())), 1);
}

TEST_F(FileTest, SkipsUnreadableArchivesAndGoesOnUpwards)
{
    Put("g/data.dat", MakeArchive(1, {{"se\\a.txt", "upper"}}));
    Aux::CFile f;
    const Bytes good = MakeArchive(1, {{"a.txt", "lower"}});
    std::vector<Bytes> broken;
    Bytes b = good;
    b[0] = 'Z'; // an unknown magic
    broken.push_back(b);
    b = good;
    Put32(b, 8, 0); // no entries
    broken.push_back(b);
    b = good;
    Put32(b, 8, 0x80000000u); // a negative count
    broken.push_back(b);
    b = good;
    Put32(b, 8, 1000); // more entries than the file holds, the member not among the real ones
    std::memcpy(&b[12], "zzzzz", 5);
    broken.push_back(b);
    broken.push_back(Bytes(good.begin(), good.begin() + 10)); // a cut header
    for (const Bytes& archive : broken) {
        Put("g/data/se.dat", archive);
        EXPECT_EQ(ReadText(f, "data/se/a.txt"), "upper");
    }
    Put("g/data/se.dat", good);
    EXPECT_EQ(ReadText(f, "data/se/a.txt"), "lower");
}

TEST_F(FileTest, TaggedContentIsDescrambledAndScrambleRoundTrips)
{
    Put("g/plain.txt", "line one\r\nline two");
    Aux::CFile f;
    ASSERT_EQ(f.Read("plain.txt"), 0);
    ASSERT_EQ(f.Scramble(), 0);
    EXPECT_EQ(f.GetSize(), 22u); // the tag is now part of the content
    EXPECT_EQ(std::string(static_cast<const char*>(f.GetMemory()), 4), "ZPK1");
    EXPECT_EQ(f.Scramble(), 1); // already tagged
    ASSERT_EQ(f.Save("tagged.txt"), 0);
    EXPECT_EQ(fs::file_size(m_root / "g" / "tagged.txt"), 22u);

    ASSERT_EQ(f.Read("tagged.txt"), 0);
    EXPECT_EQ(f.GetSize(), 18u);
    EXPECT_EQ(Content(f), "line one\r\nline two");
    EXPECT_EQ(f.Scramble(), 1); // descrambled content is not scrambled again
    char line[32];
    ASSERT_EQ(f.ReadLine(line, sizeof line), 0);
    EXPECT_STREQ(line, "line one");
    EXPECT_EQ(f.Rewind(), f.GetMemory());

    // An archive member may be tagged too.
    std::ifstream in(m_root / "g" / "tagged.txt", std::ios::binary);
    Put("g/t.dat", MakeArchive(3, {{"m.txt", std::string(std::istreambuf_iterator<char>(in), {})}}));
    EXPECT_EQ(ReadText(f, "t/m.txt"), "line one\r\nline two");
}

// Reads lines of a block with ReadLineString until it reports the end.
std::vector<std::string> Lines(Aux::CFile& f, const std::string& block)
{
    EXPECT_EQ(f.ReadFromMemory(block.data(), static_cast<std::uint32_t>(block.size())), 0);
    std::vector<std::string> lines;
    ZTL::string text;
    while (f.ReadLineString(text) == 0)
        lines.push_back(Text(text));
    EXPECT_TRUE(text.empty());
    return lines;
}

TEST_F(FileTest, LineReadersSplitOnlyAtCrLf)
{
    Aux::CFile f;
    char line[8];
    ZTL::string text;
    EXPECT_EQ(f.ReadLine(line, sizeof line), 3); // nothing read yet
    EXPECT_EQ(f.ReadLineString(text), 3);

    EXPECT_EQ(Lines(f, "a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(Lines(f, "x\ry\nz\r\n\r\nlast\r"), (std::vector<std::string>{"x\ry\nz", "", "last\r"}));

    // The fixed buffer form cuts long lines and reports it; a full buffer is reported even where the
    // line ends, and the CR LF then comes as an empty line.
    const char longLine[] = "0123456789\r\nnext\r\n1234";
    ASSERT_EQ(f.ReadFromMemory(longLine, sizeof longLine - 1), 0);
    struct Step
    {
        int capacity;
        int result;
        const char* text;
    };
    for (const Step& step :
         {Step{5, 2, "0123"}, Step{1, 2, ""}, Step{0, 2, ""}, Step{5, 2, "4567"}, Step{5, 0, "89"},
          Step{5, 2, "next"}, Step{5, 0, ""}, Step{5, 2, "1234"}, Step{5, 1, "1234"}}) {
        EXPECT_EQ(f.ReadLine(line, step.capacity), step.result) << step.text;
        EXPECT_STREQ(line, step.text);
    }

    ASSERT_EQ(f.ReadFromMemory(nullptr, 0), 0);
    EXPECT_EQ(f.ReadLine(line, sizeof line), 1);
    EXPECT_EQ(f.ReadFromMemory(nullptr, 4), 6);
}

// Reads `reads` quoted texts of a block into a buffer of `capacity` bytes: "code:text" each.
std::vector<std::string> Quoted(Aux::CFile& f, const std::string& block, int reads,
                                std::size_t capacity = 256)
{
    EXPECT_EQ(f.ReadFromMemory(block.data(), static_cast<std::uint32_t>(block.size())), 0);
    std::vector<std::string> got;
    std::vector<char> text(capacity + 1, 0x7F);
    for (int i = 0; i < reads; ++i) {
        const int result = f.ReadQuotedText(text.data(), static_cast<std::int32_t>(capacity));
        EXPECT_EQ(text[capacity], 0x7F); // never past the buffer
        got.push_back(std::to_string(result) + (result == 1 ? "" : ":" + std::string(text.data())));
    }
    return got;
}

TEST_F(FileTest, QuotedTextsSpanLinesAndAreBounded)
{
    using Texts = std::vector<std::string>;
    Aux::CFile f;
    // A lone opening quote starts a text on the next line; "END" is the end marker.
    EXPECT_EQ(Quoted(f, "\"one\"\r\n\"two\r\nlines\"\r\n\"\r\nx\"\r\n\"END\"\r\n\"after\"", 6),
              (Texts{"0:one", "0:two\nlines", "0:\nx", "1", "0:after", "1"}));
    // A text longer than the buffer is cut, reported, and consumed whole.
    EXPECT_EQ(Quoted(f, "\"abcdefghij\r\nklmnop\"\r\n\"ok\"", 2, 8), (Texts{"2:abcdefg", "0:ok"}));
    EXPECT_EQ(Quoted(f, "\"never closed\r\nstill", 1), Texts{"1"});
    // Lines are read 255 bytes at most: a longer one, even by just its line end, ends the reading.
    EXPECT_EQ(Quoted(f, "\"" + std::string(252, 'a') + "\"\r\n", 1), Texts{"0:" + std::string(252, 'a')});
    EXPECT_EQ(Quoted(f, "\"" + std::string(253, 'a') + "\"\r\n", 1), Texts{"1"});
    char text[4];
    EXPECT_EQ(f.ReadQuotedText(text, 0), 1);
}

TEST_F(FileTest, ReadBytesChecksItsCount)
{
    Aux::CFile f;
    char out[8] = {};
    EXPECT_EQ(f.ReadBytes(out, 1), 2);
    const char content[] = "abcdef";
    ASSERT_EQ(f.ReadFromMemory(content, 6), 0);
    ASSERT_EQ(f.ReadBytes(out, 4), 0);
    EXPECT_EQ(std::string(out, 4), "abcd");
    EXPECT_EQ(f.ReadBytes(out, 3), 1); // only two left: nothing copied
    ASSERT_EQ(f.ReadBytes(out, 2), 0);
    EXPECT_EQ(std::string(out, 2), "ef");
    EXPECT_EQ(f.ReadBytes(out, 0), 1);
    f.Close(); // the caller's block is not freed
    EXPECT_EQ(content[0], 'a');
}

TEST_F(FileTest, TemporaryCopies)
{
    Put("g/plain.bin", "disk");
    Aux::CFile f;
    EXPECT_EQ(f.ToTemporaryFile(false), 1);
    ASSERT_EQ(f.Read("plain.bin"), 0);
    ASSERT_EQ(f.CreateTemporary(false), 0); // a plain file serves itself
    EXPECT_EQ(Text(f.GetName()), "plain.bin");
    EXPECT_EQ(f.GetMemory(), nullptr);

    Put("g/pack.dat", MakeArchive(1, {{"m.bin", "member"}}));
    ASSERT_EQ(f.Read("pack/m.bin"), 0);
    ASSERT_EQ(f.ToTemporaryFile(false), 0);
    const std::string temporary = Text(f.GetName());
    EXPECT_EQ(fs::path(temporary).filename().string().substr(0, 3), "ZLV");
    std::ifstream in(temporary, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "member");
    f.Close();
    EXPECT_FALSE(fs::exists(temporary));

    ASSERT_EQ(f.Read("plain.bin"), 0);
    ASSERT_EQ(f.ToTemporaryFile(true), 0); // forced: a copy even of a plain file
    EXPECT_NE(Text(f.GetName()), "plain.bin");
    const std::string forced = Text(f.GetName());
    EXPECT_TRUE(fs::exists(forced));
    ASSERT_EQ(f.Read("plain.bin"), 0); // reading again closes and deletes the copy
    EXPECT_FALSE(fs::exists(forced));
}

TEST_F(FileTest, WritingStreamsLinesAndDeleting)
{
    Aux::CFile f;
    EXPECT_EQ(f.WriteString("x"), -1);
    ASSERT_EQ(f.Open("log.txt", "w"), 0);
    ASSERT_NE(f.GetFilePointer(), nullptr);
    EXPECT_EQ(f.GetStream(), f.GetFilePointer());
    EXPECT_EQ(f.WriteString("100%s\n"), 0); // written as it stands, not as a format
    EXPECT_EQ(f.Close(), 0);
    EXPECT_EQ(f.GetStream(), nullptr);
    EXPECT_EQ(ReadText(f, "log.txt"), "100%s\n");
    EXPECT_EQ(f.Open("log.txt", "q"), 1);     // no such mode: nothing opens
    EXPECT_EQ(f.Open("log.txt", "\x94"), -2); // no host form
    EXPECT_EQ(f.Open("missing/x.txt", "rb"), 1);
    EXPECT_EQ(f.Open("\x94", "rb"), -1);

    ASSERT_EQ(f.WriteLines("lines.txt", {"a\r\n", "", "b"}), 0);
    EXPECT_EQ(ReadText(f, "lines.txt"), "a\r\nb");
    EXPECT_EQ(f.WriteLines("no/folder.txt", {"a"}), 1);
    EXPECT_EQ(f.WriteLines("\x94", {"a"}), -1);

    EXPECT_EQ(f.Delete(""), -1);
    EXPECT_EQ(f.Delete("missing.txt"), 1);
    EXPECT_EQ(f.Delete("LINES.TXT"), 0);
    EXPECT_FALSE(fs::exists(m_root / "g" / "lines.txt"));

    // A write that cannot be made leaves the old file whole and the object untouched.
    Put("g/keep.sav", "old");
    ASSERT_EQ(f.Read("log.txt"), 0);
    EXPECT_EQ(f.Write("keep.sav", "new", 3), 0);
    EXPECT_EQ(Content(f), "100%s\n");
    fs::create_directories(m_root / "g" / "dir.sav");
    EXPECT_EQ(f.Write("dir.sav", "x", 1), 1);
    EXPECT_EQ(f.Write("", "x", 1), 1);
}

TEST_F(FileTest, SearchFoldersServeRelativeNamesNotFoundAsGiven)
{
    Put("extra/data/only.txt", "extra");
    Put("more/data/only.txt", "more");
    Put("more/pack.dat", MakeArchive(1, {{"m.txt", "packed"}}));
    Aux::CFile f;
    EXPECT_EQ(f.Read("data/only.txt"), 1);
    Aux::CFile::AddSearchFolder(Root() + "/extra");
    Aux::CFile::AddSearchFolder(Root() + "/more/");
    EXPECT_EQ(ReadText(f, "data/only.txt"), "extra");
    EXPECT_EQ(ReadText(f, "pack/m.txt"), "packed");
    ASSERT_EQ(f.Open("data/only.txt", "rb"), 0);
    char c = 0;
    EXPECT_EQ(std::fread(&c, 1, 1, f.GetStream()), 1u);
    EXPECT_EQ(c, 'e');
    f.Close();
    EXPECT_EQ(f.Open("data/new.txt", "r+b"), 1);
    fs::remove_all(m_root / "g");
    EXPECT_EQ(f.Open("data/new.txt", "wb"), 1); // a write is never redirected to a search folder
    EXPECT_FALSE(fs::exists(m_root / "extra" / "data" / "new.txt"));
    EXPECT_EQ(f.Read("data/none.txt"), 1);
    Aux::CFile::ClearSearchFolders();
    EXPECT_EQ(f.Read("data/only.txt"), 1);
}

} // namespace

namespace {

TEST(FileStartUp, TheStartUpCallbacksCaptureTheWorkingFolder)
{
    const ZTL::string saved = Aux::CFile::GetCurrentFolder();
    Aux::CFile::SetCurrentFolder("/somewhere/else");
    zelvoranGameSDK3rd::Thread::CallbackRegistry::RunCallbacks(
        zelvoranGameSDK3rd::Thread::CallbackRegistry::StartUpList);
    const std::string now = Text(Aux::CFile::GetCurrentFolder());
    EXPECT_EQ(now, fs::current_path().string() + "\\");
    Aux::CFile::SetCurrentFolder(saved);
}

} // namespace
