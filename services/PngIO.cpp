#include "services/PngIO.h"
#include "services/IO.h"
#include "services/IOError.h"
#include <cmath>
#include <cstring>
#include <png.h>

// libpng reports errors by calling our error function, which must not return:
// it longjmps to the setjmp in RunRead/RunWrite. Those functions keep only
// plain pointers alive; images and buffers belong to the caller's frame.

namespace {

struct SPngCtx {
    // reading
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    std::unique_ptr<CImage> image;
    // writing
    const CImage* source = nullptr;
    CMemFile* out = nullptr;
    bool outOfMemory = false;
    int error = IOERR_FORMAT;
};

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    auto* ctx = static_cast<SPngCtx*>(png_get_error_ptr(png));
    const bool memory = ctx->outOfMemory || (message && std::strstr(message, "memory"));
    ctx->error = memory ? IOERR_NO_MEMORY : IOERR_FORMAT;
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void ReadData(png_structp png, png_bytep dest, png_size_t count) {
    auto* ctx = static_cast<SPngCtx*>(png_get_io_ptr(png));
    if (count > ctx->size - ctx->pos) png_error(png, "Read past the end of the data");
    std::memcpy(dest, ctx->data + ctx->pos, count);
    ctx->pos += count;
}

// Plain function so that no C++ object is alive in RunRead's frame.
bool AllocateTarget(SPngCtx* ctx, png_uint_32 width, png_uint_32 height, bool alpha, double dpi) {
    ctx->image =
        CIO::CreateImage(static_cast<int>(width), static_cast<int>(height), alpha, dpi, ctx->error);
    return ctx->image != nullptr;
}

void RunRead(SPngCtx* ctx) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, ctx, OnError, OnWarning);
    if (!png) {
        ctx->error = IOERR_NO_MEMORY;
        return;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        ctx->error = IOERR_NO_MEMORY;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return; // ctx->error set by OnError
    }
    png_set_read_fn(png, ctx, ReadData);
    // Our own size limit decides (and reports IOERR_NO_MEMORY), not libpng's.
    png_set_user_limits(png, 0x7fffffffu, 0x7fffffffu);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!ImageSizeAcceptable(width, height)) {
        ctx->error = IOERR_NO_MEMORY;
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    const int colorType = png_get_color_type(png, info);
    const bool alpha =
        (colorType & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png); // palette -> RGB, low-bit grey -> 8 bits, tRNS -> alpha
    png_set_scale_16(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    if (alpha) png_set_swap_alpha(png); // RGBA -> ARGB, the image's own order
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    double dpi = 96.0;
    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER && resX > 0)
        dpi = std::round(resX * 0.0254 * 100.0) / 100.0;

    const size_t needed = static_cast<size_t>(width) * (alpha ? 4 : 3);
    if (png_get_rowbytes(png, info) != needed) {
        ctx->error = IOERR_FORMAT;
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    if (!AllocateTarget(ctx, width, height, alpha, dpi)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return;
    }
    uint8_t* bits = ctx->image->Bits();
    const size_t rowBytes = ctx->image->RowBytes();
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y)
            png_read_row(png, bits + y * rowBytes, nullptr);
    // The trailing chunks after the picture data are of no interest; a file cut
    // after its last image row still gives the whole picture.
    png_destroy_read_struct(&png, &info, nullptr);
    ctx->error = IOERR_NONE;
}

void WriteData(png_structp png, png_bytep data, png_size_t count) {
    auto* ctx = static_cast<SPngCtx*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        ctx->out->Write(data, count);
    } catch (...) {
        failed = true;
    }
    if (failed) { // outside the handler: nothing may be unwinding when we jump
        ctx->outOfMemory = true;
        png_error(png, "Out of memory while writing");
    }
}

void FlushData(png_structp) {}

void RunWrite(SPngCtx* ctx) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, ctx, OnError, OnWarning);
    if (!png) {
        ctx->error = IOERR_NO_MEMORY;
        return;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        ctx->error = IOERR_NO_MEMORY;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return;
    }
    const CImage& image = *ctx->source;
    const bool alpha = image.HasAlpha();
    png_set_write_fn(png, ctx, WriteData, FlushData);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.Width()),
                 static_cast<png_uint_32>(image.Height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const double dpi = image.GetDpi() > 0 ? image.GetDpi() : 96.0;
    const auto ppm = static_cast<png_uint_32>(std::lround(dpi / 0.0254));
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    if (alpha) png_set_swap_alpha(png); // the image holds ARGB, the file wants RGBA
    const uint8_t* bits = image.Bits();
    const size_t rowBytes = image.RowBytes();
    for (int y = 0; y < image.Height(); ++y)
        png_write_row(png, bits + static_cast<size_t>(y) * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    ctx->error = IOERR_NONE;
}

} // namespace

std::unique_ptr<CImage> CPngIO::Load(const uint8_t* data, size_t size, int& error) {
    // Refuse an absurd size from the header itself: libpng reads on to the first
    // picture data before it tells the size, and a bare header has none.
    if (data && size >= 24 && std::memcmp(data + 12, "IHDR", 4) == 0) {
        auto be32 = [](const uint8_t* p) {
            return static_cast<uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
        };
        const uint32_t width = be32(data + 16), height = be32(data + 20);
        if (width > 0 && height > 0 && !ImageSizeAcceptable(width, height)) {
            error = IOERR_NO_MEMORY;
            return nullptr;
        }
    }
    SPngCtx ctx;
    ctx.data = data;
    ctx.size = data ? size : 0;
    RunRead(&ctx);
    error = ctx.error;
    if (error != IOERR_NONE) return nullptr;
    return std::move(ctx.image);
}

bool CPngIO::Save(CMemFile& file, const CImage& image, int& error) {
    if (!image.Bits() || image.Width() <= 0 || image.Height() <= 0 ||
        WithoutAlpha(image.GetMode()) != IMAGE_RGB8) {
        error = IOERR_FORMAT;
        return false;
    }
    SPngCtx ctx;
    ctx.source = &image;
    ctx.out = &file;
    RunWrite(&ctx);
    error = ctx.error;
    return error == IOERR_NONE;
}
