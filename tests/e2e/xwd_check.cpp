// Reads screenshots of the game's window (xwd's window dumps) for tests/e2e/xvfb-play.sh and compares
// them with the pictures of the built data set, loaded through the game's own image list. The shot may
// be at single or double size. At double size a full-screen picture is compared with the companion the
// game draws there, pixel by pixel; a piece of a sheet without one (the floor label) is drawn doubled, so
// each of its pixels must fill a square of four.
//
//   xwd_check <build folder> serve <game pid>      answers requests on stdin (see Server)
//   xwd_check <build folder> png <shot> <out.png>   the shot as a PNG file
//
// The checks:
//   title   the title's picture outside the browser's window,
//   camp    the camp's picture outside its menu and the status bar (both as a menu shows them: under its
//           translucent window surface),
//   floor   the status bar's floor label, as the interface sheet has it,
//   moved   the map area changed from the shot before.
#include "game/asset_ids.h"
#include "game/data/global_data.h"
#include "game/ui/blt_support.h"
#include "game/ui/image_list.h"
#include "game/ui/window_look.h"
#include "sdk/auxiliary/file.h"
#include "sdk/draw/fast_plane.h"
#include "sdk/draw/kernels/blend_tables.h"
#include "sdk/draw/surface_info.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kScreenWidth = 320, kScreenHeight = 240;
// Where the game's screens put what the checks look at, in screen pixels.
constexpr int kBrowserX = 16, kBrowserY = 16; // the title's save browser
constexpr int kCampMenuX = 16, kCampMenuY = 32;
constexpr int kStatusBarHeight = 32;
constexpr int kFloorLabelX = 32, kFloorLabelY = 0;
// Fewer changed screen pixels than this is the heroine's own stepping in place, not the map moving.
constexpr int kMovedPixels = 2048;

// A screenshot as 0x00RRGGBB pixels.
struct Shot
{
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const
    {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

std::uint32_t Big32(const std::vector<unsigned char>& b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           b[at + 3];
}

// An xwd dump in Z format of 24 or 32 bits a pixel, either byte order; nothing for anything else.
std::optional<Shot> ParseXwd(const std::vector<unsigned char>& b, const std::string& path, std::string& why)
{
    if (b.size() < 100) {
        why = path + ": no xwd header";
        return std::nullopt;
    }
    const std::uint32_t headerSize = Big32(b, 0), format = Big32(b, 8), width = Big32(b, 16),
                        height = Big32(b, 20), byteOrder = Big32(b, 28), bitsPerPixel = Big32(b, 44),
                        bytesPerLine = Big32(b, 48), colours = Big32(b, 76);
    const std::uint32_t bytes = bitsPerPixel / 8;
    if (format != 2 || (bytes != 3 && bytes != 4) || width == 0 || height == 0 || width > 8192 ||
        height > 8192 || bytesPerLine < width * bytes || colours > 65536) {
        why = path + ": not a 24- or 32-bit xwd picture";
        return std::nullopt;
    }
    const std::uint64_t start = std::uint64_t(headerSize) + std::uint64_t(colours) * 12;
    if (start + std::uint64_t(bytesPerLine) * height > b.size()) {
        why = path + ": the xwd picture is cut short";
        return std::nullopt;
    }
    Shot shot;
    shot.width = int(width);
    shot.height = int(height);
    shot.pixels.resize(std::size_t(width) * height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = &b[start + std::uint64_t(y) * bytesPerLine + std::uint64_t(x) * bytes];
            std::uint32_t v = 0;
            for (std::uint32_t i = 0; i < bytes; ++i)
                v |= std::uint32_t(p[i]) << (byteOrder == 0 ? 8 * i : 8 * (bytes - 1 - i));
            shot.pixels[std::size_t(y) * width + x] = v & 0xFFFFFF;
        }
    return shot;
}

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::optional<Shot> ReadXwd(const std::string& path, std::string& why)
{
    return ParseXwd(ReadBytes(path), path, why);
}

// The output of a shell command; empty when it fails.
std::vector<unsigned char> Run(const std::string& command)
{
    std::vector<unsigned char> bytes;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        unsigned char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            bytes.insert(bytes.end(), buffer, buffer + n);
        if (pclose(pipe) != 0) bytes.clear();
    }
    return bytes;
}

// Dumps by xwd of the shown window of a process. The game makes its window again while it starts, so a
// dump that fails looks the window up again.
class WindowDumper
{
public:
    explicit WindowDumper(std::string pid) : m_pid(std::move(pid)) {}
    // Empty while the process shows no window.
    std::vector<unsigned char> Dump()
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (m_window.empty() || attempt > 0) {
                const std::vector<unsigned char> found =
                    Run("xdotool search --onlyvisible --pid " + m_pid + " 2>/dev/null | tail -n 1");
                m_window.assign(found.begin(), found.end());
                while (!m_window.empty() && (m_window.back() == '\n' || m_window.back() == '\r'))
                    m_window.pop_back();
                if (m_window.empty()) return {};
            }
            std::vector<unsigned char> bytes = Run("xwd -silent -id " + m_window + " 2>/dev/null");
            if (!bytes.empty()) return bytes;
        }
        return {};
    }

