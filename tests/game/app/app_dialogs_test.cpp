// The window hook's menu commands and the game's dialogs, driven through the headless dialog host: the
// controls are set and clicked as a person would, and the global data is read back from its file.
#include "game/app/app.h"
#include "game/app/app_dialogs.h"
#include "game/data/global_data.h"
#include "game/sound/sound_effect_list.h"
#include "game/support/hooked_app.h"
#include "gamebase/music.h"
#include "platform/dialog.h"
#include "platform/host/headless/headless.h"
#include "sdk/auxiliary/file.h"
#include "support/app_runner.h"
#include "support/temp_folder.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

using namespace platform;
using Volumes = std::vector<std::uint32_t>;

// The application with the sound set-up of its start and the test in place of its frame loop.
class CDialogApp : public HookedApp
{
public:
    explicit CDialogApp(std::function<void(CDialogApp&)> body) : m_body(std::move(body)) {}
    void MainThread() override
    {
        g_app = this;
        SetDoubleSizeCopy(g_globalData.doubleSize);
        Hook();
        DragAcceptFiles(Window(), true);
        CMusicList::GetInstance()->CreateLoaders(&m_musicSoundFactory);
        QuorlithGameBase::CMusic::GetInstance()->SetSoundFactory(&m_musicSoundFactory);
        CSoundEffectList::GetInstance()->CreateLoader(&m_soundEffectSoundFactory);
        ApplySoundSettings();
        m_body(*this);
        Unhook();
        CSoundEffectList::GetInstance()->DestroyLoader();
        CMusicList::GetInstance()->DestroyLoaders();
    }
    // Sets the master line and takes it as the saved master volumes, as the start does.
    void SaveMaster(const Volumes& volumes)
    {
        GetMixer().SetVolume(0, volumes);
        GetMixer().GetVolume(0, g_savedMasterVolumes);
    }
    Volumes Master()
    {
        Volumes v;
        GetMixer().GetVolume(0, v);
        return v;
    }

private:
    std::function<void(CDialogApp&)> m_body;
};

class AppDialogs : public TempFolderTest
{
protected:
    void SetUp() override
    {
        TempFolderTest::SetUp();
        RegisterAppResources();
        m_folder = Auxiliary::CFile::GetCurrentFolder();
        Auxiliary::CFile::SetCurrentFolder(m_root.string().c_str());
        std::filesystem::create_directories(m_root / "save");
        g_globalData = SGlobalData();
        LoadGlobalData(g_globalData);
        headless::TakeOpenedDocuments();
    }
    void TearDown() override
    {
        Auxiliary::CFile::SetCurrentFolder(m_folder);
        g_globalData = SGlobalData();
        TempFolderTest::TearDown();
    }
    void Run(const std::function<void(CDialogApp&)>& body)
    {
        ASSERT_TRUE(test_support::RunInApplication([&](test_support::BodyApp&) {
            CDialogApp app(body);
            app.Start();
        }));
    }
    static SGlobalData Stored()
    {
        SGlobalData stored;
        LoadGlobalData(stored);
        return stored;
    }

    ZTL::string m_folder;
};

TEST_F(AppDialogs, SoundDialogStartsFromTheSettingsAndKeepsItsBarsInRange)
{
    g_globalData.musicVolume = 200;
    g_globalData.soundEffectVolume = 30;
    g_globalData.musicOff = true;
    g_globalData.alwaysFreeIdleSounds = false;
    Run([&](CDialogApp& app) {
        app.SaveMaster({40000, 30009});
        app.Menu(kMenuSoundSettings);
        const HWND d = g_openDialog;
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(GetTrackBarPosition(d, kMasterVolumeBar), 4000);
        EXPECT_EQ(GetTrackBarPosition(d, kMusicVolumeBar), 200);
        EXPECT_EQ(GetTrackBarPosition(d, kSoundEffectVolumeBar), 30);
        EXPECT_TRUE(IsDlgButtonChecked(d, kMusicOffBox));
        EXPECT_FALSE(IsDlgButtonChecked(d, kSoundEffectsOffBox));
        EXPECT_FALSE(IsDlgButtonChecked(d, kPlayWhileInactiveBox));
        EXPECT_FALSE(IsDlgButtonChecked(d, kFreeIdleSoundsBox));
        // The ranges: 0 to 6553 for the master bar, 0 to 255 for the others.
        const struct
        {
            int bar;
            std::int32_t asked, kept;
        } drags[] = {
            {kMasterVolumeBar, 9000, 6553}, {kMusicVolumeBar, 300, 255}, {kSoundEffectVolumeBar, -5, 0}};
        for (const auto& drag : drags) {
            DragTrackBar(d, drag.bar, drag.asked, false);
            EXPECT_EQ(GetTrackBarPosition(d, drag.bar), drag.kept) << drag.bar;
        }
    });
}

