#include "game/ui/select_window.h"

#include "game/app/game_resource.h"
#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/image_list.h"
#include "game/ui/window_look.h"
#include "sdk/draw/text_plane.h"

#include <algorithm>

namespace {

using Draw::RECT;

// Bits of the key mask that move the cursor.
constexpr std::uint32_t kKeyUp = 1u << 8;
constexpr std::uint32_t kKeyLeft = 1u << 9;
constexpr std::uint32_t kKeyDown = 1u << 10;
constexpr std::uint32_t kKeyRight = 1u << 11;

constexpr std::int32_t kScreenWidth = 320;
constexpr std::int32_t kScreenHeight = 240;
// Windows stay this far inside the right and bottom edges.
constexpr std::int32_t kRightLimit = 312;
constexpr std::int32_t kBottomLimit = 232;
constexpr std::int32_t kRowPitch = 18;
constexpr std::int32_t kCharWidth = 8; // a half-width character; full width is two of them
constexpr std::int32_t kMargin = 8;    // from the window's edge to its first line
constexpr std::int32_t kIconIndent = 24;

constexpr std::int32_t kCursorSound = 1;
constexpr std::int32_t kBlinkPeriod = 48;
constexpr std::int32_t kDimRate = 127;
// The arrow on the interface sheet.
constexpr RECT kArrowRect = CellRect(assets::kCellInterfaceCursor);
constexpr std::int32_t kArrowWidth = assets::kCellInterfaceCursor.width;
constexpr std::int32_t kArrowHeight = assets::kCellInterfaceCursor.height;

std::int32_t Scale()
{
    return g_globalData.doubleSize ? 2 : 1;
}

std::uint32_t Half(std::uint32_t colour)
{
    return (colour >> 1) & 0x7F7F7F;
}

std::uint32_t Quarter(std::uint32_t colour)
{
    return (colour >> 2) & 0x3F3F3F;
}

void Report(Draw::IDirtyRect* dirty, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (dirty != nullptr) dirty->AddRectSize(x, y, width, height);
}

bool Overlaps(const CSelectWindow::SWindow& a, const CSelectWindow::SWindow& b)
{
    return b.x < a.x + a.width && a.x < b.x + b.width && b.y < a.y + a.height && a.y < b.y + b.height;
}

// One line of a text window: its colour code taken off. False when the line ends the list (a "#" with
// nothing after it).
bool ParseItem(const char* line, std::size_t length, bool colourCodes, CSelectWindow::SItem& item)
{
    item.colour = kTextWhite;
    item.enabled = 1;
    if (colourCodes && length > 0 && line[0] == '#') {
        if (length == 1) return false;
        std::uint32_t colour = 0;
        if (GetColourOfCode(line[1], colour)) {
            item.colour = colour;
            item.enabled = line[1] == 'n' ? 0 : 1;
            line += 2, length -= 2;
        } else {
            line += 1, length -= 1;
        }
    }
    item.text = ZTL::string(line, static_cast<std::uint32_t>(length));
    return true;
}

// Draws a rendered text plane onto the surface at a point in surface pixels.
void BltText(Draw::ISurface& surface, Draw::CFastPlane& text, std::int32_t x, std::int32_t y, bool withAlpha)
{
    if (withAlpha) {
        CBltSupport::BltAlphaOntoAlpha(surface, text, x, y);
    } else {
        CBltSupport::BltColorKey(surface, text, x, y);
    }
}

// What the dirty redraws paint: the top two groups and every window marked dirty, whose mark it clears.
struct TakeDirty
{
    std::int32_t topGroup;
    bool operator()(CSelectWindow::SWindow& window) const
    {
        const bool wanted = window.group >= topGroup - 1 || window.dirty != 0;
        if (wanted) window.dirty = 0;
        return wanted;
    }
};

std::int32_t WidthOf(Draw::CFastPlane& plane)
{
    std::int32_t w = 0, h = 0;
    return plane.GetSize(&w, &h) == 0 ? w : 0;
}

} // namespace

// ---- Opening

