#pragma once
// The stack of select windows: every menu, list, question and panel of the game. Scenes open windows on
// top, move the cursor through the per-frame update, read the cursor and close windows from the top.
// Windows opened together form a group; only the top group is active (drawn bright, moved by the
// direction keys), the windows below are drawn dimmed.
//
// Every window is painted onto one off-screen plane as large as the screen, the select surface, only
// when it is opened, changed or uncovered; each frame the scene composes that surface onto the back
// plane (Draw) and draws the arrows of the top group (DrawCursors).
//
// Positions and sizes are on the 320 x 240 logical screen; in double size the surface is 640 x 480 and
// everything painted on it is doubled. Dirty rectangles are reported in logical coordinates.
//
// Texts of the text openers hold one item a line ("\n"); an empty line ends the list. With colour codes a
// line may begin with "#" and a code: "1" to "7", "r", "g", "b", "y" colour it, "n" greys it out and
// makes it unselectable.

#include "game/ui/window_draw.h"
#include "gamebase/sdk_names.h"
#include "sdk/draw/dirty_rect.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/ztl/ztl_string.h"

#include <cstdint>
#include <list>
#include <vector>

struct SGameResource;
class CItemControl;

// What the status window and the parameter panel show of the heroine but other rules compute: her
// attack and defence powers (the combat rules), her strength and maximum strength with the bonus of
// circles and seals and her abilities (the character statuses), and the magic circles that cover her.
// The menu scene hands in the game's rules when it opens the panels.
class IPanelRules
{
public:
    virtual std::int32_t GetAttackPower(SGameResource& game) = 0;
    virtual std::int32_t GetDefensePower(SGameResource& game) = 0;
    // Both at least 0.
    virtual std::int32_t GetStrengthWithBonus(SGameResource& game) = 0;
    virtual std::int32_t GetMaxStrengthWithBonus(SGameResource& game) = 0;
    // Her kind's ability bit (false while sealed, as for every character).
    virtual bool HasAbility(SGameResource& game, std::uint16_t ability) = 0;
    // How many circles of that id cover her.
    virtual std::int32_t CountCirclesAffecting(SGameResource& game, std::int32_t circleId) = 0;

protected:
    ~IPanelRules() = default;
};

class CSelectWindow : public IWindowDraw
{
public:
    struct SItem
    {
        ZTL::string text;         // colour codes removed
        std::uint32_t colour = 0; // 0x00BBGGRR
        std::uint8_t enabled = 1; // a disabled item can be pointed at but not chosen
    };
    struct SImage
    {
        std::int32_t imageId = 0;
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t left = 0;
        std::int32_t top = 0;
        std::int32_t right = 0;
        std::int32_t bottom = 0;
    };
    struct SWindow
    {
        std::vector<SItem> items;
        std::vector<SImage> images;
        std::int32_t type = -1; // EWindowType
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::int32_t width = 0;
        std::int32_t height = 0;
        std::int32_t cursor = -1; // -1 none
        std::int32_t group = 0;
        std::uint8_t proportionalFont = 0;
        std::uint8_t dirty = 1; // to be painted by the next dirty redraw
    };

    // The layouts and cursor rules.
    enum EWindowType : std::int32_t
    {
        kTypeList = 0,
        kTypeCommandMenu = 1, // two columns; the cursor moves inside a column and across
        kTypePanel = 2,       // a list shown without a cursor
        kTypeIconList = 4,    // text indented for icons
        kTypeCharacterTable = 6,
        kTypeYesNo = 7,
        kTypeSettingsList = 8,    // the cursor wraps over the rows that fit
        kTypeMultiColourList = 9, // each line coloured in runs by its own codes
        kTypeClassFilter = 10,    // three columns of four
        kTypeSaveDataList = 11,   // three lines an entry; the cursor counts entries
    };

    // Both planes empty, no window; RebuildSurface before first use.
    CSelectWindow() = default;
    CSelectWindow(const CSelectWindow&) = delete;
    CSelectWindow& operator=(const CSelectWindow&) = delete;

