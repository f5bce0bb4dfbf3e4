#include "platform/host/media/picture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <limits>

#include <gif_lib.h>
#include <jpeglib.h>

namespace platform {

struct PictureBuilder
{
    static std::unique_ptr<Picture> Make(int width, int height)
    {
        if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
            static_cast<long long>(width) * height > kMaxPicturePixels) {
            return nullptr;
        }
        std::unique_ptr<Picture> picture(new Picture(width, height));
        picture->m_pixels.assign(static_cast<std::size_t>(width) * height, Picture::kTransparent);
        return picture;
    }
    static std::uint32_t* Pixels(Picture& picture) { return picture.m_pixels.data(); }
};

namespace {

// ---- JPEG ----

struct JpegError
{
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JpegFail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegQuiet(j_common_ptr, int)
{}
void JpegNoOutput(j_common_ptr)
{}

// The decoder's state lives outside the function that sets the jump point, so nothing that function
// holds in registers is changed between the jump point and a jump back to it.
struct JpegJob
{
    jpeg_decompress_struct info;
    JpegError error;
    std::unique_ptr<Picture> picture;
    std::vector<JSAMPLE> row;
};

bool RunJpeg(JpegJob& job, const std::uint8_t* data, std::size_t length)
{
    jpeg_decompress_struct& info = job.info;
    if (setjmp(job.error.jump)) return false;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(length));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) return false;
    info.out_color_space = JCS_RGB;
    job.picture =
        PictureBuilder::Make(static_cast<int>(std::min<JDIMENSION>(info.image_width, kMaxPictureSide + 1)),
                             static_cast<int>(std::min<JDIMENSION>(info.image_height, kMaxPictureSide + 1)));
    if (!job.picture) return false;
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || static_cast<int>(info.output_width) != job.picture->Width() ||
        static_cast<int>(info.output_height) != job.picture->Height()) {
        return false;
    }
    job.row.resize(static_cast<std::size_t>(info.output_width) * 3);
    std::uint32_t* pixels = PictureBuilder::Pixels(*job.picture);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {job.row.data()};
        const JDIMENSION y = info.output_scanline;
        if (jpeg_read_scanlines(&info, rows, 1) != 1) return false;
        std::uint32_t* target = pixels + static_cast<std::size_t>(y) * info.output_width;
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            const JSAMPLE* p = job.row.data() + 3 * x;
            target[x] = p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t length, std::unique_ptr<Picture>& out)
{
    if (length < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    if (length > std::numeric_limits<unsigned long>::max()) return false;
    auto job = std::make_unique<JpegJob>();
    job->info.err = jpeg_std_error(&job->error.manager);
    job->error.manager.error_exit = JpegFail;
    job->error.manager.emit_message = JpegQuiet;
    job->error.manager.output_message = JpegNoOutput;
    jpeg_create_decompress(&job->info);
    const bool done = RunJpeg(*job, data, length);
    jpeg_destroy_decompress(&job->info);
    if (!done) return false;
    out = std::move(job->picture);
    return true;
}

// ---- GIF ----

struct GifSource
{
    const std::uint8_t* data;
    std::size_t length;
    std::size_t position;
};

int GifRead(GifFileType* file, GifByteType* buffer, int count)
{
    auto* source = static_cast<GifSource*>(file->UserData);
    if (count <= 0) return 0;
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(count), source->length - source->position);
    std::memcpy(buffer, source->data + source->position, n);
    source->position += n;
    return static_cast<int>(n);
}

