#include "platform/host/sdl/sdl_overlay.h"

#include "platform/host/encoding.h"

#include <SDL.h>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <imgui.h>
#include <imgui_impl_sdl.h>
#include <imgui_impl_sdlrenderer.h>
#include <imgui_internal.h>
#include <string>
#include <sys/stat.h>

namespace platform::sdl {

namespace {

// The toolkit's platform and renderer glue holds one window; the first window that needs it keeps it.
std::atomic<bool> toolkitTaken{false};

// The Japanese face for labels; the toolkit's own face (without kana) when none is installed.
const char* FindFace()
{
    static const char* const kFaces[] = {
        "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
        "/usr/share/fonts/truetype/ipafont-gothic/ipag.ttf",
        "/usr/share/fonts/opentype/ipafont/ipag.ttf",
        "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
    };
    for (const char* face : kFaces) {
        struct stat info;
        if (stat(face, &info) == 0) return face;
    }
    return nullptr;
}

// Every character a CP932 text can hold, as glyph ranges of the toolkit. Every string of the program is
// CP932, so whatever it puts in the menu bar, a dialog or a message box (a typed name included) has its
// glyph in the atlas; the toolkit's own Japanese set leaves out rarer kanji such as the title's 譚.
const ImWchar* Cp932GlyphRanges()
{
    static const ImVector<ImWchar> ranges = [] {
        ImFontGlyphRangesBuilder builder;
        std::string utf8;
        const auto add = [&](std::string_view cp932) {
            if (Cp932ToUtf8(cp932, utf8)) builder.AddText(utf8.c_str(), utf8.c_str() + utf8.size());
        };
        for (int c = 0x20; c <= 0xDF; ++c) {
            if (c >= 0x7F && c <= 0xA0) continue;
            const char single = char(c);
            add(std::string_view(&single, 1));
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsCp932LeadByte(static_cast<unsigned char>(lead))) continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F) continue;
                const char pair[2] = {char(lead), char(trail)};
                add(std::string_view(pair, 2));
            }
        }
        ImVector<ImWchar> built;
        builder.BuildRanges(&built);
        return built;
    }();
    return ranges.Data;
}

// The overlay that holds the toolkit now, for MissingOverlayGlyphs.
Overlay* openOverlay = nullptr;

// The label without the "&" that marks an access key ("&&" stands for one "&").
std::string Label(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&') continue;
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

constexpr float kMenuStrip = 24.0f;

// Control kinds as the services number them.
enum Kind
{
    kStatic,
    kIcon,
    kButton,
    kCheckBox,
    kEdit,
    kNumberEdit,
    kTrackBar,
};

} // namespace

std::unique_ptr<Overlay> Overlay::Create(SDL_Window* window, SDL_Renderer* renderer)
{
    if (toolkitTaken.exchange(true)) return nullptr;
    return std::unique_ptr<Overlay>(new Overlay(window, renderer));
}

Overlay::Overlay(SDL_Window* window, SDL_Renderer* renderer) : m_window(window), m_renderer(renderer)
{
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    // The dialogs are laid out in pixels for a 13-pixel face: the longest check-box label and the
    // "キャンセル" button fit their boxes only at this size with narrow button margins. Glyphs are not
    // oversampled sideways and the atlas is only as tall as they need: with every CP932 character it
    // stays near 1024 x 1300 pixels instead of four times that.
    if (const char* face = FindFace()) {
        ImFontConfig config;
        config.OversampleH = 1;
        io.Fonts->Flags |= ImFontAtlasFlags_NoPowerOfTwoHeight;
        io.Fonts->AddFontFromFileTTF(face, 13.0f, &config, Cp932GlyphRanges());
    }
    ImGui::StyleColorsLight();
    ImGui::GetStyle().FramePadding.x = 3.0f;
    ImGui_ImplSDL2_InitForSDLRenderer(m_window);
    ImGui_ImplSDLRenderer_Init(m_renderer);
    openOverlay = this;
}

Overlay::~Overlay()
{
    openOverlay = nullptr;
    ImGui_ImplSDLRenderer_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    toolkitTaken = false;
}

void Overlay::ProcessEvent(const SDL_Event& event)
{
    ImGui_ImplSDL2_ProcessEvent(&event);
}

std::vector<Overlay::Action> Overlay::TakeActions()
{
    std::vector<Action> actions;
    actions.swap(m_actions);
    return actions;
}

