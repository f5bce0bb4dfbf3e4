#include "platform/host/encoding.h"
#include "platform/host/file.h"
#include "platform/host/memory.h"
#include "platform/host/path.h"

#include "support/fifo.h"
#include "support/held_to_permissions.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sys/resource.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// 能 in CP932: its second byte is 0x5C, the code of `\`.
const std::string kNou = "\x94\x5C";
const std::string kNouUtf8 = "\xE8\x83\xBD";

class PlatformFileTest : public TempFolderTest
{
protected:
    // Whether the stream opens; it then takes a "!" where it stands and is closed.
    static bool OpensStream(const std::string& path, const char* mode)
    {
        platform::StreamResult result;
        std::FILE* f = platform::OpenStream(path, mode, result);
        if (f == nullptr) return false;
        std::fputs("!", f);
        return std::fclose(f) == 0;
    }
    std::string Root() const { return m_root.string(); }
    static void Put(const fs::path& p, const std::string& content) { PutFile(p, content); }
    static std::string Get(const fs::path& p) { return GetFile(p); }
};

TEST(PlatformEncoding, ConvertsBothWaysAndRefusesWhatCannotBeExpressed)
{
    std::string out;
    ASSERT_TRUE(platform::Cp932ToUtf8(kNou + "a", out));
    EXPECT_EQ(out, kNouUtf8 + "a");
    ASSERT_TRUE(platform::Utf8ToCp932(kNouUtf8, out));
    EXPECT_EQ(out, kNou);
    EXPECT_TRUE(platform::Cp932ToUtf8("", out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(platform::Cp932ToUtf8("\x94", out));             // a lead byte without its second byte
    EXPECT_FALSE(platform::Utf8ToCp932("\xF0\x9F\x98\x80", out)); // an emoji has no CP932 form
    EXPECT_TRUE(out.empty());
    std::string longText(100000, 'x');
    ASSERT_TRUE(platform::Cp932ToUtf8(longText, out));
    EXPECT_EQ(out, longText);
}

TEST(PlatformPath, SplitsAtBothSeparatorsButNeverAtATrailByte)
{
    std::vector<std::string> names;
    bool absolute = true;
    platform::SplitCp932Path("data\\" + kNou + "/x.txt", names, absolute);
    EXPECT_FALSE(absolute);
    EXPECT_EQ(names, (std::vector<std::string>{"data", kNou, "x.txt"}));
    platform::SplitCp932Path("/a//b\\", names, absolute);
    EXPECT_TRUE(absolute);
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(platform::IsPathSeparatorAt("a\\b", 1));
    EXPECT_FALSE(platform::IsPathSeparatorAt(kNou, 1));
    EXPECT_TRUE(platform::IsPathSeparatorAt(kNou + "\\", 2));
}

TEST_F(PlatformFileTest, FindsNamesIgnoringAsciiCaseOneFolderAtATime)
{
    Put(m_root / "Data" / (kNouUtf8 + "Dir") / "Foo.TXT", "hello");
    std::string host;
    ASSERT_TRUE(platform::ToHostPath(Root() + "\\data\\" + kNou + "dir\\foo.txt", host));
    EXPECT_EQ(host, (m_root / "Data" / (kNouUtf8 + "Dir") / "Foo.TXT").string());

    // A missing name keeps its spelling, below the folders that were found.
    ASSERT_TRUE(platform::ToHostPath(Root() + "/DATA/new/File.bin", host));
    EXPECT_EQ(host, (m_root / "Data" / "new" / "File.bin").string());

    // An exact name wins over one that matches only ignoring case.
    Put(m_root / "a.txt", "lower");
    Put(m_root / "A.txt", "upper");
    ASSERT_TRUE(platform::ToHostPath(Root() + "/A.txt", host));
    EXPECT_EQ(Get(host), "upper");
    EXPECT_FALSE(platform::ToHostPath("", host));
    EXPECT_FALSE(platform::ToHostPath("\x94", host));
}

TEST_F(PlatformFileTest, ReadsWholeAndInPieces)
{
    Put(m_root / "r.bin", "0123456789");
    std::vector<unsigned char> content;
    ASSERT_TRUE(platform::ReadWholeFile(Root() + "\\R.BIN", content));
    EXPECT_EQ(std::string(content.begin(), content.end()), "0123456789");

    platform::FileReader reader;
    ASSERT_TRUE(reader.Open(Root() + "/r.bin"));
    std::uint64_t size = 0;
    ASSERT_TRUE(reader.GetSize(size));
    EXPECT_EQ(size, 10u);
    char piece[4] = {};
    ASSERT_TRUE(reader.Seek(6));
    ASSERT_TRUE(reader.Read(piece, 4));
    EXPECT_EQ(std::string(piece, 4), "6789");
    EXPECT_FALSE(reader.Read(piece, 1)); // past the end
    ASSERT_TRUE(reader.Seek(8));
    EXPECT_FALSE(reader.Read(piece, 4)); // the file ends first
    EXPECT_TRUE(reader.Close());

    EXPECT_FALSE(reader.Open(Root())); // a folder is not a file
    EXPECT_FALSE(reader.Open(Root() + "/missing"));
    EXPECT_FALSE(platform::ReadWholeFile(Root() + "/missing", content));
}

TEST_F(PlatformFileTest, WritesThroughATemporaryFileAndKeepsTheOldOneOnFailure)
{
    const std::string target = Root() + "\\" + kNou + ".sav";
    ASSERT_EQ(platform::WriteWholeFile(target, "first", 5), platform::WriteResult::Ok);
    EXPECT_EQ(Get(m_root / (kNouUtf8 + ".sav")), "first");
    ASSERT_EQ(platform::WriteWholeFile(target, "2", 1), platform::WriteResult::Ok);
    EXPECT_EQ(Get(m_root / (kNouUtf8 + ".sav")), "2");
    ASSERT_EQ(platform::WriteWholeFile(Root() + "/empty", nullptr, 0), platform::WriteResult::Ok);
    EXPECT_TRUE(fs::exists(m_root / "empty"));
    EXPECT_EQ(fs::file_size(m_root / "empty"), 0u);

    // The differently cased existing file is the one replaced.
    Put(m_root / "Config.CFG", "old");
    ASSERT_EQ(platform::WriteWholeFile(Root() + "/config.cfg", "new", 3), platform::WriteResult::Ok);
    EXPECT_EQ(Get(m_root / "Config.CFG"), "new");

    // A folder in the way: nothing is replaced and no temporary file is left behind.
    fs::create_directories(m_root / "dir");
    EXPECT_EQ(platform::WriteWholeFile(Root() + "/dir", "x", 1), platform::WriteResult::CannotCreate);
    EXPECT_TRUE(fs::is_directory(m_root / "dir"));
    EXPECT_EQ(platform::WriteWholeFile(Root() + "/nofolder/x", "x", 1), platform::WriteResult::CannotCreate);
    EXPECT_EQ(platform::WriteWholeFile("\x94", "x", 1), platform::WriteResult::BadName);

    // A write that fails midway (the file-size limit stands in for a full disk) keeps the old content.
    {
        Put(m_root / "big.sav", "old content");
        struct rlimit saved;
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 4;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::string data(100, 'n');
        const auto result = platform::WriteWholeFile(Root() + "/big.sav", data.data(), data.size());
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_EQ(result, platform::WriteResult::WriteFailed);
        EXPECT_EQ(Get(m_root / "big.sav"), "old content");
    }

    // A write that cannot be made keeps the old content.
    fs::create_directories(m_root / "ro");
    Put(m_root / "ro" / "keep.txt", "kept");
    fs::permissions(m_root / "ro", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access((m_root / "ro").c_str(), W_OK) != 0) { // root ignores permissions
        EXPECT_EQ(platform::WriteWholeFile(Root() + "/ro/keep.txt", "lost", 4),
                  platform::WriteResult::CannotCreate);
        EXPECT_EQ(Get(m_root / "ro" / "keep.txt"), "kept");
    }
    fs::permissions(m_root / "ro", fs::perms::owner_all);

    std::size_t leftovers = 0;
    for (auto& e : fs::recursive_directory_iterator(m_root))
        if (e.path().extension() == ".tmp") ++leftovers;
    EXPECT_EQ(leftovers, 0u);
}

TEST_F(PlatformFileTest, CopiesAndMovesUnderCp932NamesWithoutLeavingPartialFiles)
{
    const std::string source = Root() + "\\" + kNou + ".rpl";
    Put(m_root / (kNouUtf8 + ".rpl"), "log bytes");
    fs::permissions(m_root / (kNouUtf8 + ".rpl"), fs::perms::owner_read | fs::perms::owner_write);

    // A copy to a new name, then over it only when replacing is allowed.
    ASSERT_TRUE(platform::CopyFile(source, Root() + "/copy", true));
    EXPECT_EQ(Get(m_root / "copy"), "log bytes");
    EXPECT_EQ(fs::status(m_root / "copy").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    Put(m_root / "other", "other");
    EXPECT_FALSE(platform::CopyFile(source, Root() + "/other", true));
    EXPECT_EQ(Get(m_root / "other"), "other");
    EXPECT_TRUE(platform::CopyFile(source, Root() + "/other", false));
    EXPECT_EQ(Get(m_root / "other"), "log bytes");

    // A source that is missing or a folder, and a target that cannot be made, copy nothing.
    fs::create_directories(m_root / "dir");
    EXPECT_FALSE(platform::CopyFile(Root() + "/missing", Root() + "/x", false));
    EXPECT_FALSE(platform::CopyFile(Root() + "/dir", Root() + "/x", false));
    EXPECT_FALSE(platform::CopyFile(source, Root() + "/dir", false));
    EXPECT_FALSE(platform::CopyFile(source, Root() + "/nofolder/x", false));
    EXPECT_FALSE(fs::exists(m_root / "x"));
    EXPECT_TRUE(fs::is_directory(m_root / "dir"));

    // A move never replaces; the source goes only when the move succeeds.
    EXPECT_FALSE(platform::MoveFile(Root() + "/copy", Root() + "/other"));
    EXPECT_EQ(Get(m_root / "copy"), "log bytes");
    ASSERT_TRUE(platform::MoveFile(Root() + "/copy", Root() + "/" + kNou + "2"));
    EXPECT_FALSE(fs::exists(m_root / "copy"));
    EXPECT_EQ(Get(m_root / (kNouUtf8 + "2")), "log bytes");
    EXPECT_FALSE(platform::MoveFile(Root() + "/missing", Root() + "/y"));
    EXPECT_FALSE(platform::MoveFile(Root() + "/dir", Root() + "/y"));
    EXPECT_FALSE(platform::MoveFile("\x94", Root() + "/y"));

    std::size_t leftovers = 0;
    for (auto& e : fs::recursive_directory_iterator(m_root))
        if (e.path().extension() == ".tmp") ++leftovers;
    EXPECT_EQ(leftovers, 0u);
}

TEST_F(PlatformFileTest, AStagedFileReplacesItsTargetOnlyWhenCommitted)
{
    const auto temporaries = [&] {
        std::size_t count = 0;
        for (auto& e : fs::directory_iterator(m_root))
            if (e.path().extension() == ".tmp") ++count;
        return count;
    };
    Put(m_root / "a.main", "old a");
    Put(m_root / "a.head", "old head");
    {
        platform::StagedFile main, head;
        ASSERT_EQ(main.Write(Root() + "/a.main", "new a", 5), platform::WriteResult::Ok);
        ASSERT_EQ(head.Write(Root() + "/a.head", "new head", 8), platform::WriteResult::Ok);
        EXPECT_EQ(Get(m_root / "a.main"), "old a");
        EXPECT_EQ(temporaries(), 2u);
        EXPECT_TRUE(main.Commit());
        EXPECT_EQ(Get(m_root / "a.main"), "new a");
        EXPECT_EQ(Get(m_root / "a.head"), "old head");
        EXPECT_FALSE(main.Commit()); // nothing staged any more
    }                                // the head never committed is thrown away
    EXPECT_EQ(Get(m_root / "a.head"), "old head");
    EXPECT_EQ(temporaries(), 0u);

    platform::StagedFile file;
    EXPECT_EQ(file.Write(Root() + "/nofolder/x", "x", 1), platform::WriteResult::CannotCreate);
    EXPECT_FALSE(file.Commit());
    ASSERT_EQ(file.Write(Root() + "/b", "b", 1), platform::WriteResult::Ok);
    file.Discard();
    EXPECT_FALSE(fs::exists(m_root / "b"));
    EXPECT_EQ(temporaries(), 0u);
}

TEST_F(PlatformFileTest, StreamModesKeepTheirMeaningOnRegularFiles)
{
    const std::string path = Root() + "/a.txt";
    const struct
    {
        const char* mode;
        const char* written;
        const char* after; // from "abc"
    } cases[] = {
        {"ab", "d", "abcd"}, {"a+b", "d", "abcd"}, {"wb", "z", "z"}, {"w+b", "z", "z"}, {"r+b", "X", "Xbc"},
    };
    for (const auto& c : cases) {
        Put(m_root / "a.txt", "abc");
        platform::StreamResult result;
        std::FILE* f = platform::OpenStream(path, c.mode, result);
        ASSERT_NE(f, nullptr) << c.mode;
        std::fputs(c.written, f);
        std::fclose(f);
        EXPECT_EQ(Get(m_root / "a.txt"), c.after) << c.mode;
    }
}

TEST_F(PlatformFileTest, OnlyRegularFilesOpenAndNoOpenWaitsOnANamedPipe)
{
    const fs::path pipe = m_root / "pipe.rpl";
    ASSERT_TRUE(test_support::MakeFifo(pipe));
    for (const std::string& path : {pipe.string(), std::string("/dev/null")}) {
        for (const char* mode : {"rb", "r+b", "wb", "w+b", "ab", "a+b"}) {
            test_support::ReturnsWithoutWaitingOn(
                pipe,
                [&] {
                    platform::StreamResult result;
                    EXPECT_EQ(platform::OpenStream(path, mode, result), nullptr) << path << " " << mode;
                    EXPECT_EQ(result, platform::StreamResult::CannotOpen) << path << " " << mode;
                },
                mode);
        }
        test_support::ReturnsWithoutWaitingOn(
            pipe,
            [&] {
                platform::FileReader reader;
                EXPECT_FALSE(reader.Open(path)) << path;
                std::vector<unsigned char> content;
                EXPECT_FALSE(platform::ReadWholeFile(path, content)) << path;
            },
            "FileReader");
    }
}

// A link where the game writes may lead out of the user's folders (a save pack can carry one): every way
// of writing refuses a symbolic link and leaves both the link and the file it points at as they were.
// A hard link's name is made the folder's own file before it is written in place, so the write goes
// ahead there and never reaches the other name. Reading through a link still works.
TEST_F(PlatformFileTest, NoWriteGoesThroughALink)
{
    const fs::path outside = m_root / "outside.txt", regular = m_root / "regular.txt";
    const fs::path link = m_root / "link.rpl";
    const std::string path = link.string();
    const struct
    {
        const char* what;
        std::function<bool()> write; // true when the write went ahead
        const char* hardLinked;      // the folder's file after a write to a hard link ("": gone)
    } cases[] = {
        {"ab", [&] { return OpensStream(path, "ab"); }, "outside!"},
        {"a+b", [&] { return OpensStream(path, "a+b"); }, "outside!"},
        {"wb", [&] { return OpensStream(path, "wb"); }, "!"},
        {"w+b", [&] { return OpensStream(path, "w+b"); }, "!"},
        {"r+b", [&] { return OpensStream(path, "r+b"); }, "!utside"},
        {"whole file", [&] { return platform::WriteWholeFile(path, "new", 3) == platform::WriteResult::Ok; },
         "new"},
        {"staged file",
         [&] {
             platform::StagedFile staged;
             return staged.Write(path, "new", 3) == platform::WriteResult::Ok && staged.Commit();
         },
         "new"},
        {"copy over it", [&] { return platform::CopyFile(regular.string(), path, false); }, "regular"},
        {"rename onto it", [&] { return platform::RenameFileInPlace(regular.string(), "link.rpl"); },
         "regular"},
        {"move it", [&] { return platform::MoveFile(path, (m_root / "moved.rpl").string()); }, ""},
        {"cut it", [&] { return platform::TruncateFile(path, 2); }, "ou"},
    };
    for (const bool hard : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (hard ? ", hard link" : ", symbolic link"));
            fs::remove(link);
            Put(outside, "outside");
            Put(regular, "regular");
            if (hard)
                fs::create_hard_link(outside, link);
            else
                fs::create_symlink(outside, link);
            EXPECT_EQ(c.write(), hard);
            EXPECT_EQ(Get(outside), "outside");
            if (hard) {
                EXPECT_EQ(fs::exists(link) ? Get(link) : "", c.hardLinked);
            } else {
                EXPECT_TRUE(fs::is_symlink(link));
                EXPECT_TRUE(fs::exists(regular));
            }
        }
    }
    // The copy that makes a hard-linked file the folder's own refused alone (the write's own check comes
    // first, the copy's second): the write fails as on a full disk, and no name of the file changes.
    static int checks = 0;
    platform::SetFileWriteRefusal([](const std::string&) { return ++checks == 2; });
    for (const char* mode : {"ab", "a+b", "wb", "w+b", "r+b", "cut"}) {
        SCOPED_TRACE(std::string(mode) + ", its copy refused");
        fs::remove(link);
        Put(outside, "outside");
        fs::create_hard_link(outside, link);
        checks = 0;
        EXPECT_FALSE(std::string(mode) == "cut" ? platform::TruncateFile(path, 2) : OpensStream(path, mode));
        EXPECT_EQ(Get(outside), "outside");
        EXPECT_EQ(Get(link), "outside");
    }
    platform::SetFileWriteRefusal(nullptr);
    // A hard-linked file that opens for writing but not for reading cannot be copied: the write fails.
    fs::remove(m_root / "moved.rpl");
    for (const char* mode : {"ab", "r+b", "cut"}) {
        SCOPED_TRACE(std::string(mode) + ", write-only");
        fs::remove(link);
        Put(outside, "outside");
        fs::create_hard_link(outside, link);
        fs::permissions(outside, fs::perms::owner_write);
        {
            const CHeldToPermissions held;
            EXPECT_FALSE(std::string(mode) == "cut" ? platform::TruncateFile(path, 2)
                                                    : OpensStream(path, mode));
        }
        fs::permissions(outside, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Get(outside), "outside");
        EXPECT_EQ(fs::hard_link_count(outside), 2u);
    }
    fs::remove(link);
    fs::create_symlink(outside, link);
    std::vector<unsigned char> content;
    ASSERT_TRUE(platform::ReadWholeFile(path, content));
    EXPECT_EQ(std::string(content.begin(), content.end()), "outside");
    // A cut never makes a file longer.
    Put(regular, "regular");
    EXPECT_FALSE(platform::TruncateFile(regular.string(), 100));
    EXPECT_EQ(Get(regular), "regular");
}

TEST_F(PlatformFileTest, FoldersStreamsAndDeletion)
{
    ASSERT_TRUE(platform::MakeFolder(Root() + "\\save\\" + kNou));
    EXPECT_TRUE(platform::FolderExists(Root() + "/SAVE/" + kNou));
    EXPECT_TRUE(platform::MakeFolder(Root() + "/save")); // already there

    platform::StreamResult result;
    std::FILE* f = platform::OpenStream(Root() + "/save/" + kNou + "/a.txt", "w", result);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(result, platform::StreamResult::Ok);
    std::fputs("line\n", f); // text mode converts nothing
    std::fclose(f);
    EXPECT_EQ(Get(m_root / "save" / kNouUtf8 / "a.txt"), "line\n");
    for (const auto& [name, mode, expected] :
         {std::tuple{Root() + "/a", "x", platform::StreamResult::BadMode},
          std::tuple{Root() + "/a", "rbb", platform::StreamResult::BadMode},
          std::tuple{std::string("\x94"), "r", platform::StreamResult::BadName},
          std::tuple{Root() + "/missing", "rb", platform::StreamResult::CannotOpen}}) {
        EXPECT_EQ(platform::OpenStream(name, mode, result), nullptr) << mode;
        EXPECT_EQ(result, expected) << mode;
    }

    std::vector<platform::FolderEntry> entries;
    Put(m_root / "save" / "b.dat", "b");
    ASSERT_TRUE(platform::ListFolder(Root() + "/save", entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "b.dat");
    EXPECT_FALSE(entries[0].isFolder);
    EXPECT_EQ(entries[1].name, kNou);
    EXPECT_TRUE(entries[1].isFolder);
    EXPECT_FALSE(platform::ListFolder(Root() + "/nothing", entries));

    EXPECT_TRUE(platform::FileExists(Root() + "/save/B.DAT"));
    EXPECT_TRUE(platform::DeleteFile(Root() + "/save/B.DAT"));
    EXPECT_FALSE(platform::FileExists(Root() + "/save/b.dat"));
    EXPECT_FALSE(platform::DeleteFile(Root() + "/save/b.dat"));
    EXPECT_FALSE(platform::DeleteFile(Root() + "/save"));   // folders are not files
    EXPECT_FALSE(platform::RemoveFolder(Root() + "/save")); // not empty
    EXPECT_TRUE(platform::DeleteFile(Root() + "/save/" + kNou + "/a.txt"));
    EXPECT_TRUE(platform::RemoveFolder(Root() + "/save/" + kNou));
    EXPECT_TRUE(platform::RemoveFolder(Root() + "/save"));
    EXPECT_FALSE(fs::exists(m_root / "save"));
}

TEST_F(PlatformFileTest, ProcessFoldersAndTemporaryFiles)
{
    std::string cwd, exe, tmp;
    ASSERT_TRUE(platform::GetCurrentFolder(cwd));
    EXPECT_EQ(cwd, fs::current_path().string());
    ASSERT_TRUE(platform::SetCurrentFolder(Root()));
    std::string now;
    ASSERT_TRUE(platform::GetCurrentFolder(now));
    EXPECT_EQ(fs::path(now), fs::canonical(m_root));
    ASSERT_TRUE(platform::SetCurrentFolder(cwd));

    ASSERT_TRUE(platform::GetExecutablePath(exe));
    EXPECT_TRUE(fs::exists(exe));

    ASSERT_TRUE(platform::MakeTemporaryFile("ZLV", tmp)); // the name is checked with the SDK's copies
    EXPECT_EQ(fs::file_size(tmp), 0u);
    EXPECT_TRUE(platform::DeleteFile(tmp));

    EXPECT_GT(platform::AvailablePhysicalMemory(), 0u);
}

} // namespace

TEST(PlatformUserFolders, FollowTheXdgVariablesThenTheHomeFolder)
{
    const struct
    {
        const char* dataHome;
        const char* configHome;
        const char* home;
        const char* data;   // null: none
        const char* config; // empty: none
    } cases[] = {
        {"/x/data/", "/x/config", "/h", "/x/data", "/x/config"},
        {"relative", nullptr, "/h/", "/h/.local/share", "/h/.config"},
        {nullptr, nullptr, nullptr, nullptr, ""},
    };
    std::vector<std::pair<const char*, std::string>> kept;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"})
        if (const char* value = std::getenv(name)) kept.emplace_back(name, value);
    for (const auto& c : cases) {
        for (auto [name, value] :
             {std::pair{"XDG_DATA_HOME", c.dataHome}, {"XDG_CONFIG_HOME", c.configHome}, {"HOME", c.home}}) {
            if (value != nullptr)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
        std::string data;
        EXPECT_EQ(platform::GetUserDataFolder(data), c.data != nullptr);
        if (c.data != nullptr) {
            EXPECT_EQ(data, c.data);
        }
        EXPECT_EQ(platform::GetUserConfigHostFolder(), c.config);
    }
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"})
        unsetenv(name);
    for (const auto& [name, value] : kept)
        setenv(name, value.c_str(), 1);
}