int CSelectWindow::Open(std::int32_t x, std::int32_t y, bool newGroup, std::int32_t width, std::int32_t rows,
                        std::int32_t cursor, bool colourCodes, const ZTL::string& text)
{
    std::vector<SItem> items;
    const char* p = text.c_str();
    const std::size_t n = text.size();
    std::size_t longest = 0;
    for (std::size_t start = 0; start < n;) {
        // A line feed is never the second byte of a double-byte character, so the bytes split safely.
        std::size_t end = start;
        while (end < n && p[end] != '\n')
            ++end;
        if (end == start) break;
        SItem item;
        if (!ParseItem(p + start, end - start, colourCodes, item)) break;
        longest = std::max<std::size_t>(longest, item.text.size());
        items.push_back(std::move(item));
        start = end + 1;
    }

    std::int32_t w = width == -1 ? static_cast<std::int32_t>(longest) * kCharWidth : width;
    std::int32_t h = (rows == -1 ? static_cast<std::int32_t>(items.size()) : rows) * kRowPitch + 12;
    if (x + w > kRightLimit) w = kRightLimit - x;
    if (y + h > kBottomLimit) h = kBottomLimit - y;
    PushWindow(kTypeList, x == -1 ? (kScreenWidth - w) / 2 : x, y == -1 ? (kScreenHeight - h) / 2 : y, w, h,
               newGroup, cursor, std::move(items));
    windows.back().proportionalFont = 1;
    return 0;
}

int CSelectWindow::OpenSaveDataList(std::int32_t width, std::int32_t rows, std::int32_t cursor,
                                    const ZTL::string& text)
{
    Open(32, 36, false, width, rows, cursor, true, text);
    windows.back().type = kTypeSaveDataList;
    return windows.empty() ? 1 : 0;
}

int CSelectWindow::OpenMultiColourList(std::int32_t y, std::int32_t width, std::int32_t rows,
                                       std::int32_t cursor, const ZTL::string& text)
{
    Open(-1, y, true, width, rows, cursor, false, text);
    windows.back().type = kTypeMultiColourList;
    return windows.empty() ? 1 : 0;
}

int CSelectWindow::OpenIconList(std::int32_t x, std::int32_t y, bool newGroup, std::int32_t width,
                                std::int32_t rows, std::int32_t cursor, const ZTL::string& text)
{
    Open(x, y, newGroup, width, rows, 0, true, text);
    windows.back().type = kTypeIconList;
    windows.back().cursor = cursor;
    return windows.empty() ? 1 : 0;
}

int CSelectWindow::OpenSettingsList(std::int32_t y, std::int32_t width, std::int32_t rows,
                                    const ZTL::string& text)
{
    Open(-1, y, true, width, rows, 0, true, text);
    windows.back().type = kTypeSettingsList;
    return windows.empty() ? 1 : 0;
}

int CSelectWindow::OpenYesNo(std::int32_t x, std::int32_t y, bool newGroup)
{
    constexpr std::int32_t kWidth = 72, kHeight = 48;
    // The cursor starts past the items: nothing is chosen until a direction key is pressed.
    PushWindow(kTypeYesNo, x == -1 ? (kScreenWidth - kWidth) / 2 : x,
               y == -1 ? (kScreenHeight - kHeight) / 2 : y, kWidth, kHeight, newGroup, 2,
               {{" はい", kTextWhite, 1}, {" いいえ", kTextWhite, 1}});
    return 0;
}

void CSelectWindow::PushWindow(std::int32_t type, std::int32_t x, std::int32_t y, std::int32_t width,
                               std::int32_t height, bool newGroup, std::int32_t cursor,
                               std::vector<SItem> items)
{
    SWindow window;
    window.items = std::move(items);
    window.type = type;
    window.x = x;
    window.y = y;
    window.width = width;
    window.height = height;
    window.cursor = cursor;
    window.group = newGroup ? TopGroup() + 1 : TopGroup();
    window.proportionalFont = 0;
    window.dirty = 1;
    windows.push_back(std::move(window));
}

// ---- Closing

int CSelectWindow::CloseTop(bool erase, Draw::IDirtyRect* dirty)
{
    if (windows.empty()) return 1;
    if (erase) EraseWindowArea(windows.back(), dirty);
    windows.pop_back();
    return 0;
}

int CSelectWindow::CloseGroup(Draw::IDirtyRect* dirty)
{
    if (windows.empty()) return 1;
    const std::int32_t group = windows.back().group;
    while (!windows.empty() && windows.back().group == group) {
        EraseWindowArea(windows.back(), dirty);
        windows.pop_back();
    }
    return 0;
}

int CSelectWindow::Reset()
{
    RebuildSurface();
    windows.clear();
    return 0;
}

void CSelectWindow::EraseWindowArea(const SWindow& window, Draw::IDirtyRect* dirty)
{
    Report(dirty, window.x, window.y, window.width, window.height);
    const std::int32_t s = Scale();
    ClearToTranslucent(m_surface, window.x * s, window.y * s, window.width * s, window.height * s);
    for (SWindow& other : windows)
        if (Overlaps(window, other)) other.dirty = 1;
}

