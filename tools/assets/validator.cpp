#include "tools/assets/validator.h"

#include "game/asset_ids.h"
#include "game/data/monster_schema.h"
#include "game/data/table_reader.h"
#include "game/ui/blt_support.h"
#include "game/ui/image_list.h"
#include "gamebase/sdk_names.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace asset_validator {

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;
constexpr std::uint32_t kBlack = 0;

// The planes the validator loads take this display's type: 32-bit, so no colour is rounded.
class CValidatorDisplay : public Draw::IPlaneOwner
{
public:
    std::int32_t GetDisplayPixelType() override { return Draw::kPixelXRGB8888; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}
};

// A picture as the game loaded it: 0xAARRGGBB words (alpha 0 for the opaque types).
struct SPicture
{
    std::int32_t width = 0, height = 0;
    bool alpha = false;
    std::vector<std::uint32_t> pixels;

    std::uint32_t At(std::int32_t x, std::int32_t y) const
    {
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    std::uint32_t Rgb(std::int32_t x, std::int32_t y) const { return At(x, y) & 0xFFFFFF; }
};

std::optional<SPicture> ReadPlane(Draw::CFastPlane& plane)
{
    Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
    std::int32_t w = 0, h = 0;
    if (info == nullptr || plane.GetSize(&w, &h) != 0) return std::nullopt;
    const std::int32_t type = plane.GetPixelType();
    if (type != Draw::kPixelXRGB8888 && type != Draw::kPixelARGB8888) return std::nullopt;
    Draw::CSurfaceLockGuard lock(info);
    if (lock.Failed()) return std::nullopt;
    SPicture picture;
    picture.width = w, picture.height = h, picture.alpha = type == Draw::kPixelARGB8888;
    picture.pixels.resize(static_cast<std::size_t>(w) * h);
    for (std::int32_t y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(info->pixels + std::ptrdiff_t(y) * info->pitch);
        for (std::int32_t x = 0; x < w; ++x)
            picture.pixels[static_cast<std::size_t>(y) * w + x] = picture.alpha ? row[x] : row[x] & 0xFFFFFF;
    }
    return picture;
}

bool NearMagenta(std::uint32_t rgb)
{
    const std::uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return r >= 248 && b >= 248 && g <= 3 && rgb != kKey;
}

std::string Point(std::int32_t x, std::int32_t y)
{
    std::string text = "(";
    return text.append(std::to_string(x)).append(",").append(std::to_string(y)).append(")");
}

std::string Image(std::int32_t id)
{
    return "image " + std::to_string(id);
}

// Every line of a list file ends with CR LF.
void CheckLineEnds(const std::string& folder, const std::string& name, std::vector<std::string>& problems)
{
    std::ifstream in(folder + "/" + name, std::ios::binary);
    if (!in) {
        problems.push_back(name + ": missing");
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::int32_t line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lf = text[i] == '\n', cr = text[i] == '\r';
        if ((lf && (i == 0 || text[i - 1] != '\r')) ||
            (cr && (i + 1 == text.size() || text[i + 1] != '\n'))) {
            problems.push_back(name + ": line " + std::to_string(line) + " does not end with CR LF");
            return;
        }
        if (lf) ++line;
    }
    if (text.empty() || text.back() != '\n')
        problems.push_back(name + ": the last line does not end with CR LF");
}

class CValidator
{
public:
    explicit CValidator(std::vector<std::string>& problems) : m_problems(problems) {}

    void Picture(const assets::SImage& image)
    {
        const std::string name = Image(image.id);
        const std::optional<SPicture> picture = Load(image.id, name);
        if (!picture) return;
        if (picture->width != image.width || picture->height != image.height) {
            Fail(name, "is " + std::to_string(picture->width) + "x" + std::to_string(picture->height) +
                           ", not " + std::to_string(image.width) + "x" + std::to_string(image.height));
            return;
        }
        Colours(image, *picture, name);
        for (std::int32_t c = image.firstCell; c < image.firstCell + image.cellCount; ++c)
            Cells(image, assets::kCells[static_cast<std::size_t>(c)], *picture);
        // An additive or opaque picture has no key for its companion to keep.
        if (image.companion && (image.draw == 'K' || image.draw == 'Z')) Companion(image, *picture);
        if (image.companion && (image.draw == 'A' || image.draw == 'O')) CompanionSize(image, *picture);
    }

private:
    void Fail(const std::string& what, const std::string& message)
    {
        m_problems.push_back(what + ": " + message);
    }

