#pragma once
// What the tests of the sound-effect list and the music share: a working folder of the test's own (where
// the lists look for "data\se\" and "data\music\") and a recording sound factory.

#include "support/recording_sounds.h"
#include "support/temp_folder.h"

#include "sdk/auxiliary/file.h"

#include <filesystem>
#include <string>
#include <vector>

class SoundListTest : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        m_previousFolder = std::filesystem::current_path();
        std::filesystem::current_path(m_root);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(m_root.c_str());
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previousFolder);
        zelvoranGameSDK3rd::Auxiliary::CFile::SetCurrentFolder(m_previousFolder.c_str());
        TempFolderTest::TearDown();
    }

    // Writes a list file of the working folder, its lines ended by CR LF.
    void PutList(const std::string& path, const std::vector<std::string>& lines)
    {
        std::string text;
        for (const std::string& line : lines)
            text += line + "\r\n";
        PutFile(m_root / path, text);
    }

    test_support::RecordingSoundFactory factory;

private:
    std::filesystem::path m_previousFolder;
};