private:
    std::string m_pid, m_window;
};

// The shot's scale: 1 or 2 for a window of the screen's size or twice it; 0 for anything else.
int ScaleOf(const Shot& shot)
{
    for (int scale : {1, 2})
        if (shot.width == kScreenWidth * scale && shot.height == kScreenHeight * scale) return scale;
    return 0;
}

// A picture of the data set as 0x00RRGGBB pixels, loaded as the game loads it onto a 32-bit display.
class Pictures : public Draw::IPlaneOwner
{
public:
    // Drawn as the game draws at `scale` 1 or 2 (at 2 the pictures with a companion of twice the size
    // are drawn from it, the others doubled).
    Pictures(const std::string& buildFolder, int scale) : m_scale(scale)
    {
        Draw::BuildBlendTables();
        Draw::SetThreadPlaneOwner(this);
        Auxiliary::CFile::SetCurrentFolder(buildFolder.c_str());
        g_globalData.doubleSize = scale == 2;
    }
    ~Pictures() override
    {
        AccessImageList(kImageListDestroy, 0);
        Draw::SetThreadPlaneOwner(nullptr);
    }
    std::int32_t GetDisplayPixelType() override { return Draw::kPixelXRGB8888; }
    void AddPlane(Draw::CFastPlane*) override {}
    void RemovePlane(Draw::CFastPlane*) override {}

    // Pixel (x, y) of picture `id`; false when the picture is missing or smaller.
    bool Load(std::int32_t id, int width, int height)
    {
        return Read(AccessImageList(kImageListGet, id), width, height);
    }
    // A full-screen picture as a menu shows it: under the select windows' surface, which outside its
    // windows is black and translucent (the translucent windows of a new configuration).
    // At the drawing scale: pixel (x, y) of the shot.
    bool LoadUnderMenu(std::int32_t id)
    {
        const int width = kScreenWidth * m_scale, height = kScreenHeight * m_scale;
        Draw::CFastPlane screen, windows;
        if (screen.CreateSurface(width, height, false) != 0 ||
            windows.CreateSurface(width, height, true) != 0 ||
            CBltSupport::BltImageCopy(screen, id, 0, 0) != 0 ||
            ClearToTranslucent(windows, 0, 0, width, height) != 0 ||
            CBltSupport::BltBlend(screen, windows, 0, 0, 255) != 0)
            return false;
        return Read(screen, width, height);
    }
    std::uint32_t At(int x, int y) const
    {
        return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
    }

private:
    bool Read(Draw::CFastPlane& plane, int width, int height)
    {
        const Draw::CSurfaceInfo* info = plane.GetSurfaceInfo();
        std::int32_t w = 0, h = 0;
        if (info == nullptr || info->pixels == nullptr || plane.GetSize(&w, &h) != 0 || w < width ||
            h < height || info->GetBytesPerPixel() != 4)
            return false;
        m_width = width;
        m_pixels.assign(std::size_t(width) * std::size_t(height), 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint32_t v;
                std::memcpy(&v, info->pixels + std::ptrdiff_t(y) * info->pitch + 4 * x, 4);
                m_pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = v & 0xFFFFFF;
            }
        return true;
    }