    std::optional<SPicture> Load(std::int32_t id, const std::string& name)
    {
        std::optional<SPicture> picture = ReadPlane(AccessImageList(kImageListGet, id));
        if (!picture) Fail(name, "does not load through the image list");
        return picture;
    }

    void Colours(const assets::SImage& image, const SPicture& picture, const std::string& name)
    {
        bool nearReported = false, keyReported = false;
        std::int64_t black = 0, ink = 0;
        for (std::int32_t y = 0; y < picture.height; ++y)
            for (std::int32_t x = 0; x < picture.width; ++x) {
                const std::uint32_t rgb = picture.Rgb(x, y);
                if (!nearReported && NearMagenta(rgb)) {
                    Fail(name, "a near-magenta colour at " + Point(x, y));
                    nearReported = true;
                }
                if (!keyReported && rgb == kKey && (image.draw == 'A' || image.draw == 'O')) {
                    Fail(name, "magenta at " + Point(x, y) + " in a picture that is not keyed");
                    keyReported = true;
                }
                (rgb == kBlack ? black : ink) += 1;
            }
        // An additive picture adds nothing where it is black: most of it is background.
        if (image.draw == 'A' && (ink == 0 || black * 8 < std::int64_t{picture.width} * picture.height))
            Fail(name, ink == 0 ? "no ink on its black" : "no black background");
    }

    void Cells(const assets::SImage& image, const assets::SCell& cell, const SPicture& picture)
    {
        for (std::int32_t i = 0; i < cell.count; ++i) {
            const std::int32_t x0 = cell.x + i * cell.dx, y0 = cell.y + i * cell.dy;
            const std::string name =
                Image(image.id) + " cell " + cell.label + "[" + std::to_string(i) + "] at " + Point(x0, y0);
            if (x0 < 0 || y0 < 0 || x0 + cell.width > picture.width || y0 + cell.height > picture.height) {
                Fail(name, "lies outside the picture");
                continue;
            }
            std::int64_t ink = 0, black = 0, magenta = 0, ringInk = 0;
            for (std::int32_t y = y0; y < y0 + cell.height; ++y)
                for (std::int32_t x = x0; x < x0 + cell.width; ++x) {
                    const std::uint32_t rgb = picture.Rgb(x, y);
                    const bool isInk = image.draw == 'Z' ? (picture.At(x, y) >> 24) != 0
                                                         : (cell.draw == 'A' ? rgb != kBlack : rgb != kKey);
                    ink += isInk;
                    black += rgb == kBlack;
                    magenta += rgb == kKey;
                    const bool ring =
                        x == x0 || y == y0 || x == x0 + cell.width - 1 || y == y0 + cell.height - 1;
                    ringInk += ring && isInk;
                }
            if (ink == 0) Fail(name, "no ink");
            if (cell.draw == 'A' && magenta != 0) Fail(name, "magenta in an additive cell");
            if (cell.draw == 'A' && black * 8 < std::int64_t{cell.width} * cell.height)
                Fail(name, "no black background");
            if (cell.check == assets::ECheck::kCheckSprite && ringInk != 0)
                Fail(name, "ink reaches the cell's edge");
            if (cell.check == assets::ECheck::kCheckShadow)
                Shadow(image.id, x0, y0, cell.width, cell.height, name);
            if (cell.check == assets::ECheck::kCheckSweep)
                Sweep(image.id, x0, y0, cell.width, cell.height, picture, name);
        }
    }

    // Blended over white at full rate, the centre of a shadow is a mid grey.
    void Shadow(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                const std::string& name)
    {
        Draw::CFastPlane target;
        target.CreateSurfaceOfType(w, h, Draw::kPixelXRGB8888);
        Fill(target, [](std::int32_t, std::int32_t) { return 0xFFFFFFu; });
        const Draw::RECT rect{x, y, x + w, y + h};
        CBltSupport::BltBlend(target, AccessImageList(kImageListGet, id), 0, 0, 255, nullptr, &rect);
        const std::optional<SPicture> drawn = ReadPlane(target);
        if (!drawn) return;
        const std::uint32_t centre = drawn->Rgb(w / 2, h / 2);
        const std::int32_t grey = static_cast<std::int32_t>(centre >> 8 & 0xFF);
        if (grey * 100 < 40 * 255 || grey * 100 > 70 * 255)
            Fail(name, "its centre over white is grey " + std::to_string(grey) + " of 255, not 40 to 70 %");
    }