void Overlay::DrawMenu(const MenuEntry& entry)
{
    const std::string label = Label(entry.textUtf8) + "##" + std::to_string(entry.id) + entry.textUtf8;
    if (!entry.popup.empty()) {
        if (ImGui::BeginMenu(label.c_str())) {
            for (const MenuEntry& item : entry.popup)
                DrawMenu(item);
            ImGui::EndMenu();
        }
        return;
    }
    if (ImGui::MenuItem(label.c_str()))
        m_actions.push_back(Action{Action::MenuCommand, nullptr, int(entry.id), {}, 0, false});
}

void Overlay::DrawDialog(const DialogView& dialog)
{
    const std::string tag = "##" + std::to_string(reinterpret_cast<std::uintptr_t>(dialog.dialog));
    const float title = ImGui::GetFrameHeight();
    const ImGuiViewport* view = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(ImVec2(view->Pos.x + view->Size.x * 0.5f, view->Pos.y + view->Size.y * 0.5f),
                            ImGuiCond_Appearing, ImVec2(0.5f, 0.5f));
    ImGui::SetNextWindowSize(ImVec2(float(dialog.width), float(dialog.height) + title), ImGuiCond_Always);
    bool open = true;
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoScrollbar;
    if (ImGui::Begin((dialog.captionUtf8 + tag).c_str(), &open, flags)) {
        for (const DialogControlView& c : dialog.controls) {
            ImGui::SetCursorPos(ImVec2(float(c.x), float(c.y) + title));
            const std::string id =
                "##" + std::to_string(c.id) + "_" + std::to_string(c.x) + "_" + std::to_string(c.y);
            const ImVec2 size(float(c.width), float(c.height));
            switch (c.kind) {
            case kStatic:
                ImGui::TextUnformatted(c.textUtf8.c_str());
                break;
            case kIcon: {
                // The program's emblem: a sword-blue disc.
                const ImVec2 at = ImGui::GetCursorScreenPos();
                const float r = std::min(size.x, size.y) * 0.5f;
                ImGui::GetWindowDrawList()->AddCircleFilled(ImVec2(at.x + r, at.y + r), r,
                                                            IM_COL32(60, 90, 170, 255));
                ImGui::GetWindowDrawList()->AddLine(ImVec2(at.x + r, at.y + 4),
                                                    ImVec2(at.x + r, at.y + 2 * r - 4),
                                                    IM_COL32(240, 240, 255, 255), 3.0f);
                ImGui::Dummy(size);
                break;
            }
            case kButton:
                if (ImGui::Button((c.textUtf8 + id).c_str(), size))
                    m_actions.push_back(Action{Action::Button, dialog.dialog, c.id, {}, 0, false});
                break;
            case kCheckBox: {
                bool checked = c.checked;
                if (ImGui::Checkbox((c.textUtf8 + id).c_str(), &checked))
                    m_actions.push_back(Action{Action::Button, dialog.dialog, c.id, {}, 0, false});
                break;
            }
            case kEdit:
            case kNumberEdit: {
                char buffer[256] = {};
                std::strncpy(buffer, c.textUtf8.c_str(), sizeof buffer - 1);
                ImGui::PushItemWidth(size.x);
                if (c.focused && ImGui::IsWindowAppearing()) ImGui::SetKeyboardFocusHere();
                const ImGuiInputTextFlags kind = c.kind == kNumberEdit ? ImGuiInputTextFlags_CharsDecimal : 0;
                if (ImGui::InputText(id.c_str(), buffer, sizeof buffer, kind)) {
                    std::string text = buffer;
                    if (c.kind == kNumberEdit)
                        text.erase(std::remove_if(text.begin(), text.end(),
                                                  [](char ch) { return ch < '0' || ch > '9'; }),
                                   text.end());
                    m_actions.push_back(Action{Action::Text, dialog.dialog, c.id, text, 0, false});
                }
                ImGui::PopItemWidth();
                break;
            }
            case kTrackBar: {
                int position = c.position;
                ImGui::PushItemWidth(size.x);
                if (ImGui::SliderInt(id.c_str(), &position, c.minimum, c.maximum, ""))
                    m_actions.push_back(Action{Action::Track, dialog.dialog, c.id, {}, position, false});
                if (ImGui::IsItemDeactivatedAfterEdit())
                    m_actions.push_back(Action{Action::Track, dialog.dialog, c.id, {}, position, true});
                ImGui::PopItemWidth();
                break;
            }
            default:
                break;
            }
        }
    }
    ImGui::End();
    if (!open) m_actions.push_back(Action{Action::Close, dialog.dialog, 0, {}, 0, false});
}