    int m_scale;
    int m_width = 0;
    std::vector<std::uint32_t> m_pixels;
};

// Whether every shot pixel of screen pixel (x, y) has that colour (a picture drawn doubled).
bool ScreenPixelIs(const Shot& shot, int scale, int x, int y, std::uint32_t colour)
{
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx)
            if (shot.At(x * scale + dx, y * scale + dy) != colour) return false;
    return true;
}

struct Box
{
    int left = kScreenWidth, top = kScreenHeight, right = 0, bottom = 0; // right and bottom exclusive
    bool Empty() const { return right <= left; }
    void Add(int x, int y)
    {
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1),
        bottom = std::max(bottom, y + 1);
    }
};

template <class... Args> std::string Format(const char* format, Args... args)
{
    char text[256];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

// The picture (at the shot's own scale) is on the screen from row `top` down, except in one rectangle
// whose corner is (x, y): where a window stands over it. Every pixel that differs must lie in that
// rectangle.
bool PictureAroundWindow(const Shot& shot, int scale, const Pictures& picture, int top, int x, int y,
                         const char* what, std::string& message)
{
    Box differs;
    for (int py = top * scale; py < shot.height; ++py)
        for (int px = 0; px < shot.width; ++px)
            if (shot.At(px, py) != picture.At(px, py)) differs.Add(px / scale, py / scale);
    if (differs.Empty()) {
        message = Format("the picture shows without %s", what);
        return false;
    }
    if (differs.left != x || differs.top != y) {
        message = Format(
            "the screen differs from the picture from (%d, %d) to (%d, %d), not only in %s at (%d, %d)",
            differs.left, differs.top, differs.right, differs.bottom, what, x, y);
        return false;
    }
    message = Format("the picture shows outside %s from (%d, %d) to (%d, %d)", what, differs.left,
                     differs.top, differs.right, differs.bottom);
    return true;
}

bool FloorLabel(const Shot& shot, int scale, const Pictures& sheet, std::string& message)
{
    const assets::SCell& cell = assets::kCellInterfaceLabelF;
    int opaque = 0;
    for (int y = 0; y < cell.height; ++y)
        for (int x = 0; x < cell.width; ++x) {
            const std::uint32_t colour = sheet.At(cell.x + x, cell.y + y);
            if (colour == 0xFF00FF) continue; // the key colour: the map shows through
            ++opaque;
            if (!ScreenPixelIs(shot, scale, kFloorLabelX + x, kFloorLabelY + y, colour)) {
                message = Format("the floor label differs at (%d, %d) of its cell", x, y);
                return false;
            }
        }
    message = Format("the floor label's %d opaque pixels are on the screen", opaque);
    return opaque > 0;
}

bool Moved(const Shot& before, const Shot& after, int scale, std::string& message)
{
    if (after.width != before.width || after.height != before.height) {
        message = "the window changed its size";
        return false;
    }
    int changed = 0;
    for (int y = kStatusBarHeight; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x) {
            bool same = true;
            for (int dy = 0; dy < scale && same; ++dy)
                for (int dx = 0; dx < scale && same; ++dx)
                    same =
                        before.At(x * scale + dx, y * scale + dy) == after.At(x * scale + dx, y * scale + dy);
            changed += same ? 0 : 1;
        }
    message = Format("%d screen pixels of the map area changed", changed);
    return changed >= kMovedPixels;
}

// ---- PNG, stored without compression: what a person needs to look at a failed run's screens.

std::uint32_t Crc(const unsigned char* data, std::size_t size, std::uint32_t crc = 0)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBig32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char* type, const std::vector<unsigned char>& data)
{
    PutBig32(out, std::uint32_t(data.size()));
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    PutBig32(out, Crc(body.data(), body.size()));
}