// ---- Queries

const CSelectWindow::SWindow* CSelectWindow::FindActiveWindow() const
{
    if (windows.empty()) return nullptr;
    const std::int32_t group = windows.back().group;
    for (auto it = windows.rbegin(); it != windows.rend() && it->group == group; ++it)
        if (it->cursor >= 0) return &*it;
    return nullptr;
}

CSelectWindow::SWindow* CSelectWindow::FindActiveWindow()
{
    return const_cast<SWindow*>(std::as_const(*this).FindActiveWindow());
}

std::int32_t CSelectWindow::GetCursor() const
{
    const SWindow* window = FindActiveWindow();
    if (window == nullptr || window->cursor >= static_cast<std::int32_t>(window->items.size())) return -1;
    return window->cursor;
}

bool CSelectWindow::IsSelectionEnabled() const
{
    const SWindow* window = FindActiveWindow();
    if (window == nullptr) return false;
    const std::int64_t index =
        window->type == kTypeSaveDataList ? std::int64_t{window->cursor} * 3 : window->cursor;
    if (index < 0 || index >= static_cast<std::int64_t>(window->items.size())) return false;
    return window->items[static_cast<std::size_t>(index)].enabled != 0;
}

void CSelectWindow::SetCursor(std::int32_t n)
{
    if (windows.empty() || windows.back().items.empty()) return;
    SWindow& top = windows.back();
    const auto count = static_cast<std::int32_t>(top.items.size());
    top.cursor = n < count ? n : count - 1;
}

std::int32_t CSelectWindow::GetTopType() const
{
    if (windows.empty() || windows.back().items.empty()) return -1;
    return windows.back().type;
}

void CSelectWindow::AddImage(std::int32_t imageId, std::int32_t x, std::int32_t y, const Draw::RECT& source)
{
    if (windows.empty()) return;
    windows.back().images.push_back({imageId, x, y, source.left, source.top, source.right, source.bottom});
}

void CSelectWindow::UseMonospaceFont()
{
    if (!windows.empty()) windows.back().proportionalFont = 0;
}

Draw::CDirtyRect CSelectWindow::GetWindowRects() const
{
    Draw::CDirtyRect rects;
    for (const SWindow& window : windows)
        rects.AddRect(window.x, window.y, window.x + window.width, window.y + window.height);
    return rects;
}

// ---- Each frame

bool CSelectWindow::Update(std::uint32_t keyMask, SGameResource& game, bool displayChanged)
{
    bool rebuilt = false;
    const std::int32_t doubleSize = g_globalData.doubleSize ? 1 : 0;
    const bool sizeChanged = m_lastDoubleSize != -1 && m_lastDoubleSize != doubleSize;
    m_lastDoubleSize = doubleSize;
    if (displayChanged || sizeChanged) {
        RebuildSurface();
        DrawAll(game);
        rebuilt = true;
    }
    blinkCounter = (blinkCounter + 1) % kBlinkPeriod;

    SWindow* window = FindActiveWindow();
    if (window == nullptr || window->items.empty()) return rebuilt;
    const auto n = static_cast<std::int32_t>(window->items.size());
    const std::int32_t before = window->cursor;
    std::int32_t c = before;
    const bool up = (keyMask & kKeyUp) != 0, down = (keyMask & kKeyDown) != 0;
    const bool left = (keyMask & kKeyLeft) != 0, right = (keyMask & kKeyRight) != 0;
    if (c >= n && !up) {
        // Nothing selected yet (a fresh Yes/No): down starts before the first item, so that it selects
        // it; left and right start on it; up goes on from where the cursor stands.
        if (down) {
            c = -1;
        } else if (left || right) {
            c = 0;
        } else {
            return rebuilt;
        }
    }

    if (window->type == kTypeCommandMenu) {
        const std::int32_t rows = (n + 1) / 2, columnStart = c / 3 * 3;
        if (up) {
            c = (c + rows - 1) % rows + columnStart;
        } else if (down) {
            c = (c + 1) % rows + columnStart;
        } else if (left) {
            c = (c - rows + n) % n;
        } else if (right) {
            c = (c + rows) % n;
        }
    } else if (window->type == kTypeClassFilter) {
        const std::int32_t columnStart = c / 4 * 4;
        if (up) {
            c = (c + 3) % 4 + columnStart;
        } else if (down) {
            c = (c + 1) % 4 + columnStart;
        } else if (left) {
            c = (c + n - 4) % n;
        } else if (right) {
            c = (c + 4) % n;
        }
    } else {
        std::int32_t m = n;
        if (window->type == kTypeSettingsList) m = window->height / kRowPitch;
        if (window->type == kTypeSaveDataList) m = n / 3;
        // A window too low for one row, or a save list of less than one entry, has nowhere to go.
        if (m > 0) {
            if (up) {
                c = (c + m - 1) % m;
            } else if (down) {
                c = (c + 1) % m;
            }
        }
    }
    window->cursor = c;
    if (c != before) {
        PlaySoundEffect(game, kCursorSound);
        blinkCounter = 0;
    }
    return rebuilt;
}

