// The sound half of the asset validator: the built effects and music pass, and copies broken one way
// each fail naming the number that broke.

#include "tools/assets/validator.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
const fs::path kBuilt = MAROVELLIN_BUILD_DIR;

// A WAV file of `frames` frames of a quiet tone, in the given layout.
std::string Wave(std::uint16_t channels, std::uint16_t bits, std::uint32_t frames)
{
    const std::uint32_t block = channels * bits / 8, data = frames * block;
    std::string file;
    const auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file += static_cast<char>(v >> (8 * i));
    };
    file += "RIFF", put(36 + data, 4), file += "WAVEfmt ", put(16, 4), put(1, 2), put(channels, 2),
        put(44100, 4);
    put(44100 * block, 4), put(block, 2), put(bits, 2), file += "data", put(data, 4);
    for (std::uint32_t i = 0; i < frames * channels; ++i)
        put(bits == 8 ? 128 + (i % 20) : (i % 20) * 500, bits / 8);
    return file;
}

class SoundValidatorTest : public TempFolderTest
{
public:
    // A copy of the built data whose files link to the built ones; a broken file replaces its link. The
    // plug-in is the build's own.
    void CopyBuilt()
    {
        for (const char* folder : {"data/se", "data/music", "data/text"}) {
            fs::create_directories(m_root / folder);
            for (const auto& entry : fs::directory_iterator(kBuilt / folder))
                fs::create_symlink(entry.path(), m_root / folder / entry.path().filename());
        }
    }
    // Replaces a file of the copy with `content`, or takes it away when `content` is empty.
    void Replace(const fs::path& file, const std::string& content)
    {
        fs::remove(m_root / file);
        if (!content.empty()) PutFile(m_root / file, content);
    }
    // The file of the copy, changed at the first place `from` stands.
    void Edit(const fs::path& file, const std::string& from, const std::string& to)
    {
        std::string text = GetFile(kBuilt / file);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        Replace(file, text.replace(at, from.size(), to));
    }
    // The one effect file whose name begins so.
    static fs::path Effect(const std::string& prefix)
    {
        for (const auto& entry : fs::directory_iterator(kBuilt / "data/se"))
            if (entry.path().filename().string().starts_with(prefix))
                return fs::path("data/se") / entry.path().filename();
        return {};
    }
    static fs::path WeaponTable()
    {
        for (const auto& entry : fs::directory_iterator(kBuilt / "data/text")) {
            const std::string text = GetFile(entry.path());
            // The weapon table: its lines end in the swing numbers of the families.
            if (text.find("\t208\r\n") != std::string::npos && text.find("\t211\r\n") != std::string::npos)
                return fs::path("data/text") / entry.path().filename();
        }
        return {};
    }
};

TEST_F(SoundValidatorTest, BuiltSoundsPass)
{
    for (const std::string& problem : asset_validator::ValidateSounds(kBuilt.string()))
        ADD_FAILURE() << problem;
}

TEST_F(SoundValidatorTest, EachBrokenCopyFailsNamingTheNumber)
{
    struct Case
    {
        const char* what;
        std::function<void(SoundValidatorTest&)> breakIt;
        const char* named; // every problem begins so
    };
    const Case cases[] = {
        {"effect 4's file missing", [](SoundValidatorTest& t) { t.Replace(Effect("se004-"), ""); },
         "sound 4 "},
        {"effect 2 in stereo", [](SoundValidatorTest& t) { t.Replace(Effect("se002-"), Wave(2, 16, 4000)); },
         "sound 2 "},
        {"effect 1 in 8 bits", [](SoundValidatorTest& t) { t.Replace(Effect("se001-"), Wave(1, 8, 1500)); },
         "sound 1 "},
        {"a weapon swinging with unlisted effect 213",
         [](SoundValidatorTest& t) { t.Edit(WeaponTable(), "\t208\r\n", "\t213\r\n"); }, "sound 213:"},
        {"music 12 not in the list",
         [](SoundValidatorTest& t) {
             const std::string list = GetFile(kBuilt / "data/music/list.txt");
             const std::size_t at = list.find(",12\r\n");
             ASSERT_NE(at, std::string::npos);
             const std::size_t start = list.rfind('\n', at) + 1;
             t.Replace("data/music/list.txt", list.substr(0, start) + list.substr(at + 5));
         },
         "music 12:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(m_root / "data");
        CopyBuilt();
        c.breakIt(*this);
        const std::vector<std::string> problems =
            asset_validator::ValidateSounds(m_root.string(), (kBuilt / "data/plugin/zelvogg.dll").string());
        EXPECT_FALSE(problems.empty());
        for (const std::string& problem : problems)
            EXPECT_EQ(problem.rfind(c.named, 0), 0u) << problem;
    }
}

} // namespace