bool WritePng(const Shot& shot, const std::string& path)
{
    std::vector<unsigned char> raw;
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t v = shot.At(x, y);
            raw.insert(raw.end(), {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                   static_cast<unsigned char>(v)});
        }
    }
    std::vector<unsigned char> z = {0x78, 0x01};
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.insert(z.end(), {static_cast<unsigned char>(last ? 1 : 0), static_cast<unsigned char>(n),
                           static_cast<unsigned char>(n >> 8), static_cast<unsigned char>(~n),
                           static_cast<unsigned char>(~n >> 8)});
        z.insert(z.end(), raw.begin() + std::ptrdiff_t(at), raw.begin() + std::ptrdiff_t(at + n));
        at += n;
        if (last) break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw)
        a = (a + c) % 65521, b = (b + a) % 65521;
    PutBig32(z, b << 16 | a);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBig32(header, std::uint32_t(shot.width));
    PutBig32(header, std::uint32_t(shot.height));
    header.insert(header.end(), {8, 2, 0, 0, 0}); // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", z);
    PutChunk(png, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    return bool(out);
}

// Answers the script's requests, one line each, about the window of the game it was started with. The
// pictures are loaded once, and the waits take their shots here, so that a wait costs no more than xwd does.
//
//   check <kind> <shot>          yes|no <why>        kind: title, camp, floor
//   wait <kind> <before> <out> <s>  yes|no <why>     shots until the check holds, for up to s seconds; kind
//                                                    moved compares with <before>; the last shot to <out>
//   settle <before> <out> <s> <h>  settled|unchanged|restless
//                                                    shots until the window has changed from <before>
//                                                    (unchanged: not within s seconds) and then holds still
//                                                    for two shots in a row (restless: not within h s)
class Server
{
public:
    Server(std::string build, std::string pid) : m_build(std::move(build)), m_dumper(std::move(pid)) {}

    std::string Answer(const std::string& line)
    {
        std::vector<std::string> words;
        for (std::size_t at = 0; at < line.size();) {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            if (end > at) words.push_back(line.substr(at, end - at));
            at = end + 1;
        }
        std::string message;
        if (words.size() == 3 && words[0] == "check") {
            const std::optional<Shot> shot = ReadXwd(words[2], message);
            if (!shot) return "no " + message;
            return (Check(words[1], *shot, nullptr, message) ? "yes " : "no ") + message;
        }
        if (words.size() == 5 && words[0] == "wait")
            return Wait(words[1], words[2], words[3], std::atof(words[4].c_str()));
        if (words.size() == 5 && words[0] == "settle")
            return Settle(words[1], words[2], std::atof(words[3].c_str()), std::atof(words[4].c_str()));
        return "no unknown request: " + line;
    }

private:
    bool Check(const std::string& kind, const Shot& shot, const Shot* before, std::string& message)
    {
        const int scale = ScaleOf(shot);
        if (scale == 0) {
            message =
                Format("the window is %d x %d, neither 320 x 240 nor 640 x 480", shot.width, shot.height);
            return false;
        }
        if (kind == "moved") return before != nullptr && Moved(*before, shot, scale, message);
        Pictures& pictures = PicturesAt(scale);
        if (kind == "title") {
            if (!Loaded(pictures, kImageTitle, message)) return false;
            return PictureAroundWindow(shot, scale, pictures, 0, kBrowserX, kBrowserY, "the browser",
                                       message);
        }
        if (kind == "camp") {
            if (!Loaded(pictures, kImageCamp, message)) return false;
            return PictureAroundWindow(shot, scale, pictures, kStatusBarHeight, kCampMenuX, kCampMenuY,
                                       "the camp menu", message);
        }
        if (kind == "floor") {
            const assets::SCell& label = assets::kCellInterfaceLabelF;
            if (m_loadedId != kImageInterface &&
                !pictures.Load(kImageInterface, label.x + label.width, label.y + label.height)) {
                message = "the interface sheet cannot be loaded";
                return false;
            }
            m_loadedId = kImageInterface;
            return FloorLabel(shot, scale, pictures, message);
        }
        message = "no check named " + kind;
        return false;
    }