template <class Wanted>
int CSelectWindow::DrawWindows(SGameResource& game, std::int32_t activeGroup, Draw::IDirtyRect* dirty,
                               Wanted wanted)
{
    if (windows.empty()) return 1;
    for (SWindow& window : windows)
        if (wanted(window)) DrawWindow(game, window, activeGroup, dirty);
    return 0;
}

int CSelectWindow::DrawAll(SGameResource& game)
{
    return DrawWindows(game, TopGroup(), nullptr, [](SWindow&) { return true; });
}

int CSelectWindow::DrawDirty(SGameResource& game, Draw::IDirtyRect* dirty)
{
    return DrawWindows(game, TopGroup(), dirty, TakeDirty{TopGroup()});
}

int CSelectWindow::DrawDirtyInactive(SGameResource& game, Draw::IDirtyRect* dirty)
{
    // Groups are never negative: no window is active.
    return DrawWindows(game, -1, dirty, TakeDirty{TopGroup()});
}

int CSelectWindow::DrawTop(SGameResource& game, Draw::IDirtyRect* dirty)
{
    if (windows.empty()) return 1;
    DrawWindow(game, windows.back(), windows.back().group, dirty);
    return 0;
}

void CSelectWindow::DrawWindow(SGameResource& game, const SWindow& window, std::int32_t activeGroup,
                               Draw::IDirtyRect* dirty)
{
    const std::int32_t s = Scale();
    const bool dimmed = window.group != activeGroup;
    DrawWindowBackground(m_surface, window.x * s, window.y * s, window.width * s, window.height * s, dimmed);
    DrawWindowFrame(m_surface, window.x * s, window.y * s, window.width * s, window.height * s,
                    GetWindowFrameState(game), dimmed);
    Report(dirty, window.x, window.y, window.width, window.height);

    Draw::CTextFastPlane text;
    SetWindowFont(text.font, window.proportionalFont != 0 ? kProportionalFace : kMonospaceFace);

    // The pen in surface pixels.
    const std::int32_t lineStart =
        (window.x + kMargin + (window.type == kTypeIconList ? kIconIndent : 0)) * s;
    const std::int32_t top = (window.y + kMargin) * s;
    const std::int32_t columnEnd = (window.y + window.height - 4) * s;
    std::int32_t penX = lineStart, penY = top, widest = 0;
    for (const SItem& item : window.items) {
        if (window.type == kTypeMultiColourList) {
            // A fresh set of runs each line: a line that cannot be split draws nothing rather than the
            // line before it.
            ZTL::smart_ptr<Draw::CTextFastPlane> segments;
            std::int32_t x = penX;
            if (RenderColouredText(segments, item.text, textAlpha != 0) == 0) {
                for (std::uint32_t i = 0; i < segments.getElementCount(); ++i) {
                    BltText(m_surface, segments[i], x, penY, textAlpha != 0);
                    x += WidthOf(segments[i]);
                }
            }
            penY += kRowPitch * s;
            continue;
        }
        text.font.text = item.text;
        text.font.color = dimmed ? Half(item.colour) : item.colour;
        text.font.shadowColor = dimmed ? Quarter(item.colour) : Half(item.colour);
        const int rendered = textAlpha != 0 ? text.RenderTextKind2() : text.RenderTextKind1();
        if (rendered == 0) {
            BltText(m_surface, text, penX, penY, textAlpha != 0);
            widest = std::max(widest, WidthOf(text));
        }
        penY += kRowPitch * s;
        if (penY >= columnEnd) {
            penX += widest + 4 * s;
            penY = top;
            widest = 0;
        }
    }

    for (const SImage& image : window.images) {
        const RECT source{image.left, image.top, image.right, image.bottom};
        Report(dirty, image.x, image.y, image.right - image.left, image.bottom - image.top);
        if (image.imageId >= kFirstPairedImage) {
            if (dimmed) {
                BltImageBlendColorKey(m_surface, image.imageId, image.x, image.y, kDimRate, &source);
            } else {
                BltImage(m_surface, image.imageId, image.x, image.y, &source);
            }
            continue;
        }
        Draw::CFastPlane& picture = AccessImageList(kImageListGet, image.imageId);
        const Draw::SIZE doubled{2 * (image.right - image.left), 2 * (image.bottom - image.top)};
        const Draw::SIZE* size = s == 2 ? &doubled : nullptr;
        if (dimmed) {
            BltBlendColorKey(m_surface, picture, image.x * s, image.y * s, kDimRate, size, &source);
        } else {
            BltColorKey(m_surface, picture, image.x * s, image.y * s, size, &source);
        }
    }

    if (dimmed) DrawWindowCursor(window, m_surface, 0, true, dirty);
}

