#include "platform/host/freetype/freetype_font.h"

#include "platform/host/encoding.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

namespace platform {
namespace {

constexpr const char* kFontFolders[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/",
    "/usr/share/fonts/truetype/ipafont-gothic/",
    "/usr/share/fonts/opentype/ipafont/",
    "/usr/share/fonts/truetype/ipafont/",
};
constexpr const char* kGothicFile = "ipag.ttf";
constexpr const char* kProportionalFile = "ipagp.ttf";

std::string_view AsBytes(std::u8string_view text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

// The proportional face answers for the names that carry a proportional "P"; every other Japanese face
// name falls back to the fixed-pitch face, as a font mapper would pick its nearest Japanese face.
bool IsProportionalFace(const std::string& cp932Face)
{
    std::string_view face = cp932Face;
    if (!face.empty() && face.front() == '@') face.remove_prefix(1);
    std::string utf8;
    if (!Cp932ToUtf8(face, utf8)) return false;
    return utf8.find(AsBytes(u8"Ｐ")) != std::string::npos || utf8.starts_with("IPAP") ||
           utf8.starts_with("IPA P");
}

std::string FindFile(const char* name)
{
    for (const char* folder : kFontFolders) {
        std::string path = std::string(folder) + name;
        if (access(path.c_str(), R_OK) == 0) return path;
    }
    return {};
}

using GlyphMap = std::unordered_map<FT_UInt, FT_UInt>;

// The single substitutions of the face's vertical-writing features ('vert', 'vrt2'): brackets, small
// kana, the long vowel mark and punctuation take their upright forms for vertical lines. Every offset of
// the table is checked against its length; a damaged table gives fewer or no substitutions.
GlyphMap ReadVerticalForms(FT_Face face)
{
    GlyphMap forms;
    const FT_ULong tag = FT_MAKE_TAG('G', 'S', 'U', 'B');
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, tag, 0, nullptr, &length) != 0 || length < 10) return forms;
    std::vector<unsigned char> t(length);
    if (FT_Load_Sfnt_Table(face, tag, 0, t.data(), &length) != 0) return forms;
    auto u16 = [&](std::size_t o) -> std::uint32_t { return o + 2 <= t.size() ? (t[o] << 8) | t[o + 1] : 0; };
    auto u32 = [&](std::size_t o) -> std::uint32_t { return (u16(o) << 16) | u16(o + 2); };
    auto coverage = [&](std::size_t at) {
        std::vector<FT_UInt> glyphs;
        const std::uint32_t format = u16(at), count = u16(at + 2);
        for (std::uint32_t i = 0; i < count; ++i) {
            if (format == 1) {
                glyphs.push_back(u16(at + 4 + 2 * i));
            } else if (format == 2) {
                const std::size_t range = at + 4 + 6 * i;
                const std::uint32_t first = u16(range), last = u16(range + 2), index = u16(range + 4);
                if (last < first) continue;
                if (glyphs.size() < index + (last - first) + 1) glyphs.resize(index + (last - first) + 1, 0);
                for (std::uint32_t g = first; g <= last; ++g)
                    glyphs[index + (g - first)] = g;
            }
        }
        return glyphs;
    };
    const std::size_t featureList = u16(6), lookupList = u16(8);
    std::vector<std::uint32_t> lookups;
    const std::uint32_t features = u16(featureList);
    for (std::uint32_t i = 0; i < features; ++i) {
        const std::size_t record = featureList + 2 + 6 * i;
        if (record + 6 > t.size()) break;
        if (std::memcmp(&t[record], "vert", 4) != 0 && std::memcmp(&t[record], "vrt2", 4) != 0) continue;
        const std::size_t feature = featureList + u16(record + 4);
        const std::uint32_t count = u16(feature + 2);
        for (std::uint32_t j = 0; j < count; ++j)
            lookups.push_back(u16(feature + 4 + 2 * j));
    }
    const std::uint32_t lookupCount = u16(lookupList);
    for (std::uint32_t index : lookups) {
        if (index >= lookupCount) continue;
        const std::size_t lookup = lookupList + u16(lookupList + 2 + 2 * index);
        const std::uint32_t type = u16(lookup), subtables = u16(lookup + 4);
        for (std::uint32_t k = 0; k < subtables; ++k) {
            std::size_t sub = lookup + u16(lookup + 6 + 2 * k);
            std::uint32_t subType = type;
            if (type == 7) { // an extension: the real subtable lies further away
                subType = u16(sub + 2);
                sub += u32(sub + 4);
            }
            if (subType != 1 || sub >= t.size()) continue;
            const std::uint32_t format = u16(sub);
            const std::vector<FT_UInt> from = coverage(sub + u16(sub + 2));
            for (std::size_t c = 0; c < from.size(); ++c) {
                if (format == 1) {
                    forms.emplace(from[c], (from[c] + u16(sub + 4)) & 0xFFFF);
                } else if (format == 2 && c < u16(sub + 4)) {
                    forms.emplace(from[c], u16(sub + 6 + 2 * c));
                }
            }
        }
    }
    return forms;
}

// Full-width characters that lie on their side in a vertical line (brackets, dashes, wave dash, ellipses,
// comparison signs): where the face has no upright form for one, its horizontal glyph is turned with the
// line instead of standing upright.
bool LiesInVerticalLines(char32_t c)
{
    return (c >= 0x2010 && c <= 0x2015) || c == 0x2025 || c == 0x2026 || (c >= 0x3008 && c <= 0x3011) ||
           (c >= 0x3014 && c <= 0x301C) || c == 0x30FC || c == 0xFF08 || c == 0xFF09 || c == 0xFF0D ||
           (c >= 0xFF1C && c <= 0xFF1E) || c == 0xFF3B || c == 0xFF3D || c == 0xFF3F ||
           (c >= 0xFF5B && c <= 0xFF5E);
}

// What a glyph of one font costs once: its advance, and its rendered coverage when it has been drawn.
struct CachedGlyph
{
    bool measured = false;
    int advance = 0;
    bool rendered = false;
    bool drawable = false;
    int left = 0; // of the bitmap, from the pen and up from the baseline, as FreeType gives them
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage; // width x rows, 0 none to 255 full
};

// The caches are cleared whole when they grow past this many glyphs (a few megabytes at the largest
// sizes the game uses).
constexpr std::size_t kGlyphCacheLimit = 16384;

struct GlyphItem
{
    FT_UInt index;
    bool doubleByte;
    int advance;
    bool upright; // turned a quarter left inside the line, so that it stands when the line is turned
};

class Engine;

class FreeTypeFont final : public Font
{
public:
    FreeTypeFont(std::shared_ptr<Engine> engine, FT_Face face, const GlyphMap* verticalForms,
                 const FontDescription& description);