    // ---- Opening. Each pushes one window on top, in the top group (that of the top window, 0 for an
    // empty stack) or in a new group one above it.

    // A text window; x or y -1 centres it, width -1 sizes it to the longest line, rows -1 to the lines.
    // The cursor is stored as given. A window reaching past x 312 or y 232 is cut there before centring.
    // Always 0.
    int Open(std::int32_t x, std::int32_t y, bool newGroup, std::int32_t width, std::int32_t rows,
             std::int32_t cursor, bool colourCodes, const ZTL::string& text);
    // The four below answer 1 when the stack is empty afterwards, else 0.
    // At (32, 36) in the top group, with colour codes; three lines an entry.
    int OpenSaveDataList(std::int32_t width, std::int32_t rows, std::int32_t cursor, const ZTL::string& text);
    // Centred across, in a new group; every line keeps its codes and is drawn in coloured runs.
    int OpenMultiColourList(std::int32_t y, std::int32_t width, std::int32_t rows, std::int32_t cursor,
                            const ZTL::string& text);
    // With colour codes and text indented for icons (AddImage); the cursor is taken as given.
    int OpenIconList(std::int32_t x, std::int32_t y, bool newGroup, std::int32_t width, std::int32_t rows,
                     std::int32_t cursor, const ZTL::string& text);
    // Centred across, in a new group, cursor 0, with colour codes; the cursor wraps at the rows shown.
    int OpenSettingsList(std::int32_t y, std::int32_t width, std::int32_t rows, const ZTL::string& text);
    // " はい" and " いいえ", 72 x 48, nothing selected until a direction key. Always 0.
    int OpenYesNo(std::int32_t x, std::int32_t y, bool newGroup);

    // ---- The game's fixed panels.

    // The field command menu at (16, 32) in the top group: 持ち物, the entry for what lies underfoot
    // (足元 on an item or a circle, 罠 on a trap or a treasure spot, 階段 on stairs), 魔法陣, マップ, 状態,
    // 設定. Entries that do not apply are grey, and while the heroine hides the first two are red; both
    // are unselectable. Always 0.
    int OpenCommandMenu(bool itemsAvailable, std::int32_t underfootKind, bool circlesAvailable,
                        bool statusAvailable, bool hiding);
    // The heroine's timed states with their turns, centred, in a new group; no window when she has none.
    // Always 0.
    int OpenStatusTurns(SGameResource& game, IPanelRules& rules);
    // Attack, defence, fullness, strength, turns and experience under the command menu. Always 0.
    int OpenParameters(SGameResource& game, IPanelRules& rules);
    // The warehouse's twelve classes, grey where it holds nothing of the class; 1 and no window when it
    // holds nothing at all, else 0.
    int OpenWarehouseClassFilter(CItemControl& items);
    // The text-entry table of character set 0 (hiragana), 1 (katakana) or 2 (letters) under its command
    // row; 1 and no window for any other set, else 0.
    int OpenCharacterTable(std::int32_t characterSet, bool supplement);

    // ---- Closing. The erased area is cleared on the surface and reported to `dirty`, and the windows it
    // overlapped are marked dirty.

    // Removes the top window, erasing it first when asked. 1 when the stack was empty, else 0.
    int CloseTop(bool erase, Draw::IDirtyRect* dirty = nullptr);
    // Removes every window of the top group, erasing each. 1 when the stack was empty, else 0.
    int CloseGroup(Draw::IDirtyRect* dirty = nullptr);
    // The surface rebuilt and every window removed without erasing. 0.
    int Reset();
    void EraseWindowArea(const SWindow& window, Draw::IDirtyRect* dirty);

    // ---- Queries. The active window is the topmost window of the top group with a cursor of 0 or more.

