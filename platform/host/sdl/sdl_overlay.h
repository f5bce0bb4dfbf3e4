// What the SDL back end draws over a window's game frame: the menu bar of the window's menu and the
// dialogs open over it, with an immediate-mode toolkit on the window's renderer. What the user does to
// them is collected and handed to the event sink by the back end. This header is free of SDL's and the
// toolkit's own.
#pragma once

#include "platform/host/backend.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

union SDL_Event;
struct SDL_Window;
struct SDL_Renderer;

namespace platform::sdl {

class Overlay
{
public:
    // Null when the toolkit is in use by another window already.
    static std::unique_ptr<Overlay> Create(SDL_Window* window, SDL_Renderer* renderer);
    ~Overlay();

    void SetMenu(const std::vector<MenuEntry>& entries) { m_menu = entries; }
    void SetDialogs(const std::vector<DialogView>& dialogs) { m_dialogs = dialogs; }
    bool HasDialogs() const { return !m_dialogs.empty(); }
    bool HasContent() const { return !m_menu.empty() || !m_dialogs.empty() || m_box.has_value(); }

    // A message box over everything else: its caption, text and button labels (UTF-8). The button the
    // user clicked is taken once; -1 while none was.
    struct MessageBoxView
    {
        std::string captionUtf8;
        std::string textUtf8;
        std::vector<std::string> labelsUtf8;
    };
    void SetMessageBox(std::optional<MessageBoxView> box)
    {
        m_box = std::move(box);
        m_boxAnswer = -1;
    }
    int TakeMessageBoxAnswer() { return std::exchange(m_boxAnswer, -1); }

    // An event of the window, for the toolkit.
    void ProcessEvent(const SDL_Event& event);
    // Draws the menu bar (while the mouse is near the top of the window or a menu is open) and the
    // dialogs on the renderer, over what it holds.
    void Draw();

    struct Action
    {
        enum Kind
        {
            MenuCommand,
            Button,
            Text,
            Track,
            Close,
        } kind;
        HWND dialog;
        int id;
        std::string textUtf8;
        std::int32_t position;
        bool released;
    };
    std::vector<Action> TakeActions();

    // The characters of what the overlay shows (menu, dialogs, message box) and of `alsoUtf8` that its
    // face has no glyph for, each once, as UTF-8: the toolkit would draw "?" for them.
    std::string MissingGlyphs(std::string_view alsoUtf8) const;

private:
    Overlay(SDL_Window* window, SDL_Renderer* renderer);
    void DrawMenu(const MenuEntry& entry);
    void DrawDialog(const DialogView& dialog);
    void DrawMessageBox(const MessageBoxView& box);

    SDL_Window* m_window;
    SDL_Renderer* m_renderer;
    std::vector<MenuEntry> m_menu;
    std::vector<DialogView> m_dialogs;
    std::vector<Action> m_actions;
    std::optional<MessageBoxView> m_box;
    int m_boxAnswer = -1;
    bool m_menuOpen = false;
};

// MissingGlyphs of the overlay that is open now; nullopt while none is.
std::optional<std::string> MissingOverlayGlyphs(std::string_view alsoUtf8 = {});

} // namespace platform::sdl