    bool Extent(std::string_view text, int& cx, int& cy) override;
    bool Rasterise(std::string_view text, const MaskWindow& window, TextMask& mask) override;
    int Ascent() const override { return m_ascent; }
    int Descent() const override { return m_cell - m_ascent; }

private:
    void Select();
    bool Load(FT_UInt index);
    std::vector<GlyphItem> Layout(std::string_view text);
    // The glyph's cache entry for this font (its size and style).
    CachedGlyph& Cached(FT_UInt index);
    // The glyph rendered, from the cache; null when it cannot be drawn.
    const CachedGlyph* Rendered(FT_UInt index);
    void Blit(const CachedGlyph& glyph, bool rotate, int penX, TextMask& mask) const;

    std::shared_ptr<Engine> m_engine;
    FT_Face m_face;
    std::uint64_t m_cacheKey; // the face, size and style, with room for a glyph index in the low bits
    const GlyphMap* m_verticalForms;
    int m_cell;
    int m_ascent;
    FT_F26Dot6 m_em; // 26.6 pixels
    bool m_bold;
    bool m_italic;
    bool m_underline;
    bool m_strikeOut;
    bool m_mono;
    bool m_vertical;
};

class Engine final : public FontEngine, public std::enable_shared_from_this<Engine>
{
public:
    ~Engine() override
    {
        for (auto& [path, face] : m_faces)
            FT_Done_Face(face);
        if (m_library) FT_Done_FreeType(m_library);
    }

    bool Start()
    {
        if (FT_Init_FreeType(&m_library) != 0) {
            m_library = nullptr;
            return false;
        }
        return Face(FindFile(kGothicFile)) || Face(FindFile(kProportionalFile));
    }