struct GifCloser
{
    void operator()(GifFileType* file) const
    {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};

// Draws the first image of the file onto the logical screen; only that image is shown, as a still picture.
bool DecodeGif(const std::uint8_t* data, std::size_t length, std::unique_ptr<Picture>& out)
{
    if (length < 6 || std::memcmp(data, "GIF8", 4) != 0) return false;
    GifSource source{data, length, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> file(DGifOpen(&source, GifRead, &error));
    if (!file) return false;
    // The canvas is the logical screen: refused before any image of the file is read.
    if (file->SWidth > kMaxPictureSide || file->SHeight > kMaxPictureSide ||
        static_cast<long long>(file->SWidth) * file->SHeight > kMaxPicturePixels) {
        return false;
    }
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(file.get(), &type) == GIF_ERROR) return false;
        if (type == TERMINATE_RECORD_TYPE) return false; // no image at all
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(file.get(), &code, &block) == GIF_ERROR) return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                transparent = (block[1] & 1) ? block[4] : -1;
            }
            while (block) {
                if (DGifGetExtensionNext(file.get(), &block) == GIF_ERROR) return false;
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(file.get()) == GIF_ERROR) return false;
        const GifImageDesc& image = file->Image;
        const int screenWidth = file->SWidth > 0 ? file->SWidth : image.Left + image.Width;
        const int screenHeight = file->SHeight > 0 ? file->SHeight : image.Top + image.Height;
        std::unique_ptr<Picture> picture = PictureBuilder::Make(screenWidth, screenHeight);
        if (!picture || image.Width <= 0 || image.Height <= 0 || image.Width > kMaxPictureSide ||
            image.Height > kMaxPictureSide) {
            return false;
        }
        const ColorMapObject* map = image.ColorMap ? image.ColorMap : file->SColorMap;
        if (!map || !map->Colors) return false;
        std::vector<GifPixelType> line(static_cast<std::size_t>(image.Width));
        std::uint32_t* pixels = PictureBuilder::Pixels(*picture);
        auto store = [&](int row) {
            const long long y = static_cast<long long>(image.Top) + row;
            if (y < 0 || y >= screenHeight) return;
            for (int x = 0; x < image.Width; ++x) {
                const long long tx = static_cast<long long>(image.Left) + x;
                const int index = line[x];
                if (tx < 0 || tx >= screenWidth || index == transparent || index >= map->ColorCount) continue;
                const GifColorType& c = map->Colors[index];
                pixels[static_cast<std::size_t>(y) * screenWidth + tx] =
                    c.Red | (c.Green << 8) | (static_cast<std::uint32_t>(c.Blue) << 16);
            }
        };
        if (image.Interlace) {
            static constexpr int kStart[] = {0, 4, 2, 1};
            static constexpr int kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass) {
                for (int row = kStart[pass]; row < image.Height; row += kStep[pass]) {
                    if (DGifGetLine(file.get(), line.data(), image.Width) == GIF_ERROR) return false;
                    store(row);
                }
            }
        } else {
            for (int row = 0; row < image.Height; ++row) {
                if (DGifGetLine(file.get(), line.data(), image.Width) == GIF_ERROR) return false;
                store(row);
            }
        }
        out = std::move(picture);
        return true;
    }
}

} // namespace

Picture::Picture(int width, int height) : m_width(width), m_height(height)
{}

std::unique_ptr<Picture> Picture::Decode(const void* data, std::size_t length)
{
    std::unique_ptr<Picture> picture;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (!bytes) return nullptr;
    if (DecodeJpeg(bytes, length, picture) || DecodeGif(bytes, length, picture)) return picture;
    return nullptr;
}

int MulDiv(int a, int b, int c)
{
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const unsigned long long magnitude =
        product < 0 ? 0ULL - static_cast<unsigned long long>(product) : product;
    const unsigned long long divisor =
        c < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(c)) : c;
    const unsigned long long quotient = (magnitude + divisor / 2) / divisor; // halves away from zero
    if (quotient > static_cast<unsigned long long>(std::numeric_limits<int>::max()) + (negative ? 1 : 0))
        return -1;
    return negative ? static_cast<int>(-static_cast<long long>(quotient)) : static_cast<int>(quotient);
}

int Picture::WidthHimetric() const
{
    return MulDiv(m_width, 2540, ScreenPixelsPerInchX());
}
int Picture::HeightHimetric() const
{
    return MulDiv(m_height, 2540, ScreenPixelsPerInchY());
}

int ScreenPixelsPerInchX()
{
    return 96;
}
int ScreenPixelsPerInchY()
{
    return 96;
}

} // namespace platform
