// Message boxes and the settings store as the program reaches them, through the headless back end.

#include "platform/backend_chooser.h"
#include "platform/host/headless/headless.h"
#include "platform/message_box.h"
#include "platform/settings.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using Answer = Backend::MessageBoxAnswer;

class HeadlessServices : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SelectBackend("headless"));
        headless::SetMessageBoxesUnavailable(false);
        headless::ScriptMessageBoxAnswers({});
        headless::ResetSettings();
    }
    void TearDown() override { headless::ResetSettings(); }
};

TEST_F(HeadlessServices, ABoxAnswersFromTheScriptThenWithItsDefaultButton)
{
    headless::ScriptMessageBoxAnswers({Answer::Yes, Answer::Cancel});
    EXPECT_EQ(MessageBox(nullptr, "\x8A\x6D\x94\x46", "t", MB_YESNO | MB_ICONQUESTION), IDYES); // 確認
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_YESNOCANCEL), IDCANCEL);
    const struct
    {
        UINT type;
        int answer;
    } defaults[] = {
        {MB_OK | MB_ICONERROR, IDOK},     {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO}, {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OK | MB_DEFBUTTON2, IDOK},    {0x0005 /* retry and cancel */, 0},
    };
    for (const auto& d : defaults)
        EXPECT_EQ(MessageBox(nullptr, "a", "b", d.type), d.answer) << d.type;

    const auto shown = headless::GetShownMessageBoxes();
    ASSERT_EQ(shown.size(), 7u);                          // the unknown button set is never shown
    EXPECT_EQ(shown[0].text, "\xE7\xA2\xBA\xE8\xAA\x8D"); // 確認 in UTF-8
    EXPECT_EQ(shown[0].caption, "t");
    EXPECT_EQ(shown[0].icon, Backend::MessageBoxIcon::Question);
    EXPECT_EQ(shown[2].icon, Backend::MessageBoxIcon::Error);
    EXPECT_EQ(shown[4].defaultButton, 1);
    EXPECT_EQ(shown[6].defaultButton, 0); // a default beyond the buttons is the first

    headless::SetMessageBoxesUnavailable(true);
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MB_OK), 0);
    headless::SetMessageBoxesUnavailable(false);
    EXPECT_EQ(MessageBox(nullptr, "\x81", "b", MB_OK), 0); // half a double-byte character
}

TEST_F(HeadlessServices, SettingsHoldFourByteValuesUnderKeys)
{
    const char* key = "Software\\Quorlith\\marovellin";
    DWORD value = 0, subKeys = 0, values = 0;
    EXPECT_FALSE(ReadSettingDword(key, "0001", value));
    ASSERT_TRUE(WriteSettingDword(key, "0001", 0xA1B2C3D4u));
    ASSERT_TRUE(ReadSettingDword(key, "0001", value));
    EXPECT_EQ(value, 0xA1B2C3D4u);
    ASSERT_TRUE(CountSettings("Software\\Quorlith", subKeys, values));
    EXPECT_EQ(subKeys, 1u);
    EXPECT_FALSE(DeleteSettingsKey("Software\\Quorlith"));
    EXPECT_TRUE(DeleteSetting(key, "0001"));
    EXPECT_TRUE(DeleteSettingsKey(key));
    EXPECT_TRUE(CreateSettingsKey(key));
    EXPECT_TRUE(CreateSettingsKey(key)); // it exists

    headless::SetSettingsReadOnly(true);
    EXPECT_FALSE(WriteSettingDword(key, "0001", 1));
    headless::SetSettingsReadOnly(false);
}

} // namespace