    std::unique_ptr<Font> CreateFont(const FontDescription& description) override
    {
        std::lock_guard guard(lock);
        // The face of a name is looked for on disk once.
        auto named = m_facesByName.find(description.face);
        if (named == m_facesByName.end()) {
            FT_Face found = Face(FreeTypeFaceFile(description.face));
            if (!found) found = Face(FindFile(kGothicFile));
            named = m_facesByName.emplace(description.face, found).first;
        }
        FT_Face face = named->second;
        if (!face) return nullptr;
        const bool vertical = !description.face.empty() && description.face.front() == '@';
        return std::make_unique<FreeTypeFont>(shared_from_this(), face,
                                              vertical ? &VerticalForms(face) : nullptr, description);
    }

    // A small number for each face opened, for the cache keys.
    std::uint64_t FaceNumber(FT_Face face)
    {
        auto found = m_faceNumbers.find(face);
        if (found == m_faceNumbers.end()) found = m_faceNumbers.emplace(face, m_faceNumbers.size()).first;
        return found->second;
    }

    // The Unicode code of one CP932 character (0 when it has none), converted once.
    char32_t CodeOf(std::string_view character)
    {
        std::uint32_t key = 0;
        for (char c : character)
            key = key << 8 | static_cast<unsigned char>(c);
        key |= static_cast<std::uint32_t>(character.size()) << 16;
        auto found = m_codes.find(key);
        if (found != m_codes.end()) return found->second;
        std::string utf8;
        char32_t code = 0;
        if (Cp932ToUtf8(character, utf8) && !utf8.empty()) {
            const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
            if (u[0] < 0x80) {
                code = u[0];
            } else if (u[0] >= 0xE0 && utf8.size() >= 3) {
                code = ((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F);
            } else if (u[0] >= 0xC0 && utf8.size() >= 2) {
                code = ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
            }
        }
        m_codes.emplace(key, code);
        return code;
    }

    // The face's glyph of a Unicode code, looked up once.
    FT_UInt IndexOf(FT_Face face, char32_t code)
    {
        const std::uint64_t key = FaceNumber(face) << 32 | code;
        auto found = m_indices.find(key);
        if (found != m_indices.end()) return found->second;
        const FT_UInt index = FT_Get_Char_Index(face, code);
        m_indices.emplace(key, index);
        return index;
    }

    // Drops every cached glyph once there are too many; called before a text is laid out, so that no
    // entry in use goes away.
    void TrimGlyphs()
    {
        if (glyphs.size() > kGlyphCacheLimit) glyphs.clear();
    }

    // FreeType faces are not safe to share between threads; every use goes under this lock.
    std::mutex lock;
    // Glyphs by font and glyph index.
    std::unordered_map<std::uint64_t, CachedGlyph> glyphs;

private:
    FT_Face Face(const std::string& path)
    {
        if (path.empty() || !m_library) return nullptr;
        auto found = m_faces.find(path);
        if (found != m_faces.end()) return found->second;
        FT_Face face = nullptr;
        if (FT_New_Face(m_library, path.c_str(), 0, &face) != 0) return nullptr;
        if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0 || face->ascender - face->descender <= 0) {
            FT_Done_Face(face);
            return nullptr;
        }
        FT_Select_Charmap(face, FT_ENCODING_UNICODE);
        m_faces.emplace(path, face);
        return face;
    }

    const GlyphMap& VerticalForms(FT_Face face)
    {
        auto found = m_verticalForms.find(face);
        if (found == m_verticalForms.end())
            found = m_verticalForms.emplace(face, ReadVerticalForms(face)).first;
        return found->second;
    }