TEST_F(AppDialogs, OkAndApplySaveTheSoundSettingsAndCancelKeepsThem)
{
    const struct
    {
        int button;
        bool saved, open;
    } cases[] = {{kButtonOk, true, false}, {kButtonApply, true, true}, {kButtonCancel, false, false}};
    for (const auto& c : cases) {
        g_globalData = SGlobalData();
        LoadGlobalData(g_globalData);
        SaveGlobalData(g_globalData);
        const SGlobalData before = g_globalData;
        Run([&](CDialogApp& app) {
            app.Menu(kMenuSoundSettings);
            const HWND d = g_openDialog;
            DragTrackBar(d, kMusicVolumeBar, 77, true);
            DragTrackBar(d, kSoundEffectVolumeBar, 99, true);
            for (int box : {kMusicOffBox, kSoundEffectsOffBox, kPlayWhileInactiveBox, kFreeIdleSoundsBox})
                ClickDialogButton(d, box);
            app.Pump();
            ClickDialogButton(d, c.button);
            app.Pump();
            EXPECT_EQ(IsWindow(d), c.open) << c.button;
            EXPECT_EQ(g_openDialog != nullptr, c.open) << c.button;
            const SGlobalData stored = Stored();
            const SGlobalData& expected = c.saved ? g_globalData : before;
            EXPECT_EQ(stored.musicVolume, c.saved ? 77 : before.musicVolume) << c.button;
            EXPECT_EQ(stored.soundEffectVolume, c.saved ? 99 : before.soundEffectVolume) << c.button;
            EXPECT_EQ(stored.musicOff, expected.musicOff) << c.button;
            EXPECT_EQ(stored.soundEffectsOff, expected.soundEffectsOff) << c.button;
            EXPECT_EQ(stored.playMusicWhileInactive, expected.playMusicWhileInactive) << c.button;
            EXPECT_EQ(stored.alwaysFreeIdleSounds, expected.alwaysFreeIdleSounds) << c.button;
            EXPECT_EQ(g_globalData.musicVolume, c.saved ? 77 : before.musicVolume) << c.button;
            // The settings are applied: music plays on while inactive through new buffers.
            EXPECT_EQ(app.GetMusicSoundFactory().GetSoundParameter()->IsGlobalFocus(),
                      c.saved ? !before.playMusicWhileInactive : before.playMusicWhileInactive);
        });
    }
}

TEST_F(AppDialogs, TheMasterBarActsWhenLetGoAndKeepsTheChannelsBalance)
{
    const struct
    {
        Volumes saved;
        std::int32_t position;
        Volumes set;
    } cases[] = {
        {{40000, 30000}, 3000, {30000, 22500}},
        {{40000, 30000}, 6553, {65530, 49147}},
        {{0, 0}, 3000, {0, 0}},
    };
    for (const auto& c : cases) {
        Run([&](CDialogApp& app) {
            app.SaveMaster(c.saved);
            app.Menu(kMenuSoundSettings);
            const HWND d = g_openDialog;
            DragTrackBar(d, kMasterVolumeBar, c.position, false);
            app.Pump();
            // Dragging alone changes nothing; letting go does.
            EXPECT_EQ(app.Master(), c.saved);
            DragTrackBar(d, kMasterVolumeBar, c.position, true);
            app.Pump();
            EXPECT_EQ(app.Master(), c.set);
            // Cancel keeps the new master volume and the saved ones.
            ClickDialogButton(d, kButtonCancel);
            app.Pump();
            EXPECT_EQ(app.Master(), c.set);
            EXPECT_EQ(g_savedMasterVolumes, c.saved);
            app.SaveMaster({65535, 65535});
        });
    }
}

TEST_F(AppDialogs, CpuLoadTakesDecimalNumbersBelowTheSignedLimit)
{
    const struct
    {
        const char* typed;
        std::int32_t stored;
    } cases[] = {{"7", 7},          {"abc", 0},        {"12x", 0},         {"2147483647", 2147483647},
                 {"2147483648", 3}, {"4294967295", 3}, {"99999999999", 0}, {"", 0}};
    for (const auto& c : cases) {
        g_globalData.cpuLoad = 3;
        SaveGlobalData(g_globalData);
        Run([&](CDialogApp& app) {
            app.Menu(kMenuCpuLoad);
            const HWND d = g_openDialog;
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(GetDlgItemText(d, kCpuLoadEdit), "3");
            EditDialogText(d, kCpuLoadEdit, c.typed);
            ClickDialogButton(d, kButtonApply);
            app.Pump();
            EXPECT_TRUE(IsWindow(d));
            EXPECT_EQ(g_globalData.cpuLoad, c.stored) << c.typed;
            EXPECT_EQ(Stored().cpuLoad, c.stored) << c.typed;
            ClickDialogButton(d, kButtonOk);
            app.Pump();
            EXPECT_FALSE(IsWindow(d));
            EXPECT_EQ(g_openDialog, nullptr);
        });
    }
}

