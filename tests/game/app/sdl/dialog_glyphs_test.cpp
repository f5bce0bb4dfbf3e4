// The game's menu bar, dialogs and message boxes as the real back end draws them over the game window,
// on a virtual X server, in the overlay's own Japanese face.
#ifdef MAROVELLIN_HAVE_SDL

#include "game/app/app.h"
#include "game/app/app_dialogs.h"
#include "game/support/hooked_app.h"
#include "platform/backend_chooser.h"
#include "platform/dialog.h"
#include "platform/host/encoding.h"
#include "platform/host/freetype/freetype_font.h"
#include "platform/host/sdl/sdl_overlay.h"
#include "support/app_runner.h"
#include "support/virtual_display.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// The GL driver under SDL keeps memory that the leak checker reports from a library it has unloaded
// already, so it cannot be told from ours. The leak checker is off in this program only; the game code
// it runs is also run, leak-checked, by the headless tests.
extern "C" const char* __lsan_default_options()
{
    return "detect_leaks=0";
}

namespace {

using namespace platform;

// The application with its window hook in place and the test in place of its frame loop.
class COverlayApp : public HookedApp
{
public:
    explicit COverlayApp(std::function<void(COverlayApp&)> body) : m_body(std::move(body)) {}
    void MainThread() override
    {
        g_app = this;
        Hook();
        m_body(*this);
        Unhook();
    }

private:
    std::function<void(COverlayApp&)> m_body;
};

std::string Utf8(const char* cp932)
{
    std::string out;
    EXPECT_TRUE(Cp932ToUtf8(cp932, out)) << cp932;
    return out;
}

// Every menu item and each of the menu's dialogs over the game window, and every message box the game
// shows: no character falls back to "?".
TEST(GameOverlay, EveryTextOfTheMenuDialogsAndMessageBoxesHasItsGlyph)
{
    if (!CreateFreeTypeFontEngine()) GTEST_SKIP() << "the IPA Gothic faces are not installed";
    test_support::VirtualDisplay display;
    std::string why;
    if (!display.Start(why)) GTEST_SKIP() << "skipped: " << why;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    RegisterAppResources();
    // The texts of the message boxes the game can show, with the back end's button labels.
    const char* const boxes[] = {kExitQuestion,
                                 kExitCaption,
                                 kFullScreenFailed,
                                 kDisplayModeWarning,
                                 "エラー",
                                 "確認",
                                 "セーブデータを削除しますか？",
                                 "リプレイデータを削除しますか？",
                                 "一部のファイルが削除出来ませんでした。",
                                 "キーコンフィグファイルの保存に失敗しました。",
                                 "キーコンフィグファイルの読み込みに失敗しました。",
                                 "セーブデータの保存に失敗しました。",
                                 "中断データのロードに失敗しました。",
                                 "複数のファイルは読み込めません",
                                 "データが読み込めませんでした",
                                 "中断データがロードできませんでした",
                                 "クリップボードにコピーできませんでした",
                                 "データが読み込めませんでした。\n再インストールしてください。",
                                 "セーブデータが読み込めませんでした。",
                                 "特訓パスワードが読み込めませんでした。",
                                 "ファイルが読み込めませんでした。",
                                 "リプレイファイルが読み込めませんでした",
                                 "データがロードできませんでした",
                                 "リプレイデータが作成できませんでした",
                                 "ダンジョンが作成できませんでした",
                                 "セーブデータに保存できません",
                                 "中断データが読み込めませんでした",
                                 "モンスターデータが読み込めませんでした。\n再インストールして下さい。",
                                 "アイテムデータが読み込めませんでした。\n再インストールしてください。",
                                 "はい",
                                 "いいえ",
                                 "キャンセル"};
    std::string boxTexts;
    for (const char* text : boxes)
        boxTexts += Utf8(text);
    const bool ran = test_support::RunInApplication(
        [&](test_support::BodyApp&) {
            COverlayApp app([&](COverlayApp& a) {
                ASSERT_TRUE(GetBackend().MakeFrame(a.Window(), 320, 240, 8, 4));
                ASSERT_TRUE(GetBackend().PresentFrame(a.Window()));
                // The menu bar alone, and the message boxes' texts.
                EXPECT_EQ(sdl::MissingOverlayGlyphs(boxTexts), std::optional<std::string>(""));
                for (const int item : {kMenuVersion, kMenuSoundSettings, kMenuCpuLoad}) {
                    SCOPED_TRACE(item);
                    a.Menu(item);
                    ASSERT_NE(g_openDialog, nullptr);
                    ASSERT_TRUE(GetBackend().PresentFrame(a.Window()));
                    EXPECT_EQ(sdl::MissingOverlayGlyphs(), std::optional<std::string>(""));
                    DestroyWindow(g_openDialog);
                    g_openDialog = nullptr;
                    a.Pump();
                }
                // The text-entry dialog, as the menu scene opens it, with a typed name of rare kanji.
                const HWND entry =
                    CreateDialog(MakeIntResource(kDialogTextEntry), a.Window(), &TextEntryDialogProc, 0);
                ASSERT_NE(entry, nullptr);
                SetDlgItemText(entry, kTextEntryEdit, "霞野譚");
                ASSERT_TRUE(GetBackend().PresentFrame(a.Window()));
                EXPECT_EQ(sdl::MissingOverlayGlyphs(), std::optional<std::string>(""));
                DestroyWindow(entry);
                a.Pump();
                GetBackend().CloseDisplay(a.Window());
            });
            app.Start();
        },
        "sdl");
    ASSERT_TRUE(ran) << "SDL cannot open the virtual display";
}

} // namespace

#endif