    // Blended over a pattern at the sweep's rate, the pattern stays wherever the sweep is transparent.
    void Sweep(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
               const SPicture& picture, const std::string& name)
    {
        Draw::CFastPlane target;
        target.CreateSurfaceOfType(w, h, Draw::kPixelXRGB8888);
        const auto pattern = [](std::int32_t px, std::int32_t py) {
            return static_cast<std::uint32_t>((px * 37 + py * 11) & 0xFF) * 0x010203u & 0xFFFFFF;
        };
        Fill(target, pattern);
        const Draw::RECT rect{x, y, x + w, y + h};
        CBltSupport::BltBlend(target, AccessImageList(kImageListGet, id), 0, 0, 128, nullptr, &rect);
        const std::optional<SPicture> drawn = ReadPlane(target);
        if (!drawn) return;
        for (std::int32_t py = 0; py < h; ++py)
            for (std::int32_t px = 0; px < w; ++px)
                if ((picture.At(x + px, y + py) >> 24) == 0 && drawn->Rgb(px, py) != pattern(px, py)) {
                    Fail(name, "changes the screen at " + Point(px, py) + ", where it is transparent");
                    return;
                }
    }

    template <class Colour> static void Fill(Draw::CFastPlane& plane, Colour colour)
    {
        Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
        Draw::CSurfaceLockGuard lock(info);
        if (lock.Failed()) return;
        for (std::int32_t y = 0; y < info->height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(info->pixels + std::ptrdiff_t(y) * info->pitch);
            for (std::int32_t x = 0; x < info->width; ++x)
                row[x] = colour(x, y);
        }
    }

    // The companion, exactly twice the size of the picture; none when it does not load or fit.
    std::optional<SPicture> CompanionSize(const assets::SImage& image, const SPicture& picture)
    {
        const std::string name = Image(image.id + 1);
        std::optional<SPicture> twice = Load(image.id + 1, name);
        if (twice && (twice->width != 2 * picture.width || twice->height != 2 * picture.height)) {
            Fail(name, "is " + std::to_string(twice->width) + "x" + std::to_string(twice->height) +
                           ", not twice " + Image(image.id));
            return std::nullopt;
        }
        return twice;
    }

    // The companion of a keyed picture: every key pixel a 2 x 2 block of key there.
    void Companion(const assets::SImage& image, const SPicture& picture)
    {
        const std::string name = Image(image.id + 1);
        const std::optional<SPicture> twice = CompanionSize(image, picture);
        if (!twice) return;
        const auto clear = [&](const SPicture& p, std::int32_t x, std::int32_t y) {
            return image.draw == 'Z' ? (p.At(x, y) >> 24) == 0 : p.Rgb(x, y) == kKey;
        };
        for (std::int32_t y = 0; y < picture.height; ++y)
            for (std::int32_t x = 0; x < picture.width; ++x) {
                if (!clear(picture, x, y)) continue;
                for (std::int32_t k = 0; k < 4; ++k)
                    if (!clear(*twice, 2 * x + k % 2, 2 * y + k / 2)) {
                        Fail(name, "is not keyed at " + Point(2 * x + k % 2, 2 * y + k / 2) + " where " +
                                       Image(image.id) + " is at " + Point(x, y));
                        return;
                    }
            }
    }