    bool Loaded(Pictures& pictures, std::int32_t id, std::string& message)
    {
        if (m_loadedId == id) return true;
        m_loadedId = -1;
        if (!pictures.LoadUnderMenu(id)) {
            message = Format("picture %d cannot be loaded", int(id));
            return false;
        }
        m_loadedId = id;
        return true;
    }

    Pictures& PicturesAt(int scale)
    {
        if (!m_pictures || m_scale != scale) {
            m_pictures.reset();
            m_pictures = std::make_unique<Pictures>(m_build, scale);
            m_scale = scale;
            m_loadedId = -1;
        }
        return *m_pictures;
    }

    std::optional<Shot> Take(std::vector<unsigned char>& bytes, std::string& message)
    {
        bytes = m_dumper.Dump();
        return ParseXwd(bytes, "the window", message);
    }

    std::string Wait(const std::string& kind, const std::string& beforePath, const std::string& out,
                     double seconds)
    {
        std::string message;
        std::optional<Shot> before;
        if (beforePath != "-" && !(before = ReadXwd(beforePath, message))) return "no " + message;
        const double start = Now();
        std::vector<unsigned char> bytes;
        for (;;) {
            const std::optional<Shot> shot = Take(bytes, message);
            if (shot && Check(kind, *shot, before ? &*before : nullptr, message)) {
                WriteBytes(out, bytes);
                return "yes " + message;
            }
            if (Now() - start > seconds) {
                WriteBytes(out, bytes);
                return "no " + message;
            }
            Pause();
        }
    }

    std::string Settle(const std::string& beforePath, const std::string& out, double seconds, double hold)
    {
        const std::vector<unsigned char> before = ReadBytes(beforePath);
        std::vector<unsigned char> bytes, previous;
        double start = Now();
        for (;;) {
            bytes = m_dumper.Dump();
            if (!bytes.empty() && bytes != before) break;
            if (Now() - start > seconds) {
                WriteBytes(out, before);
                return "unchanged";
            }
            Pause();
        }
        start = Now();
        for (;;) {
            previous = std::move(bytes);
            Pause();
            bytes = m_dumper.Dump();
            if (bytes == previous) {
                WriteBytes(out, bytes);
                return "settled";
            }
            if (Now() - start > hold) {
                WriteBytes(out, bytes);
                return "restless";
            }
        }
    }

    static double Now()
    {
        timespec t{};
        clock_gettime(CLOCK_MONOTONIC, &t);
        return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
    }
    // Two shots this far apart see at least one frame of the game between them.
    static void Pause() { usleep(30 * 1000); }

    std::string m_build;
    WindowDumper m_dumper;
    std::unique_ptr<Pictures> m_pictures;
    int m_scale = 0;
    std::int32_t m_loadedId = -1;
};

int Usage()
{
    std::fprintf(stderr, "usage: xwd_check <build folder> serve <game pid>  (requests on stdin)\n"
                         "       xwd_check <build folder> png <shot.xwd> <out.png>\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4 && argc != 5) return Usage();
    const std::string build = argv[1], command = argv[2];
    if (command == "png" && argc == 5) {
        std::string why;
        const std::optional<Shot> shot = ReadXwd(argv[3], why);
        if (!shot) {
            std::printf("%s\n", why.c_str());
            return 2;
        }
        return WritePng(*shot, argv[4]) ? 0 : 2;
    }
    if (command != "serve" || argc != 4) return Usage();
    Server server(build, argv[3]);
    char line[8192];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        std::string request(line);
        while (!request.empty() && (request.back() == '\n' || request.back() == '\r'))
            request.pop_back();
        std::printf("%s\n", server.Answer(request).c_str());
        std::fflush(stdout);
    }
    return 0;
}