void Overlay::DrawMessageBox(const MessageBoxView& box)
{
    const ImGuiViewport* view = ImGui::GetMainViewport();
    ImGui::SetNextWindowPos(ImVec2(view->Pos.x + view->Size.x * 0.5f, view->Pos.y + view->Size.y * 0.5f),
                            ImGuiCond_Always, ImVec2(0.5f, 0.5f));
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                                   ImGuiWindowFlags_NoSavedSettings | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_AlwaysAutoResize;
    ImGui::SetNextWindowFocus();
    if (ImGui::Begin((box.captionUtf8 + "##message-box").c_str(), nullptr, flags)) {
        ImGui::PushTextWrapPos(std::max(160.0f, view->Size.x - 64.0f));
        ImGui::TextUnformatted(box.textUtf8.c_str());
        ImGui::PopTextWrapPos();
        ImGui::Dummy(ImVec2(0.0f, 8.0f));
        for (std::size_t i = 0; i < box.labelsUtf8.size(); ++i) {
            if (i > 0) ImGui::SameLine();
            const std::string label = box.labelsUtf8[i] + "##message-box-" + std::to_string(i);
            if (ImGui::Button(label.c_str(), ImVec2(80.0f, 24.0f))) m_boxAnswer = int(i);
        }
    }
    ImGui::End();
}

void Overlay::Draw()
{
    ImGui_ImplSDLRenderer_NewFrame();
    ImGui_ImplSDL2_NewFrame();
    ImGuiIO& io = ImGui::GetIO();
    int mouseY = 0;
    const bool mouseInside = SDL_GetMouseFocus() == m_window;
    SDL_GetMouseState(nullptr, &mouseY);
    const bool showMenu = !m_menu.empty() && (m_menuOpen || (mouseInside && mouseY < int(kMenuStrip)));
    // The game hides the system cursor; the toolkit draws one while the user works with it.
    io.MouseDrawCursor =
        SDL_ShowCursor(SDL_QUERY) == SDL_DISABLE && (showMenu || !m_dialogs.empty() || m_box.has_value());
    ImGui::NewFrame();
    m_menuOpen = false;
    if (showMenu && ImGui::BeginMainMenuBar()) {
        for (const MenuEntry& entry : m_menu)
            DrawMenu(entry);
        m_menuOpen = ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel) ||
                     ImGui::IsWindowHovered(ImGuiHoveredFlags_ChildWindows);
        ImGui::EndMainMenuBar();
    }
    for (const DialogView& dialog : m_dialogs)
        DrawDialog(dialog);
    if (m_box) DrawMessageBox(*m_box);
    ImGui::Render();
    ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
}

std::string Overlay::MissingGlyphs(std::string_view alsoUtf8) const
{
    std::string shown(alsoUtf8);
    const auto addMenu = [&](const auto& self, const std::vector<MenuEntry>& entries) -> void {
        for (const MenuEntry& entry : entries) {
            shown += Label(entry.textUtf8);
            self(self, entry.popup);
        }
    };
    addMenu(addMenu, m_menu);
    for (const DialogView& dialog : m_dialogs) {
        shown += dialog.captionUtf8;
        for (const DialogControlView& control : dialog.controls)
            shown += control.textUtf8;
    }
    if (m_box) {
        shown += m_box->captionUtf8 + m_box->textUtf8;
        for (const std::string& label : m_box->labelsUtf8)
            shown += label;
    }
    const ImFont* font = ImGui::GetIO().Fonts->Fonts.empty() ? nullptr : ImGui::GetIO().Fonts->Fonts[0];
    std::string missing;
    for (const char* at = shown.c_str(); *at != '\0';) {
        unsigned int c = 0;
        const int length = ImTextCharFromUtf8(&c, at, nullptr);
        const std::string character(at, std::size_t(length));
        at += length;
        if (c < 0x20 || missing.find(character) != std::string::npos) continue;
        if (font == nullptr || c > 0xFFFF || font->FindGlyphNoFallback(ImWchar(c)) == nullptr)
            missing += character;
    }
    return missing;
}

std::optional<std::string> MissingOverlayGlyphs(std::string_view alsoUtf8)
{
    if (openOverlay == nullptr) return std::nullopt;
    return openOverlay->MissingGlyphs(alsoUtf8);
}

} // namespace platform::sdl
