#pragma once
// A test's own machine: a fresh working folder (where the program keeps "save" and "replay"), data and
// configuration folders for the user, an empty headless settings store and no scripted box answers.
// Everything goes back when the test ends.

#include "platform/host/encoding.h"
#include "platform/host/headless/headless.h"
#include "sdk/auxiliary/file.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Points the working folder, the SDK's current folder and the user's folders at a root of the test's own
// (the executable's folder "exe", "data", "config" and "home" under it), with an empty headless settings
// store and no scripted box answers; everything goes back when the object goes. The root and its "exe"
// folder must exist.
class CScopedHome
{
public:
    explicit CScopedHome(const std::filesystem::path& root)
    {
        m_previousFolder = std::filesystem::current_path();
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"}) {
            const char* value = std::getenv(name);
            m_previousEnvironment.emplace_back(name,
                                               value ? std::optional<std::string>(value) : std::nullopt);
        }
        const std::filesystem::path exe = root / "exe";
        std::filesystem::current_path(exe);
        // The SDK's files resolve relative names against the folder they took at start-up.
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(exe.c_str());
        setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
        setenv("HOME", (root / "home").c_str(), 1);
        platform::headless::ResetSettings();
        platform::headless::SetSettingsReadOnly(false);
        platform::headless::SetMessageBoxesUnavailable(false);
        platform::headless::ScriptMessageBoxAnswers({});
    }
    ~CScopedHome()
    {
        std::filesystem::current_path(m_previousFolder);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(m_previousFolder.c_str());
        for (const auto& [name, value] : m_previousEnvironment) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        platform::headless::ResetSettings();
    }
    CScopedHome(const CScopedHome&) = delete;
    CScopedHome& operator=(const CScopedHome&) = delete;

private:
    std::filesystem::path m_previousFolder;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_previousEnvironment;
};

class TempHomeTest : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        std::filesystem::create_directories(Exe());
        m_home.emplace(m_root);
    }
    void TearDown() override
    {
        m_home.reset();
        TempFolderTest::TearDown();
    }

    // The executable's folder (the working folder) and the user's data folder.
    std::filesystem::path Exe() const { return m_root / "exe"; }
    std::filesystem::path Data() const { return m_root / "data"; }
    // The game's folder in the user's data folder.
    std::filesystem::path GameData() const { return Data() / Utf8("霧谷奇譚"); }

    // A CP932 text (as the sources' literals are compiled) in UTF-8.
    static std::string Utf8(const std::string& cp932)
    {
        std::string utf8;
        platform::Cp932ToUtf8(cp932, utf8);
        return utf8;
    }

private:
    std::optional<CScopedHome> m_home;
};