    std::vector<std::string>& m_problems;
};

// The monster sheets: every named kind of the data set's monster table, read as the game reads it, has
// its sheet at 500 + kind, 7 frames by 8 directions of its letter's frame.
struct SFrameSize
{
    std::int32_t width, height;
};

SFrameSize LetterFrame(std::int32_t letterCode)
{
    switch (letterCode) {
    case 1:
        return {24, 24};
    case 2:
        return {40, 40};
    case 4:
        return {28, 36};
    default:
        return {32, 32};
    }
}

// Named kinds and their letter codes, numbered as the game's loader numbers them; empty with a problem
// when the table does not read.
std::map<std::int32_t, std::int32_t> NamedKinds(std::vector<std::string>& problems)
{
    std::map<std::int32_t, std::int32_t> kinds;
    CTableFile file;
    std::int32_t check = 0;
    if (file.Read(TablePath(monster_schema::kFileName)) != 0 || file.ReadHeader(check) != 0) {
        problems.push_back("the monster table does not read, so its sheets cannot be checked");
        return kinds;
    }
    std::int32_t speciesBase = 0, linesInSpecies = 0;
    std::string_view text;
    for (int result; (result = file.NextLine(text)) == CTableFile::kLine;) {
        CTableLine line(text);
        monster_schema::SColumns columns;
        if (!monster_schema::ReadKindLine(line, columns)) {
            if (linesInSpecies != 0) speciesBase += monster_schema::kRanks, linesInSpecies = 0;
            continue;
        }
        if (linesInSpecies < monster_schema::kRanks)
            kinds[speciesBase + linesInSpecies] = monster_schema::LetterCode(columns.letter);
        ++linesInSpecies;
    }
    return kinds;
}

void CheckMonsterSheets(const std::map<std::int32_t, ZTL::string>& names, std::vector<std::string>& problems)
{
    for (const auto& [kind, letter] : NamedKinds(problems)) {
        const std::int32_t id = kImageMonsterBase + kind;
        const std::string name = Image(id);
        if (names.count(id) == 0) {
            problems.push_back(name + ": the sheet of monster kind " + std::to_string(kind) +
                               " is not in data/image/list.txt");
            continue;
        }
        std::optional<SPicture> sheet = ReadPlane(AccessImageList(kImageListGet, id));
        if (!sheet) {
            problems.push_back(name + ": the sheet of monster kind " + std::to_string(kind) +
                               " does not load");
            continue;
        }
        const SFrameSize frame = LetterFrame(letter);
        if (sheet->width != 7 * frame.width || sheet->height != 8 * frame.height)
            problems.push_back(name + ": monster kind " + std::to_string(kind) + " has " +
                               std::to_string(frame.width) + "x" + std::to_string(frame.height) +
                               " frames, so its sheet is " + std::to_string(7 * frame.width) + "x" +
                               std::to_string(8 * frame.height) + ", not " + std::to_string(sheet->width) +
                               "x" + std::to_string(sheet->height));
    }
}

} // namespace

std::vector<std::string> ValidateImages(const std::string& folder)
{
    std::vector<std::string> problems;
    CheckLineEnds(folder, "data/image2/list2.txt", problems);
    // The game reads its list line by line at CR LF: a list without them names no picture at all, which
    // says nothing more about the pictures.
    CheckLineEnds(folder, "data/image/list.txt", problems);
    if (!problems.empty() && problems.back().rfind("data/image/list.txt", 0) == 0) return problems;

    // The list as the game reads it: every picture and companion has its line.
    std::map<std::int32_t, ZTL::string> names;
    {
        Auxiliary::CFile list;
        if (list.Read((folder + "/data/image/list.txt").c_str()) == Auxiliary::CFile::kReadOk)
            CImageLoader::ReadList(list, names);
    }
    for (const assets::SImage& image : assets::kImages) {
        for (std::int32_t id : {image.id, image.id + 1}) {
            if (id == image.id + 1 && !image.companion) continue;
            if (names.count(id) == 0) problems.push_back(Image(id) + ": not in data/image/list.txt");
        }
    }

    const ZTL::string previousFolder = Auxiliary::CFile::GetCurrentFolder();
    Draw::IPlaneOwner* const previousOwner = Draw::GetThreadPlaneOwner();
    CValidatorDisplay display;
    Auxiliary::CFile::SetCurrentFolder(folder.c_str());
    Draw::SetThreadPlaneOwner(&display);
    Draw::BuildBlendTables();
    AccessImageList(kImageListDestroy, 0);
    CValidator validator(problems);
    for (const assets::SImage& image : assets::kImages)
        if (names.count(image.id) != 0) validator.Picture(image);
    CheckMonsterSheets(names, problems);
    AccessImageList(kImageListDestroy, 0);
    Draw::SetThreadPlaneOwner(previousOwner);
    Auxiliary::CFile::SetCurrentFolder(previousFolder);
    return problems;
}

} // namespace asset_validator