int CSelectWindow::DrawWindowCursor(const SWindow& window, Draw::ISurface& target, std::int32_t blink,
                                    bool dimmed, Draw::IDirtyRect* dirty)
{
    const auto n = static_cast<std::int32_t>(window.items.size());
    if (window.cursor < 0 || window.cursor >= n) return 1;
    const std::int32_t row = window.type == kTypeSaveDataList ? window.cursor * 3 : window.cursor;
    std::int32_t x = window.x + 6, y = window.y + kMargin + row * kRowPitch;
    if (window.type == kTypeCommandMenu) {
        const std::int32_t rows = (n + 1) / 2;
        if (window.cursor >= rows) x = window.x + window.width / 2 - 4, y -= rows * kRowPitch;
    } else if (window.type == kTypeClassFilter) {
        if (window.cursor >= 8) {
            x += 128, y -= 144;
        } else if (window.cursor >= 4) {
            x += 64, y -= 72;
        }
    }
    if (dimmed) {
        BltImageBlendColorKey(target, kImageInterface, x, y, kDimRate, &kArrowRect);
    } else {
        x += blink / 16 - 1;
        BltImage(target, kImageInterface, x, y, &kArrowRect);
    }
    Report(dirty, x, y, kArrowWidth, kArrowHeight);
    return 0;
}

int CSelectWindow::DrawCursors(Draw::ISurface& target, Draw::IDirtyRect* dirty)
{
    if (windows.empty()) return 1;
    const std::int32_t group = windows.back().group;
    bool movingDrawn = false;
    for (auto it = windows.rbegin(); it != windows.rend() && it->group == group; ++it) {
        if (DrawWindowCursor(*it, target, movingDrawn ? 0 : blinkCounter, false, dirty) == 0)
            movingDrawn = true;
    }
    return 0;
}

void CSelectWindow::DrawCursorAt(std::int32_t x, std::int32_t y, Draw::ISurface& target,
                                 Draw::IDirtyRect* dirty)
{
    x += blinkCounter / 16 - 1;
    BltImage(target, kImageInterface, x, y, &kArrowRect);
    Report(dirty, x, y, kArrowWidth, kArrowHeight);
}

int CSelectWindow::Draw(Draw::ISurface& target, const Draw::POINT* offset)
{
    const std::int32_t x = offset != nullptr ? offset->x : 0, y = offset != nullptr ? offset->y : 0;
    // A translucent surface is one with alpha (A565 and after).
    if (m_surface.GetPixelType() >= Draw::kPixelA565) {
        BltBlend(target, m_surface, x, y, 255);
    } else {
        m_surface.SetColorKey(0);
        BltColorKey(target, m_surface, x, y);
    }
    return 0;
}

void CSelectWindow::RebuildSurface()
{
    const std::int32_t s = Scale();
    const std::int32_t width = kScreenWidth * s, height = kScreenHeight * s;
    std::int32_t w = 0, h = 0;
    if (m_surface.GetSize(&w, &h) != 0 || w != width || h != height ||
        m_surface.HasAlpha() != (translucent != 0))
        m_surface.CreateSurface(width, height, translucent != 0);
    ClearToTranslucent(m_surface, 0, 0, width, height);
}

void CSelectWindow::SetAlphaSurface(bool on)
{
    translucent = on ? 1 : 0;
    RebuildSurface();
    for (SWindow& window : windows)
        window.dirty = 1;
}

void CSelectWindow::SetTextAlphaMode(bool on)
{
    textAlpha = on ? 1 : 0;
    RebuildSurface();
    for (SWindow& window : windows)
        window.dirty = 1;
}