    // The active window; null without one.
    const SWindow* FindActiveWindow() const;
    // The active window's cursor; -1 without one, or when it points at no item.
    std::int32_t GetCursor() const;
    // Whether the item under the active window's cursor can be chosen.
    bool IsSelectionEnabled() const;
    // The top window's cursor: n, or its last item when n is beyond them (a negative n is kept).
    void SetCursor(std::int32_t n);
    // The top window's type; -1 for an empty stack or a top window without items.
    std::int32_t GetTopType() const;
    // An icon of the image lists drawn with the top window.
    void AddImage(std::int32_t imageId, std::int32_t x, std::int32_t y, const Draw::RECT& source);
    void UseMonospaceFont();
    // Every window's rectangle, bottom of the stack first.
    Draw::CDirtyRect GetWindowRects() const;

    // ---- Each frame.

    // Moves the active window's cursor by the direction bits of the key mask (8 up, 9 left, 10 down,
    // 11 right), with sound effect 1 when it moved. First rebuilds the surface and paints every window
    // when the display changed or the double size did since the previous call, and then answers true.
    bool Update(std::uint32_t keyMask, SGameResource& game, bool displayChanged);
    // Paint windows onto the surface, bottom to top, the top group bright. Each answers 1 for an empty
    // stack, else 0.
    int DrawAll(SGameResource& game);
    // The windows of the top two groups and those marked dirty; their marks cleared.
    int DrawDirty(SGameResource& game, Draw::IDirtyRect* dirty);
    // The same, every window dimmed.
    int DrawDirtyInactive(SGameResource& game, Draw::IDirtyRect* dirty);
    int DrawTop(SGameResource& game, Draw::IDirtyRect* dirty);
    // One window: background, frame, items, icons, and for a dimmed window its still arrow.
    void DrawWindow(SGameResource& game, const SWindow& window, std::int32_t activeGroup,
                    Draw::IDirtyRect* dirty);
    // The arrows of the top group onto `target`: the first the moving one. 1 for an empty stack, else 0.
    int DrawCursors(Draw::ISurface& target, Draw::IDirtyRect* dirty = nullptr);
    // The moving arrow at a point of the caller's layout.
    void DrawCursorAt(std::int32_t x, std::int32_t y, Draw::ISurface& target,
                      Draw::IDirtyRect* dirty = nullptr);
    // A window's arrow at its cursor; 1 when the cursor points at no item.
    int DrawWindowCursor(const SWindow& window, Draw::ISurface& target, std::int32_t blink, bool dimmed,
                         Draw::IDirtyRect* dirty);

    // The select surface onto `target` at `offset` (null: at 0, 0): blended when translucent, else keyed
    // on black. 0.
    int Draw(Draw::ISurface& target) override { return Draw(target, nullptr); }
    int Draw(Draw::ISurface& target, const Draw::POINT* offset);

    // The surface as large as the display mode, with alpha exactly when translucent, cleared.
    void RebuildSurface();
    // The options' drawing styles: a translucent surface, text drawn with alpha. Each rebuilds the
    // surface and marks every window dirty so that the next dirty redraw paints them again.
    void SetAlphaSurface(bool on);
    void SetTextAlphaMode(bool on);
    Draw::CFastPlane& GetSurface() { return m_surface; }

    std::list<SWindow> windows;    // the back is the top of the stack
    std::int32_t blinkCounter = 0; // 0..47, the arrow's wobble
    std::uint8_t translucent = 1;  // option 2
    std::uint8_t textAlpha = 0;    // option 4

private:
    std::int32_t TopGroup() const { return windows.empty() ? 0 : windows.back().group; }
    SWindow* FindActiveWindow();
    // Draws the windows that `wanted` picks, bottom to top; 1 for an empty stack.
    template <class Wanted>
    int DrawWindows(SGameResource& game, std::int32_t activeGroup, Draw::IDirtyRect* dirty, Wanted wanted);
    // Pushes a window on top, in the top group or a new one, dirty, in the monospace face.
    void PushWindow(std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t width,
                    std::int32_t height, bool newGroup, std::int32_t cursor, std::vector<SItem> items);

    Draw::CFastPlane m_surface;
    std::int32_t m_lastDoubleSize = -1; // -1 until the first update records it
};