    FT_Library m_library = nullptr;
    std::map<std::string, FT_Face> m_faces;
    std::map<std::string, FT_Face> m_facesByName;
    std::map<FT_Face, std::uint64_t> m_faceNumbers;
    std::unordered_map<std::uint32_t, char32_t> m_codes;
    std::unordered_map<std::uint64_t, FT_UInt> m_indices;
    std::map<FT_Face, GlyphMap> m_verticalForms;
};

FreeTypeFont::FreeTypeFont(std::shared_ptr<Engine> engine, FT_Face face, const GlyphMap* verticalForms,
                           const FontDescription& description)
    : m_engine(std::move(engine)), m_face(face), m_verticalForms(verticalForms),
      m_bold(description.weight >= 600), m_italic(description.italic), m_underline(description.underline),
      m_strikeOut(description.strikeOut),
      m_mono(description.quality != static_cast<int>(FontQuality::Antialiased)),
      m_vertical(!description.face.empty() && description.face.front() == '@')
{
    // The face's own line height (ascender plus descender) is the cell; a positive height asks for that
    // cell, a negative one for the em.
    const double lineUnits = face->ascender - face->descender;
    const double units = face->units_per_EM;
    double em;
    if (description.height < 0) {
        em = std::min(-static_cast<double>(description.height), 4096.0);
        m_cell = static_cast<int>(std::lround(em * lineUnits / units));
    } else {
        m_cell = std::min(FontCellHeight(description), 4096);
        em = m_cell * units / lineUnits;
    }
    m_cell = std::max(m_cell, 1);
    m_ascent = static_cast<int>(std::lround(face->ascender * em / units));
    m_ascent = std::clamp(m_ascent, 0, m_cell);
    m_em = std::max<FT_F26Dot6>(1, std::lround(em * 64));
    // Glyph indices take the low 32 bits; the size (at most 4096 pixels in 26.6) the next 19, the
    // style 3 and the face the rest.
    m_cacheKey = (m_engine->FaceNumber(face) << 54) | (std::uint64_t{m_mono} << 53) |
                 (std::uint64_t{m_bold} << 52) | (std::uint64_t{m_italic} << 51) |
                 (static_cast<std::uint64_t>(m_em) << 32);
}

CachedGlyph& FreeTypeFont::Cached(FT_UInt index)
{
    return m_engine->glyphs[m_cacheKey | index];
}

const CachedGlyph* FreeTypeFont::Rendered(FT_UInt index)
{
    CachedGlyph& glyph = Cached(index);
    if (!glyph.rendered) {
        glyph.rendered = true;
        glyph.drawable = Load(index);
        if (glyph.drawable) {
            const FT_GlyphSlot slot = m_face->glyph;
            const FT_Bitmap& bitmap = slot->bitmap;
            glyph.left = slot->bitmap_left;
            glyph.top = slot->bitmap_top;
            glyph.width = static_cast<int>(bitmap.width);
            glyph.rows = static_cast<int>(bitmap.rows);
            glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
            for (int j = 0; j < glyph.rows; ++j) {
                const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(j) * bitmap.pitch;
                for (int i = 0; i < glyph.width; ++i) {
                    glyph.coverage[static_cast<std::size_t>(j) * glyph.width + i] =
                        bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                            ? ((row[i >> 3] >> (7 - (i & 7))) & 1 ? 255 : 0)
                            : row[i];
                }
            }
        }
    }
    return glyph.drawable ? &glyph : nullptr;
}

void FreeTypeFont::Select()
{
    FT_Set_Char_Size(m_face, 0, m_em, 72, 72);
}

bool FreeTypeFont::Load(FT_UInt index)
{
    const FT_Int32 target = m_mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(m_face, index, FT_LOAD_NO_BITMAP | target) != 0) return false;
    FT_GlyphSlot slot = m_face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        if (m_italic) {
            // A slant of about 12 degrees to the right, about the baseline.
            FT_Matrix shear{0x10000, 0x3700, 0, 0x10000};
            FT_Outline_Transform(&slot->outline, &shear);
        }
        if (m_bold) FT_Outline_Embolden(&slot->outline, std::max<FT_Pos>(64, m_em / 24));
    }
    return FT_Render_Glyph(slot, m_mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
}

std::vector<GlyphItem> FreeTypeFont::Layout(std::string_view text)
{
    std::vector<GlyphItem> items;
    ForEachCp932Char(text, [&](std::size_t offset, std::size_t length) {
        const char32_t code = m_engine->CodeOf(text.substr(offset, length));
        GlyphItem item{code ? m_engine->IndexOf(m_face, code) : 0, length == 2, 0, m_vertical && length == 2};
        if (item.upright) {
            auto form = m_verticalForms ? m_verticalForms->find(item.index) : GlyphMap::const_iterator{};
            if (m_verticalForms && form != m_verticalForms->end()) {
                item.index = form->second;
            } else if (LiesInVerticalLines(code)) {
                item.upright = false;
            }
        }
        CachedGlyph& glyph = Cached(item.index);
        if (!glyph.measured) {
            glyph.measured = true;
            if (FT_Load_Glyph(m_face, item.index, FT_LOAD_NO_BITMAP | (m_mono ? FT_LOAD_TARGET_MONO : 0)) ==
                0) {
                glyph.advance = static_cast<int>((m_face->glyph->advance.x + 32) >> 6);
            }
        }
        item.advance = glyph.advance;
        // Synthetic bold widens every character by one pixel.
        if (m_bold) ++item.advance;
        // Characters of a vertical face that are turned take the cell height along the line.
        if (m_vertical && item.doubleByte) item.advance = m_cell;
        items.push_back(item);
    });
    return items;
}