TEST_F(AppDialogs, MenuCommandsAreIgnoredWhileADialogIsOpen)
{
    Run([&](CDialogApp& app) {
        app.Menu(kMenuCpuLoad);
        const HWND d = g_openDialog;
        ASSERT_NE(d, nullptr);
        for (int id :
             {kMenuSoundSettings, kMenuVersion, kMenuManual, kMenuWebPage, kMenuDoubleSize, kMenuExit}) {
            app.Menu(id);
            EXPECT_EQ(g_openDialog, d) << id;
        }
        EXPECT_TRUE(headless::TakeOpenedDocuments().empty());
        EXPECT_EQ(app.GetDoubleSizeCopy(), g_globalData.doubleSize);
        EXPECT_TRUE(IsWindow(app.Window()));
        SendMessage(d, WM_CLOSE, 0, 0);
        EXPECT_EQ(g_openDialog, nullptr);

        // Without a dialog they act.
        app.Menu(kMenuManual);
        app.Menu(kMenuWebPage);
        const auto opened = headless::TakeOpenedDocuments();
        ASSERT_EQ(opened.size(), 2u);
        EXPECT_NE(opened[0].find("manual.html"), std::string::npos);
        EXPECT_EQ(opened[1], kWebAddress);
        app.Menu(kMenuDoubleSize);
        EXPECT_EQ(app.GetDoubleSizeCopy(), !g_globalData.doubleSize);
        app.Menu(kMenuVersion);
        ASSERT_NE(g_openDialog, nullptr);
        ClickDialogButton(g_openDialog, kButtonOk);
        app.Pump();
        EXPECT_EQ(g_openDialog, nullptr);
    });
}

TEST_F(AppDialogs, DropsReplaceTheListAndInactivityInAWindowChangesNothing)
{
    Run([&](CDialogApp& app) {
        headless::Events().DropFiles(app.Window(), {"/tmp/one.rpl"});
        app.Pump();
        headless::Events().DropFiles(app.Window(), {"/tmp/b.rpl", "/tmp/a.rpl"});
        app.Pump();
        ASSERT_EQ(app.GetDroppedFiles().size(), 2u);
        EXPECT_EQ(app.GetDroppedFiles()[0], "/tmp/b.rpl");
        EXPECT_EQ(app.GetDroppedFiles()[1], "/tmp/a.rpl");
        SendMessage(app.Window(), WM_ACTIVATEAPP, 0, 0);
        EXPECT_EQ(g_resizeRepeats, 0);
        EXPECT_FALSE(app.IsFullScreen());
    });
}

TEST_F(AppDialogs, ADroppedPathLongerThan260BytesIsLeftOutNotCut)
{
    Run([&](CDialogApp& app) {
        const std::string longest = "/tmp/" + std::string(251, 'x') + ".rpl"; // 260 bytes
        headless::Events().DropFiles(app.Window(), {longest + "x", longest});
        app.Pump();
        ASSERT_EQ(app.GetDroppedFiles().size(), 1u);
        EXPECT_EQ(app.GetDroppedFiles()[0], longest.c_str());
    });
}

TEST_F(AppDialogs, TextEntryKeepsItsLimitAndThePadButtonCancels)
{
    const struct
    {
        std::int32_t limit;
        const char* typed;
        int button;
        const char* result;
    } cases[] = {
        {3, "abcdefgh", kButtonOk, "abcdef"},
        {20, "0123456789012345678901234567890123456789", kButtonOk, "0123456789012345678901234567890"},
        // A double-byte character is never split.
        {2, "あいう", kButtonOk, "あい"},
        {8, "abc", kButtonCancel, ""},
    };
    for (const auto& c : cases) {
        Run([&](CDialogApp& app) {
            g_textEntryLimit = c.limit;
            const HWND d =
                CreateDialog(MakeIntResource(kDialogTextEntry), app.Window(), &TextEntryDialogProc, 0);
            ASSERT_NE(d, nullptr);
            EditDialogText(d, kTextEntryEdit, c.typed);
            ClickDialogButton(d, c.button);
            app.Pump();
            EXPECT_FALSE(IsWindow(d));
            EXPECT_EQ(g_textEntryResult, c.result) << c.limit;
        });
    }
    // The pad's button bound to logical key 1 closes it without a result.
    headless::AddJoystick(JoystickCaps{0, 65535, 0, 65535, 8});
    Run([&](CDialogApp& app) {
        ZTL::smart_ptr<CKeyThread> keys(new CKeyThread);
        keys->Setup();
        g_keyObject = keys;
        const std::int32_t code = keys->FindBinding(1, true);
        ASSERT_GE(code, 4);
        const HWND d = CreateDialog(MakeIntResource(kDialogTextEntry), app.Window(), &TextEntryDialogProc, 0);
        EditDialogText(d, kTextEntryEdit, "abc");
        SendMessage(d, WM_TIMER, 1, 0);
        EXPECT_TRUE(IsWindow(d));
        headless::SetJoystickPosition(0, JoystickPosition{32768, 32768, 1u << (code - 4)});
        SendMessage(d, WM_TIMER, 1, 0);
        EXPECT_FALSE(IsWindow(d));
        EXPECT_EQ(g_textEntryResult, "");
        headless::SetJoystickPosition(0, JoystickPosition{32768, 32768, 0});
        g_keyObject.release();
    });
    headless::RemoveAllJoysticks();
}

} // namespace