bool FreeTypeFont::Extent(std::string_view text, int& cx, int& cy)
{
    std::lock_guard guard(m_engine->lock);
    m_engine->TrimGlyphs();
    Select();
    cx = 0;
    for (const GlyphItem& item : Layout(text))
        cx += item.advance;
    cy = m_cell;
    return true;
}

void FreeTypeFont::Blit(const CachedGlyph& glyph, bool rotate, int penX, TextMask& mask) const
{
    // Upright glyph pixel (u, v), v counted down from the cell top.
    for (int j = 0; j < glyph.rows; ++j) {
        const std::uint8_t* row = glyph.coverage.data() + static_cast<std::ptrdiff_t>(j) * glyph.width;
        for (int i = 0; i < glyph.width; ++i) {
            const unsigned value = row[i];
            if (!value) continue;
            const int u = glyph.left + i, v = m_ascent - glyph.top + j;
            if (rotate) {
                // Turned a quarter to the left inside the character's square cell, so that turning the
                // whole line a quarter to the right stands it upright again.
                mask.Put(penX + v, m_cell - 1 - u, static_cast<std::uint8_t>(value));
            } else {
                mask.Put(penX + u, v, static_cast<std::uint8_t>(value));
            }
        }
    }
}

bool FreeTypeFont::Rasterise(std::string_view text, const MaskWindow& window, TextMask& mask)
{
    std::lock_guard guard(m_engine->lock);
    m_engine->TrimGlyphs();
    Select();
    const std::vector<GlyphItem> items = Layout(text);
    int cx = 0;
    for (const GlyphItem& item : items)
        cx += item.advance;
    mask.Reset(-m_cell, -m_cell, cx + 2 * m_cell, 2 * m_cell, window);
    int pen = 0;
    for (const GlyphItem& item : items) {
        const bool visible = pen + 2 * m_cell > mask.originX && pen - m_cell < mask.originX + mask.width;
        if (visible && mask.width > 0) {
            if (const CachedGlyph* glyph = Rendered(item.index)) Blit(*glyph, item.upright, pen, mask);
        }
        pen += item.advance;
    }
    const double scale = static_cast<double>(m_em) / 64.0 / m_face->units_per_EM;
    auto line = [&](int y, int thickness) {
        for (int t = 0; t < thickness; ++t) {
            for (int x = std::max(0, mask.originX); x < std::min(cx, mask.originX + mask.width); ++x) {
                mask.Put(x, y + t, 255);
            }
        }
    };
    if (m_underline) {
        const int thickness = std::max(1, static_cast<int>(std::lround(m_face->underline_thickness * scale)));
        const int y = m_ascent - static_cast<int>(std::lround(m_face->underline_position * scale));
        line(std::min(y, m_cell - thickness), thickness);
    }
    if (m_strikeOut) {
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(m_face, FT_SFNT_OS2));
        const double position = os2 ? os2->yStrikeoutPosition : m_face->ascender / 3.0;
        const double size = os2 ? os2->yStrikeoutSize : m_face->underline_thickness;
        const int thickness = std::max(1, static_cast<int>(std::lround(size * scale)));
        line(m_ascent - static_cast<int>(std::lround(position * scale)), thickness);
    }
    return true;
}

} // namespace

std::string FreeTypeFaceFile(const std::string& cp932Face)
{
    return FindFile(IsProportionalFace(cp932Face) ? kProportionalFile : kGothicFile);
}

std::shared_ptr<FontEngine> CreateFreeTypeFontEngine()
{
    auto engine = std::make_shared<Engine>();
    if (!engine->Start()) return nullptr;
    return engine;
}

} // namespace platform
